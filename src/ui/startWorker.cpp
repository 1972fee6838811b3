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
