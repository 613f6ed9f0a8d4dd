// What the field table says of each control, told to the toolkit for either window system:
// its accessible name, the width and alignment of a text field, whether the user can type there
// when the form opens, the entries of the lists and the order in which Tab moves through the
// form. Also the menu.
#include <vector>

#include "app/fields.h"
#include "app/ids.h"
#include "app/shell.h"
#include "messages/geoid.h"
#include "textio/textio.h"
#include "toolkit/toolkit.h"

namespace geoid {

namespace {

// Characters a text field must show whole: as many as its format writes ("(f12.3)": 12), else
// as its length says.
int shown_chars(const Field& f)
{
    textio::FieldFormat format;
    if (f.format != nullptr && textio::parse_format(f.format, format) && format.width > 0) return format.width;
    return f.length;
}

toolkit::TextAlign text_align(Align a)
{
    switch (a) {
    case Align::Left: return toolkit::TextAlign::Left;
    case Align::Right: return toolkit::TextAlign::Right;
    case Align::Centre: return toolkit::TextAlign::Centre;
    }
    return toolkit::TextAlign::Left;
}

toolkit::FieldSetup::Role role(Kind k)
{
    using R = toolkit::FieldSetup::Role;
    switch (k) {
    case Kind::Input:
    case Kind::Result: return R::Number;
    case Kind::FileName:
    case Kind::Text: return R::Text;
    case Kind::List: return R::List;
    case Kind::Label: return R::Label;
    case Kind::Reason: return R::Reason;
    case Kind::Radio:
    case Kind::Button:
    case Kind::CheckBox:
    case Kind::Preview: return R::Other;
    }
    return R::Other;
}

std::vector<toolkit::FieldSetup> setup_of(int dialog)
{
    std::vector<toolkit::FieldSetup> out;
    for (const Field& f : fields()) {
        if (f.dialog != dialog) continue;
        toolkit::FieldSetup s;
        s.id = f.id;
        s.role = role(f.kind);
        s.name = f.name;
        s.align = text_align(f.align);
        if (s.role == toolkit::FieldSetup::Role::Number || s.role == toolkit::FieldSetup::Role::Text) {
            s.chars = shown_chars(f);
            // A number field takes whatever is typed or pasted, so that a checked text is never
            // one cut short without a word ("52,5" cut to "52"); a sign field holds one sign.
            if (f.length > 0 && f.check == Check::Sign) s.max_length = f.length;
            s.read_only = f.kind == Kind::Result || f.kind == Kind::FileName ||
                          (f.kind == Kind::Input && f.system != kOpeningSystem);
        }
        s.checked = f.kind == Kind::Radio && f.system == kOpeningSystem;
        if (f.kind == Kind::List) {
            s.items = list_entries(f.id);
            // Format 2 when the form opens; the options off.
            s.selected = f.id == kListInFormat || f.id == kListOutFormat ? 1 : 0;
        }
        out.push_back(std::move(s));
    }
    return out;
}

}  // namespace

void register_field_setups()
{
    toolkit::register_fields(kPointDialog, setup_of(kPointDialog));
    toolkit::register_fields(kFileDialog, setup_of(kFileDialog));
    using namespace messages::geoid;
    toolkit::register_menu(kMenu, {{kItemModel, kMenuModel},
                                   {kItemPointForm, kMenuPointForm},
                                   {kItemFileForm, kMenuFileForm},
                                   {kItemHelp, kMenuHelp},
                                   {kItemInfo, kMenuInfo},
                                   {kItemQuit, kMenuQuit}});
}

}  // namespace geoid
