// One month of a season: the irradiation of its days in the season and their
// share of the whole month's degree days, which the regression gives for
// whole months only.
#include "model/integration.h"

void seasonMonth(const float *daily, int length, int first, int last, int zone, float elevation, int month,
                 float *irradiation, float *degree_days, float *whole_irradiation) {
    // The whole month and the range are summed from the same values, in day
    // order, as getMonthsIrr sums them.
    float whole = 0.0f;
    for (int d = 1; d <= length; d++) whole = whole + daily[d - 1];
    if (whole_irradiation != nullptr) *whole_irradiation = whole;

    if (first == 1 && last == length) {
        *irradiation = whole;
        *degree_days = zoneGDD(zone, month, whole, elevation);
        return;
    }
    float part = 0.0f;
    for (int d = first; d <= last; d++) part = part + daily[d - 1];
    *irradiation = part;
    // A month without sun has no degree days to share out.
    *degree_days = whole == 0.0f ? 0.0f : (part / whole) * zoneGDD(zone, month, whole, elevation);
}
