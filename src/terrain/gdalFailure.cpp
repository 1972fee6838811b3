// GDAL's own messages during the core's work: never printed (a refusal is
// one line), the last failure kept for the refusal to say. The handler is
// pushed on the calling thread only, so threads do not share it.
#include "terrain/internals.h"

gdal_failure::gdal_failure() { CPLPushErrorHandlerEx(keep, this); }

gdal_failure::~gdal_failure() { CPLPopErrorHandler(); }

void CPL_STDCALL gdal_failure::keep(CPLErr type, CPLErrorNum, const char *message) {
    if (type != CE_Failure && type != CE_Fatal) return;
    gdal_failure *self = static_cast<gdal_failure *>(CPLGetErrorHandlerUserData());
    if (self == nullptr || message == nullptr) return;
    self->last_ = message;
    // One line whatever GDAL says.
    for (char &c : self->last_)
        if (c == '\n' || c == '\r') c = ' ';
}

std::string gdal_failure::said() const { return last_.empty() ? "" : " (GDAL: " + last_ + ")"; }
