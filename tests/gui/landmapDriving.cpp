#include "landmapDriving.h"

#include "gui_support.h"
#include "shell/shell.h"

LandmapWindow *landmapOpenWindow() {
    gui::start();
    gui::activate(landmap);
    return landmap_open;
}

GtkWidget *landmapPart(LandmapWindow *w, const char *id) { return gui::templateChild(GTK_WIDGET(w), id); }

bool landmapAwait(LandmapWindow *w, double seconds) {
    return gui::await([w] { return landmap_open != w || !landmap_window_is_busy(w); }, seconds);
}

void landmapSetSeason(LandmapWindow *w, const char *firstDay, int firstMonth, const char *lastDay, int lastMonth,
                      bool shade) {
    gui::setText(landmapPart(w, "landmap_startday"), firstDay);
    gtk_combo_box_set_active(GTK_COMBO_BOX(landmapPart(w, "landmap_startmonth")), firstMonth - 1);
    gui::setText(landmapPart(w, "landmap_stopday"), lastDay);
    gtk_combo_box_set_active(GTK_COMBO_BOX(landmapPart(w, "landmap_stopmonth")), lastMonth - 1);
    gtk_switch_set_active(GTK_SWITCH(landmapPart(w, "landmap_shade")), shade);
}
