// The sun of a whole season at one block point: the engine is run at every
// sample of every day of the season's months, under the calculators' fixed
// conditions on the clock of the block's own zone, and what the tilted-surface step and the horizon test need is
// kept for the samples with the sun up.
#include "terrain/sunBlock.h"

#include "model/integration.h"

#include <cmath>
#include <new>

namespace {

bool cancelled(const sweep_control *control) {
    return control != nullptr && control->cancel.load(std::memory_order_relaxed);
}

int place(sun_block *b, sweep_control *control) {
    const day_conditions c = siteConditions(b->latitude, b->longitude, 180.0f, 0.0f);
    // The site's test of the slope sweep: the engine takes the point at noon of the first day.
    solar_record record{};
    fillRecord(&record, &c, b->season.start_day, b->season.start_month, b->season.year);
    if (S_solpos(&record) != 0) return SWEEP_BAD_SITE;

    b->days = 0;
    b->day_first.push_back(0);
    for (int m = b->season.start_month; m <= b->season.stop_month; m++) {
        for (int d = 1; d <= b->lengths[m - 1]; d++) {
            if (cancelled(control)) return SWEEP_CANCELLED;
            fillRecord(&record, &c, d, m, b->season.year);
            if (S_solpos(&record) != 0) return SWEEP_BAD_SITE;
            forEachSample(&record, c.step, [b](const solar_record *r) {
                const double fade = std::pow(0.7, static_cast<double>(r->air_mass_pressure));
                // Sun down: the day integration skips the sample, no surface gains.
                if (r->etr_normal == 0.0f && std::isfinite(fade)) return;
                const solar_sun_terms s = S_sunTerms(r);
                b->cos_azimuth.push_back(s.cos_azimuth);
                b->sin_azimuth.push_back(s.sin_azimuth);
                b->sin_zenith.push_back(s.sin_zenith);
                b->cos_zenith.push_back(s.cos_zenith);
                b->etr_normal.push_back(s.etr_normal);
                b->fade.push_back(fade);
                b->elevation.push_back(90.0f - r->zenith_refracted);
                b->azimuth.push_back(r->solar_azimuth);
            });
            b->day_first.push_back(static_cast<int>(b->cos_azimuth.size()));
            b->days++;
        }
    }
    return cancelled(control) ? SWEEP_CANCELLED : 0;
}

}  // namespace

sun_block *placeSunBlock(float latitude, float longitude, const season_range *season, sweep_control *control,
                         int *refusal) {
    int ignored;
    if (refusal == nullptr) refusal = &ignored;
    if (season == nullptr) {
        *refusal = SWEEP_BAD_ARGUMENTS;
        return nullptr;
    }
    int lengths[12];
    int code = sweepSeasonCheck(season, lengths);
    if (code == 0 && (!std::isfinite(latitude) || !std::isfinite(longitude))) code = SWEEP_BAD_SITE;
    if (code != 0) {
        *refusal = code;
        return nullptr;
    }
    sun_block *b = nullptr;
    try {
        b = new sun_block();
        b->latitude = latitude;
        b->longitude = longitude;
        b->season = *season;
        for (int m = 0; m < 12; m++) b->lengths[m] = lengths[m];
        code = place(b, control);
    } catch (const std::bad_alloc &) {
        code = SWEEP_NO_MEMORY;
    }
    if (code != 0) {
        delete b;
        *refusal = code;
        return nullptr;
    }
    *refusal = 0;
    return b;
}

void freeSunBlock(sun_block *block) { delete block; }
