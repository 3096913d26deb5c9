#pragma once
// A named rule set: the figures the per-buoy table of a slalom pass is computed with
// (windows, how a window's reading is formed, tolerances). Rule sets live in small text
// files an operator can read and edit; the program ships two of them.

#include <QString>
#include <QStringList>
#include <array>
#include <optional>

enum class SkierSide { Right, Left };
enum class ReadingMethod { Largest, TwoHighest };

// A stretch of the course in metres, relative to a buoy (or to the entrance gate).
struct WindowSpan
{
    double start = 0.0;
    double end = 0.0;
    bool operator==(const WindowSpan&) const = default;
};

inline constexpr int kGuideBuoys = 6;

struct RuleSet
{
    QString name;
    // The side of the boat skier buoy 1 lies on; the buoys then alternate.
    SkierSide firstSkierSide = SkierSide::Right;
    WindowSpan buoyWindow{0.0, 5.0};
    WindowSpan zoneWindow{-5.0, 10.0};
    WindowSpan gateWindow{-2.0, 2.0};
    ReadingMethod reading = ReadingMethod::Largest;
    int minimumSamples = 1; // fewer samples in a window give no reading
    // Centimetres; no value means the figure is not judged.
    std::optional<double> buoyTolerance;
    std::array<std::optional<double>, kGuideBuoys> cumulativeTolerance{};
    std::optional<double> gateTolerance;

    bool operator==(const RuleSet&) const = default;
};

// The built-in rule sets, as resource paths under the program folder's resources
// (copied to "rules/" in the program folder on first use).
inline constexpr const char* kRuleSetFolder = "rules";
inline constexpr std::array<const char*, 2> kBuiltInRuleSetFiles{"rules/2021-largest-20cm.txt",
                                                                 "rules/2024-largest-25cm.txt"};

// A rule file larger than this is refused unread: a rule set is a dozen short lines.
inline constexpr qint64 kRuleFileMaxBytes = 16 * 1024;

struct RuleSetRead
{
    std::optional<RuleSet> ruleSet; // empty when the file was refused
    int line = 0;                   // 1-based line the refusal is about; 0 for the whole file
    QString field;                  // the entry the refusal is about; empty for none
    QString message;                // for the operator: names the file, line and field
};

// Reads a rule file's text strictly: every non-comment line is one known "entry = value",
// each entry at most once, every value checked. `fileName` only goes into the message.
RuleSetRead parseRuleSet(const QString& text, const QString& fileName);
// Reads the file at `path` (refusing files over kRuleFileMaxBytes) and parses it.
RuleSetRead readRuleSetFile(const QString& path);
// Replaces `current` with the rule set in `path`; on any failure `current` is left as it was
// and the operator's message is returned. An empty message means the new set is in force.
QString loadRuleSetFile(RuleSet& current, const QString& path);

// The text of a rule file that reads back to the same rule set.
QString ruleSetText(const RuleSet& rules);

// A figure as rule files and outputs write it: at most three decimals, no trailing zeros,
// a point whatever the locale ("27", "-2.5").
QString ruleFigure(double v);

// The figures of a rule set in a few lines, for the head of every output.
QStringList ruleSetFigures(const RuleSet& rules);
