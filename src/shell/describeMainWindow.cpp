// The main window's panels for screen readers and for a grower pointing at a
// field: each field named by its label, the location fields with their
// units, and the result fields of the self-tests with what they hold.
#include "shell/shell.h"

#include "ui/windowTools.h"

void describeMainWindow(void) {
    describeSiteEntries(locale_entry_lat, locale_entry_lon, locale_entry_elev, locale_entry_aspect, locale_entry_tilt);

    GtkWidget *const results[] = {t1_entry1, t1_entry2, t1_entry3,  t1_entry4,  t1_entry5, t1_entry6,
                                  t1_entry7, t1_entry8, t1_entry9,  t1_entry10, t1_entry11, t1_entry12,
                                  t2_entry1, t2_entry2, t2_entry3,  t3_entry1,  t3_entry2, t3_entry3,
                                  t3_entry4, t3_entry5, t3_entry6,  t3_entry7,  t3_entry8};
    for (GtkWidget *entry : results) describeWidget(entry, nullptr, nullptr);
    describeWidget(t2_entry3, nullptr,
                   "the day's irradiation on the tilted surface, MJ/m²: the direct beam of a clear sky only, "
                   "no diffuse sky light, no light reflected from the ground, no cloud");
    const char *gdd = "growing degree days: degree days Celsius above a base of 10 °C of an average season at "
                      "the test site's irradiation and elevation in the calibrated region; not a clear-sky season, "
                      "not a given year";
    GtkWidget *const months[] = {t3_entry1, t3_entry2, t3_entry3, t3_entry4, t3_entry5, t3_entry6, t3_entry7, t3_entry8};
    for (GtkWidget *entry : months) describeWidget(entry, nullptr, gdd);
}
