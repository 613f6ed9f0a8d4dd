// Texts between the program (UTF-8, CR LF) and the system (UTF-16), and what screen readers
// learn of the controls beyond their labels.
#include "toolkit/win32/internal.h"

#include <initguid.h>
#include <oleacc.h>


namespace toolkit::detail {

std::wstring wide(std::string_view s)
{
    if (s.empty()) return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring w(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
    return w;
}

std::string narrow(std::wstring_view w)
{
    if (w.empty()) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr, nullptr);
    return s;
}

std::wstring control_text(std::string_view s)
{
    const std::wstring w = wide(s);
    std::wstring out;
    out.reserve(w.size() + w.size() / 32);
    for (std::size_t k = 0; k < w.size(); ++k) {
        if (w[k] == L'\n' && (k == 0 || w[k - 1] != L'\r')) out.push_back(L'\r');
        out.push_back(w[k]);
    }
    return out;
}

std::string text_of(HWND control)
{
    const int n = GetWindowTextLengthW(control);
    if (n <= 0) return {};
    std::wstring w(static_cast<std::size_t>(n) + 1, L'\0');
    const int got = GetWindowTextW(control, w.data(), n + 1);
    w.resize(static_cast<std::size_t>(got > 0 ? got : 0));
    return narrow(w);
}

namespace {

// The system's service for names and descriptions of standard controls; null where it is
// missing (names then come from the labels in front of the controls alone).
IAccPropServices* services()
{
    static IAccPropServices* s = [] {
        IAccPropServices* p = nullptr;
        if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) return p;
        if (FAILED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER, IID_IAccPropServices,
                                    reinterpret_cast<void**>(&p))))
            p = nullptr;
        return p;
    }();
    return s;
}

void set_property(HWND control, const MSAAPROPID& id, const std::wstring& text)
{
    if (IAccPropServices* s = services()) {
        if (text.empty()) s->ClearHwndProps(control, OBJID_CLIENT, CHILDID_SELF, const_cast<MSAAPROPID*>(&id), 1);
        else s->SetHwndPropStr(control, OBJID_CLIENT, CHILDID_SELF, id, text.c_str());
    }
}

}  // namespace

LOGFONTW message_font()
{
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) return metrics.lfMessageFont;
    LOGFONTW fallback{};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof fallback, &fallback);
    return fallback;
}

void set_accessible_name(HWND control, const std::wstring& name)
{
    set_property(control, PROPID_ACC_NAME, name);
}

void set_accessible_description(HWND control, const std::wstring& text)
{
    set_property(control, PROPID_ACC_DESCRIPTION, text);
}

void announce(HWND control)
{
    if (GetWindowTextLengthW(control) > 0) NotifyWinEvent(EVENT_SYSTEM_ALERT, control, OBJID_CLIENT, CHILDID_SELF);
}

}  // namespace toolkit::detail
