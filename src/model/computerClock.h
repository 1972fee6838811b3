// The calculators' sunrise and sunset, given on the standard clock of the
// zone nearest the site, said once more as a grower checks them: on this
// computer's own clock (its time zone through the C library, daylight saving
// included) when that zone keeps the site's standard time, and otherwise
// which clock the times are on.
#ifndef VERANTA_MODEL_COMPUTERCLOCK_H
#define VERANTA_MODEL_COMPUTERCLOCK_H

#include <string>

// "UTC−8", "UTC", "UTC+5:30": a standard offset in seconds east of UTC.
std::string utcOffsetName(long seconds_east);

// This computer's standard offset (seconds east of UTC, daylight saving left
// out) at the moment `when` (seconds since 1970), from the C library's time
// zone (TZ, else the system's); false when the C library cannot tell.
bool computerStandardOffset(long long when, long *seconds_east);

// The line under the calculators' clock texts for the day (year, month, day)
// whose sunrise and sunset are rise and set minutes after midnight on the
// standard clock of zone_hours (east positive):
//   "that is 05:30:14 and 21:03:55 PDT on this computer's clock"
// when this computer's standard offset that day is zone_hours, the times cut
// to the second exactly as the clock texts are; otherwise
//   "times on the standard clock of UTC−5, the zone nearest the site".
// A day without a sunrise or sunset (the engine's markers) gets the second
// form too.
std::string computerClockLine(float zone_hours, int year, int month, int day, float rise, float set);

#endif
