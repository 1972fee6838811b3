#include "model/readCBTAT.h"

#include "model/model.h"

int readCBTAT(GtkComboBoxText *box) {
    gchar *text = gtk_combo_box_text_get_active_text(box);
    int month = getMonthNumber(text);
    g_free(text);
    return month;
}
