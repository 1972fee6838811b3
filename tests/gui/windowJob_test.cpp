// The windows' job helper with made-up jobs whose work waits until the test
// lets it end: the current job's result arrives once, with the progress bar
// following it; a newer job, a cancel or the window going drops a job and
// tells it to stop; a window gone mid-job is let go.
#include "gui_support.h"

#include "ui/windowJob.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <vector>

namespace {

struct made_up {
    int id = 0;
    std::atomic<bool> stop{false};   // set by the helper when the job is cancelled
    std::atomic<bool> open{false};   // set by the test to let the work end
    std::atomic<bool> freed{false};
};

std::vector<int> doneIds;
GtkWidget *doneWindow = nullptr;

void work(gpointer data) {
    made_up *m = static_cast<made_up *>(data);
    while (!m->open && !m->stop) g_usleep(1000);
}

double halfDone(gconstpointer) { return 0.5; }

gchar *halfText(gconstpointer) { return g_strdup("half of it"); }

void done(GtkWidget *window, gpointer data) {
    doneIds.push_back(static_cast<made_up *>(data)->id);
    doneWindow = window;
}

// The test keeps the data; the helper only says it is done with it.
void release(gpointer data) { static_cast<made_up *>(data)->freed = true; }

const window_job_calls kCalls = {work, halfDone, done, release, halfText};

// Runs the main loop until the state holds; false when it never does.
bool waitFor(const std::function<bool()> &state) { return gui::await(state, 30); }

struct bench {
    GtkWidget *window = nullptr, *bar = nullptr;
    window_job job = {};
    bench() {
        doneIds.clear();
        doneWindow = nullptr;
        window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
        bar = gtk_progress_bar_new();
        gtk_container_add(GTK_CONTAINER(window), bar);
    }
};

}  // namespace

TEST(WindowJob, TheCurrentJobsResultArrivesOnceAndTheBarFollowsIt) {
    ASSERT_TRUE(gui::connectDisplay());
    bench b;
    made_up a;
    a.id = 1;
    windowJobStart(&b.job, b.window, &a, &kCalls, &a.stop, b.bar);
    EXPECT_TRUE(windowJobRunning(&b.job));
    EXPECT_FALSE(gtk_widget_get_visible(b.bar));
    // Shown once the job takes longer than a moment, with its share done and
    // the job's own words for it.
    ASSERT_TRUE(waitFor([&] { return gtk_widget_get_visible(b.bar); }));
    EXPECT_EQ(gtk_progress_bar_get_fraction(GTK_PROGRESS_BAR(b.bar)), 0.5);
    EXPECT_STREQ(gtk_progress_bar_get_text(GTK_PROGRESS_BAR(b.bar)), "half of it");
    a.open = true;
    ASSERT_TRUE(waitFor([&] { return !windowJobRunning(&b.job); }));
    EXPECT_EQ(doneIds, std::vector<int>{1});
    EXPECT_EQ(doneWindow, b.window);
    EXPECT_FALSE(gtk_widget_get_visible(b.bar));
    EXPECT_FALSE(a.stop);
    ASSERT_TRUE(waitFor([&] { return a.freed.load(); }));
    gtk_widget_destroy(b.window);
}

TEST(WindowJob, ANewJobOrACancelDropsTheOneUnderWay) {
    ASSERT_TRUE(gui::connectDisplay());
    bench b;
    made_up first, second, third;
    first.id = 1;
    second.id = 2;
    third.id = 3;
    windowJobStart(&b.job, b.window, &first, &kCalls, &first.stop, b.bar);
    windowJobStart(&b.job, b.window, &second, &kCalls, &second.stop, b.bar);
    // The first is told to stop at once and ends by itself; its result is dropped.
    EXPECT_TRUE(first.stop);
    EXPECT_FALSE(second.stop);
    ASSERT_TRUE(waitFor([&] { return first.freed.load(); }));
    EXPECT_TRUE(doneIds.empty());
    EXPECT_TRUE(windowJobRunning(&b.job));
    second.open = true;
    ASSERT_TRUE(waitFor([&] { return second.freed.load(); }));
    EXPECT_EQ(doneIds, std::vector<int>{2});

    windowJobStart(&b.job, b.window, &third, &kCalls, &third.stop, b.bar);
    windowJobCancel(&b.job);
    EXPECT_TRUE(third.stop);
    EXPECT_FALSE(windowJobRunning(&b.job));
    EXPECT_FALSE(gtk_widget_get_visible(b.bar));
    // Freed only once its end has been handled: by then it would have spoken.
    ASSERT_TRUE(waitFor([&] { return third.freed.load(); }));
    EXPECT_EQ(doneIds, std::vector<int>{2});
    gtk_widget_destroy(b.window);
}

TEST(WindowJob, AWindowGoneMidJobHearsNothingAndIsLetGo) {
    ASSERT_TRUE(gui::connectDisplay());
    bench b;
    made_up a;
    a.id = 1;
    // A window cancels its job as it goes, as a window's dispose does.
    g_signal_connect(b.window, "destroy", G_CALLBACK(+[](GtkWidget *, gpointer job) {
                         windowJobCancel(static_cast<window_job *>(job));
                     }),
                     &b.job);
    windowJobStart(&b.job, b.window, &a, &kCalls, &a.stop, nullptr);
    GObject *held = G_OBJECT(g_object_ref(b.window));
    gtk_widget_destroy(b.window);
    EXPECT_TRUE(a.stop);
    ASSERT_TRUE(waitFor([&] { return a.freed.load() && g_atomic_int_get(&held->ref_count) == 1; }))
        << "the job still holds the window";
    EXPECT_TRUE(doneIds.empty());
    g_object_unref(held);
}
