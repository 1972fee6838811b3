// The region the degree-day regression was fitted for, tested on the integer
// parts of the location entries.
#include "season/season.h"

#include "model/model.h"
#include "ui/entries.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

// The integer part of the number the entry holds; false when the text is not
// wholly one finite number ("44,13", "nan", "1e999"). Written in plain
// decimals ("  44.1330", "-123.2140") the integer part is the digits before
// the point, as atoi reads them; written with an exponent or in hexadecimal
// it is that of the value, so "1e38" is no 1 and "4.6e1" is 46.
bool integerPart(GtkWidget *entry, double *whole) {
    float number;
    if (!entryFloat(entry, &number)) return false;
    const char *text = gtk_entry_get_text(GTK_ENTRY(entry));
    if (std::strpbrk(text, "eExX") == nullptr) {
        *whole = leadingInt(text);
    } else {
        *whole = std::trunc(std::atof(text));
    }
    return true;
}

bool within(GtkWidget *entry, int low, int high) {
    double whole;
    return integerPart(entry, &whole) && whole >= low && whole <= high;
}

}  // namespace

bool c2_LocaleOK(c2_widgets *w) {
    return within(w->entry_lat, 42, 46) && within(w->entry_lon, -124, -123) &&
           within(w->entry_elev, 100, 600) && within(w->entry_aspect, 0, 360) &&
           within(w->entry_tilt, -10, 30);
}
