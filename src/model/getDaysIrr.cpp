// Clear-sky irradiation of one day on the sloping site of the shared state,
// MJ/m2, integrated in the one solar record pd.
#include "model/integration.h"
#include "model/model.h"

float getDaysIrr(int day, int month, int year) {
    float rise;
    float set;
    getDayBounds(day, month, year, &rise, &set);

    float irradiation;
    integrateDay(pdat, active_dt, nullptr, &irradiation, nullptr);
    return irradiation;
}
