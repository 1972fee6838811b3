// The map window's long work on a GTask worker, until it moves to the
// windows' job helper (windowJob.h), which new windows use. A window awaits
// one run at a time and follows its progress with a timeout; a run it drops
// (a newer one started, or the window gone) is told to stop soon, and its
// result is thrown away when it comes.
#ifndef VERANTA_UI_WORKERRUN_H
#define VERANTA_UI_WORKERRUN_H

#include <gtk/gtk.h>

#include <atomic>

// What every run carries for its window; a window's run derives from it.
struct worker_run {
    std::atomic<bool> *cancel = nullptr;   // the work's own flag, read by the worker
    void *owner = nullptr;                 // the window awaiting the result; null once dropped
    gint64 started = 0;                    // monotonic microseconds
};

// Runs work on a worker thread with run as its task data, for owner; done is
// called on the main loop when the work ends, and free_run then frees the run.
void startWorker(worker_run *run, std::atomic<bool> *cancel, void *owner, GTaskThreadFunc work,
                 GAsyncReadyCallback done, GDestroyNotify free_run);
// Drops the run a window awaits (may be null) and stops following it.
void dropRun(worker_run *run, guint *progress_source);
// In done, for the window that still awaits the run (its owner): stops
// following it and hides the bar.
void runEnded(guint *progress_source, GtkWidget *progress);

#endif
