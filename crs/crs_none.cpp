// A build without PROJ: no CRS can be created.
#include "crs/crs.h"

#include "messages/crs.h"

namespace crs {

bool available()
{
    return false;
}

std::unique_ptr<Transform> Transform::create(const std::string&, std::string& error)
{
    error = messages::crs::kNotInBuild;
    return nullptr;
}

std::string gauss_krueger_code(int zone)
{
    return "EPSG:" + std::to_string(31464 + zone);
}

}  // namespace crs
