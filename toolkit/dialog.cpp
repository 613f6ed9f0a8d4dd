// Dialogs and fields: modal dialogs loaded over the current window, the current dialog, and the
// operations on its fields by resource number. Every text goes into a widget as plain text:
// a path that looks like markup is shown as it is.
#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QVBoxLayout>

#include "toolkit/internal.h"
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

}  // namespace detail

using namespace detail;

void wdialogload(int id)
{
    State& s = st();
    QWidget* content = build_dialog(id);
    if (content == nullptr) return;
    // Owned by its parent window when there is one, otherwise by the unload.
    auto* dlg = new QDialog(modal_parent());
    dlg->setWindowTitle(content->windowTitle());
    auto* layout = new QVBoxLayout(dlg);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(content);
    if (auto* ok = qobject_cast<QPushButton*>(find_field(content, 1))) {
        ok->setDefault(true);
        QObject::connect(ok, &QPushButton::clicked, dlg, &QDialog::accept);
    }
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
    if (QWidget* f = find_field(st().current_dialog, field)) f->setEnabled(state != 0);
}

void wdialogsetfield(int field)
{
    if (QWidget* f = find_field(st().current_dialog, field)) f->setFocus(Qt::OtherFocusReason);
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
