#include "parcelFixtures.h"

#include <cpl_conv.h>
#include <gdal_utils.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

scratch_folder::scratch_folder() {
    char name[] = "/tmp/veranta-parcel-XXXXXX";
    root_ = mkdtemp(name) != nullptr ? name : "/tmp";
}

scratch_folder::~scratch_folder() {
    std::error_code ignored;
    if (root_ != "/tmp") std::filesystem::remove_all(root_, ignored);
}

void writeText(const std::string &path, const std::string &text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

namespace {

std::string number(double x) {
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.10g", x);
    return buffer;
}

std::string joined(const std::vector<std::string> &parts) {
    std::string out;
    for (size_t i = 0; i < parts.size(); i++) out += (i ? "," : "") + parts[i];
    return out;
}

}   // namespace

std::string ringJson(const std::vector<parcel_point> &points) {
    std::vector<std::string> parts;
    for (const parcel_point &q : points) parts.push_back("[" + number(q.x) + "," + number(q.y) + "]");
    return "[" + joined(parts) + "]";
}

std::string rectangleRing(double x0, double y0, double x1, double y1) {
    return ringJson({{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}, {x0, y0}});
}

std::string polygonJson(const std::vector<std::string> &rings) {
    return R"({"type":"Polygon","coordinates":[)" + joined(rings) + "]}";
}

std::string multiPolygonJson(const std::vector<std::vector<std::string>> &polygons) {
    std::vector<std::string> parts;
    for (const auto &rings : polygons) parts.push_back("[" + joined(rings) + "]");
    return R"({"type":"MultiPolygon","coordinates":[)" + joined(parts) + "]}";
}

std::string featureJson(const std::string &properties, const std::string &geometry) {
    return R"({"type":"Feature","properties":{)" + properties + R"(},"geometry":)" + geometry + "}";
}

std::string collectionJson(const std::vector<std::string> &features, const char *crs) {
    std::string out = R"({"type":"FeatureCollection",)";
    if (crs != nullptr) out += R"("crs":{"type":"name","properties":{"name":")" + std::string(crs) + R"("}},)";
    return out + R"("features":[)" + joined(features) + "]}";
}

std::string kmlDocument(const std::vector<std::pair<std::string, std::string>> &placemarks) {
    std::string out =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<kml xmlns=\"http://www.opengis.net/kml/2.2\">"
        "<Document><name>Farm</name>\n";
    for (const auto &p : placemarks)
        out += "<Placemark>" + (p.first.empty() ? "" : "<name>" + p.first + "</name>") + p.second + "</Placemark>\n";
    return out + "</Document></kml>\n";
}

std::string kmlPolygon(const std::vector<std::vector<parcel_point>> &rings) {
    std::string out = "<Polygon>";
    for (size_t r = 0; r < rings.size(); r++) {
        const char *kind = r == 0 ? "outerBoundaryIs" : "innerBoundaryIs";
        out += std::string("<") + kind + "><LinearRing><coordinates>";
        for (const parcel_point &q : rings[r]) out += number(q.x) + "," + number(q.y) + ",0 ";
        out += std::string("</coordinates></LinearRing></") + kind + ">";
    }
    return out + "</Polygon>";
}

bool convertOutline(const std::string &from, const std::string &to, const char *driver) {
    GDALAllRegister();
    // Field names shortened for a Shapefile and the like are no news here.
    CPLPushErrorHandler(CPLQuietErrorHandler);
    GDALDatasetH source = GDALOpenEx(from.c_str(), GDAL_OF_VECTOR, nullptr, nullptr, nullptr);
    if (source == nullptr) {
        CPLPopErrorHandler();
        return false;
    }
    const char *args[] = {"-f", driver, "-nlt", "MULTIPOLYGON", nullptr};
    GDALVectorTranslateOptions *options = GDALVectorTranslateOptionsNew(const_cast<char **>(args), nullptr);
    GDALDatasetH out = GDALVectorTranslate(to.c_str(), nullptr, 1, &source, options, nullptr);
    GDALVectorTranslateOptionsFree(options);
    GDALClose(source);
    if (out != nullptr) GDALClose(out);
    CPLPopErrorHandler();
    return out != nullptr;
}

bool zipFiles(const std::string &zip, const std::vector<std::string> &files) {
    void *z = CPLCreateZip(zip.c_str(), nullptr);
    if (z == nullptr) return false;
    bool ok = true;
    for (const std::string &file : files) {
        std::ifstream in(file, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const std::string base = file.substr(file.rfind('/') + 1);
        ok = ok && CPLCreateFileInZip(z, base.c_str(), nullptr) == CE_None &&
             CPLWriteFileInZip(z, bytes.data(), static_cast<int>(bytes.size())) == CE_None &&
             CPLCloseFileInZip(z) == CE_None;
    }
    return CPLCloseZip(z) == CE_None && ok;
}

bool pointInBlock(const parcel_block &block, double x, double y) {
    bool inside = false;
    for (const parcel_polygon &polygon : block.polygons)
        for (const parcel_ring &ring : polygon.rings)
            for (size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++) {
                const parcel_point &a = ring[i], &b = ring[j];
                if ((a.y > y) != (b.y > y) && x < a.x + (y - a.y) * (b.x - a.x) / (b.y - a.y)) inside = !inside;
            }
    return inside;
}

parcel_grid squareGrid(double x0, double y0, double cell, int width, int height) {
    parcel_grid g;
    g.transform[0] = x0;
    g.transform[1] = cell;
    g.transform[3] = y0;
    g.transform[5] = -cell;
    g.width = width;
    g.height = height;
    return g;
}
