// Reading a text file for a viewer window: its lines, each without trailing blanks and followed
// by CR LF, up to 65534 characters. UTF-8 files are shown as such, others as Windows-1252.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace textio {

inline constexpr std::size_t kViewerChars = 65534;

enum class ViewerRead {
    Ok,          ///< read to its end, or until the text was full
    OpenFailed,  ///< the file exists but cannot be opened (no rights, a directory, a pipe)
    ReadError,   ///< reading broke off; the text holds what was read until then
    Missing,     ///< no such file (Missing::Report)
};

/// What a viewer does with a file that does not exist.
enum class Missing {
    Create,  ///< creates it empty and shows it empty
    Report,  ///< creates nothing: ViewerRead::Missing
};

struct ViewerText {
    ViewerRead status = ViewerRead::Ok;
    std::string text;  ///< UTF-8 with CR LF line ends
};

/// Reads `path` for a viewer. A file that does not exist is created empty and read as empty,
/// or reported (`missing`). Reading stops once the text is full, however long the file or its
/// lines; a last line then says how much is shown, worded by `cut_pattern` (UTF-8, at most 80
/// bytes once filled) whose two %s become the bytes shown and the file's size.
ViewerText read_viewer_text(const std::string& path, std::string_view cut_pattern, Missing missing = Missing::Create);

/// The viewer's text of bytes held in memory, as if they were a file's.
ViewerText viewer_text(std::string_view bytes, std::string_view cut_pattern);

}  // namespace textio
