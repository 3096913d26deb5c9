#pragma once
// The results screen without its widgets: everything that follows from a measured pass and
// every file the screen writes. Loading reports the pass (statistics, report, the day's
// result, buoy and statistics logs) and keeps the pass's database line in a pending file; the
// copy fields write back into the run particulars; "Save Result File" and "Read and Display
// Results File" save and read results files; leaving appends the database line and sets up
// the next pass. The screen reads its widgets, calls these, and shows what the signals
// announce; the graph it paints is computed here too.

#include "app/start_up.h"
#include "common/overlay.h"
#include "common/run_info.h"
#include "results/pending_database_line.h"
#include "results/results_file.h"
#include "results/results_graph.h"
#include "results/review_offer.h"
#include "results/shown_figures.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include <vector>

class Clock;
class RunParticulars;
class SettingsStore;
struct NameListItems;
struct PassRecord;
struct ProgramPlace;

// Where the operator goes from the results screen: "Return to Main", "Return to Measure", or
// the measurement screen on the video of the pass shown ("Review on Video").
enum class ResultsExit { ToStart, ToMeasurement, ToReview };

// The copy fields as loading fills them from the start screen.
struct CopyFields
{
    std::array<QStringList, 4> names{};               // by NameList: the start screen's items
    std::array<int, 4> namePositions{-1, -1, -1, -1}; // its picks; -1 for none
    QStringList speedItems;                           // the next pass's speeds, for the event
    int speedPosition = -1;
    // Slalom: both line lists in use, at the start screen's line length. Jump: the next
    // pass's line list is not.
    bool lineCopies = false;
    int linePosition = -1;
    QString boatNumber;
};

// The next pass as the operator leaves it set: positions in the speed and line lists.
struct NextPassChoice
{
    int speedPosition = -1;
    int linePosition = -1;
};

// Where reading a results file back stands once the file is read.
enum class ReadBackStep {
    Ended,     // cancelled or unreadable: nothing changed
    Refused,   // not a file of the event selected: the operator has been told
    AskColour, // its first line is shown; the trace's colour is to be chosen
};

class ResultsSession : public QObject
{
    Q_OBJECT
public:
    struct Services
    {
        Clock& clock;
        SettingsStore& settings; // the rule set chosen last
    };

    ResultsSession(RunParticulars& run, const NameListItems& names, PassRecord& pass,
                   const ProgramPlace& place, Services services, QObject* parent = nullptr);

    // The screen opens after a pass (or with none measured): the report and its logs, the
    // figures, the copy fields' write-back, and the pending database line.
    void load();
    bool passMeasured() const;
    // The return has run: the screen is on its way out.
    bool hasLeft() const { return left_; }

    const QStringList& legend() const { return legend_; }
    CopyFields copyFields() const;
    // The results folder, where the file dialogs open.
    QString resultsFolder() const;

    // The copy fields: each reaches the run particulars, and so the database line.
    void pickName(NameList list, int position);
    void setBoatNumber(const QString& text);
    // A position in the line list (0..9); one out of range changes nothing.
    void pickLineLength(int position);
    // "Split:", "Full:" and "Comment:", free text for the database line.
    void setNotes(const QString& split, const QString& full, const QString& comment);
    // The database line as the return would write it now.
    QString databaseLineNow() const;

    // The report as the operator sees it (perhaps edited), with the closing lines.
    void saveResults(const QString& path, const QString& shownText);
    // Reading a file back, in two steps around the colour prompt.
    ReadBackStep openResultsFile(const QString& path);
    // `choice` is one of the prompt's colours 1..7.
    void showResultsFile(int choice);

    // The graph tick: the pass's trace, erasing what was drawn before.
    void tracePass();
    Event graphEvent() const;
    bool buoyNumbersComingToward() const { return comingToward; }
    // The pass's trace and the traces read back since, in drawing order.
    const OverlayShapes& traces() const { return traces_; }
    std::vector<GraphRect> buoyBands() const;
    OverlayShapes readingMarks() const;

    // The pass whose report is shown, on its video: the pass just measured, or the results
    // file read back last.
    const ReviewOffer& review() const { return review_; }
    // The live pass just measured has its recording finished, a second or more after its
    // results opened: it is offered for review while its report is still the one shown.
    void offerRecordingOfMeasuredPass(const MediaPass& recording);

    const ShownFigures& figures() const { return figures_; }
    void listRuleSets() { figures_.listRuleSets(); }
    void chooseRuleSet(int index);

    // "Return to Main" or "Return to Measure": the database line into the day's log, the
    // pending file gone, the next pass set up.
    void leave(ResultsExit exit, NextPassChoice next);

Q_SIGNALS:
    // The text of the report box.
    void reportChanged(const QString& text);
    void legendChanged(const QStringList& legend);
    void graphChanged();
    void figuresChanged();
    void reviewChanged();
    // For the operator: a plain message, and a warning about a file not written.
    void notice(const QString& message);
    void warning(const QString& message);
    // The screen goes; `exit` says where to.
    void left(ResultsExit exit);

private:
    RunInfo run() const;
    QString resultsPath(const QString& name) const;
    // Statistics and report, and the report into the day's logs; the files not written.
    QStringList reportPass(const QDateTime& now);
    // What loading copied goes back into the run particulars, as the copy fields do.
    void writeBackCopies();
    void keepPendingLine();

    RunParticulars& runParticulars;
    const NameListItems& names;
    PassRecord& pass;
    const ProgramPlace& place;
    Clock& clock;

    bool left_ = false;
    QStringList legend_;
    QString split, full, comment;
    PendingDatabaseLine pendingLine;
    ShownFigures figures_;
    ReviewOffer review_;

    // What the graph tick and the traces read back drew.
    OverlayShapes traces_;
    bool comingToward = false;

    // A file read back, between its first line and the colour's choice.
    struct ReadBack
    {
        QString path;
        QString text;
        ResultsFileRead read;
    };
    std::optional<ReadBack> readBack;
};
