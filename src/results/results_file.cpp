#include "results/results_file.h"

#include "common/number_forms.h"
#include "common/text_file.h"

QString savedResultsText(const QString& shownText)
{
    const QString nl = QString::fromLatin1(kCrLf);
    return shownText + nl + nl + QStringLiteral("End of Pass Analysis") + nl + nl;
}

QString resultsFileTitle(Event event)
{
    return event == Event::Slalom ? QStringLiteral("Slalom Pass Results")
                                  : QStringLiteral("Jump Pass Results");
}

QString notValidResultsFileMessage(Event event)
{
    return event == Event::Slalom ? QStringLiteral("Not a valid slalom path results file")
                                  : QStringLiteral("Not a valid jump path results file");
}

namespace {

const QString kFramePrefix = QStringLiteral("Frame ");
const QString kBuoyPrefix = QStringLiteral("Buoy");
const QString kBuoyFirst = QStringLiteral("Buoy  1 Sample");

void show(QStringList& shown, const QString& line)
{
    if (shown.size() < kMaxShownLines)
        shown << line.left(kMaxShownLineLength);
}

bool isSampleStart(const QString& line)
{
    return line.startsWith(kBuoyFirst) || line.startsWith(kFramePrefix);
}

// Leading number of `length` characters after the first occurrence of `marker`; 0 when the
// line has no marker.
double numberAfter(const QString& line, const QString& marker, int length)
{
    const qsizetype at = line.indexOf(marker);
    if (at < 0)
        return 0.0;
    return leadingNumber(line.mid(at + marker.size(), length));
}

} // namespace

ResultsFileRead readResultsFile(const QString& text, Event expected)
{
    ResultsFileRead r;
    const QStringList lines = splitLines(text);
    const qsizetype n = lines.size();
    if (n == 0 || lines[0] != resultsFileTitle(expected)) {
        r.status = ReadStatus::NotValid;
        return r;
    }
    show(r.shownLines, lines[0]);
    r.headerLines << lines[0];

    // Header: up to and including the first sample line.
    qsizetype i = 1;
    for (; i < n; ++i) {
        const QString& line = lines[i];
        show(r.shownLines, line);
        if (isSampleStart(line))
            break;
        r.headerLines << line;
        if (line.left(10) == QLatin1String("Boat is co"))
            r.comingToward = true;
    }
    if (i >= n) {
        r.status = ReadStatus::NoSamples;
        return r;
    }
    r.firstSampleLine = int(i) + 1;

    const bool buoyLayout = lines[i].startsWith(kBuoyPrefix);
    r.buoyLayout = buoyLayout;
    const QString& prefix = buoyLayout ? kBuoyPrefix : kFramePrefix;
    while (lines[i].startsWith(prefix)) {
        if (int(r.deviations.size()) >= kMaxReadSamples) {
            r.status = ReadStatus::TooMany;
            return r;
        }
        const QString& line = lines[i];
        if (buoyLayout) {
            r.deviations.push_back(leadingNumber(line.mid(27, 6)));
            r.positions.push_back(numberAfter(line, QStringLiteral(":"), 8));
        } else {
            r.positions.push_back(leadingNumber(line.mid(29, 6)));
            r.deviations.push_back(numberAfter(line, QStringLiteral("ation:"), 8));
        }
        ++i;
        // A file cut off after a sample line ends with it: that sample is read too.
        if (i >= n)
            break;
        show(r.shownLines, lines[i]);
    }
    r.status = ReadStatus::Ok;
    return r;
}

std::optional<QString> headerValue(const QStringList& headerLines, const QString& label)
{
    for (const QString& line : headerLines)
        if (line.startsWith(label))
            return line.mid(label.size());
    return std::nullopt;
}
