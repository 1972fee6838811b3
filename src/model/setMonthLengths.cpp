// Fills dayspermonth with the month lengths of the given year.
#include "model/model.h"

void setMonthLengths(int year) {
    static const int common[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    for (int m = 0; m < 12; m++) dayspermonth[m] = common[m];
    if (isLeapYear(year)) dayspermonth[1] = 29;
}
