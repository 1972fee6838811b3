#include "ui/monthRows.h"

const char *fallingNote(void) {
    return "Here the formula gives fewer degree days for more sun, so compare these months by irradiation.";
}
