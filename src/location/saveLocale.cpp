// Placeholder: replaced by the location panel's implementation.
#include "location/location.h"
void saveLocale(void) {}
