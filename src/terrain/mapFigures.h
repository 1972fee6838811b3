// What the terrain window reads off a computed map, kept free of the toolkit
// so that it can be checked directly: where the pointer is on the grid, how
// many hectares reach a threshold, the land's area by class. A cell whose
// value is NaN is nodata and counts nowhere. Nothing here keeps state.
#ifndef VERANTA_TERRAIN_MAPFIGURES_H
#define VERANTA_TERRAIN_MAPFIGURES_H

// How a grid of cells lies on the screen: cell (0, 0)'s top-left corner at
// (x, y) and scale pixels per cell, the same across and down.
struct map_frame {
    double x, y;
    double scale;
};

// The whole grid centred in a width × height area, as large as fits.
map_frame mapFit(int cols, int rows, double width, double height);
// The frame zoomed by factor about the point (px, py), which stays over
// the same spot of the land.
map_frame mapZoom(const map_frame *frame, double factor, double px, double py);
// The cell under the point (px, py): true with *col, *row set when the point
// lies on the grid, false otherwise.
bool mapCellAt(const map_frame *frame, int cols, int rows, double px, double py, int *col, int *row);

// The land's area in hectares, and the part of it whose value is at least
// threshold; row_area[r] is the area of one cell of row r in m² (cells of a
// geographic grid shrink towards the pole).
struct threshold_area {
    double total_ha;
    double at_least_ha;
};
threshold_area thresholdArea(const float *values, int cols, int rows, const double *row_area, float threshold);

// The area in hectares of each of classes equal classes from low to high
// (a value at high falls in the last class; values outside are clamped).
void areaClasses(const float *values, int cols, int rows, const double *row_area, float low, float high,
                 int classes, double *hectares);

// The median of the values that are not NaN (the lower middle one of an
// even count), or NaN when there are none.
float medianValue(const float *values, long count);

#endif
