// The tests' view of the Win32 build in the terms of toolkit/testing.h. Clicks and choices go
// through the controls themselves, so the notifications are the ones a user causes.
#include "toolkit/win32/internal.h"

#include "toolkit/testing.h"

namespace toolkit::testing {

using namespace detail;

namespace {

std::string without_cr(std::string s)
{
    std::string out;
    for (std::size_t k = 0; k < s.size(); ++k)
        if (!(s[k] == '\r' && k + 1 < s.size() && s[k + 1] == '\n')) out.push_back(s[k]);
    return out;
}

}  // namespace

bool idle()
{
    return st().pump.idle();
}

int current_window()
{
    return st().current_window;
}

int current_dialog()
{
    return st().current_dialog_id;
}

int bell_count()
{
    return st().bells;
}

void post(const Event& event)
{
    st().pump.post(event);
}

bool has_field(int id)
{
    return current_field(id) != nullptr;
}

std::string field_text(int id)
{
    HWND f = current_field(id);
    if (f == nullptr) return {};
    if (is_class(f, L"ComboBox")) {
        const LRESULT k = SendMessageW(f, CB_GETCURSEL, 0, 0);
        if (k == CB_ERR) return {};
        std::wstring item(static_cast<std::size_t>(SendMessageW(f, CB_GETLBTEXTLEN, static_cast<WPARAM>(k), 0)) + 1, L'\0');
        SendMessageW(f, CB_GETLBTEXT, static_cast<WPARAM>(k), reinterpret_cast<LPARAM>(item.data()));
        return narrow(item.c_str());
    }
    return without_cr(text_of(f));
}

bool field_takes_input(int id)
{
    HWND f = current_field(id);
    if (f == nullptr || !IsWindowEnabled(f)) return false;
    return !is_class(f, L"Edit") || (GetWindowLongW(f, GWL_STYLE) & ES_READONLY) == 0;
}

int focused_field()
{
    const HWND f = GetFocus();
    if (f == nullptr || st().current_dialog == nullptr || !IsChild(st().current_dialog, f)) return 0;
    return GetDlgCtrlID(f);
}

void type_into(int id, const std::string& text)
{
    HWND f = current_field(id);
    if (f == nullptr) return;
    SendMessageW(st().current_dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(f), TRUE);
    // Not marked as the program's own change: the edit control reports it as typed.
    SetWindowTextW(f, control_text(text).c_str());
}

void click(int id)
{
    if (HWND f = current_field(id)) SendMessageW(f, BM_CLICK, 0, 0);
}

void choose(int id, int index)
{
    HWND f = current_field(id);
    if (f == nullptr) return;
    SendMessageW(f, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageW(GetParent(f), WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(f));
}

bool shows_whole(int id, int chars)
{
    HWND f = current_field(id);
    if (f == nullptr) return false;
    RECT r;
    GetWindowRect(f, &r);
    return r.right - r.left >= needed_width(f, chars);
}

bool window_open(int handle)
{
    auto it = st().windows.find(handle);
    return it != st().windows.end() && IsWindow(it->second.hwnd);
}

std::string window_title(int handle)
{
    auto it = st().windows.find(handle);
    return it == st().windows.end() ? std::string() : text_of(it->second.hwnd);
}

std::string status_text(int handle)
{
    auto it = st().windows.find(handle);
    return it == st().windows.end() ? std::string() : narrow(it->second.status_text);
}

bool menu_enabled(int handle, int item)
{
    auto it = st().windows.find(handle);
    if (it == st().windows.end() || it->second.menu == nullptr) return false;
    const UINT state = GetMenuState(it->second.menu, static_cast<UINT>(item), MF_BYCOMMAND);
    return state != static_cast<UINT>(-1) && (state & (MF_GRAYED | MF_DISABLED)) == 0;
}

bool window_on_screen(int handle)
{
    auto it = st().windows.find(handle);
    if (it == st().windows.end()) return false;
    RECT r;
    GetWindowRect(it->second.hwnd, &r);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoW(MonitorFromWindow(it->second.hwnd, MONITOR_DEFAULTTONEAREST), &info)) return false;
    const RECT& a = info.rcWork;
    return r.left >= a.left && r.top >= a.top && r.right <= a.right && r.bottom <= a.bottom;
}

}  // namespace toolkit::testing
