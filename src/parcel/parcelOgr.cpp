// The parcel's shared OGR glue; see parcelOgr.h.
#include "parcel/parcelOgr.h"

#include <charconv>
#include <cpl_error.h>

const char *const kBlockCellRule =
    "a cell belongs to a block when its centre lies inside it; a cell inside two overlapping blocks counts for the "
    "first in file order";

gdal_errors::gdal_errors() { CPLPushErrorHandlerEx(reinterpret_cast<CPLErrorHandler>(&gdal_errors::handle), this); }

gdal_errors::~gdal_errors() { CPLPopErrorHandler(); }

void gdal_errors::handle(int kind, int, const char *message) {
    // Warnings (a laundered field name, a file ending) do not stop anything.
    if (kind < CE_Failure || message == nullptr) return;
    auto *self = static_cast<gdal_errors *>(CPLGetErrorHandlerUserData());
    if (self != nullptr) self->failure_ = message;
}

std::string gdal_errors::explain(const std::string &sentence) const {
    return failure_.empty() ? sentence : sentence + " (" + failure_ + ")";
}

namespace {

OGRLinearRing ringOf(const parcel_ring &ring) {
    OGRLinearRing r;
    r.setNumPoints(static_cast<int>(ring.size()), FALSE);
    for (size_t i = 0; i < ring.size(); i++) r.setPoint(static_cast<int>(i), ring[i].x, ring[i].y);
    return r;
}

void appendPolygon(const OGRPolygon *polygon, std::vector<parcel_polygon> *polygons) {
    if (polygon->IsEmpty()) return;
    parcel_polygon out;
    for (const OGRLinearRing *ring : *polygon) {
        parcel_ring points(static_cast<size_t>(ring->getNumPoints()));
        for (int i = 0; i < ring->getNumPoints(); i++) points[static_cast<size_t>(i)] = {ring->getX(i), ring->getY(i)};
        if (!points.empty()) out.rings.push_back(std::move(points));
    }
    if (!out.rings.empty()) polygons->push_back(std::move(out));
}

}   // namespace

std::unique_ptr<OGRMultiPolygon> blockGeometry(const parcel_block &block) {
    auto multi = std::make_unique<OGRMultiPolygon>();
    for (const parcel_polygon &polygon : block.polygons) {
        auto p = std::make_unique<OGRPolygon>();
        for (const parcel_ring &ring : polygon.rings) {
            OGRLinearRing r = ringOf(ring);
            p->addRing(&r);
        }
        multi->addGeometryDirectly(p.release());
    }
    return multi;
}

void appendPolygons(const OGRGeometry *g, std::vector<parcel_polygon> *polygons) {
    if (g == nullptr) return;
    switch (wkbFlatten(g->getGeometryType())) {
        case wkbPolygon: appendPolygon(g->toPolygon(), polygons); return;
        case wkbMultiPolygon:
        case wkbGeometryCollection:
        case wkbMultiSurface:
            for (const OGRGeometry *part : *g->toGeometryCollection()) appendPolygons(part, polygons);
            return;
        case wkbCurvePolygon: {
            // Arcs become short straight segments.
            std::unique_ptr<OGRGeometry> linear(g->getLinearGeometry());
            if (linear && wkbFlatten(linear->getGeometryType()) == wkbPolygon) appendPolygons(linear.get(), polygons);
            return;
        }
        case wkbPolyhedralSurface:
        case wkbTIN: {
            std::unique_ptr<OGRGeometry> multi(OGRGeometryFactory::forceToMultiPolygon(g->clone()));
            if (multi && wkbFlatten(multi->getGeometryType()) == wkbMultiPolygon) appendPolygons(multi.get(), polygons);
            return;
        }
        default: return;
    }
}

bool gisCrs(const std::string &definition, OGRSpatialReference *crs) {
    // A DEM's WKT or an EPSG code: never a URL or a file to fetch.
    if (definition.empty() ||
        crs->SetFromUserInput(definition.c_str(), OGRSpatialReference::SET_FROM_USER_INPUT_LIMITATIONS) != OGRERR_NONE)
        return false;
    crs->SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    return true;
}

std::string fixedText(double x, int decimals) {
    char buffer[64];
    auto end = std::to_chars(buffer, buffer + sizeof buffer, x, std::chars_format::fixed, decimals);
    if (end.ec != std::errc()) return "";
    return std::string(buffer, end.ptr);
}

std::string quotedName(const std::string &name) { return "“" + name + "”"; }
