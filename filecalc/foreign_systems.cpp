#include "filecalc/foreign_systems.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <vector>

#include "crs/crs.h"
#include "messages/crs.h"
#include "messages/messages.h"

namespace filecalc {

namespace {

// Zone z has its central meridian at 3z degrees east; a point without a longitude is written
// in zone 3.
constexpr double kZoneDegrees = 3.0;
constexpr int kDefaultZone = 3;

// The CRS the command line checked, or made now from its code.
bool take(const std::string& code, const std::shared_ptr<crs::Transform>& checked, std::shared_ptr<crs::Transform>& t,
          std::string& error)
{
    t = checked != nullptr ? checked : std::shared_ptr<crs::Transform>(crs::Transform::create(code, error));
    return t != nullptr;
}

}  // namespace

ForeignSystems::ForeignSystems() = default;
ForeignSystems::~ForeignSystems() = default;

bool ForeignSystems::open(const Job& job, const FileFormat*& in, const FileFormat*& out, std::string& error)
{
    if (!job.in_crs.empty()) {
        if (!take(job.in_crs, job.in_transform, in_crs_, error)) return false;
        in_crs_format_ = crs_format(in_crs_->geographic());
        in = &in_crs_format_;
    }
    if (!job.out_crs.empty()) {
        if (!take(job.out_crs, job.out_transform, out_crs_, error)) return false;
        out_crs_format_ = crs_format(out_crs_->geographic());
        out = job.out_crs == job.in_crs ? in : &out_crs_format_;
    }
    return true;
}

crs::Transform* ForeignSystems::gauss_krueger(int zone)
{
    std::shared_ptr<crs::Transform>& t = gauss_krueger_[zone - kFirstGkZone];
    if (t == nullptr && error_.empty()) t = crs::Transform::create(crs::gauss_krueger_code(zone), error_);
    return t.get();
}

bool ForeignSystems::to_etrs89(const FileFormat& in, int gk_zone, convert::Coordinates& p)
{
    crs::Transform* t = in.foreign == Foreign::Crs ? in_crs_.get() : gauss_krueger(gk_zone);
    return t != nullptr && t->to_etrs89(p.foreign_east, p.foreign_north, p.ell_b, p.ell_l);
}

void ForeignSystems::from_etrs89(const FileFormat& in, const FileFormat& out, int gk_zone, convert::Coordinates& p)
{
    crs::Transform* t = out_crs_.get();
    if (out.foreign == Foreign::GaussKrueger) {
        const int zone = in.foreign == Foreign::GaussKrueger ? gk_zone
                         : std::isfinite(p.ell_l) ? std::clamp(static_cast<int>(std::lround(p.ell_l / kZoneDegrees)), kFirstGkZone, kLastGkZone)
                                                 : kDefaultZone;
        t = gauss_krueger(zone);
    }
    if (t == nullptr || !t->from_etrs89(p.ell_b, p.ell_l, p.foreign_east, p.foreign_north))
        p.foreign_east = p.foreign_north = std::nan("");
}

std::string ForeignSystems::operation_lines() const
{
    std::string lines;
    const auto add = [&lines](const std::vector<crs::Operation>& ops, const char* stated, const char* unstated) {
        for (const crs::Operation& op : ops) {
            if (!op.datum_shift) continue;
            const std::string points =
                op.points == 1 ? std::string(messages::crs::kOnePoint) : messages::fill(messages::crs::kPoints, {std::to_string(op.points)});
            std::string grids;
            for (const std::string& g : op.grids) grids += (grids.empty() ? "" : ", ") + g;
            if (grids.empty()) grids = messages::crs::kNoGrid;
            // The accuracy as German writes it: 0,9.
            char accuracy[32];
            const auto res = std::to_chars(accuracy, accuracy + sizeof accuracy, op.accuracy);
            std::string metres(accuracy, res.ptr);
            std::replace(metres.begin(), metres.end(), '.', ',');
            if (!lines.empty()) lines += "\r\n";
            lines += op.accuracy >= 0 ? messages::fill(stated, {points, grids, metres, op.name})
                                      : messages::fill(unstated, {points, grids, op.name});
        }
    };
    std::vector<const crs::Transform*> all;
    for (const auto& t : gauss_krueger_) all.push_back(t.get());
    all.push_back(in_crs_.get());
    all.push_back(out_crs_.get());
    for (const crs::Transform* t : all)
        if (t != nullptr) add(t->used_to_etrs89(), messages::crs::kToEtrs89, messages::crs::kToEtrs89Unstated);
    for (const crs::Transform* t : all)
        if (t != nullptr) add(t->used_from_etrs89(), messages::crs::kFromEtrs89, messages::crs::kFromEtrs89Unstated);
    return lines;
}

}  // namespace filecalc
