// Runs one piece of work on several threads at once, the caller's among them.
#ifndef VERANTA_MODEL_RUNONTHREADS_H
#define VERANTA_MODEL_RUNONTHREADS_H

#include <functional>

// Calls work on threads threads (below 1 counts as 1) and returns when every
// call has returned. work takes its share itself (from a shared counter), so
// when the system gives fewer threads the ones it gives do it all.
void runOnThreads(int threads, const std::function<void()> &work);

#endif
