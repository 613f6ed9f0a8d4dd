// Reading a text file for a viewer window: its lines, each without trailing blanks and followed
// by CR LF, up to 65534 characters. UTF-8 files are shown as such, others as Windows-1252.
#pragma once

#include <cstddef>
#include <string>

namespace textio {

inline constexpr std::size_t kViewerChars = 65534;

enum class ViewerRead {
    Ok,          ///< read to its end, or until the text was full
    OpenFailed,  ///< the file exists but cannot be opened (no rights, a directory, a pipe)
    ReadError,   ///< reading broke off; the text holds what was read until then
};

struct ViewerText {
    ViewerRead status = ViewerRead::Ok;
    std::string text;  ///< UTF-8 with CR LF line ends
};

/// Reads `path` for a viewer. A file that does not exist is created empty and read as empty.
/// Reading stops once the text is full, however long the file or its lines.
ViewerText read_viewer_text(const std::string& path);

}  // namespace textio
