#include "ui/monthRows.h"

const char *measureName(season_measure by) {
    return by == BY_IRRADIATION ? "season irradiation (MJ/m², clear-sky direct beam)"
                                : "season degree days (°C above 10 °C)";
}
