// The toolkit's state, shared by its parts. Every widget reference here is guarded: widgets
// belong to their windows, and a reference to one that is gone reads as null.
#pragma once

#include <QAction>
#include <QDialog>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <deque>
#include <map>
#include <memory>
#include <vector>

#include "toolkit/qt/designer.h"
#include "toolkit/toolkit.h"

namespace toolkit::detail {

inline QString qs(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
inline std::string utf8(const QString& s)
{
    const QByteArray b = s.toUtf8();
    return std::string(b.constData(), static_cast<std::size_t>(b.size()));
}
/// Line ends of the programs' texts are CR LF; widgets want LF.
QString from_crlf(std::string_view s);

/// The queue of events and the nested event loops waiting for them.
class EventPump {
public:
    void post(const Event& e);
    Event wait();
    bool idle() const;
    void enable_field_changes(bool on) { field_changes_ = on; }
    void clear() { queue_.clear(); }

private:
    struct Waiting {
        QEventLoop* loop;
        int level;
    };
    std::deque<Event> queue_;
    std::vector<Waiting> loops_;
    bool field_changes_ = false;
};

/// A top-level window: its close box becomes an event, and the program decides.
class ChildWindow : public QMainWindow {
public:
    ChildWindow(int handle, EventPump& pump) : handle_(handle), pump_(pump) {}
    void allow_close() { closing_ = true; }

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    int handle_;
    EventPump& pump_;
    bool closing_ = false;
};

struct Window {
    QPointer<ChildWindow> widget;
    int dialog_id = 0;
    QPointer<QWidget> dialog;
    QPointer<QLabel> status;
    std::map<int, QPointer<QAction>> items;
};

struct LoadedDialog {
    int id;
    QPointer<QDialog> dialog;
    QPointer<QWidget> content;
};

struct State {
    std::map<int, qt::DialogFactory> dialogs;
    std::map<int, std::vector<FieldSetup>> fields;
    std::map<int, std::vector<MenuItem>> menus;
    EventPump pump;
    std::unique_ptr<QWidget> root;
    std::map<int, Window> windows;
    int next_handle = 1;
    int current_window = 0;
    int current_dialog_id = 0;
    QPointer<QWidget> current_dialog;
    std::vector<LoadedDialog> loaded;
    int file_dialog_ok = 0;
    int bells = 0;
    QRect screen_area;  ///< tests: the available area of every screen (null: the screens' own)
};

State& st();

/// The current window, or nullptr when none is open.
Window* current();
/// The parent for a modal dialog: the current window, if any.
QWidget* modal_parent();
/// Field `field` of a dialog's contents (the contents itself when it carries the number).
QWidget* find_field(QWidget* dialog, int field);
/// A fresh instance of a registered dialog's contents, or nullptr.
QWidget* build_dialog(int id);
/// Connects the controls of a window's dialog to the event queue, tagged with the window.
void bind_fields(QWidget* dialog, int handle);
/// Width of a text field that shows `chars` of the widest digit whole, in its font and style.
int field_width(const QLineEdit* e, int chars);
/// Draws a text field as taking input or not, after its read-only state.
void show_read_only(QLineEdit* e);
/// Screen readers learn of message boxes and of labels that say why a field failed as alerts.
void install_accessibility();
/// The available area of the screen that holds `at` (the primary screen for a null point).
QRect available_area(QPoint at = {});
/// Whenever `w` (a window or a dialog) is shown, it is made no larger than the available area,
/// frame included, and moved into it.
void keep_on_screen(QWidget* w);

}  // namespace toolkit::detail
