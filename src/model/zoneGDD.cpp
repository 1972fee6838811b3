// Degree days of a whole month from its irradiation, by zone (1 north,
// 2 south).
#include "model/integration.h"
#include "model/model.h"

float zoneGDD(int zone, int month, float x, float elevation) {
    if (zone == 1) return northGDDAt(month, x, elevation);
    if (zone == 2) return southGDD(month, x);
    // No zone chosen: no estimate.
    return 0.0f;
}
