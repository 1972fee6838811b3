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
    const double stepd = static_cast<double>(static_cast<float>(step < 1 ? 1 : step));

    forEachSample(record, step, [&](solar_record *r) {
        const double fade = std::pow(0.7, static_cast<double>(r->air_mass_pressure));
        if (surfaces == nullptr) {
            addSample(1, &r->etr_tilted, fade, stepd, irradiation);
            return;
        }
        // Sun down: every surface would add exactly +0, which changes no sum.
        if (r->etr_normal == 0.0f && std::isfinite(fade)) return;
        S_tiltMany(r, count, surfaces->cos_aspect, surfaces->sin_aspect, surfaces->cos_tilt, surfaces->sin_tilt,
                   work);
        addSample(count, work, fade, stepd, irradiation);
    });
    for (int i = 0; i < count; i++) irradiation[i] = static_cast<float>(static_cast<double>(irradiation[i]) * 1e-6);
}
