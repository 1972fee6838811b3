// Placeholder: replaced by the location panel's implementation.
#include "location/location.h"
int clearLocale(void) { return 0; }
