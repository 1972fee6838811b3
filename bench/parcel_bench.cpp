// A grower's parcel in the usual elevation tile: a 20 ha parcel (a KML in
// WGS 84) in the middle of a 10,812 x 10,812 DEM of 10 m cells (a VRT over a
// 1,024 x 1,024 tile of hills repeated, UTM zone 10N near Corvallis), mapped
// as veranta-map --parcel --blocks does it: the parcel read and placed, the
// elevations it reads checked, the blocks' extent computed shaded (32
// directions, 5 km) for 1 April to 31 October, the block figures, the map
// written as a GeoTIFF. Wall time, one iteration.
#include "demFiles.h"
#include "parcel/parcelMap.h"
#include "terrain/internals.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cpl_conv.h>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

const int kTile = 1024;
const int kDem = 10812;
const double kCell = 10.0;
const double kWest = 440000.0;     // UTM 10N, metres
const double kNorth = 4990000.0;

// The VRT over the tile repeated; its path.
std::string largeDem(const std::string &dir) {
    std::vector<float> z(static_cast<size_t>(kTile) * kTile);
    for (int r = 0; r < kTile; r++)
        for (int c = 0; c < kTile; c++)
            z[static_cast<size_t>(r) * kTile + c] = static_cast<float>(
                300.0 + 120.0 * std::sin(c / 90.0) * std::cos(r / 130.0) + 60.0 * std::sin((c + 2 * r) / 37.0) +
                25.0 * std::cos((3 * c - r) / 17.0));
    if (!writeDemFile(dir + "/tile.tif", kTile, kTile, z, "EPSG:32610", kCell, kWest, kNorth)) std::abort();
    const std::string path = dir + "/dem.vrt";
    std::ofstream vrt(path);
    vrt << "<VRTDataset rasterXSize=\"" << kDem << "\" rasterYSize=\"" << kDem << "\">\n"
        << "  <SRS>EPSG:32610</SRS>\n  <GeoTransform>" << kWest << ", " << kCell << ", 0, " << kNorth << ", 0, -"
        << kCell << "</GeoTransform>\n"
        << "  <VRTRasterBand dataType=\"Float32\" band=\"1\">\n    <NoDataValue>-9999</NoDataValue>\n";
    for (int y = 0; y < kDem; y += kTile)
        for (int x = 0; x < kDem; x += kTile)
            vrt << "    <SimpleSource><SourceFilename relativeToVRT=\"1\">tile.tif</SourceFilename>"
                << "<SourceBand>1</SourceBand><SrcRect xOff=\"0\" yOff=\"0\" xSize=\"" << kTile << "\" ySize=\""
                << kTile << "\"/><DstRect xOff=\"" << x << "\" yOff=\"" << y << "\" xSize=\"" << kTile
                << "\" ySize=\"" << kTile << "\"/></SimpleSource>\n";
    vrt << "  </VRTRasterBand>\n</VRTDataset>\n";
    return path;
}

// A 450 m square (20 ha) about the DEM's middle, in WGS 84 as Google Earth
// gives it: its corners from UTM through GDAL's own transformation.
std::string parcelKml(const std::string &dir, const dem_source *dem) {
    const double x0 = kWest + kDem * kCell / 2.0, y0 = kNorth - kDem * kCell / 2.0;
    double xs[4] = {x0, x0 + 450.0, x0 + 450.0, x0}, ys[4] = {y0, y0, y0 + 450.0, y0 + 450.0};
    std::string coordinates;
    for (int k = 0; k <= 4; k++) {
        double lat = 0.0, lon = 0.0;
        // cellLatLon takes cells: the corner's cell centres are close enough
        // for a benchmark's parcel.
        const int c = static_cast<int>((xs[k % 4] - kWest) / kCell), r = static_cast<int>((kNorth - ys[k % 4]) / kCell);
        std::string why;
        if (cellLatLon(dem, c, r, 1, 1, &lat, &lon, &why) != TERRAIN_OK) std::abort();
        char text[80];
        std::snprintf(text, sizeof text, "%.8f,%.8f ", lon, lat);
        coordinates += text;
    }
    const std::string path = dir + "/parcel.kml";
    std::ofstream kml(path);
    kml << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<kml xmlns=\"http://www.opengis.net/kml/2.2\"><Document>"
        << "<Placemark><name>Vineyard</name><Polygon><outerBoundaryIs><LinearRing><coordinates>" << coordinates
        << "</coordinates></LinearRing></outerBoundaryIs></Polygon></Placemark></Document></kml>\n";
    return path;
}

void BM_ParcelInLargeDem(benchmark::State &state) {
    char folder[] = "/tmp/veranta-parcel-bench-XXXXXX";
    if (mkdtemp(folder) == nullptr) std::abort();
    const std::string dir = folder;
    CPLSetConfigOption("GDAL_CACHEMAX", "128");   // as veranta-map sets it
    const std::string dem_path = largeDem(dir);
    std::string parcel_path;
    {
        dem_source dem;
        std::string why;
        if (openDem(dem_path, 0, &dem, &why) != TERRAIN_OK) std::abort();
        parcel_path = parcelKml(dir, &dem);
        closeDem(&dem);
    }
    map_options o;
    o.season = {2024, 1, 4, 31, 10};
    long cells = 0;
    for (auto _ : state) {
        dem_source dem;
        std::string why;
        parcel p;
        parcel_on_dem on;
        if (openDem(dem_path, 0, &dem, &why) != TERRAIN_OK || !readParcel(parcel_path, dem.crs_wkt, &p, &why) ||
            !placeParcelOnDem(&p, &dem, &on, &why))
            state.SkipWithError(why.c_str());
        map_extent extent;
        extent.within = on.extent;
        map_window reads;
        elevation_check check;
        land_map map;
        std::vector<std::int32_t> blocks;
        block_map view;
        std::vector<block_figures> figures;
        if (runWindow(&dem, &o, &extent, &reads, &why) != TERRAIN_OK ||
            checkElevations(&dem, &reads, nullptr, &check, &why) != TERRAIN_OK ||
            computeParcelMap(&dem, &o, &p, &on, nullptr, nullptr, nullptr, &map, &why) != TERRAIN_OK ||
            !blockNumbersOf(&map, &blocks, &why) || !blockMapOf(&map, blocks.data(), &view, &why) ||
            !blockFigures(&p, &on.placement, &view, parcelThreshold(&view), &figures, &why) ||
            writeLandMap(&map, dir + "/parcel.tif", "", nullptr, &why) != TERRAIN_OK)
            state.SkipWithError(why.c_str());
        cells = map.cells_with_data;
        closeDem(&dem);
    }
    state.counters["parcel_cells"] = static_cast<double>(cells);
    std::system(("rm -rf '" + dir + "'").c_str());
}
BENCHMARK(BM_ParcelInLargeDem)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

}  // namespace
