// Degree days of a whole month from its irradiation, by the zone in
// northsouth (1 north, 2 south).
#include "model/integration.h"
#include "model/model.h"

float getMonthsGDD(int month, float x) { return zoneGDD(northsouth, month, x, active_elev); }
