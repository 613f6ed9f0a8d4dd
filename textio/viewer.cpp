#include "textio/viewer.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

#include "textio/files.h"
#include "textio/encoding.h"

namespace textio {

namespace {

// Bytes enough to fill the text even if every character took four bytes; nothing beyond
// them is read.
constexpr std::size_t kMaxBytes = 4 * kViewerChars;

}  // namespace

ViewerText read_viewer_text(const std::string& path)
{
    ViewerText result;
    OpenStatus status;
    std::FILE* f = fopen_for_reading(path, &status);
    if (f == nullptr) {
        if (status != OpenStatus::Missing) {
            result.status = ViewerRead::OpenFailed;
            return result;
        }
        // A missing file is created empty and shown empty.
        int fd;
        do {
            fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        } while (fd < 0 && errno == EINTR);
        if (fd < 0) result.status = ViewerRead::OpenFailed;
        else ::close(fd);
        return result;
    }

    // At most kMaxBytes of the file, split into lines; then decide the encoding.
    std::string bytes(kMaxBytes, '\0');
    std::size_t got = 0;
    while (got < kMaxBytes) {
        const std::size_t n = std::fread(bytes.data() + got, 1, kMaxBytes - got, f);
        got += n;
        if (n == 0) {
            if (std::ferror(f)) result.status = ViewerRead::ReadError;
            break;
        }
    }
    const bool cut = got == kMaxBytes && std::fgetc(f) != EOF;
    std::fclose(f);
    bytes.resize(got);

    std::vector<std::string> lines;
    for (std::size_t start = 0; start < bytes.size();) {
        std::size_t end = bytes.find('\n', start);
        const bool last = end == std::string::npos;
        if (last) end = bytes.size();
        std::string line = bytes.substr(start, end - start);
        if (last && cut) line.resize(without_cut_character(line));
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }

    bool utf8 = true;
    for (const std::string& line : lines)
        if (!is_valid_utf8(line)) {
            utf8 = false;
            break;
        }

    // Each line goes into the text from position p; n is the last non-blank of the whole text;
    // CR LF follow it unless the text is (nearly) full.
    std::u32string text;
    text.reserve(kViewerChars);
    for (const std::string& raw : lines) {
        std::u32string line = utf8_to_u32(utf8 ? raw : cp1252_to_utf8(raw));
        const std::size_t room = kViewerChars - text.size();
        if (line.size() > room) line.resize(room);
        text += line;
        const std::size_t last = text.find_last_not_of(U' ');
        const std::size_t n = last == std::u32string::npos ? 0 : last + 1;
        if (n >= kViewerChars - 1) {
            text.resize(n);
            break;
        }
        text.resize(n);
        text += U"\r\n";
    }
    for (const char32_t cp : text) append_utf8(result.text, cp);
    return result;
}

}  // namespace textio
