#include "measure/pass_files.h"

#include "common/paths.h"
#include "common/text_file.h"
#include "measure/video_pass_log.h"
#include "platform/clock.h"

std::optional<QString> PassFiles::passStarted(const RunInfo& run, bool viewOnly)
{
    if (!programFolder_)
        return std::nullopt;
    if (viewOnly)
        return passOver();
    const SpeedChoice* speed = run.speed();
    const PassMarkerInfo info{clock.now(), run.skier,
                              run.event == Event::Slalom ? QStringLiteral("Slalom")
                                                         : QStringLiteral("Jump"),
                              speed ? QString::fromLatin1(speed->caption) : QString()};
    const WriteResult written =
        marker.passStarted(absoluteResultsFolder(run.resultsFolder, *programFolder_), info);
    if (written)
        markerFailureTold = false;
    else
        markerFailed(written.message);
    return std::nullopt;
}

std::optional<QString> PassFiles::passOver()
{
    if (const WriteResult removed = marker.passOver(); !removed)
        markerFailed(removed.message);
    if (untoldMarkerFailure.isEmpty())
        return std::nullopt;
    const QString message = untoldMarkerFailure;
    untoldMarkerFailure.clear();
    markerFailureTold = true;
    return message + QStringLiteral("\n\nPasses are measured as usual. Without this file, a pass "
                                    "lost because Wakeline stopped during it is not reported at "
                                    "the next start.");
}

void PassFiles::markerFailed(const QString& message)
{
    if (!markerFailureTold && untoldMarkerFailure.isEmpty())
        untoldMarkerFailure = message;
}

std::optional<QString> PassFiles::keepVideoPass(const RunInfo& run, const MediaPass& pass)
{
    if (!programFolder_)
        return std::nullopt;
    const QDateTime now = clock.now();
    const QString block = unwrittenVideoPasses + videoPassBlock(now, pass);
    const QString path =
        resultsFilePath(run.resultsFolder, videoPassesFileName(now), *programFolder_);
    const WriteResult written = appendText(path, block);
    if (written) {
        unwrittenVideoPasses.clear();
        return std::nullopt;
    }
    // The pass itself goes on to the results; only where it lies on the video waits.
    unwrittenVideoPasses = block;
    return written.message +
           QStringLiteral("\n\nThe pass goes on to the results as usual. Where it lies on the "
                          "video is kept and written with the next pass measured on a video.");
}
