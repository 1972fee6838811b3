// What the location frame says after a Save or Clear that happened: where the
// site is kept (the working folder: run/ under scripts/run, the data folder
// when installed), and, after a Save, the values kept as typed that no
// calculator accepts.
#include "location/location.h"

#include <cstdlib>
#include <string>

gchar *localeDoneText(bool saved, const char *const texts[5]) {
    gchar *folder = g_get_current_dir();
    gchar *path = g_build_filename(folder, "locale.txt", nullptr);
    gchar *shown = g_filename_display_name(path);
    std::string text = saved ? "Saved in " : "Cleared: removed ";
    text += shown;
    text += saved ? "." : "; the calculators start with empty fields.";
    g_free(shown);
    g_free(path);
    g_free(folder);
    if (!saved || texts == nullptr) return g_strdup(text.c_str());

    static const char *const names[5] = {"latitude", "longitude", "elevation", "aspect", "tilt"};
    std::string unusable;
    if (texts[0][0] != '\0' && std::abs(std::atof(texts[0])) > 90.0) unusable = "a latitude beyond ±90 degrees";
    for (int i = 0; i < 5; i++) {
        if (texts[i][0] != '\0') continue;
        if (!unusable.empty()) unusable += ", ";
        unusable += "an empty ";
        unusable += names[i];
        unusable += " (read as 0)";
    }
    if (!unusable.empty()) text += " It is kept as typed, but no calculator accepts " + unusable + ".";
    return g_strdup(text.c_str());
}
