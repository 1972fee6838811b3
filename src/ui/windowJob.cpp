// One job at a time per window on a GTask worker thread. The task holds the
// window (its source object) and the job's record; the record holds the
// window too and lets it go on the main loop, because the task may be
// finalised on the worker thread and a GTK window must never be finalised
// there.
#include "ui/windowJob.h"

namespace {

// Shown only when the job is not done almost at once.
const gint64 kQuietMicroseconds = 300000;
const guint kFollowMilliseconds = 50;

struct job_record {
    window_job *job;                 // the window's slot; used only while the job is its current one
    GtkWidget *window;               // a reference, let go on the main loop
    gpointer data;
    const window_job_calls *calls;
    GCancellable *cancellable;
    gulong stop_handler;             // sets the work's own flag on cancel, or 0
};

gboolean unrefOnMainLoop(gpointer window) {
    g_object_unref(window);
    return G_SOURCE_REMOVE;
}

// Runs where the task is finalised: on the main loop or on the worker.
void freeRecord(gpointer p) {
    job_record *r = static_cast<job_record *>(p);
    if (r->stop_handler != 0) g_cancellable_disconnect(r->cancellable, r->stop_handler);
    if (r->calls->free_data != nullptr) r->calls->free_data(r->data);
    g_object_unref(r->cancellable);
    g_idle_add(unrefOnMainLoop, r->window);
    delete r;
}

void setStop(GCancellable *, gpointer flag) { static_cast<std::atomic<bool> *>(flag)->store(true); }

void work(GTask *task, gpointer, gpointer p, GCancellable *) {
    job_record *r = static_cast<job_record *>(p);
    r->calls->work(r->data);
    g_task_return_boolean(task, TRUE);
}

void stopFollowing(window_job *job) {
    if (job->follow != 0) {
        g_source_remove(job->follow);
        job->follow = 0;
    }
    if (job->bar != nullptr) gtk_widget_hide(job->bar);
}

gboolean follow(gpointer p) {
    window_job *job = static_cast<window_job *>(p);
    if (g_get_monotonic_time() - job->started < kQuietMicroseconds) return G_SOURCE_CONTINUE;
    double done = job->calls->progress(job->data);
    gtk_progress_bar_set_fraction(GTK_PROGRESS_BAR(job->bar), done);
    if (job->calls->progress_text != nullptr) {
        gchar *text = job->calls->progress_text(job->data);
        gtk_progress_bar_set_text(GTK_PROGRESS_BAR(job->bar), text);
        g_free(text);
    }
    gtk_widget_show(job->bar);
    return G_SOURCE_CONTINUE;
}

// Forgets the job in the window's slot; the task keeps its record.
void release(window_job *job) {
    stopFollowing(job);
    g_clear_object(&job->cancellable);
    job->data = nullptr;
    job->calls = nullptr;
}

void finished(GObject *source, GAsyncResult *result, gpointer) {
    GTask *task = G_TASK(result);
    job_record *r = static_cast<job_record *>(g_task_get_task_data(task));
    // Cancelled (a newer job, Close, or the window gone): the slot is no
    // longer this job's, and may be gone with its window.
    if (!g_task_propagate_boolean(task, nullptr)) return;
    window_job *job = r->job;
    if (job->cancellable != r->cancellable) return;
    release(job);
    r->calls->done(GTK_WIDGET(source), r->data);
}

}  // namespace

void windowJobStart(window_job *job, GtkWidget *window, gpointer data, const window_job_calls *calls,
                    std::atomic<bool> *stop, GtkWidget *bar) {
    windowJobCancel(job);
    job_record *r = new job_record{job, GTK_WIDGET(g_object_ref(window)), data, calls, g_cancellable_new(), 0};
    if (stop != nullptr) r->stop_handler = g_cancellable_connect(r->cancellable, G_CALLBACK(setStop), stop, nullptr);
    job->cancellable = G_CANCELLABLE(g_object_ref(r->cancellable));
    job->data = data;
    job->calls = calls;
    job->bar = bar;
    job->started = g_get_monotonic_time();
    if (bar != nullptr && calls->progress != nullptr) job->follow = g_timeout_add(kFollowMilliseconds, follow, job);

    GTask *task = g_task_new(window, r->cancellable, finished, nullptr);
    g_task_set_task_data(task, r, freeRecord);
    g_task_run_in_thread(task, work);
    g_object_unref(task);
}

void windowJobCancel(window_job *job) {
    if (job->cancellable == nullptr) return;
    GCancellable *cancellable = G_CANCELLABLE(g_object_ref(job->cancellable));
    release(job);
    g_cancellable_cancel(cancellable);
    g_object_unref(cancellable);
}

bool windowJobRunning(const window_job *job) { return job->cancellable != nullptr; }
