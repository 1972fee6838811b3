// Month number of a month chooser's active text.
#ifndef VERANTA_MODEL_READCBTAT_H
#define VERANTA_MODEL_READCBTAT_H

#include <gtk/gtk.h>

int readCBTAT(GtkComboBoxText *box);

#endif
