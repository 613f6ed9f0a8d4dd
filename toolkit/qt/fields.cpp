// What the program registers of a dialog's fields, given to the widgets of a Designer form.
#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionFrame>
#include <algorithm>

#include "toolkit/qt/internal.h"

namespace toolkit {

namespace {

Qt::Alignment alignment(TextAlign a)
{
    switch (a) {
    case TextAlign::Left: return Qt::AlignLeft | Qt::AlignVCenter;
    case TextAlign::Right: return Qt::AlignRight | Qt::AlignVCenter;
    case TextAlign::Centre: return Qt::AlignHCenter | Qt::AlignVCenter;
    }
    return Qt::AlignLeft | Qt::AlignVCenter;
}

void apply(QWidget* w, const FieldSetup& f)
{
    using Role = FieldSetup::Role;
    if (auto* label = qobject_cast<QLabel*>(w); label != nullptr && f.role == Role::Reason) {
        // An alert whose name is the reason it shows: a screen reader announces each new reason
        // (the registered name describes the line).
        label->setProperty(kAlertLabel, true);
        label->setTextFormat(Qt::PlainText);
        label->setAccessibleDescription(detail::qs(f.name));
    } else {
        w->setAccessibleName(detail::qs(f.name));
    }
    if (auto* e = qobject_cast<QLineEdit*>(w)) {
        // Every text the field is to show stands whole, in whatever font the form has.
        if (f.chars > 0) {
            e->setMinimumWidth(0);
            e->setMaximumWidth(QWIDGETSIZE_MAX);
            e->setFixedWidth(detail::field_width(e, f.chars));
        }
        if (f.max_length > 0) e->setMaxLength(f.max_length);
        e->setAlignment(alignment(f.align));
        e->setProperty(kNumberField, f.role == Role::Number);
        e->setReadOnly(f.read_only);
    }
    if (auto* button = qobject_cast<QAbstractButton*>(w); button != nullptr && button->isCheckable())
        button->setChecked(f.checked);
    if (auto* list = qobject_cast<QComboBox*>(w)) {
        for (const std::string& entry : f.items) list->addItem(detail::qs(entry));
        list->setCurrentIndex(f.selected);
    }
}

}  // namespace

namespace detail {

// A text field as wide as `chars` of the widest characters a number is written with, in the
// field's own font, plus its margins and frame as the style draws them.
int field_width(const QLineEdit* e, int chars)
{
    const QFontMetrics fm(e->font());
    int widest = 0;
    for (const QChar c : QStringLiteral("0123456789+-*.,"))
        widest = std::max(widest, fm.horizontalAdvance(c));
    constexpr int kLineEditMargin = 2;  // QLineEdit's own blank on either side of the text
    const QMargins text = e->textMargins();
    const QMargins contents = e->contentsMargins();
    const int inner = widest * chars + 2 * kLineEditMargin + text.left() + text.right() + contents.left() + contents.right();
    QStyleOptionFrame option;
    option.initFrom(e);
    option.lineWidth = e->hasFrame() ? e->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, e) : 0;
    return e->style()->sizeFromContents(QStyle::CT_LineEdit, &option, QSize(inner, fm.height()), e).width();
}

}  // namespace detail

void register_fields(int dialog, std::vector<FieldSetup> fields)
{
    detail::st().fields[dialog] = std::move(fields);
}

namespace qt {

void register_dialog(int id, DialogFactory factory)
{
    detail::st().dialogs[id] = std::move(factory);
}

void apply_fields(QWidget* form, int dialog)
{
    auto it = detail::st().fields.find(dialog);
    if (it == detail::st().fields.end()) return;
    QWidget* previous = nullptr;
    for (const FieldSetup& f : it->second) {
        QWidget* w = detail::find_field(form, f.id);
        if (w == nullptr) continue;
        apply(w, f);
        if (f.role == FieldSetup::Role::Label || f.role == FieldSetup::Role::Reason) continue;
        if (previous != nullptr) QWidget::setTabOrder(previous, w);
        previous = w;
    }
}

}  // namespace qt

}  // namespace toolkit
