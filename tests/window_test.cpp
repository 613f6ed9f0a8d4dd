// The desktop program driven through the toolkit's testing seam alone, so that the same suite
// runs on both window systems: on Qt's offscreen platform here, on the Win32 controls under wine.
// A user's clicks, typing and list choices go through the controls; file dialogs, message
// boxes, the progress dialog and modal dialogs are answered and recorded instead of shown.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/fields.h"
#include "app/file_form.h"
#include "app/ids.h"
#include "app/shell.h"
#include "filecalc/command_line.h"
#include "messages/geoid.h"
#include "messages/messages.h"
#include "tests/model_builder.h"
#include "textio/textio.h"
#include "toolkit/testing.h"

#ifdef GEOID_QT_TOOLKIT
#include <QApplication>
#else
#include <windows.h>
#include <oleacc.h>
#endif

namespace tt = toolkit::testing;
using testing_support::read_text;
using testing_support::TempDir;
using testing_support::write_text;

namespace {

geoid::Application& app()
{
    static geoid::Application a;
    return a;
}

std::string trimmed(const std::string& s)
{
    const std::size_t a = s.find_first_not_of(' ');
    return a == std::string::npos ? std::string() : s.substr(a, s.find_last_not_of(' ') + 1 - a);
}

int main_window()
{
    const geoid::Windows& w = app().windows;
    return w.point_window != 0 ? w.point_window : w.file_window != 0 ? w.file_window : w.start_window;
}

void menu(int item)
{
    tt::post({toolkit::EventKind::MenuSelect, main_window(), item, 0});
}

void press(int button)
{
    tt::click(button);
}

class Window : public ::testing::Test {
protected:
    void SetUp() override
    {
        app() = geoid::Application{};
        seen.clear();
        files.clear();
        cancel_progress = false;
        old_cwd_ = std::filesystem::current_path();
        std::filesystem::current_path(dir.path());
        tt::answer_modals([this](const tt::Modal& m) {
            seen.push_back(m);
            if (m.kind == tt::Modal::Kind::FileDialog) {
                if (files.empty()) return std::string();
                std::string f = files.front();
                files.pop_front();
                return f;
            }
            return m.kind == tt::Modal::Kind::Progress && cancel_progress ? std::string("cancel") : std::string();
        });
        geoid::startup(app());
    }
    void TearDown() override
    {
        geoid::set_progress_delay(500);
        geoid::shutdown(app());
        tt::answer_modals({});
        tt::when_idle({});
        std::filesystem::current_path(old_cwd_);
    }

    // Runs the program's event loop; each step acts while it waits, then "Beenden".
    bool run(std::deque<std::function<void()>> steps)
    {
        steps.push_back([] { menu(geoid::kItemQuit); });
        tt::when_idle(std::move(steps));
        geoid::event_loop(app());
        return tt::steps_done();
    }

    // The model chosen through the menu and its file dialog.
    std::function<void()> choose_model()
    {
        return [this] {
            files.push_back(SAMPLE_MODEL);
            menu(geoid::kItemModel);
        };
    }

    std::vector<tt::Modal> of_kind(tt::Modal::Kind kind) const
    {
        std::vector<tt::Modal> out;
        for (const tt::Modal& m : seen)
            if (m.kind == kind) out.push_back(m);
        return out;
    }

    TempDir dir;
    std::deque<std::string> files;
    std::vector<tt::Modal> seen;
    bool cancel_progress = false;

private:
    std::filesystem::path old_cwd_;
};

// ---- windows and menu -----------------------------------------------------------------------

TEST_F(Window, ModelUnlocksTheFormsWhichReplaceEachOtherInOnePlace)
{
    struct Seen {
        int start, point, file;
        bool point_item, file_item;
        std::string title, status;
    };
    std::vector<Seen> at;
    const auto look = [&] {
        const geoid::Windows& w = app().windows;
        at.push_back({w.start_window, w.point_window, w.file_window, tt::menu_enabled(main_window(), geoid::kItemPointForm),
                      tt::menu_enabled(main_window(), geoid::kItemFileForm), tt::window_title(main_window()),
                      tt::status_text(main_window())});
    };
    ASSERT_TRUE(run({look, choose_model(), look, [] { menu(geoid::kItemPointForm); }, look,
                     [] { menu(geoid::kItemFileForm); }, look}));
    ASSERT_EQ(at.size(), 4u);
    EXPECT_EQ(at[0].title, messages::geoid::kStartTitle);
    EXPECT_FALSE(at[0].point_item);
    EXPECT_FALSE(at[0].file_item);
    EXPECT_TRUE(at[1].point_item);
    EXPECT_TRUE(at[1].file_item);
    EXPECT_NE(at[1].status.find("egm96-de-15min.bin"), std::string::npos) << at[1].status;
    EXPECT_EQ(at[2].title, messages::geoid::kPointTitle);
    EXPECT_EQ(at[2].start, 0);
    EXPECT_NE(at[2].point, 0);
    EXPECT_EQ(at[3].title, messages::geoid::kFileTitle);
    EXPECT_EQ(at[3].point, 0);
    EXPECT_NE(at[3].file, 0);
    EXPECT_EQ(at[3].status, at[1].status);  // the model stays named in every main window
}

TEST_F(Window, InfoAndAnUnreadableModelAreModalDialogs)
{
    const std::string bad = dir.file("kein-modell.bin");
    write_text(bad, "kein Modell");
    ASSERT_TRUE(run({[] { menu(geoid::kItemInfo); }, [&] {
                         files.push_back(bad);
                         menu(geoid::kItemModel);
                     }}));
    const std::vector<tt::Modal> dialogs = of_kind(tt::Modal::Kind::Dialog);
    ASSERT_EQ(dialogs.size(), 2u);
    EXPECT_EQ(dialogs[0].dialog, geoid::kInfoDialog);
    EXPECT_NE(dialogs[0].text.find("Version 1.05"), std::string::npos) << dialogs[0].text;
    EXPECT_EQ(dialogs[1].dialog, geoid::kErrorDialog);
    EXPECT_NE(dialogs[1].text.find("kein-modell.bin"), std::string::npos) << dialogs[1].text;
    EXPECT_FALSE(tt::menu_enabled(main_window(), geoid::kItemPointForm));
}

// ---- point form ------------------------------------------------------------------------------

// Berlin in all five systems as the form writes them (the conversions are checked digit for
// digit against an independent implementation elsewhere).
struct Shown {
    int field;
    const char* text;
};
constexpr Shown kBerlin[] = {
    {1007, "3784039.701"}, {1004, "899929.192"},  {1005, "5038032.370"}, {1029, "52.51630000"}, {1014, "13.37770000"},
    {1015, "80.412"},      {1058, "+"},           {1035, "52"},          {1037, "30"},          {1038, "58.68000"},
    {1057, "+"},           {1030, "13"},          {1013, "22"},          {1036, "39.72000"},    {1031, "80.412"},
    {1026, "5827475.852"}, {1028, "796986.834"},  {1027, "80.412"},      {1074, "5819701.919"}, {1075, "389917.833"},
    {1060, "80.412"},      {geoid::kFieldN, "39.561"}, {geoid::kFieldH, "40.851"},
};

std::deque<std::function<void()>> type_point(int radio, std::vector<Shown> typed)
{
    std::deque<std::function<void()>> steps{[] { menu(geoid::kItemPointForm); }, [radio] { tt::click(radio); }};
    for (const Shown& s : typed) steps.push_back([s] { tt::type_into(s.field, s.text); });
    steps.push_back([] { press(geoid::kButtonComputePoint); });
    return steps;
}

TEST_F(Window, APointTypedInAnySystemShowsInAllFiveWithNAndH)
{
    struct Case {
        int radio;
        std::vector<Shown> typed;
        bool every_field;  ///< from B, L, h every field reads as in kBerlin; else those typed, N and H
    };
    const Case cases[] = {
        {geoid::kRadioBlh1, {{1029, "52.5163"}, {1014, "13,3777"}, {1015, "80.412"}}, true},
        {geoid::kRadioXyz, {{1007, "3784039.701"}, {1004, "899929.192"}, {1005, "5038032.370"}}, false},
        {geoid::kRadioBlh2, {{1058, "+"}, {1035, "52"}, {1037, "30"}, {1038, "58.68"}, {1057, "+"}, {1030, "13"}, {1013, "22"}, {1036, "39.72"}, {1031, "80.412"}}, false},
        {geoid::kRadioUtm32, {{1026, "5827475.852"}, {1028, "796986.834"}, {1027, "80.412"}}, false},
        {geoid::kRadioUtm33, {{1074, "5819701.919"}, {1075, "389917.833"}, {1060, "80.412"}}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.radio);
        TearDown();
        SetUp();
        std::vector<std::pair<int, std::string>> read;
        std::deque<std::function<void()>> steps = type_point(c.radio, c.typed);
        steps.push_front(choose_model());
        steps.push_back([&] {
            for (const Shown& s : kBerlin) read.emplace_back(s.field, trimmed(tt::field_text(s.field)));
        });
        ASSERT_TRUE(run(steps));
        ASSERT_EQ(read.size(), std::size(kBerlin));
        for (std::size_t k = 0; k < read.size(); ++k) {
            const Shown& want = kBerlin[k];
            bool typed = want.field == geoid::kFieldN || want.field == geoid::kFieldH;
            for (const Shown& t : c.typed) typed = typed || t.field == want.field;
            if (c.every_field || typed) EXPECT_EQ(read[k].second, want.text) << "field " << want.field;
            else EXPECT_FALSE(read[k].second.empty()) << "field " << want.field;
        }
    }
}

TEST_F(Window, AFailingFieldSoundsTakesTheFocusAndSaysWhyUnderItsColumn)
{
    struct Case {
        int radio, field;
        const char* text;
    };
    const Case cases[] = {
        {geoid::kRadioBlh1, geoid::kFieldB, "99"},  {geoid::kRadioBlh1, geoid::kFieldL, "13.3777 m"},
        {geoid::kRadioBlh1, geoid::kFieldHeight, "1e5"}, {geoid::kRadioXyz, 1004, "8000000"},
        {geoid::kRadioBlh2, 1037, "61"},           {geoid::kRadioBlh2, 1058, "x"},
        {geoid::kRadioUtm33, 1075, "-5"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.field) + " " + c.text);
        TearDown();
        SetUp();
        // Every field of the system valid, then the one bad text.
        std::vector<Shown> typed;
        for (const Shown& s : kBerlin) {
            const geoid::Field* f = geoid::find_field(geoid::kPointDialog, s.field);
            if (f != nullptr && f->kind == geoid::Kind::Input && f->system == geoid::find_field(geoid::kPointDialog, c.radio)->system)
                typed.push_back(s.field == c.field ? Shown{s.field, c.text} : s);
        }
        int bells = -1, focus = 0;
        std::string reason, n;
        std::deque<std::function<void()>> steps = type_point(c.radio, typed);
        steps.push_front(choose_model());
        steps.push_back([&] {
            bells = tt::bell_count();
            focus = tt::focused_field();
            const geoid::Field* f = geoid::find_field(geoid::kPointDialog, c.field);
            reason = tt::field_text(geoid::reason_field(geoid::kPointDialog, f->system)->id);
            n = trimmed(tt::field_text(geoid::kFieldN));
        });
        const int bells_before = tt::bell_count();
        ASSERT_TRUE(run(steps));
        EXPECT_EQ(bells, bells_before + 1);
        EXPECT_EQ(focus, c.field);
        EXPECT_EQ(reason, geoid::check_reason(*geoid::find_field(geoid::kPointDialog, c.field)));
        EXPECT_EQ(n, "");
    }
}

TEST_F(Window, TheRadioButtonChoosesWhichFieldsTakeInput)
{
    const int radios[] = {geoid::kRadioXyz, geoid::kRadioBlh2, geoid::kRadioUtm32, geoid::kRadioUtm33, geoid::kRadioBlh1};
    std::vector<std::string> problems;
    std::deque<std::function<void()>> steps{choose_model(), [] { menu(geoid::kItemPointForm); }};
    for (const int radio : radios) {
        steps.push_back([radio] { tt::click(radio); });
        steps.push_back([radio, &problems] {
            const geoid::System chosen = geoid::find_field(geoid::kPointDialog, radio)->system;
            bool first = true;
            for (const geoid::Field& f : geoid::fields()) {
                if (f.dialog != geoid::kPointDialog || f.kind != geoid::Kind::Input) continue;
                if (tt::field_takes_input(f.id) != (f.system == chosen)) problems.push_back(std::to_string(radio) + ": " + std::to_string(f.id));
                if (f.system == chosen && first && tt::focused_field() != f.id)
                    problems.push_back(std::to_string(radio) + ": focus " + std::to_string(tt::focused_field()));
                first = first && f.system != chosen;
            }
            for (const int result : {geoid::kFieldN, geoid::kFieldH})
                if (tt::field_takes_input(result)) problems.push_back("result " + std::to_string(result));
        });
    }
    ASSERT_TRUE(run(steps));
    EXPECT_TRUE(problems.empty()) << ::testing::PrintToString(problems);
}

TEST_F(Window, AnEditEmptiesTheOtherSystemsAndTheResults)
{
    std::vector<std::string> after;
    std::deque<std::function<void()>> steps = type_point(geoid::kRadioBlh1, {{1029, "52.5163"}, {1014, "13.3777"}, {1015, "80.412"}});
    steps.push_front(choose_model());
    steps.push_back([] { tt::type_into(geoid::kFieldB, "52.6"); });
    steps.push_back([&] {
        for (const int f : {geoid::kFieldB, geoid::kFieldL, 1007, 1038, 1026, 1075, geoid::kFieldN, geoid::kFieldH})
            after.push_back(trimmed(tt::field_text(f)));
    });
    ASSERT_TRUE(run(steps));
    EXPECT_EQ(after, (std::vector<std::string>{"52.6", "13.37770000", "", "", "", "", "", ""}));
}

TEST_F(Window, EveryNumberShowsWholeInItsFieldAndEveryWindowOnTheScreen)
{
    std::vector<std::string> cut;
    const auto check = [&cut](int dialog) {
        for (const geoid::Field& f : geoid::fields()) {
            if (f.dialog != dialog || (f.kind != geoid::Kind::Input && f.kind != geoid::Kind::Result && f.kind != geoid::Kind::Text)) continue;
            textio::FieldFormat format;
            const int chars = f.format != nullptr && textio::parse_format(f.format, format) ? format.width : f.length;
            if (!tt::shows_whole(f.id, chars)) cut.push_back(std::to_string(f.id));
        }
    };
    std::vector<bool> on_screen;
    const auto place = [&on_screen] { on_screen.push_back(tt::window_on_screen(main_window())); };
    ASSERT_TRUE(run({place, choose_model(), [] { menu(geoid::kItemPointForm); }, [&] { check(geoid::kPointDialog); }, place,
                     [] { menu(geoid::kItemFileForm); }, [&] { check(geoid::kFileDialog); }, place}));
    EXPECT_TRUE(cut.empty()) << ::testing::PrintToString(cut);
    // Each window inside the screen (one larger than the screen scrolls its form).
    EXPECT_EQ(on_screen, (std::vector<bool>{true, true, true}));
}

// ---- file form -------------------------------------------------------------------------------

// A run of the file form: its input, the entries chosen in its lists (field, entry from 0), the
// boxes ticked and the texts typed; and the same run on the command line.
struct FileRun {
    std::string input;
    std::vector<std::pair<int, int>> lists;
    std::vector<int> ticked;
    std::vector<std::pair<int, std::string>> typed;
    std::vector<std::string> options;
};

TEST_F(Window, TheFileFormWritesWhatTheCommandLineWrites)
{
    const std::string utm = std::string(SAMPLE_DATA) + "/koordinaten-format-5-utm32-ost-nord-mit-punktnummer.txt";
    const std::string decimal = std::string(SAMPLE_DATA) + "/koordinaten-format-2-bl-dezimal.txt";
    const std::string list = dir.file("liste.txt");
    write_text(list, "52,5163;13,3777;80,412;Turm\n48.1374;11.5755;566.023;Dach\n");
    using geoid::kListInFormat, geoid::kListOutFormat, geoid::kCheckPointNumber, geoid::kFieldPointNumberLength;
    const std::pair<int, std::string> length{kFieldPointNumberLength, "10"};
    const FileRun runs[] = {
        {utm, {{kListInFormat, 4}, {kListOutFormat, 1}}, {kCheckPointNumber}, {length},
         {"--eingabeformat", "5", "--ausgabeformat", "2", "--punktnummer", "10"}},
        {utm, {{kListInFormat, 4}, {kListOutFormat, 6}}, {kCheckPointNumber}, {length},
         {"--eingabeformat", "5", "--ausgabeformat", "7", "--punktnummer", "10"}},
        {utm, {{kListInFormat, 4}, {kListOutFormat, 0}}, {kCheckPointNumber, geoid::kCheckTable}, {length},
         {"--eingabeformat", "5", "--ausgabeformat", "1", "--punktnummer", "10", "--tabelle"}},
        {decimal, {{kListOutFormat, 3}, {geoid::kListHeights, 1}}, {geoid::kCheckZone, geoid::kCheckRest},
         {{geoid::kFieldHeaderLines, "1"}},
         {"--ausgabeformat", "4", "--normalhoehen", "--zonenkennung", "--restspalten", "--kopfzeilen", "1"}},
        {list, {{geoid::kListSeparator, 1}}, {geoid::kCheckRest}, {}, {"--trennzeichen", "semikolon", "--restspalten"}},
    };
    for (const FileRun& r : runs) {
        SCOPED_TRACE(::testing::PrintToString(r.options));
        TearDown();
        SetUp();
        const std::string out = dir.file("fenster.txt");
        std::string preview;
        std::deque<std::function<void()>> steps{choose_model(), [] { menu(geoid::kItemFileForm); }};
        for (const auto& [field, entry] : r.lists) steps.push_back([field, entry] { tt::choose(field, entry); });
        for (const int box : r.ticked) steps.push_back([box] { tt::click(box); });
        for (const auto& [field, text] : r.typed) steps.push_back([field, text] { tt::type_into(field, text); });
        steps.push_back([&] {
            files.push_back(r.input);
            press(geoid::kButtonInputFile);
        });
        steps.push_back([&] { preview = tt::field_text(geoid::kPreview); });
        steps.push_back([&] {
            files.push_back(out);
            press(geoid::kButtonOutputFile);
        });
        steps.push_back([] { press(geoid::kButtonComputeFile); });
        ASSERT_TRUE(run(steps));
        const std::vector<tt::Modal> boxes = of_kind(tt::Modal::Kind::Message);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].title, messages::kClosingTitle);
        EXPECT_NE(boxes[0].text.find(messages::kPointsRead), std::string::npos) << boxes[0].text;
        EXPECT_NE(preview.find("Zeile "), std::string::npos) << preview;

        const std::string expected = dir.file("kommandozeile.txt");
        std::vector<std::string> args{"geoid", "--modell", SAMPLE_MODEL, "--eingabe", r.input, "--ausgabe", expected};
        args.insert(args.end(), r.options.begin(), r.options.end());
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        ASSERT_EQ(filecalc::run_command_line(static_cast<int>(argv.size()), argv.data(), "test"), 0);
        EXPECT_EQ(read_text(out), read_text(expected));
    }
}

TEST_F(Window, CancelledInTheProgressDialogNoResultIsLeft)
{
    std::string many;
    for (int k = 0; k < 200000; ++k) many += "52.5163 13.3777 80.412\n";
    const std::string input = dir.file("viele.txt");
    write_text(input, many);
    const std::string out = dir.file("abgebrochen.txt");
    cancel_progress = true;
    geoid::set_progress_delay(0);
    ASSERT_TRUE(run({choose_model(), [] { menu(geoid::kItemFileForm); },
                     [&] {
                         files.push_back(input);
                         press(geoid::kButtonInputFile);
                     },
                     [&] {
                         files.push_back(out);
                         press(geoid::kButtonOutputFile);
                     },
                     [] { press(geoid::kButtonComputeFile); }}));
    EXPECT_FALSE(of_kind(tt::Modal::Kind::Progress).empty());
    const std::vector<tt::Modal> boxes = of_kind(tt::Modal::Kind::Message);
    ASSERT_EQ(boxes.size(), 1u);
    ASSERT_EQ(boxes[0].text.rfind(messages::kCancelledBefore, 0), 0u) << boxes[0].text;
    // The lines of a new result written so far stay: one per point computed.
    const long points = std::stol(boxes[0].text.substr(std::string(messages::kCancelledBefore).size()));
    EXPECT_GT(points, 0);
    EXPECT_LT(points, 200000);
    const std::string written = read_text(out);
    EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), points);
}

TEST_F(Window, ViewersShowTheFilesAndTheHelpAndClose)
{
    const std::string input = std::string(SAMPLE_DATA) + "/koordinaten-format-2-bl-dezimal.txt";
    std::string shown, help;
    bool open_before = false, open_after = true;
    ASSERT_TRUE(run({choose_model(), [] { menu(geoid::kItemFileForm); },
                     [&] {
                         files.push_back(input);
                         press(geoid::kButtonInputFile);
                     },
                     [] { press(geoid::kButtonViewInput); },
                     [&] {
                         open_before = tt::window_open(app().windows.input_viewer.handle);
                         toolkit::wdialogselect(geoid::kInputViewerDialog);
                         shown = tt::field_text(geoid::kInputViewerText);
                         tt::post({toolkit::EventKind::CloseRequest, app().windows.input_viewer.handle, 0, 0});
                     },
                     [&] {
                         open_after = app().windows.input_viewer.handle != 0;
                         menu(geoid::kItemHelp);
                     },
                     [&] {
                         toolkit::wdialogselect(geoid::kHelpViewerDialog);
                         help = tt::field_text(geoid::kHelpViewerText);
                     }}));
    EXPECT_TRUE(open_before);
    EXPECT_FALSE(open_after);
    std::string file = read_text(input);
    std::erase(file, '\r');
    EXPECT_EQ(shown.substr(0, 40), file.substr(0, 40));
    EXPECT_EQ(help.rfind("Quasigeoidberechnung (geoid) - Hilfe", 0), 0u) << help.substr(0, 80);
}

#ifndef GEOID_QT_TOOLKIT
// What Windows' accessibility interfaces tell a screen reader: a reason that appears under a
// field raises an alert event, and the fields are named (by the label in front of them, or by
// the name the program gives them).
std::vector<int> alerts;

void CALLBACK on_alert(HWINEVENTHOOK, DWORD, HWND hwnd, LONG, LONG, DWORD, DWORD)
{
    alerts.push_back(GetDlgCtrlID(hwnd));
}

std::string accessible_name(int field)
{
    HWND dialog = GetParent(GetFocus());
    IAccessible* acc = nullptr;
    if (dialog == nullptr || FAILED(AccessibleObjectFromWindow(GetDlgItem(dialog, field), static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                                          reinterpret_cast<void**>(&acc))))
        return "<none>";
    VARIANT self;
    VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    std::string out = "<no name>";
    if (SUCCEEDED(acc->get_accName(self, &name)) && name != nullptr) {
        const int n = WideCharToMultiByte(CP_UTF8, 0, name, -1, nullptr, 0, nullptr, nullptr);
        out.assign(static_cast<std::size_t>(n > 0 ? n - 1 : 0), '\0');
        WideCharToMultiByte(CP_UTF8, 0, name, -1, out.data(), n, nullptr, nullptr);
        SysFreeString(name);
    }
    acc->Release();
    return out;
}

TEST_F(Window, ScreenReadersHearTheReasonAndTheFieldsNames)
{
    CoInitialize(nullptr);
    alerts.clear();
    const HWINEVENTHOOK hook = SetWinEventHook(EVENT_SYSTEM_ALERT, EVENT_SYSTEM_ALERT, nullptr, on_alert, GetCurrentProcessId(), 0,
                                               WINEVENT_OUTOFCONTEXT);
    std::map<int, std::string> names;
    std::deque<std::function<void()>> steps = type_point(geoid::kRadioBlh1, {{1029, "99"}, {1014, "13.3777"}, {1015, "80.412"}});
    steps.push_front(choose_model());
    steps.push_back([&] {
        for (const int f : {geoid::kFieldB, geoid::kFieldL, geoid::kFieldHeight, geoid::kFieldN, geoid::kFieldH})
            names[f] = accessible_name(f);
    });
    steps.push_back([] {});  // the alert's notification arrives through the message loop
    ASSERT_TRUE(run(steps));
    UnhookWinEvent(hook);
    EXPECT_NE(std::find(alerts.begin(), alerts.end(), 1102), alerts.end()) << ::testing::PrintToString(alerts);
    // Named by the label in front, as the table labels them (what wine's accessibility tells;
    // fields without a label of their own are named by the program where Windows takes it).
    for (const auto& [f, n] : names) EXPECT_EQ(n, geoid::find_field(geoid::kPointDialog, f)->label) << f;
}
#endif

}  // namespace

int main(int argc, char** argv)
{
#ifdef GEOID_QT_TOOLKIT
    // Discovery runs this at build time, without the test's environment.
    if (qgetenv("QT_QPA_PLATFORM").isEmpty()) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qt(argc, argv);
#endif
    geoid::register_resources();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
