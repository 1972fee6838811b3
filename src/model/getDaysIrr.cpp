// Clear-sky irradiation of one day on the sloping site, MJ/m2: the engine is
// run every active_dt minutes from sunrise to just past sunset and each
// sample's tilted irradiance, attenuated by 0.7 per unit of pressure-corrected
// air mass, counts for one step.
#include "model/model.h"

#include <cmath>

float getDaysIrr(int day, int month, int year) {
    float rise;
    float set;
    getDayBounds(day, month, year, &rise, &set);

    // A step below a minute would never reach sunset.
    int minutes = active_dt < 1 ? 1 : active_dt;
    float stop = set + 1.0f;
    float step = static_cast<float>(minutes);
    float sum = 0.0f;
    // Repeated addition could never move an infinite start.
    if (!std::isfinite(rise)) return sum;

    // t advances by repeated addition: the sample times, and so the sum,
    // depend on it to the last bit.
    for (float t = rise; stop > t; t = t + step) {
        // Past 2^24 minutes a step no longer moves t; only a far-off sunset
        // the engine never gives could get there, and the loop must end.
        if (!(t + step > t)) break;
        // Clock times outside the date would be refused by the engine, which
        // then leaves the previous sample's results in the record. Only
        // samples in [00:00, 24:00) are taken, so a day where the sun never
        // sets is one whole date of rectangles. Tested before converting, so
        // the conversions below are always in range.
        if (!(t >= 0.0f && t < 1440.0f)) continue;
        int hour = static_cast<int>(t / 60.0f);
        pdat->hour = hour;
        pdat->minute = static_cast<int>(t - static_cast<float>(hour) * 60.0f);
        S_solpos(pdat);

        double energy = static_cast<double>(pdat->etr_tilted) *
                        std::pow(0.7, static_cast<double>(pdat->air_mass_pressure)) * 60.0 *
                        static_cast<double>(step);
        sum = static_cast<float>(static_cast<double>(sum) + energy);
    }
    return static_cast<float>(static_cast<double>(sum) * 1e-6);
}
