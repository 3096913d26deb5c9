#pragma once
// A pass recorder a screen or model test scripts without GStreamer: it remembers what it was
// given, and the test says when a file is finished and how (the real one tells from the event
// loop). A pass's file starts 2 s before its start, in whole milliseconds, as the real one's
// does on a key frame that far back.

#include "platform/pass_recorder.h"
#include "recording/preroll_ring.h"

#include <QStringList>
#include <vector>

class FakeRecorder : public PassRecorder
{
public:
    void feed(const RecorderFrame& frame, qint64 captureUs) override
    {
        fedCaptures.push_back(captureUs);
        lastFrameSize = {frame.width, frame.height};
    }
    void startPassRecording(const QString& path, qint64 passStartUs) override
    {
        calls << QStringLiteral("start %1 %2").arg(path).arg(passStartUs);
        if (state_ == RecorderState::Unavailable)
            return;
        if (state_ != RecorderState::Recording || path != filePath)
            originUs = (passStartUs - kPreRollUs) / 1000 * 1000;
        filePath = path;
        state_ = RecorderState::Recording;
    }
    void passEnded(qint64 endUs) override { calls << QStringLiteral("end %1").arg(endUs); }
    std::optional<qint64> mediaTimeUs(qint64 captureUs) const override
    {
        if (!originUs)
            return std::nullopt;
        return (captureUs - *originUs + 500) / 1000 * 1000;
    }
    RecorderState state() const override { return state_; }
    QString message() const override { return message_; }
    void setOutcomeHandler(std::function<void(const RecordingOutcome&)> handler) override
    {
        outcomeHandler = std::move(handler);
    }

    // The open file is finished: written whole, or not at all for `why`.
    void finish(const QString& why = QString())
    {
        RecordingOutcome o;
        o.path = filePath;
        o.recorded = why.isEmpty();
        o.message = why;
        o.frames = o.recorded ? int(fedCaptures.size()) : 0;
        state_ = RecorderState::Waiting;
        if (!o.recorded)
            originUs.reset();
        if (const auto handler = outcomeHandler)
            handler(o);
    }
    void makeUnavailable(const QString& why)
    {
        state_ = RecorderState::Unavailable;
        message_ = why;
    }

    QStringList calls;
    std::vector<qint64> fedCaptures;
    std::pair<int, int> lastFrameSize{0, 0};

private:
    RecorderState state_ = RecorderState::Waiting;
    QString message_;
    QString filePath;
    std::optional<qint64> originUs;
    std::function<void(const RecordingOutcome&)> outcomeHandler;
};
