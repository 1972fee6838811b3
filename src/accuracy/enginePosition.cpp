// The engine on one instant of positions.csv, on a record of its own: the
// clock time is UTC (time zone 0), the atmosphere the engine's standard one.
#include "accuracy/accuracy.h"

#include "model/integration.h"
#include "model/model.h"

bool enginePosition(const PositionRow &row, double *zenith, double *azimuth) {
    // The surface is the engine's default; no figure here depends on it.
    const day_conditions conditions{row.latitude, row.longitude, 180.0f, 0.0f, 15.0f, 1013.0f, 0.0f, row.hour, row.minute, row.second, 1};
    solar_record record;
    fillRecord(&record, &conditions, row.day, row.month, row.year);
    if (S_solpos(&record) != 0) return false;
    *zenith = record.zenith_no_refraction;
    *azimuth = record.solar_azimuth;
    return true;
}
