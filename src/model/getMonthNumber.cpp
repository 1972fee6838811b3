// Month number (1-12) of an English month name as the month choosers offer
// it; 13 for anything else, including no text at all.
#include "model/model.h"

#include <cstring>

const char *const month_names[12] = {"January", "February", "March",     "April",   "May",      "June",
                                     "July",    "August",   "September", "October", "November", "December"};

int getMonthNumber(const char *name) {
    if (name == nullptr) return 13;
    for (int m = 0; m < 12; m++) {
        if (std::strcmp(name, month_names[m]) == 0) return m + 1;
    }
    return 13;
}
