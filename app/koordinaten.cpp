#include "app/koordinaten.h"

namespace geoid {

Koordinaten koordinaten;

}  // namespace geoid
