#include "ui/windowFiles.h"

void addFileFilter(GtkFileChooser *chooser, const char *name, const std::vector<std::string> &endings) {
    GtkFileFilter *filter = gtk_file_filter_new();
    gtk_file_filter_set_name(filter, name);
    for (const std::string &e : endings) {
        std::string pattern = "*.";
        for (char c : e) {
            if (g_ascii_isalpha(c)) {
                pattern += '[';
                pattern += g_ascii_tolower(c);
                pattern += g_ascii_toupper(c);
                pattern += ']';
            } else {
                pattern += c;
            }
        }
        gtk_file_filter_add_pattern(filter, pattern.c_str());
    }
    gtk_file_chooser_add_filter(chooser, filter);
}
