// The tests' view of the Qt build in the terms of toolkit/testing.h.
#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRegularExpression>

#include "toolkit/qt/internal.h"
#include "toolkit/toolkit_testing.h"

namespace toolkit::testing {

using namespace detail;

bool has_field(int field)
{
    return field_widget(field) != nullptr;
}

std::string field_text(int field)
{
    QWidget* f = field_widget(field);
    if (auto* e = qobject_cast<QLineEdit*>(f)) return utf8(e->text());
    if (auto* l = qobject_cast<QLabel*>(f)) return utf8(l->text());
    if (auto* p = qobject_cast<QPlainTextEdit*>(f)) return utf8(p->toPlainText());
    if (auto* c = qobject_cast<QComboBox*>(f)) return utf8(c->currentText());
    if (auto* b = qobject_cast<QAbstractButton*>(f)) return utf8(b->text());
    return {};
}

bool field_takes_input(int field)
{
    QWidget* f = field_widget(field);
    if (auto* e = qobject_cast<QLineEdit*>(f)) return e->isEnabled() && !e->isReadOnly();
    return f != nullptr && f->isEnabled();
}

int focused_field()
{
    static const QRegularExpression re(QStringLiteral("^id(\\d{1,9})$"));
    QWidget* dialog = st().current_dialog;
    if (dialog == nullptr) return 0;
    // The window's focus widget: the one that has the focus whenever the window is active.
    for (QWidget* w = dialog->window()->focusWidget(); w != nullptr && w != dialog; w = w->parentWidget()) {
        if (!dialog->isAncestorOf(w)) return 0;
        const auto m = re.match(w->objectName());
        if (m.hasMatch()) return m.captured(1).toInt();
    }
    return 0;
}

void type_into(int field, const std::string& text)
{
    if (auto* e = qobject_cast<QLineEdit*>(field_widget(field))) {
        e->setFocus();
        e->setText(qs(text));
        emit e->textEdited(e->text());
    }
}

void click(int field)
{
    if (auto* b = qobject_cast<QAbstractButton*>(field_widget(field))) b->click();
}

void choose(int field, int index)
{
    if (auto* c = qobject_cast<QComboBox*>(field_widget(field))) {
        c->setCurrentIndex(index);
        emit c->activated(index);
    }
}

bool shows_whole(int field, int chars)
{
    auto* e = qobject_cast<QLineEdit*>(field_widget(field));
    return e != nullptr && e->width() >= field_width(e, chars);
}

bool window_open(int handle)
{
    return window_widget(handle) != nullptr;
}

std::string window_title(int handle)
{
    QWidget* w = window_widget(handle);
    return w != nullptr ? utf8(w->windowTitle()) : std::string();
}

std::string status_text(int handle)
{
    auto it = st().windows.find(handle);
    if (it == st().windows.end() || it->second.status.isNull()) return {};
    return utf8(it->second.status->toolTip());
}

bool menu_enabled(int handle, int item)
{
    auto it = st().windows.find(handle);
    if (it == st().windows.end()) return false;
    auto a = it->second.items.find(item);
    return a != it->second.items.end() && !a->second.isNull() && a->second->isEnabled();
}

bool window_on_screen(int handle)
{
    QWidget* w = window_widget(handle);
    return w != nullptr && available_area(w->geometry().center()).contains(w->frameGeometry());
}

}  // namespace toolkit::testing
