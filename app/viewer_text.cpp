#include "viewer_text.h"

#include <cerrno>
#include <cstdio>
#include <sys/stat.h>
#include <vector>

#include "textio.h"

namespace geoid {

namespace {

// Bytes enough to fill the text even if every character took four bytes.
constexpr std::size_t kMaxBytes = 4 * kViewerChars;

// Decodes one line's bytes into code points.
std::u32string decode(const std::string& bytes, bool utf8)
{
    const std::string text = utf8 ? bytes : textio::cp1252_to_utf8(bytes);
    std::u32string out;
    out.reserve(text.size());
    for (std::size_t k = 0; k < text.size();) {
        const auto c = static_cast<unsigned char>(text[k]);
        const std::size_t len = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        char32_t cp = len == 1 ? c : len == 2 ? (c & 0x1F) : len == 3 ? (c & 0x0F) : (c & 0x07);
        for (std::size_t j = 1; j < len && k + j < text.size(); ++j)
            cp = (cp << 6) | (static_cast<unsigned char>(text[k + j]) & 0x3F);
        out.push_back(cp);
        k += len;
    }
    return out;
}

}  // namespace

ViewerText read_viewer_text(const std::string& path)
{
    ViewerText result;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) {
        if (errno != ENOENT) {
            result.status = ViewerRead::OpenFailed;
            return result;
        }
        // A missing file is created empty and shown empty.
        f = std::fopen(path.c_str(), "wb");
        if (f == nullptr) result.status = ViewerRead::OpenFailed;
        else std::fclose(f);
        return result;
    }
    struct stat st {};
    if (fstat(fileno(f), &st) != 0 || S_ISDIR(st.st_mode)) {
        std::fclose(f);
        result.status = ViewerRead::OpenFailed;
        return result;
    }

    // Collect the raw lines that can reach the text (bounded), then decide the encoding.
    std::vector<std::string> lines;
    std::size_t total = 0;
    bool at_end = false;
    while (!at_end && total < kMaxBytes) {
        std::string line;
        bool cut = false;
        int c;
        while ((c = std::getc(f)) != EOF && c != '\n') {
            if (line.size() < kMaxBytes) line.push_back(static_cast<char>(c));
            else cut = true;
        }
        if (c == EOF) {
            at_end = true;
            if (std::ferror(f)) result.status = ViewerRead::ReadError;
            if (line.empty() && !cut) break;  // no line after the last line feed
        }
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (cut) {
            // Do not keep half of a multi-byte character at the cut.
            while (!line.empty() && (static_cast<unsigned char>(line.back()) & 0xC0) == 0x80) line.pop_back();
            if (!line.empty() && static_cast<unsigned char>(line.back()) >= 0xC0) line.pop_back();
        }
        total += line.size() + 2;
        lines.push_back(std::move(line));
    }
    std::fclose(f);

    bool utf8 = true;
    for (const std::string& line : lines)
        if (!textio::is_valid_utf8(line)) {
            utf8 = false;
            break;
        }

    // Each line goes into the text from position p; n is the last non-blank of the whole text;
    // CR LF follow it unless the text is (nearly) full.
    std::u32string text;
    text.reserve(kViewerChars);
    for (const std::string& raw : lines) {
        std::u32string line = decode(raw, utf8);
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
    for (const char32_t cp : text) textio::append_utf8(result.text, cp);
    return result;
}

}  // namespace geoid
