// Fetching an area's elevation: the cache first; else each tile is looked
// for over HTTP (GDAL's /vsicurl/), the tiles found are mosaicked in a VRT and
// GDAL's warper reads from them only the windows the UTM grid needs, writing
// through the safe writer into the cache folder.
#include "elevation/elevation.h"
#include "files/safeWrite.h"
#include "model/readRegularFile.h"

#include <cerrno>
#include <cpl_conv.h>
#include <cpl_error.h>
#include <cpl_vsi.h>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <gdal.h>
#include <gdal_utils.h>
#include <ogr_srs_api.h>
#include <set>
#include <sys/stat.h>

namespace {

const double kNodata = -9999.0;
const std::size_t kTileListLimit = 16u << 20;          // bytes; the list is about 1 MB
const long kTileListMaxAge = 30L * 24 * 3600;          // seconds before the list is read anew
const char *kTileListFile = "copernicus-tileList.txt";

int say(std::string *refusal, int code, const std::string &text) {
    if (refusal != nullptr) *refusal = text;
    return code;
}

// GDAL settings for this thread and this call only; what the user set
// (environment, CPLSetConfigOption) wins.
class thread_options {
public:
    void setDefault(const char *key, const char *value) {
        if (CPLGetConfigOption(key, nullptr) != nullptr) return;
        CPLSetThreadLocalConfigOption(key, value);
        keys_.push_back(key);
    }
    ~thread_options() {
        for (const std::string &key : keys_) CPLSetThreadLocalConfigOption(key.c_str(), nullptr);
    }

private:
    std::vector<std::string> keys_;
};

// An HTTP exchange that went wrong, as GDAL's messages tell it.
struct http_failure {
    int code = 0;           // 0: no answer at all
    std::string url;
    std::string reason;     // curl's or the server's words, when given
};

// GDAL's messages of this call, kept from stderr.
struct gdal_messages {
    std::vector<std::string> failures;
    std::vector<http_failure> http;
    bool forward_debug = false;   // the user asked for GDAL's debug lines
    void clear() {
        failures.clear();
        http.clear();
    }
};

std::string between(const std::string &s, const std::string &open, char close) {
    std::size_t a = s.find(open);
    if (a == std::string::npos) return "";
    a += open.size();
    std::size_t b = s.find(close, a);
    return s.substr(a, b == std::string::npos ? std::string::npos : b - a);
}

void CPL_STDCALL collect(CPLErr kind, CPLErrorNum number, const char *text) {
    gdal_messages *m = static_cast<gdal_messages *>(CPLGetErrorHandlerUserData());
    std::string s = text != nullptr ? text : "";
    if (kind == CE_Debug) {
        // "VSICURL: GetFileSize(URL): response_code=0, curl error msg=..."
        std::size_t at = s.find("response_code=");
        if (at != std::string::npos && s.compare(0, 8, "VSICURL:") == 0) {
            http_failure f;
            f.code = std::atoi(s.c_str() + at + 14);
            f.url = between(s, "(", ')');
            std::size_t msg = s.find("msg=", at);
            if (msg != std::string::npos) f.reason = s.substr(msg + 4);
            if (f.code == 0 || f.code >= 400) m->http.push_back(f);
        }
        if (m->forward_debug) CPLDefaultErrorHandler(kind, number, text);
        return;
    }
    // "HTTP response code on URL: 500"
    if (s.compare(0, 21, "HTTP response code on") == 0) {
        http_failure f;
        std::size_t colon = s.rfind(": ");
        f.url = s.substr(22, colon == std::string::npos ? std::string::npos : colon - 22);
        f.code = colon == std::string::npos ? 0 : std::atoi(s.c_str() + colon + 2);
        m->http.push_back(f);
        return;
    }
    if (kind == CE_Failure || kind == CE_Fatal) m->failures.push_back(s);
}

class message_scope {
public:
    explicit message_scope(gdal_messages *m) { CPLPushErrorHandlerEx(collect, m); }
    ~message_scope() { CPLPopErrorHandler(); }
};

std::string trimmed(std::string s) {
    while (!s.empty() && (s.back() == '.' || s.back() == ' ' || s.back() == '\n' || s.back() == '\r')) s.pop_back();
    return s;
}

// Absent tiles are answered 404, or 403 by a bucket that hides its listing;
// 416 is a range past the end of a short file. Anything else means the
// service could not give what it has.
bool absentOrShort(int code) { return code == 403 || code == 404 || code == 410 || code == 416; }

// Why the service could not be reached, in GDAL's (or curl's) words; empty
// when the messages tell of no such failure.
std::string unreachableReason(const gdal_messages &m) {
    for (const http_failure &f : m.http)
        if (f.code == 0 && !f.reason.empty()) return trimmed(f.reason);
    for (const http_failure &f : m.http)
        if (f.code >= 400 && !absentOrShort(f.code))
            return "it answered HTTP " + std::to_string(f.code) + (f.url.empty() ? "" : " for " + f.url);
    for (const http_failure &f : m.http)
        if (f.code == 0) return "no answer" + (f.url.empty() ? std::string() : " from " + f.url);
    return "";
}

std::string unreachableSentence(const std::string &reason) {
    return "Could not reach the elevation service: " + reason + ".";
}

// The sentence for a failed read of the tiles: the network's fault, a tile
// cut short or damaged, or GDAL's own words.
int readFailure(const gdal_messages &m, const std::vector<elevation_tile> &tiles, std::string *refusal) {
    std::string reason = unreachableReason(m);
    if (!reason.empty()) return say(refusal, ELEVATION_UNREACHABLE, unreachableSentence(reason));
    for (const std::string &f : m.failures)
        for (const elevation_tile &t : tiles)
            if (f.find(t.url) != std::string::npos || f.find(t.name) != std::string::npos)
                return say(refusal, ELEVATION_DAMAGED_TILE,
                           "The elevation tile " + t.name + " is cut short or damaged (GDAL: " +
                               trimmed(m.failures.front()) + ").");
    std::string detail = m.failures.empty() ? std::string("no reason given") : trimmed(m.failures.front());
    return say(refusal, ELEVATION_FAILED, "The elevation could not be read (GDAL: " + detail + ").");
}

enum probe_answer { PROBE_FOUND, PROBE_ABSENT, PROBE_UNREACHABLE };

// Whether the service has the file at url; *reason says why it was not
// reached. GDAL answers a 404 without any message.
probe_answer probe(const std::string &url, gdal_messages *m, std::string *reason) {
    m->clear();
    VSILFILE *f = VSIFOpenExL(("/vsicurl/" + url).c_str(), "rb", TRUE);
    if (f != nullptr) {
        VSIFCloseL(f);
        return PROBE_FOUND;
    }
    *reason = unreachableReason(*m);
    return reason->empty() ? PROBE_ABSENT : PROBE_UNREACHABLE;
}

bool ensureFolder(const std::string &path, std::string *error) {
    for (std::size_t at = 1; at <= path.size(); at++) {
        if (at < path.size() && path[at] != '/') continue;
        std::string part = path.substr(0, at);
        if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            *error = std::strerror(errno);
            return false;
        }
    }
    struct stat st;
    if (stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        *error = "it is not a folder";
        return false;
    }
    return true;
}

// The names on Copernicus's tile list; a line may hold a bare name, a name
// with .tif, or a folder/name path.
std::set<std::string> parseTileList(const char *text, std::size_t length) {
    std::set<std::string> names;
    std::size_t at = 0;
    while (at < length) {
        std::size_t end = at;
        while (end < length && text[end] != '\n') end++;
        std::string line(text + at, end - at);
        at = end + 1;
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) line.pop_back();
        std::size_t slash = line.rfind('/');
        if (slash != std::string::npos) line = line.substr(slash + 1);
        if (line.size() > 4 && line.compare(line.size() - 4, 4, ".tif") == 0) line.resize(line.size() - 4);
        if (line.empty()) continue;
        if (line.size() < 4 || line.compare(line.size() - 4, 4, "_DEM") != 0) line += "_DEM";
        names.insert(line);
    }
    return names;
}

// Copernicus's list of published tiles (at the bucket's root), kept in the
// cache folder for a month. A tile missing from the list lies over open sea.
int readTileList(const elevation_settings &settings, gdal_messages *m, std::set<std::string> *names,
                 std::string *refusal) {
    std::string cached = settings.cache_dir + "/" + kTileListFile;
    struct stat st;
    bool have = stat(cached.c_str(), &st) == 0 && S_ISREG(st.st_mode);
    if (!have || std::time(nullptr) - st.st_mtime > kTileListMaxAge) {
        std::string url = settings.copernicus_url + "/tileList.txt";
        std::string reason;
        probe_answer a = probe(url, m, &reason);
        std::string text;
        VSILFILE *f = a == PROBE_FOUND ? VSIFOpenExL(("/vsicurl/" + url).c_str(), "rb", TRUE) : nullptr;
        if (f != nullptr) {
            std::vector<char> chunk(1 << 16);
            std::size_t n;
            while (text.size() <= kTileListLimit && (n = VSIFReadL(chunk.data(), 1, chunk.size(), f)) > 0)
                text.append(chunk.data(), n);
            VSIFCloseL(f);
        }
        if (!text.empty() && text.size() <= kTileListLimit) {
            *names = parseTileList(text.data(), text.size());
            std::string error;
            // A list that cannot be kept is still good for this fetch.
            if (ensureFolder(settings.cache_dir, &error)) writeFileSafely(cached, text.data(), text.size(), &error);
            return ELEVATION_OK;
        }
        if (!have) {
            if (a == PROBE_UNREACHABLE) return say(refusal, ELEVATION_UNREACHABLE, unreachableSentence(reason));
            return say(refusal, ELEVATION_MISSING_TILE,
                       "Could not reach the elevation service: its list of tiles (" + url +
                           "), which tells open sea from a missing tile, cannot be read.");
        }
    }
    char *data = nullptr;
    std::size_t length = 0;
    bool more = false;
    if (readRegularFile(cached.c_str(), kTileListLimit, &data, &length, &more) != 0)
        return say(refusal, ELEVATION_FAILED, "The kept list of elevation tiles " + cached + " cannot be read.");
    *names = parseTileList(data, length);
    std::free(data);
    return ELEVATION_OK;
}

std::vector<std::string> words(const char *text) {
    std::vector<std::string> out;
    std::string s = text != nullptr ? text : "";
    std::size_t at = 0;
    while (at < s.size()) {
        std::size_t end = s.find(' ', at);
        if (end == std::string::npos) end = s.size();
        if (end > at) out.push_back(s.substr(at, end - at));
        at = end + 1;
    }
    return out;
}

std::string joined(const std::vector<std::string> &items) {
    std::string s;
    for (const std::string &i : items) s += (s.empty() ? "" : " ") + i;
    return s;
}

void describe(const elevation_plan &plan, elevation_result *result) {
    result->path = plan.cache_path;
    result->source = plan.source;
    result->epsg = plan.epsg;
    result->resolution = plan.resolution;
    result->width = plan.width;
    result->height = plan.height;
}

// The cached GeoTIFF of the plan, when it is there whole and from the same
// source (and, with chosen_mark, was Copernicus chosen because 3DEP lacks a tile).
bool readCached(const elevation_plan &plan, bool chosen_mark, elevation_result *result) {
    struct stat st;
    if (stat(plan.cache_path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    const char *drivers[] = {"GTiff", nullptr};
    GDALDatasetH ds = GDALOpenEx(plan.cache_path.c_str(), GDAL_OF_RASTER | GDAL_OF_READONLY, drivers, nullptr, nullptr);
    if (ds == nullptr) return false;
    const char *source = GDALGetMetadataItem(ds, "ELEVATION_SOURCE", nullptr);
    bool good = GDALGetRasterXSize(ds) == plan.width && GDALGetRasterYSize(ds) == plan.height &&
                GDALGetRasterCount(ds) == 1 && source != nullptr && std::strcmp(source, plan.source->key) == 0 &&
                (!chosen_mark || GDALGetMetadataItem(ds, "ELEVATION_CHOSEN_BECAUSE", nullptr) != nullptr);
    if (good) {
        *result = elevation_result();
        describe(plan, result);
        result->from_cache = true;
        const char *fetched = GDALGetMetadataItem(ds, "ELEVATION_FETCHED", nullptr);
        result->fetched = fetched != nullptr ? fetched : "";
        result->urls = words(GDALGetMetadataItem(ds, "ELEVATION_URLS", nullptr));
        result->sea_tiles = words(GDALGetMetadataItem(ds, "ELEVATION_SEA_TILES", nullptr));
    }
    GDALClose(ds);
    return good;
}

std::string nowIso() {
    std::time_t now = std::time(nullptr);
    struct tm utc;
    gmtime_r(&now, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

// What one fetch holds open; closed in the right order whatever happens.
struct fetch_handles {
    std::vector<GDALDatasetH> tiles;
    GDALDatasetH vrt = nullptr;
    GDALDatasetH out = nullptr;
    safe_write write;
    bool writing = false;
    ~fetch_handles() {
        if (out != nullptr) GDALClose(out);
        if (vrt != nullptr) GDALClose(vrt);
        for (GDALDatasetH t : tiles) GDALClose(t);
        if (writing) abandonSafeWrite(&write);
    }
};

int CPL_STDCALL warpProgress(double complete, const char *, void *data) {
    elevation_progress *p = static_cast<elevation_progress *>(data);
    p->fraction.store(0.1 + 0.9 * complete);
    return p->cancel.load() ? FALSE : TRUE;
}

// The Float32 GeoTIFF of the plan's grid at path, or null.
GDALDatasetH createGrid(const elevation_plan &plan, const std::string &path) {
    GDALDriverH driver = GDALGetDriverByName("GTiff");
    if (driver == nullptr) return nullptr;
    const char *options[] = {"TILED=YES",   "BLOCKXSIZE=256",   "BLOCKYSIZE=256", "COMPRESS=DEFLATE",
                             "PREDICTOR=3", "BIGTIFF=IF_SAFER", nullptr};
    GDALDatasetH ds =
        GDALCreate(driver, path.c_str(), plan.width, plan.height, 1, GDT_Float32, const_cast<char **>(options));
    if (ds == nullptr) return nullptr;
    double transform[6] = {plan.x0, plan.resolution, 0.0, plan.y0, 0.0, -plan.resolution};
    GDALSetGeoTransform(ds, transform);
    OGRSpatialReferenceH srs = OSRNewSpatialReference(nullptr);
    char *wkt = nullptr;
    if (OSRImportFromEPSG(srs, plan.epsg) == OGRERR_NONE && OSRExportToWkt(srs, &wkt) == OGRERR_NONE)
        GDALSetProjection(ds, wkt);
    CPLFree(wkt);
    OSRDestroySpatialReference(srs);
    GDALRasterBandH band = GDALGetRasterBand(ds, 1);
    GDALSetRasterNoDataValue(band, kNodata);
    GDALSetRasterUnitType(band, "m");
    std::string what = std::string("elevation, metres above ") + plan.source->vertical_datum + " (" +
                       plan.source->heights + ")";
    GDALSetDescription(band, what.c_str());
    return ds;
}

void setMetadata(GDALDatasetH ds, const elevation_plan &plan, const elevation_result &r, const std::string &because) {
    const elevation_source *s = plan.source;
    GDALSetMetadataItem(ds, "ELEVATION_SOURCE", s->key, nullptr);
    GDALSetMetadataItem(ds, "ELEVATION_SOURCE_NAME", s->name, nullptr);
    GDALSetMetadataItem(ds, "ELEVATION_HEIGHTS", s->heights, nullptr);
    GDALSetMetadataItem(ds, "ELEVATION_VERTICAL_DATUM", s->vertical_datum, nullptr);
    GDALSetMetadataItem(ds, "ELEVATION_LICENCE", s->licence, nullptr);
    GDALSetMetadataItem(ds, "ELEVATION_ATTRIBUTION", s->attribution, nullptr);
    GDALSetMetadataItem(ds, "ELEVATION_URLS", joined(r.urls).c_str(), nullptr);
    if (!r.sea_tiles.empty()) GDALSetMetadataItem(ds, "ELEVATION_SEA_TILES", joined(r.sea_tiles).c_str(), nullptr);
    GDALSetMetadataItem(ds, "ELEVATION_FETCHED", r.fetched.c_str(), nullptr);
    GDALSetMetadataItem(ds, "ELEVATION_RESAMPLING", "bilinear (GDAL warper)", nullptr);
    if (!because.empty()) GDALSetMetadataItem(ds, "ELEVATION_CHOSEN_BECAUSE", because.c_str(), nullptr);
}

// GDAL keeps what it learnt of a URL (also that it failed) for the
// process's life; a new fetch must ask the service again.
void forgetService(const std::string &base) { VSICurlPartialClearCache(("/vsicurl/" + base).c_str()); }

// Reads the plan's tiles over the network and writes its GeoTIFF; the caller
// has made GDAL forget the service. because says why Copernicus stands in
// for 3DEP, when it does.
int fetchPlan(const elevation_plan &plan, const elevation_settings &settings, const std::string &because,
              elevation_progress *progress, gdal_messages *m, elevation_result *result, std::string *refusal) {
    progress->tiles_total.store(static_cast<int>(plan.tiles.size()));
    progress->tiles_opened.store(0);
    progress->fraction.store(0.0);

    elevation_result r;
    describe(plan, &r);
    r.fetched = nowIso();
    fetch_handles h;
    std::vector<elevation_tile> found;
    std::set<std::string> listed;
    bool have_list = false;
    for (const elevation_tile &t : plan.tiles) {
        if (progress->cancel.load()) return say(refusal, ELEVATION_CANCELLED, "The fetch was cancelled.");
        std::string reason;
        probe_answer a = probe(t.url, m, &reason);
        if (a == PROBE_UNREACHABLE) return say(refusal, ELEVATION_UNREACHABLE, unreachableSentence(reason));
        if (a == PROBE_ABSENT && plan.source->id == ELEVATION_3DEP)
            return say(refusal, ELEVATION_NOT_COVERED,
                       "3DEP has no tile " + t.name + " for this area (it covers the United States); choose " +
                           "Copernicus for it.");
        if (a == PROBE_ABSENT) {
            if (!have_list) {
                int code = readTileList(settings, m, &listed, refusal);
                if (code != ELEVATION_OK) return code;
                have_list = true;
            }
            if (listed.count(t.name) != 0)
                return say(refusal, ELEVATION_MISSING_TILE,
                           "The elevation service lacks the tile " + t.name +
                               ", which its own list names for land here; try again later.");
            r.sea_tiles.push_back(t.name);
        } else {
            m->clear();
            const char *drivers[] = {"GTiff", nullptr};
            GDALDatasetH ds = GDALOpenEx(("/vsicurl/" + t.url).c_str(), GDAL_OF_RASTER | GDAL_OF_READONLY, drivers,
                                         nullptr, nullptr);
            if (ds == nullptr) {
                std::string why = unreachableReason(*m);
                if (!why.empty()) return say(refusal, ELEVATION_UNREACHABLE, unreachableSentence(why));
                return say(refusal, ELEVATION_DAMAGED_TILE,
                           "The elevation tile " + t.name + " is cut short or damaged: it does not open as a GeoTIFF.");
            }
            h.tiles.push_back(ds);
            found.push_back(t);
            r.urls.push_back(t.url);
        }
        progress->tiles_opened.fetch_add(1);
        progress->fraction.store(0.1 * progress->tiles_opened.load() / plan.tiles.size());
    }
    if (h.tiles.empty())
        return say(refusal, ELEVATION_ALL_SEA, "The area lies over open sea, where Copernicus publishes no elevation.");

    // The mosaic: where no tile lies (open sea) it reads nodata. Tiles of
    // different spacing (Copernicus above 50°) are brought to the finest.
    m->clear();
    const char *vrt_args[] = {"-resolution", "highest", "-r", "bilinear", "-vrtnodata", "-9999", nullptr};
    GDALBuildVRTOptions *vrt_options = GDALBuildVRTOptionsNew(const_cast<char **>(vrt_args), nullptr);
    h.vrt = GDALBuildVRT("", static_cast<int>(h.tiles.size()), h.tiles.data(), nullptr, vrt_options, nullptr);
    GDALBuildVRTOptionsFree(vrt_options);
    if (h.vrt == nullptr) return readFailure(*m, found, refusal);

    std::string error;
    if (!ensureFolder(settings.cache_dir, &error))
        return say(refusal, ELEVATION_FAILED, "The cache folder " + settings.cache_dir + " cannot be made (" + error + ").");
    if (!beginSafeWrite(plan.cache_path, &h.write, &error))
        return say(refusal, ELEVATION_FAILED, "The elevation cannot be kept in " + plan.cache_path + ": " + error + ".");
    h.writing = true;
    h.out = createGrid(plan, h.write.temp_path);
    if (h.out == nullptr)
        return say(refusal, ELEVATION_FAILED, "The elevation cannot be kept in " + plan.cache_path + ".");

    // Every cell's position transformed exactly (-et 0), not approximated
    // along rows: 0.6 s for a 20-ha parcel with 5 km around it at 10 m.
    const char *warp_args[] = {"-r", "bilinear", "-et", "0", "-wo", "INIT_DEST=NO_DATA", nullptr};
    GDALWarpAppOptions *warp_options = GDALWarpAppOptionsNew(const_cast<char **>(warp_args), nullptr);
    GDALWarpAppOptionsSetProgress(warp_options, warpProgress, progress);
    GDALDatasetH warped = GDALWarp(nullptr, h.out, 1, &h.vrt, warp_options, nullptr);
    GDALWarpAppOptionsFree(warp_options);
    if (progress->cancel.load()) return say(refusal, ELEVATION_CANCELLED, "The fetch was cancelled.");
    if (warped == nullptr || !m->failures.empty()) return readFailure(*m, found, refusal);

    setMetadata(h.out, plan, r, because);
    GDALClose(h.out);
    h.out = nullptr;
    if (!m->failures.empty())
        return say(refusal, ELEVATION_FAILED,
                   "The elevation cannot be kept in " + plan.cache_path + " (GDAL: " + trimmed(m->failures.front()) + ").");
    h.writing = false;
    if (!commitSafeWrite(&h.write, &error))
        return say(refusal, ELEVATION_FAILED, "The elevation cannot be kept in " + plan.cache_path + ": " + error + ".");
    progress->fraction.store(1.0);
    *result = r;
    return ELEVATION_OK;
}

}  // namespace

int fetchElevation(const elevation_area &area, elevation_source_id source, const elevation_settings &settings,
                   elevation_progress *progress, elevation_result *result, std::string *refusal) {
    *result = elevation_result();
    GDALAllRegister();   // callers need not have opened a raster before
    elevation_progress own;
    if (progress == nullptr) progress = &own;
    gdal_messages m;
    m.forward_debug = CPLGetConfigOption("CPL_DEBUG", nullptr) != nullptr;
    thread_options options;
    // A dead network or a stalled server is told within about half a
    // minute (one retry); a slow but live link may take a minute per window.
    options.setDefault("GDAL_HTTP_CONNECTTIMEOUT", "10");
    options.setDefault("GDAL_HTTP_LOW_SPEED_TIME", "15");
    options.setDefault("GDAL_HTTP_LOW_SPEED_LIMIT", "1");
    options.setDefault("GDAL_HTTP_TIMEOUT", "60");
    options.setDefault("GDAL_HTTP_MAX_RETRY", "1");
    options.setDefault("GDAL_HTTP_RETRY_DELAY", "1");
    options.setDefault("GDAL_HTTP_USERAGENT", "veranta");
    options.setDefault("GDAL_DISABLE_READDIR_ON_OPEN", "EMPTY_DIR");
    options.setDefault("CPL_VSIL_CURL_ALLOWED_EXTENSIONS", ".tif,.txt");
    // Only GDAL's debug lines carry curl's reason for a failed request.
    options.setDefault("CPL_DEBUG", "ON");
    message_scope scope(&m);

    elevation_plan plan;
    if (source != ELEVATION_CHOOSE) {
        int code = planElevation(area, source, settings, &plan, refusal);
        if (code != ELEVATION_OK) return code;
        if (readCached(plan, false, result)) return ELEVATION_OK;
        if (progress->cancel.load()) return say(refusal, ELEVATION_CANCELLED, "The fetch was cancelled.");
        forgetService(source == ELEVATION_3DEP ? settings.threedep_url : settings.copernicus_url);
        return fetchPlan(plan, settings, "", progress, &m, result, refusal);
    }

    // Bare earth where 3DEP has every tile of the area, else Copernicus; a
    // Copernicus file kept for that reason answers without the network.
    elevation_plan copernicus;
    int code = planElevation(area, ELEVATION_3DEP, settings, &plan, refusal);
    if (code == ELEVATION_OK) code = planElevation(area, ELEVATION_COPERNICUS, settings, &copernicus, refusal);
    if (code != ELEVATION_OK) return code;
    if (readCached(plan, false, result) || readCached(copernicus, true, result)) return ELEVATION_OK;
    forgetService(settings.threedep_url);
    for (const elevation_tile &t : plan.tiles) {
        if (progress->cancel.load()) return say(refusal, ELEVATION_CANCELLED, "The fetch was cancelled.");
        std::string reason;
        probe_answer a = probe(t.url, &m, &reason);
        if (a == PROBE_UNREACHABLE) return say(refusal, ELEVATION_UNREACHABLE, unreachableSentence(reason));
        if (a == PROBE_ABSENT) {
            forgetService(settings.copernicus_url);
            return fetchPlan(copernicus, settings, "3DEP has no tile " + t.name, progress, &m, result, refusal);
        }
    }
    // The probes' answers are fresh: GDAL's memory of them spares asking again.
    return fetchPlan(plan, settings, "", progress, &m, result, refusal);
}
