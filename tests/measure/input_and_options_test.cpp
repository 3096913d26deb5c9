#include "measure/display_options.h"
#include "measure/input_positioning.h"
#include "platform/key_state.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

MeasureLines linesWithTopAt(double y)
{
    MeasureLines l = initialMeasureLines();
    l.measureLine.y1 = y;
    l.measureLineColumn2.y1 = y;
    return l;
}

// The span of a calibrated course: the standard slalom camera's.
constexpr LineSpan kCourseSpan{1215.0, 10380.0};

struct StepCase
{
    ArrowKey key;
    double top;
    double expectedTop;
    LineSpan span = kInitialLineSpan;
};

class VerticalStepTest : public ::testing::TestWithParam<StepCase>
{
};

TEST_P(VerticalStepTest, StopsAtTheLimits)
{
    const StepCase c = GetParam();
    MeasureLines l = linesWithTopAt(c.top);
    keyboardStep(l, c.key, c.span);
    EXPECT_EQ(l.measureLine.y1, c.expectedTop);
    EXPECT_EQ(l.measureLineColumn2.y1, c.expectedTop);
    EXPECT_EQ(l.measureLine.y2, 6360); // the lower end never moves
}

INSTANTIATE_TEST_SUITE_P(
    Limits, VerticalStepTest,
    ::testing::Values(StepCase{ArrowKey::Up, 720, 720}, StepCase{ArrowKey::Up, 750, 705},
                      StepCase{ArrowKey::Up, 705, 705}, StepCase{ArrowKey::Up, 3000, 2955},
                      StepCase{ArrowKey::Down, 5970, 6015}, StepCase{ArrowKey::Down, 6000, 6000},
                      StepCase{ArrowKey::Down, 6015, 6015},
                      // A calibrated course: the limits follow its span.
                      StepCase{ArrowKey::Up, 1230, 1185, kCourseSpan},
                      StepCase{ArrowKey::Up, 1215, 1215, kCourseSpan},
                      StepCase{ArrowKey::Up, 720, 720, kCourseSpan},
                      StepCase{ArrowKey::Down, 6000, 6045, kCourseSpan},
                      StepCase{ArrowKey::Down, 9990, 10035, kCourseSpan},
                      StepCase{ArrowKey::Down, 10020, 10020, kCourseSpan}));

TEST(KeyboardStep, LeftAndRightMoveBothColumns)
{
    MeasureLines l = initialMeasureLines();
    keyboardStep(l, ArrowKey::Left, kInitialLineSpan);
    EXPECT_EQ(l.measureLine.x1, 3705);
    EXPECT_EQ(l.measureLine.x2, 3705);
    EXPECT_EQ(l.measureLineColumn2.x1, 3720);
    keyboardStep(l, ArrowKey::Right, kInitialLineSpan);
    keyboardStep(l, ArrowKey::Right, kInitialLineSpan);
    EXPECT_EQ(l.measureLine.x1, 3735);
    EXPECT_EQ(l.measureLineColumn2.x2, 3750);
}

TEST(ArrowKeyLatch, ATapBetweenPollsCountsOnceAHeldKeyEveryPoll)
{
    ArrowKeyLatch k;
    k.press(ArrowKey::Left);
    k.release(ArrowKey::Left);
    EXPECT_TRUE(k.poll(ArrowKey::Left));
    EXPECT_FALSE(k.poll(ArrowKey::Left));
    k.press(ArrowKey::Up);
    EXPECT_TRUE(k.poll(ArrowKey::Up));
    EXPECT_TRUE(k.poll(ArrowKey::Up));
    k.release(ArrowKey::Up);
    EXPECT_FALSE(k.poll(ArrowKey::Up));
    EXPECT_FALSE(k.poll(ArrowKey::Down));
}

struct JoyCase
{
    std::int32_t reading;
    std::int32_t centre;
    double markerLeft;
    std::int32_t expected;
};

class JoystickLineTest : public ::testing::TestWithParam<JoyCase>
{
};

TEST_P(JoystickLineTest, ScalesAroundTheBoatMarker)
{
    const JoyCase c = GetParam();
    EXPECT_EQ(joystickLineX(c.reading, c.centre, c.markerLeft), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Readings, JoystickLineTest,
    ::testing::Values(JoyCase{32768, 32768, 3320, 3720},         // centre: on the marker
                      JoyCase{65535, 179, 3320, 4970},           // 65356 above: 1250 to the right
                      JoyCase{179, 65535, 3320, 2470},           // and to the left
                      JoyCase{32768, 32768, 3320.5, 3720},       // 3720.5 -> 3720 (halves to even)
                      JoyCase{32768, 32768, 3321.5, 3722},       // 3721.5 -> 3722
                      JoyCase{32768 + 26142, 32768, 3320, 4220}, // 500 twips exactly
                      // A display wider than 2184 pixels: positions past 32767 twips.
                      JoyCase{65535, 0, 40000, 41653}));

struct JoyStatusCase
{
    int code;
    const char* text;
};

void PrintTo(const JoyStatusCase& c, std::ostream* os)
{
    *os << c.code;
}

class JoystickStatusTest : public ::testing::TestWithParam<JoyStatusCase>
{
};

// The operator reads what went wrong, never a system call's name; the code stays in brackets
// for whoever looks further.
TEST_P(JoystickStatusTest, SaysWhatFailedInPlainWords)
{
    EXPECT_EQ(joystickStatusText(GetParam().code), QString::fromLatin1(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(
    Codes, JoystickStatusTest,
    ::testing::Values(JoyStatusCase{0, "Status: Joystick Connected"},
                      JoyStatusCase{167, "Status: Joystick Unplugged"},
                      JoyStatusCase{165, "Status: No joystick connected (165)"},
                      JoyStatusCase{166, "Status: Joystick found but could not be opened (166)"},
                      JoyStatusCase{6, "Status: Joystick support could not start (6)"},
                      JoyStatusCase{2, "Status: Joystick could not be read (2)"},
                      JoyStatusCase{-1, "Status: Joystick could not be read (-1)"}));

TEST(MouseTwips, KeepsPositionsPastSixteenBits)
{
    EXPECT_EQ(mouseTwips(40000.5), 40000);
    EXPECT_EQ(mouseTwips(40001.5), 40002);
    EXPECT_EQ(mouseTwips(2400 * 15.0), 36000);
}

struct EntryCase
{
    const RangeRule* rule;
    const char* text;
    const char* replacement; // nullptr: the text stays
    double value;
};

class FinishEntryTest : public ::testing::TestWithParam<EntryCase>
{
};

TEST_P(FinishEntryTest, ClampsWhenEditingEnds)
{
    const EntryCase c = GetParam();
    const FinishedEntry e = finishEntry(QString::fromLatin1(c.text), *c.rule);
    if (c.replacement)
        EXPECT_EQ(e.replacement, QString::fromLatin1(c.replacement));
    else
        EXPECT_FALSE(e.replacement);
    EXPECT_DOUBLE_EQ(e.value, c.value);
}

INSTANTIATE_TEST_SUITE_P(Ranges, FinishEntryTest,
                         ::testing::Values(EntryCase{&kBoundaryWidthRule, "0", "1", 1.0},
                                           EntryCase{&kBoundaryWidthRule, "30", "24", 24.0},
                                           EntryCase{&kBoundaryWidthRule, "abc", "1", 1.0},
                                           EntryCase{&kBoundaryWidthRule, "2", nullptr, 2.0},
                                           EntryCase{&kJumpBoundaryRule, "0.1", "0.2", 0.2},
                                           EntryCase{&kJumpBoundaryRule, "1.5", "1.0", 1.0},
                                           EntryCase{&kJumpBoundaryRule, "0.5", nullptr, 0.5},
                                           EntryCase{&kJumpBoundaryRule, "", "0.2", 0.2}));

TEST(NumberEntries, NoSpellingOfNanOrInfinityIsEverAValue)
{
    for (const RangeRule* rule : {&kBoundaryWidthRule, &kJumpBoundaryRule}) {
        for (const char* text : {"nan", "NaN", "NAN", " nan ", "-nan", "inf", "INF", "+inf", "-inf",
                                 "infinity", "1e999", "-1e999", "1e0"}) {
            EXPECT_FALSE(valueWhileTyping(QString::fromLatin1(text), *rule))
                << text << " while typing";
            const FinishedEntry e = finishEntry(QString::fromLatin1(text), *rule);
            EXPECT_TRUE(std::isfinite(e.value)) << text;
            EXPECT_GE(e.value, rule->low) << text;
            EXPECT_LE(e.value, rule->high) << text;
        }
    }
}

TEST(ValueWhileTyping, IncompleteOrOutOfRangeTextLeavesTheLastValue)
{
    EXPECT_FALSE(valueWhileTyping(QStringLiteral("0"), kJumpBoundaryRule));
    EXPECT_FALSE(valueWhileTyping(QStringLiteral("0."), kJumpBoundaryRule));
    EXPECT_EQ(valueWhileTyping(QStringLiteral("0.5"), kJumpBoundaryRule), 0.5);
    EXPECT_FALSE(valueWhileTyping(QStringLiteral("1.5"), kJumpBoundaryRule));
    EXPECT_FALSE(valueWhileTyping(QString(), kBoundaryWidthRule));
    EXPECT_EQ(valueWhileTyping(QStringLiteral("12"), kBoundaryWidthRule), 12.0);
    EXPECT_FALSE(valueWhileTyping(QStringLiteral("2x"), kBoundaryWidthRule));
}

TEST(BoundaryColours, SchemesHaveNoSingleColour)
{
    EXPECT_EQ(boundaryColourRgb(BoundaryColour::Red), kRed);
    EXPECT_EQ(boundaryColourRgb(BoundaryColour::Blue), kBlue);
    EXPECT_TRUE(isBoundaryScheme(BoundaryColour::RedGreen));
    EXPECT_TRUE(isBoundaryScheme(BoundaryColour::BlackYellow));
    EXPECT_FALSE(isBoundaryScheme(BoundaryColour::White));
}

TEST(LineRecord, WideLinesArePaintedSolid)
{
    LineRecord l;
    l.style = LineStyle::Dash;
    EXPECT_EQ(l.paintedStyle(), LineStyle::Dash);
    l.width = 2;
    EXPECT_EQ(l.paintedStyle(), LineStyle::Solid);
}

} // namespace
