#include "measure/pass_recording.h"

#include "common/paths.h"
#include "common/run_info.h"
#include "common/text_file.h"
#include "measure/measure_model.h"
#include "measure/video_pass_log.h"
#include "platform/clock.h"
#include "recording/recording_names.h"

#include <algorithm>

namespace {
constexpr qint64 kLateArrivalUs = 1000000;
} // namespace

qint64 CaptureClock::captureUs(qint64 sourceUs, qint64 arrivalMs)
{
    const qint64 delayUs = arrivalMs * 1000 - sourceUs;
    if (!offsetUs || sourceUs < lastSourceUs || delayUs - *offsetUs > kLateArrivalUs)
        offsetUs = delayUs;
    else
        offsetUs = std::min(*offsetUs, delayUs);
    lastSourceUs = sourceUs;
    return sourceUs + *offsetUs;
}

PassRecording::PassRecording(Services services, QObject* parent)
    : QObject(parent), s(std::move(services))
{
    connect(&s.model, &MeasureModel::passStarted, this, &PassRecording::passStarted);
    connect(&s.model, &MeasureModel::sampleTaken, this, &PassRecording::sampleTaken);
    connect(&s.model, &MeasureModel::passStopped, this, &PassRecording::passStopped);
    connect(&s.model, &MeasureModel::passRecorded, this, &PassRecording::passMeasured);
    if (s.recorder)
        s.recorder->setOutcomeHandler([this](const RecordingOutcome& o) { finished(o); });
}

PassRecording::~PassRecording()
{
    if (s.recorder)
        s.recorder->setOutcomeHandler({});
}

void PassRecording::setEnabled(bool on)
{
    enabled_ = on;
}

void PassRecording::setLive(bool live)
{
    if (live != live_)
        captureClock.reset();
    live_ = live;
}

bool PassRecording::feeding() const
{
    // The seconds before a pass are kept while recording is on; a file being written takes
    // its frames to the end even when recording was just turned off.
    return s.recorder && live_ && (enabled_ || s.recorder->state() == RecorderState::Recording);
}

void PassRecording::frameReceived(const RecorderFrame& frame, qint64 sourceUs, qint64 arrivalMs)
{
    if (!feeding())
        return;
    const qint64 captureUs = captureClock.captureUs(sourceUs, arrivalMs);
    // A frame shown again (or moved back by a new offset) is not a new picture.
    if (lastCaptureUs && captureUs <= *lastCaptureUs)
        return;
    lastCaptureUs = captureUs;
    s.recorder->feed(frame, captureUs);
}

void PassRecording::passStarted()
{
    const qint64 startUs = s.clock.monotonicMs() * 1000;
    // Restarted while its file is open: the same file goes on, the samples start over.
    if (current && !current->ended) {
        s.recorder->startPassRecording(current->path, startUs);
        current->recorded.startUs = s.recorder->mediaTimeUs(startUs).value_or(0);
        current->recorded.samples.clear();
        return;
    }
    if (!s.recorder || !enabled_ || !live_ || s.model.viewOnly())
        return;
    if (s.recorder->state() == RecorderState::Unavailable) {
        if (!unavailableTold)
            tell(s.recorder->message());
        unavailableTold = true;
        return;
    }
    if (current)
        finishing.push_back(std::move(*current));
    Pass pass;
    pass.when = s.clock.now();
    pass.resultsFolder = s.run.resultsFolder;
    const QString folder = absoluteResultsFolder(s.run.resultsFolder, s.programFolder);
    const int number = nextPassNumber(folder, pass.when, s.run.skier);
    pass.path = recordingFilePath(folder, pass.when, s.run.skier, number);
    pass.recorded.videoFile = pass.path;
    lastPath = pass.path;
    s.recorder->startPassRecording(pass.path, startUs);
    pass.recorded.startUs = s.recorder->mediaTimeUs(startUs).value_or(0);
    current = std::move(pass);
}

void PassRecording::sampleTaken(int index, double lineX, double lineY)
{
    if (!current || current->ended || !lastCaptureUs)
        return;
    std::vector<RecordedSample>& samples = current->recorded.samples;
    if (index != int(samples.size()))
        return; // a file that had no picture yet when the pass started
    if (const std::optional<qint64> frameUs = s.recorder->mediaTimeUs(*lastCaptureUs))
        samples.push_back({*frameUs, lineX, lineY});
}

void PassRecording::passStopped()
{
    if (current && !current->ended) {
        current->ended = true;
        s.recorder->passEnded(s.clock.monotonicMs() * 1000);
    }
    tellWhenPassOver();
}

void PassRecording::passMeasured()
{
    if (current && current->ended)
        current->measured = true;
}

void PassRecording::finished(const RecordingOutcome& outcome)
{
    std::optional<Pass> pass;
    if (current && current->path == outcome.path) {
        pass = std::move(current);
        current.reset();
    } else {
        const auto it = std::find_if(finishing.begin(), finishing.end(),
                                     [&](const Pass& p) { return p.path == outcome.path; });
        if (it != finishing.end()) {
            pass = std::move(*it);
            finishing.erase(it);
        }
    }
    if (!outcome.recorded)
        tell(outcome.message);
    else if (pass && pass->measured)
        writeBlock(*pass);
    tellWhenPassOver();
    Q_EMIT recordingFinished(outcome);
    if (outcome.recorded && pass && pass->measured) {
        MediaPass recording{pass->recorded.videoFile, pass->recorded.startUs, {}, {}, {}};
        for (const RecordedSample& sample : pass->recorded.samples) {
            recording.sampleFramesUs.push_back(sample.frameUs);
            recording.sampleLines.push_back({sample.lineX, sample.lineY});
        }
        Q_EMIT measuredPassRecorded(recording);
    }
}

void PassRecording::writeBlock(const Pass& pass)
{
    const QString block = unwrittenBlocks + recordedPassBlock(pass.when, pass.recorded);
    const QString path =
        resultsFilePath(pass.resultsFolder, videoPassesFileName(pass.when), s.programFolder);
    const WriteResult written = appendText(path, block);
    if (written) {
        unwrittenBlocks.clear();
        return;
    }
    unwrittenBlocks = block;
    tell(written.message +
         QStringLiteral("\n\nThe pass and its video are kept. Where the pass lies on its video is "
                        "written with the next recorded pass."));
}

void PassRecording::tell(const QString& message)
{
    if (!message.isEmpty())
        untold << message;
}

void PassRecording::tellWhenPassOver()
{
    if (s.model.running())
        return;
    const QStringList messages = std::exchange(untold, {});
    for (const QString& m : messages)
        Q_EMIT notRecorded(m);
}
