// The dialogs of the desktop program (Designer forms), the menu and the picture of the
// information dialog, registered with the toolkit by their resource numbers.
#include <QApplication>
#include <QFontDatabase>
#include <QLayout>
#include <QLineEdit>
#include <QFrame>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <algorithm>
#include <cmath>
#include <memory>

#include "app/fields.h"
#include "app/ids.h"
#include "filecalc/formats.h"
#include "app/shell.h"
#include "textio/textio.h"
#include "toolkit/qt/designer.h"
#include "toolkit/toolkit.h"
#include "ui_dialog101.h"
#include "ui_dialog102.h"
#include "ui_dialog103.h"
#include "ui_dialog104.h"
#include "ui_dialog105.h"
#include "ui_dialog106.h"
#include "ui_dialog107.h"
#include "ui_dialog109.h"
#include "messages/geoid.h"

namespace geoid {

namespace {

template <class Ui>
QWidget* build()
{
    auto* w = new QWidget;
    Ui ui;
    ui.setupUi(w);
    return w;
}

// Viewers use a fixed-pitch font; "Courier" falls back to the system's typewriter face. Long
// lines are not wrapped: both scroll bars appear as needed, and the keyboard moves through
// the text (arrows, Page Down, Ctrl+End) though it cannot change it.
template <class Ui>
QWidget* build_viewer(int field)
{
    QWidget* w = build<Ui>();
    if (auto* text = w->findChild<QPlainTextEdit*>(QStringLiteral("id%1").arg(field))) {
        QFont font(QStringLiteral("Courier"), 10);
        font.setStyleHint(QFont::TypeWriter);
        if (!QFontInfo(font).fixedPitch()) font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        font.setPointSize(10);
        text->setFont(font);
        text->setReadOnly(true);
        text->setLineWrapMode(QPlainTextEdit::NoWrap);
        text->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        text->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        text->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
        text->setFocusPolicy(Qt::StrongFocus);
    }
    return w;
}

// Room under each column for the longest reason any of its fields can give, wrapped at the
// column's narrowest width: the reason is never cut. The room is fixed, so the label's height
// does not depend on its width (no height-for-width in the layouts).
void reserve_reason_room(QWidget* form, int dialog)
{
    std::vector<QLabel*> labels;
    for (const Field& line : fields()) {
        if (line.dialog != dialog || line.kind != Kind::Reason) continue;
        if (auto* label = form->findChild<QLabel*>(QStringLiteral("id%1").arg(line.id))) {
            QSizePolicy policy = label->sizePolicy();
            policy.setHeightForWidth(false);
            label->setSizePolicy(policy);
            labels.push_back(label);
        }
    }
    form->ensurePolished();
    if (form->layout() != nullptr) form->layout()->activate();
    form->resize(form->minimumSizeHint());
    if (form->layout() != nullptr) form->layout()->activate();
    for (const Field& line : fields()) {
        if (line.dialog != dialog || line.kind != Kind::Reason) continue;
        auto* label = form->findChild<QLabel*>(QStringLiteral("id%1").arg(line.id));
        if (label == nullptr) continue;
        const int width = std::max(label->width(), 1);
        int height = label->fontMetrics().height();
        for (const Field& f : fields()) {
            if (f.dialog != dialog || f.check == Check::None || f.system != line.system) continue;
            const QRect r = label->fontMetrics().boundingRect(QRect(0, 0, width, 1 << 20), Qt::TextWordWrap,
                                                             QString::fromStdString(check_reason(f)));
            height = std::max(height, r.height());
        }
        label->setMinimumHeight(height + label->contentsMargins().top() + label->contentsMargins().bottom());
    }
    // A form not yet shown learns of its new minimum heights only here.
    for (QLayout* l : form->findChildren<QLayout*>()) l->invalidate();
    if (form->layout() != nullptr) form->layout()->activate();
}

// The field table's setup of each control, and the preview's room for the lines it shows and a
// scroll bar; read with the keyboard, not changed.
void apply_field_table(QWidget* form, int dialog)
{
    toolkit::qt::apply_fields(form, dialog);
    if (auto* preview = form->findChild<QPlainTextEdit*>(QStringLiteral("id%1").arg(kPreview))) {
        preview->setReadOnly(true);
        preview->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
        preview->setTabChangesFocus(true);
        const QFontMetrics fm(preview->font());
        preview->setFixedHeight(fm.lineSpacing() * (kPreviewLines + 1) + 2 * preview->frameWidth() +
                                static_cast<int>(2 * preview->document()->documentMargin()) + 4 +
                                preview->horizontalScrollBar()->sizeHint().height());
    }
}

// The start panel and the two forms share one size, so they replace each other in place
// without the window jumping.
void prepare_form(QWidget* form, int dialog)
{
    apply_field_table(form, dialog);
    reserve_reason_room(form, dialog);
}

// Taken anew whenever the application's font changes: everything follows the font.
QSize form_size()
{
    static QFont font;
    static QSize size;
    if (size.isEmpty() || font != QApplication::font()) {
        font = QApplication::font();
        std::unique_ptr<QWidget> point(build<Ui::Dialog101>());
        std::unique_ptr<QWidget> file(build<Ui::Dialog102>());
        prepare_form(point.get(), kPointDialog);
        prepare_form(file.get(), kFileDialog);
        // Wrapping labels give the forms a height for their width beyond their size hint.
        const auto wanted = [](const QWidget* form) {
            QSize hint = form->sizeHint();
            if (form->hasHeightForWidth()) hint.setHeight(std::max(hint.height(), form->heightForWidth(hint.width())));
            return hint.expandedTo(form->minimumSizeHint());
        };
        size = wanted(point.get()).expandedTo(wanted(file.get()));
    }
    return size;
}

// The start panel and both forms open in one size, so they replace each other in place; a
// window too small for a form scrolls.
template <class Ui>
QWidget* build_form(int dialog)
{
    QWidget* w = build<Ui>();
    prepare_form(w, dialog);
    w->setProperty(toolkit::kPreferredSize, form_size());
    return w;
}

QPixmap info_picture()
{
    // A stylised quasigeoid: a gently undulating surface drawn as a grid of meridians and
    // parallels over an ellipsoid outline.
    QPixmap pm(128, 128);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 128);
    sky.setColorAt(0, QColor(0xdf, 0xee, 0xfb));
    sky.setColorAt(1, QColor(0x9c, 0xc3, 0xe6));
    p.setBrush(sky);
    p.setPen(QPen(QColor(0x2b, 0x4c, 0x7e), 1.5));
    p.drawEllipse(QRectF(6, 30, 116, 76));
    const auto surface = [](double u, double v) {
        const double x = 64 + 52 * u;
        const double y = 68 + 30 * v + 7 * std::sin(3.1 * u + 1.3) * std::cos(2.3 * v) + 4 * std::sin(5.0 * v + u);
        return QPointF(x, y);
    };
    p.setPen(QPen(QColor(0x1f, 0x6f, 0x3a), 1.1));
    for (int k = -4; k <= 4; ++k) {
        QPainterPath row, col;
        for (int s = -20; s <= 20; ++s) {
            const double t = s / 20.0;
            const double lim = std::sqrt(std::max(0.0, 1.0 - (k / 4.5) * (k / 4.5)));
            const QPointF a = surface(t * lim, k / 4.5);
            const QPointF b = surface(k / 4.5, t * lim);
            if (s == -20) {
                row.moveTo(a);
                col.moveTo(b);
            } else {
                row.lineTo(a);
                col.lineTo(b);
            }
        }
        p.drawPath(row);
        p.drawPath(col);
    }
    p.setPen(QPen(QColor(0xc0, 0x39, 0x2b), 2));
    p.drawLine(QPointF(64, 22), QPointF(64, 66));
    p.setBrush(QColor(0xc0, 0x39, 0x2b));
    p.drawEllipse(QPointF(64, 68), 3, 3);
    p.drawText(QRectF(0, 2, 128, 18), Qt::AlignCenter, QStringLiteral("N"));
    return pm;
}

}  // namespace

void register_resources()
{
    toolkit::qt::register_dialog(kPointDialog, [] { return build_form<Ui::Dialog101>(kPointDialog); });
    toolkit::qt::register_dialog(kFileDialog, [] { return build_form<Ui::Dialog102>(kFileDialog); });
    toolkit::qt::register_dialog(kErrorDialog, [] { return build<Ui::Dialog103>(); });
    toolkit::qt::register_dialog(kInputViewerDialog, [] { return build_viewer<Ui::Dialog104>(kInputViewerText); });
    toolkit::qt::register_dialog(kStartDialog, [] { return build_form<Ui::Dialog105>(kStartDialog); });
    toolkit::qt::register_dialog(kOutputViewerDialog, [] { return build_viewer<Ui::Dialog106>(kOutputViewerText); });
    toolkit::qt::register_dialog(kInfoDialog, [] {
        QWidget* w = build<Ui::Dialog107>();
        if (auto* pic = w->findChild<QLabel*>(QStringLiteral("id2002"))) {
            pic->setPixmap(info_picture());
            pic->setAccessibleName(QString::fromUtf8(messages::geoid::kInfoPicture));
        }
        return w;
    });
    toolkit::qt::register_dialog(kHelpViewerDialog, [] { return build_viewer<Ui::Dialog109>(kHelpViewerText); });
    register_field_setups();
}

}  // namespace geoid
