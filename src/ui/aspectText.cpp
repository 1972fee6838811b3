// An aspect in degrees, with its compass name on the eight main points.
#include "ui/slopeFigures.h"

#include "ui/monthRows.h"

#include <cmath>

gchar *aspectText(float aspect) {
    static const char *const names[8] = {"north", "north-east", "east", "south-east",
                                         "south", "south-west", "west", "north-west"};
    gchar *degrees = decimalText(aspect, std::fmod(aspect, 1.0f) == 0.0f ? 0 : 1);
    gchar *text;
    double eighth = aspect / 45.0;
    if (aspect >= 0.0f && aspect < 360.0f && eighth == std::floor(eighth))
        text = g_strdup_printf("%s° (%s)", degrees, names[static_cast<int>(eighth)]);
    else
        text = g_strdup_printf("%s°", degrees);
    g_free(degrees);
    return text;
}
