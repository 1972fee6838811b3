// Fresh site from locale.txt and the fixed parameters, at every opening.
#include "oneday/oneday.h"

#include "location/readLocale.h"
#include "model/model.h"

void c1_Initialize(void) {
    readLocale();
    setCalculatorParameters();
}
