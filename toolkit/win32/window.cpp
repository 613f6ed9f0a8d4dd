// Windows: the hidden root window and the top-level windows, each showing one form (a child
// dialog) with its menu bar and status bar. A window larger than the screen's work area is
// made as large as the area and scrolls its form. Closing a window destroys everything in it.
#include "toolkit/win32/internal.h"

#include <commctrl.h>

#include <algorithm>


namespace toolkit {

namespace detail {

State& st()
{
    static State s;
    return s;
}

Window* current()
{
    auto it = st().windows.find(st().current_window);
    return it == st().windows.end() || it->second.hwnd == nullptr ? nullptr : &it->second;
}

Window* window_of_dialog(HWND dialog)
{
    for (auto& [handle, w] : st().windows)
        if (w.dialog == dialog) return &w;
    return nullptr;
}

void enable_windows(bool on)
{
    for (auto& [handle, w] : st().windows) EnableWindow(w.hwnd, on ? TRUE : FALSE);
}

HWND modal_owner()
{
    const Window* w = current();
    return w != nullptr ? w->hwnd : nullptr;
}

int handle_of(HWND hwnd)
{
    for (const auto& [handle, w] : st().windows)
        if (w.hwnd == hwnd) return handle;
    return 0;
}

namespace {

constexpr const wchar_t* kWindowClass = L"GeoidFenster";
constexpr const wchar_t* kRootClass = L"GeoidWurzel";
constexpr int kIconId = 1;

RECT work_area(POINT at, bool primary)
{
    MONITORINFO info{};
    info.cbSize = sizeof info;
    const HMONITOR m = primary ? MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY) : MonitorFromPoint(at, MONITOR_DEFAULTTONEAREST);
    if (!GetMonitorInfoW(m, &info)) return RECT{0, 0, 1024, 768};
    return info.rcWork;
}

int status_height(const Window& w)
{
    if (w.status == nullptr) return 0;
    RECT r;
    GetWindowRect(w.status, &r);
    return r.bottom - r.top;
}

// The scroll bars of a window smaller than its form, and the form moved to the scrolled place.
void update_scrolling(Window& w)
{
    RECT client;
    GetClientRect(w.hwnd, &client);
    const int room_x = client.right;
    const int room_y = client.bottom - status_height(w);
    w.scrolled.x = std::clamp<LONG>(w.scrolled.x, 0, std::max<LONG>(0, w.content.cx - room_x));
    w.scrolled.y = std::clamp<LONG>(w.scrolled.y, 0, std::max<LONG>(0, w.content.cy - room_y));
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    si.nMax = w.content.cx - 1;
    si.nPage = static_cast<UINT>(std::max(room_x, 0));
    si.nPos = w.scrolled.x;
    SetScrollInfo(w.hwnd, SB_HORZ, &si, TRUE);
    si.nMax = w.content.cy - 1;
    si.nPage = static_cast<UINT>(std::max(room_y, 0));
    si.nPos = w.scrolled.y;
    SetScrollInfo(w.hwnd, SB_VERT, &si, TRUE);
    if (w.dialog != nullptr)
        SetWindowPos(w.dialog, nullptr, -w.scrolled.x, -w.scrolled.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void scroll(Window& w, int bar, WPARAM request)
{
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL;
    GetScrollInfo(w.hwnd, bar, &si);
    int pos = si.nPos;
    switch (LOWORD(request)) {
    case SB_LINEUP: pos -= 16; break;
    case SB_LINEDOWN: pos += 16; break;
    case SB_PAGEUP: pos -= static_cast<int>(si.nPage); break;
    case SB_PAGEDOWN: pos += static_cast<int>(si.nPage); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: pos = si.nTrackPos; break;
    default: break;
    }
    (bar == SB_HORZ ? w.scrolled.x : w.scrolled.y) = pos;
    update_scrolling(w);
}

// A status-bar text that never widens its window: a path too long for the bar is shortened in
// the middle, so its end (the file name) stays visible; the tooltip has it whole.
void show_status(Window& w)
{
    if (w.status == nullptr) return;
    RECT r;
    GetClientRect(w.status, &r);
    std::wstring shown = w.status_text;
    shown.append(8, L'\0');  // room for the ellipsis DrawText writes into the text
    HDC dc = CreateCompatibleDC(nullptr);
    const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(w.status, WM_GETFONT, 0, 0)));
    RECT room{0, 0, std::max<LONG>(r.right - 8, 1), 100};
    DrawTextW(dc, shown.data(), static_cast<int>(w.status_text.size()), &room,
              DT_PATH_ELLIPSIS | DT_MODIFYSTRING | DT_NOPREFIX | DT_SINGLELINE | DT_CALCRECT);
    SelectObject(dc, old);
    DeleteDC(dc);
    shown.resize(wcslen(shown.c_str()));
    SendMessageW(w.status, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(shown.c_str()));
    SendMessageW(w.status, SB_SETTIPTEXTW, 0, reinterpret_cast<LPARAM>(w.status_text.c_str()));
}

LRESULT CALLBACK window_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam)
{
    State& s = st();
    const int handle = handle_of(hwnd);
    Window* w = handle != 0 ? &s.windows[handle] : nullptr;
    switch (message) {
    case WM_COMMAND:
        // A menu item (no control sends it): the program decides what it does.
        if (w != nullptr && lparam == 0 && HIWORD(wparam) == 0) {
            s.pump.post({EventKind::MenuSelect, handle, LOWORD(wparam), 0});
            return 0;
        }
        break;
    case WM_CLOSE:
        // The close box, Alt+F4 or the system menu: an event; the program closes the window.
        if (w != nullptr) s.pump.post({EventKind::CloseRequest, handle, 0, 0});
        return 0;
    case WM_ACTIVATE:
        // Back in the window, the keyboard returns to the control it was in.
        if (w != nullptr && w->dialog != nullptr) {
            if (LOWORD(wparam) == WA_INACTIVE) {
                const HWND f = GetFocus();
                if (f != nullptr && IsChild(w->dialog, f)) w->last_focus = f;
            } else {
                // First into the form's first control (a viewer's text: Escape then closes it).
                HWND target = w->last_focus != nullptr && IsWindow(w->last_focus) ? w->last_focus
                                                                                   : GetNextDlgTabItem(w->dialog, nullptr, FALSE);
                if (target != nullptr) {
                    SetFocus(target);
                    return 0;
                }
            }
        }
        break;
    case WM_SIZE:
        if (w != nullptr) {
            if (w->status != nullptr) SendMessageW(w->status, WM_SIZE, 0, 0);
            update_scrolling(*w);
            show_status(*w);
        }
        break;
    case WM_HSCROLL:
    case WM_VSCROLL:
        if (w != nullptr) scroll(*w, message == WM_HSCROLL ? SB_HORZ : SB_VERT, wparam);
        return 0;
    case WM_DPICHANGED: {
        // Moved to a screen of another scale: the size the system suggests for it there.
        const RECT* r = reinterpret_cast<const RECT*>(lparam);
        SetWindowPos(hwnd, nullptr, r->left, r->top, r->right - r->left, r->bottom - r->top, SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    default: break;
    }
    return DefWindowProcW(hwnd, message, wparam, lparam);
}

HMENU make_menu(int id)
{
    if (id == 0) return nullptr;
    if (HMENU m = LoadMenuW(st().instance, MAKEINTRESOURCEW(id))) return m;
    auto it = st().menus.find(id);
    if (it == st().menus.end()) return nullptr;
    HMENU m = CreateMenu();
    for (const MenuItem& item : it->second)
        AppendMenuW(m, MF_STRING, static_cast<UINT_PTR>(item.id), wide(item.text).c_str());
    return m;
}

// The window as large as its form and status bar, as far as the work area allows; at (x, y) or
// centred, and inside the area.
void place(Window& w, DWORD style, int x, int y)
{
    RECT form{0, 0, 200, 80};
    if (w.dialog != nullptr) GetWindowRect(w.dialog, &form);
    w.content = SIZE{form.right - form.left, form.bottom - form.top};
    RECT frame{0, 0, w.content.cx, w.content.cy + status_height(w)};
    AdjustWindowRectEx(&frame, style, w.menu != nullptr, WS_EX_CONTROLPARENT);
    int width = frame.right - frame.left;
    int height = frame.bottom - frame.top;
    const bool centred = x == kCentred || y == kCentred;
    const RECT area = work_area(POINT{x, y}, centred);
    const int room_w = area.right - area.left;
    const int room_h = area.bottom - area.top;
    if (width > room_w || height > room_h) {
        // Too large: as large as the area, with scroll bars for the rest of the form.
        SetWindowLongW(w.hwnd, GWL_STYLE, static_cast<LONG>(style | WS_HSCROLL | WS_VSCROLL));
        width = std::min(width + GetSystemMetrics(SM_CXVSCROLL), room_w);
        height = std::min(height + GetSystemMetrics(SM_CYHSCROLL), room_h);
    }
    if (centred) {
        x = area.left + (room_w - width) / 2;
        y = area.top + (room_h - height) / 2;
    }
    x = std::clamp<int>(x, area.left, std::max<int>(area.left, area.right - width));
    y = std::clamp<int>(y, area.top, std::max<int>(area.top, area.bottom - height));
    SetWindowPos(w.hwnd, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

}  // namespace

}  // namespace detail

using namespace detail;

void register_fields(int dialog, std::vector<FieldSetup> fields)
{
    st().fields[dialog] = std::move(fields);
}

void register_menu(int id, std::vector<MenuItem> items)
{
    st().menus[id] = std::move(items);
}

void winitialise()
{
    State& s = st();
    s.instance = GetModuleHandleW(nullptr);
    s.pump.clear();
    s.pump.enable_field_changes(false);
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_STANDARD_CLASSES | ICC_BAR_CLASSES | ICC_PROGRESS_CLASS | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = window_proc;
    wc.hInstance = s.instance;
    wc.hIcon = LoadIconW(s.instance, MAKEINTRESOURCEW(kIconId));
    wc.hIconSm = static_cast<HICON>(LoadImageW(s.instance, MAKEINTRESOURCEW(kIconId), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                               GetSystemMetrics(SM_CYSMICON), 0));
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kWindowClass;
    RegisterClassExW(&wc);
    wc.lpfnWndProc = DefWindowProcW;
    wc.lpszClassName = kRootClass;
    RegisterClassExW(&wc);
}

void windowopen2()
{
    st().root = CreateWindowExW(0, kRootClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, st().instance, nullptr);
}

void windowopenchild2(int& handle, int flags, int x, int y, int menu, int dialog, const std::string& title)
{
    State& s = st();
    handle = s.next_handle++;
    DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_CLIPCHILDREN;
    if (flags & kSysMenu) style |= WS_SYSMENU;
    if (flags & kMinButton) style |= WS_MINIMIZEBOX;
    Window& w = s.windows[handle];
    w.menu = make_menu(menu);
    w.dialog_id = dialog;
    w.hwnd = CreateWindowExW(WS_EX_CONTROLPARENT, kWindowClass, wide(title).c_str(), style, CW_USEDEFAULT, CW_USEDEFAULT, 400,
                             300, nullptr, w.menu, s.instance, nullptr);
    if (dialog != 0) w.dialog = create_dialog(dialog, w.hwnd, true);
    if (flags & kStatusBar)
        w.status = CreateWindowExW(0, L"msctls_statusbar32", L"", WS_CHILD | WS_VISIBLE | SBARS_TOOLTIPS, 0, 0, 0, 0, w.hwnd, nullptr,
                                   s.instance, nullptr);
    if (w.status != nullptr && w.dialog != nullptr)
        SendMessageW(w.status, WM_SETFONT, SendMessageW(w.dialog, WM_GETFONT, 0, 0), FALSE);
    place(w, style, x, y);
    if (w.dialog != nullptr) ShowWindow(w.dialog, SW_SHOW);
    ShowWindow(w.hwnd, SW_SHOW);
    SetForegroundWindow(w.hwnd);
    s.current_window = handle;
    s.current_dialog_id = dialog;
    s.current_dialog = w.dialog;
}

void windowclosechild(int handle)
{
    State& s = st();
    auto it = s.windows.find(handle);
    if (it == s.windows.end()) return;
    // Taken out of the table first: nothing can reach the window while it goes.
    const Window w = it->second;
    s.windows.erase(it);
    if (s.current_window == handle) s.current_window = 0;
    if (s.current_dialog == w.dialog) {
        s.current_dialog = nullptr;
        s.current_dialog_id = 0;
    }
    if (w.hwnd != nullptr) DestroyWindow(w.hwnd);  // its form, menu and status bar with it
}

void windowclose()
{
    State& s = st();
    while (!s.loaded.empty()) wdialogunload();
    while (!s.windows.empty()) windowclosechild(s.windows.begin()->first);
    if (s.root != nullptr) DestroyWindow(s.root);
    s.root = nullptr;
    s.pump.clear();
}

void windowselect(int handle)
{
    auto it = st().windows.find(handle);
    if (it == st().windows.end() || it->second.hwnd == nullptr) return;
    st().current_window = handle;
}

int winfowindow(int item)
{
    const Window* w = current();
    if (w == nullptr) return 0;
    RECT r;
    GetWindowRect(w->hwnd, &r);
    if (item == 5) return r.left;
    if (item == 6) return r.top;
    return 0;
}

void windowoutstatusbar(int part, const std::string& text)
{
    Window* w = current();
    if (w == nullptr || w->status == nullptr || part != 1) return;
    w->status_text = wide(text.substr(0, text.find_last_not_of(' ') + 1));
    show_status(*w);
}

void wmenusetstate(int item, int kind, int state)
{
    Window* w = current();
    if (w == nullptr || w->menu == nullptr || kind != 1) return;
    EnableMenuItem(w->menu, static_cast<UINT>(item), MF_BYCOMMAND | (state != 0 ? MF_ENABLED : MF_GRAYED));
    DrawMenuBar(w->hwnd);
}

}  // namespace toolkit
