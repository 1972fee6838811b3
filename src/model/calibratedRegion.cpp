#include "model/calibratedRegion.h"

const calibrated_region kCalibratedRegion = {42.0, 46.0, -124.0, -122.5, 100.0, 600.0, 0.0, 360.0, -10.0, 30.0};

bool cellInCalibratedRegion(double latitude, double longitude, double elevation, double tilt) {
    const calibrated_region &r = kCalibratedRegion;
    return latitude >= r.latitude_low && latitude <= r.latitude_high && longitude >= r.longitude_low &&
           longitude <= r.longitude_high && elevation >= r.elevation_low && elevation <= r.elevation_high &&
           tilt >= r.tilt_low && tilt <= r.tilt_high;
}

bool siteInCalibratedRegion(double latitude, double longitude, double elevation, double aspect, double tilt) {
    return cellInCalibratedRegion(latitude, longitude, elevation, tilt) && aspect >= kCalibratedRegion.aspect_low &&
           aspect <= kCalibratedRegion.aspect_high;
}

const char *calibratedRegionText(void) {
    return "latitude 42 to 46, longitude −124 to −122.5, elevation 100 to 600 m, tilt at most 30°";
}
