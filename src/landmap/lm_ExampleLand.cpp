// The made-up example land is made at build time beside the program and
// installed in the program's shared folder; either is found from where the
// program itself lies, so a moved installation still finds it.
#include "landmap/landmap.h"

#include <unistd.h>

#ifndef VERANTA_EXAMPLE_FROM_PROGRAM
#define VERANTA_EXAMPLE_FROM_PROGRAM "../../share/veranta/example-land.tif"
#endif

std::string lm_ExampleLand(void) {
    char self[4096];
    ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0) return "";
    self[n] = '\0';
    gchar *folder = g_path_get_dirname(self);
    std::string found;
    for (const char *relative : {"example-land.tif", VERANTA_EXAMPLE_FROM_PROGRAM}) {
        gchar *path = g_build_filename(folder, relative, nullptr);
        gchar *canonical = g_canonicalize_filename(path, nullptr);
        if (found.empty() && g_file_test(canonical, G_FILE_TEST_IS_REGULAR)) found = canonical;
        g_free(canonical);
        g_free(path);
    }
    g_free(folder);
    return found;
}
