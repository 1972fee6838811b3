// Reduces the differences of both tables to the figures: zenith and azimuth
// where the sun is clearly up, sunrise and sunset against the ephemeris'
// centre and its almanac times.
#include "accuracy/accuracy.h"

bool measureAccuracy(const AccuracySamples &samples, const std::string &positionsPath,
                     const std::string &risesetPath, AccuracyFigures *figures, std::string *error) {
    if (samples.zenith.empty()) {
        *error = positionsPath + ": no row with both zenith angles below 89 degrees";
        return false;
    }
    if (samples.azimuth.empty()) {
        *error = positionsPath + ": no row with the zenith angle between 1 and 89 degrees";
        return false;
    }
    if (samples.riseset.empty()) {
        *error = risesetPath + ": no rows";
        return false;
    }
    figures->zenith_median_deg = percentile(samples.zenith, 0.5);
    figures->zenith_p99_deg = percentile(samples.zenith, 0.99);
    figures->zenith_max_deg = percentile(samples.zenith, 1.0);
    figures->azimuth_median_deg = percentile(samples.azimuth, 0.5);
    figures->azimuth_p99_deg = percentile(samples.azimuth, 0.99);
    figures->azimuth_max_deg = percentile(samples.azimuth, 1.0);
    figures->riseset_median_min = percentile(samples.riseset, 0.5);
    figures->riseset_p99_min = percentile(samples.riseset, 0.99);
    figures->riseset_max_min = percentile(samples.riseset, 1.0);
    figures->almanac_rise_median_min = percentile(samples.almanac_rise, 0.5);
    figures->almanac_set_median_min = percentile(samples.almanac_set, 0.5);
    return true;
}
