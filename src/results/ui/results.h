#pragma once
// The results screen: the pass report, the graph, the per-buoy figures of a slalom pass
// under a rule set, the copies of the run particulars, and the two ways back to the next
// pass. The per-buoy figures are its BuoyPanel; its controls are built, placed and connected
// in results_controls.cpp.

#include "app/start_up.h"
#include "results/pending_database_line.h"
#include "results/results_graph.h"

#include <QMainWindow>
#include <map>

class BuoyPanel;
class DrawingSurface;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QTimer;
class Navigator;
class RunParticulars;
struct NameListItems;
struct PassRecord;
struct Platform;
struct ProgramPlace;

class Results : public QMainWindow
{
    Q_OBJECT
public:
    Results(Navigator& navigator, Platform& platform, const ProgramPlace& place,
            RunParticulars& run, const NameListItems& names, PassRecord& pass);

    // Loading the screen after a pass (or with no pass measured): report, logs, graph
    // timer, copy fields.
    void load();

protected:
    // Closing the window is "Return to Main": the pass's database line is written and the
    // next pass set up, never lost with the window.
    void closeEvent(QCloseEvent* event) override;

private Q_SLOTS:
    void btnDisplay_Click();
    void btnSaveResults_Click();
    void Timer1_Timer();
    void cbDrvCopy_Click();
    void cbSkiCopy_Click();
    void cbMnfCopy_Click();
    void cbMdlCopy_Click();
    void txtNumCopy_Change();
    void cbLineCopy_Click();
    void Command1_Click();
    void Command2_Click();
    // Any change that reaches the database line: the pending file follows.
    void keepPendingLine();

private:
    enum ResultsTab { ReportTab, BuoyTab };

    // results_controls.cpp: the controls, their places and their connections.
    void buildControls();
    // Statistics, report, and the report into the day's logs; the files not written.
    QStringList reportPass(const QDateTime& now);
    // The database line as the return sequence would write it now.
    QString databaseLineNow() const;
    void returnSequence();
    void showGraphFrame(Event event, bool comingToward);
    void paint(const OverlayShapes& shapes);
    // The graph again: frame with the figures' bands, the traces drawn since the graph tick,
    // the figures' reading marks.
    void redrawGraph();
    QString shownText() const;
    QString resultsPath(const QString& name) const;
    QString resultsFolderPath() const;
    void copyNameList(QComboBox* copy, int list);
    // A name picked in a copy list goes into the run particulars.
    void pickName(const QComboBox* copy, NameList list);

    Navigator& navigator;
    Platform& platform;
    const ProgramPlace& programPlace;
    RunParticulars& runParticulars;
    const NameListItems& names;
    PassRecord& pass;
    bool ReturnToMeasure = false;
    bool left = false; // the return sequence has run: the screen is on its way out
    PendingDatabaseLine pendingLine;

    // What the graph tick and the traces read back drew, to draw again over new bands.
    OverlayShapes traces;
    bool labelsComingToward = false;

    DrawingSurface* graph = nullptr;
    std::map<GraphCaption, QLabel*> graphLabels;
    QTabWidget* tabResults = nullptr;
    QPlainTextEdit* txtResults = nullptr;
    BuoyPanel* buoyPanel = nullptr;
    QListWidget* List1 = nullptr;
    QPushButton* btnDisplay = nullptr;
    QPushButton* btnSaveResults = nullptr;
    QTimer* Timer1 = nullptr;
    QGroupBox* fmPass = nullptr;
    QGroupBox* fmNext = nullptr;
    QComboBox* cbDrvCopy = nullptr;
    QComboBox* cbSkiCopy = nullptr;
    QComboBox* cbMnfCopy = nullptr;
    QComboBox* cbMdlCopy = nullptr;
    QLineEdit* txtNumCopy = nullptr;
    QComboBox* cbLineCopy = nullptr;
    QComboBox* cbSpeedCopy = nullptr;
    QComboBox* cbNewLineCopy = nullptr;
    QLineEdit* txtSplit = nullptr;
    QLineEdit* txtFull = nullptr;
    QLineEdit* txtComment = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
};
