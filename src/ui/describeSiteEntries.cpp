// The five site fields mean the same in every window, so they say it in the
// same words, with the range the degree-day formulas are calibrated for.
#include "ui/windowTools.h"

void describeSiteEntries(GtkWidget *latitude, GtkWidget *longitude, GtkWidget *elevation, GtkWidget *aspect,
                         GtkWidget *tilt) {
    describeWidget(latitude, nullptr, "latitude of the site, degrees, north positive (calibrated 42 to 46)");
    describeWidget(longitude, nullptr, "longitude of the site, degrees, west negative (calibrated −124 to −122.5)");
    describeWidget(elevation, nullptr, "elevation, metres above sea level (calibrated 100 to 600 m)");
    describeWidget(aspect, nullptr, "aspect: the way the slope faces, degrees clockwise from north; 180 is south");
    describeWidget(tilt, nullptr, "tilt: steepness of the slope, degrees from level ground (calibrated −10 to 30)");
}
