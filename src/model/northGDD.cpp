// Degree days of a month in the northern zone at the elevation of the shared
// state.
#include "model/integration.h"
#include "model/model.h"

float northGDD(int month, float x) { return northGDDAt(month, x, active_elev); }
