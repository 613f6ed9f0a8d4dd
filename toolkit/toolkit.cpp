#include "toolkit.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScreen>
#include <QStatusBar>
#include <QThread>
#include <QVBoxLayout>
#include <deque>
#include <map>
#include <memory>

namespace toolkit {

namespace {

QString qs(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
std::string utf8(const QString& s)
{
    const QByteArray b = s.toUtf8();
    return std::string(b.constData(), static_cast<std::size_t>(b.size()));
}
// Line ends of the programs' texts are CR LF; widgets want LF.
QString from_crlf(const std::string& s)
{
    QString q = qs(s);
    q.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return q;
}

// The queue of events and the nested event loops waiting for them.
class EventPump {
public:
    void post(const Event& e)
    {
        if (e.kind == EventKind::FieldChanged && !enabled_field_changes_) return;
        queue_.push_back(e);
        if (!loops_.empty()) loops_.back().loop->quit();
    }
    Event wait()
    {
        while (queue_.empty()) {
            QEventLoop loop;
            loops_.push_back({&loop, QThread::currentThread()->loopLevel() + 1});
            loop.exec();
            loops_.pop_back();
        }
        const Event e = queue_.front();
        queue_.pop_front();
        return e;
    }
    bool idle() const
    {
        return queue_.empty() && !loops_.empty() && QThread::currentThread()->loopLevel() == loops_.back().level;
    }
    void enable_field_changes(bool on) { enabled_field_changes_ = on; }
    void clear() { queue_.clear(); }

private:
    struct Waiting {
        QEventLoop* loop;
        int level;
    };
    std::deque<Event> queue_;
    std::vector<Waiting> loops_;
    bool enabled_field_changes_ = false;
};

// A top-level window: its close box becomes an event; the program decides.
class ChildWindow : public QMainWindow {
public:
    ChildWindow(int handle, EventPump& pump) : handle_(handle), pump_(pump) {}
    void allow_close() { closing_ = true; }

protected:
    void closeEvent(QCloseEvent* e) override
    {
        if (closing_) {
            e->accept();
            return;
        }
        e->ignore();
        pump_.post({EventKind::CloseRequest, handle_, 0, 0});
    }

private:
    int handle_;
    EventPump& pump_;
    bool closing_ = false;
};

struct Window {
    QPointer<ChildWindow> widget;
    int dialog_id = 0;
    QWidget* dialog = nullptr;
    QLabel* status = nullptr;
    std::map<int, QAction*> items;
};

struct LoadedDialog {
    int id;
    std::unique_ptr<QDialog> dialog;
};

struct State {
    std::map<int, DialogFactory> dialogs;
    std::map<int, std::vector<MenuItem>> menus;
    EventPump pump;
    std::unique_ptr<QWidget> root;
    std::map<int, Window> windows;
    int next_handle = 1;
    int current_window = 0;
    int current_dialog_id = 0;
    QWidget* current_dialog = nullptr;
    std::vector<LoadedDialog> loaded;
    int file_dialog_ok = 0;
    int conversion_error = 0;
    int bells = 0;
};

State& st()
{
    static State s;
    return s;
}

int field_id(const QObject* o)
{
    static const QRegularExpression re(QStringLiteral("^id(\\d+)$"));
    const auto m = re.match(o->objectName());
    return m.hasMatch() ? m.captured(1).toInt() : 0;
}

QWidget* find_field(QWidget* dialog, int field)
{
    if (dialog == nullptr) return nullptr;
    const QString name = QStringLiteral("id%1").arg(field);
    if (dialog->objectName() == name) return dialog;
    return dialog->findChild<QWidget*>(name);
}

// Connects the controls of a window's dialog to the event queue.
void bind_fields(QWidget* dialog, int handle)
{
    EventPump& pump = st().pump;
    int default_button = 0;
    for (QObject* o : dialog->findChildren<QObject*>()) {
        const int id = field_id(o);
        if (id == 0) continue;
        if (auto* r = qobject_cast<QRadioButton*>(o)) {
            QObject::connect(r, &QRadioButton::toggled, r, [&pump, handle, id](bool on) {
                if (on) pump.post({EventKind::FieldChanged, handle, id, id});
            });
        } else if (auto* c = qobject_cast<QCheckBox*>(o)) {
            QObject::connect(c, &QCheckBox::toggled, c,
                             [&pump, handle, id](bool) { pump.post({EventKind::FieldChanged, handle, id, id}); });
        } else if (auto* b = qobject_cast<QPushButton*>(o)) {
            if (b->isDefault()) default_button = id;
            QObject::connect(b, &QPushButton::clicked, b,
                             [&pump, handle, id] { pump.post({EventKind::PushButton, handle, id, 0}); });
        } else if (auto* cb = qobject_cast<QComboBox*>(o)) {
            QObject::connect(cb, &QComboBox::activated, cb,
                             [&pump, handle, id](int) { pump.post({EventKind::FieldChanged, handle, id, id}); });
        }
    }
    // Return in a text field presses the form's default button, as in a dialog.
    if (default_button != 0) {
        for (QLineEdit* e : dialog->findChildren<QLineEdit*>())
            QObject::connect(e, &QLineEdit::returnPressed, e, [&pump, handle, default_button] {
                pump.post({EventKind::PushButton, handle, default_button, 0});
            });
    }
}

Window* current()
{
    auto it = st().windows.find(st().current_window);
    return it == st().windows.end() || it->second.widget.isNull() ? nullptr : &it->second;
}

QWidget* build_dialog(int id)
{
    auto it = st().dialogs.find(id);
    return it == st().dialogs.end() ? nullptr : it->second();
}

// A file dialog that confirms a missing file on loading and refuses a missing directory.
class FileDialog : public QFileDialog {
public:
    FileDialog(QWidget* parent, bool load, bool prompt) : QFileDialog(parent), load_(load), prompt_(prompt) {}

    void accept() override
    {
        const QStringList files = selectedFiles();
        if (load_ && !files.isEmpty()) {
            const QFileInfo info(files.first());
            if (!info.absoluteDir().exists()) {
                QMessageBox::warning(this, windowTitle(),
                                     QStringLiteral("Das Verzeichnis %1 existiert nicht.").arg(info.absolutePath()));
                return;
            }
            if (info.isDir()) {
                QFileDialog::accept();  // opens the directory in the dialog
                return;
            }
            if (prompt_ && !info.exists() &&
                QMessageBox::question(this, windowTitle(),
                                      QStringLiteral("Die Datei %1 existiert nicht.\nTrotzdem übernehmen?")
                                          .arg(info.fileName())) != QMessageBox::Yes)
                return;
        }
        QFileDialog::accept();
    }

private:
    bool load_;
    bool prompt_;
};

}  // namespace

void register_dialog(int id, DialogFactory factory)
{
    st().dialogs[id] = std::move(factory);
}

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
    w->setAttribute(Qt::WA_DeleteOnClose);
    Qt::WindowFlags wf = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
    if (flags & kSysMenu) wf |= Qt::WindowSystemMenuHint;
    if (flags & kMinButton) wf |= Qt::WindowMinimizeButtonHint;
    w->setWindowFlags(wf);
    w->setWindowTitle(qs(title));

    Window win;
    win.widget = w;
    win.dialog_id = dialog;
    if (menu != 0) {
        auto it = s.menus.find(menu);
        if (it != s.menus.end()) {
            for (const MenuItem& item : it->second) {
                QAction* a = w->menuBar()->addAction(qs(item.text));
                const int id = item.id;
                QObject::connect(a, &QAction::triggered, w,
                                 [&s, handle, id] { s.pump.post({EventKind::MenuSelect, handle, id, 0}); });
                win.items[id] = a;
            }
        }
    }
    QWidget* content = dialog != 0 ? build_dialog(dialog) : nullptr;
    if (content == nullptr) content = new QWidget;
    w->setCentralWidget(content);
    win.dialog = content;
    bind_fields(content, handle);
    if (flags & kStatusBar) {
        win.status = new QLabel;
        w->statusBar()->addWidget(win.status, 1);  // permanent: menu hovering does not clear it
        w->statusBar()->setSizeGripEnabled(false);
    }
    w->layout()->setSizeConstraint(QLayout::SetFixedSize);
    w->adjustSize();
    if (x == kCentred || y == kCentred) {
        const QScreen* screen = QGuiApplication::primaryScreen();
        const QRect area = screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
        w->move(area.center() - QPoint(w->width() / 2, w->height() / 2));
    } else {
        w->move(x, y);
    }
    w->show();
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
    if (!it->second.widget.isNull()) {
        it->second.widget->allow_close();
        it->second.widget->close();  // deletes itself
    }
    if (s.current_dialog == it->second.dialog) {
        s.current_dialog = nullptr;
        s.current_dialog_id = 0;
    }
    if (s.current_window == handle) s.current_window = 0;
    s.windows.erase(it);
}

void windowclose()
{
    State& s = st();
    while (!s.windows.empty()) windowclosechild(s.windows.begin()->first);
    s.loaded.clear();
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
    if (w == nullptr || w->status == nullptr || part != 1) return;
    w->status->setText(qs(std::string(text.substr(0, text.find_last_not_of(' ') + 1))));
}

void wmenusetstate(int item, int kind, int state)
{
    Window* w = current();
    if (w == nullptr || kind != 1) return;
    auto it = w->items.find(item);
    if (it != w->items.end()) it->second->setEnabled(state != 0);
}

void wmessageenable(EventKind kind, int enable)
{
    if (kind == EventKind::FieldChanged) st().pump.enable_field_changes(enable != 0);
}

void wmessage(EventKind& kind, Event& event)
{
    event = st().pump.wait();
    kind = event.kind;
}

void windowbell(const std::string& name)
{
    if (name.find_first_not_of(' ') != std::string::npos) return;  // named sounds are not used
    ++st().bells;
    QApplication::beep();
}

void wdialogload(int id)
{
    State& s = st();
    QWidget* content = build_dialog(id);
    if (content == nullptr) return;
    Window* w = current();
    auto dlg = std::make_unique<QDialog>(w != nullptr ? static_cast<QWidget*>(w->widget.data()) : nullptr);
    dlg->setWindowTitle(content->windowTitle());
    auto* layout = new QVBoxLayout(dlg.get());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(content);
    if (auto* ok = qobject_cast<QPushButton*>(find_field(content, 1))) {
        ok->setDefault(true);
        QObject::connect(ok, &QPushButton::clicked, dlg.get(), &QDialog::accept);
    }
    s.current_dialog_id = id;
    s.current_dialog = content;
    s.loaded.push_back({id, std::move(dlg)});
}

void wdialogunload()
{
    State& s = st();
    if (s.loaded.empty()) return;
    if (s.current_dialog_id == s.loaded.back().id) {
        const Window* w = current();
        s.current_dialog = w != nullptr ? w->dialog : nullptr;
        s.current_dialog_id = w != nullptr ? w->dialog_id : 0;
    }
    s.loaded.pop_back();
}

void wdialogshow(int x, int y, int, int)
{
    State& s = st();
    if (s.loaded.empty()) return;
    QDialog* d = s.loaded.back().dialog.get();
    d->adjustSize();
    if (x != -1 && y != -1) d->move(x, y);
    d->exec();
}

void wdialogselect(int id)
{
    State& s = st();
    for (auto it = s.loaded.rbegin(); it != s.loaded.rend(); ++it) {
        if (it->id == id) {
            s.current_dialog_id = id;
            s.current_dialog = it->dialog->layout()->itemAt(0)->widget();
            return;
        }
    }
    // A dialog shown in a window: the current window's first, then any.
    if (const Window* w = current(); w != nullptr && w->dialog_id == id) {
        s.current_dialog_id = id;
        s.current_dialog = w->dialog;
        return;
    }
    for (const auto& [handle, w] : s.windows) {
        if (w.dialog_id == id && !w.widget.isNull()) {
            s.current_dialog_id = id;
            s.current_dialog = w.dialog;
            return;
        }
    }
}

void wdialogputstring(int field, const std::string& text)
{
    QWidget* f = find_field(st().current_dialog, field);
    if (auto* e = qobject_cast<QLineEdit*>(f)) e->setText(qs(text));
    else if (auto* l = qobject_cast<QLabel*>(f)) l->setText(from_crlf(text));
    else if (auto* p = qobject_cast<QPlainTextEdit*>(f)) p->setPlainText(from_crlf(text));
    else if (auto* b = qobject_cast<QAbstractButton*>(f)) b->setText(qs(text));
}

void wdialoggetstring(int field, std::string& text)
{
    QWidget* f = find_field(st().current_dialog, field);
    if (auto* e = qobject_cast<QLineEdit*>(f)) text = utf8(e->text());
    else if (auto* l = qobject_cast<QLabel*>(f)) text = utf8(l->text());
    else if (auto* p = qobject_cast<QPlainTextEdit*>(f)) text = utf8(p->toPlainText());
    else if (auto* b = qobject_cast<QAbstractButton*>(f)) text = utf8(b->text());
    else text.clear();
}

void wdialogfieldstate(int field, int state)
{
    if (QWidget* f = find_field(st().current_dialog, field)) f->setEnabled(state != 0);
}

void wdialogsetfield(int field)
{
    if (QWidget* f = find_field(st().current_dialog, field)) f->setFocus(Qt::OtherFocusReason);
}

void wdialoggetradiobutton(int first, int& index)
{
    index = 0;
    auto* r = qobject_cast<QRadioButton*>(find_field(st().current_dialog, first));
    if (r == nullptr) return;
    QList<QAbstractButton*> buttons;
    if (QButtonGroup* g = r->group()) {
        buttons = g->buttons();  // in the order of the resource
    } else {
        for (QRadioButton* b : r->parentWidget()->findChildren<QRadioButton*>(Qt::FindDirectChildrenOnly))
            buttons.push_back(b);
    }
    for (qsizetype k = 0; k < buttons.size(); ++k)
        if (buttons[k]->isChecked()) index = static_cast<int>(k + 1);
}

void wdialoggetcheckbox(int field, int& state)
{
    auto* c = qobject_cast<QCheckBox*>(find_field(st().current_dialog, field));
    state = c != nullptr && c->isChecked() ? 1 : 0;
}

void wdialoggetmenu1(int field, int& index)
{
    auto* c = qobject_cast<QComboBox*>(find_field(st().current_dialog, field));
    index = c != nullptr ? c->currentIndex() + 1 : 0;
}

void wselectfile2(const std::string& filter, int flags, std::string& path, const std::string& title)
{
    State& s = st();
    s.file_dialog_ok = 0;
    const bool load = (flags & kSaveDialog) == 0;
    const Window* w = current();
    FileDialog d(w != nullptr ? static_cast<QWidget*>(w->widget.data()) : nullptr, load, (flags & kPromptOn) != 0);
    d.setOption(QFileDialog::DontUseNativeDialog);
    d.setWindowTitle(qs(title));
    d.setFileMode(QFileDialog::AnyFile);
    if (load && (flags & kPromptOn)) {
        // Qt's open mode refuses a missing file outright; the save mode lets the name through
        // to accept(), which asks for confirmation instead.
        d.setAcceptMode(QFileDialog::AcceptSave);
        d.setOption(QFileDialog::DontConfirmOverwrite, true);
        d.setLabelText(QFileDialog::Accept, QStringLiteral("\u00D6&ffnen"));
    } else {
        d.setAcceptMode(load ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
        d.setOption(QFileDialog::DontConfirmOverwrite, (flags & kPromptOn) == 0);
    }
    // "description|pattern|description|pattern|" into Qt's "description (pattern)" filters.
    QStringList filters;
    const QStringList parts = qs(filter).split(QLatin1Char('|'));
    for (qsizetype k = 0; k + 1 < parts.size(); k += 2) {
        if (parts[k].isEmpty()) continue;
        QString desc = parts[k];
        if (!desc.contains(QLatin1Char('('))) desc += QStringLiteral(" (") + parts[k + 1] + QLatin1Char(')');
        filters << desc;
    }
    if (!filters.isEmpty()) d.setNameFilters(filters);
    const QString cwd = QDir::currentPath();
    d.setDirectory(cwd);
    if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty()) return;
    const QString chosen = d.selectedFiles().first();
    path = utf8(QDir::toNativeSeparators(chosen));
    s.file_dialog_ok = 1;
    if (flags & kDirChange) QDir::setCurrent(QFileInfo(chosen).absolutePath());
    else QDir::setCurrent(cwd);
}

int winfodialog(int item)
{
    return item == 4 ? st().file_dialog_ok : 0;
}

void wmessagebox(int, int, int, const std::string& text, const std::string& title)
{
    const Window* w = current();
    QMessageBox box(QMessageBox::Information, qs(title), from_crlf(text), QMessageBox::Ok,
                    w != nullptr ? static_cast<QWidget*>(w->widget.data()) : nullptr);
    box.exec();
}

// ---- for tests and tools --------------------------------------------------------------------

bool idle()
{
    return st().pump.idle();
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

int current_dialog()
{
    return st().current_dialog_id;
}

QWidget* field_widget(int field)
{
    return find_field(st().current_dialog, field);
}

int bell_count()
{
    return st().bells;
}

void post(const Event& event)
{
    st().pump.post(event);
}

// ---- texts (no Qt) --------------------------------------------------------------------------

void istringtointeger(std::string_view text, int& value)
{
    value = 0;
    st().conversion_error = 1;
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return;
    const std::size_t last = text.find_last_not_of(' ');
    std::string_view t = text.substr(first, last - first + 1);
    bool negative = false;
    if (t[0] == '+' || t[0] == '-') {
        negative = t[0] == '-';
        t.remove_prefix(1);
    }
    if (t.empty()) {  // a lone sign
        st().conversion_error = 0;
        return;
    }
    if (t.size() > 10) return;
    long long v = 0;
    for (const char c : t) {
        if (c < '0' || c > '9') return;
        v = v * 10 + (c - '0');
    }
    if (v > 2147483647LL) return;
    value = static_cast<int>(negative ? -v : v);
    st().conversion_error = 0;
}

int infoerror(int item)
{
    return item == 1 ? st().conversion_error : 0;
}

void integertostring(int value, std::string& text, std::string_view format)
{
    // "(iW)"
    int width = 0;
    for (const char c : format)
        if (c >= '0' && c <= '9') width = width * 10 + (c - '0');
    std::string digits = std::to_string(value);
    if (width <= 0) width = static_cast<int>(digits.size());
    text = static_cast<int>(digits.size()) > width ? std::string(static_cast<std::size_t>(width), '*')
                                                   : std::string(static_cast<std::size_t>(width) - digits.size(), ' ') + digits;
}

int iactuallength(std::string_view text)
{
    for (std::size_t k = text.size(); k > 0; --k)
        if (text[k - 1] != ' ' && text[k - 1] != '\0') return static_cast<int>(k);
    return 0;
}

int ilocatechar(std::string_view text)
{
    for (std::size_t k = 0; k < text.size(); ++k)
        if (text[k] != ' ' && text[k] != '\0') return static_cast<int>(k + 1);
    return 0;
}

}  // namespace toolkit
