// Sunrise and sunset for one date of riseset.csv, taken as the one-day
// calculator takes them (the sun placed once at 12:00:00 of the date, 15 °C,
// 1013 mb), but in the row's own time zone and on a record of its own.
#include "accuracy/accuracy.h"

#include "model/integration.h"
#include "model/model.h"

bool engineRiseSet(const RiseSetRow &row, double *sunrise, double *sunset) {
    // The surface is the engine's default; no figure here depends on it.
    const day_conditions conditions{row.latitude, row.longitude, 180.0f, 0.0f, 15.0f, 1013.0f, row.timezone, 12, 0, 0, 1};
    solar_record record;
    fillRecord(&record, &conditions, row.day, row.month, row.year);
    if (S_solpos(&record) != 0) return false;
    *sunrise = record.sunrise_minutes;
    *sunset = record.sunset_minutes;
    return true;
}
