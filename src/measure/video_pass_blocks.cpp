#include "measure/video_pass_blocks.h"

#include "common/text_file.h"

#include <cmath>

namespace {

const QString kFilePass = QStringLiteral("Video pass ");
const QString kRecordedPass = QStringLiteral("Recorded pass ");
const QString kVideoFile = QStringLiteral("Video file: ");
const QString kTrackFile = QStringLiteral("Track file: ");
const QString kStart = QStringLiteral("Start (P0): ");
const QString kSamples = QStringLiteral("Samples: ");
const QString kShortHeading = QStringLiteral("Sample  Frame (s)");
const QString kLineHeading = QStringLiteral("Sample  Frame (s)  Line x  Line y (twips)");
// More samples than any pass has (a jump or slalom pass is under twenty seconds).
constexpr int kMaxSamples = 10000;
// The report is stamped this long at most after the block.
constexpr qint64 kMatchSeconds = 5;

std::optional<double> number(const QString& text)
{
    bool ok = false;
    const double v = text.toDouble(&ok); // QString reads with a point whatever the locale
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

std::optional<qint64> microseconds(const QString& text)
{
    const std::optional<double> s = number(text);
    if (!s || *s < 0 || *s > 1e7)
        return std::nullopt;
    return qint64(std::llround(*s * 1e6));
}

class BlockReader
{
public:
    BlockReader(const QStringList& lines, const QString& fileName)
        : lines(lines), fileName(fileName)
    {
    }

    // Reads the block starting at line index `at`; `at` ends past it (or past the line it
    // broke on, so that reading goes on with the next block).
    std::optional<VideoPassBlock> read(qsizetype& at)
    {
        VideoPassBlock b;
        blockStart = at;
        b.line = int(at) + 1;
        const QString& first = lines[at];
        b.recorded = first.startsWith(kRecordedPass);
        const QString stamp = first.mid((b.recorded ? kRecordedPass : kFilePass).size());
        b.when = QDateTime::fromString(stamp, QStringLiteral("MM-dd-yyyy HH:mm:ss"));
        if (!b.when.isValid())
            return refuse(at, QStringLiteral("the date and time \"%1\" do not read").arg(stamp));
        ++at;
        const std::optional<QString> file = field(at, kVideoFile);
        if (!file || file->isEmpty())
            return refuse(at, QStringLiteral("\"Video file: \" and the video's path expected"));
        b.videoFile = *file;
        ++at;
        if (const std::optional<QString> track = field(at, kTrackFile)) {
            b.trackFile = *track;
            ++at;
        }
        const std::optional<QString> start = field(at, kStart);
        const std::optional<qint64> startUs = start && start->endsWith(QStringLiteral(" s"))
                                                  ? microseconds(start->chopped(2))
                                                  : std::nullopt;
        if (!startUs)
            return refuse(at, QStringLiteral("\"Start (P0): \" and seconds expected"));
        b.startUs = *startUs;
        ++at;
        const std::optional<QString> countText = field(at, kSamples);
        bool ok = false;
        const int count = countText ? countText->toInt(&ok) : 0;
        if (!ok || count < 1 || count > kMaxSamples)
            return refuse(at, QStringLiteral("\"Samples: \" and a number of samples expected"));
        ++at;
        if (at >= lines.size() || (lines[at] != kShortHeading && lines[at] != kLineHeading))
            return refuse(at, QStringLiteral("the samples' heading expected"));
        const bool withLine = lines[at] == kLineHeading;
        ++at;
        for (int k = 0; k < count; ++k, ++at) {
            if (at >= lines.size() || lines[at].isEmpty())
                return refuse(
                    at,
                    QStringLiteral("the block ends after %1 of its %2 samples").arg(k).arg(count));
            const QStringList f = lines[at].split(QLatin1Char(' '), Qt::SkipEmptyParts);
            if (f.size() != (withLine ? 4 : 2) || f[0] != QString::number(k))
                return refuse(at, QStringLiteral("sample %1 does not read").arg(k));
            const std::optional<qint64> frame = microseconds(f[1]);
            const std::optional<double> x = withLine ? number(f[2]) : 0.0;
            const std::optional<double> y = withLine ? number(f[3]) : 0.0;
            if (!frame || !x || !y)
                return refuse(at, QStringLiteral("sample %1 does not read").arg(k));
            b.sampleFramesUs.push_back(*frame);
            if (withLine)
                b.sampleLines.push_back({*x, *y});
        }
        return b;
    }

    QStringList refusals;

private:
    std::optional<QString> field(qsizetype at, const QString& label) const
    {
        if (at >= lines.size() || !lines[at].startsWith(label))
            return std::nullopt;
        return lines[at].mid(label.size());
    }

    std::optional<VideoPassBlock> refuse(qsizetype& at, const QString& what)
    {
        const qsizetype line = std::min(at, lines.size() - 1);
        refusals << QStringLiteral("%1, line %2: a video pass that does not read, %3.")
                        .arg(fileName)
                        .arg(line + 1)
                        .arg(what);
        // Reading goes on from the line it broke on: it may begin the next block.
        at = std::max(line, blockStart + 1);
        return std::nullopt;
    }

    const QStringList& lines;
    const QString& fileName;
    qsizetype blockStart = 0;
};

} // namespace

VideoPassesRead readVideoPasses(const QString& text, const QString& fileName)
{
    const QStringList lines = splitLines(text);
    BlockReader reader(lines, fileName);
    VideoPassesRead out;
    for (qsizetype at = 0; at < lines.size();) {
        if (!lines[at].startsWith(kFilePass) && !lines[at].startsWith(kRecordedPass)) {
            ++at;
            continue;
        }
        if (std::optional<VideoPassBlock> block = reader.read(at))
            out.blocks.push_back(std::move(*block));
    }
    out.refusals = reader.refusals;
    return out;
}

std::optional<VideoPassBlock> findVideoPass(const std::vector<VideoPassBlock>& blocks,
                                            const QDateTime& measured, int sampleCount)
{
    std::optional<VideoPassBlock> found;
    for (const VideoPassBlock& b : blocks) {
        const qint64 before = b.when.secsTo(measured);
        if (before < 0 || before > kMatchSeconds || int(b.sampleFramesUs.size()) != sampleCount)
            continue;
        if (!found || b.when >= found->when)
            found = b;
    }
    return found;
}
