// Long work for a window on a worker thread, so that the window never
// freezes: a GTask whose source is the window, with a GCancellable of its
// own. A window runs one job at a time: starting another, cancelling (Close,
// a new run) or the window going cancels the one under way, which is told
// to stop soon and whose result is dropped when it arrives. A progress bar
// follows a job that takes longer than a moment.
#ifndef VERANTA_UI_WINDOWJOB_H
#define VERANTA_UI_WINDOWJOB_H

#include <gtk/gtk.h>

#include <atomic>

// What a job does with its data; work runs on the worker thread, progress
// and done on the main loop, free_data on either (it must not touch GTK).
struct window_job_calls {
    // The work, on the worker thread: it may touch only its data.
    void (*work)(gpointer data);
    // Share of the work done, 0 to 1, read while the bar follows it; null
    // for a job without a measure of its progress.
    double (*progress)(gconstpointer data);
    // The finished job's data, for the window that still awaits it; the job's
    // data is freed afterwards.
    void (*done)(GtkWidget *window, gpointer data);
    GDestroyNotify free_data;
    // What the bar says of the progress (owned by the caller), read with it;
    // null for a bar without text of its own.
    gchar *(*progress_text)(gconstpointer data);
};

// A window's job slot, part of the window and zero at first.
struct window_job {
    GCancellable *cancellable;   // the job under way, or null
    gpointer data;               // its data while it runs
    const window_job_calls *calls;
    GtkWidget *bar;              // the progress bar, or null
    guint follow;                // timeout that follows the progress, or 0
    gint64 started;              // monotonic microseconds
};

// Starts work on data for window, cancelling the job under way. stop (may be
// null) is the flag the work itself reads; it is set when the job is
// cancelled. bar (may be null) shows the progress once the job takes longer
// than a moment and is hidden when it ends. data is freed by
// calls->free_data whatever becomes of the job, once the work has let it
// go; calls must outlive the job.
void windowJobStart(window_job *job, GtkWidget *window, gpointer data, const window_job_calls *calls,
                    std::atomic<bool> *stop, GtkWidget *bar);
// Cancels the job under way, if any: its done is never called. A window
// calls it when it closes (dispose) and may call it for Close or a new run.
void windowJobCancel(window_job *job);
// True while a job is under way.
bool windowJobRunning(const window_job *job);

#endif
