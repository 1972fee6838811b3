// The one rule by which both calculators tell a result worth showing from
// the finite nonsense that a site far outside the region gives (a 37-digit
// degree-day figure from an elevation of -3e38): far beyond anything a day
// or a season inside the region gives, yet small enough for the clock
// arithmetic to stay within int.
#include "model/model.h"

#include <cmath>

bool plausibleResult(float value) { return std::isfinite(value) && std::fabs(value) <= 1.0e6f; }
