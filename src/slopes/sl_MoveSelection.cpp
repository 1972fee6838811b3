// The compass by keyboard: the selection steps one cell at a time, the aspect
// round the circle, the tilt between flat and the steepest ring. From the
// stored slope, which has no cell, the first step starts at the best one.
#include "slopes/slopes.h"

bool sl_MoveSelection(sl_view *view, guint key) {
    int from = view->selected == SL_STORED ? view->best : view->selected;
    int aspect = from / SL_TILTS, tilt = from % SL_TILTS;
    switch (key) {
        case GDK_KEY_Left: case GDK_KEY_KP_Left: aspect = (aspect + SL_ASPECTS - 1) % SL_ASPECTS; break;
        case GDK_KEY_Right: case GDK_KEY_KP_Right: aspect = (aspect + 1) % SL_ASPECTS; break;
        case GDK_KEY_Up: case GDK_KEY_KP_Up: tilt = tilt + 1 < SL_TILTS ? tilt + 1 : tilt; break;
        case GDK_KEY_Down: case GDK_KEY_KP_Down: tilt = tilt > 0 ? tilt - 1 : 0; break;
        default: return false;
    }
    view->selected = aspect * SL_TILTS + tilt;
    return true;
}
