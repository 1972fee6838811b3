#include "ui/gridFrame.h"

void attachLabel(GtkWidget *grid, const char *text, int column, int row) {
    attachCell(grid, classLabel(text, "normal-label"), column, row);
}
