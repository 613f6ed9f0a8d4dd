// Windows: the hidden root window and the top-level child windows, each showing one dialog
// with its menu bar and status bar. A window and everything it shows are deleted when it is
// closed, so swapping forms leaves no hidden windows behind.
#include <QApplication>
#include <QCloseEvent>
#include <QLayout>
#include <QMenuBar>
#include <QResizeEvent>
#include <QScreen>
#include <QScrollArea>
#include <QShortcut>
#include <QStatusBar>

#include "toolkit/qt/internal.h"
#include "toolkit/toolkit_testing.h"

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
    return it == st().windows.end() || it->second.widget.isNull() ? nullptr : &it->second;
}

QWidget* modal_parent()
{
    const Window* w = current();
    return w != nullptr ? w->widget.data() : nullptr;
}

void ChildWindow::closeEvent(QCloseEvent* e)
{
    if (closing_) {
        e->accept();
        return;
    }
    e->ignore();
    pump_.post({EventKind::CloseRequest, handle_, 0, 0});
}

namespace {

// A status-bar text that never widens its window: a text too long for the bar is elided in
// the middle, so the end of a path (its file name) stays visible; the tooltip has it whole.
class StatusLabel : public QLabel {
public:
    StatusLabel()
    {
        setTextFormat(Qt::PlainText);
        setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        setMinimumWidth(1);
    }
    void set_full_text(const QString& text)
    {
        full_ = text;
        setToolTip(text);
        elide();
    }

protected:
    void resizeEvent(QResizeEvent* e) override
    {
        QLabel::resizeEvent(e);
        elide();
    }

private:
    void elide() { setText(fontMetrics().elidedText(full_, Qt::ElideMiddle, width())); }
    QString full_;
};

// Moves a window, frame included, inside the area; one larger than the area keeps its title bar
// and its top-left corner on the screen.
void fit_on_screen(QWidget* w, const QRect& area)
{
    const QRect f = w->frameGeometry();
    int dx = 0, dy = 0;
    if (f.right() > area.right()) dx = area.right() - f.right();
    if (f.left() + dx < area.left()) dx = area.left() - f.left();
    if (f.bottom() > area.bottom()) dy = area.bottom() - f.bottom();
    if (f.top() + dy < area.top()) dy = area.top() - f.top();
    if (dx != 0 || dy != 0) w->move(w->pos() + QPoint(dx, dy));
}

// Shrinks a window (frame included) to the area where it is larger, then moves it inside.
void fit_into(QWidget* w, const QRect& area)
{
    const QSize frame = w->frameGeometry().size() - w->geometry().size();
    const QSize room = (area.size() - frame).expandedTo(QSize(1, 1));
    if (w->width() > room.width() || w->height() > room.height()) w->resize(w->size().boundedTo(room));
    fit_on_screen(w, area);
}

class KeepOnScreen : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (e->type() == QEvent::Show) {
            auto* w = static_cast<QWidget*>(o);
            fit_into(w, available_area(w->geometry().center()));
        }
        return false;
    }
};

// A window's contents in a scroll area: the contents never shrink below their minimum size,
// and what does not fit the window is reached by scrolling. Its size hint is what the contents
// want (at least their preferred size), not bounded as a plain scroll area's is.
class Scroller : public QScrollArea {
public:
    explicit Scroller(QWidget* content)
    {
        setWidget(content);
        setWidgetResizable(true);
        setFrameShape(QFrame::NoFrame);
    }
    QSize sizeHint() const override
    {
        const QWidget* c = widget();
        if (c == nullptr) return QScrollArea::sizeHint();
        return c->sizeHint().expandedTo(c->minimumSizeHint()).expandedTo(c->property(kPreferredSize).toSize());
    }
};

}  // namespace

QRect available_area(QPoint at)
{
    if (!st().screen_area.isNull()) return st().screen_area;
    const QScreen* screen = at.isNull() ? nullptr : QGuiApplication::screenAt(at);
    if (screen == nullptr) screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
}

void keep_on_screen(QWidget* w)
{
    w->installEventFilter(new KeepOnScreen(w));
}

}  // namespace detail

using namespace detail;

void register_menu(int id, std::vector<MenuItem> items)
{
    st().menus[id] = std::move(items);
}

void winitialise()
{
    st().pump.clear();
    st().pump.enable_field_changes(false);
    QApplication::setQuitOnLastWindowClosed(false);
}

void windowopen2()
{
    st().root = std::make_unique<QWidget>();  // never shown
}

void windowopenchild2(int& handle, int flags, int x, int y, int menu, int dialog, const std::string& title)
{
    State& s = st();
    handle = s.next_handle++;
    auto* w = new ChildWindow(handle, s.pump);
    Qt::WindowFlags wf = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
    if (flags & kSysMenu) wf |= Qt::WindowSystemMenuHint;
    if (flags & kMinButton) wf |= Qt::WindowMinimizeButtonHint;
    w->setWindowFlags(wf);
    w->setWindowTitle(qs(title));

    Window win;
    win.widget = w;
    win.dialog_id = dialog;
    if (auto it = s.menus.find(menu); menu != 0 && it != s.menus.end()) {
        for (const MenuItem& item : it->second) {
            QAction* a = w->menuBar()->addAction(qs(item.text));
            const int id = item.id;
            QObject::connect(a, &QAction::triggered, w,
                             [&s, handle, id] { s.pump.post({EventKind::MenuSelect, handle, id, 0}); });
            win.items[id] = a;
        }
    }
    QWidget* content = dialog != 0 ? build_dialog(dialog) : nullptr;
    if (content == nullptr) content = new QWidget;
    w->setCentralWidget(new Scroller(content));  // the window owns it from here on
    win.dialog = content;
    bind_fields(content, handle);
    if (flags & kStatusBar) {
        auto* label = new StatusLabel;
        w->statusBar()->addWidget(label, 1);  // permanent: menu hovering does not clear it
        w->statusBar()->setSizeGripEnabled(false);
        win.status = label;
    }
    if (menu == 0) {
        // A window without a menu is a viewer: Escape closes it as its close box does.
        auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), w);
        QObject::connect(escape, &QShortcut::activated, w, [&s, handle] { s.pump.post({EventKind::CloseRequest, handle, 0, 0}); });
    }
    // As large as its contents want, as far as the screen has room; it can be resized, and
    // what does not fit is reached by scrolling.
    const QRect area = available_area(x == kCentred || y == kCentred ? QPoint() : QPoint(x, y));
    w->resize(w->sizeHint().boundedTo(area.size()));
    if (x == kCentred || y == kCentred) w->move(area.center() - QPoint(w->width() / 2, w->height() / 2));
    else w->move(x, y);
    w->show();
    fit_into(w, area);
    s.windows[handle] = win;
    s.current_window = handle;
    s.current_dialog_id = dialog;
    s.current_dialog = content;
}

void windowclosechild(int handle)
{
    State& s = st();
    auto it = s.windows.find(handle);
    if (it == s.windows.end()) return;
    // Taken out of the table first: nothing can reach the window while it goes.
    const QPointer<ChildWindow> w = it->second.widget;
    s.windows.erase(it);
    if (s.current_window == handle) s.current_window = 0;
    if (!w.isNull()) {
        w->allow_close();
        w->close();
        delete w.data();  // its dialog, menu and status bar with it
    }
    if (s.current_dialog.isNull()) s.current_dialog_id = 0;
}

void windowclose()
{
    State& s = st();
    while (!s.windows.empty()) windowclosechild(s.windows.begin()->first);
    while (!s.loaded.empty()) wdialogunload();
    s.root.reset();
    s.pump.clear();
}

void windowselect(int handle)
{
    State& s = st();
    auto it = s.windows.find(handle);
    if (it == s.windows.end() || it->second.widget.isNull()) return;
    s.current_window = handle;
}

int winfowindow(int item)
{
    const Window* w = current();
    if (w == nullptr) return 0;
    if (item == 5) return w->widget->pos().x();
    if (item == 6) return w->widget->pos().y();
    return 0;
}

void windowoutstatusbar(int part, const std::string& text)
{
    Window* w = current();
    if (w == nullptr || w->status.isNull() || part != 1) return;
    static_cast<StatusLabel*>(w->status.data())->set_full_text(qs(text.substr(0, text.find_last_not_of(' ') + 1)));
}

void wmenusetstate(int item, int kind, int state)
{
    Window* w = current();
    if (w == nullptr || kind != 1) return;
    if (auto it = w->items.find(item); it != w->items.end() && !it->second.isNull()) it->second->setEnabled(state != 0);
}

namespace testing {

void set_screen_area(const QRect& area)
{
    st().screen_area = area;
}

QPalette dark_palette()
{
    QPalette p;
    p.setColor(QPalette::Window, QColor(0x30, 0x30, 0x30));
    p.setColor(QPalette::WindowText, QColor(0xee, 0xee, 0xee));
    p.setColor(QPalette::Base, QColor(0x20, 0x20, 0x20));
    p.setColor(QPalette::Text, QColor(0xee, 0xee, 0xee));
    p.setColor(QPalette::Button, QColor(0x40, 0x40, 0x40));
    p.setColor(QPalette::ButtonText, QColor(0xee, 0xee, 0xee));
    return p;
}

QWidget* window_widget(int handle)
{
    auto it = st().windows.find(handle);
    return it == st().windows.end() ? nullptr : it->second.widget.data();
}

int current_window()
{
    return st().current_window;
}

}  // namespace testing

}  // namespace toolkit
