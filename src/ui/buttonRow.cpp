#include "ui/gridFrame.h"

GtkWidget *buttonRow(GtkWidget *box) {
    GtkWidget *row = gtk_grid_new();
    gtk_widget_set_size_request(row, 600, 30);
    gtk_grid_set_row_spacing(GTK_GRID(row), 10);
    gtk_grid_set_column_spacing(GTK_GRID(row), 100);
    packFixed(box, row);
    return row;
}
