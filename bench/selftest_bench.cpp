// Computing time of the self-tests, the season test above all: it integrates
// seven whole months minute by minute while the interface waits.
#include <benchmark/benchmark.h>

#include "selftest/selftest.h"
#include "shell/shell.h"

namespace {

// The tests write into entries only; bare entries stand in for the panels.
bool entriesReady() {
    static int ready = -1;
    if (ready < 0) {
        ready = gtk_init_check(nullptr, nullptr) ? 1 : 0;
        if (ready == 1) {
            GtkWidget **const handles[] = {&t1_entry1, &t1_entry2, &t1_entry3, &t1_entry4, &t1_entry5, &t1_entry6,
                                           &t1_entry7, &t1_entry8, &t1_entry9, &t1_entry10, &t1_entry11, &t1_entry12,
                                           &t2_entry1, &t2_entry2, &t2_entry3, &t3_entry1, &t3_entry2, &t3_entry3,
                                           &t3_entry4, &t3_entry5, &t3_entry6, &t3_entry7, &t3_entry8};
            for (GtkWidget **h : handles) *h = GTK_WIDGET(g_object_ref_sink(gtk_entry_new()));
        }
    }
    return ready == 1;
}

void BM_t1_Populate(benchmark::State &state) {
    if (!entriesReady()) {
        state.SkipWithError("no display");
        return;
    }
    for (auto _ : state) t1_Populate();
}
BENCHMARK(BM_t1_Populate)->Unit(benchmark::kMicrosecond);

void BM_t2_Populate(benchmark::State &state) {
    if (!entriesReady()) {
        state.SkipWithError("no display");
        return;
    }
    for (auto _ : state) t2_Populate();
}
BENCHMARK(BM_t2_Populate)->Unit(benchmark::kMillisecond);

void BM_t3_Populate(benchmark::State &state) {
    if (!entriesReady()) {
        state.SkipWithError("no display");
        return;
    }
    for (auto _ : state) t3_Populate();
}
BENCHMARK(BM_t3_Populate)->Unit(benchmark::kMillisecond);

}  // namespace
