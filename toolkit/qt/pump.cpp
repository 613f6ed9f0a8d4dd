// The event pump: the queue of the program's own events (menu items, push buttons, close
// requests, field changes) and the wait for the next one, which runs Qt's event loop until
// the queue holds an event. Waits nest: a wait inside a modal dialog serves the innermost.
#include <QApplication>
#include <QEventLoop>
#include <QThread>

#include "toolkit/hooks.h"
#include "toolkit/qt/internal.h"
#include "toolkit/toolkit_testing.h"

namespace toolkit {

namespace detail {

void EventPump::post(const Event& e)
{
    if (e.kind == EventKind::FieldChanged && !field_changes_) return;
    queue_.push_back(e);
    if (!loops_.empty()) loops_.back().loop->quit();
}

Event EventPump::wait()
{
    while (queue_.empty()) {
        if (run_step()) continue;  // a test acts as the user would, while the program waits
        QEventLoop loop;
        loops_.push_back({&loop, QThread::currentThread()->loopLevel() + 1});
        loop.exec();
        loops_.pop_back();
    }
    const Event e = queue_.front();
    queue_.pop_front();
    return e;
}

bool EventPump::idle() const
{
    return queue_.empty() && !loops_.empty() && QThread::currentThread()->loopLevel() == loops_.back().level;
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
    QApplication::beep();
}

namespace testing {

bool idle()
{
    return detail::st().pump.idle();
}

void post(const Event& event)
{
    detail::st().pump.post(event);
}

int bell_count()
{
    return detail::st().bells;
}

}  // namespace testing

}  // namespace toolkit
