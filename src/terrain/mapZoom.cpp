// The spot under the pointer stays under it, so a wheel zoom goes where the
// grower looks.
#include "terrain/mapFigures.h"

map_frame mapZoom(const map_frame *frame, double factor, double px, double py) {
    map_frame f = *frame;
    f.scale = frame->scale * factor;
    f.x = px - (px - frame->x) * factor;
    f.y = py - (py - frame->y) * factor;
    return f;
}
