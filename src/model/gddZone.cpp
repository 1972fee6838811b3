// The regression zone of a latitude, compared in double precision.
#include "model/gddFalls.h"

int gddZone(float latitude) { return static_cast<double>(latitude) > 43.7 ? 1 : 2; }
