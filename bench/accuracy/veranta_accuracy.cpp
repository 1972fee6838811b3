// veranta_accuracy DIR: how close the solar engine comes to the independent
// ephemeris in DIR/positions.csv and DIR/riseset.csv.
#include "accuracy/accuracy.h"

#include <cstdio>

int main(int argc, char **argv) {
    if (argc != 2) {
        std::fputs("usage: veranta_accuracy DIR (a folder with positions.csv and riseset.csv)\n", stderr);
        return 1;
    }
    std::string out, err;
    int status = runAccuracy(argv[1], &out, &err);
    std::fputs(out.c_str(), stdout);
    std::fputs(err.c_str(), stderr);
    if (std::fflush(stdout) != 0) return 1;
    return status;
}
