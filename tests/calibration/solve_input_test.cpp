#include "calibration/solve_input.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <random>

#include "support/qt_printers.h"

namespace {

const QByteArray kWorkedExample = "520 300 0 0\n700 900 0 -259\n470 300 2.5 0\n300 900 2.5 -259\n";

void expectWorkedExample(const SolveInput& in)
{
    ASSERT_TRUE(in.ok) << in.message.toStdString();
    EXPECT_EQ(in.points[0].screen, (Point2{520, 300}));
    EXPECT_EQ(in.points[1].survey, (Point2{0, -259}));
    EXPECT_EQ(in.points[2].survey, (Point2{2.5, 0}));
    EXPECT_EQ(in.points[3].screen, (Point2{300, 900}));
    EXPECT_EQ(in.points[3].survey, (Point2{2.5, -259}));
}

struct AcceptedCase
{
    const char* name;
    QByteArray bytes;
};

void PrintTo(const AcceptedCase& c, std::ostream* os)
{
    *os << c.name;
}

class AcceptedInputTest : public ::testing::TestWithParam<AcceptedCase>
{
};

TEST_P(AcceptedInputTest, ReadsTheFourPoints)
{
    expectWorkedExample(parseSolveInput(GetParam().bytes));
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, AcceptedInputTest,
    ::testing::Values(
        AcceptedCase{"LineFeeds", kWorkedExample},
        AcceptedCase{"CrLf",
                     "520 300 0 0\r\n700 900 0 -259\r\n470 300 2.5 0\r\n300 900 2.5 -259\r\n"},
        AcceptedCase{"NoFinalLineEnd",
                     "520 300 0 0\n700 900 0 -259\n470 300 2.5 0\n300 900 2.5 -259"},
        AcceptedCase{"TrailingBlankLines", kWorkedExample + "\n  \n\t\n\r\n"},
        AcceptedCase{"TabsAndRunsOfBlanks",
                     "  520\t300   0 0 \n700 900 0 -259\n470 300 2.5 0\t\n300 900 2.5 -259\n"},
        AcceptedCase{"SetupFilePointLines", " 520 , 300 , 0 , 0 \r\n 700 , 900 , 0 ,-259 \r\n"
                                            " 470 , 300 , 2.5 , 0 \r\n 300 , 900 , 2.5 ,-259 \r\n"},
        AcceptedCase{"NumberForms",
                     "+520 3E2 .0 -0\n700. 9e+02 0 -2.59E+2\n470 300 2.50 0\n300 900 25e-1 -259\n"},
        AcceptedCase{"ByteOrderMark", "\xEF\xBB\xBF" + kWorkedExample}));

struct RejectedCase
{
    const char* name;
    QByteArray bytes;
    int line;
    int field;
    const char* messagePart;
};

void PrintTo(const RejectedCase& c, std::ostream* os)
{
    *os << c.name;
}

class RejectedInputTest : public ::testing::TestWithParam<RejectedCase>
{
};

TEST_P(RejectedInputTest, NamesTheLineAndField)
{
    const SolveInput in = parseSolveInput(GetParam().bytes);
    EXPECT_FALSE(in.ok);
    EXPECT_EQ(in.line, GetParam().line);
    EXPECT_EQ(in.field, GetParam().field);
    EXPECT_TRUE(in.message.contains(QString::fromUtf8(GetParam().messagePart)))
        << in.message.toStdString();
    if (GetParam().line > 0) {
        EXPECT_TRUE(in.message.startsWith(QStringLiteral("line %1").arg(GetParam().line)))
            << in.message.toStdString();
    }
    if (GetParam().field > 0) {
        EXPECT_TRUE(in.message.contains(QStringLiteral("field %1").arg(GetParam().field)))
            << in.message.toStdString();
    }
    EXPECT_FALSE(in.message.contains('\n'));
}

INSTANTIATE_TEST_SUITE_P(
    Faults, RejectedInputTest,
    ::testing::Values(
        RejectedCase{"Empty", "", 1, 0, "missing"},
        RejectedCase{"ThreeLines", "520 300 0 0\n700 900 0 -259\n470 300 2.5 0\n", 4, 0, "missing"},
        RejectedCase{"FiveLines", kWorkedExample + "1 2 3 4\n", 5, 0, "\"1 2 3 4\""},
        RejectedCase{"BlankLineBetween", "520 300 0 0\n\n700 900 0 -259\n470 300 2.5 0\n", 2, 0,
                     "empty"},
        RejectedCase{"LeadingBlankLine", "\n" + kWorkedExample, 1, 0, "empty"},
        RejectedCase{"NotANumber", "520 300 0 0\n700 900 0 -259\n470 abc 2.5 0\n300 900 2.5 -259\n",
                     3, 2, "(sy): \"abc\" is not a number"},
        RejectedCase{"TrailingLetters", "520 300 0 0\n700 900 0 -259m\n", 2, 4, "\"-259m\""},
        // A comma makes it a comma-separated line: "700 900 2" is then the first field.
        RejectedCase{"DecimalComma", "520 300 0 0\n700 900 2,5 -259\n", 2, 1, "not a number"},
        RejectedCase{"ThreeFields", "520 300 0\n", 1, 4, "(Y): missing"},
        RejectedCase{"ExtraField", "520 300 0 0\n700 900 0 -259 7\n", 2, 5, "\"7\""},
        RejectedCase{"EmptyCommaField", "520,,0,0\n", 1, 2, "empty"},
        RejectedCase{"Nan", "520 300 0 0\n700 900 0 -259\n470 300 nan 0\n", 3, 3, "not a number"},
        RejectedCase{"Infinity", "inf 300 0 0\n", 1, 1, "not a number"},
        RejectedCase{"Overflow", "520 1e999 0 0\n", 1, 2, "out of range"},
        RejectedCase{"Underflow", "520 1e-999 0 0\n", 1, 2, "out of range"},
        RejectedCase{"Hex", "0x10 300 0 0\n", 1, 1, "not a number"},
        RejectedCase{"TwoPoints", "520 3.0.0 0 0\n", 1, 2, "not a number"},
        RejectedCase{"LoneSign", "520 - 0 0\n", 1, 2, "not a number"},
        RejectedCase{"BareExponent", "520 1e 0 0\n", 1, 2, "not a number"},
        RejectedCase{"NonAsciiDigit", "520 \xD9\xA3 0 0\n", 1, 2, "not a number"},
        RejectedCase{"ControlCharacters",
                     "520 3\x01"
                     "0 0 0\n",
                     1, 2, "\"3?0\""}));

TEST(SolveInput, LongFieldsAreCutInMessages)
{
    const SolveInput in = parseSolveInput("520 " + QByteArray(5000, 'x') + " 0 0\n");
    EXPECT_FALSE(in.ok);
    EXPECT_LT(in.message.size(), 200);
}

TEST(SolveInput, RefusesOversizedInputUnread)
{
    QByteArray big = kWorkedExample;
    big += QByteArray(kMaxSolveInputBytes, '\n');
    const SolveInput in = parseSolveInput(big);
    EXPECT_FALSE(in.ok);
    EXPECT_EQ(in.line, 0);
    EXPECT_TRUE(in.message.contains("longer than")) << in.message.toStdString();
    // Just under the limit, trailing blank lines are fine.
    expectWorkedExample(parseSolveInput(big.left(kMaxSolveInputBytes)));
}

// Arbitrary bytes and damaged copies of a good input: always an orderly answer.
TEST(SolveInput, AnyBytesGiveAnAnswer)
{
    std::mt19937 random(99);
    std::uniform_int_distribution<int> byte(0, 255);
    const QByteArray alphabet = "0123456789 .,+-eE\t\r\n";
    for (int trial = 0; trial < 5000; ++trial) {
        QByteArray bytes = kWorkedExample;
        const int mutations = 1 + trial % 8;
        for (int m = 0; m < mutations; ++m) {
            const int at = int(random() % (bytes.size() + 1));
            const char c =
                trial % 2 ? char(byte(random)) : alphabet[int(random() % alphabet.size())];
            switch (random() % 3) {
            case 0:
                bytes.insert(at, c);
                break;
            case 1:
                if (at < bytes.size())
                    bytes.remove(at, 1);
                break;
            default:
                if (at < bytes.size())
                    bytes[at] = c;
            }
        }
        const SolveInput in = parseSolveInput(bytes);
        if (in.ok) {
            for (const ReferencePoint& p : in.points)
                ASSERT_TRUE(std::isfinite(p.screen.x) && std::isfinite(p.screen.y) &&
                            std::isfinite(p.survey.x) && std::isfinite(p.survey.y));
        } else {
            ASSERT_FALSE(in.message.isEmpty());
            ASSERT_GE(in.line, 0);
            ASSERT_LE(in.line, 5);
            ASSERT_GE(in.field, 0);
            ASSERT_LE(in.field, 5);
        }
    }
}

struct NumberCase
{
    const char* text;
    double value; // NaN: refused
};

void PrintTo(const NumberCase& c, std::ostream* os)
{
    *os << '"' << c.text << '"';
}

class NumberFieldTest : public ::testing::TestWithParam<NumberCase>
{
};

TEST_P(NumberFieldTest, ReadsWholeFiniteNumbersOnly)
{
    const NumberField n = parseNumberField(QString::fromUtf8(GetParam().text));
    if (std::isnan(GetParam().value)) {
        EXPECT_FALSE(n.value.has_value());
        EXPECT_FALSE(n.reason.isEmpty());
    } else {
        ASSERT_TRUE(n.value.has_value()) << n.reason.toStdString();
        EXPECT_EQ(*n.value, GetParam().value);
    }
}

constexpr double kRefused = std::numeric_limits<double>::quiet_NaN();

INSTANTIATE_TEST_SUITE_P(
    Texts, NumberFieldTest,
    ::testing::Values(
        NumberCase{"495", 495}, NumberCase{"-230.22222222222223", -230.22222222222223},
        NumberCase{".05", 0.05}, NumberCase{"-.12", -0.12}, NumberCase{"7.", 7},
        NumberCase{"+1", 1}, NumberCase{"4.11861371949588E-03", 4.11861371949588E-03},
        NumberCase{"1e-300", 1e-300}, NumberCase{"", kRefused}, NumberCase{" 1", kRefused},
        NumberCase{"1 ", kRefused}, NumberCase{".", kRefused}, NumberCase{"+", kRefused},
        NumberCase{"++1", kRefused}, NumberCase{"1e+", kRefused}, NumberCase{"NaN", kRefused},
        NumberCase{"-inf", kRefused}, NumberCase{"infinity", kRefused},
        NumberCase{"1e400", kRefused}, NumberCase{"1,5", kRefused}, NumberCase{"1_000", kRefused}));

} // namespace
