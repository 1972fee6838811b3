// The region the degree-day formulas are calibrated for, as the calculators
// warn about it; a flat cell's aspect does not matter.
#include "terrain/terrain.h"

bool cellInRegion(double latitude, double longitude, float elevation, float tilt) {
    return latitude >= 42.0 && latitude <= 46.0 && longitude >= -124.0 && longitude <= -122.5 && elevation >= 100.0f &&
           elevation <= 600.0f && tilt >= -10.0f && tilt <= 30.0f;
}
