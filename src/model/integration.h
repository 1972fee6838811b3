// The day integration and the month arithmetic without the shared state:
// every input is an argument, so these are safe to call from any thread.
// getDaysIrr, both calculators and the slope sweep all integrate through
// integrateDay, so they agree to the last bit.
#ifndef VERANTA_MODEL_INTEGRATION_H
#define VERANTA_MODEL_INTEGRATION_H

#include "model/sweepSeason.h"
#include "solar/solpos.h"

#include <cmath>

// What the integration of a day reads besides the date: the site, its own
// surface, the atmosphere, the clock time at which sunrise and sunset are
// found, and the step between samples in minutes (below 1 counts as 1).
struct day_conditions {
    float latitude;
    float longitude;
    float aspect;
    float tilt;
    float temperature;
    float pressure;
    float timezone;
    int hour;
    int minute;
    int second;
    int step;
};

// Surfaces given by the engine's terms of their aspect and tilt
// (S_surfaceTerms), one array of count values per term.
struct surface_set {
    int count;
    const float *cos_aspect;
    const float *sin_aspect;
    const float *cos_tilt;
    const float *sin_tilt;
};

// The conditions the shared state holds now (active_latitude and the rest).
day_conditions currentConditions(void);
// The calculators' fixed conditions (Pacific standard time, noon, one-minute
// step, 15 degrees, 1013 mb) for a site and surface.
day_conditions calculatorConditions(float latitude, float longitude, float aspect, float tilt);
// The standard zone nearest a longitude (east positive), in hours: the
// sun's clock of a site, so that a day runs from the site's own midnight.
// 0 for a longitude beyond 180 degrees or not a number.
float siteZone(float longitude);
// calculatorConditions on the clock of the site's zone (siteZone): what the
// slope sweep and the map's suns integrate under.
day_conditions siteConditions(float latitude, float longitude, float aspect, float tilt);

// Resets the record and fills it for the date with the conditions; S_solpos
// not yet run. A month outside 1..12 keeps the default (refused) day of year.
void fillRecord(solar_record *record, const day_conditions *conditions, int day, int month, int year);

// Runs the engine at every sample of the day whose sunrise and sunset the
// record holds (S_solpos run on it for the date): every step minutes (below 1
// counts as 1) from sunrise to just past sunset, only at clock times of the
// date, and calls take(record) after each run. integrateDay and every other
// integration of a day take their samples here, so they agree on the times.
template <class Take>
void forEachSample(solar_record *record, int step, Take take) {
    float rise = record->sunrise_minutes;
    float set = record->sunset_minutes;
    // A step below a minute would never reach sunset.
    const float stepf = static_cast<float>(step < 1 ? 1 : step);
    float stop = set + 1.0f;
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
        take(record);
    }
}

// Integrates the day whose sunrise and sunset the record holds (S_solpos run
// on it for the date): one engine run per sample, every step minutes from
// sunrise to just past sunset, only at clock times of the date. Writes each
// surface's irradiation, MJ/m2, to irradiation[]; work[] holds count values
// of scratch. With surfaces null the one surface is the record's own
// (irradiation[0], no work needed).
void integrateDay(solar_record *record, int step, const surface_set *surfaces, float *irradiation, float *work);

// One day with a record of its own. Returns the engine's code for the
// conditions at their clock time; when it is not 0 nothing is written.
std::int64_t dayIrradiation(const day_conditions *conditions, int day, int month, int year,
                            const surface_set *surfaces, float *irradiation, float *work);
// The same for the conditions' own surface alone; 0 when the engine refuses.
float dayIrr(const day_conditions *conditions, int day, int month, int year);

// Lengths of the months of a year, January first.
void monthLengths(int year, int lengths[12]);

// Degree days of a whole month's irradiation x, by zone (1 north, 2 south;
// otherwise 0) and, in the northern zone, the elevation.
float zoneGDD(int zone, int month, float x, float elevation);
float northGDDAt(int month, float x, float elevation);

// A season month from its days' irradiation (daily[0] is day 1, length days):
// the irradiation of days first..last and their share of the whole month's
// degree days, as the season window shows them, and (when whole is not null)
// the whole month's irradiation, which those degree days are computed from.
void seasonMonth(const float *daily, int length, int first, int last, int zone, float elevation, int month,
                 float *irradiation, float *degree_days, float *whole = nullptr);

// One surface's months and totals from its daily irradiation, daily[d *
// stride] for the season's days in order (whole months, lengths[] days each),
// as the season window forms them.
void seasonFromDays(const season_range *season, const int lengths[12], int zone, float elevation, const float *daily,
                    long stride, slope_season *out);

#endif
