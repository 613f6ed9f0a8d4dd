// The point form driven as a user drives it: a radio button clicked, a point typed, "Berechnen"
// pressed; then every system, N and H read back from the form. Both forms as German users,
// keyboards and screen readers meet them: decimal commas, results that never go stale, reasons
// at a failing field, names for every control, access keys, tab order, Escape and Return, and
// windows that fit an office screen.

#include <QAccessible>
#include <QCheckBox>
#include <QClipboard>
#include <QMenu>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSet>
#include <QTest>
#include <cmath>
#include <cstdio>
#include <map>
#include <memory>

#include "app/checks.h"
#include "app/fields.h"
#include "app/file_form.h"
#include "app/model_selection.h"
#include "app/point_form.h"
#include "interp/query.h"
#include "messages/messages.h"
#include "tests/geoid_fixture.h"
#include "textio/textio.h"

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}
QT_END_NAMESPACE

namespace {

// Berlin, Brandenburger Tor area, in all five systems (converted by the program and checked
// against an independent implementation in the conversion tests).
constexpr double kB = 52.5163, kL = 13.3777, kH = 80.412;

QWidget* field(int id)
{
    return toolkit::testing::field_widget(id);
}

QLineEdit* edit(int field)
{
    return qobject_cast<QLineEdit*>(toolkit::testing::field_widget(field));
}

std::string text_of(int field)
{
    return edit(field)->text().toStdString();
}

double number(int field)
{
    const std::string text = text_of(field);
    const std::size_t start = text.find_first_not_of(' ');
    double v = std::nan("");
    if (start != std::string::npos) textio::parse_number(std::string_view(text).substr(start), v);
    return v;
}

void click_radio(int field)
{
    auto* r = qobject_cast<QRadioButton*>(toolkit::testing::field_widget(field));
    QTest::mouseClick(r, Qt::LeftButton, {}, QPoint(6, r->height() / 2));
}

void type(int field, const std::string& text)
{
    QLineEdit* e = edit(field);
    e->setFocus();
    e->selectAll();
    QTest::keyClick(e, Qt::Key_Delete);
    QTest::keyClicks(e, QString::fromStdString(text));
}

void press_compute()
{
    QTest::mouseClick(qobject_cast<QPushButton*>(toolkit::testing::field_widget(geoid::kButtonComputePoint)),
                      Qt::LeftButton);
}

std::vector<int> input_fields(geoid::System s)
{
    std::vector<int> out;
    for (const geoid::Field& f : geoid::fields())
        if (f.dialog == geoid::kPointDialog && f.kind == geoid::Kind::Input && (s == geoid::System::None || f.system == s))
            out.push_back(f.id);
    return out;
}

// Presses "Berechnen" at once, without a round of the event loop.
void compute()
{
    geoid::point_form_button(k(), win(), geoid::kButtonComputePoint);
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

// Escape as a user presses it: in the window in front, once the window system has put it there.
void press_escape(QWidget* window)
{
    window->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(window));
    QTest::keyClick(window, Qt::Key_Escape);
}

// The access key of a caption ("Be&rechnen": R), 0 for none.
QChar access_key(const QString& text)
{
    const qsizetype at = text.indexOf(QLatin1Char('&'));
    return at >= 0 && at + 1 < text.size() ? text.at(at + 1).toUpper() : QChar();
}

class PointForm : public Geoid {
protected:
    void SetUp() override
    {
        Geoid::SetUp();
        k().job.model_file = sample_copy();
        geoid::fenster(app(), geoid::FormMode::Point);
    }
};

}  // namespace

TEST_F(PointForm, PointTypedInEachSystemIsShownInAllFiveWithNAndH)
{
    // The typed values of the same point, system by system.
    const struct {
        int radio;
        std::vector<std::pair<int, std::string>> typed;
    } inputs[] = {
        {geoid::kRadioXyz, {{1007, "3784039.701"}, {1004, "899929.192"}, {1005, "5038032.370"}}},
        {geoid::kRadioBlh1, {{1029, "52.5163"}, {1014, "13.3777"}, {1015, "80.412"}}},
        {geoid::kRadioBlh2,
         {{1058, "+"}, {1035, "52"}, {1037, "30"}, {1038, "58.68"}, {1057, "+"}, {1030, "13"}, {1013, "22"}, {1036, "39.72"},
          {1031, "80.412"}}},
        {geoid::kRadioUtm32, {{1026, "5827475.852"}, {1028, "796986.834"}, {1027, "80.412"}}},
        {geoid::kRadioUtm33, {{1074, "5819701.919"}, {1075, "389917.833"}, {1060, "80.412"}}},
    };
    double n_expected = 0;
    std::string message;
    messages::varnik1(kB, kL, k().job.model_file, n_expected, message);
    ASSERT_EQ(message, "");
    for (const auto& in : inputs) {
        SCOPED_TRACE("radio " + std::to_string(in.radio));
        double elapsed_ms = -1;
        QElapsedTimer timer;
        EXPECT_TRUE(run_loop({[&] { click_radio(in.radio); },
                              [&] {
                                  for (const auto& [field, text] : in.typed) type(field, text);
                                  timer.start();
                                  press_compute();
                              },
                              [&] {
                                  elapsed_ms = static_cast<double>(timer.nsecsElapsed()) / 1e6;
                                  EXPECT_NEAR(number(1007), 3784039.701, 0.002);
                                  EXPECT_NEAR(number(1004), 899929.192, 0.002);
                                  EXPECT_NEAR(number(1005), 5038032.370, 0.002);
                                  EXPECT_NEAR(number(1029), kB, 2e-8);
                                  EXPECT_NEAR(number(1014), kL, 2e-8);
                                  EXPECT_EQ(text_of(1058) + text_of(1035) + text_of(1037), "+5230");
                                  EXPECT_NEAR(number(1038), 58.68, 2e-5);
                                  EXPECT_EQ(text_of(1057) + text_of(1030) + text_of(1013), "+ 1322");
                                  EXPECT_NEAR(number(1036), 39.72, 2e-5);
                                  EXPECT_NEAR(number(1026), 5827475.852, 0.002);
                                  EXPECT_NEAR(number(1028), 796986.834, 0.002);
                                  EXPECT_NEAR(number(1074), 5819701.919, 0.002);
                                  EXPECT_NEAR(number(1075), 389917.833, 0.002);
                                  for (const int h : {1015, 1031, 1027, 1060}) EXPECT_NEAR(number(h), kH, 0.0015) << h;
                                  // N as varnik computes it for the point; H = h - N as shown.
                                  const double n = number(geoid::kFieldN);
                                  EXPECT_NEAR(n, n_expected, 0.0015);
                                  EXPECT_EQ(text_of(geoid::kFieldH), testing_support::fixed(k().point.ell_h - k().height_anomaly, 8, 3));
                                  EXPECT_EQ(text_of(geoid::kFieldN), testing_support::fixed(k().height_anomaly, 8, 3));
                                  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
                                  // The focus is back on the first field of the typed system.
                                  EXPECT_EQ(toolkit::testing::window_widget(win().point_window)->focusWidget(),
                                            toolkit::testing::field_widget(in.typed.front().first));
                              }}));
        std::printf("[ measured ] press to result, radio %d: %.2f ms\n", in.radio, elapsed_ms);
    }
}

TEST_F(PointForm, HIsHMinusNRightAlignedInEightCharacters)
{
    // h = 100.000 and N = 47.123: H shows "  52.877".
    k().point.ell_h = 100.0;
    k().height_anomaly = 47.123;
    k().normal_height = 100.0 - 47.123;
    toolkit::wdialogselect(geoid::kPointDialog);
    geoid::writefields(k(), true);
    EXPECT_EQ(text_of(geoid::kFieldH), "  52.877");
    EXPECT_EQ(text_of(geoid::kFieldN), "  47.123");
    // A value too wide for its field is shown as asterisks, whole.
    k().point.ell_h = 123456.0;
    geoid::writefields(k(), true);
    for (const int h : {1015, 1031, 1027, 1060}) EXPECT_EQ(text_of(h), "********") << h;
}

TEST_F(PointForm, PointOutsideTheGridShowsEverySystemAndNoNOrH)
{
    QString shown;
    gui::ModalAnswers answers({[&](QWidget* m) {
        shown = label_text(m, geoid::kErrorText);
        gui::press(m, QStringLiteral("OK"));
    }});
    EXPECT_TRUE(run_loop({[] {
                              type(1029, "47.5");  // inside the checks' bounds, south of the model
                              type(1014, "3.5");
                              type(1015, "100");
                          },
                          [this] {
                              // A model covering only the north: 47.5 lies outside its grid.
                              const auto header = testing_support::header_records({50, 0, 0}, {51, 0, 0}, {3, 0, 0},
                                                                                  {16, 0, 0}, {0, 30, 0}, {0, 30, 0});
                              testing_support::write_records(
                                  dir.file("north.bin"),
                                  testing_support::with_nodes(header, testing_support::make_nodes(3, 27, [](int, int) { return 400000; })));
                              k().job.model_file = dir.file("north.bin");
                              press_compute();
                          },
                          [] {
                              EXPECT_EQ(text_of(geoid::kFieldN), "");
                              EXPECT_EQ(text_of(geoid::kFieldH), "");
                              EXPECT_NE(text_of(1026), "");
                              EXPECT_NE(text_of(1007), "");
                              EXPECT_EQ(text_of(1058), "+");
                          }}));
    EXPECT_EQ(shown.toStdString(), messages::kOutside);
}

TEST_F(PointForm, MissingOrVanishedModelShowsItsMessageAndComputesNothingWithoutOne)
{
    std::vector<std::string> shown;
    gui::ModalAnswers answers({[&](QWidget* m) {
                                   shown.push_back(label_text(m, geoid::kErrorText).toStdString());
                                   gui::press(m, QStringLiteral("OK"));
                               },
                               [&](QWidget* m) {
                                   shown.push_back(label_text(m, geoid::kErrorText).toStdString());
                                   gui::press(m, QStringLiteral("OK"));
                               }});
    const std::string model = k().job.model_file;
    EXPECT_TRUE(run_loop({[] {
                              type(1029, "52.5");
                              type(1014, "13.4");
                              type(1015, "80");
                              k().job.model_file.clear();
                              press_compute();
                          },
                          [&] {
                              EXPECT_EQ(text_of(1026), "");  // nothing computed
                              k().job.model_file = model;
                              std::remove(model.c_str());  // deleted after its selection
                              press_compute();
                          },
                          [] {
                              EXPECT_NE(text_of(1026), "");  // converted all the same
                              EXPECT_EQ(text_of(geoid::kFieldN), "");
                          }}));
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0], "Name der Geoiddatei muss angeben werden.");
    EXPECT_EQ(shown[1], std::string(messages::kOpenFailed) + model);
}

// Reading a form gives its values, or the first field that failed; the record stays as it was.
TEST_F(PointForm, ReadingTheFormsGivesTheValuesOrTheFieldThatFailed)
{
    const struct {
        const char* b;
        const char* l;
        int failed;
    } cases[] = {{"52.5", "13.25", 0}, {"52.5", "16.0", 1014}, {"x", "16.0", 1029}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.b) + " " + c.l);
        toolkit::wdialogputstring(1029, c.b);
        toolkit::wdialogputstring(1014, c.l);
        toolkit::wdialogputstring(1015, "80");
        convert::Coordinates before;
        before.ell_b = -1.0;
        const auto r = geoid::readfields(geoid::System::Blh1, before);
        EXPECT_EQ(r.failed_field, c.failed);
        EXPECT_EQ(r.ok(), c.failed == 0);
        if (r.ok()) {
            EXPECT_EQ(r.values.ell_b, 52.5);
            EXPECT_EQ(r.values.ell_l, 13.25);
            EXPECT_EQ(r.values.ell_h, 80.0);
        }
        EXPECT_EQ(before.ell_b, -1.0);
    }
    geoid::fenster(app(), geoid::FormMode::File);
    filecalc::Job job;
    job.pnr_length = 12;
    qobject_cast<QCheckBox*>(toolkit::testing::field_widget(geoid::kCheckPointNumber))->setChecked(true);
    toolkit::wdialogputstring(geoid::kFieldPointNumberLength, "31");
    EXPECT_EQ(geoid::readfields(job).failed_field, geoid::kFieldPointNumberLength);
    toolkit::wdialogputstring(geoid::kFieldPointNumberLength, "7");
    const auto r = geoid::readfields(job);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.values.pnr_flag, 1);
    EXPECT_EQ(r.values.pnr_length, 7);
    EXPECT_EQ(r.values.in_format, 2);
    EXPECT_EQ(job.pnr_length, 12);
}

TEST_F(PointForm, FailingFieldStopsWithTheFocusOnItAndNothingComputed)
{
    const int bells = toolkit::testing::bell_count();
    EXPECT_TRUE(run_loop({[] {
                              type(1029, "52.5");
                              type(1014, "16.0");  // east of the checks' bounds
                              type(1015, "80");
                              press_compute();
                          },
                          [&] {
                              EXPECT_EQ(toolkit::testing::bell_count(), bells + 1);
                              EXPECT_EQ(toolkit::testing::window_widget(win().point_window)->focusWidget(), edit(1014));
                              EXPECT_EQ(text_of(1026), "");
                              EXPECT_EQ(text_of(geoid::kFieldN), "");
                              EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
                          }}));
}

TEST_F(PointForm, RadioButtonsEnableExactlyTheirFieldsAndKeepEveryContent)
{
    // Every input field holds a text of its own; clicking through the systems keeps them all.
    std::map<int, std::string> contents;
    for (const int f : input_fields(geoid::System::None)) {
        contents[f] = std::to_string(f % 100).substr(0, static_cast<std::size_t>(geoid::find_field(geoid::kPointDialog, f)->length));
        edit(f)->setText(QString::fromStdString(contents[f]));
    }
    const std::pair<int, geoid::System> radios[] = {{1001, geoid::System::Xyz}, {1016, geoid::System::Blh2},
                                                    {1003, geoid::System::Utm32}, {1061, geoid::System::Utm33},
                                                    {1002, geoid::System::Blh1}};
    std::deque<std::function<void()>> steps;
    for (const auto& [radio, system] : radios) {
        steps.push_back([radio = radio] { click_radio(radio); });
        steps.push_back([&, system = system] {
            SCOPED_TRACE(std::string(geoid::system_code(system)));
            const std::vector<int> mine = input_fields(system);
            for (const int f : input_fields(geoid::System::None))
                EXPECT_EQ(!edit(f)->isReadOnly(), std::find(mine.begin(), mine.end(), f) != mine.end()) << f;
            EXPECT_EQ(toolkit::testing::window_widget(win().point_window)->focusWidget(), edit(mine.front()));
            for (const auto& [f, text] : contents) EXPECT_EQ(text_of(f), text) << f;
        });
    }
    EXPECT_TRUE(run_loop(std::move(steps)));
}

TEST_F(PointForm, SexagesimalInputIsShownNormalised)
{
    // 52 deg 29' 60" is 52 deg 30' 0": shown as the conversion from the decimal angle gives it.
    EXPECT_TRUE(run_loop({[] { click_radio(geoid::kRadioBlh2); },
                          [] {
                              for (const auto& [f, t] : std::vector<std::pair<int, std::string>>{
                                       {1058, "+"}, {1035, "52"}, {1037, "29"}, {1038, "60"}, {1057, "+"}, {1030, "13"},
                                       {1013, "60"}, {1036, "0"}, {1031, "80"}})
                                  type(f, t);
                              press_compute();
                          },
                          [] {
                              EXPECT_EQ(text_of(1029), "  52.50000000");
                              EXPECT_EQ(text_of(1014), "  14.00000000");
                              EXPECT_EQ(text_of(1035) + "|" + text_of(1037) + "|" + text_of(1038), "52|30| 0.00000");
                              EXPECT_EQ(text_of(1030) + "|" + text_of(1013) + "|" + text_of(1036), " 14| 0| 0.00000");
                          }}));
}

TEST_F(PointForm, ReopenedFormStartsAfresh)
{
    click_radio(geoid::kRadioUtm33);
    type(1074, "5819701.919");
    geoid::fenster(app(), geoid::FormMode::File);
    geoid::fenster(app(), geoid::FormMode::Point);
    EXPECT_EQ(geoid::selected_system(), geoid::System::Blh1);
    for (const int f : input_fields(geoid::System::None)) {
        const bool blh1 = f == 1029 || f == 1014 || f == 1015;
        EXPECT_EQ(!edit(f)->isReadOnly(), blh1) << f;
        EXPECT_EQ(text_of(f), f == 1058 || f == 1057 ? "+" : "") << f;
    }
}

// A point typed with decimal commas in every real field of a system gives the N and H of the
// same point typed with points.
TEST_F(PointForm, DecimalCommaInEachSystemsRealFields)
{
    type(geoid::kFieldB, "52.5163");
    type(geoid::kFieldL, "13.3777");
    type(geoid::kFieldHeight, "74.061");
    compute();
    const QString n = edit(geoid::kFieldN)->text(), h = edit(geoid::kFieldH)->text();
    ASSERT_EQ(n.trimmed(), QStringLiteral("39.561"));
    for (const geoid::Field& radio : geoid::fields()) {
        if (radio.dialog != geoid::kPointDialog || radio.kind != geoid::Kind::Radio) continue;
        SCOPED_TRACE(radio.name);
        select_system(radio.id);
        for (const geoid::Field& f : geoid::fields())
            if (f.dialog == geoid::kPointDialog && f.system == radio.system && f.check == geoid::Check::Real)
                type(f.id, edit(f.id)->text().trimmed().replace(QLatin1Char('.'), QLatin1Char(',')).toStdString());
        compute();
        EXPECT_EQ(edit(geoid::kFieldN)->text(), n);
        EXPECT_EQ(edit(geoid::kFieldH)->text(), h);
    }
}

// One field, one number: each text typed into a field of a valid point either gives that
// number (shown rewritten after "Berechnen") or is refused with the reason under its column.
// The old reading of each refused text is noted: a second number, a unit or a typo was
// dropped without a word.
TEST_F(PointForm, EachFieldTextIsOneNumberOrRefusedWithItsReason)
{
    const std::map<geoid::System, std::vector<std::pair<int, std::string>>> valid = {
        {geoid::System::Blh1, {{1029, "52.5163"}, {1014, "13.3777"}, {1015, "80.412"}}},
        {geoid::System::Blh2,
         {{1058, "+"}, {1035, "52"}, {1037, "30"}, {1038, "58.68"}, {1057, "+"}, {1030, "13"}, {1013, "22"}, {1036, "39.72"}, {1031, "80.412"}}},
        {geoid::System::Utm32, {{1026, "5827475.852"}, {1028, "796986.834"}, {1027, "80.412"}}},
    };
    const std::string b_reason = "B: Zahl zwischen 47.23 und 55.98";
    const struct {
        geoid::System system;
        int field;
        std::string text;
        std::string shown;   // the field after "Berechnen"; empty: refused
        std::string reason;
    } cases[] = {
        {geoid::System::Blh1, 1015, "80,412m", "", "h: Zahl zwischen -999 und 9999"},  // was 80.000
        {geoid::System::Blh1, 1029, "52,51,63", "", b_reason},                          // was 52
        {geoid::System::Blh1, 1029, "52,5163,", "", b_reason},                          // was 52
        {geoid::System::Blh1, 1029, "52,5163abc", "", b_reason},                        // was 52
        {geoid::System::Blh1, 1029, "52 5163", "", b_reason},                           // was 52
        {geoid::System::Blh1, 1029, "52/5163", "", b_reason},                           // was 52
        {geoid::System::Blh1, 1029, "52.5163 13.3777", "", b_reason},                   // was 52.5163
        {geoid::System::Blh1, 1029, "52.5163x", "", b_reason},
        {geoid::System::Blh2, 1035, "52,5", "", "B Grad: ganze Zahl zwischen 47 und 55"},  // was 52, cut to 2 characters
        {geoid::System::Blh2, 1038, "58.68001234567", "58.68001", ""},                   // was cut to 58.68001 too
        {geoid::System::Utm32, 1028, "796986,834,5", "", "E: Zahl zwischen 0 und 1200000"},  // was 796986
        {geoid::System::Blh1, 1029, "52,5163", "  52.51630000", ""},
        {geoid::System::Blh1, 1029, "  52.5163  ", "  52.51630000", ""},
        {geoid::System::Blh1, 1029, "5.25163D1", "  52.51630000", ""},
        {geoid::System::Blh1, 1015, "-0,5", "  -0.500", ""},
        {geoid::System::Blh2, 1037, "+", " 0", ""},  // a lone sign is 0 minutes, shown normalised
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.field) + " \"" + c.text + "\"");
        for (const geoid::Field& f : geoid::fields())
            if (f.kind == geoid::Kind::Radio && f.system == c.system) select_system(f.id);
        for (const auto& [f, text] : valid.at(c.system)) type(f, text);
        type(c.field, c.text);
        const int bells = toolkit::testing::bell_count();
        k().point.ell_h = -1.0;  // a refused text computes nothing
        compute();
        const auto* reason = qobject_cast<QLabel*>(field(geoid::reason_field(geoid::kPointDialog, c.system)->id));
        EXPECT_EQ(reason->text().toStdString(), c.reason);
        if (c.shown.empty()) {
            EXPECT_EQ(toolkit::testing::bell_count(), bells + 1);
            EXPECT_EQ(toolkit::testing::window_widget(win().point_window)->focusWidget(), edit(c.field));
            EXPECT_EQ(text_of(c.field), c.text);  // left as typed, to be corrected
            EXPECT_EQ(k().point.ell_h, -1.0);
        } else {
            EXPECT_EQ(text_of(c.field), c.shown);
            EXPECT_NE(k().point.ell_h, -1.0);
        }
    }
}

// Copying a result or a read-only field gives the number without its padding blanks, by the
// keyboard and by the context menu.
TEST_F(PointForm, CopyGivesTheNumberWithoutPadding)
{
    type(geoid::kFieldB, "52.5163");
    type(geoid::kFieldL, "13.3777");
    type(geoid::kFieldHeight, "80.412");
    compute();
    QClipboard* clipboard = QGuiApplication::clipboard();
    const struct {
        int field;
        const char* number;
        bool menu;
    } cases[] = {{geoid::kFieldN, "39.561", false}, {geoid::kFieldH, "40.851", true}, {1030, "13", false}, {1026, "5827475.852", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.field);
        clipboard->clear();
        QLineEdit* e = edit(c.field);
        ASSERT_NE(e->text().trimmed(), e->text());  // padded in the field
        e->setFocus();
        e->selectAll();
        std::unique_ptr<QMenu> menu(e->createStandardContextMenu());  // its "Kopieren" ends in the shortcut
        const QString shortcut = QLatin1Char('\t') + QKeySequence(QKeySequence::Copy).toString(QKeySequence::NativeText);
        for (QAction* a : menu->actions())
            if (c.menu && a->text().endsWith(shortcut)) a->trigger();
        if (!c.menu) QTest::keySequence(e, QKeySequence::Copy);
        EXPECT_EQ(clipboard->text().toStdString(), c.number);
    }
}

// After a computation an edit of the selected system empties N and H; switching systems does
// not. A failing field says why, at the field and to a screen reader.
TEST_F(PointForm, NoStaleResultAndAReasonAtTheFailingField)
{
    QString north;
    EXPECT_TRUE(run_loop({[] {
                              type(geoid::kFieldB, "52,5163");
                              type(geoid::kFieldL, "13,3777");
                              type(geoid::kFieldHeight, "74,061");
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
                              type(1028, "1");
                          },
                          [&] {
                              EXPECT_EQ(edit(geoid::kFieldN)->text(), QString());
                              EXPECT_EQ(edit(geoid::kFieldH)->text(), QString());
                              // The form shows one point: the edited system's fields stay, the
                              // others are emptied (signs back to "+").
                              EXPECT_EQ(edit(1026)->text(), north);
                              EXPECT_EQ(text_of(1028), "1");
                              EXPECT_EQ(text_of(1027), "  74.061");
                              for (const int f : input_fields(geoid::System::None)) {
                                  if (geoid::find_field(geoid::kPointDialog, f)->system != geoid::System::Utm32) {
                                      EXPECT_EQ(text_of(f), f == 1058 || f == 1057 ? "+" : "") << f;
                                  }
                              }
                              select_system(geoid::kRadioBlh1);
                              type(geoid::kFieldB, "99");
                          },
                          [&] {
                              EXPECT_EQ(edit(1026)->text(), north);  // no computed point: nothing more emptied
                              compute();
                          },
                          [] {
                              const QString reason = QStringLiteral("B: Zahl zwischen 47.23 und 55.98");
                              EXPECT_EQ(qobject_cast<QLabel*>(field(1102))->text(), reason);
                              EXPECT_EQ(field(geoid::kFieldB)->accessibleDescription(), reason);
                              EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
                              type(geoid::kFieldB, "52");
                          },
                          [] { EXPECT_EQ(qobject_cast<QLabel*>(field(1102))->text(), QString()); }}));
    geoid::fenster(app(), geoid::FormMode::File);
    qobject_cast<QCheckBox*>(field(geoid::kCheckPointNumber))->setChecked(true);
    toolkit::wdialogputstring(geoid::kFieldPointNumberLength, "31");
    EXPECT_FALSE(geoid::readfields(k().job).ok());
    EXPECT_EQ(qobject_cast<QLabel*>(field(1171))->text(), QStringLiteral("L\u00E4nge der Punktnummer: ganze Zahl zwischen 1 und 30"));
}

// Every control of the table has a name of its own, without blanks around it; labels are the
// buddies of their fields, and the format lists are labelled by theirs; both kinds of box are
// announced alike.
TEST_F(PointForm, EveryControlIsNamedForAScreenReader)
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
        for (const geoid::Field& f : geoid::fields()) {
            if (f.dialog == dialog && (f.kind == geoid::Kind::Input || f.kind == geoid::Kind::Result || f.kind == geoid::Kind::List ||
                                       f.kind == geoid::Kind::Text)) {
                EXPECT_TRUE(labelled.contains(field(f.id))) << f.id;
            }
        }
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
TEST_F(PointForm, AccessKeysAndTabOrder)
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
        // Tab reaches the radio buttons once, at the checked one (1002 when the form opens).
        {geoid::FormMode::Point, 6,
         {1002, 1029, 1014, 1015, 1058, 1035, 1037, 1038, 1057, 1030, 1013, 1036, 1031, 1026, 1028, 1027, 1074, 1075,
          1060, 1043, 1044, 1055, 1007, 1004, 1005}},
        // Input side, output side, the options for point lists, the preview, "Berechnen".
        {geoid::FormMode::File, 9,
         {1059, 1061, 1063, 1066, 1060, 1062, 1064, 1067, 1070, 1071, 1183, 1184, 1186, 1188, 1189, 1190, 1192, 1065}},
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

// Return presses the focused push button and otherwise "Berechnen"; Escape closes a viewer, the
// help and Info.
TEST_F(PointForm, ReturnAndEscape)
{
    write_text(dir.file("in.txt"), "52.5 13.3 80\n");
    k().job.input_file = dir.file("in.txt");
    geoid::fenster(app(), geoid::FormMode::File);
    QWidget* view = field(geoid::kButtonViewInput);
    QWidget* check = field(geoid::kCheckPointNumber);
    std::string seen;
    gui::ModalAnswers answers({[&](QWidget* m) {
        seen = label_text(m, geoid::kErrorText).toStdString();  // "Berechnen" refuses: no result file
        m->close();
    }});
    EXPECT_TRUE(run_loop({[&] { QTest::keyClick(view, Qt::Key_Return); },
                          [&] {
                              ASSERT_NE(win().input_viewer.handle, 0);
                              press_escape(toolkit::testing::window_widget(win().input_viewer.handle));
                          },
                          [&] {
                              EXPECT_EQ(win().input_viewer.handle, 0);
                              QTest::keyClick(check, Qt::Key_Return);
                          },
                          [&] { EXPECT_EQ(seen, "Name der Ausgabedatei muss angeben werden."); }}));
    geoid::show_help(k(), win().help_viewer);
    ASSERT_NE(win().help_viewer.handle, 0);
    EXPECT_TRUE(run_loop({[] { press_escape(toolkit::testing::window_widget(win().help_viewer.handle)); },
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
TEST_F(PointForm, EveryWindowFitsAnOfficeScreen)
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
