// The month lengths of a year, January first.
#include "model/integration.h"
#include "model/model.h"

void monthLengths(int year, int lengths[12]) {
    static const int common[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    for (int m = 0; m < 12; m++) lengths[m] = common[m];
    if (isLeapYear(year)) lengths[1] = 29;
}
