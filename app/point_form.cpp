#include "app/point_form.h"

#include "app/checks.h"
#include "app/ids.h"
#include "convert/convert.h"
#include "interp/query.h"
#include "messages/messages.h"
#include "textio/textio.h"
#include "toolkit/toolkit.h"

namespace geoid {

namespace {

bool is_input(const Field& f)
{
    return f.dialog == kPointDialog && f.kind == Kind::Input;
}

int first_field_of(System s)
{
    for (const Field& f : fields())
        if (is_input(f) && f.system == s) return f.id;
    return 0;
}

void write_field(const Field& f, Koordinaten& k)
{
    const VarRef v = var_ref(f.var, k);
    if (v.real != nullptr) put_string_real(f.id, *v.real, f.format);
    else if (v.integer != nullptr) put_string_integer(f.id, *v.integer, f.format);
    else if (v.sign != nullptr) toolkit::wdialogputstring(f.id, std::string(1, *v.sign));
}

}  // namespace

System selected_system()
{
    for (const Field& f : fields()) {
        if (f.dialog != kPointDialog || f.kind != Kind::Radio) continue;
        int state = 0;
        toolkit::wdialoggetcheckbox(f.id, state);
        if (state == 1) return f.system;
    }
    return System::None;
}

void input_enable(System s)
{
    for (const Field& f : fields())
        if (is_input(f)) toolkit::wdialogfieldstate(f.id, 0);
    if (s == System::None) return;
    for (const Field& f : fields())
        if (is_input(f) && f.system == s) toolkit::wdialogfieldstate(f.id, 1);
    toolkit::wdialogsetfield(first_field_of(s));
}

Reading<convert::Coordinates> readfields(System s, const convert::Coordinates& point)
{
    Reading<convert::Coordinates> r{point, 0};
    for (const Field& f : fields()) {
        if (!is_input(f) || f.system != s) continue;
        if (!check_field(f.id, r.values)) {
            r.failed_field = f.id;
            break;
        }
    }
    return r;
}

void writefields(Koordinaten& k, bool with_results)
{
    bool sexagesimal_done = false;
    for (const Field& f : fields()) {
        if (!is_input(f)) continue;
        if (f.system == System::Blh2 && !sexagesimal_done) {
            // Always the normalised form of the decimal angles, also after sexagesimal input.
            convert::gd2gms(k.point.ell_b, k.point.b_sign, k.point.b_deg, k.point.b_min, k.point.b_sec);
            convert::gd2gms(k.point.ell_l, k.point.l_sign, k.point.l_deg, k.point.l_min, k.point.l_sec);
            sexagesimal_done = true;
        }
        write_field(f, k);
    }
    const bool shown = with_results && k.height_anomaly != interp::kNoValue;
    for (const Field& f : fields()) {
        if (f.dialog != kPointDialog || f.kind != Kind::Result) continue;
        if (shown) write_field(f, k);
        else toolkit::wdialogputstring(f.id, "");
    }
}

void point_form_field(bool& point_shown, int field1, int field2)
{
    const Field* f = find_field(kPointDialog, field1);
    if (f == nullptr) return;
    // A radio button that changed state.
    if (field1 == field2 && f->kind == Kind::Radio) input_enable(f->system);
    // The user typed into an input field: N and H, and after a computation the other systems,
    // no longer belong to what the form shows.
    if (field2 == 0 && f->kind == Kind::Input) {
        for (const Field& r : fields()) {
            if (r.dialog != kPointDialog) continue;
            if (r.kind == Kind::Result) toolkit::wdialogputstring(r.id, "");
            // Sign fields go back to the "+" of a new form.
            if (point_shown && is_input(r) && r.system != f->system)
                toolkit::wdialogputstring(r.id, r.check == Check::Sign ? "+" : "");
        }
        point_shown = false;
        clear_reasons(kPointDialog);
    }
}

void point_form_button(Koordinaten& k, Windows& w, int button)
{
    const int point_window = w.point_window;
    if (button != kButtonComputePoint) return;
    toolkit::windowselect(point_window);
    toolkit::wdialogselect(kPointDialog);
    if (k.job.model_file.empty()) {
        write_errcode(kPointDialog, messages::kNoModel);
        return;
    }
    const System s = selected_system();
    clear_reasons(kPointDialog);
    const Reading<convert::Coordinates> typed = readfields(s, k.point);
    if (!typed.ok()) return;
    k.point = typed.values;
    convert::kokon(system_code(s), k.point);
    std::string message;
    messages::varnik1(k.point.ell_b, k.point.ell_l, k.job.model_file, k.height_anomaly, message);
    if (message.empty()) k.normal_height = k.point.ell_h - k.height_anomaly;
    else write_errcode(kPointDialog, message);
    writefields(k, message.empty());
    w.point_shown = true;
    toolkit::wdialogsetfield(first_field_of(s));
}

}  // namespace geoid
