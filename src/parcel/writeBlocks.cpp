// The block files: one row or feature per block with its figures, the same
// names and meaning in every format. CSV for a spreadsheet; GeoPackage with
// the block polygons in the DEM's CRS for a GIS; GeoJSON in WGS 84, as RFC
// 7946 wants. OGR builds the vector files in memory and the safe writer puts
// them in place whole (a GeoPackage cannot be created over the empty
// temporary file the writer would hand it).
#include "parcel/parcelOgr.h"

#include "files/safeWrite.h"

#include <cpl_vsi.h>
#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <strings.h>

namespace {

bool refuse(std::string *refusal, const std::string &text) {
    if (refusal != nullptr) *refusal = text;
    return false;
}

bool endsWith(const std::string &s, const char *ending) {
    const size_t n = std::strlen(ending);
    return s.size() >= n && strcasecmp(s.c_str() + s.size() - n, ending) == 0;
}

const char *const kMonthNames[12] = {"jan", "feb", "mar", "apr", "may", "jun",
                                     "jul", "aug", "sep", "oct", "nov", "dec"};

// One column: its name, and its value for a block as a number (NaN: none),
// or as text when text is set (empty: none), of the season's year; a
// date's text is ISO 8601 and its field a date.
struct number_column {
    std::string name;
    int decimals;
    bool integer;
    double (*value)(const block_figures &f, int month);
    int month;
    std::string (*text)(const block_figures &f, int year) = nullptr;
    bool date = false;
};

const double kNone = std::nan("");

std::vector<number_column> numberColumns(const std::vector<block_figures> &figures) {
    std::vector<number_column> c = {
        {"hectares", 4, false, [](const block_figures &f, int) { return f.hectares; }, 0},
        {"hectares_with_data", 4, false, [](const block_figures &f, int) { return f.hectares_with_data; }, 0},
        {"threshold_gdd", 2, false, [](const block_figures &f, int) { return f.threshold_gdd; }, 0},
        {"hectares_reaching", 4, false, [](const block_figures &f, int) { return f.hectares_reaching; }, 0},
        {"share_reaching", 4, false, [](const block_figures &f, int) { return f.share_reaching; }, 0},
        {"gdd_min", 2, false, [](const block_figures &f, int) { return f.gdd_min; }, 0},
        {"gdd_mean", 2, false, [](const block_figures &f, int) { return f.gdd_mean; }, 0},
        {"gdd_max", 2, false, [](const block_figures &f, int) { return f.gdd_max; }, 0},
        {"irradiation_mean_mj_m2", 2, false, [](const block_figures &f, int) { return f.irradiation_mean_mj_m2; }, 0},
        {"shadow_minutes_mean", 2, false, [](const block_figures &f, int) { return f.shadow_minutes_mean; }, 0},
        {"share_outside_calibration", 4, false, [](const block_figures &f, int) { return f.share_outside_calibration; },
         0},
        {"hectares_outside_dem", 4, false, [](const block_figures &f, int) { return f.outside_hectares; }, 0},
    };
    // The season's months, the same for every block.
    for (int k = 0; k < 12; k++) {
        if (figures.empty() || !figures[0].in_season[k]) continue;
        const std::string m = kMonthNames[k];
        c.push_back({"irradiation_" + m + "_mj_m2", 2, false,
                     [](const block_figures &f, int k) { return f.month_irradiation_mj_m2[k]; }, k});
        c.push_back({"gdd_" + m, 2, false, [](const block_figures &f, int k) { return f.month_gdd[k]; }, k});
        c.push_back({"gdd_" + m + "_backwards", 0, true,
                     [](const block_figures &f, int k) { return f.month_backwards[k] ? 1.0 : 0.0; }, k});
    }
    // The Winkler region of the block's mean and the hectares of each
    // region, empty for a season other than the regions' own.
    c.push_back({"winkler_region", 0, false, nullptr, 0, [](const block_figures &f, int) {
                     const winkler_class *w = f.winkler_season ? winklerClass(f.winkler_region) : nullptr;
                     return std::string(w != nullptr ? w->name : "");
                 }});
    for (int r = 0; r < WINKLER_REGIONS; r++) {
        std::string name = winklerClass(r)->name;
        for (char &ch : name)
            if (ch == ' ') ch = '_';
        c.push_back({"hectares_region_" + name, 4, false,
                     [](const block_figures &f, int r) { return f.winkler_season ? f.hectares_region[r] : kNone; }, r});
    }
    // With a target, the same for every block.
    if (!figures.empty() && figures[0].has_target) {
        c.push_back({"target_gdd", 2, false, [](const block_figures &f, int) { return f.target_gdd; }, 0});
        // The day the block's mean running degree days reach it; empty when
        // they do not within the season, or the run did not keep them.
        c.push_back({"target_date_of_mean", 0, false, nullptr, 0,
                     [](const block_figures &f, int year) {
                         return f.target_day_of_mean > 0 ? targetIsoDate(year, f.target_day_of_mean) : std::string();
                     },
                     true});
        c.push_back({"share_reaching_target", 4, false,
                     [](const block_figures &f, int) { return f.share_reaching_target; }, 0});
    }
    return c;
}

std::string isoDate(int year, int month, int day) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", year, month, day);
    return buffer;
}

// The run's context, after the figures: the same on every row.
std::vector<std::pair<std::string, std::string>> contextColumns(const block_file_context *c) {
    const season_range &s = c->season;
    return {{"dem", c->dem_name},
            {"season_from", isoDate(s.year, s.start_month, s.start_day)},
            {"season_to", isoDate(s.year, s.stop_month, s.stop_day)},
            {"shading", c->shading},
            {"gdd_unit", "Celsius degree days above 10 degC, from clear-sky irradiation"},
            {"irradiation_unit", "MJ/m2 of clear-sky direct beam"},
            {"cell_rule", kBlockCellRule}};
}

std::string csvField(const std::string &s) {
    if (s.find_first_of(",\"\r\n") == std::string::npos) return s;
    std::string q = "\"";
    for (char ch : s) q += ch == '"' ? std::string("\"\"") : std::string(1, ch);
    return q + "\"";
}

std::string csvText(const std::vector<block_figures> &figures, const block_file_context *context) {
    const std::vector<number_column> numbers = numberColumns(figures);
    const auto about = contextColumns(context);
    std::string out = "block,name";
    for (const number_column &c : numbers) out += "," + c.name;
    for (const auto &c : about) out += "," + c.first;
    out += "\r\n";
    for (const block_figures &f : figures) {
        out += std::to_string(f.block) + "," + csvField(f.name);
        for (const number_column &c : numbers) {
            out += ",";
            if (c.text != nullptr) {
                out += csvField(c.text(f, context->season.year));
                continue;
            }
            const double v = c.value(f, c.month);
            if (!std::isnan(v)) out += fixedText(v, c.decimals);
        }
        for (const auto &c : about) out += "," + csvField(c.second);
        out += "\r\n";
    }
    return out;
}

// A vector file built by OGR in memory, then written whole.
bool writeVector(const std::string &path, bool geojson, const parcel *p, const std::vector<block_figures> &figures,
                 const block_file_context *context, std::string *refusal) {
    GDALAllRegister();
    gdal_errors errors;
    GDALDriver *driver = GetGDALDriverManager()->GetDriverByName(geojson ? "GeoJSON" : "GPKG");
    if (driver == nullptr)
        return refuse(refusal, geojson ? "GeoJSON cannot be written here" : "GeoPackages cannot be written here");
    std::random_device random;
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, "%08x%08x", static_cast<unsigned>(random()), static_cast<unsigned>(random()));
    const std::string memory = std::string("/vsimem/veranta-blocks-") + suffix + (geojson ? ".geojson" : ".gpkg");
    struct unlink_after {
        std::string name;
        ~unlink_after() { VSIUnlink(name.c_str()); }
    } cleanup{memory};

    OGRSpatialReference crs, wgs84;
    if (!gisCrs(p->crs_wkt, &crs) || !gisCrs("EPSG:4326", &wgs84))
        return refuse(refusal, "the parcel's coordinate reference system cannot be read");
    std::unique_ptr<OGRCoordinateTransformation> toWgs84;
    if (geojson) {
        toWgs84.reset(OGRCreateCoordinateTransformation(&crs, &wgs84));
        if (!toWgs84) return refuse(refusal, errors.explain("the blocks cannot be given in WGS 84"));
    }
    {
        std::unique_ptr<GDALDataset> ds(driver->Create(memory.c_str(), 0, 0, 0, GDT_Unknown, nullptr));
        if (!ds) return refuse(refusal, errors.explain("the file cannot be made"));
        const char *const geojsonOptions[] = {"RFC7946=YES", nullptr};
        OGRLayer *layer = ds->CreateLayer("blocks", geojson ? &wgs84 : &crs, wkbMultiPolygon,
                                          geojson ? const_cast<char **>(geojsonOptions) : nullptr);
        if (layer == nullptr) return refuse(refusal, errors.explain("the file cannot be made"));

        const std::vector<number_column> numbers = numberColumns(figures);
        const auto about = contextColumns(context);
        bool made = true;
        OGRFieldDefn block("block", OFTInteger), name("name", OFTString);
        made = made && layer->CreateField(&block) == OGRERR_NONE && layer->CreateField(&name) == OGRERR_NONE;
        for (const number_column &c : numbers) {
            OGRFieldDefn field(c.name.c_str(), c.date                ? OFTDate
                                               : c.text != nullptr   ? OFTString
                                               : c.integer           ? OFTInteger
                                                                     : OFTReal);
            if (c.integer) field.SetSubType(OFSTBoolean);
            made = made && layer->CreateField(&field) == OGRERR_NONE;
        }
        for (const auto &c : about) {
            OGRFieldDefn field(c.first.c_str(), OFTString);
            made = made && layer->CreateField(&field) == OGRERR_NONE;
        }
        if (!made) return refuse(refusal, errors.explain("the file's fields cannot be made"));

        const bool batch = !geojson && ds->StartTransaction() == OGRERR_NONE;
        for (const block_figures &f : figures) {
            OGRFeature feature(layer->GetLayerDefn());
            feature.SetField("block", f.block);
            feature.SetField("name", f.name.c_str());
            for (const number_column &c : numbers) {
                if (c.text != nullptr) {
                    const std::string t = c.text(f, context->season.year);
                    if (t.empty())
                        feature.SetFieldNull(feature.GetFieldIndex(c.name.c_str()));
                    else
                        feature.SetField(c.name.c_str(), t.c_str());
                    continue;
                }
                const double v = c.value(f, c.month);
                if (std::isnan(v))
                    feature.SetFieldNull(feature.GetFieldIndex(c.name.c_str()));
                else if (c.integer)
                    feature.SetField(c.name.c_str(), static_cast<int>(v));
                else
                    feature.SetField(c.name.c_str(), v);
            }
            for (const auto &c : about) feature.SetField(c.first.c_str(), c.second.c_str());
            std::unique_ptr<OGRMultiPolygon> g = blockGeometry(p->blocks[static_cast<size_t>(f.block - 1)]);
            if (toWgs84 && g->transform(toWgs84.get()) != OGRERR_NONE)
                return refuse(refusal,
                              errors.explain("the block " + quotedName(f.name) + " cannot be given in WGS 84"));
            feature.SetGeometryDirectly(g.release());
            if (layer->CreateFeature(&feature) != OGRERR_NONE)
                return refuse(refusal, errors.explain("the block " + quotedName(f.name) + " cannot be written"));
        }
        if (batch && ds->CommitTransaction() != OGRERR_NONE)
            return refuse(refusal, errors.explain("the blocks cannot be written"));
    }
    if (!errors.failure().empty()) return refuse(refusal, errors.explain("the file cannot be written"));
    vsi_l_offset length = 0;
    GByte *bytes = VSIGetMemFileBuffer(memory.c_str(), &length, FALSE);
    if (bytes == nullptr) return refuse(refusal, "the file cannot be written");
    return writeFileSafely(path, bytes, static_cast<size_t>(length), refusal);
}

}   // namespace

bool writeBlockFile(const std::string &path, const parcel *p, const std::vector<block_figures> &figures,
                    const block_file_context *context, std::string *refusal) {
    for (const block_figures &f : figures)
        if (f.block < 1 || static_cast<size_t>(f.block) > p->blocks.size())
            return refuse(refusal, "the figures are not this parcel's");
    if (endsWith(path, ".csv")) {
        const std::string text = csvText(figures, context);
        return writeFileSafely(path, text.data(), text.size(), refusal);
    }
    if (endsWith(path, ".gpkg")) return writeVector(path, false, p, figures, context, refusal);
    if (endsWith(path, ".geojson") || endsWith(path, ".json"))
        return writeVector(path, true, p, figures, context, refusal);
    return refuse(refusal, "block files end in .csv, .gpkg or .geojson");
}
