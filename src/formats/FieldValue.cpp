#include "formats/FieldValue.h"

bool isCalendarDate(const FieldDate& date) {
    static constexpr int kMonthDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (date.year < 1 || date.year > 9999 || date.month < 1 || date.month > 12 || date.day < 1) {
        return false;
    }
    const bool leap = (date.year % 4 == 0 && date.year % 100 != 0) || date.year % 400 == 0;
    return date.day <= kMonthDays[date.month - 1] + (date.month == 2 && leap ? 1 : 0);
}
