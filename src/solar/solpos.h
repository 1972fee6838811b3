// Solar position engine: the sun's place, rise and set, air mass and the
// extraterrestrial irradiance on a tilted surface, for one instant.
#ifndef VERANTA_SOLAR_SOLPOS_H
#define VERANTA_SOLAR_SOLPOS_H

#include <cstdint>

// Bits of function_mask: the date mode and the steps S_solpos runs.
constexpr std::int32_t SOLAR_DAY_OF_YEAR_INPUT = 0x0001;
constexpr std::int32_t SOLAR_GEOMETRY = 0x0002;
constexpr std::int32_t SOLAR_ZENITH = 0x0004;
constexpr std::int32_t SOLAR_SUNSET_ANGLE = 0x0008;
constexpr std::int32_t SOLAR_SHADOWBAND = 0x0010;
constexpr std::int32_t SOLAR_TRUE_TIME = 0x0020;
constexpr std::int32_t SOLAR_RISE_SET = 0x0040;
constexpr std::int32_t SOLAR_AZIMUTH = 0x0080;
constexpr std::int32_t SOLAR_REFRACTION = 0x0100;
constexpr std::int32_t SOLAR_AIR_MASS = 0x0200;
constexpr std::int32_t SOLAR_PRIME = 0x0400;
constexpr std::int32_t SOLAR_TILT = 0x0800;
constexpr std::int32_t SOLAR_EXTRATERRESTRIAL = 0x1000;
constexpr std::int32_t SOLAR_ALL = 0xFFFF;

// Days of the year before the first day of each month (column 1..12);
// row 0 for common years, row 1 for leap years.
extern const int month_days[2][13];

struct solar_record {
    std::int32_t day_of_month;
    std::int32_t day_of_year;
    std::int32_t function_mask;
    std::int32_t hour;
    std::int32_t interval_seconds;
    std::int32_t minute;
    std::int32_t month;
    std::int32_t second;
    std::int32_t year;
    float air_mass;
    float air_mass_pressure;
    float surface_aspect;
    float solar_azimuth;
    float cos_incidence;
    float cos_zenith;
    float day_angle;
    float declination;
    float ecliptic_longitude;
    float obliquity;
    float days_since_epoch;
    float elevation_no_refraction;
    float elevation_refracted;
    float equation_of_time;
    float distance_factor;
    float etr_horizontal;
    float etr_normal;
    float etr_tilted;
    float greenwich_sidereal_hours;
    float hour_angle;
    float julian_day;
    float latitude;
    float longitude;
    float local_sidereal_angle;
    float mean_anomaly;
    float mean_longitude;
    float right_ascension;
    float pressure;
    float prime_factor;
    float shadowband_factor;
    float shadowband_width;
    float shadowband_radius;
    float shadowband_sky;
    float solar_constant;
    float sunset_hour_angle;
    float sunrise_minutes;
    float sunset_minutes;
    float temperature;
    float surface_tilt;
    float timezone_hours;
    float true_solar_time;
    float solar_time_offset;
    float prime_denominator;
    float universal_time;
    float zenith_no_refraction;
    float zenith_refracted;
};

static_assert(sizeof(solar_record) == 9 * 4 + 46 * 4, "nine ints and forty-six floats, no padding");

// Stores the defaults: out-of-range date, time and place, standard atmosphere,
// every step enabled.
void S_init(solar_record *pdat);

// Validates the inputs and runs the selected steps. Returns 0, or the OR of
// the error bits of every failing input (the record is then left untouched).
std::int64_t S_solpos(solar_record *pdat);

// Writes one line per error bit of code to the standard error stream.
void S_decode(std::int64_t code, solar_record *pdat);

// For integrating many surfaces under one sun. S_surfaceTerms gives the
// cosines and sines of a surface's aspect and tilt that the tilted-surface
// step uses; S_tiltMany gives, for each of count surfaces so described, the
// etr_tilted that S_solpos would have left had the record's surface been that
// one, from the sun of a record S_solpos has computed. Bit for bit the same.
void S_surfaceTerms(float aspect, float tilt, float *cos_aspect, float *sin_aspect, float *cos_tilt,
                    float *sin_tilt);
void S_tiltMany(const solar_record *pdat, int count, const float *cos_aspect, const float *sin_aspect,
                const float *cos_tilt, const float *sin_tilt, float *etr_tilted);

// The sun's terms of a computed record that the tilted-surface step combines
// with a surface's: for a surface (cp, sp, ct, st) the incidence is
// ((sin_azimuth * sp + cos_azimuth * cp) * (sin_zenith * st)) + cos_zenith * ct,
// in single precision and in that order, and etr_tilted is incidence x
// etr_normal when the incidence is above 0, else +0.
struct solar_sun_terms {
    float cos_azimuth;
    float sin_azimuth;
    float sin_zenith;
    float cos_zenith;
    float etr_normal;
};
solar_sun_terms S_sunTerms(const solar_record *pdat);

#endif
