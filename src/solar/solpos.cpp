// Solar position engine. Every stored quantity is single precision; the
// formulas are evaluated in double where they carry decimal constants and in
// single where they combine stored values only. The mix is deliberate: it
// fixes the displayed digits, so the grouping of each expression matters.
#include "solar/solpos.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

const int month_days[2][13] = {
    {0, 0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334},
    {0, 0, 31, 60, 91, 121, 152, 182, 213, 244, 274, 305, 335},
};

namespace {

const float degrad = 57.29578f;     // degrees per radian
const float raddeg = 0.017453292f;  // radians per degree

// Sines and cosines shared by the zenith, sunset-angle, shadowband and
// azimuth steps, computed once per call.
struct trig_cache {
    float cos_declination;
    float cos_hour_angle;
    float cos_latitude;
    float sin_declination;
    float sin_latitude;
};

// Degrees to radians: a single-precision product, widened for the C library.
inline double rad(float x) { return static_cast<double>(x * raddeg); }

// Radians (from an inverse trigonometric function) to degrees.
inline double deg(double y) { return y * static_cast<double>(degrad); }

// Folds a value into [0, period); trunc stays in double so that no value
// can overflow an integer conversion.
float reduce(double x, float period) {
    const double p = static_cast<double>(period);
    float v = static_cast<float>(x - p * std::trunc(x / p));
    if (v < 0.0f) v += period;
    return v;
}

bool is_leap(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

void dom2doy(solar_record *p) {
    // With the geometry step off nothing validates the month, and the table
    // has columns for months 1-12 only. Any day converts; the sum is formed
    // in 64 bits and saturated, so an unvalidated day cannot overflow it.
    if (p->month < 1 || p->month > 12) return;
    std::int64_t doy = std::int64_t{p->day_of_month} + month_days[0][p->month];
    if (is_leap(p->year) && p->month > 2) doy += 1;
    p->day_of_year = static_cast<std::int32_t>(std::clamp<std::int64_t>(
        doy, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

void doy2dom(solar_record *p) {
    // Below 1 no month matches; above 366 the day simply runs on in December.
    if (p->day_of_year < 1) return;
    const int row = is_leap(p->year) ? 1 : 0;
    int m = 12;
    while (m > 1 && month_days[row][m] >= p->day_of_year) --m;
    p->month = m;
    p->day_of_month = p->day_of_year - month_days[row][m];
}

void geometry(solar_record *p) {
    p->day_angle = static_cast<float>(360.0 * (p->day_of_year - 1) / 365.0);

    const float s1 = static_cast<float>(std::sin(rad(p->day_angle)));
    const float c1 = static_cast<float>(std::cos(rad(p->day_angle)));
    const float d = p->day_angle + p->day_angle;
    const float c2 = static_cast<float>(std::cos(rad(d)));
    const float s2 = static_cast<float>(std::sin(rad(d)));

    p->distance_factor = static_cast<float>(1.00011 + 0.034221 * static_cast<double>(c1) +
                                            0.00128 * static_cast<double>(s1));
    p->distance_factor = static_cast<float>(
        static_cast<double>(p->distance_factor) +
        (0.000719 * static_cast<double>(c2) + 0.000077 * static_cast<double>(s2)));

    // Middle of the measuring interval, in seconds and then in hours; the
    // day shift of a time outside 0-24 h is carried by the Julian day.
    p->universal_time = static_cast<float>(p->hour * 3600.0 + p->minute * 60.0 + p->second -
                                           p->interval_seconds / 2.0);
    p->universal_time = static_cast<float>(static_cast<double>(p->universal_time) / 3600.0 -
                                           static_cast<double>(p->timezone_hours));

    const float y = static_cast<float>(p->year - 1949);
    const int n = static_cast<int>(y / 4.0f);  // year validated: 1 <= y <= 101
    p->julian_day = static_cast<float>(32916.5 + 365.0 * static_cast<double>(y) + n +
                                       p->day_of_year +
                                       static_cast<double>(p->universal_time) / 24.0);
    p->days_since_epoch = p->julian_day - 51545.0f;
    const double t = static_cast<double>(p->days_since_epoch);

    p->mean_longitude = reduce(280.46 + 0.9856474 * t, 360.0f);
    p->mean_anomaly = reduce(357.528 + 0.9856003 * t, 360.0f);
    p->ecliptic_longitude =
        reduce(static_cast<double>(p->mean_longitude) + 1.915 * std::sin(rad(p->mean_anomaly)) +
                   0.02 * std::sin(2.0 * static_cast<double>(p->mean_anomaly) *
                                   static_cast<double>(raddeg)),
               360.0f);
    p->obliquity = static_cast<float>(23.439 - 0.0000004 * t);
    // Each sine and cosine is needed twice; computed once.
    const double sin_ecl = std::sin(rad(p->ecliptic_longitude));
    const double cos_ecl = std::cos(rad(p->ecliptic_longitude));
    const double sin_obl = std::sin(rad(p->obliquity));
    const double cos_obl = std::cos(rad(p->obliquity));
    p->declination = static_cast<float>(deg(std::asin(sin_obl * sin_ecl)));

    const float top = static_cast<float>(cos_obl * sin_ecl);
    const float bottom = static_cast<float>(cos_ecl);
    p->right_ascension = static_cast<float>(
        deg(std::atan2(static_cast<double>(top), static_cast<double>(bottom))));
    if (p->right_ascension < 0.0f) p->right_ascension += 360.0f;

    p->greenwich_sidereal_hours =
        reduce(6.697375 + 0.0657098242 * t + static_cast<double>(p->universal_time), 24.0f);
    p->local_sidereal_angle = reduce(15.0 * static_cast<double>(p->greenwich_sidereal_hours) +
                                         static_cast<double>(p->longitude),
                                     360.0f);

    p->hour_angle = p->local_sidereal_angle - p->right_ascension;
    if (p->hour_angle < -180.0f)
        p->hour_angle += 360.0f;
    else if (p->hour_angle > 180.0f)
        p->hour_angle -= 360.0f;
}

void localtrig(const solar_record *p, trig_cache *tc) {
    if (tc->sin_declination >= -900.0f) return;
    tc->cos_declination = static_cast<float>(std::cos(rad(p->declination)));
    tc->cos_hour_angle = static_cast<float>(std::cos(rad(p->hour_angle)));
    tc->cos_latitude = static_cast<float>(std::cos(rad(p->latitude)));
    tc->sin_declination = static_cast<float>(std::sin(rad(p->declination)));
    tc->sin_latitude = static_cast<float>(std::sin(rad(p->latitude)));
}

void zen_no_ref(solar_record *p, trig_cache *tc) {
    localtrig(p, tc);
    float z = tc->sin_declination * tc->sin_latitude +
              tc->cos_hour_angle * (tc->cos_declination * tc->cos_latitude);
    if (std::fabs(z) > 1.0f) z = (z >= 0.0f) ? 1.0f : -1.0f;
    p->zenith_no_refraction = static_cast<float>(deg(std::acos(static_cast<double>(z))));
    if (p->zenith_no_refraction > 99.0f) p->zenith_no_refraction = 99.0f;
    p->elevation_no_refraction = 90.0f - p->zenith_no_refraction;
}

void ssha(solar_record *p, trig_cache *tc) {
    localtrig(p, tc);
    const float q = tc->cos_declination * tc->cos_latitude;
    if (std::fabs(static_cast<double>(q)) >= 0.001) {
        const float c = (tc->sin_declination * (-tc->sin_latitude)) / q;
        if (c < -1.0f)
            p->sunset_hour_angle = 180.0f;  // the sun does not set
        else if (c > 1.0f)
            p->sunset_hour_angle = 0.0f;  // the sun does not rise
        else
            p->sunset_hour_angle = static_cast<float>(deg(std::acos(static_cast<double>(c))));
    } else if ((p->declination >= 0.0f && p->latitude > 0.0f) ||
               (p->declination < 0.0f && p->latitude < 0.0f)) {
        p->sunset_hour_angle = 180.0f;  // pole in its summer
    } else {
        p->sunset_hour_angle = 0.0f;
    }
}

void sbcf(solar_record *p, trig_cache *tc) {
    localtrig(p, tc);
    const float k = static_cast<float>(
        std::pow(static_cast<double>(tc->cos_declination), 3.0) *
        (0.6366198 * static_cast<double>(p->shadowband_width) /
         static_cast<double>(p->shadowband_radius)));
    const float a = raddeg * ((tc->sin_latitude * tc->sin_declination) * p->sunset_hour_angle);
    const float b = static_cast<float>(
        static_cast<double>(tc->cos_declination * tc->cos_latitude) *
        std::sin(rad(p->sunset_hour_angle)));
    const float w = (a + b) * k;
    p->shadowband_factor = static_cast<float>(static_cast<double>(p->shadowband_sky) +
                                              1.0 / (1.0 - static_cast<double>(w)));
}

void tst(solar_record *p) {
    p->true_solar_time = static_cast<float>(4.0 * (static_cast<double>(p->hour_angle) + 180.0));
    p->solar_time_offset = static_cast<float>(
        static_cast<double>(p->true_solar_time) - 60.0 * p->hour - p->minute -
        p->second / 60.0 + p->interval_seconds / 120.0);
    // Only unvalidated inputs come this far out of range; stepping down from
    // them could take millions of steps. std::fmod is exact, so the result
    // is the true remainder, and the loops below take a step at most.
    if (std::fabs(p->solar_time_offset) > 1048576.0f && std::isfinite(p->solar_time_offset))
        p->solar_time_offset =
            static_cast<float>(std::fmod(static_cast<double>(p->solar_time_offset), 1440.0));
    // A step that leaves the value unchanged ends the folding, so that an
    // infinite input cannot hang the call.
    while (p->solar_time_offset > 720.0f) {
        const float next = p->solar_time_offset - 1440.0f;
        if (next == p->solar_time_offset) break;
        p->solar_time_offset = next;
    }
    while (p->solar_time_offset < -720.0f) {
        const float next = p->solar_time_offset + 1440.0f;
        if (next == p->solar_time_offset) break;
        p->solar_time_offset = next;
    }
    p->equation_of_time = static_cast<float>(static_cast<double>(p->solar_time_offset) +
                                             60.0 * static_cast<double>(p->timezone_hours) -
                                             4.0 * static_cast<double>(p->longitude));
}

void srss(solar_record *p) {
    if (p->sunset_hour_angle <= 1.0f) {
        p->sunrise_minutes = 2999.0f;
        p->sunset_minutes = -2999.0f;
    } else if (p->sunset_hour_angle >= 179.0f) {
        p->sunrise_minutes = -2999.0f;
        p->sunset_minutes = 2999.0f;
    } else {
        const double h = 4.0 * static_cast<double>(p->sunset_hour_angle);
        const double off = static_cast<double>(p->solar_time_offset);
        p->sunrise_minutes = static_cast<float>(720.0 - h - off);
        p->sunset_minutes = static_cast<float>(720.0 + h - off);
    }
}

void sazm(solar_record *p, trig_cache *tc) {
    localtrig(p, tc);
    const float ce = static_cast<float>(std::cos(rad(p->elevation_no_refraction)));
    const float se = static_cast<float>(std::sin(rad(p->elevation_no_refraction)));
    p->solar_azimuth = 180.0f;
    const float q = tc->cos_latitude * ce;
    if (std::fabs(static_cast<double>(q)) < 0.001) return;  // sun at the zenith, or a pole
    float a = (se * tc->sin_latitude - tc->sin_declination) / q;
    if (a > 1.0f)
        a = 1.0f;
    else if (a < -1.0f)
        a = -1.0f;
    p->solar_azimuth = static_cast<float>(180.0 - deg(std::acos(static_cast<double>(a))));
    if (p->hour_angle > 0.0f) p->solar_azimuth = 360.0f - p->solar_azimuth;
}

void refrac(solar_record *p) {
    const float e = p->elevation_no_refraction;
    float correction = 0.0f;
    if (e <= 85.0f) {
        const float t = static_cast<float>(std::tan(rad(e)));
        const double td = static_cast<double>(t);
        const double ed = static_cast<double>(e);
        float arcsec;
        if (e >= 5.0f)
            arcsec = static_cast<float>(58.1 / td - 0.07 / std::pow(td, 3.0) +
                                        0.000086 / std::pow(td, 5.0));
        else if (ed >= -0.575)
            arcsec = static_cast<float>(
                1735.0 + ed * (-518.2 + ed * (103.4 + ed * (-12.79 + ed * 0.711))));
        else
            arcsec = static_cast<float>(-20.774 / td);
        const float f = static_cast<float>(static_cast<double>(p->pressure) * 283.0 /
                                           (1013.0 * (273.0 + static_cast<double>(p->temperature))));
        correction = static_cast<float>(static_cast<double>(arcsec) *
                                        (static_cast<double>(f) / 3600.0));
    }
    p->elevation_refracted = e + correction;
    if (p->elevation_refracted < -9.0f) p->elevation_refracted = -9.0f;
    p->zenith_refracted = 90.0f - p->elevation_refracted;
    p->cos_zenith = static_cast<float>(std::cos(rad(p->zenith_refracted)));
}

void amass(solar_record *p) {
    if (p->zenith_refracted > 93.0f) {
        p->air_mass = -1.0f;
        p->air_mass_pressure = -1.0f;
        return;
    }
    const double z = static_cast<double>(p->zenith_refracted);
    p->air_mass = static_cast<float>(
        1.0 / (std::cos(rad(p->zenith_refracted)) + 0.50572 * std::pow(96.07995 - z, -1.6364)));
    p->air_mass_pressure = (p->air_mass * p->pressure) / 1013.0f;
}

void prime(solar_record *p) {
    p->prime_denominator = static_cast<float>(
        0.1 + 1.031 * std::exp(-1.4 / (0.9 + 9.4 / static_cast<double>(p->air_mass))));
    p->prime_factor = 1.0f / p->prime_denominator;
}

void etr(solar_record *p) {
    if (p->cos_zenith > 0.0f) {
        p->etr_normal = p->distance_factor * p->solar_constant;
        p->etr_horizontal = p->cos_zenith * p->etr_normal;
    } else {
        p->etr_normal = 0.0f;
        p->etr_horizontal = 0.0f;
    }
}

// The tilted-surface step in two halves: the surface's terms, fixed for a
// surface, and the incidence under the sun of a computed record. S_solpos
// and S_tiltMany both use these, so many surfaces get exactly the bits the
// record's own surface gets.
void surface_terms(float aspect, float slope, float *cp, float *sp, float *ct, float *st) {
    *cp = static_cast<float>(std::cos(rad(aspect)));
    *ct = static_cast<float>(std::cos(rad(slope)));
    *sp = static_cast<float>(std::sin(rad(aspect)));
    *st = static_cast<float>(std::sin(rad(slope)));
}

solar_sun_terms sun_of(const solar_record *p) {
    solar_sun_terms s;
    s.cos_azimuth = static_cast<float>(std::cos(rad(p->solar_azimuth)));
    s.sin_azimuth = static_cast<float>(std::sin(rad(p->solar_azimuth)));
    s.sin_zenith = static_cast<float>(std::sin(rad(p->zenith_refracted)));
    s.cos_zenith = p->cos_zenith;
    s.etr_normal = p->etr_normal;
    return s;
}

inline float incidence(const solar_sun_terms &s, float cp, float sp, float ct, float st) {
    return ((s.sin_azimuth * sp + s.cos_azimuth * cp) * (s.sin_zenith * st)) + s.cos_zenith * ct;
}

// cos_incidence x etr_normal when cos_incidence > 0, else +0. The product is
// kept or cleared by a bit mask rather than a branch, so that a loop over many
// surfaces can be vectorised; the value is the one a branch would give.
inline float tilted(float cos_incidence, float etr_normal) {
    const float product = cos_incidence * etr_normal;
    std::uint32_t bits;
    std::memcpy(&bits, &product, sizeof bits);
    bits &= -static_cast<std::uint32_t>(cos_incidence > 0.0f);
    float kept;
    std::memcpy(&kept, &bits, sizeof kept);
    return kept;
}

void tilt(solar_record *p) {
    float cp, sp, ct, st;
    surface_terms(p->surface_aspect, p->surface_tilt, &cp, &sp, &ct, &st);
    const solar_sun_terms s = sun_of(p);
    p->cos_incidence = incidence(s, cp, sp, ct, st);
    p->etr_tilted = tilted(p->cos_incidence, s.etr_normal);
}

// Range tests written so that NaN fails them as well: a comparison with NaN
// is false, so each test asks whether the value lies inside.
bool outside(float x, float lo, float hi) { return !(x >= lo && x <= hi); }
bool outside_abs(float x, float limit) { return !(std::fabs(x) <= limit); }

std::int64_t validate(const solar_record *p) {
    std::int64_t code = 0;
    const std::int32_t mask = p->function_mask;
    if (mask & SOLAR_GEOMETRY) {
        if (p->year < 1950 || p->year > 2050) code |= 0x1;
        if (!(mask & SOLAR_DAY_OF_YEAR_INPUT)) {
            if (p->month < 1 || p->month > 12) code |= 0x2;
            if (p->day_of_month < 1 || p->day_of_month > 31) code |= 0x4;
        } else if (p->day_of_year < 1 || p->day_of_year > 366) {
            code |= 0x8;
        }
        if (p->hour < 0 || p->hour > 24) code |= 0x10;
        if (p->minute < 0 || p->minute > 59) code |= 0x20;
        if (p->second < 0 || p->second > 59) code |= 0x40;
        if (p->hour == 24 && p->minute > 0) code |= 0x30;
        if (p->hour == 24 && p->second > 0) code |= 0x50;
        if (outside_abs(p->timezone_hours, 12.0f)) code |= 0x80;
        if (p->interval_seconds < 0 || p->interval_seconds > 28800) code |= 0x100;
        if (outside_abs(p->latitude, 90.0f)) code |= 0x200;
        if (outside_abs(p->longitude, 180.0f)) code |= 0x400;
    }
    if (mask & SOLAR_REFRACTION) {
        if (outside_abs(p->temperature, 100.0f)) code |= 0x800;
        if (outside(p->pressure, 0.0f, 2000.0f)) code |= 0x1000;
    }
    if (mask & SOLAR_TILT) {
        if (outside_abs(p->surface_tilt, 180.0f)) code |= 0x2000;
        if (outside_abs(p->surface_aspect, 360.0f)) code |= 0x4000;
    }
    if (mask & SOLAR_SHADOWBAND) {
        if (outside(p->shadowband_width, 1.0f, 100.0f)) code |= 0x8000;
        if (outside(p->shadowband_radius, 1.0f, 100.0f)) code |= 0x10000;
        if (outside_abs(p->shadowband_sky, 1.0f)) code |= 0x20000;
    }
    return code;
}

}  // namespace

void S_init(solar_record *pdat) {
    pdat->day_of_month = -99;
    pdat->day_of_year = -999;
    pdat->hour = -99;
    pdat->minute = -99;
    pdat->month = -99;
    pdat->second = -99;
    pdat->year = -99;
    pdat->interval_seconds = 0;
    pdat->surface_aspect = 180.0f;
    pdat->latitude = -99.0f;
    pdat->longitude = -999.0f;
    pdat->pressure = 1013.0f;
    pdat->solar_constant = 1367.0f;
    pdat->temperature = 15.0f;
    pdat->surface_tilt = 0.0f;
    pdat->timezone_hours = -99.0f;
    pdat->shadowband_width = 7.6f;
    pdat->shadowband_radius = 31.7f;
    pdat->shadowband_sky = 0.04f;
    pdat->function_mask = SOLAR_ALL;
}

std::int64_t S_solpos(solar_record *pdat) {
    trig_cache tc = {1.0f, 1.0f, 1.0f, -999.0f, 1.0f};  // sin_declination -999: not yet filled

    const std::int64_t code = validate(pdat);
    if (code != 0) return code;

    const std::int32_t mask = pdat->function_mask;
    if (mask & SOLAR_DAY_OF_YEAR_INPUT)
        doy2dom(pdat);
    else
        dom2doy(pdat);

    if (mask & SOLAR_GEOMETRY) geometry(pdat);
    if (mask & SOLAR_ZENITH) zen_no_ref(pdat, &tc);
    if (mask & SOLAR_SUNSET_ANGLE) ssha(pdat, &tc);
    if (mask & SOLAR_SHADOWBAND) sbcf(pdat, &tc);
    if (mask & SOLAR_TRUE_TIME) tst(pdat);
    if (mask & SOLAR_RISE_SET) srss(pdat);
    if (mask & SOLAR_AZIMUTH) sazm(pdat, &tc);
    if (mask & SOLAR_REFRACTION) refrac(pdat);
    if (mask & SOLAR_AIR_MASS) amass(pdat);
    if (mask & SOLAR_PRIME) prime(pdat);
    // Tilt needs etr_normal, so the irradiance step runs first.
    if (mask & SOLAR_EXTRATERRESTRIAL) etr(pdat);
    if (mask & SOLAR_TILT) tilt(pdat);
    return 0;
}

void S_decode(std::int64_t code, solar_record *pdat) {
    if (code & 0x1) std::fprintf(stderr, "S_decode ==> Please fix the year: %d [1950-2050]\n", pdat->year);
    if (code & 0x2) std::fprintf(stderr, "S_decode ==> Please fix the month: %d\n", pdat->month);
    if (code & 0x4) std::fprintf(stderr, "S_decode ==> Please fix the day-of-month: %d\n", pdat->day_of_month);
    if (code & 0x8) std::fprintf(stderr, "S_decode ==> Please fix the day-of-year: %d\n", pdat->day_of_year);
    if (code & 0x10) std::fprintf(stderr, "S_decode ==> Please fix the hour: %d\n", pdat->hour);
    if (code & 0x20) std::fprintf(stderr, "S_decode ==> Please fix the minute: %d\n", pdat->minute);
    if (code & 0x40) std::fprintf(stderr, "S_decode ==> Please fix the second: %d\n", pdat->second);
    if (code & 0x80)
        std::fprintf(stderr, "S_decode ==> Please fix the time zone: %f\n",
                     static_cast<double>(pdat->timezone_hours));
    if (code & 0x100)
        std::fprintf(stderr, "S_decode ==> Please fix the interval: %d\n", pdat->interval_seconds);
    if (code & 0x200)
        std::fprintf(stderr, "S_decode ==> Please fix the latitude: %f\n",
                     static_cast<double>(pdat->latitude));
    if (code & 0x400)
        std::fprintf(stderr, "S_decode ==> Please fix the longitude: %f\n",
                     static_cast<double>(pdat->longitude));
    if (code & 0x800)
        std::fprintf(stderr, "S_decode ==> Please fix the temperature: %f\n",
                     static_cast<double>(pdat->temperature));
    if (code & 0x1000)
        std::fprintf(stderr, "S_decode ==> Please fix the pressure: %f\n",
                     static_cast<double>(pdat->pressure));
    if (code & 0x2000)
        std::fprintf(stderr, "S_decode ==> Please fix the tilt: %f\n",
                     static_cast<double>(pdat->surface_tilt));
    if (code & 0x4000)
        std::fprintf(stderr, "S_decode ==> Please fix the aspect: %f\n",
                     static_cast<double>(pdat->surface_aspect));
    if (code & 0x8000)
        std::fprintf(stderr, "S_decode ==> Please fix the shadowband width: %f\n",
                     static_cast<double>(pdat->shadowband_width));
    if (code & 0x10000)
        std::fprintf(stderr, "S_decode ==> Please fix the shadowband radius: %f\n",
                     static_cast<double>(pdat->shadowband_radius));
    if (code & 0x20000)
        std::fprintf(stderr, "S_decode ==> Please fix the shadowband sky factor: %f\n",
                     static_cast<double>(pdat->shadowband_sky));
}

void S_surfaceTerms(float aspect, float tilt, float *cos_aspect, float *sin_aspect, float *cos_tilt,
                    float *sin_tilt) {
    surface_terms(aspect, tilt, cos_aspect, sin_aspect, cos_tilt, sin_tilt);
}

void S_tiltMany(const solar_record *pdat, int count, const float *__restrict cos_aspect,
                const float *__restrict sin_aspect, const float *__restrict cos_tilt,
                const float *__restrict sin_tilt, float *__restrict etr_tilted) {
    const solar_sun_terms s = sun_of(pdat);
    for (int i = 0; i < count; i++)
        etr_tilted[i] = tilted(incidence(s, cos_aspect[i], sin_aspect[i], cos_tilt[i], sin_tilt[i]), s.etr_normal);
}

solar_sun_terms S_sunTerms(const solar_record *pdat) { return sun_of(pdat); }
