// The limits the solar engine puts on a site and a slope, said in words
// before a sweep that would only fail.
#include "slopes/slopes.h"

#include <cmath>

const char *sl_Refusal(const site_location *site, const slope *stored) {
    if (std::fabs(site->latitude) > 90.0f) return "The latitude must lie between -90 and 90 degrees.";
    if (std::fabs(site->longitude) > 180.0f) return "The longitude must lie between -180 and 180 degrees.";
    if (std::fabs(stored->aspect) > 360.0f) return "The aspect must lie between -360 and 360 degrees.";
    if (std::fabs(stored->tilt) > 180.0f) return "The tilt must lie between -180 and 180 degrees.";
    return nullptr;
}
