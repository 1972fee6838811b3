// The region the degree-day formulas were fitted for, the one definition the
// whole program tests a site or a cell against and names to the grower.
#ifndef VERANTA_MODEL_CALIBRATEDREGION_H
#define VERANTA_MODEL_CALIBRATEDREGION_H

struct calibrated_region {
    double latitude_low, latitude_high;     // degrees north
    double longitude_low, longitude_high;   // degrees, west negative
    double elevation_low, elevation_high;   // metres above sea level
    double aspect_low, aspect_high;         // degrees clockwise from north
    double tilt_low, tilt_high;             // degrees
};

// Latitude 42 to 46, longitude -124 to -122.5, elevation 100 to 600 m,
// aspect 0 to 360, tilt -10 to 30, bounds included.
extern const calibrated_region kCalibratedRegion;

// A site (its aspect too) inside the region.
bool siteInCalibratedRegion(double latitude, double longitude, double elevation, double aspect, double tilt);
// A cell of a map inside it: a flat cell has no aspect (-1), so aspect is
// not judged.
bool cellInCalibratedRegion(double latitude, double longitude, double elevation, double tilt);

// "latitude 42 to 46, longitude −124 to −122.5, elevation 100 to 600 m, tilt
// at most 30°", for the notes that say where the degree days are calibrated.
const char *calibratedRegionText(void);

#endif
