// nginx in the foreground as one process (no master, no daemon), so that its
// pid is the server and stopping it is one signal and one wait.
#include "loopbackServer.h"

#include <arpa/inet.h>
#include <chrono>
#include <csignal>
#include <fstream>
#include <netinet/in.h>
#include <spawn.h>
#include <sstream>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char **environ;

namespace {

// A port the kernel had free a moment ago; the server retries if it is taken.
int freePort() {
    int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t n = sizeof a;
    int port = 0;
    if (bind(s, reinterpret_cast<sockaddr *>(&a), sizeof a) == 0 &&
        getsockname(s, reinterpret_cast<sockaddr *>(&a), &n) == 0)
        port = ntohs(a.sin_port);
    close(s);
    return port;
}

bool accepts(int port) {
    int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<uint16_t>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bool ok = connect(s, reinterpret_cast<sockaddr *>(&a), sizeof a) == 0;
    close(s);
    return ok;
}

std::string nginxProgram() { return access("/usr/sbin/nginx", X_OK) == 0 ? "/usr/sbin/nginx" : "nginx"; }

}  // namespace

bool loopback_server::start(std::string *error) {
    for (int attempt = 0; attempt < 5; attempt++) {
        port_ = freePort();
        const std::string &s = state_;
        mkdir((s + "/tmp").c_str(), 0700);
        std::ofstream conf(s + "/nginx.conf");
        // As root nginx would hand its work to "nobody", who cannot read a
        // private temporary folder.
        if (geteuid() == 0) conf << "user root;\n";
        conf << "daemon off;\nmaster_process off;\nworker_processes 1;\npid " << s << "/nginx.pid;\n"
             << "error_log " << s << "/error.log;\nevents { worker_connections 64; }\nhttp {\n"
             << "  log_format bytes '$status $body_bytes_sent $uri';\n  access_log " << s << "/access.log bytes;\n"
             << "  client_body_temp_path " << s << "/tmp; proxy_temp_path " << s << "/tmp;\n"
             << "  fastcgi_temp_path " << s << "/tmp; uwsgi_temp_path " << s << "/tmp; scgi_temp_path " << s
             << "/tmp;\n  types { image/tiff tif; text/plain txt; }\n  default_type application/octet-stream;\n"
             << "  server {\n    listen 127.0.0.1:" << port_ << ";\n    root " << root_ << ";\n"
             << "    location /broken/ { return 500; }\n  }\n}\n";
        conf.close();
        std::string program = nginxProgram();
        std::string prefix = s + "/", config = s + "/nginx.conf", log = s + "/error.log";
        const char *argv[] = {program.c_str(), "-p", prefix.c_str(), "-c", config.c_str(), "-e", log.c_str(), nullptr};
        if (posix_spawnp(&pid_, program.c_str(), nullptr, nullptr, const_cast<char **>(argv), environ) != 0) {
            *error = "nginx cannot be started (scripts/deps.sh installs it)";
            pid_ = -1;
            return false;
        }
        // Ready once it accepts; gone means the port was taken meanwhile.
        auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (std::chrono::steady_clock::now() < until) {
            int status;
            if (waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1;
                break;
            }
            if (accepts(port_)) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        stop();
    }
    std::ifstream log(state_ + "/error.log");
    std::stringstream text;
    text << log.rdbuf();
    *error = "nginx did not start: " + text.str();
    return false;
}

void loopback_server::stop() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    int status;
    waitpid(pid_, &status, 0);
    pid_ = -1;
}

std::map<std::string, long long> loopback_server::bytesServed() const {
    std::map<std::string, long long> bytes;
    std::ifstream log(state_ + "/access.log");
    int status;
    long long sent;
    std::string path;
    while (log >> status >> sent >> path) bytes[path] += sent;
    return bytes;
}
