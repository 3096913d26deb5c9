#include "calibration/calibration_session.h"

#include "calibration/calibration_checks.h"
#include "calibration/geometry_checks.h"
#include "calibration/screen_activation.h"
#include "calibration/setup_completion.h"
#include "calibration/setup_file.h"
#include "common/number_forms.h"
#include "common/paths.h"
#include "common/text_file.h"
#include "platform/clock.h"

#include <QDir>
#include <cmath>

namespace {

const QString kLoadFilter =
    QStringLiteral("All Files (*.*)|*.*|Text Files (*.TXT)|*.TXT|Parameter Files (*.ipt)|*.ipt|");
const QString kSaveFilter =
    QStringLiteral("All Files (*.*)|*.*|Text Files (*.TXT)|*.TXT|Parameter Files (*.IPT)|*.IPT|");
constexpr int kParameterFilesEntry = 3;
const QString kInvalidPathMessage = QStringLiteral("Invalid path, change in configuration screen");

// The boxes as the screen first shows them: no marks, the slalom course's survey values as
// plain numbers, the jump boxes naming themselves.
CoordinateTexts firstBoxTexts()
{
    CoordinateTexts t;
    t[Buoy::UpperLeft].surveyX = QStringLiteral("2.5");
    t[Buoy::UpperLeft].surveyY = QStringLiteral("0");
    t[Buoy::UpperRight].surveyX = QStringLiteral("0");
    t[Buoy::UpperRight].surveyY = QStringLiteral("0");
    t[Buoy::LowerLeft].surveyX = QStringLiteral("2.5");
    t[Buoy::LowerLeft].surveyY = QStringLiteral("-259");
    t[Buoy::LowerRight].surveyX = QStringLiteral("0");
    t[Buoy::LowerRight].surveyY = QStringLiteral("-259");
    return t;
}

// The text of one box, for reading or writing.
template <typename Texts> auto& textOf(Texts& t, CoordinateBox box)
{
    switch (box.kind) {
    case BoxKind::ScreenX:
        return t[box.buoy].screenX;
    case BoxKind::ScreenY:
        return t[box.buoy].screenY;
    case BoxKind::SurveyX:
        return t[box.buoy].surveyX;
    case BoxKind::SurveyY:
        return t[box.buoy].surveyY;
    case BoxKind::JumpX:
        return t.jumpX;
    case BoxKind::JumpY:
        break;
    }
    return t.jumpY;
}

bool isScreenBox(CoordinateBox box)
{
    return box.kind == BoxKind::ScreenX || box.kind == BoxKind::ScreenY;
}

// Every box, in the order the screen makes them.
std::array<CoordinateBox, 18> allBoxes()
{
    std::array<CoordinateBox, 18> boxes{};
    size_t i = 0;
    for (BoxKind kind : {BoxKind::ScreenX, BoxKind::ScreenY, BoxKind::SurveyX, BoxKind::SurveyY})
        for (Buoy b : kBuoyVisitOrder)
            boxes[i++] = {kind, b};
    boxes[i++] = {BoxKind::JumpX};
    boxes[i] = {BoxKind::JumpY};
    return boxes;
}

} // namespace

CalibrationSession::CalibrationSession(Services services, QObject* parent)
    : QObject(parent), calibration_(services.calibration), slots_(services.slots),
      display_(services.display), run_(services.run), clock_(services.clock),
      programFolder_(services.programFolder), boxes_(firstBoxTexts())
{
    slots_.current = 1;
    slots_.count = 1;
    for (Buoy b : kBuoyVisitOrder)
        calibration_.mark(b) = {};
    calibration_.complete = false;
    for (auto& buoy : screenBoxes_)
        buoy = {ScreenBoxState{kUnmarkedText}, ScreenBoxState{kUnmarkedText}};
    QDir::setCurrent(programFolder_);
}

QString CalibrationSession::boxText(CoordinateBox box) const
{
    return textOf(boxes_, box);
}

QString CalibrationSession::gridCaption() const
{
    return ::gridCaption(slots_.current);
}

CalibrationSession::ScreenBoxState& CalibrationSession::screenBox(CoordinateBox box)
{
    return screenBoxes_[size_t(box.buoy)][box.kind == BoxKind::ScreenX ? 0 : 1];
}

// ---- boxes and their change rule --------------------------------------------------------

void CalibrationSession::applyChangeRule(CoordinateBox box, const QString& text)
{
    applyCoordinateChange(calibration_, box, text);
    showComplete(false);
}

void CalibrationSession::writeBox(CoordinateBox box, const QString& text)
{
    if (isScreenBox(box))
        screenBox(box) = {text, false};
    QString& shown = textOf(boxes_, box);
    // A write that changes nothing runs no change rule, as with the box itself.
    if (shown == text)
        return;
    shown = text;
    applyChangeRule(box, text);
}

void CalibrationSession::writeBoxes(const CoordinateTexts& texts)
{
    for (CoordinateBox box : allBoxes())
        writeBox(box, textOf(texts, box));
    Q_EMIT boxesChanged();
}

void CalibrationSession::editBox(CoordinateBox box, const QString& text)
{
    QString& shown = textOf(boxes_, box);
    if (shown == text)
        return;
    shown = text;
    if (isScreenBox(box))
        screenBox(box).typed = true;
    applyChangeRule(box, text);
}

void CalibrationSession::writeSetupLines(const QString& file, const QString& description)
{
    setupFile_ = file;
    description_ = description;
    Q_EMIT setupLinesChanged();
}

void CalibrationSession::finishTypedMark(CoordinateBox box)
{
    if (!isScreenBox(box) || !screenBox(box).typed)
        return;
    screenBox(box).typed = false;
    const QString typed = boxText(box);
    if (const auto value = typedScreenCoordinate(typed)) {
        showMarks(placeTypedMark(calibration_, box, *value, locked_, crossSize()));
        return;
    }
    writeBox(box, screenBox(box).shown);
    Q_EMIT boxesChanged();
    warn(notAScreenPositionMessage(box, typed), kGridSetupErrorTitle);
}

void CalibrationSession::commitTypedMarks()
{
    for (Buoy b : kBuoyVisitOrder)
        for (BoxKind kind : {BoxKind::ScreenX, BoxKind::ScreenY})
            finishTypedMark({kind, b});
}

void CalibrationSession::showComplete(bool complete)
{
    if (complete == shownComplete_)
        return;
    shownComplete_ = complete;
    Q_EMIT completeChanged(complete);
}

// ---- marking, lock, cross size ----------------------------------------------------------

CrossSize CalibrationSession::crossSize() const
{
    return {display_.crossSize, CrossSizeScroll::Max, circleRadius_};
}

void CalibrationSession::showMarks(const MarkResult& result)
{
    Q_EMIT marksDrawn(result.shapes);
    for (const MarkMove& m : result.moved) {
        writeBox({BoxKind::ScreenX, m.buoy}, strForm(m.mark.x));
        writeBox({BoxKind::ScreenY, m.buoy}, strForm(m.mark.y));
    }
    Q_EMIT boxesChanged();
}

void CalibrationSession::markAt(std::optional<Buoy> selected, Point2 at)
{
    if (!selected)
        return;
    // On a scaled picture a click falls between twips; a whole twip (a fifteenth of a picture
    // pixel) keeps the boxes and the setup file readable and loses nothing a click can aim at.
    const Point2 click{std::round(at.x), std::round(at.y)};
    showMarks(markBuoy(calibration_, selected, locked_, click, crossSize()));
}

void CalibrationSession::nudge(std::optional<Buoy> selected, AdjustDirection direction)
{
    showMarks(microAdjust(calibration_, selected, locked_, direction, crossSize()));
}

void CalibrationSession::setGridLocked(bool locked)
{
    commitTypedMarks();
    if (locked && !canLockGrid(boxes_)) {
        Q_EMIT message(kCannotLockMessage, QString(), MessageIcon::None);
        locked = false;
    }
    locked_ = locked;
    Q_EMIT gridLockChanged(locked_);
}

void CalibrationSession::unlockGrid()
{
    locked_ = false;
    Q_EMIT gridLockChanged(false);
}

void CalibrationSession::setCrossSize(int crossSize)
{
    display_.crossSize = crossSize;
}

void CalibrationSession::setCircleRadius(double radius)
{
    circleRadius_ = radius;
}

// ---- activation, journal, messages --------------------------------------------------------

void CalibrationSession::activate()
{
    const std::vector<BoxWrite> writes =
        surveyDefaults(run_.event, boxText({BoxKind::SurveyX, Buoy::UpperLeft}));
    for (const BoxWrite& w : writes) {
        writeBox(w.box, w.text);
        calibration_.complete = false;
    }
    if (!writes.empty())
        Q_EMIT boxesChanged();
    reportWriteFailures(appendSessionHeaders(run_.resultsFolder, programFolder_, clock_.now()));
}

void CalibrationSession::warn(const QString& text, const QString& title)
{
    Q_EMIT message(text, title, MessageIcon::Warning);
}

void CalibrationSession::reportWriteFailures(const QStringList& failures)
{
    if (!failures.isEmpty())
        warn(failures.join('\n'), kGridSetupTitle);
}

void CalibrationSession::appendJournal(JournalForm form)
{
    const QString path = resultsFilePath(run_.resultsFolder, kJournalFileName, programFolder_);
    const WriteResult r = appendText(
        path, journalBlock(clock_.now(), setupFile_, description_, slots_.current, boxes_, form));
    if (!r)
        reportWriteFailures({r.message});
}

bool CalibrationSession::enterProgramFolder()
{
    if (QDir::setCurrent(programFolder_))
        return true;
    warn(kInvalidPathMessage);
    return false;
}

// ---- files ---------------------------------------------------------------------------------

std::optional<FileDialogRequest> CalibrationSession::startLoad()
{
    unlockGrid();
    if (!enterProgramFolder())
        return std::nullopt;
    return FileDialogRequest{QStringLiteral("Load Setup Data File"), kLoadFilter,
                             kParameterFilesEntry, programFolder_, false};
}

bool CalibrationSession::loadSetup(const QString& path, int pictureWidthPixels)
{
    const SetupFileRead read = readSetupFile(path);
    if (!read.data) {
        warn(setupFileProblemMessage(path, read.problem), kErrorMessageTitle);
        return false;
    }
    const SetupCheck checked = checkSetup(*read.data);
    if (!checked.data) {
        warn(setupFileProblemMessage(path, checked.problem), kErrorMessageTitle);
        return false;
    }
    writeSetupLines(path, checked.data->description);
    writeBoxes(boxTextsFor(*checked.data));
    // After the box writes, so the values are the file's own to the last bit.
    applyLoadedSetup(calibration_, slots_, *checked.data, path);
    appendJournal(JournalForm::Twips);
    Q_EMIT drawingCleared();
    // Said over the loaded boxes, before the perspective check's own warning.
    if (checked.replaced)
        warn(coefficientsSolvedAgainMessage(path, *checked.replaced), kErrorMessageTitle);
    if (const auto warning = checkPerspective(calibration_, pictureWidthPixels, boxes_))
        Q_EMIT message(*warning, QString(), MessageIcon::None);
    showComplete(true);
    Q_EMIT gridChanged();
    return true;
}

std::optional<FileDialogRequest> CalibrationSession::startSave()
{
    commitTypedMarks();
    if (!currentSlotHoldsCalibration(slots_)) {
        warn(nothingToSaveMessage(slots_.current), kGridSetupErrorTitle);
        return std::nullopt;
    }
    unlockGrid();
    if (!enterProgramFolder())
        return std::nullopt;
    return FileDialogRequest{QStringLiteral("Save Data Setup File"), kSaveFilter,
                             kParameterFilesEntry, programFolder_, true};
}

void CalibrationSession::saveSetup(const QString& path, const QString& description)
{
    SetupFileData data = workingData(calibration_, slots_.current);
    data.savedPath = path;
    data.description = description;
    const WriteResult written = writeSetupFile(path, data);
    if (!written) {
        warn(written.message + QStringLiteral(" The setup has not been saved."), kGridSetupTitle);
        return;
    }
    storeSavedSetup(slots_, data, path);
    writeSetupLines(path, description);
}

// ---- Complete, grid selection, leaving -------------------------------------------------------

void CalibrationSession::complete()
{
    commitTypedMarks();
    const CompletionResult r =
        completeSetup(calibration_, slots_, boxes_, setupFile_, description_);
    if (r.ok) {
        QDir::setCurrent(programFolder_);
        showComplete(true);
        // The solved calibration went into slot 1, which is now the current one.
        Q_EMIT gridChanged();
        Q_EMIT drawingCleared();
    } else {
        warn(r.message, kErrorMessageTitle);
    }
    appendJournal(JournalForm::Pixels);
}

void CalibrationSession::selectNextGrid()
{
    Q_EMIT drawingCleared();
    const int slot = ::selectNextGrid(slots_);
    Q_EMIT gridChanged();
    writeBoxes(slotBoxTexts(slots_, slot));
    const SetupFileData shown = slotData(slots_, slot);
    writeSetupLines(shown.savedPath, shown.description);
    // After the box writes, whose change rule marks the calibration incomplete.
    const bool complete = selectSlot(calibration_, slots_, slot);
    if (complete)
        QDir::setCurrent(programFolder_);
    showComplete(complete);
}

void CalibrationSession::leave()
{
    if (!calibration_.complete)
        return;
    restoreSlot(calibration_, slots_, 1);
    Q_EMIT gridChanged();
    Q_EMIT courseSidesDrawn(exitShapes(calibration_));
}
