// The progress dialog of a long computation: a text, a bar in whole percent and "Abbrechen".
// While it is shown no other window of the program takes input, yet every window stays
// painted; Escape and the close box cancel as the button does.
#include "toolkit/win32/internal.h"
#include "toolkit/hooks.h"

#include <commctrl.h>

#include <algorithm>

#include "messages/geoid.h"

namespace toolkit {

using namespace detail;

namespace {

constexpr const wchar_t* kProgressClass = L"GeoidFortschritt";
constexpr int kTextId = 100;
constexpr int kBarId = 101;

struct Progress {
    HWND text = nullptr;
    HWND bar = nullptr;
    HFONT font = nullptr;
    bool cancelled = false;
    std::wstring shown;
};

Progress& progress()
{
    static Progress p;
    return p;
}

LRESULT CALLBACK progress_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam)
{
    if ((message == WM_COMMAND && LOWORD(wparam) == IDCANCEL) || message == WM_CLOSE) {
        progress().cancelled = true;
        return 0;
    }
    return DefWindowProcW(hwnd, message, wparam, lparam);
}

}  // namespace

namespace {

// The dialog's window and controls, laid out in the message font's units, so it grows with the
// font and the screen's scale; the cancel button is returned.
HWND make_progress(const std::string& title)
{
    State& s = st();
    static const bool registered = [] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = progress_proc;
        wc.hInstance = st().instance;
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = kProgressClass;
        return RegisterClassExW(&wc) != 0;
    }();
    (void)registered;
    Progress& p = progress();
    p = Progress{};
    const LOGFONTW font = message_font();
    p.font = CreateFontIndirectW(&font);
    HDC dc = GetDC(nullptr);
    const HGDIOBJ old = SelectObject(dc, p.font);
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    const int em = std::max<int>(tm.tmAveCharWidth, 4);
    const int line = tm.tmHeight;
    const int margin = em * 2;
    const int width = em * 56;
    const int button_w = em * 14, button_h = line * 7 / 4;
    const int client_h = margin + line + margin / 2 + line + margin + button_h + margin;
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_DLGFRAME;
    RECT frame{0, 0, width + 2 * margin, client_h};
    AdjustWindowRectEx(&frame, style, FALSE, WS_EX_DLGMODALFRAME);
    const int fw = frame.right - frame.left, fh = frame.bottom - frame.top;
    RECT over{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (HWND owner = modal_owner()) GetWindowRect(owner, &over);
    const int x = std::max<int>(0, over.left + (over.right - over.left - fw) / 2);
    const int y = std::max<int>(0, over.top + (over.bottom - over.top - fh) / 2);
    s.progress = CreateWindowExW(WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, kProgressClass, wide(title).c_str(), style, x, y, fw, fh,
                                 modal_owner(), nullptr, s.instance, nullptr);
    p.text = CreateWindowExW(0, L"Static", L"", WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, margin, margin, width, line,
                             s.progress, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kTextId)), s.instance, nullptr);
    p.bar = CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD | WS_VISIBLE, margin, margin + line + margin / 2, width, line,
                            s.progress, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kBarId)), s.instance, nullptr);
    const HWND cancel = CreateWindowExW(0, L"Button", wide(messages::geoid::kCancelButton).c_str(),
                                        WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, margin + width - button_w,
                                        client_h - margin - button_h, button_w, button_h, s.progress,
                                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDCANCEL)), s.instance, nullptr);
    for (HWND c : {p.text, p.bar, cancel}) SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(p.font), FALSE);
    SendMessageW(p.bar, PBM_SETRANGE32, 0, 100);  // whole percent, as the text says them
    set_accessible_name(p.bar, wide(messages::geoid::kProgressName));
    return cancel;
}

}  // namespace

void wprogressshow(const std::string& title)
{
    wprogressclose();
    State& s = st();
    const HWND cancel = make_progress(title);
    enable_windows(false);
    ShowWindow(s.progress, SW_SHOW);
    SetForegroundWindow(s.progress);
    SetFocus(cancel);
    while (pump_one(false)) {
    }
}

int wprogressupdate(int percent, const std::string& text)
{
    Progress& p = progress();
    if (st().progress == nullptr) return 0;
    // The text first: both must agree when the bar paints.
    const std::wstring w = wide(text);
    if (w != p.shown) {
        SetWindowTextW(p.text, w.c_str());
        p.shown = w;
    }
    SendMessageW(p.bar, PBM_SETPOS, static_cast<WPARAM>(std::clamp(percent, 0, 100)), 0);
    if (answering() && answer({testing::Modal::Kind::Progress, 0, std::clamp(percent, 0, 100), text_of(st().progress), text}) == "cancel")
        p.cancelled = true;
    // Paints the windows and lets "Abbrechen" be pressed; the other windows take no input.
    while (pump_one(false)) {
    }
    return p.cancelled ? 1 : 0;
}

void wprogressclose()
{
    State& s = st();
    if (s.progress == nullptr) return;
    enable_windows(true);
    DestroyWindow(s.progress);
    s.progress = nullptr;
    if (progress().font != nullptr) DeleteObject(progress().font);
    progress() = Progress{};
    if (const Window* w = current()) SetForegroundWindow(w->hwnd);
}

}  // namespace toolkit
