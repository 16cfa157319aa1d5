#pragma once

#include <cstdint>
#include <string_view>
#include <variant>

// What a PostGIS output receives from the merge, shaped so that a caller can hand values over
// without copying them: texts are views that must stay valid for the call that takes them.

struct PostgisText {
    std::string_view utf8;  // cut at a NUL byte, as dBASE readers do
};

// A number as written in a dBASE numeric field ("  -12.50"): kept exact, unlike a double.
struct PostgisDecimal {
    std::string_view ascii;
};

struct PostgisDate {
    int year = 0;
    int month = 0;
    int day = 0;
};

// One attribute value. Text goes to text columns; the three numbers to numeric, integer and
// double precision columns alike (rounded to the column's decimals); booleans and dates to
// their own columns. Written as NULL: an impossible date (a 30th of February), a blank or
// unreadable decimal ("*****"), an infinite or undefined double for a numeric column.
using PostgisValue = std::variant<std::monostate, PostgisText, std::int64_t, double, PostgisDecimal,
                                  bool, PostgisDate>;
