#include "slopes/slopes.h"

float sl_GridTilt(int index) { return 2.5f * static_cast<float>(index % SL_TILTS); }
