// The calculators' times on this computer's clock. The moment is placed
// from the very hours, minutes and seconds the clock texts show (cut in
// single precision as they are), so the two lines differ by the daylight
// saving shift and nothing else.
#include "model/computerClock.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

// Seconds since 1970 of midnight UTC starting a day of the Gregorian calendar.
long long utcMidnight(int year, int month, int day) {
    struct tm t {};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    return static_cast<long long>(timegm(&t));
}

// The seconds after midnight a clock text shows for minutes, by its own
// truncations; false for the engine's no-rise and no-set markers and for any
// time the clock texts do not show as a time of that day or the next.
bool clockSeconds(float minutes, long *seconds) {
    if (!(minutes >= 0.0f && minutes < 2880.0f)) return false;
    const int h = static_cast<int>(minutes / 60.0f);
    const int m = static_cast<int>(minutes - static_cast<float>(60 * h));
    const int s = static_cast<int>(60.0f * (minutes - static_cast<float>(60 * h) - static_cast<float>(m)));
    *seconds = 3600L * h + 60L * m + s;
    return true;
}

struct local_moment {
    char clock[16];
    std::string zone;
    int day_shift;   // the computer's date against the site's: -1, 0 or +1
};

bool localMoment(long long when, long long site_midnight_utc, long zone_seconds, local_moment *out) {
    const time_t t = static_cast<time_t>(when);
    struct tm local {};
    if (localtime_r(&t, &local) == nullptr) return false;
    std::snprintf(out->clock, sizeof out->clock, "%02d:%02d:%02d", local.tm_hour, local.tm_min, local.tm_sec);
    out->zone = local.tm_zone != nullptr ? local.tm_zone : "";
    // The site's date starts at its standard midnight.
    const long long site_day = (site_midnight_utc + zone_seconds) / 86400;
    const long long local_day = utcMidnight(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) / 86400;
    out->day_shift = static_cast<int>(local_day - site_day);
    return true;
}

std::string shifted(const local_moment &m) {
    if (m.day_shift > 0) return std::string(m.clock) + " the next day";
    if (m.day_shift < 0) return std::string(m.clock) + " the day before";
    return m.clock;
}

}  // namespace

std::string utcOffsetName(long seconds_east) {
    if (seconds_east == 0) return "UTC";
    const long a = std::labs(seconds_east);
    char text[40];
    if (a % 3600 == 0)
        std::snprintf(text, sizeof text, "UTC%s%ld", seconds_east < 0 ? "\u2212" : "+", a / 3600);
    else
        std::snprintf(text, sizeof text, "UTC%s%ld:%02ld", seconds_east < 0 ? "\u2212" : "+", a / 3600,
                      a % 3600 / 60);
    return text;
}

bool computerStandardOffset(long long when, long *seconds_east) {
    // Read TZ again: the desktop's zone may have been changed since start-up.
    tzset();
    // Outside daylight saving the offset is the standard one; inside, the
    // other half of the year tells it.
    for (long long probe : {0LL, -182LL, 182LL, -91LL, 91LL}) {
        const time_t t = static_cast<time_t>(when + probe * 86400);
        struct tm local {};
        if (localtime_r(&t, &local) == nullptr || local.tm_isdst < 0) return false;
        if (local.tm_isdst == 0) {
            *seconds_east = local.tm_gmtoff;
            return true;
        }
    }
    return false;
}

std::string computerClockLine(float zone_hours, int year, int month, int day, float rise, float set) {
    const long zone = std::lround(static_cast<double>(zone_hours) * 3600.0);
    const std::string which = "times on the standard clock of " + utcOffsetName(zone) + ", the zone nearest the site";
    long rise_s = 0, set_s = 0;
    if (!clockSeconds(rise, &rise_s) || !clockSeconds(set, &set_s)) return which;
    const long long midnight = utcMidnight(year, month, day) - zone;
    long standard = 0;
    if (!computerStandardOffset(midnight + 43200, &standard) || standard != zone) return which;
    local_moment r, s;
    if (!localMoment(midnight + rise_s, midnight, zone, &r) || !localMoment(midnight + set_s, midnight, zone, &s))
        return which;
    // A day that changes clocks between the two names each its own zone.
    if (r.zone != s.zone)
        return "that is " + shifted(r) + " " + r.zone + " and " + shifted(s) + " " + s.zone +
               " on this computer's clock";
    return "that is " + shifted(r) + " and " + shifted(s) + " " + s.zone + " on this computer's clock";
}
