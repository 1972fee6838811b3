// One day's irradiation on the conditions' own surface, MJ/m2; what
// getDaysIrr gives for the same state, without touching it.
#include "model/integration.h"

float dayIrr(const day_conditions *conditions, int day, int month, int year) {
    float irradiation = 0.0f;
    dayIrradiation(conditions, day, month, year, nullptr, &irradiation, nullptr);
    return irradiation;
}
