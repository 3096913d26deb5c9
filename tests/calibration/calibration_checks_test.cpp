#include "calibration/calibration_checks.h"
#include "support/impossible_setups.h"
#include "support/paths.h"
#include "support/qt_printers.h"

#include <cmath>
#include <gtest/gtest.h>
#include <numbers>

namespace {

SetupFileData parsed(const QByteArray& bytes)
{
    const SetupFileRead r = parseSetupFile(QString::fromLatin1(bytes));
    EXPECT_TRUE(r.data) << r.problem.line << " " << r.problem.reason.toStdString();
    return r.data.value_or(SetupFileData{});
}

class ImpossibleSetup : public testing::TestWithParam<AlteredSetup>
{
};

TEST_P(ImpossibleSetup, IsRefusedNamingTheLineAndTheFault)
{
    const SetupCheck c = checkSetup(parsed(alteredSetupBytes(GetParam())));
    ASSERT_FALSE(c.data);
    EXPECT_EQ(c.problem.line, GetParam().where);
    EXPECT_TRUE(c.problem.reason.contains(QString::fromLatin1(GetParam().reasonPart)))
        << c.problem.reason.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Files, ImpossibleSetup, testing::ValuesIn(impossibleSetups()),
                         alteredName);

class MisfitCoefficients : public testing::TestWithParam<AlteredSetup>
{
};

TEST_P(MisfitCoefficients, AreSolvedAgainFromTheMarks)
{
    const SetupFileData file = parsed(alteredSetupBytes(GetParam()));
    const SetupCheck c = checkSetup(file);
    ASSERT_TRUE(c.data) << c.problem.reason.toStdString();
    ASSERT_TRUE(c.replaced);
    EXPECT_EQ(c.replaced->point, GetParam().where);
    EXPECT_GT(c.replaced->metres, 1.0);
    // Everything but the coefficients is the file's.
    EXPECT_EQ(c.data->points, file.points);
    EXPECT_EQ(c.data->jump, file.jump);
    EXPECT_EQ(c.data->description, file.description);
    for (const ReferencePoint& p : c.data->points) {
        const auto mapped = c.data->transform.toCourse(p.screen);
        ASSERT_TRUE(mapped);
        EXPECT_NEAR(mapped->point.x, p.survey.x, 1e-9);
        EXPECT_NEAR(mapped->point.y, p.survey.y, 1e-9);
    }
    const QString message = coefficientsSolvedAgainMessage("C:/Courses/lake.ipt", *c.replaced);
    EXPECT_TRUE(message.contains(QStringLiteral("lake.ipt"))) << message.toStdString();
    EXPECT_TRUE(message.contains(QString::fromLatin1(GetParam().reasonPart)))
        << message.toStdString();
    EXPECT_TRUE(message.contains(QStringLiteral("solved again"))) << message.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Files, MisfitCoefficients, testing::ValuesIn(misfitCoefficientSetups()),
                         alteredName);

TEST(MisfitCoefficients, SayHowFarTheWorstMarkWasOff)
{
    const SetupCheck c = checkSetup(parsed(alteredSetupBytes(misfitCoefficientSetups()[0])));
    ASSERT_TRUE(c.replaced);
    EXPECT_NEAR(c.replaced->metres, 13.93, 0.01);
    EXPECT_TRUE(coefficientsSolvedAgainMessage("x.ipt", *c.replaced).contains("13.93 m"));
}

class ShippedSetup : public testing::TestWithParam<QString>
{
};

TEST_P(ShippedSetup, LoadsWithItsOwnCoefficientsToTheLastBit)
{
    const SetupFileRead r = readSetupFile(GetParam());
    ASSERT_TRUE(r.data);
    const SetupCheck c = checkSetup(*r.data);
    ASSERT_TRUE(c.data) << c.problem.reason.toStdString();
    EXPECT_FALSE(c.replaced);
    EXPECT_EQ(*c.data, *r.data);
}

INSTANTIATE_TEST_SUITE_P(Files, ShippedSetup,
                         testing::Values(sourcePath("resources/program/SlalomOK.ipt"),
                                         sourcePath("resources/program/JumpOK.ipt"),
                                         fixturePath("exponent-form-slalom.ipt"),
                                         fixturePath("exponent-form-jump.ipt")));

TEST(StoredCoefficients, AFewMillimetresOffAreKeptACentimetreOffAreNot)
{
    // c1 is the course x numerator's constant: adding e moves every mark by e / D across,
    // D between 1.24 (upper marks) and 2.30 (lower marks) for this file.
    SetupFileData file = parsed(standardSlalomText().toLatin1());
    SetupFileData near = file;
    near.transform.c[1] += 0.012; // at most 9.7 mm off
    const SetupCheck kept = checkSetup(near);
    ASSERT_TRUE(kept.data);
    EXPECT_FALSE(kept.replaced);
    EXPECT_EQ(kept.data->transform, near.transform);

    SetupFileData off = file;
    off.transform.c[1] += 0.03; // 24 mm off at the upper marks
    const SetupCheck replaced = checkSetup(off);
    ASSERT_TRUE(replaced.data && replaced.replaced);
    EXPECT_NEAR(replaced.replaced->metres, 0.03 / (1 + 1.3330424876996532E-04 * 1815), 1e-9);
    // An upper mark (point 1 or 3): their denominators differ only in the last bits.
    EXPECT_TRUE(replaced.replaced->point == 1 || replaced.replaced->point == 3);
    for (size_t k = 1; k <= 8; ++k)
        EXPECT_NEAR(replaced.data->transform.c[k], file.transform.c[k],
                    1e-9 * std::max(1.0, std::fabs(file.transform.c[k])));
}

// A pinhole camera looking down a course from behind its near gate, aimed at its middle,
// with its focal length chosen so the course fills 90 % of the picture: where it sees the
// four gate buoys, rounded to whole pixels as clicks are, in twips.
struct CameraView
{
    const char* name;
    double height;  // metres above the water
    double behind;  // metres behind the near gate
    double aside;   // metres to the side of the course's middle
    double width;   // picture pixels
    double breadth; // the course's width: 2.5 slalom, 4 jump
    double length;  // 259 slalom, 280 jump
};

void PrintTo(const CameraView& v, std::ostream* os)
{
    *os << v.name;
}

std::array<ReferencePoint, 4> seenGates(const CameraView& v)
{
    const double pictureHeight = v.width * 9 / 16;
    const std::array<Point2, 4> survey{
        {{0, 0}, {0, -v.length}, {v.breadth, 0}, {v.breadth, -v.length}}};
    const double cx = v.breadth / 2 + v.aside;
    const double cy = -v.length - v.behind;
    // Forward toward the course's middle on the water; right and down complete the frame.
    double fx = v.breadth / 2 - cx, fy = -v.length / 2 - cy, fz = -v.height;
    const double fn = std::sqrt(fx * fx + fy * fy + fz * fz);
    fx /= fn, fy /= fn, fz /= fn;
    // Level, and toward -x when looking along +y: course x grows to the camera's left.
    double rx = -fy, ry = fx;
    const double rn = std::hypot(rx, ry);
    rx /= rn, ry /= rn;
    const double dx = ry * fz, dy = -rx * fz, dz = rx * fy - ry * fx; // right x forward
    auto project = [&](Point2 p, double focal) {
        const double px = p.x - cx, py = p.y - cy, pz = -v.height;
        const double depth = px * fx + py * fy + pz * fz;
        return Point2{v.width / 2 + focal * (px * rx + py * ry) / depth,
                      pictureHeight / 2 + focal * (px * dx + py * dy + pz * dz) / depth};
    };
    double spreadX = 0, spreadY = 0;
    for (Point2 s : survey) {
        const Point2 p = project(s, 1.0);
        spreadX = std::max(spreadX, std::fabs(p.x - v.width / 2));
        spreadY = std::max(spreadY, std::fabs(p.y - pictureHeight / 2));
    }
    const double focal = 0.45 * std::min(v.width / spreadX, pictureHeight / spreadY);
    std::array<ReferencePoint, 4> points{};
    for (size_t k = 0; k < 4; ++k) {
        const Point2 p = project(survey[k], focal);
        points[k] = {{15 * std::round(p.x), 15 * std::round(p.y)}, survey[k]};
    }
    return points;
}

class RealView : public testing::TestWithParam<CameraView>
{
};

TEST_P(RealView, IsACalibration)
{
    const auto points = seenGates(GetParam());
    const CheckedSolve c = solveChecked(points);
    ASSERT_TRUE(c.transform) << c.problem->reason.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Cameras, RealView,
    testing::Values(CameraView{"StandardTower", 8, 300, 3, 1024, 2.5, 259},
                    CameraView{"HighTowerClose", 20, 20, 0, 1024, 2.5, 259},
                    CameraView{"LowDockNear", 2, 50, 5, 1920, 2.5, 259},
                    CameraView{"LowAndFar4K", 1, 500, 10, 3840, 2.5, 259},
                    CameraView{"OneMetreWellAside", 1, 100, 30, 1920, 2.5, 259},
                    CameraView{"HalfAMetreWellAside", 0.5, 100, 30, 1920, 2.5, 259},
                    CameraView{"JumpFromADock", 3, 200, 0, 1280, 4, 280}),
    [](const testing::TestParamInfo<CameraView>& info) { return std::string(info.param.name); });

// The in-line share is the third mark's distance from the line through two others over
// their longest side: just inside and just outside the threshold, with the line slanted so
// no axis is special.
TEST(MarksInLine, TheShareIsTheDistanceFromTheLineOverTheLongestSide)
{
    const double angle = 0.3;
    const Point2 a{2000, 3000};
    const double side = 9000;
    const Point2 b{a.x + side * std::cos(angle), a.y + side * std::sin(angle)};
    auto third = [&](double share) {
        // Halfway along, off the line by share x side.
        const double off = share * side;
        return Point2{(a.x + b.x) / 2 - off * std::sin(angle),
                      (a.y + b.y) / 2 + off * std::cos(angle)};
    };
    const Point2 fourth{a.x - 3000, a.y + 6000};
    const std::array<Point2, 4> survey{{{0, 0}, {0, -259}, {2.5, 0}, {2.5, -259}}};
    auto points = [&](Point2 t) {
        return std::array<ReferencePoint, 4>{
            {{a, survey[0]}, {b, survey[1]}, {t, survey[2]}, {fourth, survey[3]}}};
    };
    const auto inside = referencePointProblem(points(third(0.9 * kInLineShare)));
    ASSERT_TRUE(inside);
    EXPECT_EQ(inside->fault, CalibrationFault::MarksInLine);
    EXPECT_FALSE(referencePointProblem(points(third(1.1 * kInLineShare))));
}

TEST(MarkReach, EndsAtTwiceThe8KPictureEitherWay)
{
    std::array<ReferencePoint, 4> p{{{{100000, 0}, {0, 0}},
                                     {{230400, 50000}, {0, -259}},
                                     {{0, 0}, {2.5, 0}},
                                     {{-230400, 60000}, {2.5, -259}}}};
    EXPECT_FALSE(referencePointProblem(p));
    p[1].screen.x = std::nextafter(230400.0, 1e9);
    const auto problem = referencePointProblem(p);
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->fault, CalibrationFault::MarkOutOfReach);
    EXPECT_EQ(problem->point, 2);
    p[1].screen.x = std::nan("");
    EXPECT_EQ(referencePointProblem(p)->point, 2);
}

} // namespace
