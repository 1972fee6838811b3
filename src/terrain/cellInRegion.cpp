// The region the degree-day formulas are calibrated for, as the calculators
// warn about it; a flat cell's aspect does not matter.
#include "terrain/terrain.h"

#include "model/calibratedRegion.h"

bool cellInRegion(double latitude, double longitude, float elevation, float tilt) {
    return cellInCalibratedRegion(latitude, longitude, elevation, tilt);
}
