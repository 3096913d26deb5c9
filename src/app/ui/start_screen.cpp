#include "app/ui/start_screen.h"

#include "app/name_list_items.h"
#include "app/name_lists.h"
#include "app/program_place.h"
#include "app/run_particulars.h"
#include "app/settings_keys.h"
#include "calibration/calibration.h"
#include "common/paths.h"
#include "measure/pass_record.h"
#include "picture/ui/accessible_names.h"
#include "picture/ui/navigator.h"
#include "platform/clock.h"
#include "platform/message_boxes.h"
#include "platform/settings_store.h"
#include "results/interrupted_passes.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>

namespace {

const QString kProductTitle = QStringLiteral("Wakeline");

// The option of that index; none when there is no such option.
void checkOption(QButtonGroup* options, int index)
{
    if (QAbstractButton* option = options->button(index))
        option->setChecked(true);
}

} // namespace

StartScreen::StartScreen(Navigator& navigator, const Services& services, ProgramPlace& place,
                         RunParticulars& run, NameListItems& names, const Calibration& calibration,
                         PassRecord& pass)
    : navigator(navigator), services(services), programPlace(place), run(run), names(names),
      calibration(calibration), pass(pass), resultsFolderSetting(services.settings)
{
    setObjectName(QStringLiteral("StartScreen"));
    buildControls();
    publishRun();
    connect(&run, &RunParticulars::changed, this, &StartScreen::followRun);
    // Every change of the skier, whoever makes it, counts for the question on "Measure".
    missingSkier.follow(run.info().skier);
    connect(&run, &RunParticulars::changed, this,
            [this] { missingSkier.follow(this->run.info().skier); });
}

void StartScreen::startUp()
{
    setWindowTitle(kProductTitle + QStringLiteral(" ") + QStringLiteral(WAKELINE_VERSION));
    const QScreen* screen = QGuiApplication::primaryScreen();
    programPlace.screenWidthPixels = screen ? screen->geometry().width() : 1024;
    navigator.prepareMeasurement();
    pass.measured = false;

    QDir::setCurrent(programPlace.folder);
    const QStringList failures = createMissingListFiles(programPlace.folder);
    if (!failures.isEmpty())
        services.messages.warning(failures.join('\n'), kProductTitle);
    for (NameList list : kNameListsInLoadOrder)
        loadNameList(list);

    resultsFolderEdit->setText(initialResultsFolder(services.settings, programPlace.folder));
    rememberResultsFolder(); // written back at once, also when the text did not change
}

void StartScreen::checkInterruptedPasses()
{
    const InterruptedPasses found =
        findInterruptedPasses(absoluteResultsFolder(resultsFolderEdit->text(), programPlace.folder),
                              services.clock.now());
    if (!found.any())
        return;
    const QString message = interruptedPassesMessage(found);
    if (found.pending.empty()) {
        services.messages.information(message, kProductTitle);
        return;
    }
    if (!services.messages.askYesNo(message, kProductTitle))
        return;
    if (const QString failure = writePendingPasses(found.pending); !failure.isEmpty())
        services.messages.warning(failure, kProductTitle);
}

QComboBox* StartScreen::nameCombo(NameList list) const
{
    switch (list) {
    case NameList::Drivers:
        return driverCombo;
    case NameList::Skiers:
        return skierCombo;
    case NameList::Boats:
        return boatMakerCombo;
    case NameList::Models:
        return boatModelCombo;
    }
    return nullptr;
}

QPushButton* StartScreen::editButton(NameList list) const
{
    switch (list) {
    case NameList::Drivers:
        return editDriversButton;
    case NameList::Skiers:
        return editSkiersButton;
    case NameList::Boats:
        return editBoatMakersButton;
    case NameList::Models:
        return editBoatModelsButton;
    }
    return nullptr;
}

QString StartScreen::nameListPath(NameList list) const
{
    return QDir(programPlace.folder).filePath(nameListFile(list));
}

void StartScreen::loadNameList(NameList list)
{
    QComboBox* combo = nameCombo(list);
    const QString text = combo->currentText();
    combo->clear();
    names[list] = readNameList(nameListPath(list));
    combo->addItems(names[list]);
    combo->setCurrentIndex(-1);
    combo->setEditText(text);
    publishRun();
}

void StartScreen::openListEditor(NameList list)
{
    const ListForEditing read = readListForEditing(nameListPath(list));
    if (!read.ok) {
        // Whatever the editor held stays: nothing was replaced.
        services.messages.warning(read.message, kProductTitle);
        return;
    }
    editingList = nameListKey(list);
    nameForAccess(nameListEdit, nameListPlaceholder(list) + QStringLiteral(" list editor"));
    nameListEdit->setPlainText(read.editorText);
    nameListEdit->show();
    closeSaveButton->show();
    nameListEdit->setFocus();
}

void StartScreen::saveListAndClose()
{
    const std::optional<NameList> list = nameListForKey(editingList);
    if (!list)
        return;
    const WriteResult written = saveNameList(nameListPath(*list), nameListEdit->toPlainText());
    if (!written) {
        // The old file is intact; the editor stays open with the operator's text.
        services.messages.warning(written.message, kProductTitle);
        return;
    }
    nameListEdit->hide();
    closeSaveButton->hide();
    // The field goes back to no name (its placeholder shows), whatever was picked before.
    QComboBox* combo = nameCombo(*list);
    combo->clear();
    combo->clearEditText();
    loadNameList(*list);
}

RunInfo StartScreen::runInfo() const
{
    RunInfo r;
    r.tournament = tournamentEdit->text();
    r.location = locationEdit->text();
    r.date = dateEdit->text();
    r.boatNumber = boatNumberEdit->text();
    r.skier = skierCombo->currentText();
    r.driver = driverCombo->currentText();
    r.boatMaker = boatMakerCombo->currentText();
    r.boatModel = boatModelCombo->currentText();
    r.event = jumpOption->isChecked() ? Event::Jump : Event::Slalom;
    r.slalomSpeed = slalomSpeedOptions->checkedId();
    r.jumpSpeed = jumpSpeedOptions->checkedId();
    r.lineLength = lineLengthOptions->checkedId();
    r.direction = awayOption->isChecked() ? Direction::Away : Direction::Toward;
    r.resultsFolder = resultsFolderEdit->text();
    return r;
}

int StartScreen::namePosition(NameList list) const
{
    // A name typed over a picked one leaves the drop-down's index on the old item; that
    // item is no longer the selection, or the results screen's copy would pick it again
    // and put it back over the typed name.
    const QComboBox* combo = nameCombo(list);
    const int index = combo->currentIndex();
    return index >= 0 && combo->itemText(index) == combo->currentText() ? index : -1;
}

std::array<int, 4> StartScreen::namePositions() const
{
    std::array<int, 4> positions{};
    for (NameList list : kNameListsInLoadOrder)
        positions[size_t(list)] = namePosition(list);
    return positions;
}

void StartScreen::publishRun()
{
    if (following)
        return;
    publishing = true;
    run.set(runInfo(), namePositions());
    publishing = false;
}

void StartScreen::followRun()
{
    if (publishing)
        return;
    following = true;
    const RunInfo& r = run.info();
    for (const auto& [field, text] : {std::pair{tournamentEdit, r.tournament},
                                      {locationEdit, r.location},
                                      {dateEdit, r.date},
                                      {boatNumberEdit, r.boatNumber},
                                      {resultsFolderEdit, r.resultsFolder}})
        if (field->text() != text)
            field->setText(text);
    for (NameList list : kNameListsInLoadOrder) {
        QComboBox* combo = nameCombo(list);
        const int position = run.namePosition(list);
        if (position == namePosition(list) && combo->currentText() == nameOf(r, list))
            continue;
        if (position >= 0 && position < combo->count())
            combo->setCurrentIndex(position);
        else
            combo->setEditText(nameOf(r, list));
    }
    checkOption(slalomSpeedOptions, r.slalomSpeed);
    checkOption(jumpSpeedOptions, r.jumpSpeed);
    checkOption(lineLengthOptions, r.lineLength);
    (r.direction == Direction::Away ? awayOption : towardOption)->setChecked(true);
    // After the direction: jump brings its own (toward the camera) with it.
    (r.event == Event::Jump ? jumpOption : slalomOption)->setChecked(true);
    following = false;
    // A control's own handler may have changed another (jump sets the direction toward the
    // camera): what the controls show now is the run.
    publishRun();
}

void StartScreen::showSlalomChoices()
{
    awayOption->show();
    lineLengthGroup->show();
    slalomSpeedGroup->show();
    jumpSpeedGroup->hide();
    titleLabel->setText(QStringLiteral("Video Slalom Wakeline"));
}

void StartScreen::showJumpChoices()
{
    // Jump passes are always measured coming toward the camera.
    awayOption->hide();
    towardOption->setChecked(true);
    lineLengthGroup->hide();
    slalomSpeedGroup->hide();
    jumpSpeedGroup->show();
    titleLabel->setText(QStringLiteral("Video Jump Wakeline"));
}

void StartScreen::rememberResultsFolder()
{
    if (const QString warning = resultsFolderSetting.remember(resultsFolderEdit->text());
        !warning.isEmpty())
        services.messages.warning(warning, kProductTitle);
}

bool StartScreen::resultsFolderUsable()
{
    const FolderCheck check = checkResultsFolder(resultsFolderEdit->text(), programPlace.folder);
    if (check.trimmed)
        resultsFolderEdit->setText(check.folder);
    if (!check.ok)
        services.messages.information(check.error, kProductTitle);
    return check.ok;
}

void StartScreen::goToSetup()
{
    if (!resultsFolderUsable())
        return;
    navigator.openCalibration();
    hide();
}

void StartScreen::goToMeasure()
{
    if (!resultsFolderUsable())
        return;
    if (!calibration.complete) {
        services.messages.plain(
            QStringLiteral("The setup must be OK to proceed.  Return to the setup screen and "
                           "create a valid setup"));
        return;
    }
    if (missingSkier.mustAsk()) {
        const bool goOn = services.messages.askYesNo(MissingSkierQuestion::text(), kProductTitle);
        missingSkier.answer(goOn);
        if (!goOn) {
            skierCombo->setFocus();
            return;
        }
    }
    navigator.openMeasurement();
    hide();
}

void StartScreen::readManual()
{
    navigator.openManual();
}

void StartScreen::exitProgram()
{
    navigator.endProgram();
}

void StartScreen::closeEvent(QCloseEvent* e)
{
    e->accept();
    navigator.endProgram();
}
