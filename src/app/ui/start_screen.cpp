#include "app/ui/start_screen.h"

#include "app/name_list_items.h"
#include "app/name_lists.h"
#include "app/program_place.h"
#include "app/run_particulars.h"
#include "app/settings_keys.h"
#include "calibration/calibration.h"
#include "common/paths.h"
#include "common/twips.h"
#include "measure/pass_record.h"
#include "picture/ui/accessible_names.h"
#include "picture/ui/navigator.h"
#include "picture/ui/screen_layout.h"
#include "platform/clock.h"
#include "platform/message_boxes.h"
#include "platform/settings_store.h"
#include "results/interrupted_passes.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>

namespace {

const QString kProductTitle = QStringLiteral("Wakeline");

constexpr double kSlalomSpeedLeft = 6720; // the jump speed group moves here in jump
constexpr double kJumpSpeedParkedLeft = 8520;
constexpr double kGroupTop = 960;

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

void StartScreen::buildControls()
{
    auto* central = new QWidget(this);
    setCentralWidget(central);

    titleLabel = named(new QLabel(QStringLiteral("Video Slalom Wakeline"), central), "titleLabel");
    QFont titleFont = titleLabel->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 2.0);
    titleFont.setBold(true);
    titleLabel->setFont(titleFont);
    place(titleLabel, 240, 120, 9600, 720);

    auto addField = [&](const char* name, const QString& label, double top) {
        auto* caption = new QLabel(label, central);
        place(caption, 240, top + 30, 1500, 300);
        auto* field = named(new QLineEdit(central), name);
        place(field, 1800, top, 4440, 330);
        captionFor(caption, field);
        return field;
    };
    tournamentEdit = addField("tournamentEdit", QStringLiteral("Tournament"), 960);
    locationEdit = addField("locationEdit", QStringLiteral("Location"), 1440);
    dateEdit = addField("dateEdit", QStringLiteral("Date"), 1920);
    boatNumberEdit = addField("boatNumberEdit", QStringLiteral("Boat Number"), 2400);
    boatNumberEdit->setText(QStringLiteral("1"));

    auto addNameField = [&](const char* comboName, const char* buttonName, const QString& text,
                            const QString& buttonCaption, double top, QComboBox*& combo,
                            QPushButton*& button) {
        combo = named(new QComboBox(central), comboName);
        combo->setEditable(true);
        combo->setInsertPolicy(QComboBox::NoInsert);
        // The text typed is the name recorded: Qt's completer would finish "Ann" as a
        // listed "Anne Smith" when the field is left, and turn "bob" into a listed "Bob".
        // Without it, only a name typed exactly as listed selects that item.
        combo->setCompleter(nullptr);
        // The list's title shows until a name is picked or typed; it is never the value.
        combo->lineEdit()->setPlaceholderText(text);
        nameForAccess(combo, text);
        place(combo, 240, top, 4200, 360);
        button = named(new QPushButton(buttonCaption, central), buttonName);
        nameForAccess(button, buttonCaption);
        place(button, 4560, top, 1680, 360);
    };
    addNameField("skierCombo", "editSkiersButton", QStringLiteral("Skiers"),
                 QStringLiteral("Edit Skiers"), 3000, skierCombo, editSkiersButton);
    addNameField("driverCombo", "editDriversButton", QStringLiteral("Drivers"),
                 QStringLiteral("Edit Drivers"), 3480, driverCombo, editDriversButton);
    addNameField("boatMakerCombo", "editBoatMakersButton", QStringLiteral("Boat Manufacturer"),
                 QStringLiteral("Edit Boat Manuf."), 3960, boatMakerCombo, editBoatMakersButton);
    addNameField("boatModelCombo", "editBoatModelsButton", QStringLiteral("Boat Model"),
                 QStringLiteral("Edit Model"), 4440, boatModelCombo, editBoatModelsButton);

    // The list editor, shared by the four lists, hidden until an edit button is pressed.
    nameListEdit = named(new QPlainTextEdit(central), "nameListEdit");
    nameListEdit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    nameListEdit->setLineWrapMode(QPlainTextEdit::NoWrap);
    place(nameListEdit, 240, 6840, 6000, 1560);
    nameForAccess(nameListEdit,
                  QStringLiteral("Name list editor")); // named after its list when opened
    nameListEdit->hide();
    closeSaveButton =
        named(new QPushButton(QStringLiteral("Close/Save"), central), "closeSaveButton");
    nameForAccess(closeSaveButton, closeSaveButton->text());
    place(closeSaveButton, 6720, 6840, 1560, 420);
    closeSaveButton->hide();

    eventGroup =
        named(new QGroupBox(QStringLiteral("Select Slalom or Jump"), central), "eventGroup");
    place(eventGroup, kSlalomSpeedLeft, 4800, 3300, 660);
    slalomOption = named(new QRadioButton(QStringLiteral("Slalom"), eventGroup), "slalomOption");
    place(slalomOption, 150, 300, 1400, 300);
    jumpOption = named(new QRadioButton(QStringLiteral("Jump"), eventGroup), "jumpOption");
    place(jumpOption, 1800, 300, 1400, 300);
    slalomOption->setChecked(true);

    slalomSpeedGroup = named(new QGroupBox(QStringLiteral("Speed"), central), "slalomSpeedGroup");
    place(slalomSpeedGroup, kSlalomSpeedLeft, kGroupTop, 1560, 2820);
    static constexpr std::array<const char*, 5> slalomNames{
        "slalom58Option", "slalom55Option", "slalom52Option", "slalom49Option", "slalom46Option"};
    for (size_t i = 0; i < slalomSpeedOptions.size(); ++i) {
        slalomSpeedOptions[i] =
            named(new QRadioButton(QString::fromLatin1(kSlalomSpeeds[i].caption), slalomSpeedGroup),
                  slalomNames[i]);
        place(slalomSpeedOptions[i], 150, 330 + 330 * double(i), 1300, 300);
    }
    metricSpeedLabel =
        named(new QLabel(QStringLiteral("Metric Speed is Official"), slalomSpeedGroup),
              "metricSpeedLabel");
    metricSpeedLabel->setWordWrap(true);
    place(metricSpeedLabel, 150, 2020, 1300, 700);
    slalomSpeedOptions[kDefaultSlalomSpeed]->setChecked(true);

    jumpSpeedGroup = named(new QGroupBox(QStringLiteral("Speed"), central), "jumpSpeedGroup");
    place(jumpSpeedGroup, kJumpSpeedParkedLeft, kGroupTop, 1560, 3420);
    static constexpr std::array<const char*, 9> jumpNames{
        "jump48Option", "jump51Option", "jump54Option", "jump57Option", "jump60Option",
        "jump63Option", "jump66Option", "jump69Option", "jump72Option"};
    for (size_t i = 0; i < jumpSpeedOptions.size(); ++i) {
        jumpSpeedOptions[i] =
            named(new QRadioButton(QString::fromLatin1(kJumpSpeeds[i].caption), jumpSpeedGroup),
                  jumpNames[i]);
        place(jumpSpeedOptions[i], 150, 330 + 330 * double(i), 1300, 300);
    }
    jumpSpeedOptions[kDefaultJumpSpeed]->setChecked(true);
    jumpSpeedGroup->hide();

    lineLengthGroup =
        named(new QGroupBox(QStringLiteral("Line Length"), central), "lineLengthGroup");
    place(lineLengthGroup, 8520, kGroupTop, 1500, 3660);
    for (size_t i = 0; i < lineLengthOptions.size(); ++i) {
        // "18.25" -> "line1825Option"
        const QString name =
            QStringLiteral("line%1Option").arg(QString::fromLatin1(kLineLengths[i]).remove('.'));
        lineLengthOptions[i] =
            named(new QRadioButton(QString::fromLatin1(kLineLengths[i]), lineLengthGroup), name);
        place(lineLengthOptions[i], 150, 330 + 330 * double(i), 1100, 300);
    }
    lineLengthOptions[kDefaultLineLength]->setChecked(true);

    directionGroup =
        named(new QGroupBox(QStringLiteral("Boat Direction"), central), "directionGroup");
    place(directionGroup, kSlalomSpeedLeft, 5580, 3300, 1020);
    awayOption = named(new QRadioButton(QStringLiteral("Going away from Camera"), directionGroup),
                       "awayOption");
    place(awayOption, 150, 300, 3000, 300);
    towardOption = named(new QRadioButton(QStringLiteral("Coming toward Camera"), directionGroup),
                         "towardOption");
    place(towardOption, 150, 630, 3000, 300);
    towardOption->setChecked(true);

    auto* resultsCaption = new QLabel(QStringLiteral("Data Path for Results"), central);
    place(resultsCaption, 240, 5040, 3000, 300);
    resultsFolderEdit = named(new QLineEdit(central), "resultsFolderEdit");
    place(resultsFolderEdit, 240, 5340, 6000, 330);
    captionFor(resultsCaption, resultsFolderEdit);

    goToSetupButton =
        named(new QPushButton(QStringLiteral("Go To Setup"), central), "goToSetupButton");
    place(goToSetupButton, 240, 5940, 2880, 540);
    measureButton = named(new QPushButton(QStringLiteral("Measure"), central), "measureButton");
    place(measureButton, 3360, 5940, 2880, 540);
    // Option buttons and the rest: a button's caption is its text.
    for (QAbstractButton* button : central->findChildren<QAbstractButton*>())
        if (button->accessibleName().isEmpty())
            nameForAccess(button, button->text());

    QAction* readManualAction = menuBar()->addAction(QStringLiteral("&Read Manual"));
    readManualAction->setObjectName(QStringLiteral("readManualAction"));
    QAction* exitAction = menuBar()->addAction(QStringLiteral("E&xit"));
    exitAction->setObjectName(QStringLiteral("exitAction"));
    // The button the menu bar shows when its entries do not fit.
    for (QAbstractButton* more : menuBar()->findChildren<QAbstractButton*>())
        nameForAccess(more, QStringLiteral("More Menu Entries"));

    auto onChecked = [this](QRadioButton* button, void (StartScreen::*handler)()) {
        connect(button, &QRadioButton::toggled, this, [this, handler](bool checked) {
            if (checked)
                (this->*handler)();
        });
    };
    onChecked(slalomOption, &StartScreen::showSlalomChoices);
    onChecked(jumpOption, &StartScreen::showJumpChoices);
    // The direction options need no handler: directionSign is derived from the checked
    // option each time the run particulars are read.
    connect(resultsFolderEdit, &QLineEdit::textChanged, this, &StartScreen::rememberResultsFolder);
    connect(goToSetupButton, &QPushButton::clicked, this, &StartScreen::goToSetup);
    connect(measureButton, &QPushButton::clicked, this, &StartScreen::goToMeasure);
    connect(readManualAction, &QAction::triggered, this, &StartScreen::readManual);
    connect(exitAction, &QAction::triggered, this, &StartScreen::exitProgram);
    for (NameList list : kNameListsInLoadOrder)
        connect(editButton(list), &QPushButton::clicked, this,
                [this, list] { openListEditor(list); });
    connect(closeSaveButton, &QPushButton::clicked, this, &StartScreen::saveListAndClose);
    // Every change of the particulars goes into the run particulars at once.
    for (QLineEdit* field :
         {tournamentEdit, locationEdit, dateEdit, boatNumberEdit, resultsFolderEdit})
        connect(field, &QLineEdit::textChanged, this, &StartScreen::publishRun);
    for (QComboBox* combo : {skierCombo, driverCombo, boatMakerCombo, boatModelCombo}) {
        connect(combo, &QComboBox::currentIndexChanged, this, &StartScreen::publishRun);
        connect(combo, &QComboBox::editTextChanged, this, &StartScreen::publishRun);
    }
    for (QRadioButton* option : central->findChildren<QRadioButton*>())
        connect(option, &QRadioButton::toggled, this, &StartScreen::publishRun);

    setFixedSize(twipsToPixels(10320), twipsToPixels(8640) + menuBar()->sizeHint().height());
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
    r.event = event();
    auto checkedIndex = [](const auto& options) {
        for (size_t i = 0; i < options.size(); ++i)
            if (options[i]->isChecked())
                return int(i);
        return -1;
    };
    r.slalomSpeed = checkedIndex(slalomSpeedOptions);
    r.jumpSpeed = checkedIndex(jumpSpeedOptions);
    r.lineLength = checkedIndex(lineLengthOptions);
    r.direction = awayOption->isChecked() ? Direction::Away : Direction::Toward;
    r.resultsFolder = resultsFolderEdit->text();
    return r;
}

Event StartScreen::event() const
{
    return jumpOption->isChecked() ? Event::Jump : Event::Slalom;
}

void StartScreen::selectEvent(Event e)
{
    (e == Event::Jump ? jumpOption : slalomOption)->setChecked(true);
}

void StartScreen::setDirection(Direction d)
{
    (d == Direction::Away ? awayOption : towardOption)->setChecked(true);
}

void StartScreen::selectSlalomSpeed(int index)
{
    if (index >= 0 && index < int(slalomSpeedOptions.size()))
        slalomSpeedOptions[size_t(index)]->setChecked(true);
}

void StartScreen::selectJumpSpeed(int index)
{
    if (index >= 0 && index < int(jumpSpeedOptions.size()))
        jumpSpeedOptions[size_t(index)]->setChecked(true);
}

void StartScreen::selectLineLength(int index)
{
    if (index >= 0 && index < int(lineLengthOptions.size()))
        lineLengthOptions[size_t(index)]->setChecked(true);
}

void StartScreen::setBoatNumber(const QString& text)
{
    boatNumberEdit->setText(text);
}

QStringList StartScreen::nameItems(NameList list) const
{
    QStringList items;
    const QComboBox* combo = nameCombo(list);
    for (int i = 0; i < combo->count(); ++i)
        items << combo->itemText(i);
    return items;
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

void StartScreen::selectNamePosition(NameList list, int position)
{
    QComboBox* combo = nameCombo(list);
    if (position >= 0 && position < combo->count())
        combo->setCurrentIndex(position);
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
    selectEvent(r.event);
    selectSlalomSpeed(r.slalomSpeed);
    selectJumpSpeed(r.jumpSpeed);
    selectLineLength(r.lineLength);
    setDirection(r.direction);
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
    jumpSpeedGroup->move(twipsToPixels(kSlalomSpeedLeft), jumpSpeedGroup->y());
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
