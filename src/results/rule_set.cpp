#include "results/rule_set.h"

#include "common/text_file.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>

namespace {

// Bounds that keep a mistyped figure from passing as a rule: windows stay near their buoy,
// tolerances below five metres.
constexpr double kWindowReach = 50.0; // metres either side of the buoy
constexpr double kMaxToleranceCm = 500.0;
constexpr int kMaxMinimumSamples = 20;
constexpr int kMaxLineLength = 200;
constexpr int kMaxNameLength = 80;
// An unknown entry is named back to the operator, cut to this length.
constexpr int kMaxEchoedLength = 40;

const QString kName = QStringLiteral("name");
const QString kSide = QStringLiteral("first skier side");
const QString kBuoyWindow = QStringLiteral("buoy window");
const QString kZoneWindow = QStringLiteral("zone window");
const QString kGateWindow = QStringLiteral("gate window");
const QString kReading = QStringLiteral("reading");
const QString kMinimum = QStringLiteral("minimum samples");
const QString kBuoyTolerance = QStringLiteral("buoy tolerance");
const QString kCumulativeTolerance = QStringLiteral("cumulative tolerance");
const QString kGateTolerance = QStringLiteral("gate tolerance");

const QStringList& knownEntries()
{
    static const QStringList entries{
        kName,    kSide,    kBuoyWindow,    kZoneWindow,          kGateWindow,
        kReading, kMinimum, kBuoyTolerance, kCumulativeTolerance, kGateTolerance};
    return entries;
}

struct Refusal
{
    QString reason;
};

bool hasControlCharacter(const QString& s)
{
    for (const QChar c : s)
        if (c.category() == QChar::Other_Control || c.category() == QChar::Other_Format)
            return true;
    return false;
}

QString echoed(const QString& s)
{
    QString out;
    for (const QChar c : s)
        out += hasControlCharacter(QString(c)) ? QChar('?') : c;
    if (out.size() > kMaxEchoedLength)
        out = out.left(kMaxEchoedLength) + QStringLiteral("...");
    return out;
}

// A plain decimal with at most four digits before the point and three after: the figures
// are metres and centimetres, and an exponent or a locale's comma would hide a typing error.
std::optional<double> plainNumber(const QString& text)
{
    static const QRegularExpression form(
        QStringLiteral("^[+-]?(?:[0-9]{1,4}(?:\\.[0-9]{0,3})?|\\.[0-9]{1,3})$"));
    if (!form.match(text).hasMatch())
        return std::nullopt;
    bool ok = false;
    const double v = text.toDouble(&ok); // QString::toDouble reads the C locale's point
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

std::optional<Refusal> readWindow(const QString& value, WindowSpan& out)
{
    const QStringList parts = value.split(QLatin1Char(','));
    if (parts.size() != 2)
        return Refusal{QStringLiteral("two numbers in metres are needed, \"start, end\"")};
    const std::optional<double> start = plainNumber(parts[0].trimmed());
    const std::optional<double> end = plainNumber(parts[1].trimmed());
    if (!start || !end)
        return Refusal{QStringLiteral("two numbers in metres are needed, \"start, end\"")};
    if (*start > *end)
        return Refusal{QStringLiteral("the start lies after the end")};
    if (std::abs(*start) > kWindowReach || std::abs(*end) > kWindowReach)
        return Refusal{QStringLiteral("a window stays within %1 m of its buoy").arg(kWindowReach)};
    out = WindowSpan{*start, *end};
    return std::nullopt;
}

std::optional<Refusal> readTolerance(const QString& value, std::optional<double>& out)
{
    if (value.compare(QLatin1String("none"), Qt::CaseInsensitive) == 0) {
        out.reset();
        return std::nullopt;
    }
    const std::optional<double> v = plainNumber(value);
    if (!v)
        return Refusal{QStringLiteral("a number of centimetres or \"none\" is needed")};
    if (*v < 0.0 || *v > kMaxToleranceCm)
        return Refusal{QStringLiteral("a tolerance lies between 0 and %1 cm").arg(kMaxToleranceCm)};
    out = *v;
    return std::nullopt;
}

std::optional<Refusal> readEntry(const QString& key, const QString& value, RuleSet& r)
{
    if (key == kName) {
        if (value.isEmpty())
            return Refusal{QStringLiteral("the name is empty")};
        if (value.size() > kMaxNameLength)
            return Refusal{QStringLiteral("a name has at most %1 characters").arg(kMaxNameLength)};
        r.name = value;
        return std::nullopt;
    }
    if (key == kSide) {
        if (value.compare(QLatin1String("right"), Qt::CaseInsensitive) == 0)
            r.firstSkierSide = SkierSide::Right;
        else if (value.compare(QLatin1String("left"), Qt::CaseInsensitive) == 0)
            r.firstSkierSide = SkierSide::Left;
        else
            return Refusal{QStringLiteral("\"right\" or \"left\" is needed")};
        return std::nullopt;
    }
    if (key == kBuoyWindow)
        return readWindow(value, r.buoyWindow);
    if (key == kZoneWindow)
        return readWindow(value, r.zoneWindow);
    if (key == kGateWindow)
        return readWindow(value, r.gateWindow);
    if (key == kReading) {
        const QString v = value.simplified().toLower();
        if (v == QLatin1String("largest"))
            r.reading = ReadingMethod::Largest;
        else if (v == QLatin1String("two highest"))
            r.reading = ReadingMethod::TwoHighest;
        else
            return Refusal{QStringLiteral("\"largest\" or \"two highest\" is needed")};
        return std::nullopt;
    }
    if (key == kMinimum) {
        static const QRegularExpression digits(QStringLiteral("^[0-9]{1,2}$"));
        const int n = digits.match(value).hasMatch() ? value.toInt() : 0;
        if (n < 1 || n > kMaxMinimumSamples)
            return Refusal{
                QStringLiteral("a whole number from 1 to %1 is needed").arg(kMaxMinimumSamples)};
        r.minimumSamples = n;
        return std::nullopt;
    }
    if (key == kBuoyTolerance)
        return readTolerance(value, r.buoyTolerance);
    if (key == kGateTolerance)
        return readTolerance(value, r.gateTolerance);
    if (key == kCumulativeTolerance) {
        if (value.compare(QLatin1String("none"), Qt::CaseInsensitive) == 0) {
            r.cumulativeTolerance.fill(std::nullopt);
            return std::nullopt;
        }
        const QStringList parts = value.split(QLatin1Char(','));
        if (parts.size() != kGuideBuoys)
            return Refusal{
                QStringLiteral("six values (buoys 1 to 6) are needed, found %1").arg(parts.size())};
        for (int k = 0; k < kGuideBuoys; ++k)
            if (const auto refusal = readTolerance(parts[k].trimmed(), r.cumulativeTolerance[k]))
                return Refusal{QStringLiteral("buoy %1: %2").arg(k + 1).arg(refusal->reason)};
        return std::nullopt;
    }
    return Refusal{QStringLiteral("not a rule set entry")};
}

RuleSetRead refused(const QString& fileName, int line, const QString& field, const QString& reason)
{
    RuleSetRead r;
    r.line = line;
    r.field = field;
    QString where = QStringLiteral("Rule set file \"%1\"").arg(fileName);
    if (line > 0)
        where += QStringLiteral(", line %1").arg(line);
    if (!field.isEmpty())
        where += QStringLiteral(", \"%1\"").arg(field);
    r.message = where + QStringLiteral(": ") + reason + QLatin1Char('.');
    return r;
}

QString signedFigure(double v)
{
    return v > 0.0 ? QLatin1Char('+') + ruleFigure(v) : ruleFigure(v);
}

QString toleranceText(const std::optional<double>& t)
{
    return t ? ruleFigure(*t) : QStringLiteral("none");
}

QString windowText(const WindowSpan& w)
{
    return ruleFigure(w.start) + QStringLiteral(", ") + ruleFigure(w.end);
}

QString windowFigures(const WindowSpan& w)
{
    return signedFigure(w.start) + QStringLiteral(" to ") + signedFigure(w.end) +
           QStringLiteral(" m");
}

} // namespace

QString ruleFigure(double v)
{
    QString s = QString::number(v, 'f', 3);
    while (s.endsWith(QLatin1Char('0')))
        s.chop(1);
    if (s.endsWith(QLatin1Char('.')))
        s.chop(1);
    return s == QLatin1String("-0") ? QStringLiteral("0") : s;
}

RuleSetRead parseRuleSet(const QString& text, const QString& fileName)
{
    if (text.size() > kRuleFileMaxBytes)
        return refused(fileName, 0, QString(),
                       QStringLiteral("longer than %1 characters").arg(kRuleFileMaxBytes));
    RuleSet rules;
    QStringList seen;
    const QStringList lines = splitLines(text);
    for (int i = 0; i < lines.size(); ++i) {
        const int lineNumber = i + 1;
        const QString line = lines[i].trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')) ||
            line.startsWith(QLatin1Char(';')))
            continue;
        if (lines[i].size() > kMaxLineLength)
            return refused(fileName, lineNumber, QString(),
                           QStringLiteral("longer than %1 characters").arg(kMaxLineLength));
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq < 0)
            return refused(fileName, lineNumber, QString(),
                           QStringLiteral("not an \"entry = value\" line"));
        const QString key = line.left(eq).simplified().toLower();
        const QString value = line.mid(eq + 1).trimmed();
        if (!knownEntries().contains(key))
            return refused(fileName, lineNumber, echoed(line.left(eq).trimmed()),
                           QStringLiteral("not a rule set entry (known: %1)")
                               .arg(knownEntries().join(QStringLiteral(", "))));
        if (seen.contains(key))
            return refused(fileName, lineNumber, key, QStringLiteral("given twice"));
        seen << key;
        if (hasControlCharacter(value))
            return refused(fileName, lineNumber, key,
                           QStringLiteral("the value holds a control character"));
        if (const auto refusal = readEntry(key, value, rules))
            return refused(fileName, lineNumber, key, refusal->reason);
    }
    // The figures that decide a verdict are never taken from a default.
    for (const QString& required :
         {kName, kReading, kBuoyTolerance, kCumulativeTolerance, kGateTolerance})
        if (!seen.contains(required))
            return refused(fileName, 0, required, QStringLiteral("missing"));
    RuleSetRead read;
    read.ruleSet = rules;
    return read;
}

RuleSetRead readRuleSetFile(const QString& path)
{
    const QString name = QFileInfo(path).fileName();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return refused(name, 0, QString(),
                       QStringLiteral("cannot be read (%1)").arg(file.errorString()));
    // One byte more than allowed tells an over-long file from one exactly at the limit.
    const QByteArray bytes = file.read(kRuleFileMaxBytes + 1);
    if (bytes.size() > kRuleFileMaxBytes)
        return refused(name, 0, QString(),
                       QStringLiteral("larger than %1 bytes").arg(kRuleFileMaxBytes));
    return parseRuleSet(decodeText(bytes), name);
}

QString loadRuleSetFile(RuleSet& current, const QString& path)
{
    RuleSetRead read = readRuleSetFile(path);
    if (!read.ruleSet)
        return read.message;
    current = *read.ruleSet;
    return QString();
}

QString ruleSetText(const RuleSet& r)
{
    QStringList cumulative;
    for (const auto& t : r.cumulativeTolerance)
        cumulative << toleranceText(t);
    const QStringList lines{
        QStringLiteral("# Wakeline rule set: the figures of the per-buoy table of a slalom pass."),
        QStringLiteral("# Check them against the rulebook in force before relying on them."),
        QStringLiteral("# Windows in metres from each buoy along the boat's travel (the gate"),
        QStringLiteral("# window from the entrance gate); tolerances in centimetres or \"none\"."),
        kName + QStringLiteral(" = ") + r.name,
        kSide + QStringLiteral(" = ") +
            (r.firstSkierSide == SkierSide::Right ? QStringLiteral("right")
                                                  : QStringLiteral("left")),
        kBuoyWindow + QStringLiteral(" = ") + windowText(r.buoyWindow),
        kZoneWindow + QStringLiteral(" = ") + windowText(r.zoneWindow),
        kGateWindow + QStringLiteral(" = ") + windowText(r.gateWindow),
        kReading + QStringLiteral(" = ") +
            (r.reading == ReadingMethod::Largest ? QStringLiteral("largest")
                                                 : QStringLiteral("two highest")),
        kMinimum + QStringLiteral(" = ") + QString::number(r.minimumSamples),
        kBuoyTolerance + QStringLiteral(" = ") + toleranceText(r.buoyTolerance),
        kCumulativeTolerance + QStringLiteral(" = ") + cumulative.join(QStringLiteral(", ")),
        kGateTolerance + QStringLiteral(" = ") + toleranceText(r.gateTolerance),
    };
    return lines.join(QLatin1String(kCrLf)) + QLatin1String(kCrLf);
}

QStringList ruleSetFigures(const RuleSet& r)
{
    auto cm = [](const std::optional<double>& t) {
        return t ? ruleFigure(*t) + QStringLiteral(" cm") : QStringLiteral("none");
    };
    QStringList cumulative;
    for (const auto& t : r.cumulativeTolerance)
        cumulative << (t ? ruleFigure(*t) : QStringLiteral("none"));
    const QString reading =
        r.reading == ReadingMethod::Largest
            ? QStringLiteral("the largest value toward the skier")
            : QStringLiteral("the mean of the two largest values toward the skier");
    return {
        QStringLiteral("Rule set: ") + r.name,
        QStringLiteral("Windows from each buoy: buoy ") + windowFigures(r.buoyWindow) +
            QStringLiteral(", zone ") + windowFigures(r.zoneWindow) + QStringLiteral("; gate ") +
            windowFigures(r.gateWindow) + QStringLiteral(" from the entrance gate"),
        QStringLiteral("Reading: ") + reading +
            QStringLiteral(", at least %1 sample(s) in the window").arg(r.minimumSamples) +
            QStringLiteral("; skier buoy 1 on the boat's ") +
            (r.firstSkierSide == SkierSide::Right ? QStringLiteral("right")
                                                  : QStringLiteral("left")),
        QStringLiteral("Tolerances: buoy ") + cm(r.buoyTolerance) +
            QStringLiteral(", cumulative ") + cumulative.join(QLatin1Char('/')) +
            (std::any_of(r.cumulativeTolerance.begin(), r.cumulativeTolerance.end(),
                         [](const auto& t) { return t.has_value(); })
                 ? QStringLiteral(" cm")
                 : QString()) +
            QStringLiteral(", gate ") + cm(r.gateTolerance),
    };
}
