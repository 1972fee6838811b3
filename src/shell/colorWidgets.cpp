// The fixed background colours of the main window, its menu items and panels.
#include "shell/shell.h"

void colorWidgets(void) {
    // 16-bit channels: main #33FFCC, frame #33EECC, band #EE33AA.
    GdkColor mainColor = {0, 0x3333, 0xFFFF, 0xCCCC};
    GdkColor frameColor = {0, 0x3333, 0xEEEE, 0xCCCC};
    GdkColor bandColor = {0, 0xEEEE, 0x3333, 0xAAAA};

    GtkWidget *const mainWidgets[] = {window,         locale,     quit,              oneday,   months, slopes,
                                      landmap,        testoneinstant, testoneday, testgrowingseason, tutorial,
                                      about,          error_frame, station};
    GtkWidget *const frameWidgets[] = {t1_frame, t2_frame, t3_frame, locale_frame};
    GtkWidget *const bandWidgets[] = {locale_topband, t1_topband, t2_topband, t3_topband, error_topband};

    G_GNUC_BEGIN_IGNORE_DEPRECATIONS
    for (GtkWidget *w : mainWidgets) gtk_widget_modify_bg(w, GTK_STATE_NORMAL, &mainColor);
    for (GtkWidget *w : frameWidgets) gtk_widget_modify_bg(w, GTK_STATE_NORMAL, &frameColor);
    for (GtkWidget *w : bandWidgets) gtk_widget_modify_bg(w, GTK_STATE_NORMAL, &bandColor);
    G_GNUC_END_IGNORE_DEPRECATIONS
}
