// Placeholder until the main window exists.
#include <cstdio>

#ifndef VERANTA_NO_MAIN
int main() {
    std::puts("veranta: built; the main window is not there yet.");
    return 0;
}
#endif
