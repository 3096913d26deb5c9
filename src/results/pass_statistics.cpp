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

StatisticsOutcome pass_statistics(std::span<const double> d, Event event, double directionSign)
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
                s.FitStart = f;
            if (j == t)
                s.FitEnd = f;
            if (r > s.MaxFitDeviation)
                s.MaxFitDeviation = r;
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
        s.MeanDeviation = directionSign * roundHalfUp(meanD, 3);
    } else {
        s.JumpMean = meanD;
        for (double v : d) {
            const double r = std::fabs(v - meanD);
            if (r > s.MaxFitDeviation)
                s.MaxFitDeviation = r;
            sumAbsResidual += r;
        }
        s.MeanDeviation = roundHalfUp(meanD, 3);
    }
    s.MeanFitDeviation = sumAbsResidual / n;
    s.StartDeviation = signedWindowMean(d, 1, 10, directionSign);
    s.ExitDeviation = signedWindowMean(d, t - 9, t, directionSign);
    s.TotalDeviation = s.FitEnd - s.FitStart;
    s.LeftPercent = wholePercent(out.leftCount, n);
    s.CenterPercent = wholePercent(out.centerCount, n);
    s.RightPercent = wholePercent(out.rightCount, n);
    return out;
}

void applyReportShares(PassStatistics& s, std::span<const double> d, Event event,
                       double directionSign)
{
    const int n = int(d.size());
    if (n == 0) {
        s.LeftPercent = 0;
        s.RightPercent = 0;
        s.CenterPercent = 100;
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
    s.LeftPercent = wholePercent(left, n);
    s.RightPercent = wholePercent(right, n);
    s.CenterPercent = 100 - s.LeftPercent - s.RightPercent;
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
    b += QStringLiteral("MEAN ABSOLUTE DEVIATION = ") + p3(s.MeanFitDeviation) +
         QStringLiteral(" M   MAXIMUM DEVIATION = ") + p3(s.MaxFitDeviation) +
         QStringLiteral(" M") + nl;
    b += QStringLiteral("DRIVER DEVIATION OFF CENTER = ") + p3(o.driverMean) +
         QStringLiteral(" M  MAX DEVIATION = ") + p3(o.driverMax) + QStringLiteral(" M") + nl;
    b += QStringLiteral("LEFT= ") + printForm(s.LeftPercent) + QStringLiteral("%") + nl;
    b += QStringLiteral("CENTER= ") + printForm(s.CenterPercent) + QStringLiteral("%  RIGHT= ") +
         printForm(s.RightPercent) + QStringLiteral("%  AVERAGE DISTANCE FROM CENTER: ") +
         printForm(s.MeanDeviation) + nl;
    b += QStringLiteral("DEVIATION AT START: ") + printForm(s.StartDeviation) + nl;
    b += QStringLiteral("DEVIATION AT EXIT: ") + printForm(s.ExitDeviation) + nl;
    b += QStringLiteral("CALCULATED TOTAL DEVIATION: ") + printForm(s.TotalDeviation) + nl;
    return b;
}
