// What the two platform files (files_posix.cpp, files_win32.cpp) share with files.cpp; not for
// other users of the layer.
#pragma once

#include <string>

#include "textio/files.h"

namespace textio {

/// Notes why an open failed for last_open_failure(); a missing file whose folder is missing too
/// becomes NoFolder.
void note_open_failure(FailureReason reason, const std::string& path, std::string system_text = {});

/// The reason for a C library error number (errno), with the system's text for the rest.
void note_open_errno(int error, const std::string& path);

}  // namespace textio
