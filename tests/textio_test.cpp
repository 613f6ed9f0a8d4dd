#include "textio/encoding.h"
#include "textio/files.h"
#include "textio/textio.h"
#include "tests/model_builder.h"
#include "textio/viewer.h"
#include "messages/geoid.h"

#include <cmath>
#include <filesystem>
#include <cstring>
#include <limits>
#include <random>
#ifndef _WIN32
#include <sys/stat.h>
#endif
#include <cstdio>
#include <memory>
#include <gtest/gtest.h>
#include <string>

using textio::FreeReader;
using textio::ReadStatus;
using testing_support::TempDir;
using testing_support::write_text;

TEST(Lench, CountsUpToTheLastNonBlank)
{
    EXPECT_EQ(textio::lench("ab  "), 2);
    EXPECT_EQ(textio::lench("    "), 0);
    EXPECT_EQ(textio::lench(""), 0);
    // Only the blank is trailing space: a tab or NUL is an ordinary character.
    EXPECT_EQ(textio::lench("a\t  "), 2);
    EXPECT_EQ(textio::lench(std::string_view("a\0 ", 3)), 2);
    EXPECT_EQ(textio::trim_trailing(" x y  "), " x y");
    EXPECT_EQ(textio::trim_trailing("   "), "");
    EXPECT_EQ(textio::trim_trailing("  ."), "  .");
}

TEST(FixedField, RoundsRightAlignsAndFillsWithAsterisks)
{
    EXPECT_EQ(testing_support::fixed(50.1, 11, 7), " 50.1000000");
    EXPECT_EQ(testing_support::fixed(252.667, 11, 3), "    252.667");
    EXPECT_EQ(testing_support::fixed(-0.5, 8, 3), "  -0.500");
    EXPECT_EQ(testing_support::fixed(2.0005, 8, 3), "   2.001");   // 2.0005 is stored just above
    EXPECT_EQ(testing_support::fixed(0.0625, 6, 3), " 0.062");      // exact tie rounds to even, as printf
    EXPECT_EQ(testing_support::fixed(-0.0004, 7, 3), " -0.000");    // printf keeps the sign
    EXPECT_EQ(testing_support::fixed(999999.0, 11, 3), " 999999.000");
    // 1000.0 with 7 decimals needs 12 characters; -100.0 needs 12 as well.
    EXPECT_EQ(testing_support::fixed(1000.0, 11, 7), "***********");
    EXPECT_EQ(testing_support::fixed(-100.0, 11, 7), "***********");
    EXPECT_EQ(testing_support::fixed(-10.0, 11, 7), "-10.0000000");
    EXPECT_EQ(testing_support::fixed(9.99999, 4, 2), "****");  // rounds up to 10.00, one too wide
    EXPECT_EQ(testing_support::fixed(1e300, 14, 3), "**************");
    EXPECT_EQ(testing_support::fixed(std::nan(""), 5, 1), "*****");
}

TEST(IntegerField, RightAlignsAndFillsWithAsterisks)
{
    std::string s;
    textio::put_integer(s, 52, 3);
    textio::put_integer(s, -7, 4);
    textio::put_integer(s, 1234, 3);
    EXPECT_EQ(s, " 52  -7***");
}

TEST(ParseNumber, AcceptsFreeFormNumbers)
{
    const struct {
        const char* text;
        double value;
    } good[] = {{"52", 52.0}, {"-7.25", -7.25}, {"+3.5", 3.5}, {".5", 0.5}, {"5.", 5.0},
                {"1e3", 1000.0}, {"1.5E-2", 0.015}, {"2D2", 200.0}, {"-2.5d+1", -25.0}};
    for (const auto& g : good) {
        double v = 0;
        EXPECT_TRUE(textio::parse_number(g.text, v)) << g.text;
        EXPECT_EQ(v, g.value) << g.text;
    }
}

TEST(ParseNumber, RefusesEverythingElse)
{
    for (const char* bad : {"", "-", "+", ".", "abc", "1.2.3", "52,5", "3*1.0", "/", "1e", "1e+",
                            "nan", "inf", "1e999", "0x10", "12abc", "+-1", "1 2"}) {
        double v = 42.0;
        EXPECT_FALSE(textio::parse_number(bad, v)) << bad;
        EXPECT_EQ(v, 42.0) << bad;
    }
}

TEST(ParseInteger, DigitsOnly)
{
    long long v = 0;
    EXPECT_TRUE(textio::parse_integer("-12", v));
    EXPECT_EQ(v, -12);
    EXPECT_TRUE(textio::parse_integer("+7", v));
    EXPECT_EQ(v, 7);
    for (const char* bad : {"", "+", "1.0", "1e2", "+-3", "99999999999999999999"})
        EXPECT_FALSE(textio::parse_integer(bad, v)) << bad;
}

// The reader over a real file, since it works on FILE* and seeks.
class FreeReaderTest : public ::testing::Test {
protected:
    FreeReader& open(const std::string& content)
    {
        file_ = std::tmpfile();
        std::fwrite(content.data(), 1, content.size(), file_);
        std::rewind(file_);
        return again();
    }
    // A new reader over the same file, as varnik starts its point loop after the detection.
    FreeReader& again()
    {
        reader_ = std::make_unique<FreeReader>(file_);
        return *reader_;
    }
    void TearDown() override
    {
        reader_.reset();
        if (file_ != nullptr) std::fclose(file_);
        file_ = nullptr;
    }

private:
    std::FILE* file_ = nullptr;
    std::unique_ptr<FreeReader> reader_;
};

TEST_F(FreeReaderTest, TakesWhatItNeedsAndDropsTheRestOfTheLine)
{
    FreeReader& r = open("50.1 10.2 300 extra words\n51.0,11\n");
    double v[2];
    ASSERT_EQ(r.read(v, 2), ReadStatus::Ok);
    EXPECT_EQ(v[0], 50.1);
    EXPECT_EQ(v[1], 10.2);
    ASSERT_EQ(r.read(v, 2), ReadStatus::Ok);
    EXPECT_EQ(v[0], 51.0);
    EXPECT_EQ(v[1], 11.0);
    EXPECT_EQ(r.read(v, 2), ReadStatus::End);
}

TEST_F(FreeReaderTest, ContinuesOnTheNextLineAndOverEmptyLines)
{
    FreeReader& r = open("50.1 10.2\n\n  300.5 9 9\n52 12 100");
    double v[3];
    ASSERT_EQ(r.read(v, 3), ReadStatus::Ok);
    EXPECT_EQ(v[2], 300.5);
    ASSERT_EQ(r.read(v, 3), ReadStatus::Ok);  // last line without a line feed
    EXPECT_EQ(v[0], 52.0);
    EXPECT_EQ(r.read(v, 3), ReadStatus::End);
}

TEST_F(FreeReaderTest, EndInsideAReadIsTheNormalEnd)
{
    FreeReader& r = open("50 10 1\n51 11\n");
    double v[3];
    ASSERT_EQ(r.read(v, 3), ReadStatus::Ok);
    EXPECT_EQ(r.read(v, 3), ReadStatus::End);
}

TEST_F(FreeReaderTest, NonNumbersEmptyValuesSlashesAndRepeatCountsAreErrors)
{
    double v[2];
    for (const char* bad : {"50 abc\n", "50,,10\n", ",50 10\n", "50 , ,10\n", "50 /\n", "2*50\n",
                            "50,\n,10\n", "50 10e\n"}) {
        FreeReader& r = open(bad);
        EXPECT_EQ(r.read(v, 2), ReadStatus::Error) << bad;
        TearDown();
    }
}

TEST_F(FreeReaderTest, CommasAndTabsSeparateAndLineEndsMayFollowAComma)
{
    FreeReader& r = open("50.5,\t10.5 ,\n 7\n");
    double v[3];
    ASSERT_EQ(r.read(v, 3), ReadStatus::Ok);
    EXPECT_EQ(v[0], 50.5);
    EXPECT_EQ(v[1], 10.5);
    EXPECT_EQ(v[2], 7.0);
}

// A line ends at LF, CR LF or a lone CR (old Mac files): each read drops the rest of its line.
TEST_F(FreeReaderTest, LineEndsOfEveryKind)
{
    for (const char* text : {"50 10 9\n51 11 9\n\n52 12", "50 10 9\r\n51 11 9\r\n\r\n52 12", "50 10 9\r51 11 9\r\r52 12"}) {
        SCOPED_TRACE(testing::PrintToString(std::string(text)));
        FreeReader& r = open(text);
        double v[2];
        for (const double b : {50.0, 51.0, 52.0}) {
            ASSERT_EQ(r.read(v, 2), ReadStatus::Ok);
            EXPECT_EQ(v[0], b);
        }
        EXPECT_EQ(r.read(v, 2), ReadStatus::End);
    }
    // A read of three values ends on the second line; backspace returns to its start.
    for (const char* text : {"50 10\n51 11\n", "50 10\r\n51 11\r\n", "50 10\r51 11\r"}) {
        SCOPED_TRACE(testing::PrintToString(std::string(text)));
        FreeReader& r = open(text);
        double w[3];
        ASSERT_EQ(r.read(w, 3), ReadStatus::Ok);
        ASSERT_TRUE(r.backspace());
        ASSERT_EQ(r.read(w, 2), ReadStatus::Ok);
        EXPECT_EQ(w[0], 51.0);
    }
}

TEST_F(FreeReaderTest, IgnoresCarriageReturnsAndByteOrderMark)
{
    FreeReader& r = open("\xEF\xBB\xBF" "50 10\r\n51 11\r\n");
    double v[2];
    ASSERT_EQ(r.read(v, 2), ReadStatus::Ok);
    EXPECT_EQ(v[0], 50.0);
    ASSERT_EQ(r.read(v, 2), ReadStatus::Ok);
    EXPECT_EQ(v[1], 11.0);
    FreeReader& from_start = again();
    ASSERT_EQ(from_start.read(v, 2), ReadStatus::Ok);
    EXPECT_EQ(v[0], 50.0);
}

TEST_F(FreeReaderTest, BackspaceReturnsToTheLineWhereTheReadEnded)
{
    // Without heights the first read of three values ends on the second line.
    FreeReader& r = open("50 10\n51 11\n52 12\n");
    double v[3];
    ASSERT_EQ(r.read(v, 3), ReadStatus::Ok);
    EXPECT_EQ(v[2], 51.0);
    ASSERT_TRUE(r.backspace());
    ASSERT_EQ(r.read(v, 3), ReadStatus::Ok);
    EXPECT_EQ(v[0], 51.0);
    EXPECT_EQ(v[2], 52.0);
}

TEST_F(FreeReaderTest, BackspaceOverTheByteOrderMarkAndOneLineFile)
{
    FreeReader& r = open("\xEF\xBB\xBF" "50 10 300");
    double v[3];
    ASSERT_EQ(r.read(v, 3), ReadStatus::Ok);
    ASSERT_TRUE(r.backspace());
    ASSERT_EQ(r.read(v, 3), ReadStatus::Ok);
    EXPECT_EQ(v[0], 50.0);
    EXPECT_EQ(v[2], 300.0);
}

TEST_F(FreeReaderTest, LinesLongerThanTheBufferAreRead)
{
    std::string text = "1 2 ";
    text.append(200000, 'x');  // the ignored rest of a very long line
    text += "\n3 4\n";
    FreeReader& r = open(text);
    double v[2];
    ASSERT_EQ(r.read(v, 2), ReadStatus::Ok);
    ASSERT_EQ(r.read(v, 2), ReadStatus::Ok);
    EXPECT_EQ(v[0], 3.0);
    EXPECT_EQ(v[1], 4.0);
}

TEST(FieldTexts, IntegerConversionOfAField)
{
    const struct {
        const char* text;
        std::int32_t value;
        bool ok;
    } cases[] = {{"  12 ", 12, true}, {"-7", -7, true}, {"+", 0, true}, {"-", 0, true},
                 {"", 0, false},      {"   ", 0, false}, {"1 2", 0, false}, {"12345678901", 0, false},
                 {"2147483647", 2147483647, true}, {"2147483648", 0, false}, {"0000000042", 42, true},
                 {"4a", 0, false},    {"1.0", 0, false}, {"+-1", 0, false}, {"\t5", 0, false}};
    for (const auto& c : cases) {
        std::int32_t v = -99;
        EXPECT_EQ(textio::text_to_int32(c.text, v), c.ok) << c.text;
        EXPECT_EQ(v, c.value) << c.text;
    }
}

TEST(FieldTexts, LengthsWithoutBlanksAndNuls)
{
    EXPECT_EQ(textio::actual_length(std::string_view("ab \0  ", 6)), 2);
    EXPECT_EQ(textio::actual_length("   "), 0);
}

TEST(FieldTexts, FormatTexts)
{
    const struct {
        const char* format;
        double value;
        const char* text;
    } cases[] = {
        {"(i3)", -5, " -5"},           {"(i2)", -50, "**"},          {"(f8.3)", 100.0 - 47.123, "  52.877"},
        {"(f13.8)", 52.5163, "  52.51630000"}, {"(F8.3)", 123456.0, "********"}, {"(f8.5)", 0.5, " 0.50000"},
        {"(i2)", 7, " 7"},             {"f4.1", 2.25, " 2.2"},       {"(x8.3)", 1.0, ""},
        {"(f8.)", 1.0, ""},            {"(f)", 1.0, ""},             {"(i2", 3, " 3"},
    };
    for (const auto& c : cases) {
        const std::string got = c.format[1] == 'i' || c.format[0] == 'i' ? textio::format_integer(static_cast<long long>(c.value), c.format)
                                                                          : textio::format_real(c.value, c.format);
        EXPECT_EQ(got, c.text) << c.format;
    }
    // Digit runs saturate instead of overflowing an int (a format text is never this long).
    textio::FieldFormat f;
    ASSERT_TRUE(textio::parse_format("(f99999999999999999999.99999999999999999999)", f));
    EXPECT_EQ(f.width, textio::kMaxFieldWidth);
    EXPECT_EQ(f.decimals, textio::kMaxFieldWidth);
}

// ---- viewer texts ---------------------------------------------------------------------------------

// The note the desktop program's viewers put under a text they cut.
constexpr const char* kCut = messages::geoid::kViewerCut;

TEST(ViewerText, LinesWithoutTrailingBlanksAndWithCrLf)
{
    TempDir dir;
    write_text(dir.file("a.txt"), "erste   \n\n  zweite\r\n   \nletzte");
    const textio::ViewerText t = textio::read_viewer_text(dir.file("a.txt"), kCut);
    EXPECT_EQ(t.status, textio::ViewerRead::Ok);
    EXPECT_EQ(t.text, "erste\r\n\r\n  zweite\r\n\r\nletzte\r\n");
}

// The edges of the Windows-1252 table: the first and last of 0x80..0x9F, an unassigned code,
// the first byte Latin-1 shares, the last byte.
TEST(Encoding, Windows1252TableEdges)
{
    EXPECT_EQ(textio::cp1252_to_utf8("\x80\x81\x9F\xA0\xFF"), "\xE2\x82\xAC\xEF\xBF\xBD\xC5\xB8\xC2\xA0\xC3\xBF");
    EXPECT_EQ(textio::cp1252_to_utf8("\x7F"), "\x7F");
}

TEST(ViewerText, Windows1252AndUtf8AreBothShownCorrectly)
{
    TempDir dir;
    write_text(dir.file("latin.txt"), "H\xF6he \x80 5\n\xC4rger\n");
    EXPECT_EQ(textio::read_viewer_text(dir.file("latin.txt"), kCut).text, "H\xC3\xB6he \xE2\x82\xAC 5\r\n\xC3\x84rger\r\n");
    write_text(dir.file("utf8.txt"), "H\xC3\xB6he \xE2\x82\xAC 5\n");
    EXPECT_EQ(textio::read_viewer_text(dir.file("utf8.txt"), kCut).text, "H\xC3\xB6he \xE2\x82\xAC 5\r\n");
    // One Latin-1 byte anywhere makes the whole file Windows-1252.
    write_text(dir.file("mixed.txt"), "\xC3\xA4\n\xE4\n");
    EXPECT_EQ(textio::read_viewer_text(dir.file("mixed.txt"), kCut).text, "\xC3\x83\xC2\xA4\r\n\xC3\xA4\r\n");
}

TEST(ViewerText, MissingFileIsCreatedEmptyAndOthersThanFilesCannotBeOpened)
{
    TempDir dir;
    const textio::ViewerText t = textio::read_viewer_text(dir.file("neu.txt"), kCut);
    EXPECT_EQ(t.status, textio::ViewerRead::Ok);
    EXPECT_EQ(t.text, "");
    EXPECT_TRUE(testing_support::file_exists(dir.file("neu.txt")));
    EXPECT_EQ(textio::read_viewer_text(dir.path(), kCut).status, textio::ViewerRead::OpenFailed);
    EXPECT_EQ(textio::read_viewer_text(dir.file("nodir/x.txt"), kCut).status, textio::ViewerRead::OpenFailed);
    EXPECT_EQ(textio::read_viewer_text(testing_support::kNullDevice, kCut).text, "");
    if (!testing_support::kPosix) return;  // no named pipes, no /dev/zero on Windows
#ifndef _WIN32
    ASSERT_EQ(mkfifo(dir.file("fifo").c_str(), 0644), 0);  // would block a plain open forever
    EXPECT_EQ(textio::read_viewer_text(dir.file("fifo"), kCut).status, textio::ViewerRead::OpenFailed);
    // An endless single line stops at the viewer's limit (it was read to its end before).
    const std::string zero = textio::read_viewer_text("/dev/zero", kCut).text;
    EXPECT_EQ(zero.substr(0, 65454), std::string(65454, '\0'));
    EXPECT_NE(zero.find("[gek\xC3\xBCrzt: angezeigt werden die ersten 65454 von "), std::string::npos);
#endif
}

// A file longer than the viewer holds is shown in whole lines, then a line that says how many
// of its bytes are shown; only a first line longer than the viewer is shown in part.
TEST(ViewerText, LongTextIsCutAtALineEndAndSaysSo)
{
    TempDir dir;
    const auto note = [](std::size_t shown, std::size_t size) {
        return "[gek\xC3\xBCrzt: angezeigt werden die ersten " + std::to_string(shown) + " von " + std::to_string(size) +
               " Byte]\r\n";
    };
    // 1000 lines of 98 characters: 100 characters each with CR LF, 654 of them fit.
    std::string text;
    for (int k = 0; k < 1000; ++k) text += std::string(97, static_cast<char>('a' + k % 26)) + "Z\n";
    write_text(dir.file("long.txt"), text);
    const std::string t = textio::read_viewer_text(dir.file("long.txt"), kCut).text;
    EXPECT_LE(t.size(), textio::kViewerChars);
    EXPECT_EQ(t.substr(0, 100), std::string(97, 'a') + "Z\r\n");
    EXPECT_EQ(t.substr(65300), std::string(97, static_cast<char>('a' + 653 % 26)) + "Z\r\n" + note(654 * 99, 99000));
    // A line longer than the whole text: its start, and the note.
    write_text(dir.file("one.txt"), std::string(70000, 'x') + "\nmehr\n");
    EXPECT_EQ(textio::read_viewer_text(dir.file("one.txt"), kCut).text, std::string(65454, 'x') + "\r\n" + note(65454, 70006));
    // A cut never splits a character: 4-byte characters up to the limit and beyond.
    std::string wide;
    for (int k = 0; k < 70000; ++k) wide += "\xF0\x9F\x98\x80";
    write_text(dir.file("wide.txt"), wide);
    const std::string shown = textio::read_viewer_text(dir.file("wide.txt"), kCut).text;
    EXPECT_TRUE(textio::is_valid_utf8(shown));
    EXPECT_EQ(shown.substr(4 * 65454), "\r\n" + note(4 * 65454, 280000));
    // A file that fits is shown whole, without a note; a lone CR ends a line as LF does.
    write_text(dir.file("mac.txt"), "a\rb  \r\rc\r\nd");
    EXPECT_EQ(textio::read_viewer_text(dir.file("mac.txt"), kCut).text, "a\r\nb\r\n\r\nc\r\nd\r\n");
}

// Fixed-point fields must be byte for byte what printf("%*.*f") writes, asterisks aside.
TEST(FixedField, SameBytesAsPrintf)
{
    const auto expect_printf = [](double v, int width, int decimals) {
        char buf[512];
        const int n = std::snprintf(buf, sizeof buf, "%*.*f", width, decimals, v);
        const std::string want = n > width || !std::isfinite(v) ? std::string(static_cast<std::size_t>(width), '*') : buf;
        ASSERT_EQ(testing_support::fixed(v, width, decimals), want) << std::hexfloat << v << " %" << width << '.' << decimals;
    };
    std::mt19937_64 rng(2026);
    std::uniform_real_distribution<double> coord(-200.0, 200.0), height(-1e4, 1e7);
    std::uniform_int_distribution<int> exponent(-30, 30);
    std::uniform_int_distribution<std::uint64_t> bits;
    for (int k = 0; k < 1000000; ++k) {
        expect_printf(coord(rng), 11, 7);
        expect_printf(height(rng), 14, 3);
        expect_printf(std::ldexp(coord(rng), exponent(rng)), 12, 5);
        double any;  // every bit pattern, NaN and infinities included
        const std::uint64_t b = bits(rng);
        std::memcpy(&any, &b, sizeof any);
        expect_printf(any, 10, 3);
    }
    // Exactly halfway between two outputs (binary fractions), and just beside them.
    for (long long m = -100000; m <= 100000; m += 7) {
        for (int d : {1, 2, 3}) {
            const double tie = (static_cast<double>(m) + 0.5) / std::pow(10.0, d);
            const double exact = static_cast<double>(m * 2 + 1) / 8.0;  // x.125, x.375, x.625, x.875
            for (double v : {tie, std::nextafter(tie, 0.0), std::nextafter(tie, 1e9), exact}) expect_printf(v, 14, d);
        }
        expect_printf(static_cast<double>(m) / 8.0, 12, 2);
    }
    for (double v : {0.0, -0.0, 0.0005, -0.0005, -0.0004, 0.9999999, 1e15, -1e15, 4.5e15 / 1000, 1e300, -1e-300,
                     std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
                     std::numeric_limits<double>::quiet_NaN(), 999999.0, 9999.999, 123456789012.0})
        for (int d : {0, 3, 7, 9})
            for (int w : {1, 8, 11, 30}) expect_printf(v, w, d);
}

TEST(FieldTexts, TrailingBlanksOnlyAndFullFields)
{
    EXPECT_EQ(textio::trim_trailing("datei.txt\t  "), "datei.txt\t");  // a tab is no blank
    std::string s;
    textio::put_integer(s, 123, 3);    // exactly fills its field
    textio::put_integer(s, -12, 3);
    textio::put_integer(s, -123, 3);   // one too wide
    EXPECT_EQ(s, "123-12***");
    EXPECT_EQ(testing_support::fixed(-1.5, 4, 1), "-1.5");
    EXPECT_EQ(testing_support::fixed(-10.5, 4, 1), "****");
}

TEST(ParseNumber, OneRuleForEveryFormAndTinyValuesAreZero)
{
    const std::string digits(120, '1');
    const struct {
        std::string text;
        bool ok;
        double value;
    } cases[] = {
        {"9E-400", true, 0.0},    {"-9d-400", true, -0.0}, {"0.0001e-330", true, 0.0}, {"1e400", false, 0},
        {"1d400", false, 0},      {digits + "e-100", true, 1.1111111111111111e19},
        {digits + "d-100", true, 1.1111111111111111e19},  // as long as with E
        {"0." + digits + "D1", true, 1.1111111111111111},
        {std::string(257, '1'), false, 0},                // longer than any token
    };
    for (const auto& c : cases) {
        double v = 42.0;
        EXPECT_EQ(textio::parse_number(c.text, v), c.ok) << c.text;
        if (c.ok) {
            EXPECT_DOUBLE_EQ(v, c.value) << c.text;
            EXPECT_EQ(std::signbit(v), std::signbit(c.value)) << c.text;
        }
    }
}

// Every decimal number reads as the correctly rounded double, exactly as strtod reads it:
// short and long, with and without a point, signed, at the edges of 15 and 16 digits.
TEST(ParseNumber, DecimalsReadToTheNearestDouble)
{
    std::mt19937_64 random(7);
    std::vector<std::string> texts = {"0", "-0", "+0.000", "5.", ".5", "-.5", "999999999999999", "9999999999999999",
                                      "0.000000000000001", "123456789012345.6", "52.51630000", "5827475.852"};
    for (int k = 0; k < 20000; ++k) {
        const int digits = 1 + static_cast<int>(random() % 17), point = static_cast<int>(random() % (digits + 1));
        std::string t = random() % 2 ? "-" : "";
        for (int d = 0; d < digits; ++d) {
            if (d == point) t += '.';
            t += static_cast<char>('0' + random() % 10);
        }
        texts.push_back(t);
    }
    for (const std::string& t : texts) {
        double v = 42.0;
        ASSERT_TRUE(textio::parse_number(t, v)) << t;
        const double expected = std::strtod(t.c_str(), nullptr);
        ASSERT_EQ(std::memcmp(&v, &expected, sizeof v), 0) << t;  // bit for bit, the sign of zero too
    }
}

TEST_F(FreeReaderTest, StreamThatFailsWhileReadingIsAnError)
{
    if (!testing_support::kPosix) GTEST_SKIP() << "Windows opens no directory as a stream";
    // Reading a directory fails with an error, not with the end of the file.
    TempDir dir;
    std::FILE* f = std::fopen(dir.path().c_str(), "r");
    ASSERT_NE(f, nullptr);
    {
        FreeReader r(f);
        double v[2];
        EXPECT_EQ(r.read(v, 2), ReadStatus::Error);
    }
    std::fclose(f);
}

// The platform layer: one file under two names is one file, another is not; a write changes
// the stamp; a read at an offset beyond 4 GiB (a sparse file where the file system allows it).
TEST(PlatformLayer, IdentityStampAndReadsBeyondFourGiB)
{
    TempDir dir;
    write_text(dir.file("a.txt"), "eins\n");
    write_text(dir.file("b.txt"), "eins\n");
    std::filesystem::create_directory(dir.file("sub"));
    const std::string other_name = dir.file("sub/../a.txt");
    EXPECT_TRUE(textio::same_file(dir.file("a.txt"), other_name));
    EXPECT_FALSE(textio::same_file(dir.file("a.txt"), dir.file("b.txt")));
    EXPECT_FALSE(textio::same_file(dir.file("a.txt"), dir.file("fehlt.txt")));
    const int fd = textio::open_for_reading(dir.file("a.txt"));
    ASSERT_GE(fd, 0);
    EXPECT_TRUE(textio::same_file(fd, other_name));
    const textio::FileStamp before = textio::stamp_of(fd);
    EXPECT_EQ(before, textio::stamp_of(dir.file("a.txt")));
    EXPECT_EQ(before.size, 5);
    write_text(dir.file("a.txt"), "zwei Zeilen\n");
    EXPECT_NE(textio::stamp_of(fd), before);
    textio::close_file(fd);

    // 8 bytes at 5 GiB.
    constexpr std::int64_t kFar = std::int64_t{5} << 30;
    textio::OutputStatus st;
    std::FILE* f = textio::stream_of(textio::open_output(dir.file("gross.bin"), st, textio::kNoLock), "wb");
    ASSERT_NE(f, nullptr);
    const bool written = textio::seek_stream(f, kFar) && std::fwrite("12345678", 1, 8, f) == 8;
    std::fclose(f);
    if (!written) GTEST_SKIP() << "the file system holds no file of 5 GiB";
    const int big = textio::open_for_reading(dir.file("gross.bin"));
    char bytes[16] = {};
    EXPECT_EQ(textio::read_at(big, kFar - 4, bytes, 16), 12u);
    EXPECT_EQ(std::string(bytes, 12), std::string(4, '\0') + "12345678");
    EXPECT_EQ(textio::stamp_of(big).size, kFar + 8);
    textio::close_file(big);
}
