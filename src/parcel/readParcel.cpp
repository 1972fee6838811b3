// Reading a parcel's outline through OGR: a KML drawn in Google Earth, a
// farm app's GeoJSON, a GIS's Shapefile (zipped or not) or GeoPackage. Every
// polygon feature becomes a block in file order; the blocks arrive in the
// DEM's CRS, valid, in plain coordinates that need no GDAL to hold.
#include "parcel/parcelOgr.h"

#include "model/readRegularFile.h"

#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <strings.h>
#include <sys/stat.h>

namespace {

bool refuse(std::string *refusal, const std::string &text) {
    if (refusal != nullptr) *refusal = text;
    return false;
}

bool endsWith(const std::string &s, const char *ending) {
    const size_t n = std::strlen(ending);
    return s.size() >= n && strcasecmp(s.c_str() + s.size() - n, ending) == 0;
}

std::string plural(long n, const char *one, const char *many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

// A file GDAL would block on (a FIFO) or read without end (a device) never
// reaches it; a /vsi path is GDAL's own and checked through it.
bool checkFile(const std::string &path, std::string *refusal) {
    if (path.empty()) return refuse(refusal, "no file was given");
    if (path.compare(0, 5, "/vsi") == 0) {
        VSIStatBufL st;
        if (VSIStatExL(path.c_str(), &st, VSI_STAT_EXISTS_FLAG | VSI_STAT_NATURE_FLAG | VSI_STAT_SIZE_FLAG) != 0)
            return refuse(refusal, "it cannot be read");
        if (VSI_ISREG(st.st_mode) && st.st_size > kParcelFileBytes)
            return refuse(refusal, "it is larger than an outline can be (256 MB)");
        return true;
    }
    char *probe = nullptr;
    std::size_t length = 0;
    bool more = false;
    const int code = readRegularFile(path.c_str(), 0, &probe, &length, &more);
    std::free(probe);
    if (code == kNotRegularFile) return refuse(refusal, "it is not a regular file");
    if (code != 0) return refuse(refusal, std::string("it cannot be read (") + std::strerror(code) + ")");
    struct stat st;
    if (stat(path.c_str(), &st) != 0) return refuse(refusal, "it cannot be read");
    if (st.st_size > kParcelFileBytes) return refuse(refusal, "it is larger than an outline can be (256 MB)");
    return true;
}

GDALDataset *openOutline(const std::string &path) {
    // A zipped Shapefile is opened as the folder it holds.
    std::string name = path;
    if (endsWith(path, ".zip") && path.compare(0, 4, "/vsi") != 0) name = "/vsizip/" + path;
    const unsigned flags = GDAL_OF_VECTOR | GDAL_OF_READONLY;
    // OGR's own KML reader keeps a plain KML's folders in file order;
    // LIBKML (KMZ too) lists the document's own placemarks first.
    if (endsWith(path, ".kml")) {
        const char *const kml[] = {"KML", nullptr};
        if (GDALDataset *ds = GDALDataset::Open(name.c_str(), flags, kml, nullptr, nullptr)) return ds;
    }
    // Only formats of outlines: no connection strings, no other readers.
    const char *const drivers[] = {"LIBKML", "KML", "GeoJSON", "ESRI Shapefile", "GPKG", nullptr};
    return GDALDataset::Open(name.c_str(), flags, drivers, nullptr, nullptr);
}

// The first non-empty field among the usual names, compared exactly (OGR's
// own lookup ignores case, which would take NAME for name).
std::string blockName(OGRFeature *feature, long number) {
    static const char *const kNameFields[] = {"name", "Name", "NAME", "block", "Block", "id"};
    OGRFeatureDefn *defn = feature->GetDefnRef();
    for (const char *wanted : kNameFields) {
        for (int i = 0; i < defn->GetFieldCount(); i++) {
            if (std::strcmp(defn->GetFieldDefn(i)->GetNameRef(), wanted) != 0) continue;
            if (!feature->IsFieldSetAndNotNull(i)) continue;
            std::string value = feature->GetFieldAsString(i);
            size_t a = 0, b = value.size();
            while (a < b && std::isspace(static_cast<unsigned char>(value[a]))) a++;
            while (b > a && std::isspace(static_cast<unsigned char>(value[b - 1]))) b--;
            if (a < b) return value.substr(a, b - a);
        }
    }
    return "Block " + std::to_string(number);
}

enum shape_kind { SHAPE_NONE, SHAPE_POINT, SHAPE_LINE, SHAPE_AREA };

shape_kind kindOf(const OGRGeometry *g) {
    if (g == nullptr || g->IsEmpty()) return SHAPE_NONE;
    switch (wkbFlatten(g->getGeometryType())) {
        case wkbPoint:
        case wkbMultiPoint: return SHAPE_POINT;
        case wkbLineString:
        case wkbMultiLineString:
        case wkbCircularString:
        case wkbCompoundCurve:
        case wkbMultiCurve: return SHAPE_LINE;
        case wkbPolygon:
        case wkbMultiPolygon:
        case wkbCurvePolygon:
        case wkbMultiSurface:
        case wkbPolyhedralSurface:
        case wkbTIN: return SHAPE_AREA;
        case wkbGeometryCollection: {
            shape_kind most = SHAPE_NONE;
            for (const OGRGeometry *part : *g->toGeometryCollection()) {
                shape_kind k = kindOf(part);
                if (k > most) most = k;
            }
            return most;
        }
        default: return SHAPE_NONE;
    }
}

long vertexCount(const std::vector<parcel_polygon> &polygons) {
    long n = 0;
    for (const parcel_polygon &p : polygons)
        for (const parcel_ring &r : p.rings) n += static_cast<long>(r.size());
    return n;
}

struct reading {
    OGRSpatialReference target;
    bool validate = false;   // GEOS is there to judge and repair
    long points = 0, lines = 0, vertices = 0;
};

// One polygon feature as a block in the target CRS, repaired if it must be.
bool takeBlock(const OGRGeometry *g, OGRCoordinateTransformation *transform, reading *r, parcel_block *block,
               std::string *refusal) {
    std::unique_ptr<OGRGeometry> own(g->clone());
    own->flattenTo2D();
    if (transform != nullptr && own->transform(transform) != OGRERR_NONE)
        return refuse(refusal, "the block " + quotedName(block->name) +
                                   " cannot be placed in the elevation model's coordinate reference system");
    own->assignSpatialReference(nullptr);
    if (r->validate && !own->IsValid()) {
        std::unique_ptr<OGRGeometry> valid(own->MakeValid());
        if (!valid)
            return refuse(refusal, "the block " + quotedName(block->name) + " crosses itself and cannot be repaired");
        own = std::move(valid);
        block->repaired = true;
    }
    appendPolygons(own.get(), &block->polygons);
    if (block->polygons.empty())
        return refuse(refusal, "the block " + quotedName(block->name) + " has no area (it crosses itself)");
    r->vertices += vertexCount(block->polygons);
    if (r->vertices > kParcelVertices)
        return refuse(refusal, "it holds more than 5,000,000 points, more than an outline of blocks can have");
    return true;
}

bool readLayer(OGRLayer *layer, reading *r, parcel *out, std::string *refusal) {
    std::unique_ptr<OGRCoordinateTransformation> transform;
    bool transformReady = false;
    layer->ResetReading();
    for (auto &feature : *layer) {
        const OGRGeometry *g = feature->GetGeometryRef();
        const shape_kind kind = kindOf(g);
        if (kind == SHAPE_POINT) r->points++;
        if (kind == SHAPE_LINE) r->lines++;
        if (kind != SHAPE_AREA) continue;
        if (!transformReady) {
            const OGRSpatialReference *source = layer->GetSpatialRef();
            if (source == nullptr)
                return refuse(refusal, "its layer " + quotedName(layer->GetName()) +
                                           " has no coordinate reference system (a Shapefile keeps it in its .prj)");
            OGRSpatialReference from(*source);
            from.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
            if (!from.IsSame(&r->target)) {
                transform.reset(OGRCreateCoordinateTransformation(&from, &r->target));
                if (!transform)
                    return refuse(refusal,
                                  "its coordinate reference system cannot be turned into the elevation model's");
            }
            transformReady = true;
        }
        if (static_cast<long>(out->blocks.size()) >= kParcelBlocks)
            return refuse(refusal, "it holds more than 100,000 polygons, more than a parcel can have");
        parcel_block block;
        block.name = blockName(feature.get(), static_cast<long>(out->blocks.size()) + 1);
        if (!takeBlock(g, transform.get(), r, &block, refusal)) return false;
        if (block.repaired)
            out->notes.push_back("The block " + quotedName(block.name) + " crossed itself and was repaired.");
        out->blocks.push_back(std::move(block));
    }
    return true;
}

}   // namespace

bool readParcel(const std::string &path, const std::string &crs_wkt, parcel *out, std::string *refusal) {
    *out = parcel{};
    if (!checkFile(path, refusal)) return false;
    GDALAllRegister();
    gdal_errors errors;
    reading r;
    if (!gisCrs(crs_wkt, &r.target))
        return refuse(refusal, "the elevation model's coordinate reference system cannot be read");
    int major = 0, minor = 0, patch = 0;
    r.validate = OGRGetGEOSVersion(&major, &minor, &patch);

    std::unique_ptr<GDALDataset> ds(openOutline(path));
    if (!ds)
        return refuse(refusal, errors.explain("it is not an outline of KML, KMZ, GeoJSON, Shapefile or GeoPackage that "
                                              "can be read"));
    errors.clear();   // a reader tried first and given up on is no fault of the file
    parcel result;
    result.crs_wkt = crs_wkt;
    result.file_name = path.substr(path.rfind('/') + 1);
    for (OGRLayer *layer : ds->GetLayers())
        if (!readLayer(layer, &r, &result, refusal)) return false;
    // Blocks missing from a damaged file would go unnoticed in the figures.
    if (!errors.failure().empty()) return refuse(refusal, errors.explain("it cannot be read to the end"));

    if (result.blocks.empty()) {
        if (r.points + r.lines == 0) return refuse(refusal, "it holds no polygon to take as a block");
        return refuse(refusal, "it holds no polygon to take as a block, only " + plural(r.points, "point", "points") +
                                   " and " + plural(r.lines, "line", "lines"));
    }
    if (r.points + r.lines > 0)
        result.notes.insert(result.notes.begin(), plural(r.points, "point", "points") + " and " +
                                                      plural(r.lines, "line", "lines") +
                                                      " of the file were left out: only polygons are blocks.");
    *out = std::move(result);
    return true;
}
