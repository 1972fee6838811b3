#include "ui/gridFrame.h"

#include "model/model.h"

GtkWidget *monthChooser(void) {
    GtkWidget *box = gtk_combo_box_text_new();
    for (const char *name : month_names) gtk_combo_box_text_append_text(GTK_COMBO_BOX_TEXT(box), name);
    return box;
}
