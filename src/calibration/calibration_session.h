#pragma once
// The calibration screen without its widgets: the eighteen coordinate boxes and the setup
// file's two lines as the operator sees them, the buoy marks, the grid lock, the grid slots,
// loading and saving setup files, "Complete", the calibration journal and the day logs'
// header lines. The screen forwards what the operator does, asks the file dialog and the
// questions, and shows what the session announces; every message the operator is to read
// comes out of message().

#include "calibration/buoy_marking.h"
#include "calibration/calibration.h"
#include "calibration/calibration_journal.h"
#include "calibration/display_settings.h"
#include "calibration/grid_slots.h"
#include "common/overlay.h"
#include "common/run_info.h"
#include "platform/file_dialog.h"
#include "platform/message_boxes.h"

#include <QObject>
#include <QString>
#include <array>
#include <optional>

class Clock;

// The calibration screen's title, which its own messages carry.
inline const QString kGridSetupTitle = QStringLiteral("Grid Setup");
inline const QString kGridSetupErrorTitle = QStringLiteral("Grid Setup Error");
// What the setup file line shows before a file is loaded or saved.
inline const QString kNoSetupFileText = QStringLiteral("No File");
// Asked before leaving with the calibration not complete.
inline const QString kLeaveIncompleteQuestion =
    QStringLiteral("Do you want to leave the grid setup with the grid setup not complete?");
// Asked after the file is chosen for a save.
inline const QString kSetupDescriptionPrompt = QStringLiteral("Enter descriptive line about grid");
inline const QString kSetupDescriptionTitle = QStringLiteral("Grid Description");

class CalibrationSession : public QObject
{
    Q_OBJECT
public:
    // The state owners it works on and the services it uses.
    struct Services
    {
        Calibration& calibration;
        GridSlots& slots;
        DisplaySettings& display;
        const RunInfo& run; // the run particulars, read when needed
        Clock& clock;
        const QString& programFolder;
    };

    // A session starts as the screen first opens: grid 1 of 1, no marks, not complete, the
    // program folder the working folder, the boxes with their first texts.
    explicit CalibrationSession(Services services, QObject* parent = nullptr);

    // ---- what the screen shows ----
    const CoordinateTexts& boxes() const { return boxes_; }
    QString boxText(CoordinateBox box) const;
    // The setup file's path and its description line.
    const QString& setupFile() const { return setupFile_; }
    const QString& setupDescription() const { return description_; }
    // The grid selector's caption: "Grid 1", "Grid 2".
    QString gridCaption() const;
    bool gridLocked() const { return locked_; }
    // Whether the setup is shown complete (the smiley and the accuracy check) or not.
    bool shownComplete() const { return shownComplete_; }
    // The calibration in use is complete (setup_ok).
    bool isComplete() const { return calibration_.complete; }
    // cross_radius: the radius of the circles now drawn around the marks, which moving a mark
    // erases with it.
    double circleRadius() const { return circleRadius_; }

    const Calibration& calibration() const { return calibration_; }
    const GridSlots& gridSlots() const { return slots_; }
    const RunInfo& run() const { return run_; }
    Clock& clock() const { return clock_; }
    const QString& programFolder() const { return programFolder_; }

    // ---- what the operator does ----
    // Each time the screen becomes active: the survey boxes take the event's standard course,
    // and both day logs get a header line.
    void activate();

    // The operator changed a box's text (typing, not a program write): its change rule runs.
    // A typed screen coordinate moves its mark only once the edit is finished.
    void editBox(CoordinateBox box, const QString& text);
    // The operator changed the setup file's lines.
    void editSetupFile(const QString& text) { setupFile_ = text; }
    void editSetupDescription(const QString& text) { description_ = text; }
    // The operator is done with a screen box: a typed number moves the mark, anything else
    // puts back what the box showed, with a warning. Nothing when the box was not typed in.
    void finishTypedMark(CoordinateBox box);
    // Finishes every screen box still being typed in, so that what is solved, saved, locked
    // or journalled is what the boxes show.
    void commitTypedMarks();

    // A click on the picture (twips) with the buoy selected, if any.
    void markAt(std::optional<Buoy> selected, Point2 at);
    // One micro-adjust step of the selected mark, or of all four with the grid locked.
    void nudge(std::optional<Buoy> selected, AdjustDirection direction);
    // The lock may only be set once all four buoys are marked; gridLockChanged() says what
    // it is now.
    void setGridLocked(bool locked);
    // The cross size of new marks, which the measurement screen's marks follow too.
    void setCrossSize(int crossSize);
    // The circles around the marks were drawn anew with this radius.
    void setCircleRadius(double radius);

    // Loading: the grid is unlocked, the program folder entered, and the chooser's request
    // returned; none when the folder cannot be entered (said).
    std::optional<FileDialogRequest> startLoad();
    // Loads the chosen file: the whole file is read and checked before anything changes. The
    // perspective check measures the gates against a picture this wide (pixels). True when
    // the file was taken.
    bool loadSetup(const QString& path, int pictureWidthPixels);
    // Saving: refused (said) while the current slot holds no calibration; otherwise the grid
    // is unlocked, the program folder entered, and the chooser's request returned.
    std::optional<FileDialogRequest> startSave();
    // Writes the working calibration with the description to the chosen file and keeps it in
    // the current slot; a failed write changes nothing but says so.
    void saveSetup(const QString& path, const QString& description);

    // "Complete": solves from the marks and the survey boxes; journalled whatever the outcome.
    void complete();
    // The grid selector: the next slot becomes the working calibration and fills the boxes.
    void selectNextGrid();
    // Leaving the screen (after the screen has asked, when not complete): a complete
    // calibration puts slot 1 back in use and draws the course's sides for the way back.
    void leave();

Q_SIGNALS:
    // The eighteen boxes' texts changed by the program (not by the operator's typing).
    void boxesChanged();
    void setupLinesChanged();
    void gridChanged();
    // The setup is now shown complete or not (the state picture, the accuracy check).
    void completeChanged(bool complete);
    void gridLockChanged(bool locked);
    // Marks moved: their old crosses and circles erased, new crosses drawn, with the mark pen.
    void marksDrawn(const OverlayShapes& shapes);
    // Leaving with a complete calibration: a cross on each mark and the course's two sides.
    void courseSidesDrawn(const OverlayShapes& shapes);
    void drawingCleared();
    void message(const QString& text, const QString& title, MessageIcon icon);

private:
    // A program write into a box: when the text changes, the box's change rule runs.
    void writeBox(CoordinateBox box, const QString& text);
    void writeBoxes(const CoordinateTexts& texts);
    void writeSetupLines(const QString& file, const QString& description);
    // The change rule of the eighteen boxes: the value part, and the setup shown incomplete.
    void applyChangeRule(CoordinateBox box, const QString& text);
    void showComplete(bool complete);
    void showMarks(const MarkResult& result);
    CrossSize crossSize() const;
    void unlockGrid();
    bool enterProgramFolder();
    void appendJournal(JournalForm form);
    void reportWriteFailures(const QStringList& failures);
    void warn(const QString& text, const QString& title = QString());

    // Per screen box (by buoy, x then y): what the program last wrote into it, which a typed
    // text that is no number gives way to, and whether the operator has typed since.
    struct ScreenBoxState
    {
        QString shown;
        bool typed = false;
    };
    ScreenBoxState& screenBox(CoordinateBox box);

    Calibration& calibration_;
    GridSlots& slots_;
    DisplaySettings& display_;
    const RunInfo& run_;
    Clock& clock_;
    const QString& programFolder_;

    CoordinateTexts boxes_;
    std::array<std::array<ScreenBoxState, 2>, 4> screenBoxes_;
    QString setupFile_ = kNoSetupFileText;
    QString description_;
    bool locked_ = false;
    bool shownComplete_ = false;
    double circleRadius_ = 0.0;
};
