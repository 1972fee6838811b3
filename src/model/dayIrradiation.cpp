// One day's irradiation for many surfaces, in a solar record of its own.
#include "model/integration.h"

std::int64_t dayIrradiation(const day_conditions *conditions, int day, int month, int year,
                            const surface_set *surfaces, float *irradiation, float *work) {
    solar_record record{};
    fillRecord(&record, conditions, day, month, year);
    std::int64_t code = S_solpos(&record);
    if (code != 0) return code;
    integrateDay(&record, conditions->step, surfaces, irradiation, work);
    return 0;
}
