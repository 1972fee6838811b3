// What the explorer writes of a comparison: the table of every compared
// slope as CSV, and the compass with the selected slope's months as PNG, SVG
// or PDF (by the name's ending). A file is replaced whole or not at all; on
// failure false with *error set (also when the view has no comparison).
#ifndef VERANTA_SLOPES_SLOPESEXPORTS_H
#define VERANTA_SLOPES_SLOPESEXPORTS_H

#include "slopes/slopesComparison.h"

#include <gtk/gtk.h>

bool slopes_export_table(const slopes_view *view, const char *path, GError **error);
bool slopes_save_chart(const slopes_view *view, const char *path, GError **error);
// The selected slope's site report as PDF on the desktop's paper (A4 or US
// Letter), dated today.
bool slopes_save_report(const slopes_view *view, const char *path, GError **error);

#endif
