#include "results/pass_statistics.h"

#include "common/date_forms.h"
#include "common/number_forms.h"
#include "common/text_file.h"

#include <cmath>

namespace {

constexpr double kSideFileBand = 0.12;

// Mean of the samples first..last that the pass has, times the direction sign.
double signedWindowMean(std::span<const double> d, long first, long last, double sign)
{
    const long n = long(d.size());
    first = std::max(first, 0L);
    last = std::min(last, n - 1);
    if (last < first)
        return 0.0;
    double sum = 0.0;
    for (long j = first; j <= last; ++j)
        sum += d[size_t(j)];
    // A full pass always has ten samples in each window; the divisor follows the window.
    return sign * sum / double(last - first + 1);
}

int wholePercent(int count, int n)
{
    return int(std::floor(count * 100.0 / n + 0.5));
}

} // namespace

StatisticsOutcome passStatistics(std::span<const double> d, Event event, double directionSign)
{
    StatisticsOutcome out;
    PassStatistics& s = out.statistics;
    const int n = int(d.size());
    if (n == 0)
        return out;
    const long t = n - 1;

    double sumD = 0.0;
    for (double v : d)
        sumD += v;
    const double meanD = sumD / n;

    double sumAbsResidual = 0.0;
    if (event == Event::Slalom) {
        // Least squares over x_j = j + 1, in the centred form: the same line as the textbook
        // sums, without their cancellation.
        const double meanX = (n + 1) / 2.0;
        double sxy = 0.0;
        double sxx = 0.0;
        for (int j = 0; j < n; ++j) {
            const double dx = (j + 1) - meanX;
            sxy += dx * (d[size_t(j)] - meanD);
            sxx += dx * dx;
        }
        const double b = sxx > 0.0 ? sxy / sxx : 0.0;
        const double a = meanD - b * meanX;
        double sumAbsD = 0.0;
        for (int j = 0; j < n; ++j) {
            const double f = a + b * (j + 1);
            const double r = std::fabs(d[size_t(j)] - f);
            if (j == 0)
                s.fitStart = f;
            if (j == t)
                s.fitEnd = f;
            if (r > s.maxFitDeviation)
                s.maxFitDeviation = r;
            sumAbsResidual += r;
            const double absD = std::fabs(d[size_t(j)]);
            sumAbsD += absD;
            if (absD > out.driverMax)
                out.driverMax = absD;
            const double side = directionSign * d[size_t(j)];
            if (side > kSideFileBand)
                ++out.leftCount;
            else if (side < -kSideFileBand)
                ++out.rightCount;
            if (absD <= kSideFileBand)
                ++out.centerCount;
        }
        out.driverMean = sumAbsD / n;
        s.meanDeviation = directionSign * roundHalfUp(meanD, 3);
    } else {
        s.jumpMean = meanD;
        for (double v : d) {
            const double r = std::fabs(v - meanD);
            if (r > s.maxFitDeviation)
                s.maxFitDeviation = r;
            sumAbsResidual += r;
        }
        s.meanDeviation = roundHalfUp(meanD, 3);
    }
    s.meanFitDeviation = sumAbsResidual / n;
    s.startDeviation = signedWindowMean(d, 1, 10, directionSign);
    s.exitDeviation = signedWindowMean(d, t - 9, t, directionSign);
    s.totalDeviation = s.fitEnd - s.fitStart;
    s.leftPercent = wholePercent(out.leftCount, n);
    s.centerPercent = wholePercent(out.centerCount, n);
    s.rightPercent = wholePercent(out.rightCount, n);
    return out;
}

void applyReportShares(PassStatistics& s, std::span<const double> d, Event event,
                       double directionSign)
{
    const int n = int(d.size());
    if (n == 0) {
        s.leftPercent = 0;
        s.rightPercent = 0;
        s.centerPercent = 100;
        return;
    }
    const double band = event == Event::Slalom ? 0.12 : 0.24;
    int left = 0;
    int right = 0;
    for (double v : d) {
        const double side = directionSign * v;
        if (side < -band)
            ++right;
        else if (side > band)
            ++left;
    }
    s.leftPercent = wholePercent(left, n);
    s.rightPercent = wholePercent(right, n);
    s.centerPercent = 100 - s.leftPercent - s.rightPercent;
}

QString originalMeasurementsBlock(const StatisticsOutcome& o, Event event, const QDateTime& now)
{
    const PassStatistics& s = o.statistics;
    const QString nl = QString::fromLatin1(kCrLf);
    auto p3 = [](double v) { return printForm(roundHalfUp(v, 3)); };
    QString b;
    b += (event == Event::Slalom ? QStringLiteral("Slalom") : QStringLiteral("Jump")) + nl;
    b += dateText(now) + nl;
    b += timeText(now) + nl;
    b += QStringLiteral("MEAN ABSOLUTE DEVIATION = ") + p3(s.meanFitDeviation) +
         QStringLiteral(" M   MAXIMUM DEVIATION = ") + p3(s.maxFitDeviation) +
         QStringLiteral(" M") + nl;
    b += QStringLiteral("DRIVER DEVIATION OFF CENTER = ") + p3(o.driverMean) +
         QStringLiteral(" M  MAX DEVIATION = ") + p3(o.driverMax) + QStringLiteral(" M") + nl;
    b += QStringLiteral("LEFT= ") + printForm(s.leftPercent) + QStringLiteral("%") + nl;
    b += QStringLiteral("CENTER= ") + printForm(s.centerPercent) + QStringLiteral("%  RIGHT= ") +
         printForm(s.rightPercent) + QStringLiteral("%  AVERAGE DISTANCE FROM CENTER: ") +
         printForm(s.meanDeviation) + nl;
    b += QStringLiteral("DEVIATION AT START: ") + printForm(s.startDeviation) + nl;
    b += QStringLiteral("DEVIATION AT EXIT: ") + printForm(s.exitDeviation) + nl;
    b += QStringLiteral("CALCULATED TOTAL DEVIATION: ") + printForm(s.totalDeviation) + nl;
    return b;
}
