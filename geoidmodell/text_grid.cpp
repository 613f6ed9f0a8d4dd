#include "geoidmodell/text_grid.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <set>
#include <string_view>

#include "messages/geoidmodell.h"
#include "messages/messages.h"
#include "textio/files.h"
#include "textio/textio.h"

namespace modelltool {

namespace {

namespace text = messages::geoidmodell;

// Positions are compared in units of 1e-9 degrees: finer than any spacing, coarser than the
// rounding of the decimals a file writes.
constexpr double kKeyUnit = 1e9;
// A node lies on the grid when it is within this share of the spacing of a grid position.
constexpr double kOnGrid = 0.01;
constexpr std::size_t kMaxLine = 1024;
constexpr std::size_t kShownChars = 60;  // of a line that is no node, in the message
constexpr std::int64_t kMaxNodes = (1ll << 31) - 1;
// A grid may have at most this many nodes per node in the file, and a few more: the nodes of a
// tiny file (a test, a corner of a grid) may lie far apart.
constexpr std::int64_t kMaxSparseness = 4;
constexpr std::int64_t kSmallGridAllowance = 64;

struct Node {
    double b, l, n;
};

enum class Line {
    Node,  ///< a line of three numbers
    End,   ///< the end of the file
    Bad,   ///< a line that is not three numbers
};

// Reads the file line by line: each non-blank line must be three numbers.
class Lines {
public:
    explicit Lines(std::FILE* f) : f_(f) {}
    // The next node; with Bad, the line's start in `bad`.
    Line next(const TextGridOptions& o, Node& node, std::string& bad)
    {
        for (;;) {
            if (!read_line()) return Line::End;
            ++number_;
            double v[3];
            const int count = numbers(v);
            if (count == 0) continue;  // a blank line
            if (count != 3) {
                bad = line_.substr(0, kShownChars);
                return Line::Bad;
            }
            node = o.longitude_first ? Node{v[1], v[0], v[2]} : Node{v[0], v[1], v[2]};
            return Line::Node;
        }
    }
    std::int64_t number() const { return number_; }
    bool failed() const { return std::ferror(f_) != 0; }

private:
    bool read_line()
    {
        line_.clear();
        int c;
        while ((c = std::getc(f_)) != EOF && c != '\n') {
            if (line_.size() < kMaxLine) line_.push_back(static_cast<char>(c));
            else line_.assign("...");  // far too long for a node: it reads as no number
        }
        return c != EOF || !line_.empty();
    }
    // The numbers of the line, up to three; -1 when a word is no number or there are more.
    int numbers(double (&v)[3]) const
    {
        std::string_view rest = line_;
        for (int count = 0;; ++count) {
            const std::size_t start = rest.find_first_not_of(" \t\r");
            if (start == std::string_view::npos) return count;
            rest.remove_prefix(start);
            const std::size_t end = std::min(rest.find_first_of(" \t\r"), rest.size());
            if (count == 3 || !textio::parse_number(rest.substr(0, end), v[count])) return -1;
            rest.remove_prefix(end);
        }
    }

    std::FILE* f_;
    std::string line_;
    std::int64_t number_ = 0;
};

long long key(double degrees)
{
    return std::llround(degrees * kKeyUnit);
}

// The regular axis through the distinct positions: first, spacing, count. False when a
// position is off it (`off` receives it).
bool axis(const std::set<long long>& keys, double& first, double& spacing, std::int64_t& count, double& off)
{
    if (keys.size() < 2) return false;
    first = static_cast<double>(*keys.begin()) / kKeyUnit;
    const double last = static_cast<double>(*keys.rbegin()) / kKeyUnit;
    // The spacing is the most frequent distance of neighbours (rows or columns missing from
    // the file, or a node out of place, leave it so), the smaller one of equally frequent ones.
    std::map<long long, std::int64_t> distances;
    for (auto it = std::next(keys.begin()); it != keys.end(); ++it) ++distances[*it - *std::prev(it)];
    long long usual = distances.begin()->first;
    for (const auto& [d, n] : distances)
        if (n > distances[usual]) usual = d;
    const double step = static_cast<double>(usual) / kKeyUnit;
    count = std::llround((last - first) / step) + 1;
    spacing = (last - first) / static_cast<double>(count - 1);
    for (const long long k : keys) {
        const double p = static_cast<double>(k) / kKeyUnit;
        const double index = (p - first) / spacing;
        if (std::fabs(index - std::round(index)) > kOnGrid) {
            off = p;
            return false;
        }
    }
    return true;
}

// What the first pass finds: the distinct latitudes and longitudes, the nodes.
struct Survey {
    std::set<long long> lats, lons;
    std::int64_t nodes = 0;
    bool lat_ok = false, lon_ok = false;  // the axis is regular
    double off_lat = 0, off_lon = 0;      // else: the position off it
    bool regular() const { return lat_ok && lon_ok; }
};

class Reader {
public:
    Reader(std::FILE* f, const std::string& path, const TextGridOptions& options, std::string& error)
        : f_(f), path_(path), options_(options), error_(error)
    {
    }
    bool survey(Survey& s, bool& first_line_bad);
    bool lay_out(Survey& s, TextGrid& grid);
    bool place(const Survey& s, TextGrid& grid);

private:
    bool fail(const char* pattern, std::initializer_list<std::string> values);
    bool changed(std::int64_t line) { return fail(text::kTextGridChanged, {path_, std::to_string(line)}); }

    std::FILE* f_;
    const std::string& path_;
    const TextGridOptions& options_;
    std::string& error_;
};

bool Reader::fail(const char* pattern, std::initializer_list<std::string> values)
{
    error_ = messages::fill(pattern, values);
    return false;
}

bool plausible(const Node& node)
{
    return std::isfinite(node.b) && std::isfinite(node.l) && std::fabs(node.b) <= 90 && std::fabs(node.l) <= 360;
}

// First pass: the distinct latitudes and longitudes.
bool Reader::survey(Survey& s, bool& first_line_bad)
{
    Lines lines(f_);
    Node node{};
    std::string bad;
    for (Line st; (st = lines.next(options_, node, bad)) != Line::End;) {
        if (st == Line::Bad || !plausible(node)) {
            first_line_bad = lines.number() == 1;
            return fail(text::kTextGridLine, {path_, std::to_string(lines.number()), textio::trim_trailing(bad).empty() ? "" : bad});
        }
        s.lats.insert(key(node.b));
        s.lons.insert(key(node.l));
        ++s.nodes;
    }
    if (lines.failed()) return fail(text::kReadError, {path_, ""});
    return true;
}

// The grid through the positions: limits, spacing, counts; refused when too large or too
// sparse for the nodes of the file.
bool Reader::lay_out(Survey& s, TextGrid& grid)
{
    if (s.lats.size() < 2 || s.lons.size() < 2) return fail(text::kTextGridTooSmall, {path_});
    s.lat_ok = axis(s.lats, grid.south, grid.db, grid.rows, s.off_lat);
    s.lon_ok = axis(s.lons, grid.west, grid.dl, grid.cols, s.off_lon);
    if (!s.regular()) return true;  // the second pass names the line off the grid
    if (grid.rows > kMaxNodes || grid.cols > kMaxNodes || grid.rows > kMaxNodes / grid.cols)
        return fail(text::kTooLarge, {path_, std::to_string(grid.rows), std::to_string(grid.cols)});
    // Gaps are nodes without a value, but a file that holds a quarter of its grid or less is
    // no grid: its memory would not be bounded by the file.
    if (grid.rows * grid.cols > kMaxSparseness * s.nodes + kSmallGridAllowance)
        return fail(text::kTextGridSparse, {path_, std::to_string(s.nodes), std::to_string(grid.rows * grid.cols)});
    grid.north = grid.south + static_cast<double>(grid.rows - 1) * grid.db;
    grid.east = grid.west + static_cast<double>(grid.cols - 1) * grid.dl;
    grid.values.assign(static_cast<std::size_t>(grid.rows * grid.cols), std::numeric_limits<double>::quiet_NaN());
    return true;
}

// Second pass: each node into its place, or the line of the node off the grid named. A file
// that is not what the first pass read (changed in between) is refused at its first line that
// differs, before anything is written outside the grid.
bool Reader::place(const Survey& s, TextGrid& grid)
{
    std::rewind(f_);
    std::vector<bool> seen(grid.values.size());
    Lines lines(f_);
    Node node{};
    std::string bad;
    std::int64_t nodes = 0;
    for (Line st; (st = lines.next(options_, node, bad)) != Line::End;) {
        if (st == Line::Bad || !plausible(node) || !s.lats.contains(key(node.b)) || !s.lons.contains(key(node.l)))
            return changed(lines.number());
        ++nodes;
        if (!s.regular()) {
            // The first line with a position off its axis.
            if ((!s.lat_ok && key(node.b) == key(s.off_lat)) || (!s.lon_ok && key(node.l) == key(s.off_lon)))
                return fail(text::kTextGridIrregular, {path_, std::to_string(lines.number())});
            continue;
        }
        const long long row = std::llround((grid.north - node.b) / grid.db), col = std::llround((node.l - grid.west) / grid.dl);
        if (!(row >= 0 && row < grid.rows && col >= 0 && col < grid.cols)) return changed(lines.number());
        const std::size_t at = static_cast<std::size_t>(row * grid.cols + col);
        if (seen[at]) return fail(text::kTextGridTwice, {path_, std::to_string(lines.number())});
        seen[at] = true;
        if (node.n != options_.no_data && std::isfinite(node.n)) grid.values[at] = node.n;
    }
    if (lines.failed()) return fail(text::kReadError, {path_, ""});
    if (nodes != s.nodes) return changed(lines.number());
    if (!s.regular()) return fail(text::kTextGridIrregular, {path_, "?"});
    return true;
}

}  // namespace

bool read_text_grid(std::FILE* f, const std::string& path, const TextGridOptions& options, TextGrid& grid,
                    std::string& error, bool& first_line_bad, const std::function<void()>& between_passes)
{
    first_line_bad = false;
    Reader reader(f, path, options, error);
    Survey survey;
    if (!reader.survey(survey, first_line_bad) || !reader.lay_out(survey, grid)) return false;
    if (between_passes) between_passes();
    return reader.place(survey, grid);
}

bool read_text_grid(const std::string& path, const TextGridOptions& options, TextGrid& grid, std::string& error,
                    bool& first_line_bad)
{
    const textio::Stream f(textio::fopen_for_reading(path));
    if (f == nullptr) {
        error = messages::kOpenFailed + path;
        first_line_bad = true;  // nothing says it is a text grid
        return false;
    }
    return read_text_grid(f.get(), path, options, grid, error, first_line_bad, {});
}

}  // namespace modelltool
