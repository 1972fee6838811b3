// The terrain window's reading of its map: the cell under the pointer at
// several zooms and pans, and the hectares at or above a threshold against a
// count made cell by cell.
#include "terrain/mapFigures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace {

struct FrameCase {
    const char *name;
    double factor, px, py;   // zoom about (px, py) after fitting
    double panX, panY;
};

TEST(MapFigures, CellUnderThePointerAtSeveralZooms) {
    const int cols = 180, rows = 140;
    const FrameCase cases[] = {{"fitted", 1.0, 0, 0, 0, 0},
                               {"zoomed in 6x about a corner", 6.0, 40, 30, 0, 0},
                               {"zoomed in 37x and panned", 37.0, 400, 250, -1234.5, 811.25},
                               {"zoomed out", 0.3, 700, 400, 12, -7}};
    for (const FrameCase &k : cases) {
        SCOPED_TRACE(k.name);
        map_frame f = mapFit(cols, rows, 800, 500);
        f = mapZoom(&f, k.factor, k.px, k.py);
        f.x += k.panX;
        f.y += k.panY;
        for (int c : {0, 1, 90, 179})
            for (int r : {0, 77, 139}) {
                // A point a third of the way into the cell, and one just inside its far corner.
                for (double into : {1.0 / 3.0, 0.999}) {
                    int col = -1, row = -1;
                    ASSERT_TRUE(mapCellAt(&f, cols, rows, f.x + (c + into) * f.scale, f.y + (r + into) * f.scale,
                                          &col, &row));
                    EXPECT_EQ(col, c);
                    EXPECT_EQ(row, r);
                }
            }
        int col, row;
        EXPECT_FALSE(mapCellAt(&f, cols, rows, f.x - 0.01 * f.scale, f.y + f.scale, &col, &row));
        EXPECT_FALSE(mapCellAt(&f, cols, rows, f.x + cols * f.scale + 0.01, f.y + f.scale, &col, &row));
        EXPECT_FALSE(mapCellAt(&f, cols, rows, f.x + f.scale, f.y + rows * f.scale + 0.01, &col, &row));
    }
}

TEST(MapFigures, ZoomKeepsTheSpotUnderThePointer) {
    map_frame f = mapFit(1000, 1000, 640, 480);
    EXPECT_DOUBLE_EQ(f.scale, (480.0 - 16.0) / 1000.0);
    int before[2], after[2];
    ASSERT_TRUE(mapCellAt(&f, 1000, 1000, 333.0, 222.0, &before[0], &before[1]));
    for (double factor : {1.25, 1.25, 1.25, 4.0, 0.8}) {
        f = mapZoom(&f, factor, 333.0, 222.0);
        ASSERT_TRUE(mapCellAt(&f, 1000, 1000, 333.0, 222.0, &after[0], &after[1]));
        EXPECT_EQ(after[0], before[0]);
        EXPECT_EQ(after[1], before[1]);
    }
}

TEST(MapFigures, HectaresAtOrAboveTheThresholdAgainstACellCount) {
    const int cols = 97, rows = 61;
    std::mt19937 random(19);
    std::uniform_real_distribution<float> gdd(900.0f, 1700.0f);
    std::vector<float> v(cols * rows);
    std::vector<double> area(rows);
    for (float &x : v) x = random() % 9 == 0 ? kMapNodata : gdd(random);
    v[5] = 1300.0f;   // exactly at the threshold: it counts
    // A geographic grid: cells shrink row by row.
    for (int r = 0; r < rows; r++) area[r] = 850.0 - 2.5 * r;

    for (float t : {1300.0f, 899.0f, 1701.0f, 1555.5f}) {
        SCOPED_TRACE(t);
        double total = 0.0, above = 0.0;
        for (int r = 0; r < rows; r++) {
            int n = 0, m = 0;
            for (int c = 0; c < cols; c++) {
                float x = v[r * cols + c];
                n += x != kMapNodata;
                m += x != kMapNodata && !(x < t);
            }
            total += n * area[r];
            above += m * area[r];
        }
        threshold_area a = thresholdArea(v.data(), cols, rows, area.data(), t);
        EXPECT_NEAR(a.total_ha, total / 1e4, 1e-9);
        EXPECT_NEAR(a.at_least_ha, above / 1e4, 1e-9);
    }

    // The classes share the land out whole, the highest value in the last.
    double classes[12], sum = 0.0;
    areaClasses(v.data(), cols, rows, area.data(), 900.0f, 1700.0f, 12, classes);
    for (double h : classes) sum += h;
    EXPECT_NEAR(sum, thresholdArea(v.data(), cols, rows, area.data(), -1e9f).total_ha, 1e-9);
    float top[2] = {1700.0f, 900.0f};
    double one = 1e4, two[2];
    areaClasses(top, 2, 1, &one, 900.0f, 1700.0f, 2, two);
    EXPECT_EQ(two[0], 1.0);
    EXPECT_EQ(two[1], 1.0);
}

TEST(MapFigures, MedianSkipsNodata) {
    const float odd[] = {5, kMapNodata, 1, 3}, even[] = {4, 1, 3, 2}, none[] = {kMapNodata};
    EXPECT_EQ(medianValue(odd, 4), 3.0f);
    EXPECT_EQ(medianValue(even, 4), 2.0f);
    EXPECT_EQ(medianValue(none, 1), kMapNodata);
}

}  // namespace
