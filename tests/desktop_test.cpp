// geoid on the desktops users have: every digit visible at every font, size and palette, every
// control reachable on small and scaled screens, the keyboard of a dialog, reasons that show
// whole. Real widgets on Qt's offscreen platform.

#include <QAccessible>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>

#include "app/checks.h"
#include "app/fields.h"
#include "app/file_form.h"
#include "app/model_selection.h"
#include "app/point_form.h"
#include "tests/geoid_fixture.h"
#include "textio/textio.h"

namespace {

QWidget* field(int id)
{
    return toolkit::testing::field_widget(id);
}

QLineEdit* edit(int id)
{
    return qobject_cast<QLineEdit*>(field(id));
}

// The widest texts a field's format can write: its full width of each digit, with the point
// and a minus sign where the format puts them; a field without a format (a sign) its signs.
std::vector<QString> widest_texts(const geoid::Field& f)
{
    textio::FieldFormat format;
    if (f.format == nullptr || !textio::parse_format(f.format, format)) return {QStringLiteral("+"), QStringLiteral("-")};
    std::vector<QString> texts{QString(format.width, QLatin1Char('*'))};
    for (char d = '0'; d <= '9'; ++d) {
        QString t(format.width, QLatin1Char(d));
        if (format.kind == 'f' && format.decimals > 0) t[format.width - format.decimals - 1] = QLatin1Char('.');
        texts.push_back(t);
        t[0] = QLatin1Char('-');
        texts.push_back(t);
    }
    return texts;
}

// The room a line edit gives its text.
int text_room(const QLineEdit* e)
{
    return e->contentsRect().width() - e->textMargins().left() - e->textMargins().right() - 4;
}

class Desktop : public Geoid {
protected:
    void SetUp() override
    {
        font_ = QApplication::font();
        palette_ = QApplication::palette();
        Geoid::SetUp();
        k().job.model_file = sample_copy();
    }
    void TearDown() override
    {
        Geoid::TearDown();
        toolkit::testing::set_screen_area({});
        QApplication::setFont(font_);
        QApplication::setPalette(palette_);
    }
    // The form's window and its scroll area.
    static QScrollArea* scroller(int handle)
    {
        return toolkit::testing::window_widget(handle)->findChild<QScrollArea*>();
    }

private:
    QFont font_;
    QPalette palette_;
};

}  // namespace

// Every field of both forms holds the widest text its format writes, whole, in each font and
// size users have (GNOME's Cantarell 11 among them), with light and dark palettes.
TEST_F(Desktop, EveryDigitFitsItsFieldAtEveryFontSizeAndPalette)
{
    for (const char* family : {"DejaVu Sans", "Noto Sans", "Cantarell"}) {
        ASSERT_EQ(QFontInfo(QFont(QString::fromUtf8(family))).family().toStdString(), family) << "font not installed";
        for (const int points : {8, 10, 11, 12, 14}) {
            for (const bool dark : {false, true}) {
                SCOPED_TRACE(std::string(family) + " " + std::to_string(points) + (dark ? " dark" : " light"));
                QApplication::setFont(QFont(QString::fromUtf8(family), points));
                QApplication::setPalette(dark ? toolkit::testing::dark_palette() : QPalette());
                for (const geoid::FormMode mode : {geoid::FormMode::Point, geoid::FormMode::File}) {
                    geoid::fenster(app(), mode);
                    for (const geoid::Field& f : geoid::fields()) {
                        QLineEdit* e = f.dialog == toolkit::testing::current_dialog() ? edit(f.id) : nullptr;
                        if (e == nullptr || (f.format == nullptr && f.length == 0)) continue;
                        const QFontMetrics fm(e->font());
                        for (const QString& text : widest_texts(f))
                            ASSERT_LE(fm.horizontalAdvance(text), text_room(e)) << f.id << " \"" << text.toStdString() << '"';
                    }
                }
            }
        }
    }
}

// On an office PC (1024 x 768) and on a 1920 x 1080 laptop at 150 % and 200 % (1280 x 720 and
// 960 x 540 device-independent pixels), every window opens fully on the screen, and every
// control of a form can be scrolled into its window's view.
TEST_F(Desktop, EveryControlReachableOnSmallAndScaledScreens)
{
    write_text(dir.file("punkte.txt"), "52.5 13.3 80\n");
    k().job.input_file = dir.file("punkte.txt");
    // And 640 x 300, where the forms must scroll.
    for (const QRect area : {QRect(0, 0, 1024, 768), QRect(0, 0, 1280, 720), QRect(0, 0, 960, 540), QRect(0, 0, 640, 300)}) {
        SCOPED_TRACE(std::to_string(area.width()) + " x " + std::to_string(area.height()));
        toolkit::testing::set_screen_area(area);
        win().form_pos = {area.width() - 100, area.height() - 100};  // stored beyond the edge
        for (const geoid::FormMode mode : {geoid::FormMode::Start, geoid::FormMode::Point, geoid::FormMode::File}) {
            geoid::fenster(app(), mode);
            for (int k = 0; k < 3; ++k) QApplication::processEvents();  // scroll bars follow their ranges queued
            const int handle = mode == geoid::FormMode::Start ? win().start_window
                               : mode == geoid::FormMode::Point ? win().point_window
                                                                 : win().file_window;
            QWidget* window = toolkit::testing::window_widget(handle);
            EXPECT_TRUE(area.contains(window->frameGeometry())) << static_cast<int>(mode);
            QScrollArea* scroll = scroller(handle);
            ASSERT_NE(scroll, nullptr);
            for (QWidget* control : scroll->widget()->findChildren<QWidget*>()) {
                if (!control->objectName().startsWith(QStringLiteral("id")) || !control->isVisibleTo(window)) continue;
                // Scrolled as far as needed to bring it into view (the scroll area's own helper
                // only brings a text field's cursor into view).
                const QRect in_form(control->mapTo(scroll->widget(), QPoint(0, 0)), control->size());
                scroll->horizontalScrollBar()->setValue(std::max(0, in_form.right() + 1 - scroll->viewport()->width()));
                scroll->verticalScrollBar()->setValue(std::max(0, in_form.bottom() + 1 - scroll->viewport()->height()));
                // Whole, or as much as the view can hold of a control larger than it.
                const QRect at(control->mapTo(scroll->viewport(), QPoint(0, 0)), control->size());
                const QRect seen = at.intersected(scroll->viewport()->rect());
                EXPECT_EQ(seen.size(), at.size().boundedTo(scroll->viewport()->size()))
                    << control->objectName().toStdString() << " at " << at.x() << "," << at.y() << " " << at.width() << "x"
                    << at.height() << " in " << scroll->viewport()->width() << "x" << scroll->viewport()->height();
            }
        }
        // The dialogs the file form opens: the file dialog, the error box; a viewer.
        std::vector<QRect> opened;
        const auto keep = [&](QWidget* m) {
            opened.push_back(m->frameGeometry());
            m->close();
        };
        gui::ModalAnswers answers({keep, keep});
        geoid::file_form_button(app(), geoid::kButtonInputFile);
        geoid::write_errcode(geoid::kFileDialog, std::string(400, 'x'));
        ASSERT_EQ(opened.size(), 2u);
        for (const QRect& r : opened) EXPECT_TRUE(area.contains(r)) << r.width() << " x " << r.height();
        geoid::show_help(k(), win().help_viewer);
        EXPECT_TRUE(area.contains(toolkit::testing::window_widget(win().help_viewer.handle)->frameGeometry()));
    }
}

// Return computes in either form, from a text field or the check box, also after a file button
// was used; on a focused push button it presses that button. Tab reaches a radio group once,
// at the checked button, and the arrow keys move among the group.
TEST_F(Desktop, ReturnComputesAndTabMeetsTheCheckedRadioButton)
{
    write_text(dir.file("punkte.txt"), "52.5163 13.3777 80.412\n");
    k().job.input_file = dir.file("punkte.txt");
    k().job.output_file = dir.file("ergebnis.txt");
    geoid::fenster(app(), geoid::FormMode::File);
    std::vector<std::string> boxes;
    gui::ModalAnswers answers({gui::cancel, [&](QWidget* m) {
                                   boxes.push_back(qobject_cast<QMessageBox*>(m) != nullptr ? "closing" : "other");
                                   m->close();
                               },
                               [&](QWidget* m) {
                                   boxes.push_back(qobject_cast<QMessageBox*>(m) != nullptr ? "closing" : "other");
                                   m->close();
                               }});
    EXPECT_TRUE(run_loop({[] { QTest::keyClick(field(geoid::kButtonOutputFile), Qt::Key_Return); },  // its dialog, cancelled
                          [&] {
                              k().job.output_file = dir.file("ergebnis.txt");  // the cancel blanked it
                              qobject_cast<QAbstractButton*>(field(geoid::kCheckPointNumber))->setChecked(false);
                              edit(geoid::kFieldPointNumberLength)->setFocus();
                              QTest::keyClick(edit(geoid::kFieldPointNumberLength), Qt::Key_Return);
                          },
                          [&] { QTest::keyClick(field(geoid::kCheckPointNumber), Qt::Key_Return); }}));
    EXPECT_EQ(boxes, (std::vector<std::string>{"closing", "closing"}));
    EXPECT_FALSE(qobject_cast<QPushButton*>(field(geoid::kButtonOutputFile))->isDefault());

    geoid::fenster(app(), geoid::FormMode::Point);
    for (const auto& [f, text] : std::vector<std::pair<int, const char*>>{{1029, "52.5163"}, {1014, "13.3777"}, {1015, "80.412"}})
        edit(f)->setText(QString::fromUtf8(text));
    edit(geoid::kFieldHeight)->setFocus();
    EXPECT_TRUE(run_loop({[] { QTest::keyClick(edit(geoid::kFieldHeight), Qt::Key_Return); },
                          [] {
                              EXPECT_EQ(edit(geoid::kFieldN)->text().trimmed(), QStringLiteral("39.561"));
                              // Tab from h of the decimal system: the next system's first field,
                              // not its unchecked radio button.
                              edit(geoid::kFieldHeight)->setFocus();
                              QTest::keyClick(edit(geoid::kFieldHeight), Qt::Key_Tab);
                              EXPECT_EQ(toolkit::testing::window_widget(win().point_window)->focusWidget(), field(1058));
                              field(geoid::kRadioBlh1)->setFocus();
                              QTest::keyClick(field(geoid::kRadioBlh1), Qt::Key_Right);
                          },
                          [] { EXPECT_EQ(geoid::selected_system(), geoid::System::Blh2); }}));
}

// The reason under a failing field shows whole in its label, for every checked field, in a
// large font too, and a screen reader is told it as an alert. The progress bar and the Info
// picture have names.
TEST_F(Desktop, ReasonLabelHoldsItsWholeText)
{
    for (const int points : {10, 14}) {
        SCOPED_TRACE(points);
        QApplication::setFont(QFont(QStringLiteral("Cantarell"), points));
        geoid::fenster(app(), geoid::FormMode::Point);
        for (const geoid::Field& f : geoid::fields()) {
            if (f.dialog != geoid::kPointDialog || f.check == geoid::Check::None) continue;
            geoid::clear_reasons(geoid::kPointDialog);
            geoid::show_reason(geoid::kPointDialog, f.id);
            auto* label = qobject_cast<QLabel*>(field(geoid::reason_field(geoid::kPointDialog, f.system)->id));
            QApplication::processEvents();
            const QRect needed = label->fontMetrics().boundingRect(QRect(0, 0, label->contentsRect().width(), 10000),
                                                                   Qt::TextWordWrap, label->text());
            EXPECT_FALSE(label->text().isEmpty()) << f.id;
            // Announced: an alert named by the reason.
            QAccessibleInterface* heard = QAccessible::queryAccessibleInterface(label);
            ASSERT_NE(heard, nullptr);
            EXPECT_EQ(heard->role(), QAccessible::AlertMessage);
            EXPECT_EQ(heard->text(QAccessible::Name), label->text());
            EXPECT_LE(needed.height(), label->contentsRect().height()) << f.id << ' ' << label->text().toStdString();
            EXPECT_LE(needed.width(), label->contentsRect().width()) << f.id;
        }
    }
}

TEST_F(Desktop, ProgressBarAndInfoPictureAreNamed)
{
    QString picture;
    gui::ModalAnswers answers({[&](QWidget* m) { picture = m->findChild<QLabel*>(QStringLiteral("id2002"))->accessibleName(), m->close(); }});
    geoid::show_info();
    EXPECT_FALSE(picture.isEmpty());
    toolkit::wprogressshow("Berechnung");
    auto* bar = QApplication::activeModalWidget()->findChild<QProgressBar*>();
    EXPECT_EQ(bar->accessibleName(), QStringLiteral("Fortschritt der Berechnung"));
    toolkit::wprogressclose();
}
