#include "ui/workerRun.h"

void runEnded(guint *progress_source, GtkWidget *progress) {
    if (*progress_source != 0) {
        g_source_remove(*progress_source);
        *progress_source = 0;
    }
    gtk_widget_hide(progress);
}
