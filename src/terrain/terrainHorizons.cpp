// Horizons seen from each cell's centre, in two fields. Near the cell (the
// first kNear steps) a ray is marched from the centre itself, sampling the
// terrain where it crosses a row or a column of centres, linearly between
// the two cells there; the cells of a raster row share these crossings, so
// the march runs along rows. Farther on, per direction the cells lie on
// parallel lines that step one cell at a time along the axis the direction
// crosses most often, sampled the same way. Such a line passes up to half a
// cell beside a cell's centre, so a cell's far tangent is weighed from the
// two lines on either side of its centre by their distances from it.
// Seen from a cell, the earth's curvature lowers a point d ahead by d^2 / 2R,
// which as a change of the points' heights (w = z - s^2 / 2R at position s)
// keeps the far horizon the tangent from the cell to the upper convex hull of
// a line's points between kNear and the search distance K ahead. As for an
// observer kNear steps ahead of the cell, those points are a suffix of its
// block of K - kNear positions and a prefix of the next, so each line is
// swept twice: once backwards growing the suffix hulls, once forwards
// growing the prefix hulls; every point enters two hulls and every cell asks
// each hull by bisection, for itself and for the neighbour whose centre the
// line passes on the other side. Lines and blocks are fixed on the whole
// raster, so any window gives a cell the same samples, hulls and angle.
#include "terrain/internals.h"

#include "model/runOnThreads.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

namespace {

const double kEarthRadius = 6371000.0;
const double kPi = 3.14159265358979323846;
// Steps marched from the centre. Against a fine march on a smooth hill the
// worst error was 0.17 degrees with 24 steps, 0.29 with 16 and 0.26 with 8;
// it stays that of sampling at the crossings beyond 24 steps.
const long kNear = 24;

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

// Raises top[c] to the tangent of the sample pa[c] + f (pb[c] - pa[c]) seen
// from height zo[c], inv and dip being 1 / d and d / 2R of the step; a
// nodata sample or observer gives NaN, which raises nothing.
void march(const float *pa, const float *pb, double f, const double *zo, double inv, double dip, double *top, long lo,
           long hi) {
    for (long c = lo; c < hi; c++) {
        const double a = pa[c];
        const double v = a + f * (static_cast<double>(pb[c]) - a);
        const double tn = (v - zo[c]) * inv - dip;
        top[c] = tn > top[c] ? tn : top[c];
    }
}

long floorDiv(long a, long b) {
    long q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) q--;
    return q;
}

struct direction_sweep {
    const horizon_grid *g;
    int x0, y0, w, h;      // target cells, window coordinates
    horizon_out to;        // where the target cells' angles go
    long K;                // samples within the distance
    long R;                // of them, those marched from the centre (at most K)
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
        return slot(row, col);
    }
    // The angle of target cell (row, col), rows and columns from the
    // targets' first, in this direction.
    float *slot(long row, long col) const {
        return to.base + static_cast<size_t>(row) * to.row_stride + static_cast<size_t>(col) * to.cell_stride +
               static_cast<size_t>(k) * to.direction_stride;
    }

    // One sample of the rays of the target cells of row r: on column
    // x0 + c + dc, between the rows r + y and the next (y fractional); beyond
    // the raster's top or bottom the nearer row if inside.
    void alongColumn(long r, long dc, double y, double dist, const double *zo, double *top) const {
        const long ww = g->width;
        const long wh = g->height;
        const double fl = std::floor(y);
        double f = y - fl;
        long ra = r + static_cast<long>(fl);
        long rb = f == 0.0 ? ra : ra + 1;
        const bool ina = ra >= 0 && ra < wh;
        const bool inb = rb >= 0 && rb < wh;
        if (!ina && !inb) return;
        if (!ina || !inb) {
            if (ina != (f < 0.5)) return;
            ra = rb = ina ? ra : rb;
            f = 0.0;
        }
        const long shift = x0 + dc;
        march(g->z + ra * ww + shift, g->z + rb * ww + shift, f, zo, 1.0 / dist, dist / (2.0 * kEarthRadius), top,
              std::max(0L, -shift), std::min(static_cast<long>(w), ww - shift));
    }

    // Likewise on row r + dr, between the columns x0 + c + x and the next;
    // beyond the raster's sides the nearer column.
    void alongRow(long r, long dr, double x, double dist, const double *zo, double *top) const {
        const long ww = g->width;
        const long sr = r + dr;
        if (sr < 0 || sr >= g->height) return;
        const double fl = std::floor(x);
        const double f = x - fl;
        const float *line = g->z + sr * ww;
        const long shift = x0 + static_cast<long>(fl);
        const long next = f == 0.0 ? 0 : 1;
        const double inv = 1.0 / dist;
        const double dip = dist / (2.0 * kEarthRadius);
        march(line + shift, line + shift + next, f, zo, inv, dip, top, std::max(0L, -shift),
              std::min(static_cast<long>(w), ww - next - shift));
        if (next == 0) return;
        const long left = -1 - shift;       // its right neighbour is column 0
        const long right = ww - 1 - shift;  // column ww - 1 is its left neighbour
        if (f >= 0.5 && left >= 0 && left < w) march(line, line, 0.0, zo + left, inv, dip, top + left, 0, 1);
        if (f < 0.5 && right >= 0 && right < w)
            march(line + ww - 1, line + ww - 1, 0.0, zo + right, inv, dip, top + right, 0, 1);
    }

    // The first R steps of the ray from every target cell's centre, row by
    // row of the cells, sampled where it crosses a column or a row of
    // centres; raises the far angle already in place.
    void nearField(std::vector<double> &zo, std::vector<double> &top) const {
        zo.resize(static_cast<size_t>(w));
        top.resize(static_cast<size_t>(w));
        const double at = std::fabs(t);
        const long crossings = static_cast<long>(std::floor(at * static_cast<double>(R)));
        const long ts = t > 0.0 ? 1 : -1;
        for (long r = y0; r < y0 + h; r++) {
            const float *row = g->z + static_cast<size_t>(r) * static_cast<size_t>(g->width);
            for (long c = 0; c < w; c++) zo[static_cast<size_t>(c)] = row[x0 + c];
            std::fill(top.begin(), top.end(), 0.0);
            // Across the primary axis: whole steps.
            for (long j = 1; j <= R; j++) {
                const double dist = static_cast<double>(j) * step;
                const double sec = t * static_cast<double>(j);
                if (by_columns)
                    alongColumn(r, sign * j, sec, dist, zo.data(), top.data());
                else
                    alongRow(r, sign * j, sec, dist, zo.data(), top.data());
            }
            // Across the secondary axis: m / |t| steps.
            for (long m = 1; m <= crossings; m++) {
                const double j = static_cast<double>(m) / at;
                const double dist = j * step;
                const double pri = static_cast<double>(sign) * j;
                if (by_columns)
                    alongRow(r, ts * m, pri, dist, zo.data(), top.data());
                else
                    alongColumn(r, ts * m, pri, dist, zo.data(), top.data());
            }
            for (long c = 0; c < w; c++) {
                if (!(top[static_cast<size_t>(c)] > 0.0)) continue;  // no higher than 0, the least angle already there
                const float a = static_cast<float>(std::atan(top[static_cast<size_t>(c)]) * (180.0 / kPi));
                float *at = slot(r - y0, c);
                if (a > *at) *at = a;
            }
        }
    }

    // Scratch of one direction's lines, reused from line to line.
    struct scratch {
        std::vector<double> height;
        std::vector<long> observer;  // the line's own target cell at each position, or -1
        std::vector<long> partner;   // the target cell on the neighbouring line it brackets, or -1
        std::vector<long> offset;
        std::vector<double> delta;
        std::vector<double> own;     // far tangents seen from observer and partner
        std::vector<double> other;
        std::vector<double> carry;   // a tangent waiting for the next line
        hull suffix;
        hull prefix;
    };

    void writeAngle(long q, long s, double tangent) const {
        float *slot = out(sign * q, s);
        *slot = std::isnan(z(sign * q, s)) || !(tangent > 0.0) ? 0.0f : static_cast<float>(std::atan(tangent) * (180.0 / kPi));
    }

    // Two far tangents, a and b, weighed as the lines lie about the centre;
    // one that saw no terrain gives way to the other.
    static double blend(double a, double b, double wb) {
        if (b == -HUGE_VAL) return a;
        if (a == -HUGE_VAL) return b;
        return (1.0 - wb) * a + wb * b;
    }

    void run(scratch &sc) const {
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
        const size_t un = static_cast<size_t>(n);
        // The line through secondary index L + m(q) at q passes delta(q) off
        // that cell's centre; m and delta depend on q alone. The centre lies
        // between that line and the next one on the other side of it.
        sc.offset.resize(un);
        sc.delta.resize(un);
        for (long i = 0; i < n; i++) {
            const double tq = t * static_cast<double>(qlo + i);
            const double m = std::floor(tq + 0.5);
            sc.offset[static_cast<size_t>(i)] = static_cast<long>(m);
            sc.delta[static_cast<size_t>(i)] = tq - m;
        }
        long tmmin = 0;
        long tmmax = 0;
        for (long i = 0; i <= tq1 - qlo; i++) {
            const long m = sc.offset[static_cast<size_t>(i)];
            if (i == 0 || m < tmmin) tmmin = m;
            if (i == 0 || m > tmmax) tmmax = m;
        }
        const long sorigin = by_columns ? g->origin_y : g->origin_x;
        const long ts0 = sorigin + (by_columns ? y0 : x0);
        const long ts1 = ts0 + (by_columns ? h : w) - 1;
        sc.height.resize(un);
        sc.observer.resize(un);
        sc.partner.resize(un);
        sc.own.resize(un);
        sc.other.resize(un);
        sc.carry.assign(un, -HUGE_VAL);
        const double drop = step * step / (2.0 * kEarthRadius);
        // The window's secondary extent, widened by the neighbour a sample
        // is interpolated with.
        const long slen = by_columns ? g->height : g->width;
        const long s_lo = sorigin - 1;
        const long s_hi = sorigin + slen;

        for (long L = ts0 - tmmax - 1; L <= ts1 - tmmin + 1; L++) {
            // Only where the line lies within the window has it a sample, a
            // cell or a partner: elsewhere its heights are nodata, which no
            // hull takes. A steep line crosses a thin window in a few steps,
            // so a raster of one row costs what a square one does per cell.
            long first = 0;
            long last = -1;
            lineInWindow(sc.offset, s_lo - L, s_hi - L, &first, &last);
            bool any = false;
            for (long i = first; i <= last; i++) {
                const long q = qlo + i;
                const long p = sign * q;
                const long s = L + sc.offset[static_cast<size_t>(i)];
                const double d = sc.delta[static_cast<size_t>(i)];
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
                sc.height[static_cast<size_t>(i)] = v;
                long o = -1;
                long o2 = -1;
                if (q <= tq1) {
                    if (in1 && isTarget(p, s)) o = s;
                    if (f != 0.0 && in2 && isTarget(p, s2)) o2 = s2;
                }
                any = any || o >= 0 || o2 >= 0;
                sc.observer[static_cast<size_t>(i)] = o;
                sc.partner[static_cast<size_t>(i)] = o2;
            }
            // A line without cells leaves the carry as it is: no cell of the
            // next line is bracketed by it, so none reads it.
            if (!any) continue;
            sweepLine(qlo, first, last, drop, sc);
            // A carry is read only where the line before had a cell or a
            // partner, which lie within its own [first, last].
            for (long i = first; i <= last; i++) {
                const size_t u = static_cast<size_t>(i);
                const double d = sc.delta[u];
                const long o = sc.observer[u];
                const long o2 = sc.partner[u];
                if (d > 0.0) {
                    // This line's cell with the last line's view of it; this
                    // line's view of the next line's cell.
                    if (o >= 0) writeAngle(qlo + i, o, blend(sc.own[u], sc.carry[u], d));
                    sc.carry[u] = o2 >= 0 ? sc.other[u] : -HUGE_VAL;
                } else if (d < 0.0) {
                    // The last line's cell, waiting for this line's view.
                    if (o2 >= 0) writeAngle(qlo + i, o2, blend(sc.carry[u], sc.other[u], -d));
                    sc.carry[u] = o >= 0 ? sc.own[u] : -HUGE_VAL;
                } else if (o >= 0) {
                    writeAngle(qlo + i, o, sc.own[u]);
                }
            }
        }
    }

    // The positions [*a, *b] where offset, monotonic as t's sign says,
    // lies within [lo, hi]; *b < *a when none.
    void lineInWindow(const std::vector<long> &offset, long lo, long hi, long *a, long *b) const {
        if (t >= 0.0) {
            *a = std::lower_bound(offset.begin(), offset.end(), lo) - offset.begin();
            *b = (std::upper_bound(offset.begin(), offset.end(), hi) - offset.begin()) - 1;
        } else {
            *a = std::lower_bound(offset.begin(), offset.end(), hi, std::greater<long>()) - offset.begin();
            *b = (std::upper_bound(offset.begin(), offset.end(), lo, std::greater<long>()) - offset.begin()) - 1;
        }
    }

    // The far tangents of the line from its own cells and their partners, at
    // positions first to last: the line's samples beyond them are nodata.
    void sweepLine(long qlo, long first, long last, double drop, scratch &sc) const {
        const std::vector<double> &height = sc.height;
        auto pointAt = [&](long i) {
            const double x = static_cast<double>(qlo + i);
            return point{x, height[static_cast<size_t>(i)] - x * x * drop};
        };
        // The hull's tangent sample, compared on the exact angle from the cell.
        auto consider = [&](long i, long cell, const hull &hl, double *best) {
            if (cell < 0) return;
            const double x = static_cast<double>(qlo + i);
            const double zo = z(sign * (qlo + i), cell);
            if (std::isnan(zo)) return;
            const int s = hl.tangent(point{x, zo - x * x * drop});
            if (s < 0) return;
            const double dist = static_cast<double>(s - i) * step;
            const double tn = (height[static_cast<size_t>(s)] - zo) / dist - dist / (2.0 * kEarthRadius);
            if (tn > *best) *best = tn;
        };
        std::fill(sc.own.begin() + first, sc.own.begin() + last + 1, -HUGE_VAL);
        std::fill(sc.other.begin() + first, sc.other.begin() + last + 1, -HUGE_VAL);
        // The far points of cell i are those of an observer at i + R looking
        // KF = K - R ahead, blocked by that observer's position.
        const long KF = K - R;
        // Backwards: the suffix of the block of i + R after it.
        long block = 0;
        bool started = false;
        long next_point = 0;
        for (long i = last; i >= first; i--) {
            const long b = floorDiv(qlo + i + R, KF);
            if (!started || b != block) {
                sc.suffix.reset();
                block = b;
                started = true;
                next_point = std::min(last, (b + 1) * KF - 1 - qlo);
            }
            for (; next_point > i + R; next_point--)
                if (!std::isnan(height[static_cast<size_t>(next_point)]))
                    sc.suffix.add(pointAt(next_point), static_cast<int>(next_point));
            consider(i, sc.observer[static_cast<size_t>(i)], sc.suffix, &sc.own[static_cast<size_t>(i)]);
            consider(i, sc.partner[static_cast<size_t>(i)], sc.suffix, &sc.other[static_cast<size_t>(i)]);
        }
        // Forwards: the prefix of the next block up to the distance.
        started = false;
        for (long i = first; i <= last; i++) {
            const long b = floorDiv(qlo + i + R, KF);
            if (!started || b != block) {
                sc.prefix.reset();
                block = b;
                started = true;
                next_point = std::max(first, (b + 1) * KF - qlo);
            }
            for (; next_point <= i + K && next_point <= last; next_point++)
                if (!std::isnan(height[static_cast<size_t>(next_point)]))
                    sc.prefix.add(pointAt(next_point), static_cast<int>(next_point));
            consider(i, sc.observer[static_cast<size_t>(i)], sc.prefix, &sc.own[static_cast<size_t>(i)]);
            consider(i, sc.partner[static_cast<size_t>(i)], sc.prefix, &sc.other[static_cast<size_t>(i)]);
        }
    }
};

}  // namespace

int terrainHorizons(const horizon_grid *grid, int directions, double distance, int x0, int y0, int w, int h,
                    const horizon_out *to, int threads, map_control *control) {
    if (w <= 0 || h <= 0 || directions <= 0) return TERRAIN_OK;
    std::atomic<int> next{0};
    auto cancelled = [&] { return control != nullptr && control->cancel.load(std::memory_order_relaxed); };
    auto worker = [&] {
        direction_sweep::scratch sc;
        sc.suffix.grow_right = false;
        std::vector<double> zo;
        std::vector<double> top;
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
            d.to = *to;
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
            d.R = std::min(kNear, d.K);
            if (d.K > d.R) {
                d.run(sc);
            } else {
                for (long r = 0; r < h; r++)
                    for (long c = 0; c < w; c++) *d.slot(r, c) = 0.0f;
            }
            d.nearField(zo, top);
        }
    };
    threads = std::max(1, std::min(threads, directions));
    runOnThreads(threads, worker);
    return cancelled() ? TERRAIN_CANCELLED : TERRAIN_OK;
}

int terrainHorizons(const horizon_grid *grid, int directions, double distance, int x0, int y0, int w, int h,
                    float *angles, int threads, map_control *control) {
    const horizon_out to = {angles, static_cast<size_t>(w) * static_cast<size_t>(directions),
                            static_cast<size_t>(directions), 1};
    return terrainHorizons(grid, directions, distance, x0, y0, w, h, &to, threads, control);
}
