#include "results/review_offer.h"

#include "common/text_file.h"
#include "measure/measure_tables.h"
#include "measure/pass_record.h"
#include "measure/video_pass_blocks.h"
#include "measure/video_pass_log.h"
#include "results/buoy_figures.h"

#include <QDir>
#include <QFileInfo>

namespace {

// A day file of video passes is a few hundred kilobytes at the end of a long day.
constexpr qint64 kVideoPassesMaxBytes = 64 * 1024 * 1024;

std::vector<ReviewWindow> buoyWindows(const ReviewedPass& pass, Event event, const RuleSet& rules)
{
    std::vector<ReviewWindow> windows;
    if (event != Event::Slalom)
        return windows;
    const auto add = [&](WindowSpan span, const QString& label) {
        if (const auto w = windowOnVideo(span.start, span.end, kSlalomCourseLength, pass.passTenths,
                                         pass.sampleFramesUs, label))
            windows.push_back(*w);
    };
    add(rules.gateWindow, QStringLiteral("Entrance gate"));
    for (int k = 1; k <= kGuideBuoys; ++k) {
        const double g = guideBuoyDistance(k);
        add({g + rules.buoyWindow.start, g + rules.buoyWindow.end},
            QStringLiteral("Buoy %1").arg(k));
    }
    return windows;
}

ReviewOffer offered(ReviewedPass pass, Event event, const RuleSet& rules, QString note = {})
{
    ReviewOffer offer;
    if (!QFileInfo(pass.videoFile).isFile()) {
        offer.note = QStringLiteral("The video of this pass is not there: %1")
                         .arg(QDir::toNativeSeparators(pass.videoFile));
        return offer;
    }
    pass.windows = buoyWindows(pass, event, rules);
    offer.pass = std::move(pass);
    offer.note = std::move(note);
    return offer;
}

} // namespace

ReviewOffer reviewOfMeasuredPass(const PassRecord& record, const RunInfo& run, const RuleSet& rules)
{
    if (!record.measured || !record.media)
        return {};
    ReviewedPass pass;
    pass.videoFile = record.media->videoFile;
    pass.startUs = record.media->startUs;
    pass.sampleFramesUs = record.media->sampleFramesUs;
    pass.sampleLines = record.media->sampleLines;
    pass.direction = run.direction;
    pass.passTenths = record.tenths;
    return offered(std::move(pass), run.event, rules);
}

ReviewOffer reviewOfResultsFile(const ResultsFileRead& read, Event event,
                                const QStringList& folders, const RuleSet& rules)
{
    ReviewOffer offer;
    const QString date = headerValue(read.headerLines, QStringLiteral("Date of Measurement: "))
                             .value_or(QString())
                             .trimmed();
    const QString time = headerValue(read.headerLines, QStringLiteral("Time of Measurement: "))
                             .value_or(QString())
                             .trimmed();
    const QDateTime measured = QDateTime::fromString(date + QLatin1Char(' ') + time,
                                                     QStringLiteral("MM-dd-yyyy HH:mm:ss"));
    if (read.status != ReadStatus::Ok || !measured.isValid()) {
        offer.note = QStringLiteral("This results file does not say when its pass was measured: "
                                    "no video can be found for it.");
        return offer;
    }
    const QString dayFile = videoPassesFileName(measured);
    QStringList refusals;
    for (const QString& folder : folders) {
        const QString path = QDir(folder).filePath(dayFile);
        const std::optional<QString> text = readTextFile(path, kVideoPassesMaxBytes);
        if (!text)
            continue;
        const VideoPassesRead day = readVideoPasses(*text, QDir::toNativeSeparators(path));
        refusals << day.refusals;
        if (const auto block = findVideoPass(day.blocks, measured, int(read.deviations.size()))) {
            ReviewedPass pass;
            pass.videoFile = block->videoFile;
            pass.startUs = block->startUs;
            pass.sampleFramesUs = block->sampleFramesUs;
            pass.sampleLines = block->sampleLines;
            pass.direction = read.comingToward ? Direction::Toward : Direction::Away;
            pass.passTenths = int(block->sampleFramesUs.size()) - 1;
            return offered(std::move(pass), event, rules, refusals.join(QLatin1Char('\n')));
        }
    }
    offer.note = QStringLiteral("No video of this pass was found (%1 beside the results file).")
                     .arg(dayFile);
    if (!refusals.isEmpty())
        offer.note += QLatin1Char('\n') + refusals.join(QLatin1Char('\n'));
    return offer;
}
