// The forms as German users, keyboards and screen readers meet them: decimal commas, results
// that never go stale, reasons at a failing field, names for every control, access keys, tab
// order, Escape and Return, and windows that fit an office screen.

#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSet>
#include <QTest>
#include <algorithm>

#include "app/checks.h"
#include "app/fields.h"
#include "app/file_form.h"
#include "app/model_selection.h"
#include "app/point_form.h"
#include "tests/geoid_fixture.h"

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}
QT_END_NAMESPACE

namespace {

QWidget* field(int id)
{
    return toolkit::testing::field_widget(id);
}

QLineEdit* edit(int id)
{
    return qobject_cast<QLineEdit*>(field(id));
}

// Types as a user does: the field gets the focus and each key arrives as a key press.
void type(int id, const QString& text)
{
    QLineEdit* e = edit(id);
    e->setFocus();
    e->selectAll();
    QTest::keyClick(e, Qt::Key_Delete);
    QTest::keyClicks(e, text);
}

void compute()
{
    geoid::point_form_button(k(), win().point_window, geoid::kButtonComputePoint);
}

void select_system(int radio)
{
    qobject_cast<QRadioButton*>(field(radio))->setChecked(true);
    geoid::input_enable(geoid::find_field(geoid::kPointDialog, radio)->system);
}

QString accessible_name(QWidget* w)
{
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
    return a != nullptr ? a->text(QAccessible::Name) : QString();
}

// The widgets Tab visits, in order, from the form's first control round to it again.
std::vector<int> tab_order(QWidget* first)
{
    std::vector<int> ids;
    QWidget* w = first;
    do {
        if ((w->focusPolicy() & Qt::TabFocus) && w->isEnabled() && w->isVisible() &&
            w->objectName().startsWith(QStringLiteral("id")))
            ids.push_back(w->objectName().mid(2).toInt());
        w = w->nextInFocusChain();
    } while (w != first && ids.size() < 100);
    return ids;
}

// The access key of a caption ("Be&rechnen": R), 0 for none.
QChar access_key(const QString& text)
{
    const qsizetype at = text.indexOf(QLatin1Char('&'));
    return at >= 0 && at + 1 < text.size() ? text.at(at + 1).toUpper() : QChar();
}

class Usability : public Geoid {
protected:
    void SetUp() override
    {
        Geoid::SetUp();
        k().model_file = sample_copy();
        geoid::fenster(app(), geoid::FormMode::Point);
    }
};

}  // namespace

// A point typed with decimal commas in every real field of a system gives the N and H of the
// same point typed with points.
TEST_F(Usability, DecimalCommaInEachSystemsRealFields)
{
    type(geoid::kFieldB, QStringLiteral("52.5163"));
    type(geoid::kFieldL, QStringLiteral("13.3777"));
    type(geoid::kFieldHeight, QStringLiteral("74.061"));
    compute();
    const QString n = edit(geoid::kFieldN)->text(), h = edit(geoid::kFieldH)->text();
    ASSERT_EQ(n.trimmed(), QStringLiteral("39.561"));
    for (const geoid::Field& radio : geoid::fields()) {
        if (radio.dialog != geoid::kPointDialog || radio.kind != geoid::Kind::Radio) continue;
        SCOPED_TRACE(radio.name);
        select_system(radio.id);
        for (const geoid::Field& f : geoid::fields())
            if (f.dialog == geoid::kPointDialog && f.system == radio.system && f.check == geoid::Check::Real)
                type(f.id, edit(f.id)->text().trimmed().replace(QLatin1Char('.'), QLatin1Char(',')));
        compute();
        EXPECT_EQ(edit(geoid::kFieldN)->text(), n);
        EXPECT_EQ(edit(geoid::kFieldH)->text(), h);
    }
}

// After a computation an edit of the selected system empties N and H; switching systems does
// not. A failing field says why, at the field and to a screen reader.
TEST_F(Usability, NoStaleResultAndAReasonAtTheFailingField)
{
    QString north;
    EXPECT_TRUE(run_loop({[] {
                              type(geoid::kFieldB, QStringLiteral("52,5163"));
                              type(geoid::kFieldL, QStringLiteral("13,3777"));
                              type(geoid::kFieldHeight, QStringLiteral("74,061"));
                          },
                          [&] {
                              compute();
                              north = edit(1026)->text();
                              field(geoid::kRadioUtm32)->setFocus();
                              QTest::keyClick(field(geoid::kRadioUtm32), Qt::Key_Space);
                          },
                          [] {
                              EXPECT_EQ(geoid::selected_system(), geoid::System::Utm32);
                              EXPECT_EQ(edit(geoid::kFieldN)->text().trimmed(), QStringLiteral("39.561"));
                              EXPECT_EQ(edit(geoid::kFieldH)->text().trimmed(), QStringLiteral("34.500"));
                              type(1028, QStringLiteral("1"));
                          },
                          [&] {
                              EXPECT_EQ(edit(geoid::kFieldN)->text(), QString());
                              EXPECT_EQ(edit(geoid::kFieldH)->text(), QString());
                              EXPECT_EQ(edit(1026)->text(), north);  // the other fields stay
                              select_system(geoid::kRadioBlh1);
                              type(geoid::kFieldB, QStringLiteral("99"));
                          },
                          [] { compute(); },
                          [] {
                              const QString reason = QStringLiteral("B: Zahl zwischen 47.23 und 55.98");
                              EXPECT_EQ(qobject_cast<QLabel*>(field(1102))->text(), reason);
                              EXPECT_EQ(field(geoid::kFieldB)->accessibleDescription(), reason);
                              EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
                              type(geoid::kFieldB, QStringLiteral("52"));
                          },
                          [] { EXPECT_EQ(qobject_cast<QLabel*>(field(1102))->text(), QString()); }}));
    geoid::fenster(app(), geoid::FormMode::File);
    qobject_cast<QCheckBox*>(field(geoid::kCheckPointNumber))->setChecked(true);
    toolkit::wdialogputstring(geoid::kFieldPointNumberLength, "31");
    EXPECT_FALSE(geoid::readfields(k()).ok());
    EXPECT_EQ(qobject_cast<QLabel*>(field(1171))->text(), QStringLiteral("L\u00E4nge der Punktnummer: ganze Zahl zwischen 1 und 30"));
}

// Every control of the table has a name of its own, without blanks around it; labels are the
// buddies of their fields, and the format lists are labelled by theirs; both kinds of box are
// announced alike.
TEST_F(Usability, EveryControlIsNamedForAScreenReader)
{
    for (const int dialog : {geoid::kPointDialog, geoid::kFileDialog}) {
        geoid::fenster(app(), dialog == geoid::kPointDialog ? geoid::FormMode::Point : geoid::FormMode::File);
        QSet<QString> names;
        for (const geoid::Field& f : geoid::fields()) {
            if (f.dialog != dialog || f.kind == geoid::Kind::Label || f.kind == geoid::Kind::Reason) continue;
            SCOPED_TRACE(f.id);
            ASSERT_NE(field(f.id), nullptr);
            const QString name = f.kind == geoid::Kind::List ? field(f.id)->accessibleName() : accessible_name(field(f.id));
            EXPECT_FALSE(name.isEmpty());
            EXPECT_EQ(name, name.trimmed());
            EXPECT_FALSE(names.contains(name)) << name.toStdString();
            names.insert(name);
        }
        QWidget* form = toolkit::testing::window_widget(dialog == geoid::kPointDialog ? win().point_window : win().file_window);
        QSet<QWidget*> labelled;
        for (QLabel* l : form->findChildren<QLabel*>()) {
            if (l->objectName().isEmpty()) continue;  // the status bar's
            const geoid::Field* f = geoid::find_field(dialog, l->objectName().mid(2).toInt());
            if (f != nullptr && f->kind == geoid::Kind::Reason) continue;
            EXPECT_NE(l->buddy(), nullptr) << l->objectName().toStdString() << " " << l->text().toStdString();
            labelled.insert(l->buddy());
        }
        for (QComboBox* list : form->findChildren<QComboBox*>()) {
            const auto relations = QAccessible::queryAccessibleInterface(list)->relations(QAccessible::Label);
            ASSERT_EQ(relations.size(), 1);
            EXPECT_EQ(relations.front().first->text(QAccessible::Name).remove(QLatin1Char('&')), list->accessibleName());
        }
        for (const geoid::Field& f : geoid::fields())
            if (f.dialog == dialog && (f.kind == geoid::Kind::Input || f.kind == geoid::Kind::Result || f.kind == geoid::Kind::List ||
                                       f.kind == geoid::Kind::Text))
                EXPECT_TRUE(labelled.contains(field(f.id))) << f.id;
    }
    QString roles[2];
    gui::ModalAnswers answers({[&](QWidget* m) { roles[0] = QString::number(QAccessible::queryAccessibleInterface(m)->role()), m->close(); },
                               [&](QWidget* m) { roles[1] = QString::number(QAccessible::queryAccessibleInterface(m)->role()), m->close(); }});
    geoid::write_errcode(-1, "Fehler");
    geoid::write_message(-1, "Berechnung beendet");
    EXPECT_EQ(roles[0], QString::number(QAccessible::AlertMessage));
    EXPECT_EQ(roles[1], roles[0]);
}

// Access keys on radio buttons, buttons, the check box and the labels of lists: none twice in
// a form, none the same as one of the menu's; Tab follows the layout.
TEST_F(Usability, AccessKeysAndTabOrder)
{
    QSet<QChar> menu;
    for (QAction* a : qobject_cast<QMainWindow*>(toolkit::testing::window_widget(win().point_window))->menuBar()->actions())
        menu.insert(access_key(a->text()));
    EXPECT_EQ(menu, (QSet<QChar>{QChar('Q'), QChar('I'), QChar('D'), QChar('H'), QChar('N'), QChar('B')}));
    const struct {
        geoid::FormMode mode;
        int buttons;  // radio buttons, buttons and the check box
        std::vector<int> tabs;
    } forms[] = {
        {geoid::FormMode::Point, 6,
         {1001, 1007, 1004, 1005, 1002, 1029, 1014, 1015, 1016, 1058, 1035, 1037, 1038, 1057, 1030, 1013, 1036, 1031,
          1003, 1026, 1028, 1027, 1061, 1074, 1075, 1060, 1043, 1044, 1055}},
        {geoid::FormMode::File, 6, {1059, 1061, 1063, 1066, 1060, 1062, 1064, 1067, 1070, 1071, 1065}},
    };
    for (const auto& f : forms) {
        geoid::fenster(app(), f.mode);
        QWidget* w = toolkit::testing::window_widget(f.mode == geoid::FormMode::Point ? win().point_window : win().file_window);
        QSet<QChar> keys = menu;
        int with_key = 0;
        for (QAbstractButton* b : w->findChildren<QAbstractButton*>()) {
            const QChar key = access_key(b->text());
            if (key.isNull()) continue;
            ++with_key;
            EXPECT_FALSE(keys.contains(key)) << b->text().toStdString();
            keys.insert(key);
        }
        EXPECT_EQ(with_key, f.buttons);
        for (QLabel* l : w->findChildren<QLabel*>())
            if (const QChar key = access_key(l->text()); !key.isNull()) {
                EXPECT_FALSE(keys.contains(key)) << l->text().toStdString();
                keys.insert(key);
            }
        EXPECT_EQ(tab_order(field(f.tabs.front())), f.tabs);
    }
}

// Return presses the focused push button and otherwise the default one; Escape closes a
// viewer, the help and Info.
TEST_F(Usability, ReturnAndEscape)
{
    write_text(dir.file("in.txt"), "52.5 13.3 80\n");
    k().input_file = dir.file("in.txt");
    geoid::fenster(app(), geoid::FormMode::File);
    QWidget* view = field(geoid::kButtonViewInput);
    QWidget* check = field(geoid::kCheckPointNumber);
    std::string seen;
    gui::ModalAnswers answers({[&](QWidget* m) {
        seen = m->windowTitle().toStdString();  // the default button's file dialog
        m->close();
    }});
    EXPECT_TRUE(run_loop({[&] { QTest::keyClick(view, Qt::Key_Return); },
                          [&] {
                              ASSERT_NE(win().input_viewer.handle, 0);
                              QTest::keyClick(toolkit::testing::window_widget(win().input_viewer.handle), Qt::Key_Escape);
                          },
                          [&] {
                              EXPECT_EQ(win().input_viewer.handle, 0);
                              QTest::keyClick(check, Qt::Key_Return);
                          },
                          [&] { EXPECT_EQ(seen, "Name der Koordinatendatei"); }}));
    geoid::show_help(k(), win().help_viewer);
    ASSERT_NE(win().help_viewer.handle, 0);
    EXPECT_TRUE(run_loop({[] { QTest::keyClick(toolkit::testing::window_widget(win().help_viewer.handle), Qt::Key_Escape); },
                          [] { EXPECT_EQ(win().help_viewer.handle, 0); }}));
    bool closed = false;
    QTimer::singleShot(50, [&] {
        if (QWidget* m = QApplication::activeModalWidget()) QTest::keyClick(m, Qt::Key_Escape);
        closed = QApplication::activeModalWidget() == nullptr;
    });
    geoid::show_info();
    EXPECT_TRUE(closed);
}

// Every window fits a 1024 x 768 screen and opens fully on it, also at a stored position
// beyond its edge.
TEST_F(Usability, EveryWindowFitsAnOfficeScreen)
{
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    ASSERT_EQ(screen.size(), QSize(1024, 768));
    write_text(dir.file("geoid.readme"), "Hilfe\n");
    win().form_pos = {900, 700};
    win().help_viewer.pos = {-50, 2000};
    geoid::fenster(app(), geoid::FormMode::File);
    geoid::show_help(k(), win().help_viewer);
    const int windows[] = {win().file_window, win().help_viewer.handle};
    for (const int handle : windows) {
        const QRect frame = toolkit::testing::window_widget(handle)->frameGeometry();
        EXPECT_TRUE(screen.contains(frame)) << frame.x() << ' ' << frame.y() << ' ' << frame.width() << ' ' << frame.height();
    }
    for (const geoid::FormMode mode : {geoid::FormMode::Start, geoid::FormMode::Point}) {
        geoid::fenster(app(), mode);
        const int handle = mode == geoid::FormMode::Start ? win().start_window : win().point_window;
        EXPECT_TRUE(screen.contains(toolkit::testing::window_widget(handle)->frameGeometry()));
    }
    QSize boxes[2];
    gui::ModalAnswers answers({[&](QWidget* m) { boxes[0] = m->frameGeometry().size(), m->close(); },
                               [&](QWidget* m) { boxes[1] = m->frameGeometry().size(), m->close(); }});
    geoid::show_info();
    geoid::write_errcode(-1, std::string(300, 'x'));
    for (const QSize& s : boxes) EXPECT_TRUE(s.width() <= 1024 && s.height() <= 768 && !s.isEmpty()) << s.width() << "x" << s.height();
}
