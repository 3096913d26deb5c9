#include "results/pass_report.h"

#include "common/date_forms.h"
#include "common/number_forms.h"
#include "common/text_file.h"

#include <algorithm>
#include <cmath>

double courseLength(Event event)
{
    return event == Event::Slalom ? 259.0 : 280.0;
}

std::span<const double> passDeviations(const PassSamples& samples, int passTenths)
{
    const int n = std::clamp(passTenths + 1, 0, PassSamples::kCapacity);
    return std::span<const double>(samples.deviations.data(), size_t(n));
}

void summariseSamples(PassSamples& s, int sampleCount)
{
    sampleCount = std::clamp(sampleCount, 0, PassSamples::kCapacity);
    s.sampleCount = sampleCount;
    s.meanAbsDeviation = 0.0;
    s.maxAbsDeviation = 0.0;
    double sum = 0.0;
    for (int j = 0; j < sampleCount; ++j) {
        const double a = std::fabs(s.deviations[size_t(j)]);
        sum += a;
        if (a > s.maxAbsDeviation) {
            s.maxAbsDeviation = a;
            s.maxDeviationIndex = j;
        }
    }
    if (sampleCount > 0)
        s.meanAbsDeviation = sum / sampleCount;
}

QString reportLineLength(int lineLength)
{
    if (lineLength < 0 || lineLength >= int(kLineLengths.size()))
        return QString();
    const QString text = QString::fromLatin1(kLineLengths[size_t(lineLength)]);
    return (text.size() < 5 ? QStringLiteral(" ") : QString()) + text + QStringLiteral("m");
}

QString buildPassReport(const RunInfo& run, const PassSamples& samples, int passTenths,
                        const PassStatistics& s, const QDateTime& now)
{
    const QString nl = QString::fromLatin1(kCrLf);
    const bool slalom = run.event == Event::Slalom;
    QString r;
    r.reserve(200 * 60);
    r +=
        (slalom ? QStringLiteral("Slalom Pass Results") : QStringLiteral("Jump Pass Results")) + nl;
    r += QStringLiteral("Skier Name: ") + run.skier + nl;
    r += QStringLiteral("Tournament: ") + run.tournament + nl;
    r += QStringLiteral("Location: ") + run.location + nl;
    r += QStringLiteral("Date: ") + run.date + nl;
    r += QStringLiteral("Driver: ") + run.driver + nl;
    r += QStringLiteral("Boat: ") + run.boatMaker + nl;
    r += QStringLiteral("Date of Measurement: ") + dateText(now) + nl;
    r += QStringLiteral("Time of Measurement: ") + timeText(now) + nl;
    if (slalom)
        r += QStringLiteral("Line Length: ") + reportLineLength(run.lineLength) + nl;
    r += (run.direction == Direction::Away ? QStringLiteral("Boat is going away from camera")
                                           : QStringLiteral("Boat is coming toward the camera")) +
         nl;
    r += nl + QStringLiteral("Full Path Deviation Measurement") + nl;
    r += nl + QStringLiteral("Boat Path Deviation") + nl;
    r += nl + QStringLiteral("Boat Statistics: ") + nl;
    r += QStringLiteral("Mean Boat Deviation from best fit line: ") +
         round3Str(s.meanFitDeviation) + nl;
    r += QStringLiteral("Maximum Deviation from best fit line: ") + round3Str(s.maxFitDeviation) +
         nl;
    r += nl + QStringLiteral("Driver Statistics") + nl;
    r += QStringLiteral("Mean Absolute Deviation (from center): ") +
         round3Str(samples.meanAbsDeviation) + nl;
    r += QStringLiteral("Max deviation (from center) of ") + strForm(samples.maxAbsDeviation) +
         QStringLiteral(" at frame ") + strForm(samples.maxDeviationIndex) + nl;
    r += QStringLiteral("Left: ") + strForm(s.leftPercent) + QStringLiteral("%  Center: ") +
         strForm(s.centerPercent) + QStringLiteral("%  Right: ") + strForm(s.rightPercent) +
         QStringLiteral("%") + nl;
    r += nl + QStringLiteral("Frames Measured: ") + strForm(samples.sampleCount) + nl;
    r += nl;
    const double length = courseLength(run.event);
    const std::span<const double> d = passDeviations(samples, passTenths);
    for (size_t i = 0; i < d.size(); ++i) {
        const double p = passTenths > 0 ? double(i) * length / passTenths : 0.0;
        r += QStringLiteral("Frame ") + strForm(double(i)) +
             QStringLiteral("   Course Position: ") + format000_0(p) +
             QStringLiteral("   Deviation: ") + strForm(d[i]) + nl;
    }
    return r;
}

PassAnalysis analysePass(const RunInfo& run, const PassSamples& samples, int passTenths,
                         const QDateTime& now)
{
    const std::span<const double> d = passDeviations(samples, passTenths);
    const StatisticsOutcome outcome = passStatistics(d, run.event, run.directionSign());
    PassAnalysis a;
    a.sideFileBlock = originalMeasurementsBlock(outcome, run.event, now);
    a.statistics = outcome.statistics;
    applyReportShares(a.statistics, d, run.event, run.directionSign());
    a.report = buildPassReport(run, samples, passTenths, a.statistics, now);
    return a;
}
