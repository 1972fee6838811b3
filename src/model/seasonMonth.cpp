// One month of a season: the irradiation of its days in the season and their
// share of the whole month's degree days, which the regression gives for
// whole months only.
#include "model/integration.h"
#include "model/model.h"
#include "model/sweepSeason.h"

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

int seasonMonths(const season_range *season, int months[12], int first[12], int last[12]) {
    static const int lengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (season->start_month < 1 || season->stop_month > 12 || season->stop_month < season->start_month) return 0;
    int count = 0;
    for (int m = season->start_month; m <= season->stop_month; m++) {
        int length = lengths[m - 1] + (m == 2 ? isLeapYear(season->year) : 0);
        months[count] = m;
        first[count] = m == season->start_month ? season->start_day : 1;
        last[count] = m == season->stop_month ? season->stop_day : length;
        count++;
    }
    return count;
}
