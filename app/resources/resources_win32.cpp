// The resources of the Win32 build are the DIALOGEX templates, the menu and the icon of
// geoid.rc, linked into the program; what the templates do not say comes from the field table.
#include "app/shell.h"

namespace geoid {

void register_resources()
{
    register_field_setups();
}

}  // namespace geoid
