// Dialogs and fields: modal dialogs loaded over the current window, the current dialog, and the
// operations on its fields by resource number. Every text goes into a widget as plain text:
// a path that looks like markup is shown as it is.
#include <QAbstractButton>
#include <QCheckBox>
#include <QClipboard>
#include <QAbstractItemView>
#include <QApplication>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QKeyEvent>
#include <QStyle>
#include <QLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QVBoxLayout>

#include "toolkit/hooks.h"
#include "toolkit/qt/internal.h"
#include "textio/textio.h"
#include "toolkit/toolkit_testing.h"

namespace toolkit {

namespace detail {

QString from_crlf(std::string_view s)
{
    QString q = qs(s);
    q.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return q;
}

namespace {

int field_id(const QObject* o)
{
    static const QRegularExpression re(QStringLiteral("^id(\\d{1,9})$"));
    const auto m = re.match(o->objectName());
    return m.hasMatch() ? m.captured(1).toInt() : 0;
}

}  // namespace

QWidget* find_field(QWidget* dialog, int field)
{
    if (dialog == nullptr) return nullptr;
    const QString name = QStringLiteral("id%1").arg(field);
    if (dialog->objectName() == name) return dialog;
    return dialog->findChild<QWidget*>(name);
}

QWidget* build_dialog(int id)
{
    auto it = st().dialogs.find(id);
    return it == st().dialogs.end() ? nullptr : it->second();
}

void show_read_only(QLineEdit* e)
{
    // On the window's background instead of the field's: the user sees that the field takes no
    // input, and its text keeps the full contrast of the normal text colour.
    QPalette p = e->palette();
    p.setColor(QPalette::Base, QApplication::palette().color(e->isReadOnly() ? QPalette::Window : QPalette::Base));
    e->setPalette(p);
}

namespace {

// The keyboard of a form as in a dialog: the default button follows the focus (a focused push
// button is drawn and pressed as the default), and Return presses the focused push button,
// otherwise the form's default button.
class FormKeys : public QObject {
public:
    FormKeys(QWidget* form, QPushButton* default_button) : QObject(form), default_(default_button), shown_(default_button) {}

    /// The focus went to `w` (also while the window is not active and no focus event comes).
    void focused(QObject* w)
    {
        auto* b = qobject_cast<QPushButton*>(w);
        show_default(b != nullptr ? b : default_.data());
    }

protected:
    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (e->type() == QEvent::FocusIn) {
            focused(o);
        } else if (e->type() == QEvent::KeyPress) {
            const auto* k = static_cast<QKeyEvent*>(e);
            if (k->key() != Qt::Key_Return && k->key() != Qt::Key_Enter) return false;
            auto* combo = qobject_cast<QComboBox*>(o);
            if (combo != nullptr && combo->view()->isVisible()) return false;
            auto* b = qobject_cast<QPushButton*>(o);
            if (b == nullptr) b = default_;
            if (b == nullptr || !b->isEnabled()) return false;
            b->click();
            return true;
        }
        return false;
    }

private:
    void show_default(QPushButton* b)
    {
        if (b == shown_) return;
        if (shown_ != nullptr) shown_->setDefault(false);
        shown_ = b;
        if (b != nullptr) b->setDefault(true);
    }
    QPointer<QPushButton> default_;
    QPointer<QPushButton> shown_;
};

// A number copied from a field of the forms reaches the clipboard (or the mouse selection)
// without the blanks that pad it to its field's width. Whatever path the copy took, it ends
// in the clipboard, so the clipboard's change is where the blanks are dropped.
void trim_copied_number(QClipboard::Mode mode)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    const QString copied = clipboard->text(mode);
    const QString number = copied.trimmed();
    if (number == copied || number.isEmpty()) return;
    // Copied from a number field: the text selected there.
    for (QWidget* window : QApplication::topLevelWidgets()) {
        for (QLineEdit* e : window->findChildren<QLineEdit*>()) {
            if (e->property(kNumberField).toBool() && e->hasSelectedText() && e->selectedText() == copied) {
                clipboard->setText(number, mode);  // changes it again, to a text that needs no trimming
                return;
            }
        }
    }
}

void watch_copies()
{
    static bool watching = false;
    if (watching) return;
    watching = true;
    QClipboard* clipboard = QGuiApplication::clipboard();
    QObject::connect(clipboard, &QClipboard::dataChanged, [] { trim_copied_number(QClipboard::Clipboard); });
    QObject::connect(clipboard, &QClipboard::selectionChanged, [] { trim_copied_number(QClipboard::Selection); });
}

}  // namespace

void bind_fields(QWidget* dialog, int handle)
{
    watch_copies();
    install_accessibility();
    EventPump& pump = st().pump;
    QPushButton* default_button = nullptr;
    for (QObject* o : dialog->findChildren<QObject*>()) {
        const int id = field_id(o);
        if (id == 0) continue;
        if (auto* r = qobject_cast<QRadioButton*>(o)) {
            // Tab reaches a group of radio buttons once, at the checked one; the arrow keys move
            // among them.
            r->setFocusPolicy(r->isChecked() ? Qt::StrongFocus : Qt::ClickFocus);
            QObject::connect(r, &QRadioButton::toggled, r, [r, &pump, handle, id](bool on) {
                r->setFocusPolicy(on ? Qt::StrongFocus : Qt::ClickFocus);
                if (on) pump.post({EventKind::FieldChanged, handle, id, id});
            });
        } else if (auto* c = qobject_cast<QCheckBox*>(o)) {
            QObject::connect(c, &QCheckBox::toggled, c,
                             [&pump, handle, id](bool) { pump.post({EventKind::FieldChanged, handle, id, id}); });
        } else if (auto* b = qobject_cast<QPushButton*>(o)) {
            if (b->isDefault()) default_button = b;
            QObject::connect(b, &QPushButton::clicked, b,
                             [&pump, handle, id] { pump.post({EventKind::PushButton, handle, id, 0}); });
        } else if (auto* cb = qobject_cast<QComboBox*>(o)) {
            QObject::connect(cb, &QComboBox::activated, cb,
                             [&pump, handle, id](int) { pump.post({EventKind::FieldChanged, handle, id, id}); });
        } else if (auto* e = qobject_cast<QLineEdit*>(o)) {
            show_read_only(e);
            // What the user types (not what the program puts there): the field and no second one.
            QObject::connect(e, &QLineEdit::textEdited, e,
                             [&pump, handle, id](const QString&) { pump.post({EventKind::FieldChanged, handle, id, 0}); });
        }
    }
    auto* keys = new FormKeys(dialog, default_button);
    for (QWidget* w : dialog->findChildren<QWidget*>())
        if (w->focusPolicy() != Qt::NoFocus) w->installEventFilter(keys);
}

}  // namespace detail

using namespace detail;

namespace {

// A loaded dialog with an OK button is a message: a screen reader is told it is an alert, as
// it is told of the platform's message boxes, so both kinds of box are announced alike.
class MessageDialog : public QDialog {
public:
    using QDialog::QDialog;
};

// A label that says why a field failed is an alert too: a screen reader announces it when its
// text appears (on AT-SPI the name change of an object in the alert role).
class AlertLabel : public QAccessibleWidget {
public:
    explicit AlertLabel(QLabel* label) : QAccessibleWidget(label, QAccessible::AlertMessage) {}
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name) return static_cast<const QLabel*>(object())->text();
        return QAccessibleWidget::text(t);
    }
};

QAccessibleInterface* alert_accessible(const QString&, QObject* object)
{
    if (auto* d = dynamic_cast<MessageDialog*>(object)) return new QAccessibleWidget(d, QAccessible::AlertMessage);
    if (auto* l = qobject_cast<QLabel*>(object); l != nullptr && l->property(kAlertLabel).toBool()) return new AlertLabel(l);
    return nullptr;
}

}  // namespace

namespace detail {

void install_accessibility()
{
    static const bool installed = (QAccessible::installFactory(alert_accessible), true);
    (void)installed;
}

}  // namespace detail

void wdialogload(int id)
{
    State& s = st();
    QWidget* content = build_dialog(id);
    if (content == nullptr) return;
    install_accessibility();
    // Owned by its parent window when there is one, otherwise by the unload.
    const bool message = qobject_cast<QPushButton*>(find_field(content, 1)) != nullptr;
    auto* dlg = message ? new MessageDialog(modal_parent()) : new QDialog(modal_parent());
    dlg->setWindowTitle(content->windowTitle());
    auto* layout = new QVBoxLayout(dlg);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(content);
    if (auto* ok = qobject_cast<QPushButton*>(find_field(content, 1))) {
        ok->setDefault(true);
        QObject::connect(ok, &QPushButton::clicked, dlg, &QDialog::accept);
    }
    keep_on_screen(dlg);
    s.current_dialog_id = id;
    s.current_dialog = content;
    s.loaded.push_back({id, dlg, content});
}

void wdialogunload()
{
    State& s = st();
    if (s.loaded.empty()) return;
    const LoadedDialog top = s.loaded.back();
    s.loaded.pop_back();
    delete top.dialog.data();  // null when its window is already gone
    if (s.current_dialog_id == top.id || s.current_dialog.isNull()) {
        const Window* w = current();
        s.current_dialog = w != nullptr ? w->dialog : nullptr;
        s.current_dialog_id = w != nullptr ? w->dialog_id : 0;
    }
}

void wdialogshow(int x, int y, int, int)
{
    State& s = st();
    if (s.loaded.empty() || s.loaded.back().dialog.isNull()) return;
    QDialog* d = s.loaded.back().dialog;
    if (answering()) {
        // The texts of its fields, one per line, in the order of their numbers.
        std::map<int, std::string> texts;
        for (QWidget* w : s.loaded.back().content->findChildren<QWidget*>()) {
            std::string t;
            if (auto* l = qobject_cast<QLabel*>(w)) t = utf8(l->text());
            else if (auto* p = qobject_cast<QPlainTextEdit*>(w)) t = utf8(p->toPlainText());
            if (const int id = field_id(w); id > 2 && !t.empty()) texts[id] = t;
        }
        std::string all;
        for (const auto& [id, t] : texts) all += (all.empty() ? "" : "\n") + t;
        answer({testing::Modal::Kind::Dialog, s.loaded.back().id, 0, utf8(d->windowTitle()), all});
        return;
    }
    d->adjustSize();
    if (x != -1 && y != -1) d->move(x, y);
    d->exec();
}

void wdialogselect(int id)
{
    State& s = st();
    for (auto it = s.loaded.rbegin(); it != s.loaded.rend(); ++it) {
        if (it->id == id && !it->content.isNull()) {
            s.current_dialog_id = id;
            s.current_dialog = it->content;
            return;
        }
    }
    // A dialog shown in a window: the current window's first, then any.
    if (const Window* w = current(); w != nullptr && w->dialog_id == id && !w->dialog.isNull()) {
        s.current_dialog_id = id;
        s.current_dialog = w->dialog;
        return;
    }
    for (const auto& [handle, w] : s.windows) {
        if (w.dialog_id == id && !w.dialog.isNull()) {
            s.current_dialog_id = id;
            s.current_dialog = w.dialog;
            return;
        }
    }
}

void wdialogputstring(int field, const std::string& text)
{
    QWidget* f = find_field(st().current_dialog, field);
    if (auto* e = qobject_cast<QLineEdit*>(f)) {
        e->setText(qs(text));
    } else if (auto* l = qobject_cast<QLabel*>(f)) {
        l->setTextFormat(Qt::PlainText);
        l->setText(from_crlf(text));
    } else if (auto* p = qobject_cast<QPlainTextEdit*>(f)) {
        p->setPlainText(from_crlf(text));
    } else if (auto* b = qobject_cast<QAbstractButton*>(f)) {
        b->setText(qs(text));
    }
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
    QWidget* f = find_field(st().current_dialog, field);
    if (auto* e = qobject_cast<QLineEdit*>(f)) {
        // A text field the user cannot type in still shows its value at full contrast, and it
        // can be selected and copied: read-only, not disabled.
        e->setReadOnly(state == 0);
        show_read_only(e);
    } else if (f != nullptr) {
        f->setEnabled(state != 0);
    }
}

void wdialogsetdescription(int field, const std::string& text)
{
    if (QWidget* f = find_field(st().current_dialog, field)) f->setAccessibleDescription(qs(text));
}

void wdialogsetfield(int field)
{
    QWidget* dialog = st().current_dialog;
    QWidget* f = find_field(dialog, field);
    if (f == nullptr) return;
    f->setFocus(Qt::OtherFocusReason);
    for (QObject* o : dialog->children())
        if (auto* keys = dynamic_cast<FormKeys*>(o)) keys->focused(f);
}

void wdialoggetcheckbox(int field, int& state)
{
    auto* b = qobject_cast<QAbstractButton*>(find_field(st().current_dialog, field));
    state = b != nullptr && b->isCheckable() && b->isChecked() ? 1 : 0;
}

void wdialoggetmenu1(int field, int& index)
{
    auto* c = qobject_cast<QComboBox*>(find_field(st().current_dialog, field));
    index = c != nullptr ? c->currentIndex() + 1 : 0;
}

void integertostring(int value, std::string& text, std::string_view format)
{
    text = textio::format_integer(value, format);
}

namespace testing {

int current_dialog()
{
    return st().current_dialog_id;
}

QWidget* field_widget(int field)
{
    return find_field(st().current_dialog, field);
}

}  // namespace testing

}  // namespace toolkit
