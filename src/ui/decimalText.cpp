// Numbers in the window and in exported files keep the decimal point on a
// decimal-comma desktop too: g_ascii_formatd ignores the locale.
#include "ui/monthRows.h"

gchar *decimalText(double value, int decimals) {
    char format[8];
    g_snprintf(format, sizeof format, "%%.%df", decimals);
    char buffer[G_ASCII_DTOSTR_BUF_SIZE];
    g_ascii_formatd(buffer, sizeof buffer, format, value);
    // "-0.00" for a tiny negative difference reads as a loss that is not there.
    if (buffer[0] == '-' && g_strtod(buffer, nullptr) == 0.0) return g_strdup(buffer + 1);
    return g_strdup(buffer);
}
