// One press of the one-day calculator's calculate button: the chosen day and
// its whole month integrated, the outputs written into real entries.
#include "model/model.h"
#include "oneday/oneday.h"

#include <benchmark/benchmark.h>

static void BM_OneDayCalculate(benchmark::State &state) {
    if (!gtk_init_check(nullptr, nullptr)) {
        state.SkipWithError("no display");
        return;
    }
    c1_widgets *w = g_new0(c1_widgets, 1);
    GtkWidget *window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    GtkWidget *box = gtk_box_new(GTK_ORIENTATION_VERTICAL, 5);
    gtk_container_add(GTK_CONTAINER(window), box);
    gtk_box_pack_start(GTK_BOX(box), create_c1_grid1(w), FALSE, FALSE, 0);
    gtk_box_pack_start(GTK_BOX(box), create_c1_grid2(w), FALSE, FALSE, 0);
    const char *site[5] = {"44.5", "-123.0", "150", "180", "0"};
    GtkWidget *entries[5] = {w->entry_lat, w->entry_lon, w->entry_elev, w->entry_aspect, w->entry_tilt};
    for (int i = 0; i < 5; i++) gtk_entry_set_text(GTK_ENTRY(entries[i]), site[i]);
    gtk_entry_set_text(GTK_ENTRY(w->entry_day), "15");
    gtk_combo_box_set_active(GTK_COMBO_BOX(w->cbtxt_month), 6);  // July: 31 days, the longest integrals
    gtk_entry_set_text(GTK_ENTRY(w->entry_year), "2010");
    error_watch = 1;

    for (auto _ : state) {
        if (c1_CheckEntries(w) != C1_OK) {
            state.SkipWithError("entries rejected");
            break;
        }
        c1_ShowResult(w);
        benchmark::DoNotOptimize(active_daysIrr);
    }
    gtk_widget_destroy(window);
    g_free(w);
}
BENCHMARK(BM_OneDayCalculate)->Unit(benchmark::kMillisecond);
