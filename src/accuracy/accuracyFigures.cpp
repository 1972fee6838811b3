// The figures of the accuracy tool: the differences of both tables reduced
// to medians, 99th percentiles and maxima (zenith and azimuth where the sun
// is clearly up, sunrise and sunset against the ephemeris' centre and its
// almanac times), written one per line, and the tool as a whole apart from
// main.
#include "accuracy/accuracy.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

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

// The value at index floor(p * (n - 1)) of the sorted values: no
// interpolation, so every figure is one that was actually measured.
double percentile(std::vector<double> values, double p) {
    std::sort(values.begin(), values.end());
    double at = std::floor(p * static_cast<double>(values.size() - 1));
    std::size_t index = at <= 0 ? 0 : static_cast<std::size_t>(at);
    return values[std::min(index, values.size() - 1)];
}

// The figures one per line, "name value" with four decimals, in a fixed
// order that scripts comparing runs can rely on.
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

// The accuracy tool as a whole, apart from main: read both tables of DIR,
// measure, and give the figures or the one message that says what is wrong.
namespace {

// A message quotes the offending field; control bytes in it (a NUL would cut
// the line short) are shown as \xNN.
std::string printable(const std::string &text) {
    std::string shown;
    for (unsigned char c : text) {
        if (c < 0x20 || c == 0x7f) {
            char code[8];
            std::snprintf(code, sizeof code, "\\x%02x", c);
            shown += code;
        } else {
            shown += static_cast<char>(c);
        }
    }
    return shown;
}

}  // namespace

int runAccuracy(const std::string &dir, std::string *out, std::string *err) {
    std::string base = dir.empty() || dir.back() == '/' ? dir : dir + "/";
    std::string positionsPath = base + "positions.csv";
    std::string risesetPath = base + "riseset.csv";
    AccuracySamples samples;
    AccuracyFigures figures{};
    std::string error;
    if (!readPositions(positionsPath, &samples, &error) || !readRiseSet(risesetPath, &samples, &error) ||
        !measureAccuracy(samples, positionsPath, risesetPath, &figures, &error)) {
        *err = "veranta_accuracy: " + printable(error) + "\n";
        return 1;
    }
    *out = formatFigures(figures);
    return 0;
}
