#include "calibration/course_transform.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <functional>
#include <gtest/gtest.h>
#include <numbers>
#include <random>

#include "common/text_file.h"
#include "support/paths.h"
#include "support/qt_printers.h"

namespace {

using Points = std::array<ReferencePoint, 4>;

// The standard slalom gates: upper right, lower right, upper left, lower left.
constexpr std::array<Point2, 4> kSlalomSurvey{{{0, 0}, {0, -259}, {2.5, 0}, {2.5, -259}}};

// The standard jump gates, in the same order.
constexpr std::array<Point2, 4> kJumpSurvey{{{0, 0}, {0, -280}, {4, 0}, {4, -280}}};

Points withSurvey(const std::array<Point2, 4>& marks, const std::array<Point2, 4>& survey)
{
    Points p;
    for (size_t i = 0; i < 4; ++i)
        p[i] = {marks[i], survey[i]};
    return p;
}

Points withSlalomSurvey(const std::array<Point2, 4>& marks)
{
    return withSurvey(marks, kSlalomSurvey);
}

const Points kWorkedExample = withSlalomSurvey({{{520, 300}, {700, 900}, {470, 300}, {300, 900}}});

void expectNear(Point2 actual, Point2 expected, double tolerance)
{
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
}

TEST(CourseTransform, WorkedExample)
{
    const auto t = solveCourseTransform(kWorkedExample);
    ASSERT_TRUE(t.has_value());
    const std::array<double, 9> expected{0,           -8.6,   0.02, -0.006,       0,
                                         -7.0 / 1500, -414.4, 0,    2072.0 / 1500};
    for (size_t k = 1; k <= 8; ++k)
        EXPECT_NEAR(t->c[k], expected[k], 1e-12 * std::max(1.0, std::fabs(expected[k])))
            << "c" << k;

    const auto course = t->toCourse({495, 600});
    ASSERT_TRUE(course.has_value());
    expectNear(course->point, {23.0 / 18, -2072.0 / 9}, 1e-9);
    EXPECT_NEAR(course->denominator, -1.8, 1e-12);
    EXPECT_NEAR(course->point.x, 1.277778, 5e-7);
    EXPECT_NEAR(course->point.y, -230.2222, 5e-5);
}

TEST(CourseTransform, IdentityWhenMarksEqualSurvey)
{
    const std::array<Point2, 4> square{{{1, 0}, {1, 1}, {0, 0}, {0, 1}}};
    Points p;
    for (size_t i = 0; i < 4; ++i)
        p[i] = {square[i], square[i]};
    const auto t = solveCourseTransform(p);
    ASSERT_TRUE(t.has_value());
    for (size_t k = 1; k <= 8; ++k)
        EXPECT_NEAR(t->c[k], k == 2 || k == 8 ? 1.0 : 0.0, 1e-15) << "c" << k;
    for (const Point2 q : {Point2{0.25, 0.75}, Point2{-3, 7}, Point2{1e4, -2e3}}) {
        expectNear(t->toCourse(q)->point, q, 1e-12 * std::max(1.0, std::hypot(q.x, q.y)));
        expectNear(t->toScreen(q)->point, q, 1e-12 * std::max(1.0, std::hypot(q.x, q.y)));
    }
}

// Four marks in convex position, in the cyclic order upper right, lower right, lower left,
// upper left that the survey rectangle has, somewhere on a 1920 x 1080 pixel screen.
std::array<Point2, 4> randomConvexMarks(std::mt19937_64& random)
{
    std::uniform_real_distribution<double> centre(5000, 20000);
    std::uniform_real_distribution<double> radius(1500, 5000);
    std::uniform_real_distribution<double> unit(0, 1);
    const double cx = centre(random);
    const double cy = centre(random) * 0.6;
    // Four angles at least 0.35 rad apart.
    std::array<double, 4> a{};
    const double start = unit(random) * 2 * std::numbers::pi;
    double spare = 2 * std::numbers::pi - 4 * 0.35;
    std::array<double, 4> gaps{};
    double sum = 0;
    for (double& gap : gaps)
        sum += gap = unit(random) + 0.05;
    double angle = start;
    for (size_t i = 0; i < 4; ++i) {
        a[i] = angle;
        angle += 0.35 + spare * gaps[i] / sum;
    }
    auto at = [&](size_t i) {
        const double r = radius(random);
        return Point2{cx + r * std::cos(a[i]), cy + r * std::sin(a[i])};
    };
    // Cyclic: point 1, point 2, point 4, point 3.
    return {at(0), at(1), at(3), at(2)};
}

bool closeRelative(Point2 actual, Point2 expected, double relative)
{
    const double scale = std::max(1.0, std::hypot(expected.x, expected.y));
    return std::hypot(actual.x - expected.x, actual.y - expected.y) <= relative * scale;
}

TEST(CourseTransform, RandomConvexCalibrationsRoundTrip)
{
    std::mt19937_64 random(1207);
    std::uniform_real_distribution<double> unit(0, 1);
    for (int trial = 0; trial < 2000; ++trial) {
        const auto marks = randomConvexMarks(random);
        const auto& survey = trial % 2 ? kJumpSurvey : kSlalomSurvey;
        const Points points = withSurvey(marks, survey);
        const auto t = solveCourseTransform(points);
        ASSERT_TRUE(t.has_value()) << "trial " << trial;

        for (size_t i = 0; i < 4; ++i) {
            const auto course = t->toCourse(marks[i]);
            ASSERT_TRUE(course.has_value());
            ASSERT_TRUE(closeRelative(course->point, survey[i], 1e-9))
                << "trial " << trial << " mark " << i + 1;
            const auto screen = t->toScreen(survey[i]);
            ASSERT_TRUE(screen.has_value());
            ASSERT_TRUE(closeRelative(screen->point, marks[i], 1e-9))
                << "trial " << trial << " survey point " << i + 1;
        }
        // Points inside the marked quadrilateral, forward then back.
        for (int j = 0; j < 20; ++j) {
            std::array<double, 4> w{};
            double total = 0;
            for (double& x : w)
                total += x = unit(random);
            Point2 s;
            for (size_t i = 0; i < 4; ++i) {
                s.x += marks[i].x * w[i] / total;
                s.y += marks[i].y * w[i] / total;
            }
            const auto course = t->toCourse(s);
            ASSERT_TRUE(course.has_value());
            const auto back = t->toScreen(course->point);
            ASSERT_TRUE(back.has_value());
            ASSERT_TRUE(closeRelative(back->point, s, 1e-9)) << "trial " << trial;
        }
    }
}

struct SingularCase
{
    const char* name;
    std::array<Point2, 4> marks;
};

void PrintTo(const SingularCase& c, std::ostream* os)
{
    *os << c.name;
}

class SingularTest : public ::testing::TestWithParam<SingularCase>
{
};

TEST_P(SingularTest, HasNoUniqueSolution)
{
    const Points points = withSlalomSurvey(GetParam().marks);
    EXPECT_FALSE(solveCourseTransform(points).has_value());
}

INSTANTIATE_TEST_SUITE_P(
    Marks, SingularTest,
    ::testing::Values(
        SingularCase{"UpperRightOnLowerRight", {{{520, 300}, {520, 300}, {470, 300}, {300, 900}}}},
        SingularCase{"UpperLeftOnUpperRight", {{{520, 300}, {700, 900}, {520, 300}, {300, 900}}}},
        SingularCase{"LowerLeftOnLowerRight", {{{520, 300}, {700, 900}, {470, 300}, {700, 900}}}},
        SingularCase{"AllOnOnePoint", {{{500, 500}, {500, 500}, {500, 500}, {500, 500}}}},
        SingularCase{"ThreeOnAHorizontalLine", {{{520, 300}, {700, 900}, {470, 300}, {300, 300}}}},
        SingularCase{"ThreeOnASlope", {{{100, 100}, {200, 200}, {300, 300}, {500, 100}}}},
        SingularCase{"ThreeOnAVerticalLine", {{{600, 300}, {600, 900}, {300, 300}, {600, 600}}}},
        SingularCase{"AllFourOnALine", {{{100, 100}, {200, 200}, {300, 300}, {400, 400}}}}));

TEST(CourseTransform, OverflowingMarksAreNotACalibration)
{
    const Points points =
        withSlalomSurvey({{{5.2e307, 3e307}, {7e307, 9e307}, {4.7e307, 3e307}, {3e307, 9e307}}});
    EXPECT_FALSE(solveCourseTransform(points).has_value());
}

// Gauss-Jordan as the calibration has always solved it, with the pivot row chosen by
// `pick` among rows k..8: the first non-zero, or the largest magnitude for comparison.
using GridMatrix = std::array<std::array<double, 10>, 9>;
using PivotRule = std::function<size_t(const GridMatrix&, size_t k)>;

std::array<double, 9> referenceSolve(const Points& points, const PivotRule& pick)
{
    GridMatrix m{};
    for (size_t i = 1; i <= 4; ++i) {
        const auto [s, v] = points[i - 1];
        const std::array<double, 10> upper{0, 1, s.x, s.y, -s.x * v.x, -s.y * v.x, 0, 0, 0, v.x};
        const std::array<double, 10> lower{0, 0, 0, 0, -s.x * v.y, -s.y * v.y, 1, s.x, s.y, v.y};
        for (size_t j = 1; j <= 9; ++j) {
            m[i][j] = upper[j];
            m[i + 4][j] = lower[j];
        }
    }
    for (size_t k = 1; k <= 8; ++k) {
        const size_t r = pick(m, k);
        std::swap(m[r], m[k]);
        const double p = 1.0 / m[k][k];
        for (size_t j = 1; j <= 9; ++j)
            m[k][j] *= p;
        for (size_t i = 1; i <= 8; ++i) {
            if (i == k)
                continue;
            const double f = -m[i][k];
            for (size_t j = 1; j <= 9; ++j)
                m[i][j] = m[k][j] * f + m[i][j];
        }
    }
    std::array<double, 9> c{};
    for (size_t k = 1; k <= 8; ++k)
        c[k] = m[k][9];
    return c;
}

size_t firstNonZero(const GridMatrix& m, size_t k)
{
    size_t r = k;
    while (m[r][k] == 0.0)
        ++r;
    return r;
}

size_t largestMagnitude(const GridMatrix& m, size_t k)
{
    size_t best = k;
    for (size_t r = k + 1; r <= 8; ++r)
        if (std::fabs(m[r][k]) > std::fabs(m[best][k]))
            best = r;
    return best;
}

bool sameBits(const std::array<double, 9>& a, const std::array<double, 9>& b)
{
    for (size_t k = 1; k <= 8; ++k)
        if (std::bit_cast<std::uint64_t>(a[k]) != std::bit_cast<std::uint64_t>(b[k]))
            return false;
    return true;
}

// The two right-hand marks on one screen column (a camera square to the course) leave a zero
// on the diagonal in column 2; the first lower non-zero row (upper left, 200 twips off)
// cures it, not the larger lower-left row (400 twips off). The row order fixes the last
// bits of the coefficients, which setup files written elsewhere carry.
TEST(CourseTransform, ZeroPivotTakesTheFirstLowerNonZeroRow)
{
    const Points points = withSlalomSurvey({{{500, 300}, {500, 900}, {300, 300}, {100, 900}}});
    const auto t = solveCourseTransform(points);
    ASSERT_TRUE(t.has_value());
    for (size_t i = 0; i < 4; ++i)
        expectNear(t->toCourse(points[i].screen)->point, points[i].survey, 1e-9);

    const auto first = referenceSolve(points, firstNonZero);
    EXPECT_TRUE(sameBits(t->c, first));
}

TEST(CourseTransform, PivotRuleFixesTheLastBits)
{
    // Over many calibrations with a zero pivot, the largest-magnitude rule gives other bits
    // at least sometimes; the solve always matches the first-non-zero rule.
    std::mt19937_64 random(42);
    std::uniform_int_distribution<int> coordinate(0, 20000);
    int differing = 0;
    for (int trial = 0; trial < 500; ++trial) {
        const double rightX = coordinate(random);
        const Points points = withSlalomSurvey({{{rightX, double(coordinate(random) / 3)},
                                                 {rightX, double(coordinate(random))},
                                                 {double(coordinate(random)), 1000},
                                                 {double(coordinate(random)), 12000}}});
        const auto t = solveCourseTransform(points);
        if (!t)
            continue;
        ASSERT_TRUE(sameBits(t->c, referenceSolve(points, firstNonZero))) << "trial " << trial;
        if (!sameBits(t->c, referenceSolve(points, largestMagnitude)))
            ++differing;
    }
    EXPECT_GT(differing, 0);
}

// A transform whose horizon is the screen line sy = 2 and whose course horizon is Y = -2.
CourseTransform horizonTransform()
{
    CourseTransform t;
    t.c = {0, 0, 1, 0, 0, -0.5, 0, 0, 1};
    return t;
}

TEST(CourseTransform, ZeroDenominatorGivesNoPoint)
{
    const CourseTransform t = horizonTransform();
    EXPECT_FALSE(t.toCourse({123, 2}).has_value());
    EXPECT_FALSE(t.toScreen({5, -2}).has_value());
    EXPECT_TRUE(t.toCourse({123, 3}).has_value());
    EXPECT_TRUE(t.toScreen({5, -3}).has_value());
}

TEST(CourseTransform, OverflowGivesNoPoint)
{
    CourseTransform t = horizonTransform();
    t.c[1] = 1e300;
    // D = 2^-52: not zero, but the point is beyond any double.
    EXPECT_FALSE(t.toCourse({0, 2 - std::ldexp(1.0, -51)}).has_value());
    CourseTransform broken;
    broken.c = {0, std::nan(""), 1, 0, 0, 0, 0, 0, 1};
    EXPECT_FALSE(broken.toCourse({1, 1}).has_value());
    EXPECT_FALSE(broken.toScreen({1, 1}).has_value());
}

} // namespace

namespace {

// Setup files written on another workstation: their coefficients take the marks onto the
// survey points, and solving from the same marks gives the same coefficients.
class OtherWorkstationFile : public ::testing::TestWithParam<const char*>
{
};

TEST_P(OtherWorkstationFile, SolveAgreesWithTheStoredCoefficients)
{
    const auto text = readTextFile(fixturePath(QString::fromLatin1(GetParam())));
    ASSERT_TRUE(text.has_value());
    const QStringList lines = splitLines(*text);
    ASSERT_EQ(lines.size(), 19);
    Points points;
    for (size_t i = 0; i < 4; ++i) {
        const QStringList f = lines[int(i) + 2].split(',');
        ASSERT_EQ(f.size(), 4);
        points[i] = {{f[0].toDouble(), f[1].toDouble()}, {f[2].toDouble(), f[3].toDouble()}};
    }
    CourseTransform stored;
    for (size_t k = 1; k <= 8; ++k)
        stored.c[k] = lines[int(k) + 5].trimmed().toDouble();
    for (const auto& [screen, survey] : points)
        expectNear(stored.toCourse(screen)->point, survey, 1e-9);

    const auto solved = solveCourseTransform(points);
    ASSERT_TRUE(solved.has_value());
    for (size_t k = 1; k <= 8; ++k)
        EXPECT_NEAR(solved->c[k], stored.c[k], 1e-12 * std::max(1.0, std::fabs(stored.c[k])))
            << "c" << k;
}

INSTANTIATE_TEST_SUITE_P(Fixtures, OtherWorkstationFile,
                         ::testing::Values("exponent-form-slalom.ipt", "exponent-form-jump.ipt"));

} // namespace
