#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <variant>

// What an output receives from the merge for one attribute, shaped so that a caller can hand
// values over without copying them: texts are views that must stay valid for the call that
// takes them. Texts are UTF-8, already recoded from the input's code page.

struct TextValue {
    std::string_view utf8;  // cut at a NUL byte, as dBASE readers do
};

// A number as written in a dBASE numeric field ("  -12.50"): kept exact, unlike a double.
struct DecimalValue {
    std::string_view ascii;
};

struct DateValue {
    int year = 0;
    int month = 0;
    int day = 0;
};

// One attribute value. Text goes to text fields; the three numbers to the numeric fields of
// any kind (rounded as the field needs); booleans and dates to their own fields. Each output
// writes as null: an impossible date (a 30th of February), a blank or unreadable decimal
// ("*****"), an infinite or undefined double for a number field.
using TypedValue =
    std::variant<std::monostate, TextValue, std::int64_t, double, DecimalValue, bool, DateValue>;

// True for a day of the proleptic Gregorian calendar in the years 1 to 9999.
bool isCalendarDate(const DateValue& date);

// The characters (code points) of UTF-8 text, as text columns count their length.
int utf8Characters(std::string_view utf8);

// A dBASE number's text ("  -12.50", "+5", "1.5e3") as the nearest double; nullopt when blank,
// unreadable ("*****") or beyond a double's range.
std::optional<double> decimalAsDouble(std::string_view ascii);
