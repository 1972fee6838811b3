// Placeholder: replaced by the growing-season calculator window.
#include "season/season.h"
void manyDays(void) {}
