// The stored site and the fixed parameters of a season calculation.
#include "season/season.h"

#include "location/readLocale.h"
#include "model/model.h"

void c2_Initialize(void) {
    readLocale();
    setCalculatorParameters();
}
