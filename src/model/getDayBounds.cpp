// Places the sun once for a date at the clock time of the shared state and
// returns that day's sunrise and sunset (minutes after local standard
// midnight). Leaves pd filled for the date, ready for getDaysIrr to step.
#include "model/model.h"

void getDayBounds(int day, int month, int year, float *sunrise, float *sunset) {
    prepareRecord(day, month, year);
    S_solpos(pdat);

    *sunrise = pdat->sunrise_minutes;
    *sunset = pdat->sunset_minutes;
}
