#pragma once
// The start screen: the run particulars, the results folder, and the way to the other
// screens. Every change of its controls goes into the run particulars, which the other
// screens read; when they write some back, the controls follow.

#include "app/missing_skier.h"
#include "app/start_up.h"
#include "common/run_info.h"

#include <QMainWindow>
#include <QStringList>
#include <array>

class Clock;
class MessageBoxes;
class SettingsStore;
class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLabel;
class QLayout;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class Navigator;
class RunParticulars;
struct Calibration;
struct NameListItems;
struct PassRecord;
struct ProgramPlace;

class StartScreen : public QMainWindow
{
    Q_OBJECT
public:
    // The platform services the start screen uses.
    struct Services
    {
        SettingsStore& settings;
        MessageBoxes& messages;
        Clock& clock; // the time interrupted passes are judged by
    };

    StartScreen(Navigator& navigator, const Services& services, ProgramPlace& place,
                RunParticulars& run, NameListItems& names, const Calibration& calibration,
                PassRecord& pass);

    // The start-up sequence: caption, screen width, measurement screen, flags, list files,
    // drop-downs, results folder. Run once, before the screen is first shown.
    void startUp();
    // After the start-up, with the start screen shown: what a program stopped during a pass
    // or on the results screen left in the results folder. Lost passes are told, pending
    // database lines offered: written now, or kept for the next start.
    void checkInterruptedPasses();

    // The run particulars as the controls show them, and where each name was picked among
    // its list's items (-1 for none, also when a name has been typed over the picked one).
    RunInfo runInfo() const;
    int namePosition(NameList list) const;

protected:
    void closeEvent(QCloseEvent* event) override;

private Q_SLOTS:
    void showSlalomChoices();
    void showJumpChoices();
    void rememberResultsFolder();
    void goToSetup();
    void goToMeasure();
    void readManual();
    void exitProgram();
    void saveListAndClose();

private:
    // start_screen_controls.cpp
    void buildControls();
    QWidget* buildPage(QWidget* parent);
    QLayout* buildFields(QWidget* page);
    QLayout* buildChoices(QWidget* page);
    QGroupBox* buildOptionGroup(QWidget* page, const QString& title, QButtonGroup*& options,
                                const QStringList& captions, const QStringList& names);
    void buildMenu();
    void connectControls();

    QComboBox* nameCombo(NameList list) const;
    QPushButton* editButton(NameList list) const;
    void loadNameList(NameList list);
    QString nameListPath(NameList list) const;
    void openListEditor(NameList list);
    bool resultsFolderUsable();
    // The controls into the run particulars, and back when another screen wrote them.
    std::array<int, 4> namePositions() const;
    void publishRun();
    void followRun();

    Navigator& navigator;
    Services services;
    ProgramPlace& programPlace;
    RunParticulars& run;
    NameListItems& names;
    const Calibration& calibration;
    PassRecord& pass;
    bool publishing = false;
    bool following = false;
    ResultsFolderSetting resultsFolderSetting;
    // The key of the list last opened in the editor ("Skiers", "Drivers", "Boats",
    // "Models"); empty until the first edit button. "Close/Save" does not clear it.
    QString editingList;
    MissingSkierQuestion missingSkier;

    QLabel* titleLabel = nullptr;
    QLineEdit* tournamentEdit = nullptr;
    QLineEdit* locationEdit = nullptr;
    QLineEdit* dateEdit = nullptr;
    QLineEdit* boatNumberEdit = nullptr;
    QComboBox* skierCombo = nullptr;
    QComboBox* driverCombo = nullptr;
    QComboBox* boatMakerCombo = nullptr;
    QComboBox* boatModelCombo = nullptr;
    QPushButton* editSkiersButton = nullptr;
    QPushButton* editDriversButton = nullptr;
    QPushButton* editBoatMakersButton = nullptr;
    QPushButton* editBoatModelsButton = nullptr;
    QPlainTextEdit* nameListEdit = nullptr;
    QPushButton* closeSaveButton = nullptr;
    QGroupBox* eventGroup = nullptr;
    QRadioButton* slalomOption = nullptr;
    QRadioButton* jumpOption = nullptr;
    QGroupBox* slalomSpeedGroup = nullptr;
    QGroupBox* jumpSpeedGroup = nullptr;
    QLabel* metricSpeedLabel = nullptr;
    QGroupBox* lineLengthGroup = nullptr;
    // The options of each choice, each by its index in kSlalomSpeeds, kJumpSpeeds and
    // kLineLengths.
    QButtonGroup* slalomSpeedOptions = nullptr;
    QButtonGroup* jumpSpeedOptions = nullptr;
    QButtonGroup* lineLengthOptions = nullptr;
    QGroupBox* directionGroup = nullptr;
    QRadioButton* awayOption = nullptr;
    QRadioButton* towardOption = nullptr;
    QLineEdit* resultsFolderEdit = nullptr;
    QPushButton* goToSetupButton = nullptr;
    QPushButton* measureButton = nullptr;
};
