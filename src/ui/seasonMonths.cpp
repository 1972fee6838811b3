// The months of a season with their first and last days, as the season
// window steps through them: the first month from the start day, the last up
// to the stop day, the others whole.
#include "ui/monthRows.h"

#include "model/model.h"

int seasonMonths(const season_range *season, int months[12], int first[12], int last[12]) {
    static const int lengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (season->start_month < 1 || season->stop_month > 12 || season->stop_month <= season->start_month) return 0;
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
