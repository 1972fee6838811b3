// Asked of GDAL's drivers, so a format added to GDAL appears without a change
// here.
#include "terrain/rasterKinds.h"

#include <algorithm>
#include <gdal.h>
#include <sstream>

std::vector<std::string> rasterEndings(void) {
    GDALAllRegister();
    std::vector<std::string> endings;
    for (int i = 0; i < GDALGetDriverCount(); i++) {
        GDALDriverH driver = GDALGetDriver(i);
        if (GDALGetMetadataItem(driver, GDAL_DCAP_RASTER, nullptr) == nullptr) continue;
        const char *list = GDALGetMetadataItem(driver, GDAL_DMD_EXTENSIONS, nullptr);
        if (list == nullptr) continue;
        std::istringstream words(list);
        std::string e;
        while (words >> e)
            if (std::find(endings.begin(), endings.end(), e) == endings.end()) endings.push_back(e);
    }
    std::sort(endings.begin(), endings.end());
    return endings;
}
