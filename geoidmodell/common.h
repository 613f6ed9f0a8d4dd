// Helpers shared by the parts of geoidmodell: results, GDAL set-up, output files written under
// a temporary name, and a model file read row by row.
#pragma once

#include <gdal_priv.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "convert/convert.h"
#include "interp/grid.h"
#include "interp/model.h"
#include "geoidmodell/modelltool.h"
#include "geoidmodell/output.h"
#include "interp/query.h"
#include "messages/messages.h"

namespace modelltool::detail {

constexpr double kPositionTolerance = 1e-9;             // degrees: how far from whole micro-arc-seconds
constexpr std::uint64_t kMaxNodes = (1ull << 31) - 1;   // nodes a model may have here
constexpr std::int32_t kNoValue = interp::kNoValueRecord;
constexpr double kGtxNoData = -88.8888;                 // the GTX format's "no value"

inline Result fail(std::string message)
{
    return {false, std::move(message)};
}

inline std::string gdal_reason()
{
    const char* m = CPLGetLastErrorMsg();
    return m != nullptr && *m != '\0' ? std::string(" (") + m + ")" : std::string();
}

inline void gdal_init()
{
    static const bool done = [] {
        GDALAllRegister();
        CPLSetConfigOption("GDAL_PAM_ENABLED", "NO");  // no side files (.aux.xml) beside ours
        CPLSetErrorHandler(CPLQuietErrorHandler);  // reasons are reported in our own words
        return true;
    }();
    (void)done;
    CPLErrorReset();
}

// Degrees as whole micro-arc-seconds, when they are that within kPositionTolerance.
inline bool whole_micro(double degrees, std::int64_t& micro)
{
    if (!(std::fabs(degrees) <= 1000.0)) return false;
    const double per_degree = static_cast<double>(interp::kMicroArcsecPerDegree);
    micro = std::llround(degrees * per_degree);
    return std::fabs(static_cast<double>(micro) / per_degree - degrees) <= kPositionTolerance;
}

// A number with `decimals` places, as wide as it needs.
inline std::string plain(double v, int decimals)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
    return buf;
}

inline std::string degrees_text(double v, int decimals = 6)
{
    return plain(v, decimals) + "\xC2\xB0";
}

// An opened model: its header and its rows read one at a time.
struct OpenModel {
    interp::ModelFile file;
    interp::GridHeader h;
    std::string message;

    bool open(const std::string& path, bool checked = true)
    {
        if (checked) {
            message = messages::model_message(interp::check_model(path), path);
            if (!message.empty()) return false;
        }
        if (!file.open(path)) {
            message = messages::kOpenFailed + path;
            return false;
        }
        if (interp::read_header(file, h) != interp::HeaderStatus::Ok) {
            message = messages::kHeaderFailed + path;
            return false;
        }
        return true;
    }
    /// The values of all rows the file holds: range, nodes without a value, rows missing.
    struct Scan {
        std::int32_t lo = 0, hi = 0;
        bool any = false;  // any node with a value
        std::int64_t no_value = 0;
        std::int64_t missing_rows = 0;  // from the first row the file does not hold whole
    };
    Scan scan() const
    {
        Scan s;
        std::vector<std::int32_t> values;
        for (std::int64_t r = 1; r <= h.nb; ++r) {
            if (!row(r, values)) {
                s.missing_rows = h.nb - r + 1;
                break;
            }
            for (const std::int32_t v : values) {
                if (v >= interp::kNoValueRecord) {
                    ++s.no_value;
                    continue;
                }
                s.lo = s.any ? std::min(s.lo, v) : v;
                s.hi = s.any ? std::max(s.hi, v) : v;
                s.any = true;
            }
        }
        return s;
    }
    // Row `row` (from 1, north to south); false when the file does not hold it whole.
    bool row(std::int64_t row, std::vector<std::int32_t>& values) const
    {
        values.resize(static_cast<std::size_t>(h.nl));
        std::vector<unsigned char> raw(values.size() * interp::kRecordBytes);
        if (!file.read_raw(interp::node_record(h, row, 1), values.size(), raw.data())) return false;
        for (std::size_t c = 0; c < values.size(); ++c) values[c] = interp::record_at(raw.data() + 4 * c);
        return true;
    }
};


}  // namespace modelltool::detail
