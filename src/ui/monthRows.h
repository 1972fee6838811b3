// The months of one slope over a season, shown as a table and as a chart by
// every window that ranks slopes; the months where the degree-day formula
// gives fewer degree days for more sun are marked in both.
#ifndef VERANTA_UI_MONTHROWS_H
#define VERANTA_UI_MONTHROWS_H

#include "model/seasonRanking.h"
#include "ui/chartText.h"

#include <gtk/gtk.h>

struct month_rows {
    int count;                 // months of the season, in order
    int month[12];             // 1 = January
    int first[12], last[12];   // days of the month in the season
    float irradiation[12];     // MJ/m2, clear-sky direct beam
    float degree_days[12];     // degree days, °C above a base of 10 °C
    bool falling[12];          // in a range where the formula runs backwards
    float total_irradiation, total_degree_days;
};

// Fills a list store of seven columns: month, days, irradiation, degree days
// (texts), font weight (int), mark (text: "*" on a marked month) and cell
// background (text colour name or null), one row per month and a bold
// season row.
void monthTable(GtkListStore *store, const month_rows *rows);
// Each month's degree days as a bar (marked months hatched and starred), the
// running total as a line on the right scale; the title and the note under
// it wrap to the width.
void drawMonthChart(cairo_t *cr, const month_rows *rows, double width, double height);
// The sentence that explains a mark.
const char *fallingNote(void);

#endif
