#include "geoidmodell/text_grid.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
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
constexpr std::int64_t kMaxNodes = (1ll << 31) - 1;
constexpr std::int64_t kMaxSparseness = 4;  // grid nodes per node in the file at most

struct Node {
    double b, l, n;
};

// Reads the file line by line: each non-blank line must be three numbers.
class Lines {
public:
    explicit Lines(std::FILE* f) : f_(f) {}
    // 1: a node; 0: the end; -1: a line that is not three numbers (its text in `bad`).
    int next(const TextGridOptions& o, Node& node, std::string& bad)
    {
        for (;;) {
            if (!read_line()) return 0;
            ++number_;
            std::string_view rest = line_;
            double v[3];
            int count = 0;
            while (count < 4) {
                const std::size_t start = rest.find_first_not_of(" \t\r");
                if (start == std::string_view::npos) break;
                rest.remove_prefix(start);
                const std::size_t end = std::min(rest.find_first_of(" \t\r"), rest.size());
                if (count == 3 || !textio::parse_number(rest.substr(0, end), v[count])) {
                    count = -1;
                    break;
                }
                ++count;
                rest.remove_prefix(end);
            }
            if (count == 0) continue;  // a blank line
            if (count != 3) {
                bad = line_.substr(0, 60);
                return -1;
            }
            node = o.longitude_first ? Node{v[1], v[0], v[2]} : Node{v[0], v[1], v[2]};
            return 1;
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

}  // namespace

bool read_text_grid(const std::string& path, const TextGridOptions& options, TextGrid& grid, std::string& error,
                    bool& first_line_bad)
{
    first_line_bad = false;
    std::FILE* f = textio::fopen_for_reading(path);
    if (f == nullptr) {
        error = messages::kOpenFailed + path;
        first_line_bad = true;  // nothing says it is a text grid
        return false;
    }
    // First pass: the distinct latitudes and longitudes.
    std::set<long long> lats, lons;
    std::int64_t nodes = 0;
    Node node{};
    std::string bad;
    {
        Lines lines(f);
        for (int st; (st = lines.next(options, node, bad)) != 0;) {
            if (st < 0 || !std::isfinite(node.b) || !std::isfinite(node.l) || std::fabs(node.b) > 90 || std::fabs(node.l) > 360) {
                first_line_bad = lines.number() == 1;
                error = messages::fill(text::kTextGridLine, {path, std::to_string(lines.number()), textio::trim_trailing(bad).empty() ? "" : std::string(bad)});
                std::fclose(f);
                return false;
            }
            lats.insert(key(node.b));
            lons.insert(key(node.l));
            ++nodes;
        }
        if (lines.failed()) {
            error = messages::fill(text::kReadError, {path, ""});
            std::fclose(f);
            return false;
        }
    }
    double off_lat = 0, off_lon = 0;
    if (lats.size() < 2 || lons.size() < 2) {
        error = messages::fill(text::kTextGridTooSmall, {path});
        std::fclose(f);
        return false;
    }
    const bool lat_ok = axis(lats, grid.south, grid.db, grid.rows, off_lat);
    const bool lon_ok = axis(lons, grid.west, grid.dl, grid.cols, off_lon);
    if (lat_ok && lon_ok && (grid.rows > kMaxNodes || grid.cols > kMaxNodes || grid.rows > kMaxNodes / grid.cols)) {
        error = messages::fill(text::kTooLarge, {path, std::to_string(grid.rows), std::to_string(grid.cols)});
        std::fclose(f);
        return false;
    }
    // Gaps are nodes without a value, but a file that holds a quarter of its grid or less is
    // no grid: its memory would not be bounded by the file.
    if (lat_ok && lon_ok && grid.rows * grid.cols > kMaxSparseness * nodes + 64) {
        error = messages::fill(text::kTextGridSparse, {path, std::to_string(nodes), std::to_string(grid.rows * grid.cols)});
        std::fclose(f);
        return false;
    }
    grid.north = grid.south + static_cast<double>(grid.rows - 1) * grid.db;
    grid.east = grid.west + static_cast<double>(grid.cols - 1) * grid.dl;
    // Second pass: each node into its place; the line of a node off the grid is named.
    std::rewind(f);
    if (lat_ok && lon_ok) {
        grid.values.assign(static_cast<std::size_t>(grid.rows * grid.cols), std::numeric_limits<double>::quiet_NaN());
    }
    std::vector<bool> seen(lat_ok && lon_ok ? grid.values.size() : 0);
    Lines lines(f);
    for (int st; (st = lines.next(options, node, bad)) > 0;) {
        // The first line with a position off its axis.
        if ((!lat_ok && key(node.b) == key(off_lat)) || (!lon_ok && key(node.l) == key(off_lon))) {
            error = messages::fill(text::kTextGridIrregular, {path, std::to_string(lines.number())});
            std::fclose(f);
            return false;
        }
        if (!lat_ok || !lon_ok) continue;
        const double row = (grid.north - node.b) / grid.db, col = (node.l - grid.west) / grid.dl;
        const std::size_t at = static_cast<std::size_t>(std::llround(row) * grid.cols + std::llround(col));
        if (seen[at]) {
            error = messages::fill(text::kTextGridTwice, {path, std::to_string(lines.number())});
            std::fclose(f);
            return false;
        }
        seen[at] = true;
        if (node.n != options.no_data && std::isfinite(node.n)) grid.values[at] = node.n;
    }
    std::fclose(f);
    if (!(lat_ok && lon_ok) && error.empty()) error = messages::fill(text::kTextGridIrregular, {path, "?"});
    return lat_ok && lon_ok && error.empty();
}

}  // namespace modelltool
