// The program's one day integration: the engine is run every step minutes
// from sunrise to just past sunset and each sample's tilted irradiance,
// attenuated by 0.7 per unit of pressure-corrected air mass, counts for one
// step. With many surfaces the sun is placed once per sample for all of them.
#include "model/integration.h"

#include <cmath>

namespace {

// Each surface's sample energy, J/m2, added to its single-precision sum; the
// grouping is that of one surface's sum, so every surface gets its own bits.
void addSample(int count, const float *__restrict etr_tilted, double fade, double step, float *__restrict sums) {
    for (int i = 0; i < count; i++) {
        double energy = static_cast<double>(etr_tilted[i]) * fade * 60.0 * step;
        sums[i] = static_cast<float>(static_cast<double>(sums[i]) + energy);
    }
}

}  // namespace

void integrateDay(solar_record *record, int step, const surface_set *surfaces, float *irradiation, float *work) {
    const int count = surfaces == nullptr ? 1 : surfaces->count;
    for (int i = 0; i < count; i++) irradiation[i] = 0.0f;

    float rise = record->sunrise_minutes;
    float set = record->sunset_minutes;
    // A step below a minute would never reach sunset.
    int minutes = step < 1 ? 1 : step;
    float stop = set + 1.0f;
    float stepf = static_cast<float>(minutes);
    const double stepd = static_cast<double>(stepf);
    // Repeated addition could never move an infinite start.
    if (!std::isfinite(rise)) return;

    // t advances by repeated addition: the sample times, and so the sums,
    // depend on it to the last bit.
    for (float t = rise; stop > t; t = t + stepf) {
        // Past 2^24 minutes a step no longer moves t; only a far-off sunset
        // the engine never gives could get there, and the loop must end.
        if (!(t + stepf > t)) break;
        // Clock times outside the date would be refused by the engine, which
        // then leaves the previous sample's results in the record. Only
        // samples in [00:00, 24:00) are taken, so a day where the sun never
        // sets is one whole date of rectangles. Tested before converting, so
        // the conversions below are always in range.
        if (!(t >= 0.0f && t < 1440.0f)) continue;
        int hour = static_cast<int>(t / 60.0f);
        record->hour = hour;
        record->minute = static_cast<int>(t - static_cast<float>(hour) * 60.0f);
        S_solpos(record);

        const double fade = std::pow(0.7, static_cast<double>(record->air_mass_pressure));
        if (surfaces == nullptr) {
            addSample(1, &record->etr_tilted, fade, stepd, irradiation);
            continue;
        }
        // Sun down: every surface would add exactly +0, which changes no sum.
        if (record->etr_normal == 0.0f && std::isfinite(fade)) continue;
        S_tiltMany(record, count, surfaces->cos_aspect, surfaces->sin_aspect, surfaces->cos_tilt,
                   surfaces->sin_tilt, work);
        addSample(count, work, fade, stepd, irradiation);
    }
    for (int i = 0; i < count; i++) irradiation[i] = static_cast<float>(static_cast<double>(irradiation[i]) * 1e-6);
}
