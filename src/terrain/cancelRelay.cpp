// The map's cancel passed on to a season's own while a long step runs: the
// steps of the season check their sweep_control day by day, the map's
// callers set map_control, and a watcher joins the two.
#include "terrain/internals.h"

#include <chrono>

cancel_relay::cancel_relay(const map_control *from, sweep_control *to) {
    if (from == nullptr || to == nullptr) return;
    watcher_ = std::thread([this, from, to] {
        while (!done_.load()) {
            if (from->cancel.load()) to->cancel.store(true);
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    });
}

cancel_relay::~cancel_relay() {
    done_.store(true);
    if (watcher_.joinable()) watcher_.join();
}
