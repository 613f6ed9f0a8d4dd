// What the forms mean without any widget: the field table against the dialogs' resource
// files, the system codes of the radio buttons, and the checks of a field's text.

#include <gtest/gtest.h>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <algorithm>
#include <cctype>

#include "app/fields.h"
#include "app/ids.h"
#include "filecalc/formats.h"
#include "messages/messages.h"
#include "tests/model_builder.h"

namespace {

struct UiWidget {
    std::string cls;
    int max_length = 0;
    std::string alignment;
};

// The widgets named "idNNNN" in a Designer file, with their class, maximum length and alignment.
std::map<int, UiWidget> ui_widgets(const std::string& path)
{
    const std::string text = testing_support::read_text(path);
    std::map<int, UiWidget> out;
    static const std::regex widget(R"re(<widget class="(\w+)" name="id(\d+)">)re");
    for (auto it = std::sregex_iterator(text.begin(), text.end(), widget); it != std::sregex_iterator(); ++it) {
        UiWidget w;
        w.cls = (*it)[1];
        const std::size_t from = static_cast<std::size_t>(it->position() + it->length());
        const std::size_t next = text.find("<widget", from);
        const std::string body = text.substr(from, next == std::string::npos ? std::string::npos : next - from);
        std::smatch m;
        if (std::regex_search(body, m, std::regex(R"re(name="maxLength">\s*<number>(\d+)</number>)re")))
            w.max_length = std::stoi(m[1]);
        if (std::regex_search(body, m, std::regex(R"re(name="alignment">\s*<set>([^<]+)</set>)re"))) w.alignment = m[1];
        out[std::stoi((*it)[2])] = w;
    }
    return out;
}

const char* widget_class(geoid::Kind k)
{
    switch (k) {
    case geoid::Kind::Radio: return "QRadioButton";
    case geoid::Kind::Input:
    case geoid::Kind::Result:
    case geoid::Kind::FileName:
    case geoid::Kind::Text: return "QLineEdit";
    case geoid::Kind::Button: return "QPushButton";
    case geoid::Kind::List: return "QComboBox";
    case geoid::Kind::CheckBox: return "QCheckBox";
    case geoid::Kind::Label:
    case geoid::Kind::Reason: return "QLabel";
    case geoid::Kind::Preview: return "QPlainTextEdit";
    }
    return "";
}

}  // namespace

TEST(FieldTable, MatchesTheDialogResources)
{
    for (const int dialog : {101, 102}) {
        const auto ui = ui_widgets(std::string(RESOURCE_DIR) + "/dialog" + std::to_string(dialog) + ".ui");
        std::set<int> in_table;
        for (const geoid::Field& f : geoid::fields()) {
            if (f.dialog != dialog) continue;
            SCOPED_TRACE(std::to_string(dialog) + "/" + std::to_string(f.id));
            EXPECT_TRUE(in_table.insert(f.id).second) << "twice in the table";
            ASSERT_EQ(ui.count(f.id), 1u);
            EXPECT_EQ(ui.at(f.id).cls, widget_class(f.kind));
            // The table, not the resource, sets a field's length and alignment.
            EXPECT_EQ(ui.at(f.id).max_length, 0);
            EXPECT_EQ(ui.at(f.id).alignment, "");
        }
        for (const auto& [id, w] : ui) EXPECT_EQ(in_table.count(id), 1u) << dialog << "/" << id << " missing in the table";
    }
}

// ---- the Win32 templates -------------------------------------------------------------------

namespace {

struct RcControl {
    int id = -1;            ///< -1: a static without a number
    std::string kind;       ///< Radio, Edit, Multiline, Button, List, CheckBox, Static
    std::string text;       ///< caption, "&" included
    bool focusable = false; ///< Tab or an access key can reach it
};

// The controls of a DIALOGEX template of geoid.rc.in, in their order (the order Tab takes).
std::vector<RcControl> rc_controls(const std::string& rc, int dialog)
{
    const std::size_t start = rc.find("\n" + std::to_string(dialog) + " DIALOGEX");
    const std::size_t begin = rc.find("\nBEGIN", start);
    const std::size_t end = rc.find("\nEND", begin);
    std::vector<RcControl> out;
    std::istringstream lines(rc.substr(begin + 6, end - begin - 6));
    static const std::regex control(R"re(^\s*CONTROL\s+"([^"]*)",\s*(-?\d+),\s*"(\w+)",\s*([^,]+),)re");
    static const std::regex captioned(R"re(^\s*(LTEXT|PUSHBUTTON|DEFPUSHBUTTON|AUTOCHECKBOX)\s+"([^"]*)",\s*(\d+),)re");
    static const std::regex numbered(R"re(^\s*(EDITTEXT|COMBOBOX)\s+(\d+),.*?(ES_MULTILINE)?\s*$)re");
    static const std::regex macro(R"re(^\s*(LABEL|UNIT|REASON|NUMBER)\(("([^"]*)"|(\d+)),)re");
    for (std::string line; std::getline(lines, line);) {
        std::smatch m;
        RcControl c;
        if (std::regex_search(line, m, control)) {
            c.id = std::stoi(m[2]);
            c.text = m[1];
            const std::string style = m[4];
            if (m[3] == "Static") c.kind = "Static";
            else if (style.find("BS_AUTORADIOBUTTON") != std::string::npos) c.kind = "Radio";
            else if (style.find("BS_AUTOCHECKBOX") != std::string::npos) c.kind = "CheckBox";
            else c.kind = m[3];
        } else if (std::regex_search(line, m, captioned)) {
            c.id = std::stoi(m[3]);
            c.text = m[2];
            c.kind = m[1] == "LTEXT" ? "Static" : m[1] == "AUTOCHECKBOX" ? "CheckBox" : "Button";
        } else if (std::regex_search(line, m, numbered)) {
            c.id = std::stoi(m[2]);
            c.kind = m[1] == "COMBOBOX" ? "List" : line.find("ES_MULTILINE") != std::string::npos ? "Multiline" : "Edit";
        } else if (std::regex_search(line, m, macro)) {
            c.kind = m[1] == "NUMBER" ? "Edit" : "Static";
            if (m[4].matched) c.id = std::stoi(m[4]);
            else c.text = m[3];
        } else {
            continue;
        }
        c.focusable = c.kind != "Static";
        out.push_back(c);
    }
    return out;
}

const char* rc_kind(geoid::Kind k)
{
    switch (k) {
    case geoid::Kind::Radio: return "Radio";
    case geoid::Kind::Input:
    case geoid::Kind::Result:
    case geoid::Kind::FileName:
    case geoid::Kind::Text: return "Edit";
    case geoid::Kind::Button: return "Button";
    case geoid::Kind::List: return "List";
    case geoid::Kind::CheckBox: return "CheckBox";
    case geoid::Kind::Label:
    case geoid::Kind::Reason: return "Static";
    case geoid::Kind::Preview: return "Multiline";
    }
    return "";
}

std::string without_amp(std::string s)
{
    std::erase(s, '&');
    return s;
}

// Access keys: the letter (lower case) and the number of the control it reaches.
using AccessKeys = std::set<std::pair<std::string, int>>;

std::string key_of(const std::string& caption)
{
    const std::size_t amp = caption.find('&');
    if (amp == std::string::npos || amp + 1 >= caption.size()) return {};
    // One letter, which may be a two-byte UTF-8 character ("ü").
    const std::size_t n = (static_cast<unsigned char>(caption[amp + 1]) & 0x80) != 0 ? 2 : 1;
    std::string key = caption.substr(amp + 1, n);
    if (n == 1) key[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(key[0])));
    else if (key == "\xC3\x9C") key = "\xC3\xBC";
    return key;
}

AccessKeys rc_keys(const std::vector<RcControl>& controls)
{
    AccessKeys keys;
    for (std::size_t k = 0; k < controls.size(); ++k) {
        const std::string key = key_of(controls[k].text);
        if (key.empty()) continue;
        // A label's key reaches the next control Tab can reach.
        std::size_t target = k;
        while (target < controls.size() && !controls[target].focusable) ++target;
        keys.insert({key, target < controls.size() ? controls[target].id : 0});
    }
    return keys;
}

// A Designer file's text as it reads: "&amp;" is "&", "&lt;" is "<".
std::string xml_text(const std::string& xml)
{
    std::string out;
    for (std::size_t k = 0; k < xml.size(); ++k) {
        if (xml.compare(k, 5, "&amp;") == 0) {
            out += '&';
            k += 4;
        } else if (xml.compare(k, 4, "&lt;") == 0) {
            out += '<';
            k += 3;
        } else {
            out += xml[k];
        }
    }
    return out;
}

// The captions of the numbered controls of a Designer file, "&" removed.
std::map<int, std::string> ui_captions(const std::string& ui)
{
    std::map<int, std::string> out;
    static const std::regex widget(R"re(<widget class="\w+" name="id(\d+)">)re");
    for (auto it = std::sregex_iterator(ui.begin(), ui.end(), widget); it != std::sregex_iterator(); ++it) {
        const std::size_t from = static_cast<std::size_t>(it->position() + it->length());
        const std::string body = ui.substr(from, ui.find("<widget", from) - from);
        std::smatch text;
        if (!std::regex_search(body, text, std::regex(R"re(name="text">\s*<string>([^<]*)</string>)re"))) continue;
        out[std::stoi((*it)[1])] = without_amp(xml_text(text[1]));
    }
    return out;
}

AccessKeys ui_keys(const std::string& ui)
{
    AccessKeys keys;
    static const std::regex widget(R"re(<widget class="(\w+)" name="(\w+)">)re");
    for (auto it = std::sregex_iterator(ui.begin(), ui.end(), widget); it != std::sregex_iterator(); ++it) {
        const std::size_t from = static_cast<std::size_t>(it->position() + it->length());
        const std::string body = ui.substr(from, ui.find("<widget", from) - from);
        std::smatch text, buddy;
        if (!std::regex_search(body, text, std::regex(R"re(name="text">\s*<string>([^<]*)</string>)re"))) continue;
        const std::string key = key_of(xml_text(text[1]));
        if (key.empty()) continue;
        std::string target = (*it)[2];
        if (std::regex_search(body, buddy, std::regex(R"re(name="buddy">\s*<cstring>(\w+)</cstring>)re"))) target = buddy[1];
        keys.insert({key, target.rfind("id", 0) == 0 ? std::stoi(target.substr(2)) : 0});
    }
    return keys;
}

}  // namespace

// The Win32 templates hold every field of the table and nothing else, each as its kind of
// control; Tab takes the table's order; the access keys reach the controls the Designer forms'
// keys reach; a label stands right in front of each text field and list, so screen readers
// name them.
TEST(FieldTable, MatchesTheWindowsTemplates)
{
    const std::string rc = testing_support::read_text(std::string(RESOURCE_DIR) + "/geoid.rc.in");
    for (const int dialog : {101, 102}) {
        SCOPED_TRACE(dialog);
        const std::vector<RcControl> controls = rc_controls(rc, dialog);
        ASSERT_GT(controls.size(), 20u);
        std::vector<int> table_order, rc_order;
        for (const geoid::Field& f : geoid::fields()) {
            if (f.dialog != dialog) continue;
            SCOPED_TRACE(f.id);
            const auto at = std::find_if(controls.begin(), controls.end(), [&](const RcControl& c) { return c.id == f.id; });
            ASSERT_NE(at, controls.end());
            EXPECT_EQ(std::count_if(controls.begin(), controls.end(), [&](const RcControl& c) { return c.id == f.id; }), 1);
            EXPECT_EQ(at->kind, rc_kind(f.kind));
            if (f.kind != geoid::Kind::Label && f.kind != geoid::Kind::Reason) table_order.push_back(f.id);
            const bool named_by_label = (f.kind == geoid::Kind::Input || f.kind == geoid::Kind::Result ||
                                         f.kind == geoid::Kind::Text) && *f.label != '\0';
            if (named_by_label || f.kind == geoid::Kind::List) {
                ASSERT_NE(at, controls.begin());
                const RcControl& before = *(at - 1);
                EXPECT_EQ(before.kind, "Static");
                EXPECT_EQ(without_amp(before.text).rfind(f.label, 0), 0u) << before.text;
            }
        }
        for (const RcControl& c : controls) {
            if (c.focusable) rc_order.push_back(c.id);
            if (c.id != -1) {
                EXPECT_NE(geoid::find_field(dialog, c.id), nullptr) << c.id << " is not in the table";
            }
        }
        EXPECT_EQ(rc_order, table_order);
        const std::string ui = testing_support::read_text(std::string(RESOURCE_DIR) + "/dialog" + std::to_string(dialog) + ".ui");
        EXPECT_EQ(rc_keys(controls), ui_keys(ui));
        // The same captions as the Designer forms.
        for (const auto& [id, caption] : ui_captions(ui)) {
            const auto at = std::find_if(controls.begin(), controls.end(), [id](const RcControl& c) { return c.id == id; });
            ASSERT_NE(at, controls.end()) << id;
            EXPECT_EQ(without_amp(at->text), caption) << id;
        }
    }
    // The menu: its items with the texts and access keys of the program's menu.
    for (const char* item : {"&Quasigeoidmodell\", 40001", "&Interaktive Eingabe\", 40006", "&Dateieingabe\", 40009",
                             "&Hilfe\", 40004", "I&nfo\", 40002", "&Beenden\", 40003"})
        EXPECT_NE(rc.find(std::string("MENUITEM \"") + item), std::string::npos) << item;
}

// The help text names every message the desktop program can show, as it shows it (blanks and
// line breaks aside), and writes "ausserhalb" as the messages do.
TEST(HelpText, NamesEveryMessage)
{
    const auto squeezed = [](std::string_view text) {
        std::string out;
        for (const char c : text) {
            if (c == ' ' || c == '\n') {
                if (!out.empty() && out.back() != ' ') out += ' ';
            } else {
                out += c;
            }
        }
        return out;
    };
    const std::string help = squeezed(testing_support::read_text(HELP_TEXT));
    for (const std::string_view message : messages::window_texts()) {
        const std::string m = squeezed(message);
        const std::size_t begin = m.find_first_not_of(' '), end = m.find_last_not_of(' ');
        EXPECT_NE(help.find(m.substr(begin, end + 1 - begin)), std::string::npos) << message;
    }
    // The closing message and the model's message write "ausserhalb"; only the hints after the
    // closing message write "außerhalb", followed by "des Modells;".
    for (std::size_t at = 0; (at = help.find("au\xC3\x9F" "erhalb", at)) != std::string::npos; ++at)
        EXPECT_EQ(help.compare(at + 10, 13, " des Modells;"), 0) << help.substr(at, 40);
}

// The number of file formats is the table's: the form's lists take that many, the help text and
// the manual page name each row by its number, the manual page's ranges end at the count.
TEST(FileFormats, ListsHelpAndManualFollowTheTable)
{
    for (const int list : {geoid::kListInFormat, geoid::kListOutFormat})
        EXPECT_EQ(geoid::find_field(geoid::kFileDialog, list)->highest, filecalc::kFormatCount);
    const std::string help = testing_support::read_text(HELP_TEXT), manual = testing_support::read_text(MANUAL_PAGE);
    for (const filecalc::FileFormat& f : filecalc::formats()) {
        const std::string row = std::to_string(f.number) + " " + f.input_label + "\n";
        EXPECT_NE(help.find("  " + row), std::string::npos) << row;
        // The manual page writes umlauts and ß as groff escapes.
        std::string label = f.input_label;
        for (const auto& [utf8, escape] : {std::pair{"\xC3\x9F", "\\(ss"}, {"\xC3\xBC", "\\(:u"}})
            for (std::size_t at; (at = label.find(utf8)) != std::string::npos;) label.replace(at, 2, escape);
        EXPECT_NE(manual.find(".B " + std::to_string(f.number) + "  " + label + "\n"), std::string::npos) << row;
    }
    EXPECT_EQ(help.find("  " + std::to_string(filecalc::kFormatCount + 1) + " "), std::string::npos);
    EXPECT_NE(manual.find("1.." + std::to_string(filecalc::kFormatCount) + "\""), std::string::npos);
}

TEST(FieldTable, RadioButtonsSelectTheirSystemsByNumber)
{
    const std::map<int, std::string> expected = {{1001, "XYZ"}, {1002, "BLh1"}, {1016, "BLh2"}, {1003, "UTM32"}, {1061, "UTM33"}};
    std::map<int, std::string> got;
    for (const geoid::Field& f : geoid::fields())
        if (f.kind == geoid::Kind::Radio) got[f.id] = std::string(geoid::system_code(f.system));
    EXPECT_EQ(got, expected);
    for (const auto& [id, code] : expected) EXPECT_EQ(geoid::system_code(geoid::system_of(code)), code);
    EXPECT_EQ(geoid::system_of("XYZ  "), geoid::System::Xyz);  // blank-padded
    EXPECT_EQ(geoid::system_of("blh1"), geoid::System::None);  // case-sensitive
}

TEST(FieldTable, InputOrderIsTheOrderOfTheForm)
{
    std::vector<int> order;
    std::map<geoid::System, int> first;
    for (const geoid::Field& f : geoid::fields())
        if (f.dialog == 101 && f.kind == geoid::Kind::Input) {
            order.push_back(f.id);
            first.try_emplace(f.system, f.id);
        }
    EXPECT_EQ(order, (std::vector<int>{1007, 1004, 1005, 1029, 1014, 1015, 1058, 1035, 1037, 1038, 1057, 1030, 1013,
                                       1036, 1031, 1026, 1028, 1027, 1074, 1075, 1060}));
    EXPECT_EQ(first, (std::map<geoid::System, int>{{geoid::System::Xyz, 1007}, {geoid::System::Blh1, 1029},
                                                   {geoid::System::Blh2, 1058}, {geoid::System::Utm32, 1026},
                                                   {geoid::System::Utm33, 1074}}));
}

TEST(FieldChecks, EveryInputFieldWithItsBounds)
{
    geoid::Koordinaten k;
    const struct {
        int field;
        const char* text;
        bool ok;
    } cases[] = {
        {1029, "47.23", true},   {1029, "55.98", true},    {1029, "47.229", false}, {1029, "55.981", false},
        {1029, "", false},       {1029, "   ", false},    {1029, "52,5", true},    {1029, " 52.5  ", true},
        {1029, "abc", false},    {1029, "5 2", false},    {1029, "5.25D1", true},  {1029, "nan", false},
        {1029, ",52", false},    {1029, "52/", false},     {1014, "3.26", true},    {1014, "15.121", false},
        {1007, "0", true},       {1007, "-7000000", true}, {1007, "7000000", true}, {1007, "7000000.001", false},
        {1004, "1e999", false},  {1015, "-999", true},    {1015, "9999", true},    {1015, "10000", false},
        {1031, "-999.001", false}, {1058, "+", true},     {1058, "-", true},       {1058, " ", false},
        {1058, "", false},       {1058, "x", false},      {1035, "-", false},      {1035, "5 2", false},
        {1035, "", false},       {1030, " 9 ", true},     {1035, "47", true},      {1035, "56", false},
        {1030, "9.0", false},    {1030, "5 2", false},   {1037, "+", true},       {1037, "60", true},      {1037, "61", false},
        {1038, "60", true},      {1038, "60.0001", false}, {1038, "-0.1", false},  {1030, "3", true},
        {1030, "16", false},     {1013, "0", true},       {1036, "59.99999", true}, {1026, "-99999999", true},
        {1026, "100000000", false}, {1028, "1200000", true}, {1028, "-1", false},  {1074, "5761038.212", true},
        {1075, "0", true},       {1075, "1200000.5", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.field) + " \"" + c.text + "\"");
        const geoid::Field* f = geoid::find_field(101, c.field);
        ASSERT_NE(f, nullptr);
        const geoid::VarRef v = geoid::var_ref(f->var, k);
        bool ok = false;
        switch (f->check) {
        case geoid::Check::Real: ok = geoid::check_real_text(c.text, *v.real, f->lowest, f->highest); break;
        case geoid::Check::Integer:
            ok = geoid::check_integer_text(c.text, *v.integer, static_cast<std::int32_t>(f->lowest),
                                           static_cast<std::int32_t>(f->highest));
            break;
        case geoid::Check::Sign: ok = geoid::check_sign_text(c.text, *v.sign); break;
        case geoid::Check::None: FAIL() << "no check";
        }
        EXPECT_EQ(ok, c.ok);
    }
}

TEST(FieldChecks, StoredValues)
{
    // One number with a decimal comma is that number (German input). Texts holding more than
    // one number are refused: see the point form's table of field texts.
    const struct {
        const char* text;
        double value;
    } commas[] = {{"52,5163", 52.5163}, {" 52,5 ", 52.5}, {"+52,5", 52.5}, {"5,25D1", 52.5}, {"5,25e1", 52.5},
                  {"52,", 52.0},        {"\t52,5\t", 52.5}};
    double b = 0;
    for (const auto& c : commas) {
        b = -1;
        EXPECT_TRUE(geoid::check_real_text(c.text, b, 47.23, 55.98)) << c.text;
        EXPECT_EQ(b, c.value) << c.text;
    }
    EXPECT_TRUE(geoid::check_real_text("-0,5", b, -999, 9999));
    EXPECT_EQ(b, -0.5);
    EXPECT_FALSE(geoid::check_real_text("60.5", b, 47.23, 55.98));
    EXPECT_EQ(b, 60.5);  // a number out of range is still stored
    std::int32_t m = 9;
    EXPECT_TRUE(geoid::check_integer_text("+", m, 0, 60));
    EXPECT_EQ(m, 0);
    char sign = 'x';
    EXPECT_TRUE(geoid::check_sign_text("-5", sign));
    EXPECT_EQ(sign, '-');
    // A field is read whole, however long its text.
    EXPECT_TRUE(geoid::check_real_text(std::string(20, ' ') + "52.5", b, 47.23, 55.98));
    EXPECT_FALSE(geoid::check_real_text("52.5" + std::string(20, ' ') + "1", b, 47.23, 55.98));
}

// A field is read whole and one length rule holds for every number: up to 256 characters
// (blanks around it aside) it is read, with a decimal comma as with a point; a longer one is
// refused, never cut to a shorter number.
TEST(FieldChecks, LongTextsWithADecimalComma)
{
    const struct {
        const char* name;
        std::string text;
        bool ok;
    } cases[] = {
        {"256 characters", "52,5" + std::string(252, '0'), true},
        {"256 with a point", "52.5" + std::string(252, '0'), true},
        {"257 characters", "52,5" + std::string(253, '0'), false},
        {"257 with a point", "52.5" + std::string(253, '0'), false},
        {"300 blanks before it", std::string(300, ' ') + "52,5", true},
        {"300 blanks after it", "52,5" + std::string(300, ' '), true},
        {"a second number 300 blanks on", "52,5" + std::string(300, ' ') + "1", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        double b = -1;
        EXPECT_EQ(geoid::check_real_text(c.text, b, 47.23, 55.98), c.ok);
        if (c.ok) {
            EXPECT_EQ(b, 52.5);
        }
    }
}
