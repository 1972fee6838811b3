#include "slopes/slopes.h"

float sl_GridAspect(int index) { return 15.0f * static_cast<float>(index / SL_TILTS); }
