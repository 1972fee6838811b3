// Month number (1-12) of an English month name as the month choosers offer
// it; 13 for anything else, including no text at all.
#include "model/model.h"

#include <cstring>

int getMonthNumber(const char *name) {
    static const char *const names[12] = {"January", "February", "March",     "April",
                                          "May",     "June",     "July",      "August",
                                          "September", "October", "November", "December"};
    if (name == nullptr) return 13;
    for (int m = 0; m < 12; m++) {
        if (std::strcmp(name, names[m]) == 0) return m + 1;
    }
    return 13;
}
