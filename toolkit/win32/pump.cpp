// The event pump: the queue of the program's own events (menu items, push buttons, close
// requests, field changes) and the wait for the next one, which runs the thread's message
// loop until the queue holds an event. Keys go through the dialogs' own handling first, so Tab,
// the access keys, Return and Escape work as in every Windows dialog.
#include "toolkit/win32/internal.h"
#include "toolkit/hooks.h"

namespace toolkit {

namespace detail {

void EventPump::post(const Event& e)
{
    if (e.kind == EventKind::FieldChanged && !field_changes_) return;
    queue_.push_back(e);
}

Event EventPump::wait()
{
    while (queue_.empty()) {
        // A test acts as the user would, while the program waits; what the step caused in the
        // windows is handled first.
        while (pump_one(false)) {
        }
        if (!queue_.empty()) break;
        if (run_step()) continue;
        waiting_ = true;
        const bool more = pump_one(true);
        waiting_ = false;
        if (!more) return {};
    }
    const Event e = queue_.front();
    queue_.pop_front();
    return e;
}

namespace {

// The dialog whose keyboard handling a message goes through: the progress dialog, a modal
// dialog, or the form of the window the message is for.
HWND keyboard_dialog(HWND target)
{
    const HWND root = GetAncestor(target, GA_ROOT);
    if (root == nullptr) return nullptr;
    const State& s = st();
    if (root == s.progress) return root;
    for (const LoadedDialog& d : s.loaded)
        if (d.hwnd == root) return root;
    for (const auto& [handle, w] : s.windows)
        if (w.hwnd == root) return w.dialog;
    return nullptr;
}

}  // namespace

bool pump_one(bool wait)
{
    MSG m;
    if (wait) {
        if (GetMessageW(&m, nullptr, 0, 0) <= 0) return false;
    } else if (!PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
        return false;
    } else if (m.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(m.wParam));
        return false;
    }
    if (m.message >= WM_KEYFIRST && m.message <= WM_KEYLAST) {
        if (HWND d = keyboard_dialog(m.hwnd); d != nullptr && IsDialogMessageW(d, &m)) return true;
    }
    TranslateMessage(&m);
    DispatchMessageW(&m);
    return true;
}

}  // namespace detail

void wmessageenable(EventKind kind, int enable)
{
    if (kind == EventKind::FieldChanged) detail::st().pump.enable_field_changes(enable != 0);
}

void wmessage(EventKind& kind, Event& event)
{
    event = detail::st().pump.wait();
    kind = event.kind;
}

void windowbell(const std::string& name)
{
    if (name.find_first_not_of(' ') != std::string::npos) return;  // named sounds are not used
    ++detail::st().bells;
    MessageBeep(MB_ICONWARNING);
}

}  // namespace toolkit
