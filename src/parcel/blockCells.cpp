// The blocks on a DEM's grid: where they lie on it (their extent, what lies
// beyond its edges) and which cells each holds. A cell's centre decides, as
// GDAL's rasterizer burns polygons without ALL_TOUCHED, so a block's area is
// its cells' and the cells of a parcel never depend on the window computed.
#include "parcel/parcelOgr.h"

#include <gdal_alg.h>
#include <gdal_priv.h>
#include <ogr_api.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

bool refuse(std::string *refusal, const std::string &text) {
    if (refusal != nullptr) *refusal = text;
    return false;
}

std::unique_ptr<OGRPolygon> gridRectangle(const parcel_grid *g) {
    const double *t = g->transform;
    const double x1 = t[0] + g->width * t[1], y1 = t[3] + g->height * t[5];
    OGRLinearRing ring;
    ring.addPoint(t[0], t[3]);
    ring.addPoint(x1, t[3]);
    ring.addPoint(x1, y1);
    ring.addPoint(t[0], y1);
    ring.addPoint(t[0], t[3]);
    auto rect = std::make_unique<OGRPolygon>();
    rect->addRing(&ring);
    return rect;
}

double planarArea(const OGRGeometry *g) { return OGR_G_Area(OGRGeometry::ToHandle(const_cast<OGRGeometry *>(g))); }

// Square metres of g, which is in crs: planar in a projected CRS; in
// degrees, on a Lambert azimuthal equal-area projection centred on g, its
// edges first cut to about 100 m so that they bend as they should.
bool metricArea(const OGRGeometry *g, const OGRSpatialReference &crs, double *m2) {
    if (g == nullptr || g->IsEmpty()) {
        *m2 = 0.0;
        return true;
    }
    if (!crs.IsGeographic()) {
        const double unit = crs.GetLinearUnits();
        *m2 = planarArea(g) * unit * unit;
        return true;
    }
    OGREnvelope e;
    g->getEnvelope(&e);
    OGRSpatialReference laea;
    if (laea.CopyGeogCSFrom(&crs) != OGRERR_NONE ||
        laea.SetLAEA(0.5 * (e.MinY + e.MaxY), 0.5 * (e.MinX + e.MaxX), 0.0, 0.0) != OGRERR_NONE)
        return false;
    laea.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    std::unique_ptr<OGRCoordinateTransformation> to(OGRCreateCoordinateTransformation(&crs, &laea));
    if (!to) return false;
    std::unique_ptr<OGRGeometry> copy(g->clone());
    copy->segmentize(0.001);
    if (copy->transform(to.get()) != OGRERR_NONE) return false;
    *m2 = planarArea(copy.get());
    return true;
}

}   // namespace

bool placeParcel(const parcel *p, const parcel_grid *dem, parcel_placement *out, std::string *refusal) {
    *out = parcel_placement{};
    if (dem->width <= 0 || dem->height <= 0 || !(dem->transform[1] > 0.0) || !(dem->transform[5] < 0.0) ||
        dem->transform[2] != 0.0 || dem->transform[4] != 0.0)
        return refuse(refusal, "the elevation model's grid is not a north-up grid");
    gdal_errors errors;
    OGRSpatialReference crs;
    if (!gisCrs(p->crs_wkt, &crs)) return refuse(refusal, "the parcel's coordinate reference system cannot be read");
    const std::unique_ptr<OGRPolygon> rect = gridRectangle(dem);
    parcel_placement result;
    OGREnvelope extent;
    bool any = false;
    for (const parcel_block &block : p->blocks) {
        const std::unique_ptr<OGRMultiPolygon> g = blockGeometry(block);
        std::unique_ptr<OGRGeometry> inside(g->Intersection(rect.get()));
        std::unique_ptr<OGRGeometry> beyond(g->Difference(rect.get()));
        double beyond_m2 = 0.0;
        if (!inside || !beyond || !metricArea(beyond.get(), crs, &beyond_m2))
            return refuse(refusal, errors.explain("the block " + quotedName(block.name) +
                                                  " cannot be placed on the elevation model"));
        const bool outside = inside->IsEmpty() || planarArea(inside.get()) <= 0.0;
        result.outside_hectares.push_back(beyond_m2 / 10000.0);
        result.wholly_outside.push_back(outside);
        if (outside) {
            result.notes.push_back("The block " + quotedName(block.name) +
                                   " lies wholly outside the elevation model and is left out.");
            continue;
        }
        if (beyond_m2 > 0.0)
            result.notes.push_back(fixedText(beyond_m2 / 10000.0, 2) + " ha of the block " + quotedName(block.name) +
                                   " lie outside the elevation model.");
        OGREnvelope e;
        inside->getEnvelope(&e);
        extent.Merge(e);
        any = true;
    }
    if (!any) return refuse(refusal, "every block lies outside the elevation model");

    // The cells whose centres lie within the extent; a centre on its edge
    // (within rounding) is kept, whichever way the rasterizer takes it.
    const double *t = dem->transform;
    const double slack = 1e-9;
    int x0 = static_cast<int>(std::max(0.0, std::ceil((extent.MinX - t[0]) / t[1] - 0.5 - slack)));
    int x1 = static_cast<int>(std::min(dem->width - 1.0, std::floor((extent.MaxX - t[0]) / t[1] - 0.5 + slack)));
    int y0 = static_cast<int>(std::max(0.0, std::ceil((extent.MaxY - t[3]) / t[5] - 0.5 - slack)));
    int y1 = static_cast<int>(std::min(dem->height - 1.0, std::floor((extent.MinY - t[3]) / t[5] - 0.5 + slack)));
    if (x1 < x0 || y1 < y0)
        return refuse(refusal,
                      "no cell of the elevation model has its centre inside a block (the blocks are smaller "
                      "than its cells)");
    result.x0 = x0;
    result.y0 = y0;
    result.window.width = x1 - x0 + 1;
    result.window.height = y1 - y0 + 1;
    result.window.transform[0] = t[0] + x0 * t[1];
    result.window.transform[1] = t[1];
    result.window.transform[3] = t[3] + y0 * t[5];
    result.window.transform[5] = t[5];
    *out = std::move(result);
    return true;
}

bool blockCells(const parcel *p, const parcel_grid *grid, std::vector<std::int32_t> *cells, std::string *refusal) {
    cells->clear();
    if (grid->width <= 0 || grid->height <= 0) return refuse(refusal, "the grid has no cells");
    cells->assign(static_cast<size_t>(grid->width) * static_cast<size_t>(grid->height), 0);
    gdal_errors errors;
    GDALAllRegister();
    GDALDriver *mem = GetGDALDriverManager()->GetDriverByName("MEM");
    std::unique_ptr<GDALDataset> ds(mem == nullptr ? nullptr
                                                   : mem->Create("", grid->width, grid->height, 0, GDT_Int32, nullptr));
    if (!ds) return refuse(refusal, errors.explain("no grid of blocks can be made"));
    // The band is the caller's vector itself: nothing is copied.
    char pointer[64], line[64];
    std::snprintf(pointer, sizeof pointer, "DATAPOINTER=%p", static_cast<void *>(cells->data()));
    std::snprintf(line, sizeof line, "LINEOFFSET=%lld", static_cast<long long>(grid->width) * 4);
    const char *const band[] = {pointer, "PIXELOFFSET=4", line, nullptr};
    double transform[6];
    std::copy(grid->transform, grid->transform + 6, transform);
    if (ds->AddBand(GDT_Int32, const_cast<char **>(band)) != CE_None || ds->SetGeoTransform(transform) != CE_None)
        return refuse(refusal, errors.explain("no grid of blocks can be made"));

    // Burnt last block first, so that where blocks overlap the first stays.
    std::vector<std::unique_ptr<OGRMultiPolygon>> geometries;
    std::vector<OGRGeometryH> handles;
    std::vector<double> values;
    for (size_t k = p->blocks.size(); k-- > 0;) {
        geometries.push_back(blockGeometry(p->blocks[k]));
        handles.push_back(OGRGeometry::ToHandle(geometries.back().get()));
        values.push_back(static_cast<double>(k + 1));
    }
    int bands[] = {1};
    CPLErr burnt = GDALRasterizeGeometries(GDALDataset::ToHandle(ds.get()), 1, bands, static_cast<int>(handles.size()),
                                           handles.data(), nullptr, nullptr, values.data(), nullptr, nullptr, nullptr);
    ds.reset();
    if (burnt != CE_None) {
        cells->clear();
        return refuse(refusal, errors.explain("the blocks cannot be laid on the grid"));
    }
    return true;
}
