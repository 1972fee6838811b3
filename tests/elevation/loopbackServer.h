// A real web server for the elevation tests: Debian's nginx on a free
// loopback port, serving a folder with HTTP ranges, its configuration, pid,
// logs and temporary files in a folder of its own. Nothing leaves the machine.
#ifndef VERANTA_TESTS_LOOPBACKSERVER_H
#define VERANTA_TESTS_LOOPBACKSERVER_H

#include <map>
#include <string>
#include <sys/types.h>

class loopback_server {
public:
    // Serves root; keeps its own files in state (both folders exist).
    loopback_server(const std::string &root, const std::string &state) : root_(root), state_(state) {}
    ~loopback_server() { stop(); }

    // Starts nginx and waits until it accepts connections. Paths under
    // /broken/ answer 500.
    bool start(std::string *error);
    // Stops it and waits for it to end; its access log is then complete.
    void stop();
    std::string url() const { return "http://127.0.0.1:" + std::to_string(port_); }

    // Body bytes sent for each path, from the access log (after stop).
    std::map<std::string, long long> bytesServed() const;

private:
    std::string root_;
    std::string state_;
    int port_ = 0;
    pid_t pid_ = -1;
};

#endif
