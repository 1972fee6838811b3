// The figures one per line, "name value" with four decimals, in a fixed
// order that scripts comparing runs can rely on.
#include "accuracy/accuracy.h"

#include <cstdio>

std::string formatFigures(const AccuracyFigures &f) {
    const struct {
        const char *name;
        double value;
    } lines[] = {
        {"zenith_median_deg", f.zenith_median_deg},
        {"zenith_p99_deg", f.zenith_p99_deg},
        {"zenith_max_deg", f.zenith_max_deg},
        {"azimuth_median_deg", f.azimuth_median_deg},
        {"azimuth_p99_deg", f.azimuth_p99_deg},
        {"azimuth_max_deg", f.azimuth_max_deg},
        {"riseset_median_min", f.riseset_median_min},
        {"riseset_p99_min", f.riseset_p99_min},
        {"riseset_max_min", f.riseset_max_min},
        {"almanac_rise_median_min", f.almanac_rise_median_min},
        {"almanac_set_median_min", f.almanac_set_median_min},
    };
    std::string text;
    for (const auto &line : lines) {
        char buffer[96];
        std::snprintf(buffer, sizeof buffer, "%s %.4f\n", line.name, line.value);
        text += buffer;
    }
    return text;
}
