// Dialogs and fields: dialogs from the program's DIALOGEX templates in the system's message
// font, the controls' notifications as events, modal dialogs over the current window, and the
// operations on the current dialog's fields by resource number.
#include "toolkit/win32/internal.h"
#include "toolkit/hooks.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>

#include "textio/textio.h"

namespace toolkit {

namespace detail {

namespace {

constexpr int kPictureId = 2002;  // the Info dialog's picture, drawn by the toolkit

// ---- templates ------------------------------------------------------------------------------

// Past a "sz_Or_Ord" of a template: nothing, an ordinal or a string.
const WORD* skip_name(const WORD* p)
{
    if (*p == 0x0000) return p + 1;
    if (*p == 0xFFFF) return p + 2;
    while (*p != 0) ++p;
    return p + 1;
}

std::size_t aligned(std::size_t n)
{
    return (n + 3) & ~std::size_t{3};
}

// A copy of a DIALOGEX template as a form (a child control of its window) or as a popup; a
// template in the shell's dialog font gets the system's message font, so the dialog units,
// and with them every control, follow the font the user has chosen.
DWORD align_style(TextAlign a);

// The alignment of the text fields as the program registered it: an edit control takes it only
// when it is made, so it goes into the template's items.
void align_items(std::vector<BYTE>& t, std::size_t items_at, int count, int dialog)
{
    auto registered = st().fields.find(dialog);
    if (registered == st().fields.end()) return;
    std::size_t at = items_at;
    for (int k = 0; k < count && at + 24 <= t.size(); ++k) {
        DWORD style, id;
        std::memcpy(&style, t.data() + at + 8, sizeof style);
        std::memcpy(&id, t.data() + at + 20, sizeof id);
        for (const FieldSetup& f : registered->second) {
            if (f.id != static_cast<int>(id) || (f.role != FieldSetup::Role::Text && f.role != FieldSetup::Role::Number)) continue;
            style = (style & ~static_cast<DWORD>(ES_LEFT | ES_CENTER | ES_RIGHT)) | align_style(f.align);
            std::memcpy(t.data() + at + 8, &style, sizeof style);
        }
        const WORD* p = skip_name(skip_name(reinterpret_cast<const WORD*>(t.data() + at + 24)));  // class, title
        const WORD extra = *p;
        at = aligned(static_cast<std::size_t>(reinterpret_cast<const BYTE*>(p + 1) - t.data()) + extra);
    }
}

struct Prepared {
    std::vector<BYTE> bytes;
    bool message_font = true;  ///< false: the template asks for a face of its own (a viewer's)
};

Prepared prepared_template(const BYTE* data, std::size_t size, bool child, int dialog)
{
    Prepared prepared{std::vector<BYTE>(data, data + size)};
    std::vector<BYTE>& out = prepared.bytes;
    const auto* words = reinterpret_cast<const WORD*>(data);
    if (size < 26 || words[0] != 1 || words[1] != 0xFFFF) return prepared;  // not a DIALOGEX
    DWORD style;
    std::memcpy(&style, data + 12, sizeof style);
    WORD count;
    std::memcpy(&count, data + 16, sizeof count);
    style &= ~static_cast<DWORD>(WS_VISIBLE);
    if (child) style = (style & ~static_cast<DWORD>(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_THICKFRAME)) |
                       WS_CHILD | DS_CONTROL;
    std::memcpy(out.data() + 12, &style, sizeof style);
    const WORD* p = skip_name(skip_name(reinterpret_cast<const WORD*>(data + 26)));  // menu, class
    while (*p != 0) ++p;  // title
    ++p;
    const std::size_t font_at = static_cast<std::size_t>(reinterpret_cast<const BYTE*>(p) - data);
    if ((style & DS_SETFONT) == 0) {
        align_items(out, aligned(font_at), count, dialog);
        return prepared;
    }
    const WORD* face = p + 3;  // point size, weight, italic and character set before it
    const std::wstring typeface(reinterpret_cast<const wchar_t*>(face));
    const std::size_t items_at = aligned(font_at + 6 + (typeface.size() + 1) * 2);
    if (typeface != L"MS Shell Dlg" && typeface != L"MS Shell Dlg 2") {
        prepared.message_font = false;
        align_items(out, items_at, count, dialog);
        return prepared;
    }
    const LOGFONTW font = message_font();
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    const int height = font.lfHeight < 0 ? -font.lfHeight : font.lfHeight;
    const WORD points = static_cast<WORD>(std::max(1, MulDiv(height, 72, dpi)));
    style &= ~static_cast<DWORD>(DS_FIXEDSYS);
    out.assign(data, data + font_at);
    std::memcpy(out.data() + 12, &style, sizeof style);
    const WORD head[2] = {points, static_cast<WORD>(font.lfWeight)};
    out.insert(out.end(), reinterpret_cast<const BYTE*>(head), reinterpret_cast<const BYTE*>(head) + sizeof head);
    out.push_back(font.lfItalic);
    out.push_back(font.lfCharSet);
    const std::wstring name(font.lfFaceName);
    out.insert(out.end(), reinterpret_cast<const BYTE*>(name.c_str()), reinterpret_cast<const BYTE*>(name.c_str() + name.size() + 1));
    out.resize(aligned(out.size()), 0);
    const std::size_t new_items_at = out.size();
    if (items_at < size) out.insert(out.end(), data + items_at, data + size);
    align_items(out, new_items_at, count, dialog);
    return prepared;
}

// ---- controls -------------------------------------------------------------------------------

LONG button_type(HWND control)
{
    return is_class(control, L"Button") ? GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK : -1;
}

bool is_radio(HWND control)
{
    const LONG t = button_type(control);
    return t == BS_AUTORADIOBUTTON || t == BS_RADIOBUTTON;
}

// Tab reaches the radio buttons of a form once, at the checked one.
void radio_tab_stops(HWND dialog)
{
    for (HWND c = GetWindow(dialog, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
        if (!is_radio(c)) continue;
        const LONG style = GetWindowLongW(c, GWL_STYLE);
        const bool checked = SendMessageW(c, BM_GETCHECK, 0, 0) == BST_CHECKED;
        SetWindowLongW(c, GWL_STYLE, checked ? style | WS_TABSTOP : style & ~WS_TABSTOP);
        SetWindowLongPtrW(c, GWLP_USERDATA, checked ? 1 : 0);  // the checked one, as the form knows it
    }
}

// The arrow keys move among a form's radio buttons and choose the one they reach.
LRESULT CALLBACK radio_keys(HWND radio, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR, DWORD_PTR)
{
    if (message == WM_GETDLGCODE) return DefSubclassProc(radio, message, wparam, lparam) | DLGC_WANTARROWS;
    if (message == WM_KEYDOWN && (wparam == VK_LEFT || wparam == VK_RIGHT || wparam == VK_UP || wparam == VK_DOWN)) {
        const bool forward = wparam == VK_RIGHT || wparam == VK_DOWN;
        const HWND dialog = GetParent(radio);
        std::vector<HWND> radios;
        for (HWND c = GetWindow(dialog, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT))
            if (is_radio(c) && IsWindowEnabled(c)) radios.push_back(c);
        const auto at = std::find(radios.begin(), radios.end(), radio);
        if (at == radios.end() || radios.size() < 2) return 0;
        const std::size_t k = static_cast<std::size_t>(at - radios.begin());
        const HWND next = radios[(k + (forward ? 1 : radios.size() - 1)) % radios.size()];
        SetFocus(next);
        SendMessageW(next, BM_CLICK, 0, 0);
        return 0;
    }
    return DefSubclassProc(radio, message, wparam, lparam);
}

// A number copied from a field of the forms (keyboard or context menu) reaches the clipboard
// without the blanks that pad it to its field's width.
LRESULT CALLBACK number_copy(HWND edit, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR, DWORD_PTR)
{
    if (message != WM_COPY) return DefSubclassProc(edit, message, wparam, lparam);
    DWORD from = 0, to = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    std::wstring text = wide(text_of(edit));
    if (to > text.size() || from >= to) return 0;
    text = text.substr(from, to - from);
    const std::size_t first = text.find_first_not_of(L' ');
    if (first == std::wstring::npos) return DefSubclassProc(edit, message, wparam, lparam);
    text = text.substr(first, text.find_last_not_of(L' ') + 1 - first);
    if (!OpenClipboard(edit)) return 0;
    EmptyClipboard();
    if (HGLOBAL g = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t))) {
        std::memcpy(GlobalLock(g), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
        GlobalUnlock(g);
        if (SetClipboardData(CF_UNICODETEXT, g) == nullptr) GlobalFree(g);
    }
    CloseClipboard();
    return 0;
}

DWORD align_style(TextAlign a)
{
    switch (a) {
    case TextAlign::Left: return ES_LEFT;
    case TextAlign::Right: return ES_RIGHT;
    case TextAlign::Centre: return ES_CENTER;
    }
    return ES_LEFT;
}

void apply(HWND control, const FieldSetup& f)
{
    using Role = FieldSetup::Role;
    if (f.role == Role::Reason) set_accessible_description(control, wide(f.name));
    else set_accessible_name(control, wide(f.name));
    if (f.role == Role::Text || f.role == Role::Number) {
        const LONG style = GetWindowLongW(control, GWL_STYLE);
        SetWindowLongW(control, GWL_STYLE, (style & ~(ES_LEFT | ES_CENTER | ES_RIGHT)) | static_cast<LONG>(align_style(f.align)));
        if (f.max_length > 0) SendMessageW(control, EM_SETLIMITTEXT, static_cast<WPARAM>(f.max_length), 0);
        SendMessageW(control, EM_SETREADONLY, f.read_only ? TRUE : FALSE, 0);
        if (f.chars > 0) {
            // Every digit shows, whatever font the user has: wider where the template is too narrow.
            RECT r;
            GetWindowRect(control, &r);
            const int need = needed_width(control, f.chars);
            if (r.right - r.left < need)
                SetWindowPos(control, nullptr, 0, 0, need, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        if (f.role == Role::Number) SetWindowSubclass(control, number_copy, 1, 0);
    }
    if (is_class(control, L"Button") && button_type(control) != BS_PUSHBUTTON && button_type(control) != BS_DEFPUSHBUTTON)
        SendMessageW(control, BM_SETCHECK, f.checked ? BST_CHECKED : BST_UNCHECKED, 0);
    if (f.role == Role::List) {
        SendMessageW(control, CB_RESETCONTENT, 0, 0);
        for (const std::string& item : f.items) SendMessageW(control, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(item).c_str()));
        SendMessageW(control, CB_SETCURSEL, static_cast<WPARAM>(f.selected), 0);
        SendMessageW(control, CB_SETMINVISIBLE, 10, 0);
    }
}

// A viewer's template asks for a typewriter face; where the system has none of that name, the
// text still gets a fixed-pitch font of the same size, so columns stay aligned.
void keep_fixed_pitch(HWND dialog)
{
    const auto font = reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));
    LOGFONTW lf{};
    if (font == nullptr || GetObjectW(font, sizeof lf, &lf) == 0) return;
    HDC dc = GetDC(dialog);
    const HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(dialog, dc);
    if ((tm.tmPitchAndFamily & TMPF_FIXED_PITCH) == 0) return;  // the flag set means variable pitch
    lf.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
    lf.lfFaceName[0] = L'\0';
    HFONT fixed = CreateFontIndirectW(&lf);
    if (fixed == nullptr) return;
    for (HWND c = GetWindow(dialog, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT))
        SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(fixed), TRUE);
    // Deleted with the dialog.
    SetPropW(dialog, L"geoid.font", fixed);
}

}  // namespace

bool is_class(HWND control, const wchar_t* name)
{
    wchar_t cls[32];
    return GetClassNameW(control, cls, 32) > 0 && _wcsicmp(cls, name) == 0;
}

HWND current_field(int id)
{
    return st().current_dialog != nullptr ? GetDlgItem(st().current_dialog, id) : nullptr;
}

int needed_width(HWND edit, int chars)
{
    HDC dc = GetDC(edit);
    const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(edit, WM_GETFONT, 0, 0)));
    int widest = 0;
    for (const wchar_t c : std::wstring_view(L"0123456789+-*.,")) {
        SIZE sz{};
        GetTextExtentPoint32W(dc, &c, 1, &sz);
        widest = std::max<int>(widest, sz.cx);
    }
    SelectObject(dc, old);
    ReleaseDC(edit, dc);
    const LRESULT margins = SendMessageW(edit, EM_GETMARGINS, 0, 0);
    RECT window, client;
    GetWindowRect(edit, &window);
    GetClientRect(edit, &client);
    const int frame = (window.right - window.left) - client.right;
    constexpr int kCaret = 2;  // the caret after the last digit
    return widest * chars + LOWORD(margins) + HIWORD(margins) + frame + kCaret;
}

void apply_fields(HWND dialog, int id)
{
    for (HWND c = GetWindow(dialog, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
        if (is_class(c, L"Edit") && (GetWindowLongW(c, GWL_STYLE) & ES_MULTILINE)) SendMessageW(c, EM_SETLIMITTEXT, 0, 0);
        if (is_radio(c)) SetWindowSubclass(c, radio_keys, 1, 0);
    }
    radio_tab_stops(dialog);
    auto it = st().fields.find(id);
    if (it == st().fields.end()) return;
    for (const FieldSetup& f : it->second)
        if (HWND c = GetDlgItem(dialog, f.id)) apply(c, f);
}

HWND create_dialog(int id, HWND parent, bool child)
{
    HRSRC res = FindResourceW(st().instance, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(5) /* RT_DIALOG */);
    if (res == nullptr) return nullptr;
    HGLOBAL g = LoadResource(st().instance, res);
    const auto* data = static_cast<const BYTE*>(LockResource(g));
    if (data == nullptr) return nullptr;
    const Prepared t = prepared_template(data, SizeofResource(st().instance, res), child, id);
    HWND d = CreateDialogIndirectParamW(st().instance, reinterpret_cast<LPCDLGTEMPLATEW>(t.bytes.data()), parent, dialog_proc,
                                        static_cast<LPARAM>(id));
    if (d != nullptr && !t.message_font) keep_fixed_pitch(d);
    return d;
}

namespace {

// A control's notification, or a modal dialog's OK, Escape and close box, as the window's event.
void command(HWND dialog, int id, int code, HWND control)
{
    State& s = st();
    // A modal dialog: OK, Escape and the close box end it.
    for (LoadedDialog& d : s.loaded) {
        if (d.hwnd != dialog) continue;
        if ((id == IDOK || id == IDCANCEL) && code == BN_CLICKED) d.ended = true;
        return;
    }
    const Window* w = window_of_dialog(dialog);
    if (w == nullptr) return;
    const int handle = handle_of(w->hwnd);
    if (control == nullptr || id == IDCANCEL) {
        // Escape: a viewer (a window without a menu) closes as its close box does.
        if (id == IDCANCEL && w->menu == nullptr) s.pump.post({EventKind::CloseRequest, handle, 0, 0});
        return;
    }
    if (code == BN_CLICKED) {
        const LONG type = button_type(control);
        if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON) {
            s.pump.post({EventKind::PushButton, handle, id, 0});
        } else if (!is_radio(control)) {
            s.pump.post({EventKind::FieldChanged, handle, id, id});
        } else if (SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED && GetWindowLongPtrW(control, GWLP_USERDATA) == 0) {
            // A radio button that becomes the checked one (a click on the checked one is none).
            radio_tab_stops(dialog);
            s.pump.post({EventKind::FieldChanged, handle, id, id});
        }
    } else if (code == EN_CHANGE && s.setting_text == 0) {
        // What the user types (not what the program puts there): the field and no second one.
        s.pump.post({EventKind::FieldChanged, handle, id, 0});
    } else if (code == CBN_SELCHANGE) {
        s.pump.post({EventKind::FieldChanged, handle, id, id});
    }
}

}  // namespace

INT_PTR CALLBACK dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam)
{
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrW(dialog, DWLP_USER, lparam);
        apply_fields(dialog, static_cast<int>(lparam));
        return TRUE;
    case WM_NCDESTROY:
        if (HANDLE font = RemovePropW(dialog, L"geoid.font")) DeleteObject(font);
        return FALSE;
    case WM_DRAWITEM: {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lparam);
        if (item->CtlID != kPictureId) return FALSE;
        draw_info_picture(item->hDC, item->rcItem);
        return TRUE;
    }
    case WM_CLOSE: command(dialog, IDCANCEL, BN_CLICKED, nullptr); return TRUE;
    case WM_COMMAND: command(dialog, LOWORD(wparam), HIWORD(wparam), reinterpret_cast<HWND>(lparam)); return TRUE;
    default: break;
    }
    return FALSE;
}

namespace {

// A dialog's texts wrap within their width; a text taller than its place pushes what stands
// below it, and the dialog's bottom, down.
void fit_texts(HWND dialog)
{
    for (HWND c = GetWindow(dialog, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
        if (!is_class(c, L"Static") || (GetWindowLongW(c, GWL_STYLE) & SS_TYPEMASK) != SS_LEFT) continue;
        RECT r;
        GetWindowRect(c, &r);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
        const std::wstring text = wide(text_of(c));
        HDC dc = GetDC(c);
        const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(c, WM_GETFONT, 0, 0)));
        RECT need{0, 0, r.right - r.left, 0};
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &need, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
        SelectObject(dc, old);
        ReleaseDC(c, dc);
        const int grow = need.bottom - (r.bottom - r.top);
        if (grow <= 0) continue;
        SetWindowPos(c, nullptr, 0, 0, r.right - r.left, need.bottom, SWP_NOMOVE | SWP_NOZORDER);
        for (HWND o = GetWindow(dialog, GW_CHILD); o != nullptr; o = GetWindow(o, GW_HWNDNEXT)) {
            RECT q;
            GetWindowRect(o, &q);
            MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&q), 2);
            if (o != c && q.top >= r.bottom) SetWindowPos(o, nullptr, q.left, q.top + grow, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        }
        RECT d;
        GetWindowRect(dialog, &d);
        SetWindowPos(dialog, nullptr, 0, 0, d.right - d.left, d.bottom - d.top + grow, SWP_NOMOVE | SWP_NOZORDER);
    }
}

}  // namespace

}  // namespace detail

using namespace detail;

void wdialogload(int id)
{
    State& s = st();
    HWND d = create_dialog(id, modal_owner(), false);
    if (d == nullptr) return;
    s.current_dialog_id = id;
    s.current_dialog = d;
    s.loaded.push_back({id, d, false});
}

void wdialogunload()
{
    State& s = st();
    if (s.loaded.empty()) return;
    const LoadedDialog top = s.loaded.back();
    s.loaded.pop_back();
    if (IsWindow(top.hwnd)) DestroyWindow(top.hwnd);
    if (s.current_dialog == top.hwnd || s.current_dialog_id == top.id) {
        const Window* w = current();
        s.current_dialog = w != nullptr ? w->dialog : nullptr;
        s.current_dialog_id = w != nullptr ? w->dialog_id : 0;
    }
}

void wdialogshow(int x, int y, int, int)
{
    State& s = st();
    if (s.loaded.empty() || !IsWindow(s.loaded.back().hwnd)) return;
    const HWND d = s.loaded.back().hwnd;
    s.loaded.back().ended = false;
    if (answering()) {
        // The texts of its fields, one per line, in the order of their numbers.
        std::map<int, std::string> texts;
        for (HWND c = GetWindow(d, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT))
            if (const int id = GetDlgCtrlID(c); id > 2 && GetWindowTextLengthW(c) > 0) texts[id] = text_of(c);
        std::string all;
        for (const auto& [id, t] : texts) all += (all.empty() ? "" : "\n") + t;
        answer({testing::Modal::Kind::Dialog, s.loaded.back().id, 0, text_of(d), all});
        return;
    }
    fit_texts(d);
    RECT r;
    GetWindowRect(d, &r);
    const int width = r.right - r.left, height = r.bottom - r.top;
    if (x == -1 && y == -1) {
        // Centred over its owner, or on the screen.
        RECT over{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        if (HWND owner = GetWindow(d, GW_OWNER)) GetWindowRect(owner, &over);
        x = over.left + (over.right - over.left - width) / 2;
        y = over.top + (over.bottom - over.top - height) / 2;
    }
    SetWindowPos(d, HWND_TOP, std::max(x, 0), std::max(y, 0), 0, 0, SWP_NOSIZE);
    // Application-modal: no other window of the program takes input meanwhile.
    enable_windows(false);
    ShowWindow(d, SW_SHOW);
    SetForegroundWindow(d);
    if (HWND ok = GetDlgItem(d, IDOK)) SendMessageW(d, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(ok), TRUE);
    const auto ended = [&s, d] {
        for (const LoadedDialog& l : s.loaded)
            if (l.hwnd == d) return l.ended || !IsWindow(d);
        return true;
    };
    while (!ended())
        if (!pump_one(true)) break;
    enable_windows(true);
    if (IsWindow(d)) ShowWindow(d, SW_HIDE);
    if (const Window* w = current()) SetForegroundWindow(w->hwnd);
}

void wdialogselect(int id)
{
    State& s = st();
    for (auto it = s.loaded.rbegin(); it != s.loaded.rend(); ++it) {
        if (it->id == id && IsWindow(it->hwnd)) {
            s.current_dialog_id = id;
            s.current_dialog = it->hwnd;
            return;
        }
    }
    // A dialog shown in a window: the current window's first, then any.
    if (const Window* w = current(); w != nullptr && w->dialog_id == id && w->dialog != nullptr) {
        s.current_dialog_id = id;
        s.current_dialog = w->dialog;
        return;
    }
    for (const auto& [handle, w] : s.windows) {
        if (w.dialog_id == id && w.dialog != nullptr) {
            s.current_dialog_id = id;
            s.current_dialog = w.dialog;
            return;
        }
    }
}

void wdialogputstring(int id, const std::string& text)
{
    HWND f = current_field(id);
    if (f == nullptr) return;
    ++st().setting_text;
    SetWindowTextW(f, control_text(text).c_str());
    --st().setting_text;
    // A reason that appears under a field is announced.
    if (auto it = st().fields.find(st().current_dialog_id); it != st().fields.end() && is_class(f, L"Static"))
        for (const FieldSetup& s : it->second)
            if (s.id == id && s.role == FieldSetup::Role::Reason) announce(f);
}

void wdialoggetstring(int id, std::string& text)
{
    HWND f = current_field(id);
    text = f != nullptr ? text_of(f) : std::string();
}

void wdialogfieldstate(int id, int state)
{
    HWND f = current_field(id);
    if (f == nullptr) return;
    // A text field the user cannot type in still shows its value at full contrast, and it can
    // be selected and copied: read-only, not disabled.
    if (is_class(f, L"Edit")) SendMessageW(f, EM_SETREADONLY, state == 0 ? TRUE : FALSE, 0);
    else EnableWindow(f, state != 0 ? TRUE : FALSE);
}

void wdialogsetdescription(int id, const std::string& text)
{
    if (HWND f = current_field(id)) set_accessible_description(f, wide(text));
}

void wdialogsetfield(int id)
{
    HWND f = current_field(id);
    if (f == nullptr) return;
    // Through the dialog, so that the default button follows and a text field's text is selected.
    SendMessageW(st().current_dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(f), TRUE);
    if (Window* w = window_of_dialog(st().current_dialog)) w->last_focus = f;
}

void wdialoggetcheckbox(int id, int& state)
{
    HWND f = current_field(id);
    state = f != nullptr && SendMessageW(f, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
}

void wdialoggetmenu1(int id, int& index)
{
    HWND f = current_field(id);
    const LRESULT k = f != nullptr ? SendMessageW(f, CB_GETCURSEL, 0, 0) : CB_ERR;
    index = k == CB_ERR ? 0 : static_cast<int>(k) + 1;
}

void integertostring(int value, std::string& text, std::string_view format)
{
    text = textio::format_integer(value, format);
}

}  // namespace toolkit
