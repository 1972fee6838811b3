// The one rule of what counts as write-protected, for replacing and for
// deleting alike.
#include "files/safeWrite.h"

#include <fcntl.h>
#include <unistd.h>

bool writeProtected(const std::string &path, mode_t mode) {
    // Root may write anything; a file that nobody may write is still meant
    // to stay as it is.
    return (mode & 0222) == 0 || faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0;
}
