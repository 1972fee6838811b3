// Horizons by line sweeps. For one direction the cells lie on parallel lines
// that step one cell at a time along the axis the direction crosses most
// often; the terrain on a line is sampled where it crosses each row (or
// column), linearly between the two cells there. Seen from a cell, the
// earth's curvature lowers a point d ahead by d^2 / 2R, which as a change of
// the points' heights (w = z - s^2 / 2R at position s) keeps the horizon the
// tangent from the cell to the upper convex hull of the points ahead. The
// points within the search distance K of a cell are a suffix of its block of
// K positions and a prefix of the next, so each line is swept twice: once
// backwards growing the suffix hulls, once forwards growing the prefix hulls;
// every point enters two hulls and every cell asks each hull once, by
// bisection. Lines and blocks are fixed on the whole raster, so any window
// gives a cell the same samples, hulls and angle.
#include "terrain/terrain.h"

#include <algorithm>
#include <cmath>
#include <system_error>
#include <thread>
#include <vector>

namespace {

const double kEarthRadius = 6371000.0;
const double kPi = 3.14159265358979323846;

struct point {
    double x;   // position along the line, in steps
    double y;   // height less the curvature drop from the line's origin
};

// > 0 when b lies left of (above) the ray from o through a.
double cross(const point &o, const point &a, const point &b) {
    return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
}

// The upper convex hull of points added in increasing x (grow_right) or in
// decreasing x, kept in increasing x for the queries.
struct hull {
    std::vector<point> v;   // increasing x; built from the back when growing left
    std::vector<int> idx;   // each vertex's sample
    bool grow_right = true;

    void reset() {
        v.clear();
        idx.clear();
    }
    void add(const point &p, int i) {
        if (grow_right) {
            while (v.size() >= 2 && cross(v[v.size() - 2], v.back(), p) >= 0.0) {
                v.pop_back();
                idx.pop_back();
            }
        } else {
            while (v.size() >= 2 && cross(p, v.back(), v[v.size() - 2]) >= 0.0) {
                v.pop_back();
                idx.pop_back();
            }
        }
        v.push_back(p);
        idx.push_back(i);
    }
    size_t size() const { return v.size(); }
    // Vertex k in increasing x.
    const point &at(size_t k) const { return grow_right ? v[k] : v[v.size() - 1 - k]; }
    int sample(size_t k) const { return grow_right ? idx[k] : idx[idx.size() - 1 - k]; }
    // The sample seen highest from o, which lies left of every vertex; -1 if empty.
    int tangent(const point &o) const {
        if (v.empty()) return -1;
        size_t lo = 0;
        size_t hi = v.size() - 1;
        while (lo < hi) {
            const size_t mid = (lo + hi) / 2;
            if (cross(o, at(mid), at(mid + 1)) > 0.0)
                lo = mid + 1;
            else
                hi = mid;
        }
        return sample(lo);
    }
};

long floorDiv(long a, long b) {
    long q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) q--;
    return q;
}

struct direction_sweep {
    const horizon_grid *g;
    int x0, y0, w, h;      // target cells, window coordinates
    int directions;
    float *angles;
    long K;                // samples within the distance
    double step;           // metres between samples
    double t;              // secondary cells per step
    bool by_columns;       // steps from column to column
    int sign;              // primary index = sign * q
    int k;                 // the direction's index

    // Window coordinates of primary index p and secondary index s.
    float z(long p, long s) const {
        const long col = (by_columns ? p : s) - g->origin_x;
        const long row = (by_columns ? s : p) - g->origin_y;
        return g->z[static_cast<size_t>(row) * static_cast<size_t>(g->width) + static_cast<size_t>(col)];
    }
    bool inWindow(long p, long s) const {
        const long col = (by_columns ? p : s) - g->origin_x;
        const long row = (by_columns ? s : p) - g->origin_y;
        return col >= 0 && col < g->width && row >= 0 && row < g->height;
    }
    bool isTarget(long p, long s) const {
        const long col = (by_columns ? p : s) - g->origin_x;
        const long row = (by_columns ? s : p) - g->origin_y;
        return col >= x0 && col < x0 + w && row >= y0 && row < y0 + h;
    }
    float *out(long p, long s) const {
        const long col = (by_columns ? p : s) - g->origin_x - x0;
        const long row = (by_columns ? s : p) - g->origin_y - y0;
        return angles + (static_cast<size_t>(row) * static_cast<size_t>(w) + static_cast<size_t>(col)) * directions + k;
    }

    void run(std::vector<double> &height, std::vector<long> &observer, std::vector<long> &offset, std::vector<double> &delta,
             std::vector<double> &best, hull &suffix, hull &prefix) const {
        // Primary range of the window and of the targets, as q = sign * p.
        const long porigin = by_columns ? g->origin_x : g->origin_y;
        const long plen = by_columns ? g->width : g->height;
        const long tp0 = porigin + (by_columns ? x0 : y0);
        const long tp1 = tp0 + (by_columns ? w : h) - 1;
        const long wq1 = std::max(sign * porigin, sign * (porigin + plen - 1));
        const long tq0 = std::min(sign * tp0, sign * tp1);
        const long tq1 = std::max(sign * tp0, sign * tp1);
        const long qlo = tq0;
        const long qhi = std::min(wq1, tq1 + K);
        const long n = qhi - qlo + 1;
        // The line through secondary index L + m(q) at q passes delta(q) off
        // that cell's centre; m and delta depend on q alone.
        offset.resize(static_cast<size_t>(n));
        delta.resize(static_cast<size_t>(n));
        for (long i = 0; i < n; i++) {
            const double tq = t * static_cast<double>(qlo + i);
            const double m = std::floor(tq + 0.5);
            offset[static_cast<size_t>(i)] = static_cast<long>(m);
            delta[static_cast<size_t>(i)] = tq - m;
        }
        long tmmin = 0;
        long tmmax = 0;
        for (long i = 0; i <= tq1 - qlo; i++) {
            const long m = offset[static_cast<size_t>(i)];
            if (i == 0 || m < tmmin) tmmin = m;
            if (i == 0 || m > tmmax) tmmax = m;
        }
        const long sorigin = by_columns ? g->origin_y : g->origin_x;
        const long ts0 = sorigin + (by_columns ? y0 : x0);
        const long ts1 = ts0 + (by_columns ? h : w) - 1;
        height.resize(static_cast<size_t>(n));
        observer.resize(static_cast<size_t>(n));
        const double drop = step * step / (2.0 * kEarthRadius);

        for (long L = ts0 - tmmax; L <= ts1 - tmmin; L++) {
            bool any = false;
            for (long i = 0; i < n; i++) {
                const long q = qlo + i;
                const long p = sign * q;
                const long s = L + offset[static_cast<size_t>(i)];
                const double d = delta[static_cast<size_t>(i)];
                // The sample between cells s and s + 1 (or s - 1 and s); by
                // the nearer cell alone at the raster's border.
                const long s2 = d >= 0.0 ? s + 1 : s - 1;
                const double f = std::fabs(d);
                double v = NAN;
                const bool in1 = inWindow(p, s);
                const bool in2 = inWindow(p, s2);
                if (in1 && (f == 0.0 || !in2)) {
                    v = z(p, s);
                } else if (in1 && in2) {
                    const double a = z(p, s);
                    const double b = z(p, s2);
                    v = a + f * (b - a);
                }
                height[static_cast<size_t>(i)] = v;
                long o = -1;
                if (q <= tq1 && in1 && isTarget(p, s)) {
                    o = s;
                    any = true;
                }
                observer[static_cast<size_t>(i)] = o;
            }
            if (!any) continue;
            sweepLine(qlo, n, height, observer, drop, best, suffix, prefix);
        }
    }

    void sweepLine(long qlo, long n, const std::vector<double> &height, const std::vector<long> &observer,
                   double drop, std::vector<double> &best, hull &suffix, hull &prefix) const {
        auto pointAt = [&](long i) {
            const double x = static_cast<double>(qlo + i);
            return point{x, height[static_cast<size_t>(i)] - x * x * drop};
        };
        auto observerZ = [&](long i) { return static_cast<double>(z(sign * (qlo + i), observer[static_cast<size_t>(i)])); };
        // The hull's tangent sample, compared on the exact angle from the cell.
        auto consider = [&](long i, const hull &hl) {
            const double x = static_cast<double>(qlo + i);
            const double zo = observerZ(i);
            const int s = hl.tangent(point{x, zo - x * x * drop});
            if (s < 0) return;
            const double dist = static_cast<double>(s - i) * step;
            const double tn = (height[static_cast<size_t>(s)] - zo) / dist - dist / (2.0 * kEarthRadius);
            if (tn > best[static_cast<size_t>(i)]) best[static_cast<size_t>(i)] = tn;
        };
        auto wanted = [&](long i) {
            const long o = observer[static_cast<size_t>(i)];
            return o >= 0 && !std::isnan(observerZ(i));
        };
        best.assign(static_cast<size_t>(n), 0.0);
        // Backwards: the suffix of the cell's own block after it.
        long block = 0;
        bool started = false;
        for (long i = n - 1; i >= 0; i--) {
            const long b = floorDiv(qlo + i, K);
            if (!started || b != block) {
                suffix.reset();
                block = b;
                started = true;
            }
            if (wanted(i)) consider(i, suffix);
            if (!std::isnan(height[static_cast<size_t>(i)])) suffix.add(pointAt(i), static_cast<int>(i));
        }
        // Forwards: the prefix of the next block up to the distance.
        started = false;
        long next_point = 0;
        for (long i = 0; i < n; i++) {
            const long b = floorDiv(qlo + i, K);
            if (!started || b != block) {
                prefix.reset();
                block = b;
                started = true;
                next_point = std::max(0L, (b + 1) * K - qlo);
            }
            for (; next_point <= i + K && next_point < n; next_point++)
                if (!std::isnan(height[static_cast<size_t>(next_point)]))
                    prefix.add(pointAt(next_point), static_cast<int>(next_point));
            const long o = observer[static_cast<size_t>(i)];
            if (o < 0) continue;
            float *slot = out(sign * (qlo + i), o);
            if (!wanted(i)) {
                *slot = 0.0f;
                continue;
            }
            consider(i, prefix);
            *slot = static_cast<float>(std::atan(best[static_cast<size_t>(i)]) * (180.0 / kPi));
        }
    }
};

}  // namespace

int terrainHorizons(const horizon_grid *grid, int directions, double distance, int x0, int y0, int w, int h,
                    float *angles, int threads, map_control *control) {
    if (w <= 0 || h <= 0 || directions <= 0) return TERRAIN_OK;
    std::atomic<int> next{0};
    auto cancelled = [&] { return control != nullptr && control->cancel.load(std::memory_order_relaxed); };
    auto worker = [&] {
        std::vector<double> height;
        std::vector<long> observer;
        std::vector<long> offset;
        std::vector<double> delta;
        std::vector<double> best;
        hull suffix;
        suffix.grow_right = false;
        hull prefix;
        for (;;) {
            const int k = next.fetch_add(1);
            if (k >= directions || cancelled()) return;
            const double theta = 2.0 * kPi * k / directions;
            const double east = std::sin(theta);
            const double north = std::cos(theta);
            direction_sweep d{};
            d.g = grid;
            d.x0 = x0;
            d.y0 = y0;
            d.w = w;
            d.h = h;
            d.directions = directions;
            d.angles = angles;
            d.k = k;
            d.by_columns = std::fabs(east) / grid->cell_width >= std::fabs(north) / grid->cell_height;
            if (d.by_columns) {
                d.sign = east > 0.0 ? 1 : -1;
                d.step = grid->cell_width / std::fabs(east);
                d.t = -north * d.step / grid->cell_height;  // rows grow southwards
            } else {
                d.sign = north > 0.0 ? -1 : 1;
                d.step = grid->cell_height / std::fabs(north);
                d.t = east * d.step / grid->cell_width;
            }
            d.K = static_cast<long>(std::floor(distance / d.step));
            if (d.K < 1) {
                for (long i = 0; i < static_cast<long>(w) * h; i++) angles[static_cast<size_t>(i) * directions + k] = 0.0f;
                continue;
            }
            d.run(height, observer, offset, delta, best, suffix, prefix);
        }
    };
    threads = std::max(1, std::min(threads, directions));
    std::vector<std::thread> pool;
    for (int i = 1; i < threads; i++) {
        try {
            pool.emplace_back(worker);
        } catch (const std::system_error &) {
            break;
        }
    }
    worker();
    for (std::thread &t : pool) t.join();
    return cancelled() ? TERRAIN_CANCELLED : TERRAIN_OK;
}
