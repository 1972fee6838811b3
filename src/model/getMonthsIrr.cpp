// Irradiation of a whole month of active_year, MJ/m2: the daily totals added
// in single precision, as the degree-day regression expects them.
#include "model/model.h"

float getMonthsIrr(int month) {
    float sum = 0.0f;
    if (month < 1 || month > 12) return sum;
    for (int d = 1; d <= dayspermonth[month - 1]; d++) {
        sum = sum + getDaysIrr(d, month, active_year);
    }
    return sum;
}
