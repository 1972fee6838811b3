#include "ui/gridFrame.h"

void attachCell(GtkWidget *grid, GtkWidget *child, int column, int row) {
    gtk_grid_attach(GTK_GRID(grid), child, column, row, 1, 1);
}
