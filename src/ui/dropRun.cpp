#include "ui/workerRun.h"

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
