// Tilt and aspect by Horn's method, as gdaldem computes them with its edges
// computed: beyond the raster's top or bottom a row is extrapolated from the
// two rows inside (2 * near - far); beyond its sides a column likewise, except
// on the first and last rows, where the side copies the middle column. What
// is still missing (a nodata neighbour, or extrapolated from one) takes the
// cell's own elevation. The window's differences are summed in single
// precision from left to right, as gdaldem sums them: on gentle slopes the
// aspect hangs on their last bits (in double it differed by up to 0.16
// degrees at tilts under a degree).
#include "terrain/internals.h"

#include <cmath>

namespace {

float extrapolate(float near, float far) {
    return 2.0f * near - far;  // NaN when either is nodata
}

}  // namespace

void hornSlope(const float *z, int ww, int wh, const double *width, const double *height, int x0, int y0, int w,
               int h, float *tilt, float *aspect) {
    const double degrees = 180.0 / 3.14159265358979323846;
    auto at = [&](int r, int c) { return z[static_cast<size_t>(r) * ww + c]; };
    for (int r = y0; r < y0 + h; r++) {
        for (int c = x0; c < x0 + w; c++) {
            const size_t out = static_cast<size_t>(r - y0) * w + (c - x0);
            const float e = at(r, c);
            if (std::isnan(e)) {
                tilt[out] = NAN;
                aspect[out] = NAN;
                continue;
            }
            // win[i][j]: row r - 1 + i, column c - 1 + j.
            float win[3][3];
            bool have[3][3];
            for (int i = 0; i < 3; i++)
                for (int j = 0; j < 3; j++) {
                    const int rr = r - 1 + i;
                    const int cc = c - 1 + j;
                    have[i][j] = rr >= 0 && rr < wh && cc >= 0 && cc < ww;
                    win[i][j] = have[i][j] ? at(rr, cc) : NAN;
                }
            const bool edge_row = !have[0][1] || !have[2][1];
            for (int i = 0; i < 3; i++)
                for (int j = 0; j < 3; j += 2)
                    if (!have[i][j] && have[i][1]) win[i][j] = edge_row ? win[i][1] : extrapolate(win[i][1], win[i][2 - j]);
            for (int i = 0; i < 3; i += 2)
                if (!have[i][1])
                    for (int j = 0; j < 3; j++) win[i][j] = extrapolate(win[1][j], win[2 - i][j]);
            for (auto &row : win)
                for (float &v : row)
                    if (std::isnan(v)) v = e;

            const float west = win[0][0] + win[1][0] + win[1][0] + win[2][0];
            const float east = win[0][2] + win[1][2] + win[1][2] + win[2][2];
            const float south = win[2][0] + win[2][1] + win[2][1] + win[2][2];
            const float north = win[0][0] + win[0][1] + win[0][1] + win[0][2];
            const double dzdx = -static_cast<double>(west - east) / (8.0 * width[r]);
            const double dzdy = static_cast<double>(south - north) / (8.0 * height[r]);
            if (dzdx == 0.0 && dzdy == 0.0) {
                tilt[out] = 0.0f;
                aspect[out] = -1.0f;
                continue;
            }
            tilt[out] = static_cast<float>(std::atan(std::sqrt(dzdx * dzdx + dzdy * dzdy)) * degrees);
            // Clockwise from north, the way the ground falls.
            double a = 90.0 - std::atan2(dzdy, -dzdx) * degrees;
            if (a < 0.0) a += 360.0;
            if (a >= 360.0) a -= 360.0;
            aspect[out] = static_cast<float>(a);
        }
    }
}
