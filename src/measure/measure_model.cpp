#include "measure/measure_model.h"

#include "common/number_forms.h"
#include "measure/marker_geometry.h"
#include "measure/pass_rules.h"
#include "measure/sample_reading.h"
#include "platform/clock.h"
#include "platform/hires_timer.h"

#include <utility>

namespace {
constexpr double kMarkerHalfLength = 400.0;
// Placed on the course, the line's second column stands on its right.
constexpr double kSecondColumn = 15.0;
// Put by a device, on its left.
constexpr double kDeviceSecondColumn = -15.0;

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
      lines_(initialMeasureLines()), devices(s.keys, s.joystick, view_.joystick),
      options(lines_, view_), files(s.clock), wall(s.clock), media(s.clock)
{
    connect(&media, &MediaPassClock::showFrameAt, this, &MeasureModel::videoFrameWanted);
    connect(&media, &MediaPassClock::playOn, this, &MeasureModel::videoPlayWanted);
}

MeasureModel::~MeasureModel() = default;

void MeasureModel::keepPassFilesIn(const QString& programFolder)
{
    files.keepIn(programFolder);
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
    wall.createTimer(s.timers);
    media.createTimer(s.timers);
    inputTimer->setEnabled(true);
    refreshTimer->setEnabled(true);
}

bool MeasureModel::clockCheckPending() const
{
    return clockTimer && clockTimer->enabled();
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
        centreLineX_ = options.jumpCentre();
        courseLength_ = kJumpCourseLength;
        pathLimit_ = options.jumpBoundary();
        view_.jumpPathsVisible = options.viewOnly();
    }
    if (calibration.complete)
        fitLineToCourse();
    if (const auto p = courseToScreen(calibration.transform, centreLineX_, startY)) {
        lines_.putMeasureLineAt(p->x, kSecondColumn);
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
        Q_EMIT startPassFocused();
    }

    if (const auto speed = speedLabelFor(r))
        pass.speedText = *speed;
    if (const auto line = lineLabelFor(r.lineLength))
        pass.lineText = *line;
    showRun(view_, r, options.viewOnly());
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
    if (media.hasFile())
        startPassOn(media);
    else
        startPassOn(wall);
}

bool MeasureModel::startPassOn(PassClock& clock)
{
    const RunInfo r = run();
    if (const auto tenths = passTenthsFor(r))
        pass.tenths = *tenths;
    // No speed was ever chosen: there is no pass length to time the samples by.
    if (pass.tenths <= 0)
        return false;
    // The clock first (its schedule, then its timer), then the pass's input ticks: every
    // other input tick falls due with a sample tick, and enabled first, the sample tick is
    // served first. No tick can run before this handler returns.
    if (const std::optional<QString> refusal = clock.prepare(*this)) {
        // A pass already running goes on as it was.
        Q_EMIT passNotRecorded(*refusal);
        return false;
    }
    if (clock_ && clock_ != &clock)
        clock_->stop();
    passInputTimer->setEnabled(false);
    passInputTimer->setPeriod(kInputTickMs);
    passInputTimer->setEnabled(true);
    inputTicks = 0;
    sampleTicks = 0;
    clock_ = &clock;
    aborted_ = false;
    sampleIndex_ = 0;
    heldLines_.clear();
    // Where the clock's own last sample marks the end of the pass's time, no check waits.
    clockTimer->setEnabled(false);
    if (const std::optional<int> checkMs = clock.timeCheckMs(pass.tenths)) {
        clockTimer->setPeriod(*checkMs);
        clockTimer->setEnabled(true);
    }
    view_.timeLabelVisible = false;
    view_.timeLabel = QStringLiteral("Time");
    view_.doneVisible = false;
    view_.startTime = timeOfDay(s.clock);
    drawBuoyAndCourseMarks(r);
    Q_EMIT passStarted();
    clock.takeFirstSamples();
    // After the start's own timing: the file costs the pass nothing but a later first tick.
    if (running())
        tell(files.passStarted(r, options.viewOnly()));
    changed();
    return true;
}

void MeasureModel::stopPass()
{
    aborted_ = true;
    stopTicks();
    tell(files.passOver());
    changed();
}

void MeasureModel::changed()
{
    // The hint tells the operator what starts the pass: shown during a pass, or after one
    // until the screen is armed again, it would say to click where a click does nothing.
    view_.mouseStartHintVisible = devices.useMouse() && awaitingStart_ && !running();
    Q_EMIT viewChanged();
}

void MeasureModel::tell(std::optional<QString> fileMessage)
{
    if (fileMessage)
        Q_EMIT fileNotWritten(*fileMessage);
}

void MeasureModel::stopTicks()
{
    if (passInputTimer)
        passInputTimer->setEnabled(false);
    if (PassClock* timing = std::exchange(clock_, nullptr)) {
        timing->stop();
        Q_EMIT passStopped();
    }
    wall.stop();
    media.stop();
}

void MeasureModel::computeLiveDeviation(bool snapInViewOnly, bool withMarkers)
{
    if (snapInViewOnly && options.viewOnly())
        lines_.putMeasureLineAt(lines_.boatMarker.x1 + kMarkerHalfLength, kSecondColumn);
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
    m.boatWidth = options.boatWidth();
    m.pathLimit = pathLimit;
    m.borderWidth = options.borderWidth();
    m.markerY = lines_.boatMarker.y1;
    m.mandatorySide = mandatorySide_;
    m.colours = options.boundaryColour();
    placeMarkers(calibration.transform, lines_, m);
}

void MeasureModel::drawBuoyAndCourseMarks(const RunInfo& r)
{
    Q_EMIT marksDrawn(buoyMarks(calibration, s.display.crossSize));
    ++redrawCounter;
    Q_EMIT marksDrawn(
        courseMarks(calibration.transform, s.display.crossSize, r.event, options.jumpCentre()));
}

void MeasureModel::inputTick()
{
    const int pressed = devices.stepKeys(lines_, span_);
    if (awaitingStart_)
        for (int k = 0; k < pressed; ++k)
            Q_EMIT startPassFocused();
    computeLiveDeviation(true, true);
    devices.pointLine(lines_);
    changed();
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
    if (!options.statusHidden())
        view_.timeLabelVisible = true;
    changed();
}

void MeasureModel::passInputTick()
{
    ++inputTicks;
    view_.inputTicks = QString::number(inputTicks);
    inputTick();
}

void MeasureModel::countSampleTick()
{
    ++sampleTicks;
    view_.sampleTicks = QString::number(sampleTicks);
}

void MeasureModel::takeLiveSample()
{
    const RunInfo r = run();
    const int i = sampleIndex_;
    view_.sample = QString::number(i);
    const double distance = sampleDistance(i, pass.tenths, courseLength_);
    view_.distance = QString::number(roundHalfUp(distance, 1), 'f', 1);
    if (i >= 0 && i < PassSamples::kCapacity)
        pass.samples.deviations[size_t(i)] = deviation_;
    // Where the deviation was read at the last input tick, before the marker moves on.
    Q_EMIT sampleTaken(i, lines_.measureLine.x1, lines_.boatMarker.y1);
    placeBoatMarker(distance, r.direction);
    mandatorySide_ = ::mandatorySide(i, pass.tenths, mandatorySide_, r.direction);
    sampleIndex_ = i + 1;
    drawBuoyAndCourseMarks(r);
    if (sampleIndex_ > pass.tenths)
        endPass(r);
    view_.markRedraws = QString::number(redrawCounter);
}

void MeasureModel::takeSampleAtItsInstant(std::optional<double> lineX)
{
    const RunInfo r = run();
    const int i = sampleIndex_;
    view_.sample = QString::number(i);
    const double distance = sampleDistance(i, pass.tenths, courseLength_);
    view_.distance = QString::number(roundHalfUp(distance, 1), 'f', 1);
    // The boat is at this sample's place at its instant, and the line is where the operator
    // holds it now: the deviation is read there, not at the last input tick on the place of
    // the sample before (which at twice the speed would be a whole frame behind).
    placeBoatMarker(distance, r.direction);
    if (lineX)
        lines_.putMeasureLineAt(*lineX, kDeviceSecondColumn);
    else
        devices.pointLine(lines_);
    computeLiveDeviation(true, true);
    heldLines_.push_back({lines_.measureLine.x1, lines_.boatMarker.y1});
    if (i >= 0 && i < PassSamples::kCapacity)
        pass.samples.deviations[size_t(i)] = deviation_;
    Q_EMIT sampleTaken(i, lines_.measureLine.x1, lines_.boatMarker.y1);
    mandatorySide_ = ::mandatorySide(i, pass.tenths, mandatorySide_, r.direction);
    sampleIndex_ = i + 1;
    drawBuoyAndCourseMarks(r);
    view_.markRedraws = QString::number(redrawCounter);
    if (sampleIndex_ > pass.tenths) {
        endPass(r);
        // The last sample's instant is the end of the pass's time on this clock.
        clockCheck();
    }
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
    pass.media = clock_->mediaPass();
    if (pass.media && heldLines_.size() == pass.media->sampleFramesUs.size())
        pass.media->sampleLines = heldLines_;
    pass.measured = true;
    awaitingStart_ = false;
    view_.endTime = timeOfDay(s.clock);
    if (!options.statusHidden())
        view_.doneVisible = true;
    stopTicks();
    tell(files.passOver());
    summarisePass(pass.samples, sampleIndex_);
    view_.sampleCount = QString::number(sampleIndex_);
    if (options.viewOnly()) {
        // Monitoring goes on with the boat's way back; jump is always watched coming in.
        Direction next = r.direction == Direction::Toward ? Direction::Away : Direction::Toward;
        if (r.event == Event::Jump)
            next = Direction::Toward;
        Q_EMIT directionChosen(next);
        arm();
        return;
    }
    changed();
    if (pass.media)
        tell(files.keepVideoPass(r, *pass.media));
    Q_EMIT passRecorded();
}

void MeasureModel::giveUpPass(const QString& why)
{
    aborted_ = true;
    stopTicks();
    tell(files.passOver());
    // Armed again at the entrance: the operator starts over on an earlier frame.
    arm();
    Q_EMIT passNotRecorded(why);
}

bool MeasureModel::mouseDown()
{
    if (!devices.useMouse() || running())
        return false;
    startPass();
    return true;
}

int MeasureModel::connectJoystick()
{
    const int code = devices.connectJoystick();
    changed();
    return code;
}

void MeasureModel::setLineColour(LineColour colour)
{
    options.setLineColour(colour);
    Q_EMIT startPassFocused();
    changed();
}

void MeasureModel::setLineStyle(LineStyle style)
{
    options.setLineStyle(style);
    Q_EMIT startPassFocused();
    changed();
}

void MeasureModel::setBoundaryColour(BoundaryColour colour)
{
    options.setBoundaryColour(colour);
    if (!isBoundaryScheme(colour))
        Q_EMIT startPassFocused();
    changed();
}

void MeasureModel::optionChosen()
{
    // A check box clicked between passes takes the keyboard; while armed, Enter must still
    // start the pass, as it does after an option or an arrow key.
    if (awaitingStart_)
        Q_EMIT startPassFocused();
    changed();
}

void MeasureModel::setViewOnly(bool viewOnly)
{
    options.setViewOnly(viewOnly, run().event);
    optionChosen();
}

void MeasureModel::setJumpPath(JumpPath path)
{
    options.setJumpPath(path);
    centreLineX_ = jumpPathCentre(path);
    Q_EMIT marksCleared();
    arm();
}

void MeasureModel::boundaryWidthEdited(const QString& text)
{
    if (options.boundaryWidthEdited(text))
        changed();
}

std::optional<QString> MeasureModel::boundaryWidthFinished(const QString& text)
{
    const std::optional<QString> replacement = options.boundaryWidthFinished(text);
    changed();
    return replacement;
}

void MeasureModel::jumpBoundaryEdited(const QString& text)
{
    if (options.jumpBoundaryEdited(text))
        pathLimit_ = options.jumpBoundary();
}

std::optional<QString> MeasureModel::jumpBoundaryFinished(const QString& text)
{
    const std::optional<QString> replacement = options.jumpBoundaryFinished(text);
    pathLimit_ = options.jumpBoundary();
    return replacement;
}
