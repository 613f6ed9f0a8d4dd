#include "textio/viewer.h"

#include <cerrno>
#include <cstdio>
#include <vector>

#include "textio/encoding.h"
#include "textio/files.h"

namespace textio {

namespace {

// Bytes enough to fill the text even if every character took four bytes; nothing beyond
// them is read.
constexpr std::size_t kMaxBytes = 4 * kViewerChars;
// Characters kept free for the line that says the text was cut.
constexpr std::size_t kNoteRoom = 80;

// A line of the file: its bytes without the line end, and the file offset after its line end.
struct Line {
    std::string bytes;
    std::size_t end = 0;
};

// What the viewer reads of a file: its first bytes, and how long it is.
struct Sample {
    std::string bytes;
    std::uint64_t size = 0;  // the file's length, at least what was read
    bool complete = true;    // the sample holds the whole file
    bool read_error = false;
};

Sample read_sample(std::FILE* f)
{
    Sample s;
    s.bytes.assign(kMaxBytes, '\0');
    std::size_t got = 0;
    while (got < kMaxBytes) {
        const std::size_t n = std::fread(s.bytes.data() + got, 1, kMaxBytes - got, f);
        got += n;
        if (n == 0) {
            s.read_error = std::ferror(f) != 0;
            break;
        }
    }
    s.bytes.resize(got);
    s.complete = got < kMaxBytes || std::fgetc(f) == EOF;
    const std::uint64_t stated = regular_size(f);
    s.size = std::max<std::uint64_t>(stated, got + (s.complete ? 0 : 1));
    return s;
}

// The lines of the sample; LF, CR LF and a lone CR end a line. A last line cut by the end of
// the sample is marked by an end of 0 and loses a character cut short.
std::vector<Line> split_lines(const std::string& bytes, bool complete)
{
    std::vector<Line> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t stop = bytes.find_first_of("\r\n", start);
        if (stop == std::string::npos) {
            Line last{bytes.substr(start), complete ? bytes.size() : 0};
            if (!complete) last.bytes.resize(without_cut_character(last.bytes));
            lines.push_back(std::move(last));
            break;
        }
        std::size_t next = stop + 1;
        if (bytes[stop] == '\r' && next < bytes.size() && bytes[next] == '\n') ++next;
        // A CR as the sample's last byte may be the first half of a CR LF beyond it.
        lines.push_back({bytes.substr(start, stop - start), complete || next < bytes.size() ? next : 0});
        start = next;
    }
    return lines;
}

// The line without trailing blanks, and CR LF.
void append_line(std::u32string& text, std::u32string line)
{
    const std::size_t last = line.find_last_not_of(U' ');
    line.resize(last == std::u32string::npos ? 0 : last + 1);
    text += line;
    text += U"\r\n";
}

// The note's pattern holds two %s: the bytes shown, the file's size.
std::u32string cut_note(std::string_view pattern, std::size_t shown, std::uint64_t size)
{
    std::string note(pattern);
    for (const std::string& value : {std::to_string(shown), std::to_string(size)})
        if (const std::size_t at = note.find("%s"); at != std::string::npos) note.replace(at, 2, value);
    return utf8_to_u32(note);
}

// The viewer's text of what was read of a file.
ViewerText text_of(const Sample& sample, std::string_view cut_pattern)
{
    ViewerText result;
    if (sample.read_error) result.status = ViewerRead::ReadError;
    const std::vector<Line> lines = split_lines(sample.bytes, sample.complete);

    bool utf8 = true;
    for (const Line& line : lines) utf8 = utf8 && is_valid_utf8(line.bytes);

    // Whole lines as long as they fit; if the file does not fit, a line of its own says how
    // much of it is shown. Only a first line too long for the viewer is shown in part.
    std::u32string text;
    std::size_t shown = 0;
    bool cut = !sample.complete;
    for (const Line& line : lines) {
        std::u32string chars = utf8_to_u32(utf8 ? line.bytes : cp1252_to_utf8(line.bytes));
        if (line.end == 0 || text.size() + chars.size() + 2 > kViewerChars - kNoteRoom) {
            cut = true;
            if (text.empty()) {
                chars.resize(std::min(chars.size(), kViewerChars - kNoteRoom));
                const std::string part = [&] {
                    std::string u;
                    for (const char32_t cp : chars) append_utf8(u, cp);
                    return u;
                }();
                shown = utf8 ? part.size() : chars.size();  // Windows-1252: one byte a character
                append_line(text, std::move(chars));
            }
            break;
        }
        append_line(text, std::move(chars));
        shown = line.end;
    }
    if (cut) append_line(text, cut_note(cut_pattern, shown, sample.size));
    for (const char32_t cp : text) append_utf8(result.text, cp);
    return result;
}

}  // namespace

ViewerText read_viewer_text(const std::string& path, std::string_view cut_pattern, Missing missing)
{
    OpenStatus status;
    std::FILE* f = fopen_for_reading(path, &status);
    if (f == nullptr) {
        ViewerText result;
        if (status == OpenStatus::Missing && missing == Missing::Report) result.status = ViewerRead::Missing;
        else if (status != OpenStatus::Missing || !create_new_empty(path)  /* a missing file is created empty, shown empty */) result.status = ViewerRead::OpenFailed;
        return result;
    }
    const Sample sample = read_sample(f);
    std::fclose(f);
    return text_of(sample, cut_pattern);
}

ViewerText viewer_text(std::string_view bytes, std::string_view cut_pattern)
{
    Sample sample;
    sample.bytes.assign(bytes.substr(0, kMaxBytes));
    sample.size = bytes.size();
    sample.complete = bytes.size() <= kMaxBytes;
    return text_of(sample, cut_pattern);
}

}  // namespace textio
