#include "file_form.h"

#include "fields.h"
#include "ids.h"
#include "koordinaten.h"
#include "textio.h"
#include "toolkit.h"

namespace geoid {

void read_file_form_fields()
{
    Koordinaten& k = koordinaten;
    int index = 0;
    toolkit::wdialoggetmenu1(kListInFormat, index);
    k.in_format = index;
    toolkit::wdialoggetmenu1(kListOutFormat, index);
    k.out_format = index;
    int ticked = 0;
    toolkit::wdialoggetcheckbox(kCheckPointNumber, ticked);
    k.pnr_flag = ticked;
    if (k.pnr_flag != 1) return;
    const Field* f = find_field(kFileDialog, kFieldPointNumberLength);
    std::string text;
    toolkit::wdialoggetstring(f->id, text);
    std::int32_t length = 0;
    if (!textio::text_to_int32(text, length)) length = 0;
    k.pnr_length = length;
    if (length < f->lowest || length > f->highest) {
        toolkit::windowbell("");
        k.field_error = 1;
        toolkit::wdialogsetfield(f->id);
    }
}

void file_form_button(int)
{
}

}  // namespace geoid
