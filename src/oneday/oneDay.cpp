// Placeholder: replaced by the one-day calculator window.
#include "oneday/oneday.h"
void oneDay(void) {}
