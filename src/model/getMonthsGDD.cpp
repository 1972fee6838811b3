// Degree days of a whole month from its irradiation, by the zone in
// northsouth (1 north, 2 south).
#include "model/model.h"

float getMonthsGDD(int month, float x) {
    if (northsouth == 1) return northGDD(month, x);
    if (northsouth == 2) return southGDD(month, x);
    // No zone chosen: no estimate.
    return 0.0f;
}
