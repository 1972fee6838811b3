// Outline files made on the spot for the parcel tests: a scratch folder,
// GeoJSON and KML text, and the same outline in OGR's other formats.
#ifndef VERANTA_TESTS_PARCELFIXTURES_H
#define VERANTA_TESTS_PARCELFIXTURES_H

#include "parcel/parcel.h"

#include <string>
#include <vector>

// A folder under /tmp, removed with everything in it when the object goes.
class scratch_folder {
public:
    scratch_folder();
    ~scratch_folder();
    std::string path(const std::string &name) const { return root_ + "/" + name; }

private:
    std::string root_;
};

void writeText(const std::string &path, const std::string &text);

// A ring as GeoJSON coordinates (closed by the caller), and the closed
// ring of an axis-aligned rectangle.
std::string ringJson(const std::vector<parcel_point> &points);
std::string rectangleRing(double x0, double y0, double x1, double y1);
// A GeoJSON polygon of rings (the outer first), a multipolygon of polygons'
// ring lists, a feature, and a collection in crs ("EPSG:32610"; null: WGS 84).
std::string polygonJson(const std::vector<std::string> &rings);
std::string multiPolygonJson(const std::vector<std::vector<std::string>> &polygons);
std::string featureJson(const std::string &properties, const std::string &geometry);
std::string collectionJson(const std::vector<std::string> &features, const char *crs);

// A KML document of placemarks, each a name and a geometry element.
std::string kmlDocument(const std::vector<std::pair<std::string, std::string>> &placemarks);
// A KML polygon of rings of (longitude, latitude), the outer first.
std::string kmlPolygon(const std::vector<std::vector<parcel_point>> &rings);

// The outline at from copied to another format by OGR ("GeoJSON", "GPKG",
// "ESRI Shapefile", ...); false when OGR could not.
bool convertOutline(const std::string &from, const std::string &to, const char *driver);
// A zip archive of the given files, each stored under its own base name.
bool zipFiles(const std::string &zip, const std::vector<std::string> &files);

// Is (x, y) inside the block, by the crossing count over all its rings?
bool pointInBlock(const parcel_block &block, double x, double y);

// The north-up grid of width x height square cells of size cell, its upper
// left corner at (x0, y0).
parcel_grid squareGrid(double x0, double y0, double cell, int width, int height);

#endif
