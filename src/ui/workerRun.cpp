
// The map window's runs on a GTask worker: started for an owner, dropped by
// it, ended on the main loop.
#include "ui/workerRun.h"

void startWorker(worker_run *run, std::atomic<bool> *cancel, void *owner, GTaskThreadFunc work,
                 GAsyncReadyCallback done, GDestroyNotify free_run) {
    run->cancel = cancel;
    run->owner = owner;
    run->started = g_get_monotonic_time();
    GTask *task = g_task_new(nullptr, nullptr, done, run);
    g_task_set_task_data(task, run, free_run);
    g_task_run_in_thread(task, work);
    g_object_unref(task);
}

void dropRun(worker_run *run, guint *progress_source) {
    if (run != nullptr) {
        run->owner = nullptr;
        run->cancel->store(true);
    }
    if (*progress_source != 0) {
        g_source_remove(*progress_source);
        *progress_source = 0;
    }
}

void runEnded(guint *progress_source, GtkWidget *progress) {
    if (*progress_source != 0) {
        g_source_remove(*progress_source);
        *progress_source = 0;
    }
    gtk_widget_hide(progress);
}
