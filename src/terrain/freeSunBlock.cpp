// Releases a placed sun block.
#include "terrain/sunBlock.h"

void freeSunBlock(sun_block *block) { delete block; }
