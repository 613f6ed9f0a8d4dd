// Positions through PROJ: the candidate operations between a CRS and ETRS89, best first, each
// used for the points inside its area of use.
#include <cmath>
#include <string>
#include <vector>
#include <proj.h>

#include "crs/crs.h"
#include "messages/crs.h"
#include "messages/messages.h"
#include "textio/files.h"

namespace crs {

namespace {

using messages::fill;

constexpr const char* kEtrs89 = "EPSG:4258";

struct Candidate {
    PJ* op = nullptr;  // normalised: east (longitude) first, degrees
    double west = -180, south = -90, east = 180, north = 90;
    Operation about;
    std::int64_t used_to = 0, used_from = 0;  // points
};

bool inside(const Candidate& c, double lon, double lat)
{
    const bool in_lon = c.west <= c.east ? lon >= c.west && lon <= c.east : lon >= c.west || lon <= c.east;
    return in_lon && lat >= c.south && lat <= c.north;
}

bool finite(const PJ_COORD& c)
{
    return std::isfinite(c.xy.x) && std::isfinite(c.xy.y) && c.xy.x != HUGE_VAL && c.xy.y != HUGE_VAL;
}

class ProjTransform final : public Transform {
public:
    ProjTransform() : ctx_(proj_context_create())
    {
        // A program that brings PROJ's data along (the Windows ZIP: proj\ beside the programs)
        // finds it there, wherever it was unpacked and without any setting; others in PROJ's
        // own places.
        const std::string beside = textio::program_folder() + "/proj";
        if (textio::output_target(beside + "/proj.db").kind == textio::OutputTarget::Kind::Regular) {
            const char* paths[] = {beside.c_str()};
            proj_context_set_search_paths(ctx_, 1, paths);
        }
        // PROJ says why in its log; the last error is kept for the message.
        proj_log_level(ctx_, PJ_LOG_ERROR);
        proj_log_func(ctx_, &last_log_, [](void* last, int, const char* text) {
            if (text != nullptr) *static_cast<std::string*>(last) = text;
        });
    }
    ~ProjTransform() override
    {
        for (Candidate& c : candidates_) proj_destroy(c.op);
        proj_context_destroy(ctx_);
    }
    ProjTransform(const ProjTransform&) = delete;
    ProjTransform& operator=(const ProjTransform&) = delete;

    bool open(const std::string& code, std::string& error);
    bool geographic() const override { return geographic_; }
    bool to_etrs89(double east, double north, double& b, double& l) override;
    bool from_etrs89(double b, double l, double& east, double& north) override;
    std::vector<Operation> used_to_etrs89() const override { return used(&Candidate::used_to); }
    std::vector<Operation> used_from_etrs89() const override { return used(&Candidate::used_from); }

private:
    std::string reason() const
    {
        if (!last_log_.empty()) return last_log_;
        const char* text = proj_context_errno_string(ctx_, proj_context_errno(ctx_));
        return text != nullptr ? text : "";
    }
    std::vector<Operation> used(std::int64_t Candidate::*count) const
    {
        std::vector<Operation> out;
        for (const Candidate& c : candidates_)
            if (c.*count > 0) {
                out.push_back(c.about);
                out.back().points = c.*count;
            }
        return out;
    }

    PJ_CONTEXT* ctx_;
    std::string last_log_;
    std::vector<Candidate> candidates_;
    bool geographic_ = false;
};

// The horizontal CRS of what `code` names: itself, or the first part of a compound CRS.
PJ* horizontal(PJ_CONTEXT* ctx, PJ* crs)
{
    if (proj_get_type(crs) == PJ_TYPE_COMPOUND_CRS) {
        PJ* part = proj_crs_get_sub_crs(ctx, crs, 0);
        proj_destroy(crs);
        return part;
    }
    return crs;
}

// The grid files an operation uses: the name of the file installed here (BETA2007.gsb), else
// the name PROJ gives it.
std::vector<std::string> grids_of(PJ_CONTEXT* ctx, PJ* op)
{
    std::vector<std::string> grids;
    const int count = proj_coordoperation_get_grid_used_count(ctx, op);
    for (int k = 0; k < count; ++k) {
        const char* short_name = nullptr;
        const char* full_name = nullptr;
        if (!proj_coordoperation_get_grid_used(ctx, op, k, &short_name, &full_name, nullptr, nullptr, nullptr, nullptr, nullptr))
            continue;
        std::string name = full_name != nullptr && *full_name != '\0' ? full_name : short_name != nullptr ? short_name : "";
        if (const std::size_t slash = name.find_last_of("/\\"); slash != std::string::npos) name.erase(0, slash + 1);
        if (!name.empty()) grids.push_back(name);
    }
    return grids;
}

bool is_horizontal(PJ_TYPE t)
{
    return t == PJ_TYPE_GEOGRAPHIC_2D_CRS || t == PJ_TYPE_GEOGRAPHIC_3D_CRS || t == PJ_TYPE_PROJECTED_CRS;
}

bool ProjTransform::open(const std::string& code, std::string& error)
{
    // A PROJ string describes a CRS only when it says so.
    std::string definition = code;
    if (!definition.empty() && definition[0] == '+' && definition.find("type=crs") == std::string::npos)
        definition += " +type=crs";
    PJ* crs = proj_create(ctx_, definition.c_str());
    if (crs == nullptr) {
        error = fill(messages::crs::kUnknown, {code, reason()});
        return false;
    }
    crs = horizontal(ctx_, crs);
    PJ_TYPE type = crs != nullptr ? proj_get_type(crs) : PJ_TYPE_UNKNOWN;
    if (type == PJ_TYPE_BOUND_CRS) {
        PJ* base = proj_get_source_crs(ctx_, crs);
        type = base != nullptr ? proj_get_type(base) : PJ_TYPE_UNKNOWN;
        proj_destroy(base);
    }
    if (!is_horizontal(type)) {
        proj_destroy(crs);
        error = fill(messages::crs::kNotHorizontal, {code});
        return false;
    }
    geographic_ = type != PJ_TYPE_PROJECTED_CRS;
    PJ* etrs89 = proj_create(ctx_, kEtrs89);
    PJ_OPERATION_FACTORY_CONTEXT* factory = proj_create_operation_factory_context(ctx_, nullptr);
    proj_operation_factory_context_set_grid_availability_use(ctx_, factory,
                                                             PROJ_GRID_AVAILABILITY_DISCARD_OPERATION_IF_MISSING_GRID);
    proj_operation_factory_context_set_spatial_criterion(ctx_, factory, PROJ_SPATIAL_CRITERION_PARTIAL_INTERSECTION);
    PJ_OBJ_LIST* list = proj_create_operations(ctx_, crs, etrs89, factory);
    const int count = list != nullptr ? proj_list_get_count(list) : 0;
    for (int k = 0; k < count; ++k) {
        PJ* op = proj_list_get(ctx_, list, k);
        if (op == nullptr) continue;
        if (!proj_coordoperation_is_instantiable(ctx_, op)) {
            proj_destroy(op);
            continue;
        }
        Candidate c;
        c.about.name = proj_get_name(op) != nullptr ? proj_get_name(op) : "";
        c.about.accuracy = proj_coordoperation_get_accuracy(ctx_, op);
        c.about.datum_shift = proj_get_type(op) != PJ_TYPE_CONVERSION;
        c.about.grids = grids_of(ctx_, op);
        // An area PROJ does not know has all its bounds at -1000: no point lies inside it, so
        // such an operation serves a point only when no operation's area holds it.
        const char* area = nullptr;
        if (!proj_get_area_of_use(ctx_, op, &c.west, &c.south, &c.east, &c.north, &area))
            c.west = -180, c.south = -90, c.east = 180, c.north = 90;
        c.op = proj_normalize_for_visualization(ctx_, op);
        proj_destroy(op);
        if (c.op != nullptr) candidates_.push_back(c);
    }
    if (candidates_.empty()) error = fill(messages::crs::kNoOperation, {code, count == 0 ? reason() : "-"});
    proj_list_destroy(list);
    proj_operation_factory_context_destroy(factory);
    proj_destroy(etrs89);
    proj_destroy(crs);
    return !candidates_.empty();
}

// The best operation whose area holds the point; else the best that reaches it at all.
bool ProjTransform::to_etrs89(double east, double north, double& b, double& l)
{
    Candidate* fallback = nullptr;
    PJ_COORD fallback_result{};
    for (Candidate& c : candidates_) {
        const PJ_COORD r = proj_trans(c.op, PJ_FWD, proj_coord(east, north, 0, 0));
        if (!finite(r)) continue;
        if (inside(c, r.xy.x, r.xy.y)) {
            ++c.used_to;
            l = r.xy.x, b = r.xy.y;
            return true;
        }
        if (fallback == nullptr) fallback = &c, fallback_result = r;
    }
    if (fallback == nullptr) return false;
    ++fallback->used_to;
    l = fallback_result.xy.x, b = fallback_result.xy.y;
    return true;
}

bool ProjTransform::from_etrs89(double b, double l, double& east, double& north)
{
    Candidate* fallback = nullptr;
    for (Candidate& c : candidates_) {
        if (!inside(c, l, b) && fallback != nullptr) continue;
        const PJ_COORD r = proj_trans(c.op, PJ_INV, proj_coord(l, b, 0, 0));
        if (!finite(r)) continue;
        if (inside(c, l, b)) {
            ++c.used_from;
            east = r.xy.x, north = r.xy.y;
            return true;
        }
        if (fallback == nullptr) fallback = &c, east = r.xy.x, north = r.xy.y;
    }
    if (fallback == nullptr) return false;
    ++fallback->used_from;
    return true;
}

}  // namespace

bool available()
{
    return true;
}

std::unique_ptr<Transform> Transform::create(const std::string& code, std::string& error)
{
    auto t = std::make_unique<ProjTransform>();
    if (!t->open(code, error)) return nullptr;
    return t;
}

std::string gauss_krueger_code(int zone)
{
    return "EPSG:" + std::to_string(31464 + zone);
}

}  // namespace crs
