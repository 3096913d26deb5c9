#include "common/number_forms.h"

#include <QFile>
#include <QStringList>
#include <bit>
#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <limits>
#include <random>
#include <vector>

#include "common/text_file.h"
#include "support/comma_locale.h"
#include "support/paths.h"
#include "support/qt_printers.h"

namespace {

struct FormCase
{
    double value;
    const char* text;
};

void PrintTo(const FormCase& c, std::ostream* os)
{
    *os << c.value << " -> \"" << c.text << '"';
}

class StrFormTest : public ::testing::TestWithParam<FormCase>
{
};

TEST_P(StrFormTest, WritesTheDisplayForm)
{
    EXPECT_EQ(strForm(GetParam().value), QString::fromLatin1(GetParam().text));
    EXPECT_EQ(printForm(GetParam().value), QString::fromLatin1(GetParam().text) + ' ');
}

INSTANTIATE_TEST_SUITE_P(
    Values, StrFormTest,
    ::testing::Values(FormCase{0.05, " .05"}, FormCase{-0.12, "-.12"}, FormCase{0.0, " 0"},
                      FormCase{-0.0, " 0"}, FormCase{260.0, " 260"}, FormCase{12.0, " 12"},
                      FormCase{-3.5, "-3.5"}, FormCase{1.2, " 1.2"}, FormCase{0.001, " .001"},
                      FormCase{-1.0, "-1"}, FormCase{1.0 / 3.0, " .333333333333333"},
                      FormCase{2.0 / 3.0, " .666666666666667"},
                      FormCase{123456789012345.0, " 123456789012345"},
                      FormCase{1234567890123456.0, " 1.23456789012346E+15"},
                      FormCase{1e15, " 1E+15"}, FormCase{-230.22222222222223, "-230.222222222222"},
                      FormCase{1.0 / 300.0, " 3.33333333333333E-03"},
                      FormCase{1.0 / 30.0, " .0333333333333333"}, FormCase{-0.0001, "-.0001"},
                      FormCase{1e-20, " 1E-20"}));

struct RoundCase
{
    double value;
    int decimals;
    double rounded;
};

void PrintTo(const RoundCase& c, std::ostream* os)
{
    *os << c.value << " to " << c.decimals << " -> " << c.rounded;
}

class RoundHalfUpTest : public ::testing::TestWithParam<RoundCase>
{
};

TEST_P(RoundHalfUpTest, RoundsHalvesTowardPlusInfinity)
{
    EXPECT_EQ(roundHalfUp(GetParam().value, GetParam().decimals), GetParam().rounded);
}

INSTANTIATE_TEST_SUITE_P(Values, RoundHalfUpTest,
                         ::testing::Values(RoundCase{-0.0004, 3, 0.0},
                                           RoundCase{-0.0006, 3, -0.001},
                                           RoundCase{0.0126, 3, 0.013}, RoundCase{0.0125, 2, 0.01},
                                           // Halves go up, also below zero: not away from zero.
                                           RoundCase{0.5, 0, 1.0}, RoundCase{-0.5, 0, 0.0},
                                           RoundCase{-1.5, 0, -1.0}, RoundCase{2.5, 0, 3.0},
                                           RoundCase{0.125, 2, 0.13}, RoundCase{-0.125, 2, -0.12},
                                           RoundCase{19.425, 1, 19.4}, RoundCase{259.0, 1, 259.0},
                                           RoundCase{-2.71828, 3, -2.718}));

TEST(Round3Str, RoundsThenWritesTheStrForm)
{
    EXPECT_EQ(round3Str(-0.0004), " 0");
    EXPECT_EQ(round3Str(-0.0006), "-.001");
    EXPECT_EQ(round3Str(0.0126), " .013");
    EXPECT_EQ(round3Str(1.23456), " 1.235");
    EXPECT_EQ(round3Str(0.1), " .1");
}

class Format000Test : public ::testing::TestWithParam<FormCase>
{
};

TEST_P(Format000Test, ThreeDigitsBeforeThePointOneAfter)
{
    EXPECT_EQ(format000_0(GetParam().value), QString::fromLatin1(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(Values, Format000Test,
                         ::testing::Values(FormCase{45.3, "045.3"}, FormCase{259.0, "259.0"},
                                           FormCase{0.0, "000.0"}, FormCase{19.425, "019.4"},
                                           FormCase{1.6187, "001.6"}, FormCase{99.96, "100.0"},
                                           FormCase{280.0, "280.0"}, FormCase{1234.56, "1234.6"},
                                           FormCase{0.05, "000.1"},
                                           // A value that is no number must not hang the
                                           // writer (a pass of one sample gave one).
                                           FormCase{std::nan(""), "nan"},
                                           FormCase{-HUGE_VAL, "-inf"}));

class Format0_00Test : public ::testing::TestWithParam<FormCase>
{
};

TEST_P(Format0_00Test, OneDigitBeforeThePointTwoAfter)
{
    EXPECT_EQ(format0_00(GetParam().value), QString::fromLatin1(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(Values, Format0_00Test,
                         ::testing::Values(FormCase{-0.05, "-0.05"}, FormCase{0.0, "0.00"},
                                           FormCase{1.2, "1.20"}, FormCase{0.125, "0.13"},
                                           FormCase{-0.125, "-0.12"}, FormCase{12.345, "12.35"},
                                           FormCase{-0.004, "0.00"}, FormCase{-3.0, "-3.00"}));

class SetupNumberTest : public ::testing::TestWithParam<FormCase>
{
};

TEST_P(SetupNumberTest, WritesTheSetupFileForm)
{
    EXPECT_EQ(setupNumber(GetParam().value), QString::fromLatin1(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(
    Values, SetupNumberTest,
    ::testing::Values(FormCase{0.0, " 0 "}, FormCase{10.0, " 10 "}, FormCase{-259.0, "-259 "},
                      FormCase{2.5, " 2.5 "}, FormCase{8136.0, " 8136 "},
                      FormCase{4.11861371949588E-03, " 4.11861371949588E-03 "},
                      FormCase{-4.09863746705459E-07, "-4.09863746705459E-07 "},
                      FormCase{0.086573317049093, " .086573317049093 "},
                      FormCase{-391.917406281244, "-391.917406281244 "}, FormCase{0.05, " .05 "},
                      FormCase{1e20, " 1E+20 "}, FormCase{-1.5e-300, "-1.5E-300 "},
                      // 0.1 + 0.2 needs 17 digits to come back as the same double.
                      FormCase{0.1 + 0.2, " .30000000000000004 "}));

double readBack(const QString& text)
{
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    EXPECT_TRUE(ok) << text.toStdString();
    return v;
}

TEST(SetupNumber, ReadsBackBitForBit)
{
    std::mt19937_64 random(20261207);
    std::uniform_int_distribution<int> exponent(-320, 320);
    std::uniform_real_distribution<double> mantissa(-10.0, 10.0);
    for (int i = 0; i < 20000; ++i) {
        // Half arbitrary bit patterns, half ordinary magnitudes.
        double v = i % 2 ? std::bit_cast<double>(random())
                         : mantissa(random) * std::pow(10.0, exponent(random));
        if (!std::isfinite(v))
            continue;
        const QString text = setupNumber(v);
        ASSERT_TRUE(text.endsWith(' ')) << text.toStdString();
        ASSERT_TRUE(text.startsWith(v < 0 ? '-' : ' ')) << text.toStdString();
        ASSERT_EQ(std::bit_cast<std::uint64_t>(readBack(text)),
                  std::bit_cast<std::uint64_t>(v == 0.0 ? 0.0 : v))
            << text.toStdString();
    }
}

TEST(SetupNumber, UsesFifteenDigitsWhenTheyAreEnough)
{
    // A value typed with 15 digits is written back with exactly those digits.
    EXPECT_EQ(setupNumber(-35.3440520092129), "-35.3440520092129 ");
    EXPECT_EQ(setupNumber(1.0 / 3.0), " .3333333333333333 ");
}

// Every number line of the setup files written on another workstation comes out of the
// writer character for character.
TEST(SetupNumber, RewritesTheOtherWorkstationsFilesUnchanged)
{
    for (const char* name : {"exponent-form-slalom.ipt", "exponent-form-jump.ipt"}) {
        const auto text = readTextFile(fixturePath(QString::fromLatin1(name)));
        ASSERT_TRUE(text.has_value()) << name;
        const QStringList lines = splitLines(*text);
        ASSERT_EQ(lines.size(), 19) << name;
        for (int i = 2; i < 19; ++i) {
            QStringList rewritten;
            for (const QString& field : lines[i].split(','))
                rewritten << setupNumber(readBack(field));
            EXPECT_EQ(rewritten.join(','), lines[i]) << name << " line " << i + 1;
        }
    }
}

TEST(ShortestRoundTrip, IsShortAndExact)
{
    EXPECT_EQ(shortestRoundTrip(0.1), "0.1");
    EXPECT_EQ(shortestRoundTrip(-259.0), "-259");
    EXPECT_EQ(shortestRoundTrip(0.0), "0");
    EXPECT_EQ(shortestRoundTrip(0.1 + 0.2), "0.30000000000000004");
    std::mt19937_64 random(7);
    for (int i = 0; i < 20000; ++i) {
        const double v = std::bit_cast<double>(random());
        if (!std::isfinite(v))
            continue;
        const QString text = shortestRoundTrip(v);
        ASSERT_EQ(std::bit_cast<std::uint64_t>(text.toDouble()), std::bit_cast<std::uint64_t>(v))
            << text.toStdString();
    }
}

// Qt hands the system's locale to the C library at start; under a comma-decimal one every form
// must still write, and every reader read, what it does under the C locale (pinned above).
class NumberFormsUnderCommaLocale : public CommaLocaleTest
{
};

TEST_F(NumberFormsUnderCommaLocale, WriteAndReadAsUnderTheCLocale)
{
    const double values[] = {
        0.05, -0.12,     1.0 / 3.0,          -259.0, 45.25, 4.11861371949588E-03,
        1e20, -1.5e-300, 1234567890123456.0, -0.0006};
    const auto forms = [](double v) {
        return QStringList{strForm(v),    round3Str(v),   format000_0(v),
                           format0_00(v), setupNumber(v), shortestRoundTrip(v)};
    };
    std::vector<QStringList> inC;
    {
        const ScopedLocale c("C");
        for (const double v : values)
            inC.push_back(forms(v));
    }
    const ScopedLocale comma(kCommaLocale);
    for (size_t i = 0; i < inC.size(); ++i)
        EXPECT_EQ(forms(values[i]), inC[i]);
    EXPECT_EQ(leadingNumber(" -2.5,7"), -2.5);
    EXPECT_EQ(leadingNumber("2,5"), 2.0);
}

struct LeadingCase
{
    const char* text;
    double value;
};

void PrintTo(const LeadingCase& c, std::ostream* os)
{
    *os << '"' << c.text << "\" -> " << c.value;
}

class LeadingNumberTest : public ::testing::TestWithParam<LeadingCase>
{
};

TEST_P(LeadingNumberTest, TakesTheLeadingNumber)
{
    EXPECT_EQ(leadingNumber(QString::fromUtf8(GetParam().text)), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Values, LeadingNumberTest,
    ::testing::Values(LeadingCase{"12abc", 12.0}, LeadingCase{"auto", 0.0},
                      LeadingCase{" -.5", -0.5}, LeadingCase{"", 0.0}, LeadingCase{"jump x", 0.0},
                      LeadingCase{"   ", 0.0}, LeadingCase{"-", 0.0}, LeadingCase{".", 0.0},
                      LeadingCase{"-.", 0.0}, LeadingCase{"+7", 7.0}, LeadingCase{"\t3.25m", 3.25},
                      LeadingCase{"1.2.3", 1.2}, LeadingCase{"--5", 0.0}, LeadingCase{"- 5", 0.0},
                      LeadingCase{"12 34", 12.0}, LeadingCase{" 019.4   Dev", 19.4},
                      LeadingCase{"  -.05 ", -0.05}, LeadingCase{"7.", 7.0},
                      LeadingCase{"4527 , 0", 4527.0},
                      LeadingCase{"٣", 0.0} /* only ASCII digits count */));

TEST(LeadingNumber, SurvivesHugeAndLongTexts)
{
    EXPECT_EQ(leadingNumber(QString(100000, '9').prepend("0.")), 1.0);
    const double huge = leadingNumber(QStringLiteral("1") + QString(400, '0'));
    EXPECT_FALSE(std::isnan(huge));
}

class RoundHalfEvenTest : public ::testing::TestWithParam<std::pair<double, long long>>
{
};

TEST_P(RoundHalfEvenTest, RoundsHalvesToEven)
{
    EXPECT_EQ(roundHalfEven(GetParam().first), GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(Values, RoundHalfEvenTest,
                         ::testing::Values(std::pair{0.5, 0LL}, std::pair{1.5, 2LL},
                                           std::pair{2.5, 2LL}, std::pair{-0.5, 0LL},
                                           std::pair{-1.5, -2LL}, std::pair{2.4999, 2LL},
                                           std::pair{2.5001, 3LL}, std::pair{32767.5, 32768LL}));

} // namespace
