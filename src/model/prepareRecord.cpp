// Resets the one solar record and fills it for a date at the clock time,
// location and atmosphere of the shared state, ready for S_solpos.
#include "model/integration.h"
#include "model/model.h"

void prepareRecord(int day, int month, int year) {
    pdat = &pd;
    const day_conditions c = currentConditions();
    fillRecord(pdat, &c, day, month, year);
}
