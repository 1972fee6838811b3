// Small elevation models made on the spot, and a map file as its readers see
// it: shared by the terrain tests and benchmarks.
#ifndef VERANTA_TESTS_DEMFILES_H
#define VERANTA_TESTS_DEMFILES_H

#include <string>
#include <vector>

// A Float32 GeoTIFF of w x h cells of size cell, its upper left corner at
// (x0, y0) in crs (any text GDAL takes; null for none), each of bands bands
// holding z row by row with nodata -9999, the band unit type unit if given.
// False when GDAL could not write it.
bool writeDemFile(const std::string &path, int w, int h, const std::vector<float> &z, const char *crs, double cell,
                  double x0, double y0, int bands = 1, const char *unit = nullptr);

// A cloud-optimised GeoTIFF of the same (one band, no nodata: as the
// elevation services serve their tiles), written by GDAL's COG driver with
// options (null-terminated; null for its defaults).
bool writeCogFile(const std::string &path, int w, int h, const std::vector<float> &z, const char *crs, double cell,
                  double x0, double y0, const char *const *options = nullptr);

// Everything a reader of a map file sees: gdalinfo's account of it from its
// size on (grid, CRS, metadata, band descriptions, nodata), then every
// pixel's bits; empty when it cannot be read.
std::string mapFileText(const std::string &path);

#endif
