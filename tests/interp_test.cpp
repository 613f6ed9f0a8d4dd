#include "interp/grid.h"
#include "interp/model.h"
#include "interp/query.h"
#include "messages/messages.h"

#include <cmath>
#include <gtest/gtest.h>
#include <random>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "tests/model_builder.h"

using namespace interp;
using testing_support::Angle;
using testing_support::TempDir;

namespace {

// A 1 x 1 degree grid with 6' spacing: B 50..51, L 8..9, 11 x 11 nodes.
const auto kSmallHeader = testing_support::header_records({50, 0, 0}, {51, 0, 0}, {8, 0, 0}, {9, 0, 0},
                                                          {0, 6, 0}, {0, 6, 0});
constexpr int kSmallN = 11;

double row_lat(int row) { return 51.0 - (row - 1) * 0.1; }
double col_lon(int col) { return 8.0 + (col - 1) * 0.1; }

// Linear in row and column, hence in B and L: value(row, col) in units of 0.1 mm.
std::int32_t linear_node(int row, int col) { return 400000 + 1000 * row + 300 * col; }
double linear_n(double b, double l)
{
    const double row = (51.0 - b) / 0.1 + 1.0;
    const double col = (l - 8.0) / 0.1 + 1.0;
    return (400000.0 + 1000.0 * row + 300.0 * col) * 1e-4;
}

// Quadratic along both axes: bilinear interpolation misses the midpoint of a cell by
// 0.25 * 0.2 m + 0.25 * 0.07 m, the spline comes much closer.
std::int32_t quadratic_node(int row, int col) { return 400000 + 2000 * row * row + 700 * col * col; }

// The selection check's outcome in words.
std::string checked(const std::string& path)
{
    return messages::model_message(check_model(path), path);
}

// A run-wide query's outcome in words, as varnik1 gives it.
void query_worded(const ModelQuery& q, const std::string& file, double b, double l, double& n, std::string& m)
{
    m = messages::model_message(q.query(b, l, n), file);
}

class SmallModel : public ::testing::Test {
protected:
    std::string write(const std::function<std::int32_t(int, int)>& value, const std::string& name = "m.bin")
    {
        const std::string path = dir.file(name);
        testing_support::write_records(
            path, testing_support::with_nodes(kSmallHeader, testing_support::make_nodes(kSmallN, kSmallN, value)));
        return path;
    }
    double query(const std::string& path, double b, double l, std::string* message = nullptr)
    {
        double n = -1.0;
        std::string m;
        messages::varnik1(b, l, path, n, m);
        if (message != nullptr) *message = m;
        else EXPECT_EQ(m, "") << b << ' ' << l;
        return n;
    }
    TempDir dir;
};

}  // namespace

TEST(HeaderDecoding, AnglesTakeTheirSignFromTheDegrees)
{
    EXPECT_EQ(decode_angle(6, 30, 0), 6.5);
    EXPECT_EQ(decode_angle(-6, 30, 0), -6.5);
    EXPECT_EQ(decode_angle(0, 30, 0), 0.5);
    // 1.5' as d = 0, m = 1, s = 30 000 000 micro-seconds.
    EXPECT_NEAR(decode_angle(0, 1, 30000000), 0.025, 1e-15);
    EXPECT_EQ(decode_angle(0, 1, 30000000), 0.016666666666666666 + (30000000 * 1.0e-6) * 0.0002777777777777778);
}

TEST(HeaderDecoding, DimensionsAllowATenthOfAStepShort)
{
    GridHeader h;
    // dB = 1 degree; Bmax - Bmin = 9.95 gives 11 rows, 9.85 gives 10.
    ASSERT_TRUE(decode_header(testing_support::header_records({40, 0, 0}, {49, 57, 0}, {0, 0, 0}, {5, 0, 0},
                                                              {1, 0, 0}, {1, 0, 0}),
                              h));
    EXPECT_EQ(h.nb, 11);
    EXPECT_EQ(h.nl, 6);
    ASSERT_TRUE(decode_header(testing_support::header_records({40, 0, 0}, {49, 51, 0}, {0, 0, 0}, {5, 0, 0},
                                                              {1, 0, 0}, {1, 0, 0}),
                              h));
    EXPECT_EQ(h.nb, 10);
    ASSERT_TRUE(decode_header(kSmallHeader, h));
    EXPECT_EQ(h.nb, 11);
    EXPECT_EQ(h.nl, 11);
    EXPECT_DOUBLE_EQ(h.db, 0.1);
}

// The encoder geoidmodell writes with and the decoder every reader uses: an angle in whole
// micro-arc-seconds comes back as the same records, and its degrees as the decoder gives them;
// the header and the nodes of a written file read back as they were put.
TEST(ModelFormat, EncodedAnglesAndRecordsComeBack)
{
    const struct {
        std::int64_t micro;
        std::int32_t d, m, s;
    } angles[] = {{0, 0, 0, 0},
                  {90000000, 0, 1, 30000000},                // 1.5'
                  {23400000000, 6, 30, 0},                   // 6.5 degrees
                  {-23400000000, -6, 30, 0},                 // the sign rides on the degrees
                  {-3600000001, -1, 0, 1},                   // just beyond -1 degree
                  {202975123456, 56, 22, 55123456},          // seconds with six decimals
                  {7730941129200000000, 2147483647, 0, 0}};  // the largest degrees
    for (const auto& a : angles) {
        SCOPED_TRACE(a.micro);
        std::int32_t r[3] = {-9, -9, -9};
        ASSERT_TRUE(encode_angle(a.micro, r));
        EXPECT_EQ(r[0], a.d);
        EXPECT_EQ(r[1], a.m);
        EXPECT_EQ(r[2], a.s);
        EXPECT_NEAR(decode_angle(r[0], r[1], r[2]), static_cast<double>(a.micro) / 3.6e9, 1e-12 * (1 + std::fabs(a.d)));
    }
    // Between -1 and 0 degrees the degrees are 0 and cannot carry the sign; nor can 2^31 degrees.
    std::int32_t r[3];
    for (const std::int64_t refused : {-1LL, -3599999999LL, 7730941132800000000LL})
        EXPECT_FALSE(encode_angle(refused, r)) << refused;

    TempDir dir;
    const std::vector<std::int32_t> nodes = {-12345, 0, 99999998, kNoValueRecord, 474560, 1};
    std::string bytes;
    put_records(bytes, kSmallHeader.data(), kSmallHeader.size());
    put_records(bytes, nodes.data(), nodes.size());
    testing_support::write_bytes(dir.file("m.bin"), std::vector<unsigned char>(bytes.begin(), bytes.end()));
    ModelFile file;
    ASSERT_TRUE(file.open(dir.file("m.bin")));
    std::int32_t back[24];
    ASSERT_TRUE(file.read_records(1, 24, back));
    EXPECT_TRUE(std::equal(kSmallHeader.begin(), kSmallHeader.end(), back));
    EXPECT_TRUE(std::equal(nodes.begin(), nodes.end(), back + 18));
    EXPECT_FALSE(file.read_records(24, 2, back));  // one record beyond the end
}

TEST(NodeDecoding, ScalesTenthsOfMillimetresAndMarksNoValue)
{
    EXPECT_EQ(decode_node(99999999), 999999.0);
    EXPECT_EQ(decode_node(2147483647), 999999.0);
    EXPECT_EQ(decode_node(99999998), 99999998 * 0.0001);
    EXPECT_NEAR(decode_node(99999998), 9999.9998, 1e-9);
    EXPECT_NEAR(decode_node(-12345), -1.2345, 1e-15);
    EXPECT_EQ(decode_node(0), 0.0);
}

TEST(Spline, NaturalSplineThroughThreePoints)
{
    // Natural spline through (0,0), (1,1), (2,0): M1 solves 4 M1 = 6 (0 - 2 + 0), so M1 = -3,
    // and the value at 0.5 is 0.5 + (0.125 - 0.5)(-3)/6 = 0.6875.
    const double x[3] = {0, 1, 2}, y[3] = {0, 1, 0};
    double y2[3];
    spline(x, y, 3, 1e30, 1e30, y2);
    EXPECT_EQ(y2[0], 0.0);
    EXPECT_DOUBLE_EQ(y2[1], -3.0);
    EXPECT_EQ(y2[2], 0.0);
    double v = 0;
    splint(x, y, y2, 3, 0.5, v);
    EXPECT_DOUBLE_EQ(v, 0.6875);
    splint(x, y, y2, 3, 1.0, v);
    EXPECT_DOUBLE_EQ(v, 1.0);
    // Descending abscissae give the same second derivatives.
    const double xd[3] = {2, 1, 0}, yd[3] = {0, 1, 0};
    spline(xd, yd, 3, 1e30, 1e30, y2);
    EXPECT_DOUBLE_EQ(y2[1], -3.0);
}

TEST(Spline, EndSlopeAtTheThresholdIsNotNatural)
{
    const double x[3] = {0, 1, 2}, y[3] = {0, 1, 0};
    double y2[3];
    spline(x, y, 3, 9.9e29, 9.9e29, y2);
    EXPECT_NE(y2[0], 0.0);
    EXPECT_NE(y2[2], 0.0);
    // Clamped ends with slope 0 through (0,0),(1,1),(2,0) by the textbook equations:
    // 2M0 + M1 = 6(1 - 0) = 6, M0 + 4M1 + M2 = -12, M1 + 2M2 = 6  ->  M0 = M2 = 6, M1 = -6.
    spline(x, y, 3, 0.0, 0.0, y2);
    EXPECT_DOUBLE_EQ(y2[0], 6.0);
    EXPECT_DOUBLE_EQ(y2[1], -6.0);
    EXPECT_DOUBLE_EQ(y2[2], 6.0);
}

TEST_F(SmallModel, LinearGridIsReproducedInBothBranches)
{
    const std::string path = write(linear_node);
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> fb(50.0001, 50.9999), fl(8.0001, 8.9999);
    for (int k = 0; k < 2000; ++k) {
        const double b = fb(rng), l = fl(rng);
        // Points within the node tolerance take the node's value: not what this test is about.
        const double db = std::fabs(std::remainder(b - 50.0, 0.1)), dl = std::fabs(std::remainder(l - 8.0, 0.1));
        if (db <= 0.0003 && dl <= 0.0003) continue;
        EXPECT_NEAR(query(path, b, l), linear_n(b, l), 1e-9) << b << ' ' << l;
    }
}

TEST_F(SmallModel, ConstantGridGivesTheConstantEverywhere)
{
    const std::string path = write([](int, int) { return 474560; });
    for (double b = 50.013; b < 51.0; b += 0.037)
        for (double l = 8.011; l < 9.0; l += 0.041) EXPECT_NEAR(query(path, b, l), 47.456, 1e-11) << b << ' ' << l;
}

TEST_F(SmallModel, BorderCellsAreBilinearInnerCellsUseTheSpline)
{
    const std::string path = write(quadratic_node);
    for (int i = 1; i <= kSmallN - 1; ++i) {
        for (int j = 1; j <= kSmallN - 1; ++j) {
            const double b = row_lat(i) - 0.05, l = col_lon(j) + 0.05;
            const double bilinear = 0.25 * (decode_node(quadratic_node(i, j)) + decode_node(quadratic_node(i, j + 1)) +
                                            decode_node(quadratic_node(i + 1, j)) +
                                            decode_node(quadratic_node(i + 1, j + 1)));
            const double n = query(path, b, l);
            const bool inner = i >= 2 && i <= kSmallN - 3 && j >= 2 && j <= kSmallN - 3;
            if (inner) EXPECT_GT(std::fabs(n - bilinear), 0.01) << "cell " << i << ',' << j;
            else EXPECT_NEAR(n, bilinear, 1e-9) << "cell " << i << ',' << j;
        }
    }
}

TEST_F(SmallModel, PointsOnTheOutermostRowsAndColumnsAreOutside)
{
    const std::string path = write(linear_node);
    for (const auto& [b, l] : {std::pair{51.0, 8.5}, {50.0, 8.5}, {50.5, 8.0}, {50.5, 9.0}, {52.0, 8.5},
                               {50.5, -8.5}, {std::nan(""), 8.5}, {50.5, std::nan("")}}) {
        std::string m;
        EXPECT_EQ(query(path, b, l, &m), kNoValue) << b << ' ' << l;
        EXPECT_EQ(m, messages::kOutside);
    }
}

TEST_F(SmallModel, NodeShortcutReturnsTheNodeValueInBothBranches)
{
    const std::string path = write(quadratic_node);
    // Inner node (5, 5) in a spline cell, node (10, 5) in a bilinear border cell.
    for (const auto& [row, col] : {std::pair{5, 5}, {10, 5}, {2, 10}}) {
        const double value = decode_node(quadratic_node(row, col));
        const double b = row_lat(row), l = col_lon(col);
        EXPECT_EQ(query(path, b, l), value) << row << ',' << col;
        // Within 0.002 of a spacing (0.0002 degrees here) in both coordinates.
        EXPECT_EQ(query(path, b + 0.00015, l - 0.00015), value);
        EXPECT_EQ(query(path, b - 0.00015, l + 0.00015), value);
        // Beyond the tolerance the point is interpolated.
        EXPECT_NE(query(path, b + 0.0003, l), value);
    }
}

TEST_F(SmallModel, NodeShortcutComesBeforeAnyValueTest)
{
    // Node (5, 6) has no value; the point on node (5, 5) still returns that node.
    const std::string path = write([](int r, int c) { return r == 5 && c == 6 ? 99999999 : linear_node(r, c); });
    EXPECT_EQ(query(path, row_lat(5), col_lon(5)), decode_node(linear_node(5, 5)));
    // A point on the node without a value is outside.
    std::string m;
    EXPECT_EQ(query(path, row_lat(5), col_lon(6), &m), kNoValue);
    EXPECT_EQ(m, messages::kOutside);
}

TEST_F(SmallModel, WindowWithoutValueFallsBackToBilinear)
{
    // Node (3, 3) lies in the 5x5 window of cell (4, 4) but not at its corners.
    const std::string path = write([](int r, int c) { return r == 3 && c == 3 ? 99999999 : quadratic_node(r, c); });
    const double b = row_lat(4) - 0.05, l = col_lon(4) + 0.05;
    const double bilinear = 0.25 * (decode_node(quadratic_node(4, 4)) + decode_node(quadratic_node(4, 5)) +
                                    decode_node(quadratic_node(5, 4)) + decode_node(quadratic_node(5, 5)));
    EXPECT_NEAR(query(path, b, l), bilinear, 1e-9);
}

TEST_F(SmallModel, CornerWithoutValueIsOutsideUnlessTheShortcutApplies)
{
    // Cell (4, 4): its SE corner (5, 5) has no value.
    const std::string path = write([](int r, int c) { return r == 5 && c == 5 ? 100000000 : linear_node(r, c); });
    std::string m;
    EXPECT_EQ(query(path, row_lat(4) - 0.05, col_lon(4) + 0.05, &m), kNoValue);
    EXPECT_EQ(m, messages::kOutside);
    // Near its NW corner (4, 4), which has a value.
    EXPECT_EQ(query(path, row_lat(4) - 0.0001, col_lon(4) + 0.0001), decode_node(linear_node(4, 4)));
}

TEST(ExtentBeyondNodes, CellNeedingARowBeyondTheLastIsOutside)
{
    // dB = 1 degree, Bmax - Bmin = 9.85: 10 rows reach only 9 degrees south of Bmax.
    TempDir dir;
    const std::string path = dir.file("short.bin");
    const auto header = testing_support::header_records({50, 0, 0}, {59, 51, 0}, {8, 0, 0}, {12, 0, 0}, {1, 0, 0},
                                                        {1, 0, 0});
    testing_support::write_records(
        path, testing_support::with_nodes(header, testing_support::make_nodes(10, 5, [](int, int) { return 400000; })));
    EXPECT_EQ(checked(path), "");
    double n = 0;
    std::string m;
    messages::varnik1(50.1, 10.5, path, n, m);
    EXPECT_EQ(m, messages::kOutside);
    EXPECT_EQ(n, kNoValue);
    messages::varnik1(51.2, 10.5, path, n, m);
    EXPECT_EQ(m, "");
    EXPECT_NEAR(n, 40.0, 1e-12);
}

TEST(SelectionCheck, AcceptsTheSampleModel)
{
    EXPECT_EQ(checked(SAMPLE_MODEL), "");
    EXPECT_EQ(checked(std::string(SAMPLE_MODEL) + "      "), "");  // trailing blanks are no part of a name
}

TEST_F(SmallModel, SelectionCheckMessages)
{
    const std::string good = write(linear_node);
    EXPECT_EQ(checked(good), "");

    const std::string missing = dir.file("nope.bin");
    EXPECT_EQ(checked(missing), std::string("Fehler beim \xC3\x96" "ffnen der Datei: ") + missing);
    EXPECT_EQ(checked(dir.path()), messages::kOpenFailed + dir.path());  // a directory is no model file

    auto bytes = testing_support::read_bytes(good);
    const std::string cut = dir.file("cut.bin");
    testing_support::write_bytes(cut, {bytes.begin(), bytes.end() - 4});
    EXPECT_EQ(checked(cut), "Fehler beim Lesen der Geoiddatei    Datei: " + cut);

    const std::string longer = dir.file("long.bin");
    auto extra = bytes;
    extra.insert(extra.end(), {0, 0, 0, 0});
    testing_support::write_bytes(longer, extra);
    EXPECT_EQ(checked(longer), "Keine g\xC3\xBCltige Geoiddatei,   Datei: " + longer);

    const std::string empty = dir.file("empty.bin");
    testing_support::write_bytes(empty, {});
    EXPECT_EQ(checked(empty), "Fehler beim Lesen des Headers der Geoiddatei    Datei: " + empty);
}

TEST_F(SmallModel, SelectionCheckOnEveryTruncationAndTrailingFragment)
{
    const auto bytes = testing_support::read_bytes(write(linear_node));
    const std::string path = dir.file("t.bin");
    for (std::size_t len = 0; len <= bytes.size() + 4; ++len) {
        auto part = bytes;
        part.resize(len, 0);
        testing_support::write_bytes(path, part);
        std::string expected;
        if (len < 72) expected = messages::kHeaderFailed + path;
        else if (len < bytes.size()) expected = messages::kReadFailed + path;
        else if (len > bytes.size()) expected = messages::kInvalid + path;
        EXPECT_EQ(checked(path), expected) << "length " << len;
    }
}

TEST(HostileHeaders, AreRefusedByEveryReader)
{
    const struct {
        const char* name;
        std::array<std::int32_t, 18> header;
    } cases[] = {
        {"zero latitude spacing", testing_support::header_records({50, 0, 0}, {51, 0, 0}, {8, 0, 0}, {9, 0, 0}, {0, 0, 0}, {0, 6, 0})},
        {"zero longitude spacing", testing_support::header_records({50, 0, 0}, {51, 0, 0}, {8, 0, 0}, {9, 0, 0}, {0, 6, 0}, {0, 0, 0})},
        {"negative spacing", testing_support::header_records({50, 0, 0}, {51, 0, 0}, {8, 0, 0}, {9, 0, 0}, {-1, 0, 0}, {0, 6, 0})},
        {"latitudes swapped", testing_support::header_records({51, 0, 0}, {50, 0, 0}, {8, 0, 0}, {9, 0, 0}, {0, 6, 0}, {0, 6, 0})},
        {"longitudes swapped", testing_support::header_records({50, 0, 0}, {51, 0, 0}, {9, 0, 0}, {8, 0, 0}, {0, 6, 0}, {0, 6, 0})},
        {"equal limits", testing_support::header_records({50, 0, 0}, {50, 0, 0}, {8, 0, 0}, {9, 0, 0}, {0, 6, 0}, {0, 6, 0})},
        {"spacing of a micro-second", testing_support::header_records({50, 0, 0}, {51, 0, 0}, {8, 0, 0}, {9, 0, 0}, {0, 0, 1}, {0, 6, 0})},
        {"extreme limits", testing_support::header_records({INT32_MIN, INT32_MAX, INT32_MAX}, {INT32_MAX, INT32_MAX, INT32_MAX},
                                                           {8, 0, 0}, {9, 0, 0}, {0, 0, 1}, {0, 0, 1})},
        {"negative minutes", testing_support::header_records({50, 0, 0}, {51, 0, 0}, {8, 0, 0}, {9, 0, 0}, {0, -6, 0}, {0, 6, 0})},
    };
    TempDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        GridHeader h;
        EXPECT_FALSE(decode_header(c.header, h));
        const std::string path = dir.file("hostile.bin");
        // Give it the length the nodes of an 11 x 11 grid would have, and more.
        testing_support::write_records(path, testing_support::with_nodes(c.header, std::vector<std::int32_t>(121, 1)));
        EXPECT_EQ(checked(path), messages::kInvalid + path);
        double n = 123.0;
        std::string m;
        messages::varnik1(50.5, 8.5, path, n, m);
        EXPECT_EQ(m, messages::kHeaderFailed + path);
        EXPECT_EQ(n, 123.0);
    }
}

TEST_F(SmallModel, QueryMessagesAndUntouchedN)
{
    const std::string path = write(linear_node);
    double n = 123.0;
    std::string m = "old";
    messages::varnik1(50.5, 8.5, dir.file("missing.bin"), n, m);
    EXPECT_EQ(m, messages::kOpenFailed + dir.file("missing.bin"));
    EXPECT_EQ(n, 123.0);

    const std::string shorty = dir.file("short.bin");
    testing_support::write_bytes(shorty, std::vector<unsigned char>(71, 0));
    messages::varnik1(50.5, 8.5, shorty, n, m);
    EXPECT_EQ(m, messages::kHeaderFailed + shorty);
    EXPECT_EQ(n, 123.0);

    messages::varnik1(51.0, 8.5, path, n, m);  // the northern limit
    EXPECT_EQ(m, "Der Punkt liegt ausserhalb des Quasigeoidgitters.");
    EXPECT_EQ(n, 999999.0);
}

TEST_F(SmallModel, FileCutInsideTheGridFailsOnlyWhereNodesAreMissing)
{
    const auto bytes = testing_support::read_bytes(write(linear_node));
    const std::string cut = dir.file("cut.bin");
    // Keep the header and the first 6 rows (north): rows 7..11 are missing.
    testing_support::write_bytes(cut, {bytes.begin(), bytes.begin() + 4 * (18 + 6 * kSmallN)});
    double n = 123.0;
    std::string m;
    messages::varnik1(50.15, 8.55, cut, n, m);  // southern cell
    EXPECT_EQ(m, messages::kReadFailed + cut);
    EXPECT_EQ(n, 123.0);
    messages::varnik1(50.93, 8.55, cut, n, m);  // northern bilinear cell, rows 1 and 2
    EXPECT_EQ(m, "");
    EXPECT_NEAR(n, linear_n(50.93, 8.55), 1e-9);
}

TEST_F(SmallModel, EachCallUsesItsOwnModel)
{
    const std::string a = write([](int, int) { return 100000; }, "a.bin");
    const std::string b = write([](int, int) { return 200000; }, "b.bin");
    EXPECT_NEAR(query(a, 50.5, 8.5), 10.0, 1e-12);
    EXPECT_NEAR(query(b, 50.5, 8.5), 20.0, 1e-12);
    EXPECT_NEAR(query(a, 50.5, 8.5), 10.0, 1e-12);
}

TEST(SampleModel, NodesListedWithTheSampleAreReturnedExactly)
{
    // Node values from the sample's own description.
    const struct {
        double b, l, n;
    } nodes[] = {{52.0, 9.0, 44.85}, {47.5, 10.0, 47.01}, {54.25, 8.75, 39.48}};
    for (const auto& node : nodes) {
        double n = 0;
        std::string m;
        messages::varnik1(node.b, node.l, SAMPLE_MODEL, n, m);
        EXPECT_EQ(m, "");
        EXPECT_NEAR(n, node.n, 1e-12) << node.b << ' ' << node.l;
    }
}

TEST_F(SmallModel, NodeWithoutValueAtEveryPlaceOfTheWindow)
{
    // Cell (4, 4), window rows and columns 3..7. A node without a value at a corner of the
    // cell makes a mid-cell point outside; anywhere else in the window it falls back to the
    // bilinear cell. (A scan that skipped the last column gave N wrong by hundreds of metres.)
    const double b = row_lat(4) - 0.05, l = col_lon(4) + 0.05;
    const double bilinear = 0.25 * (decode_node(quadratic_node(4, 4)) + decode_node(quadratic_node(4, 5)) +
                                    decode_node(quadratic_node(5, 4)) + decode_node(quadratic_node(5, 5)));
    for (int row = 3; row <= 7; ++row) {
        for (int col = 3; col <= 7; ++col) {
            SCOPED_TRACE("no value at " + std::to_string(row) + "," + std::to_string(col));
            const std::string path =
                write([&](int r, int c) { return r == row && c == col ? kNoValueRecord : quadratic_node(r, c); });
            const bool corner = (row == 4 || row == 5) && (col == 4 || col == 5);
            std::string m;
            const double n = query(path, b, l, &m);
            if (corner) {
                EXPECT_EQ(n, kNoValue);
                EXPECT_EQ(m, messages::kOutside);
            } else {
                EXPECT_EQ(m, "");
                EXPECT_NEAR(n, bilinear, 1e-9);
            }
        }
    }
}

// Random points over a grid with nodes without a value, on and near nodes, in border and inner
// cells and outside: the nodes held in memory and the nodes read from the file give the same
// outcome and bit for bit the same N; so does the run-wide query against varnik1, also on a
// file cut inside its grid.
TEST_F(SmallModel, MemoryAndFileNodesGiveIdenticalResults)
{
    const std::string path = write([](int r, int c) {
        return (r == 6 && c == 2) || (r == 3 && c == 8) || (r == 9 && c == 9) ? kNoValueRecord : quadratic_node(r, c);
    });
    const std::string cut = dir.file("cut.bin");
    auto bytes = testing_support::read_bytes(path);
    bytes.resize(bytes.size() - 4 * 15 - 2);  // the last row and a bit, and half a record
    testing_support::write_bytes(cut, bytes);

    std::mt19937 rng(11);
    std::uniform_real_distribution<double> fb(49.95, 51.05), fl(7.95, 9.05), near(-0.0003, 0.0003);
    std::uniform_int_distribution<int> node(1, kSmallN);
    for (const std::string& file : {path, cut}) {
        ModelFile model;
        ASSERT_TRUE(model.open(file));
        GridHeader h;
        ASSERT_EQ(read_header(model, h), HeaderStatus::Ok);
        MemoryNodes memory;
        ASSERT_TRUE(memory.load(model, h));
        const FileNodes from_file(model);
        const ModelQuery held(file), windowed(file, /*memory_cap=*/0);
        EXPECT_TRUE(held.in_memory());
        EXPECT_FALSE(windowed.in_memory());
        int outcomes[6] = {};
        for (int k = 0; k < 20000; ++k) {
            // Half the points on or near a node, where the shortcut may apply.
            const bool at_node = k % 2 == 0;
            const double b = at_node ? row_lat(node(rng)) + near(rng) : fb(rng);
            const double l = at_node ? col_lon(node(rng)) + near(rng) : fl(rng);
            double n_mem = -1, n_file = -1;
            const Outcome o_mem = interpolate(memory, h, b, l, n_mem);
            const Outcome o_file = interpolate(from_file, h, b, l, n_file);
            ASSERT_EQ(o_mem, o_file) << b << ' ' << l;
            ASSERT_EQ(n_mem, n_file) << b << ' ' << l;
            ++outcomes[static_cast<int>(o_mem)];
            double n1 = -7, n2 = -7, n3 = -7;
            std::string m1, m2, m3;
            messages::varnik1(b, l, file, n1, m1);
            query_worded(held, file, b, l, n2, m2);
            query_worded(windowed, file, b, l, n3, m3);
            ASSERT_EQ(m2, m1) << b << ' ' << l;
            ASSERT_EQ(m3, m1) << b << ' ' << l;
            ASSERT_EQ(n2, n1) << b << ' ' << l;
            ASSERT_EQ(n3, n1) << b << ' ' << l;
        }
        // Every outcome occurred; on the cut file also the failed read.
        EXPECT_GT(outcomes[static_cast<int>(Outcome::Ok)], 1000);
        EXPECT_GT(outcomes[static_cast<int>(Outcome::Outside)], 100);
        EXPECT_EQ(outcomes[static_cast<int>(Outcome::ReadError)] > 0, file == cut);
    }
}

TEST(ModelQueryRun, UnopenableOrHeaderlessModelGivesItsMessageForEveryPoint)
{
    TempDir dir;
    testing_support::write_bytes(dir.file("short.bin"), std::vector<unsigned char>(40, 0));
    const struct {
        std::string file;
        std::string message;
    } cases[] = {{dir.file("missing.bin"), std::string(messages::kOpenFailed) + dir.file("missing.bin")},
                 {dir.file("short.bin"), std::string(messages::kHeaderFailed) + dir.file("short.bin")},
                 {dir.path(), std::string(messages::kOpenFailed) + dir.path()}};
    for (const auto& c : cases) {
        const ModelQuery q(c.file + "   ");  // trailing blanks are not part of the name
        for (const double b : {50.5, 52.0}) {
            double n = 123.0;
            std::string m;
            query_worded(q, c.file + "   ", b, 9.0, n, m);
            EXPECT_EQ(m, c.message);
            EXPECT_EQ(n, 123.0);  // untouched, as varnik1 leaves it
        }
    }
}

TEST(SelectionCheck, NamedPipeIsRefusedAtOnce)
{
    // A blocking open of a pipe with no writer never returns.
#ifdef _WIN32
    GTEST_SKIP() << "Windows has no named pipes in its file system";
#else
    TempDir dir;
    ASSERT_EQ(mkfifo(dir.file("fifo").c_str(), 0644), 0);
    EXPECT_EQ(checked(dir.file("fifo")), std::string(messages::kOpenFailed) + dir.file("fifo"));
    double n = 1.0;
    std::string m;
    messages::varnik1(50.5, 8.5, dir.file("fifo"), n, m);
    EXPECT_EQ(m, std::string(messages::kOpenFailed) + dir.file("fifo"));
    // A character device that ends is a file a user may mean: here an empty one.
    EXPECT_EQ(checked("/dev/null"), std::string(messages::kHeaderFailed) + "/dev/null");
#endif
}
