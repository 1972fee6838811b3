// One press of the season calculator's start button, which integrates the
// month it shows: a whole month, and the part of one (which needs the whole
// month as well, for its share of the degree days). July has the longest days.
#include "model/model.h"
#include "season/season.h"

#include <benchmark/benchmark.h>

namespace {

void seasonPress(benchmark::State &state, const char *firstDay) {
    if (!gtk_init_check(nullptr, nullptr)) {
        state.SkipWithError("no display");
        return;
    }
    c2_widgets *w = g_new0(c2_widgets, 1);
    GtkWidget *window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    GtkWidget *box = gtk_box_new(GTK_ORIENTATION_VERTICAL, 5);
    gtk_container_add(GTK_CONTAINER(window), box);
    gtk_box_pack_start(GTK_BOX(box), create_c2_grid1(w), FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(box), create_c2_grid2(w), FALSE, FALSE, 0);
    w->button_start = gtk_button_new();
    w->button_continue = gtk_button_new();
    gtk_box_pack_start(GTK_BOX(box), w->button_start, FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(box), w->button_continue, FALSE, FALSE, 0);

    const char *site[5] = {"44.133", "-123.214", "114", "180", "10"};
    GtkWidget *entries[5] = {w->entry_lat, w->entry_lon, w->entry_elev, w->entry_aspect, w->entry_tilt};
    for (int i = 0; i < 5; i++) gtk_entry_set_text(GTK_ENTRY(entries[i]), site[i]);
    gtk_entry_set_text(GTK_ENTRY(w->entry_startday), firstDay);
    gtk_combo_box_set_active(GTK_COMBO_BOX(w->cbtxt_startmonth), 6);
    gtk_entry_set_text(GTK_ENTRY(w->entry_stopday), "31");
    gtk_combo_box_set_active(GTK_COMBO_BOX(w->cbtxt_stopmonth), 7);
    gtk_entry_set_text(GTK_ENTRY(w->entry_year), "2010");
    error_watch = 1;

    for (auto _ : state) {
        if (c2_CheckEntries(w) != 0) {
            state.SkipWithError("entries rejected");
            break;
        }
        pass = 1;
        c2_ShowResult(w);
        benchmark::DoNotOptimize(accumulatedGDD);
    }
    gtk_widget_destroy(window);
    g_free(w);
}

void BM_SeasonWholeMonth(benchmark::State &state) { seasonPress(state, "1"); }
void BM_SeasonPartialMonth(benchmark::State &state) { seasonPress(state, "15"); }

}  // namespace

BENCHMARK(BM_SeasonWholeMonth)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SeasonPartialMonth)->Unit(benchmark::kMillisecond);
