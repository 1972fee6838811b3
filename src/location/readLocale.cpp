// Placeholder: replaced by the reader of locale.txt.
#include "location/readLocale.h"
#include "model/model.h"
void readLocale(void) { haveprefs = 0; }
