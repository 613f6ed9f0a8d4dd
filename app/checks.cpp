#include "app/checks.h"

#include "app/fields.h"
#include "app/ids.h"
#include "textio/textio.h"
#include "toolkit/toolkit.h"
#include "messages/messages.h"

namespace geoid {

namespace {

std::string field_text(int field)
{
    std::string text;
    toolkit::wdialoggetstring(field, text);
    return text;
}

// A failed check shows no message: the warning, the focus on the field, the flag.
void fail(int field, std::int32_t& error)
{
    toolkit::windowbell("");
    toolkit::wdialogsetfield(field);
    error = 1;
}

}  // namespace

void check_real(int field, double& value, double lowest, double highest, std::int32_t& error)
{
    error = 0;
    if (!check_real_text(field_text(field), value, lowest, highest)) fail(field, error);
}

void check_integer(int field, std::int32_t& value, std::int32_t lowest, std::int32_t highest, std::int32_t& error)
{
    error = 0;
    if (!check_integer_text(field_text(field), value, lowest, highest)) fail(field, error);
}

void check_vorzeichen(int field, char& sign, std::int32_t& error)
{
    error = 0;
    if (!check_sign_text(field_text(field), sign)) fail(field, error);
}

bool check_field(int field, convert::Coordinates& point)
{
    const Field* f = find_field(kPointDialog, field);
    if (f == nullptr) return true;
    const VarRef v = var_ref(f->var, point);
    std::int32_t e = 0;
    switch (f->check) {
    case Check::Real: check_real(field, *v.real, f->lowest, f->highest, e); break;
    case Check::Integer:
        check_integer(field, *v.integer, static_cast<std::int32_t>(f->lowest), static_cast<std::int32_t>(f->highest), e);
        break;
    case Check::Sign: check_vorzeichen(field, *v.sign, e); break;
    case Check::None: break;
    }
    if (e != 0) show_reason(kPointDialog, field);
    return e == 0;
}

void show_reason(int dialog, int id)
{
    const Field* f = find_field(dialog, id);
    if (f == nullptr) return;
    const std::string reason = check_reason(*f);
    if (const Field* line = reason_field(dialog, f->system)) toolkit::wdialogputstring(line->id, reason);
    toolkit::wdialogsetdescription(id, reason);
}

void clear_reasons(int dialog)
{
    for (const Field& f : fields()) {
        if (f.dialog != dialog) continue;
        if (f.kind == Kind::Reason) toolkit::wdialogputstring(f.id, "");
        else if (f.check != Check::None) toolkit::wdialogsetdescription(f.id, "");
    }
}

void put_string_real(int field, double value, const std::string& format)
{
    toolkit::wdialogputstring(field, textio::format_real(value, format));
}

void put_string_integer(int field, std::int32_t value, const std::string& format)
{
    std::string text;
    toolkit::integertostring(value, text, format);
    toolkit::wdialogputstring(field, text);
}

void write_errcode(int dialog, const std::string& message)
{
    toolkit::wdialogload(kErrorDialog);
    toolkit::windowbell("");
    toolkit::wdialogputstring(kErrorText, std::string(textio::trim_trailing(message)));
    toolkit::wdialogshow(-1, -1, 0, 1);
    toolkit::wdialogunload();
    if (dialog != -1) toolkit::wdialogselect(dialog);
}

void write_message(int dialog, const std::string& message)
{
    toolkit::windowbell("");
    toolkit::wmessagebox(0, 4, 1, std::string(textio::trim_trailing(message)), messages::kClosingTitle);
    if (dialog != -1) toolkit::wdialogselect(dialog);
}

}  // namespace geoid
