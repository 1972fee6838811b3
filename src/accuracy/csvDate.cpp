// The date of a table row, checked as a calendar date inside the engine's
// years: the engine itself would take 31 February or day 0 without a word.
#include "accuracy/accuracy.h"

#include "model/model.h"

bool csvDate(const std::vector<std::string> &fields, std::size_t first, int *year, int *month, int *day,
             std::string *problem) {
    static const int lengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (!csvInt(fields[first], year) || *year < 1950 || *year > 2050) {
        *problem = "year " + quoteField(fields[first]) + " is not a whole year 1950 to 2050";
        return false;
    }
    if (!csvInt(fields[first + 1], month) || *month < 1 || *month > 12) {
        *problem = "month " + quoteField(fields[first + 1]) + " is not a whole number 1 to 12";
        return false;
    }
    int length = lengths[*month - 1] + (*month == 2 && isLeapYear(*year) ? 1 : 0);
    if (!csvInt(fields[first + 2], day) || *day < 1 || *day > length) {
        *problem = "day " + quoteField(fields[first + 2]) + " is not a day of that month";
        return false;
    }
    return true;
}
