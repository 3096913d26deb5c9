#pragma once
// The results screen: the pass report, the graph, the per-buoy figures of a slalom pass
// under a rule set, the copies of the run particulars, and the two ways back to the next
// pass. Its ResultsSession holds the rules and writes the files; the screen reads its
// widgets, calls the session and shows what the session announces. The per-buoy figures are
// its BuoyPanel, the graph its ResultsGraphView; its controls are built, laid out and
// connected in results_screen_controls.cpp.

#include "results/results_session.h"

#include <QMainWindow>

class BuoyPanel;
class FileDialog;
class MessageBoxes;
class Navigator;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QTimer;
class ResultsGraphView;

class ResultsScreen : public QMainWindow
{
    Q_OBJECT
public:
    // The platform services the screen uses itself.
    struct Services
    {
        FileDialog& fileDialog;
        MessageBoxes& messages;
    };

    ResultsScreen(Navigator& navigator, ResultsSession& session, Services services);

    // Loading the screen after a pass (or with no pass measured): report, logs, figures,
    // graph timer, copy fields.
    void load();

protected:
    // Closing the window is "Return to Main": the pass's database line is written and the
    // next pass set up, never lost with the window.
    void closeEvent(QCloseEvent* event) override;

private Q_SLOTS:
    void readResultsFile();
    void saveResults();
    // The graph tick, half a second after loading: the pass's trace.
    void drawGraph();
    void redrawGraph();
    void boatNumberEdited();
    void lineCopyPicked();
    void notesEdited();
    void returnToMain();
    void returnToMeasure();
    // "Review on Video": the return, then the measurement screen on the shown pass's video.
    void reviewOnVideo();
    void showReviewOffer();
    void leaveFor(ResultsExit exit);

private:
    enum ResultsPage { ReportPage, BuoyFiguresPage };

    // results_screen_controls.cpp: the controls, their layout and their connections.
    void buildControls();
    void connectControls();
    void fillCopyFields();
    void leave(ResultsExit exit);
    QString shownText() const;

    Navigator& navigator;
    ResultsSession& session;
    Services services;

    ResultsGraphView* graph = nullptr;
    QTabWidget* resultPagesGroup = nullptr;
    QPlainTextEdit* reportEdit = nullptr;
    BuoyPanel* buoyPanel = nullptr;
    QListWidget* legendList = nullptr;
    QPushButton* readResultsFileButton = nullptr;
    QPushButton* saveResultsButton = nullptr;
    QTimer* graphTimer = nullptr;
    QGroupBox* measuredPassGroup = nullptr;
    QGroupBox* nextPassGroup = nullptr;
    QComboBox* driverCopyCombo = nullptr;
    QComboBox* skierCopyCombo = nullptr;
    QComboBox* boatMakerCopyCombo = nullptr;
    QComboBox* boatModelCopyCombo = nullptr;
    QLineEdit* boatNumberCopyEdit = nullptr;
    QComboBox* lineCopyCombo = nullptr;
    QComboBox* nextSpeedCombo = nullptr;
    QComboBox* nextLineCombo = nullptr;
    QLineEdit* splitEdit = nullptr;
    QLineEdit* fullEdit = nullptr;
    QLineEdit* commentEdit = nullptr;
    QPushButton* returnToMainButton = nullptr;
    QPushButton* returnToMeasureButton = nullptr;
    QPushButton* reviewOnVideoButton = nullptr;
    QLabel* reviewNoteLabel = nullptr;
    // The pass being left for its review.
    std::optional<ReviewedPass> reviewing;
};
