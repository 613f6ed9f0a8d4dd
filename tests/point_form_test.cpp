// The point form driven as a user drives it: a radio button clicked, a point typed, "Berechnen"
// pressed; then every system, N and H read back from the form.

#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <cmath>
#include <cstdio>
#include <map>

#include "app/fields.h"
#include "app/file_form.h"
#include "app/point_form.h"
#include "messages/messages.h"
#include "tests/geoid_fixture.h"
#include "app/point_form.h"
#include "interp/query.h"
#include "textio/textio.h"

namespace {

// Berlin, Brandenburger Tor area, in all five systems (converted by the program and checked
// against an independent implementation in the conversion tests).
constexpr double kB = 52.5163, kL = 13.3777, kH = 80.412;

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

class PointForm : public Geoid {
protected:
    void SetUp() override
    {
        Geoid::SetUp();
        k().model_file = sample_copy();
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
    interp::varnik1(kB, kL, k().model_file, n_expected, message);
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
                              k().model_file = dir.file("north.bin");
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
    const std::string model = k().model_file;
    EXPECT_TRUE(run_loop({[] {
                              type(1029, "52.5");
                              type(1014, "13.4");
                              type(1015, "80");
                              k().model_file.clear();
                              press_compute();
                          },
                          [&] {
                              EXPECT_EQ(text_of(1026), "");  // nothing computed
                              k().model_file = model;
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
