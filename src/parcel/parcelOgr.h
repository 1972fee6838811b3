// What the parcel's units share: GDAL's messages caught for one sentence
// instead of stderr, blocks to OGR geometries and back, a CRS with GIS axis
// order, figures as text. Private to src/parcel.
#ifndef VERANTA_PARCEL_PARCELOGR_H
#define VERANTA_PARCEL_PARCELOGR_H

#include "parcel/parcel.h"

#include <memory>
#include <ogr_geometry.h>
#include <ogr_spatialref.h>
#include <string>

// While it lives, GDAL's messages on this thread come here instead of
// stderr; failure() is the last error's text, empty when none.
class gdal_errors {
public:
    gdal_errors();
    ~gdal_errors();
    gdal_errors(const gdal_errors &) = delete;
    gdal_errors &operator=(const gdal_errors &) = delete;
    const std::string &failure() const { return failure_; }
    void clear() { failure_.clear(); }
    // "sentence (GDAL's message)" or the sentence alone.
    std::string explain(const std::string &sentence) const;

private:
    static void handle(int kind, int code, const char *message);
    std::string failure_;
};

// A block as one OGR multipolygon in the parcel's CRS.
std::unique_ptr<OGRMultiPolygon> blockGeometry(const parcel_block &block);

// The polygons of g (a polygon, multipolygon, curved one or collection)
// appended to polygons; points and lines inside a collection are skipped.
void appendPolygons(const OGRGeometry *g, std::vector<parcel_polygon> *polygons);

// A CRS from WKT (or any definition GDAL takes) with x east / longitude
// first, as geotransforms have it. False when it cannot be read.
bool gisCrs(const std::string &definition, OGRSpatialReference *crs);

// x with the given decimals and a decimal point whatever the locale.
std::string fixedText(double x, int decimals);

// A block's name in quotation marks, for sentences.
std::string quotedName(const std::string &name);

#endif
