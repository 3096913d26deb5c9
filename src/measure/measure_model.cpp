#include "measure/measure_model.h"

#include "common/number_forms.h"
#include "common/paths.h"
#include "measure/input_positioning.h"
#include "measure/pass_rules.h"
#include "measure/sample_reading.h"
#include "platform/clock.h"
#include "platform/hires_timer.h"
#include "platform/joystick.h"
#include "platform/key_state.h"

#include <algorithm>

namespace {
constexpr double kMarkerHalfLength = 400.0;
constexpr double kSecondColumn = 15.0;

QString timeOfDay(const Clock& clock)
{
    return clock.now().time().toString(QStringLiteral("HH:mm:ss"));
}

// Texts are compared before they are replaced, so an unchanged tick costs no allocation
// in the screen.
void setText(QString& field, const QString& text)
{
    if (field != text)
        field = text;
}
} // namespace

MeasureModel::MeasureModel(Services services)
    : s(std::move(services)), calibration(s.calibration), pass(s.pass),
      lines_(initialMeasureLines())
{
    view_.joystickStatus = joystickStatusText(kJoyErrParms);
}

MeasureModel::~MeasureModel()
{
    // The program ends with a pass running: the operator ended it, it was not lost.
    marker.passOver();
}

void MeasureModel::keepPassMarkers(const QString& programFolder)
{
    markerBase = programFolder;
}

void MeasureModel::markPassStarted(const RunInfo& r)
{
    if (!markerBase)
        return;
    // A view-only pass records nothing that a stop could lose.
    if (viewOnly_) {
        markPassOver();
        return;
    }
    const SpeedChoice* speed = r.speed();
    const PassMarkerInfo info{s.clock.now(), r.skier,
                              r.event == Event::Slalom ? QStringLiteral("Slalom")
                                                       : QStringLiteral("Jump"),
                              speed ? QString::fromLatin1(speed->caption) : QString()};
    const WriteResult written =
        marker.passStarted(absoluteResultsFolder(r.resultsFolder, *markerBase), info);
    if (written)
        markerFailureTold = false;
    else
        markerFailed(written.message);
}

void MeasureModel::markPassOver()
{
    if (const WriteResult removed = marker.passOver(); !removed)
        markerFailed(removed.message);
    if (!untoldMarkerFailure.isEmpty()) {
        const QString message = untoldMarkerFailure;
        untoldMarkerFailure.clear();
        markerFailureTold = true;
        s.listener.passMarkerNotWritten(
            message + QStringLiteral("\n\nPasses are measured as usual. Without this file, a "
                                     "pass lost because Wakeline stopped during it is not "
                                     "reported at the next start."));
    }
}

void MeasureModel::markerFailed(const QString& message)
{
    if (!markerFailureTold && untoldMarkerFailure.isEmpty())
        untoldMarkerFailure = message;
}

void MeasureModel::createTimers()
{
    auto make = [this](const char* role, int period, void (MeasureModel::*handler)()) {
        std::unique_ptr<HiResTimer> t = s.timers.create(QString::fromLatin1(role));
        t->setPeriod(period);
        t->setCallback([this, handler](qint64) { (this->*handler)(); });
        return t;
    };
    inputTimer = make("input", kInputTickMs, &MeasureModel::inputTick);
    refreshTimer = make("refresh", kRefreshMs, &MeasureModel::refreshMarks);
    clockTimer = make("clock check", int(kSamplePeriodMs), &MeasureModel::clockCheck);
    passInputTimer = make("pass input", kInputTickMs, &MeasureModel::passInputTick);
    sampleTimer = make("sample", int(kSamplePeriodMs), &MeasureModel::sampleTick);
    mediaWakeTimer = make("media wake", 1, &MeasureModel::mediaWake);
    inputTimer->setEnabled(true);
    refreshTimer->setEnabled(true);
}

double MeasureModel::jumpCentre() const
{
    return viewOnly_ ? jumpPathCentre(jumpPath) : kJumpCentreLineX;
}

double MeasureModel::boatWidth() const
{
    return leadingNumber(boatWidthText);
}

bool MeasureModel::clockCheckPending() const
{
    return clockTimer && clockTimer->enabled();
}

void MeasureModel::putMeasureLine(double x, double secondColumnOffset)
{
    lines_.measureLine.putAtX(x);
    lines_.measureLineColumn2.putAtX(x + secondColumnOffset);
}

void MeasureModel::arm()
{
    const RunInfo r = run();
    const double startY = r.direction == Direction::Toward ? 0.0 : -259.0;
    if (r.event == Event::Slalom) {
        centreLineX_ = kSlalomCentreLineX;
        courseLength_ = kSlalomCourseLength;
        pathLimit_ = kSlalomPathLimit;
        view_.jumpPathsVisible = false;
    } else {
        // The path choices only count when monitoring (view-only); a measured jump pass
        // is always judged against the split path.
        centreLineX_ = jumpCentre();
        courseLength_ = kJumpCourseLength;
        pathLimit_ = jumpBoundary_;
        view_.jumpPathsVisible = viewOnly_;
    }
    if (calibration.complete)
        fitLineToCourse();
    if (const auto p = courseToScreen(calibration.transform, centreLineX_, startY)) {
        putMeasureLine(p->x, kSecondColumn);
        LineRecord& h = lines_.boatMarker;
        h.x1 = p->x - kMarkerHalfLength;
        h.x2 = p->x + kMarkerHalfLength;
        h.y1 = h.y2 = p->y;
    }
    // The first input tick replaces the 0.2 m used here by the event's own limit.
    if (calibration.complete)
        placeAllMarkers(centreLineX_, startY, kSlalomPathLimit);
    redrawCounter = 0;
    if (calibration.complete) {
        awaitingStart_ = true;
        // Armed: Enter starts the pass at once, without an arrow key first.
        s.listener.focusStartButton();
    }

    if (const auto speed = speedLabelFor(r))
        pass.speedText = *speed;
    if (const auto line = lineLabelFor(r.lineLength))
        pass.lineText = *line;
    view_.driver = QStringLiteral("Driver: ") + r.driver;
    view_.boatMaker = QStringLiteral("Boat: ") + r.boatMaker;
    view_.skier = QStringLiteral("Skier: ") + r.skier;
    view_.boatModel = QStringLiteral("Model: ") + r.boatModel;
    if (r.event == Event::Slalom) {
        view_.eventTitle = QStringLiteral("Slalom");
        view_.jumpBoundaryVisible = false;
        view_.lineLengthVisible = !viewOnly_;
    } else {
        view_.eventTitle = QStringLiteral("Jump");
        view_.lineLengthVisible = false;
        view_.jumpBoundaryVisible = true;
    }
    drawBuoyAndCourseMarks(r);
    changed();
}

void MeasureModel::fitLineToCourse()
{
    const std::optional<LineSpan> fitted =
        measureLineSpan(calibration.transform, centreLineX_, courseLength_);
    // The same course keeps the upper end where the operator put it with the arrow keys.
    if (!fitted || *fitted == span_)
        return;
    span_ = *fitted;
    for (LineRecord* l : {&lines_.measureLine, &lines_.measureLineColumn2}) {
        l->y1 = span_.top;
        l->y2 = span_.bottom;
    }
    // The edge and boundary markers run from the same height down to the boat marker.
    for (LineRecord* l :
         {&lines_.leftEdge, &lines_.rightEdge, &lines_.leftBoundary, &lines_.rightBoundary})
        l->y1 = span_.top;
}

void MeasureModel::startPass()
{
    const RunInfo r = run();
    if (const auto tenths = passTenthsFor(r))
        pass.tenths = *tenths;
    // No speed was ever chosen: there is no pass length to time the samples by.
    if (pass.tenths <= 0)
        return;
    if (mediaFile) {
        startMediaPass(r);
        return;
    }
    // The pass starts now: the schedule first, then the timers (so no tick can come before
    // its sample is due, and none is owed for the time the rest of this takes). No tick can
    // run before this handler returns. Every other input tick falls due with a sample tick;
    // enabled first, the sample tick is served first.
    passInputTimer->setEnabled(false);
    sampleTimer->setEnabled(false);
    startMs = s.clock.monotonicMs();
    sampleTimer->setPeriod(int(kSamplePeriodMs));
    passInputTimer->setPeriod(kInputTickMs);
    sampleTimer->setEnabled(true);
    passInputTimer->setEnabled(true);
    count1 = 0;
    count2 = 0;
    running_ = true;
    aborted_ = false;

    computeLiveDeviation(false, false);
    sampleIndex_ = 0;
    clockTimer->setEnabled(false);
    clockTimer->setPeriod(int(kSamplePeriodMs) * pass.tenths);
    clockTimer->setEnabled(true);
    view_.timeLabelVisible = false;
    view_.timeLabel = QStringLiteral("Time");
    view_.doneVisible = false;
    view_.startTime = timeOfDay(s.clock);
    drawBuoyAndCourseMarks(r);
    takeDueSamples(); // sample 0 is due at the start itself
    // After the start's own timing: the file costs the pass nothing but a later first tick.
    markPassStarted(r);
    changed();
}

void MeasureModel::stopPass()
{
    aborted_ = true;
    stopTicks();
    markPassOver();
    changed();
}

void MeasureModel::changed()
{
    // The hint tells the operator what starts the pass: shown during a pass, or after one
    // until the screen is armed again, it would say to click where a click does nothing.
    view_.mouseStartHintVisible = useMouse && awaitingStart_ && !running_;
    s.listener.measureChanged();
}

void MeasureModel::stopTicks()
{
    if (passInputTimer)
        passInputTimer->setEnabled(false);
    if (sampleTimer)
        sampleTimer->setEnabled(false);
    if (mediaWakeTimer)
        mediaWakeTimer->setEnabled(false);
    schedule.stop();
    heldBack.clear();
    skippedFrameAsked = false;
    running_ = false;
    mediaPass_ = false;
}

void MeasureModel::computeLiveDeviation(bool snapInViewOnly, bool withMarkers)
{
    if (snapInViewOnly && viewOnly_)
        putMeasureLine(lines_.boatMarker.x1 + kMarkerHalfLength, kSecondColumn);
    const auto r =
        readLine(calibration.transform, lines_.measureLine.x1, lines_.boatMarker.y1, centreLineX_);
    if (!r)
        return; // on the picture's horizon: the last deviation stands
    deviation_ = r->deviation;
    setText(view_.deviation, format0_00(deviation_));
    if (withMarkers && calibration.complete)
        placeAllMarkers(r->course.x, r->course.y, pathLimit_);
}

void MeasureModel::placeAllMarkers(double courseX, double courseY, double pathLimit)
{
    MarkerPlacement m;
    m.courseX = courseX;
    m.courseY = courseY;
    m.centreLineX = centreLineX_;
    m.boatWidth = boatWidth();
    m.pathLimit = pathLimit;
    m.borderWidth = borderWidth_;
    m.markerY = lines_.boatMarker.y1;
    m.mandatorySide = mandatorySide_;
    m.colours = boundaryColour;
    placeMarkers(calibration.transform, lines_, m);
}

void MeasureModel::drawBuoyAndCourseMarks(const RunInfo& r)
{
    s.listener.drawMarks(buoyMarks(calibration, s.display.crossSize));
    ++redrawCounter;
    s.listener.drawMarks(
        courseMarks(calibration.transform, s.display.crossSize, r.event, jumpCentre()));
}

void MeasureModel::inputTick()
{
    for (ArrowKey k : {ArrowKey::Left, ArrowKey::Up, ArrowKey::Right, ArrowKey::Down}) {
        if (!s.keys.poll(k))
            continue;
        keyboardStep(lines_, k, span_);
        if (awaitingStart_)
            s.listener.focusStartButton();
    }
    computeLiveDeviation(true, true);
    pointLine();
    changed();
}

void MeasureModel::pointLine()
{
    const JoystickReading joy = s.joystick.poll();
    if (joy.status != lastJoyStatus) {
        lastJoyStatus = joy.status;
        view_.joystickStatus = joystickStatusText(joy.status);
    }
    if (joy.status == kJoyNoError) {
        setText(view_.joystickX, QString::number(joy.x));
        setText(view_.joystickY, QString::number(joy.y));
        putMeasureLine(joystickLineX(joy.x, joyCentreX, lines_.boatMarker.x1), -kSecondColumn);
    }
    if (useMouse)
        putMeasureLine(mouseX, -kSecondColumn);
}

void MeasureModel::refreshMarks()
{
    if (calibration.complete)
        drawBuoyAndCourseMarks(run());
}

void MeasureModel::clockCheck()
{
    clockTimer->setEnabled(false);
    // The samples taken against the clock's time for the pass. The last sample falls due
    // at the same instant as this check and its tick comes first, so no later sample tick
    // would ever show the count: it is shown here. An aborted pass has no count to show.
    if (!aborted_)
        view_.timeLabel = QString::number(sampleIndex_);
    if (!statusHidden_)
        view_.timeLabelVisible = true;
    changed();
}

void MeasureModel::passInputTick()
{
    ++count1;
    view_.inputTicks = QString::number(count1);
    inputTick();
}

void MeasureModel::sampleTick()
{
    ++count2;
    view_.sampleTicks = QString::number(count2);
    takeDueSamples();
    changed();
}

void MeasureModel::takeDueSamples()
{
    if (!running_)
        return;
    const RunInfo r = run();
    const qint64 now = s.clock.monotonicMs();
    // Every sample whose time has come, each once: a late wake-up catches up, and the
    // next wake-up finds the next sample on its own schedule.
    while (running_ && startMs + qint64(sampleIndex_) * kSamplePeriodMs <= now)
        takeSample(r);
}

void MeasureModel::takeSample(const RunInfo& r)
{
    const int i = sampleIndex_;
    view_.sample = QString::number(i);
    const double distance = sampleDistance(i, pass.tenths, courseLength_);
    view_.distance = QString::number(roundHalfUp(distance, 1), 'f', 1);
    if (i >= 0 && i < PassSamples::kCapacity)
        pass.samples.deviations[size_t(i)] = deviation_;
    placeBoatMarker(distance, r.direction);
    mandatorySide_ = ::mandatorySide(i, pass.tenths, mandatorySide_, r.direction);
    sampleIndex_ = i + 1;
    drawBuoyAndCourseMarks(r);
    if (sampleIndex_ > pass.tenths)
        endPass(r);
    view_.markRedraws = QString::number(redrawCounter);
}

void MeasureModel::placeBoatMarker(double distance, Direction direction)
{
    if (const auto p = boatMarkerPoint(calibration.transform, centreLineX_, distance, direction)) {
        LineRecord& h = lines_.boatMarker;
        h.x1 = p->x - kMarkerHalfLength;
        h.x2 = p->x + kMarkerHalfLength;
        h.y1 = h.y2 = p->y;
    }
}

void MeasureModel::endPass(const RunInfo& r)
{
    if (mediaPass_)
        pass.media = MediaPass{mediaFile ? mediaFile->path : QString(), schedule.passStartUs(),
                               schedule.sampleFrames()};
    else
        pass.media.reset();
    pass.measured = true;
    awaitingStart_ = false;
    view_.endTime = timeOfDay(s.clock);
    if (!statusHidden_)
        view_.doneVisible = true;
    stopTicks();
    markPassOver();
    summarisePass(pass.samples, sampleIndex_);
    view_.sampleCount = QString::number(sampleIndex_);
    if (viewOnly_) {
        // Monitoring goes on with the boat's way back; jump is always watched coming in.
        Direction next = r.direction == Direction::Toward ? Direction::Away : Direction::Toward;
        if (r.event == Event::Jump)
            next = Direction::Toward;
        s.listener.setDirection(next);
        arm();
        return;
    }
    changed();
    s.listener.passRecorded();
}

void MeasureModel::setMediaFile(const std::optional<MediaClockFile>& file)
{
    if (mediaPassRunning())
        giveUpMediaPass(
            QStringLiteral("The video was replaced during the pass, after %1 of %2 samples: the "
                           "pass was not recorded.")
                .arg(sampleIndex_)
                .arg(pass.tenths + 1));
    mediaFile = file;
    // A new video has a clock of its own: nothing of the last one's frames carries over.
    schedule = MediaSampleSchedule();
    heldBack.clear();
}

void MeasureModel::startMediaPass(const RunInfo& r)
{
    const MediaSampleSchedule::Start start =
        schedule.start(pass.tenths, mediaFile->durationUs, s.clock.monotonicMs());
    if (!start.started) {
        // A pass already running goes on as it was.
        s.listener.passNotRecorded(start.refusal);
        return;
    }
    passInputTimer->setEnabled(false);
    sampleTimer->setEnabled(false);
    mediaWakeTimer->setEnabled(false);
    heldBack.clear();
    skippedFrameAsked = false;
    startMs = s.clock.monotonicMs();
    passInputTimer->setPeriod(kInputTickMs);
    passInputTimer->setEnabled(true);
    count1 = 0;
    count2 = 0;
    running_ = true;
    mediaPass_ = true;
    aborted_ = false;
    sampleIndex_ = 0;
    // The pass's time is the video's: its end is checked when the video gets there.
    clockTimer->setEnabled(false);
    view_.timeLabelVisible = false;
    view_.timeLabel = QStringLiteral("Time");
    view_.doneVisible = false;
    view_.startTime = timeOfDay(s.clock);
    drawBuoyAndCourseMarks(r);
    takeMediaSamples(start.due); // sample 0, on the frame the operator started on
    afterMediaEvent();
    if (mediaPassRunning())
        markPassStarted(r);
    changed();
}

void MeasureModel::mediaFrameShown(qint64 startUs, qint64 durationUs)
{
    // Samples held back for the previous frame belong to it: taken before this one counts.
    takeHeldBackSamples();
    const std::vector<int> due = schedule.frameShown(startUs, durationUs, s.clock.monotonicMs());
    // Instants that this frame passed lay on the previous one: taken now, with the line where
    // the operator held it over that frame. Instants on this frame are taken once the frame
    // has reached the screen and the operator has seen it, not in the middle of its delivery.
    std::vector<int> passed;
    for (int i : due) {
        const bool onThisFrame = size_t(i) < schedule.sampleFrames().size() &&
                                 schedule.sampleFrames()[size_t(i)] == startUs;
        (onThisFrame ? heldBack : passed).push_back(i);
    }
    takeMediaSamples(passed);
    afterMediaEvent();
}

void MeasureModel::mediaPlaying(double rate)
{
    videoPlaying = true;
    takeHeldBackSamples();
    takeMediaSamples(schedule.playing(rate, s.clock.monotonicMs()));
    afterMediaEvent();
}

void MeasureModel::mediaPaused()
{
    videoPlaying = false;
    takeHeldBackSamples();
    takeMediaSamples(schedule.paused(s.clock.monotonicMs()));
    afterMediaEvent();
}

void MeasureModel::mediaSeeked()
{
    if (ownSeeks > 0) {
        --ownSeeks; // to a frame the player skipped: part of the pass
        return;
    }
    heldBack.clear();
    schedule.seeked();
    afterMediaEvent();
}

void MeasureModel::mediaEnded()
{
    videoPlaying = false;
    takeHeldBackSamples();
    takeMediaSamples(schedule.endOfMedia(s.clock.monotonicMs()));
    afterMediaEvent();
}

void MeasureModel::mediaWake()
{
    mediaWakeTimer->setEnabled(false);
    takeHeldBackSamples();
    takeMediaSamples(schedule.advance(s.clock.monotonicMs()));
    afterMediaEvent();
}

void MeasureModel::takeHeldBackSamples()
{
    std::vector<int> due;
    due.swap(heldBack);
    takeMediaSamples(due);
}

void MeasureModel::takeMediaSamples(const std::vector<int>& due)
{
    if (due.empty() || !mediaPassRunning())
        return;
    ++count2;
    view_.sampleTicks = QString::number(count2);
    const RunInfo r = run();
    for (int i : due) {
        if (!mediaPassRunning() || i != sampleIndex_)
            break;
        takeMediaSample(r);
    }
    changed();
}

void MeasureModel::takeMediaSample(const RunInfo& r)
{
    const int i = sampleIndex_;
    view_.sample = QString::number(i);
    const double distance = sampleDistance(i, pass.tenths, courseLength_);
    view_.distance = QString::number(roundHalfUp(distance, 1), 'f', 1);
    // The boat is at this sample's place at its instant, and the line is where the operator
    // holds it now: the deviation is read there, not at the last input tick on the place of
    // the sample before (which at twice the speed would be a whole frame behind).
    placeBoatMarker(distance, r.direction);
    pointLine();
    computeLiveDeviation(true, true);
    if (i >= 0 && i < PassSamples::kCapacity)
        pass.samples.deviations[size_t(i)] = deviation_;
    mandatorySide_ = ::mandatorySide(i, pass.tenths, mandatorySide_, r.direction);
    sampleIndex_ = i + 1;
    drawBuoyAndCourseMarks(r);
    view_.markRedraws = QString::number(redrawCounter);
    if (sampleIndex_ > pass.tenths) {
        endPass(r);
        // The last sample's instant is the end of the pass's time on the video's clock.
        clockCheck();
    }
}

void MeasureModel::afterMediaEvent()
{
    if (mediaPassRunning() && schedule.state() == MediaSampleSchedule::State::Aborted) {
        giveUpMediaPass(schedule.abortMessage());
        return;
    }
    if (mediaPassRunning()) {
        if (const std::optional<qint64> skipped = schedule.skippedInstant()) {
            // The player fell behind and never showed the frame holding the next instant: it
            // shows that frame now, so that the sample is taken on it like every other.
            if (!skippedFrameAsked) {
                skippedFrameAsked = true;
                playAfterSkippedFrame = videoPlaying;
                ++ownSeeks;
                s.listener.showVideoAt(*skipped);
            }
        } else if (skippedFrameAsked) {
            skippedFrameAsked = false;
            if (playAfterSkippedFrame)
                s.listener.playVideo();
        }
    }
    if (!mediaWakeTimer)
        return;
    std::optional<qint64> wakeInMs;
    if (mediaPassRunning())
        wakeInMs = heldBack.empty() ? schedule.msUntilNextDue(s.clock.monotonicMs()) : 1;
    mediaWakeTimer->setEnabled(false);
    if (wakeInMs) {
        mediaWakeTimer->setPeriod(int(std::max<qint64>(*wakeInMs, 1)));
        mediaWakeTimer->setEnabled(true);
    }
}

void MeasureModel::giveUpMediaPass(const QString& why)
{
    aborted_ = true;
    stopTicks();
    markPassOver();
    // Armed again at the entrance: the operator starts over on an earlier frame.
    arm();
    s.listener.passNotRecorded(why);
}

void MeasureModel::mouseMoved(double xTwips)
{
    mouseX = mouseTwips(xTwips);
}

bool MeasureModel::mouseDown()
{
    if (!useMouse || running_)
        return false;
    startPass();
    return true;
}

int MeasureModel::connectJoystick()
{
    const int code = s.joystick.detect();
    if (code == kJoyNoError) {
        const JoystickReading joy = s.joystick.poll();
        view_.joystickX = QString::number(joy.x);
        view_.joystickY = QString::number(joy.y);
        joyCentreX = joy.x;
        lastJoyStatus = joy.status;
    } else {
        lastJoyStatus = code;
    }
    view_.joystickStatus = joystickStatusText(lastJoyStatus);
    changed();
    return code;
}

void MeasureModel::setLineColour(LineColour colour)
{
    const Rgb c = lineColourRgb(colour);
    for (LineRecord* l : {&lines_.measureLine, &lines_.measureLineColumn2, &lines_.boatMarker,
                          &lines_.leftEdge, &lines_.rightEdge})
        l->colour = c;
    s.listener.focusStartButton();
    changed();
}

void MeasureModel::setLineStyle(LineStyle style)
{
    lines_.measureLine.style = style;
    lines_.measureLineColumn2.style = style;
    s.listener.focusStartButton();
    changed();
}

void MeasureModel::setBoundaryColour(BoundaryColour colour)
{
    boundaryColour = colour;
    if (const auto single = boundaryColourRgb(colour)) {
        lines_.leftBoundary.colour = *single;
        lines_.rightBoundary.colour = *single;
        view_.redGreenLegendVisible = false;
        view_.blackYellowLegendVisible = false;
        s.listener.focusStartButton();
    } else {
        view_.redGreenLegendVisible = colour == BoundaryColour::RedGreen;
        view_.blackYellowLegendVisible = colour == BoundaryColour::BlackYellow;
    }
    changed();
}

void MeasureModel::keepStartReady()
{
    // A check box clicked between passes takes the keyboard; while armed, Enter must still
    // start the pass, as it does after an option or an arrow key.
    if (awaitingStart_)
        s.listener.focusStartButton();
}

void MeasureModel::setThinLine(bool thin)
{
    lines_.measureLineColumn2.visible = !thin;
    lines_.leftEdge.width = thin ? 1 : 2;
    lines_.rightEdge.width = thin ? 1 : 2;
    keepStartReady();
    changed();
}

void MeasureModel::setStatusHidden(bool hidden)
{
    statusHidden_ = hidden;
    view_.timeLabelVisible = !hidden;
    view_.doneVisible = !hidden;
    changed();
}

void MeasureModel::setViewOnly(bool viewOnly)
{
    viewOnly_ = viewOnly;
    const bool jump = run().event == Event::Jump;
    if (viewOnly) {
        view_.lineLengthVisible = false;
        view_.jumpPathsVisible = jump;
        view_.jumpBoundaryVisible = jump;
    } else {
        view_.lineLengthVisible = !jump;
        view_.jumpPathsVisible = false;
        view_.jumpBoundaryVisible = false;
    }
    keepStartReady();
    changed();
}

void MeasureModel::setUseMouse(bool on)
{
    useMouse = on;
    keepStartReady();
    changed();
}

void MeasureModel::setEdgeMarkers(bool on)
{
    lines_.leftEdge.visible = on;
    lines_.rightEdge.visible = on;
    keepStartReady();
    changed();
}

void MeasureModel::setPathMarkers(bool on)
{
    lines_.leftBoundary.visible = on;
    lines_.rightBoundary.visible = on;
    keepStartReady();
    changed();
}

void MeasureModel::setJumpPath(JumpPath path)
{
    jumpPath = path;
    centreLineX_ = jumpPathCentre(path);
    s.listener.clearMarks();
    arm();
}

void MeasureModel::applyBoundaryWidth(double value)
{
    view_.styleLegendVisible = value == 1.0; // the dashed style only shows on one-pixel lines
    borderWidth_ = int(roundHalfEven(value));
    lines_.leftBoundary.width = borderWidth_;
    lines_.rightBoundary.width = borderWidth_;
    changed();
}

void MeasureModel::boundaryWidthEdited(const QString& text)
{
    if (const auto v = valueWhileTyping(text, kBoundaryWidthRule))
        applyBoundaryWidth(*v);
}

std::optional<QString> MeasureModel::boundaryWidthFinished(const QString& text)
{
    const FinishedEntry e = finishEntry(text, kBoundaryWidthRule);
    applyBoundaryWidth(e.value);
    return e.replacement;
}

void MeasureModel::applyJumpBoundary(double value)
{
    jumpBoundary_ = value;
    pathLimit_ = value;
}

void MeasureModel::jumpBoundaryEdited(const QString& text)
{
    if (const auto v = valueWhileTyping(text, kJumpBoundaryRule))
        applyJumpBoundary(*v);
}

std::optional<QString> MeasureModel::jumpBoundaryFinished(const QString& text)
{
    const FinishedEntry e = finishEntry(text, kJumpBoundaryRule);
    applyJumpBoundary(e.value);
    return e.replacement;
}
