// Runs the engine on every row of both tables and reduces the differences
// to the figures: zenith and azimuth where the sun is clearly up, sunrise and
// sunset against the ephemeris' centre and its almanac times.
#include "accuracy/accuracy.h"

#include <cmath>

bool measureAccuracy(const std::vector<PositionRow> &positions, const std::vector<RiseSetRow> &risesets,
                     const std::string &positionsPath, const std::string &risesetPath, AccuracyFigures *figures,
                     std::string *error) {
    std::vector<double> zenith, azimuth, riseset, almanacRise, almanacSet;
    for (const PositionRow &row : positions) {
        double z = 0, a = 0;
        if (!enginePosition(row, &z, &a)) {
            *error = positionsPath + ":" + std::to_string(row.line) + ": the solar engine refuses this row";
            return false;
        }
        // Near the horizon refraction and the engine's clamping dominate;
        // these rows say nothing about the sun's position.
        if (!(z < 89.0 && row.zenith < 89.0)) continue;
        zenith.push_back(std::fabs(z - row.zenith));
        // Right overhead the azimuth is undefined.
        if (row.zenith > 1.0) azimuth.push_back(skyAzimuthError(a, row.azimuth, row.zenith));
    }
    for (const RiseSetRow &row : risesets) {
        double rise = 0, set = 0;
        if (!engineRiseSet(row, &rise, &set)) {
            *error = risesetPath + ":" + std::to_string(row.line) + ": the solar engine refuses this row";
            return false;
        }
        riseset.push_back(std::fabs(rise - row.rise_centre));
        riseset.push_back(std::fabs(set - row.set_centre));
        almanacRise.push_back(rise - row.rise_almanac);
        almanacSet.push_back(set - row.set_almanac);
    }
    if (zenith.empty()) {
        *error = positionsPath + ": no row with both zenith angles below 89 degrees";
        return false;
    }
    if (azimuth.empty()) {
        *error = positionsPath + ": no row with the zenith angle between 1 and 89 degrees";
        return false;
    }
    if (riseset.empty()) {
        *error = risesetPath + ": no rows";
        return false;
    }
    figures->zenith_median_deg = percentile(zenith, 0.5);
    figures->zenith_p99_deg = percentile(zenith, 0.99);
    figures->zenith_max_deg = percentile(zenith, 1.0);
    figures->azimuth_median_deg = percentile(azimuth, 0.5);
    figures->azimuth_p99_deg = percentile(azimuth, 0.99);
    figures->azimuth_max_deg = percentile(azimuth, 1.0);
    figures->riseset_median_min = percentile(riseset, 0.5);
    figures->riseset_p99_min = percentile(riseset, 0.99);
    figures->riseset_max_min = percentile(riseset, 1.0);
    figures->almanac_rise_median_min = percentile(almanacRise, 0.5);
    figures->almanac_set_median_min = percentile(almanacSet, 0.5);
    return true;
}
