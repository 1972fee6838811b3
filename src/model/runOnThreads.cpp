// See runOnThreads.h.
#include "model/runOnThreads.h"

#include <system_error>
#include <thread>
#include <vector>

void runOnThreads(int threads, const std::function<void()> &work) {
    std::vector<std::thread> pool;
    for (int i = 1; i < threads; i++) {
        try {
            pool.emplace_back(work);
        } catch (const std::system_error &) {
            break;
        }
    }
    work();
    for (std::thread &t : pool) t.join();
}
