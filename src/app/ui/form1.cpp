#include "app/ui/form1.h"

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
#include "platform/platform.h"
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

Form1::Form1(Navigator& navigator, Platform& platform, ProgramPlace& place, RunParticulars& run,
             NameListItems& names, const Calibration& calibration, PassRecord& pass)
    : navigator(navigator), platform(platform), programPlace(place), run(run), names(names),
      calibration(calibration), pass(pass)
{
    setObjectName(QStringLiteral("Form1"));
    buildControls();
    publishRun();
    connect(&run, &RunParticulars::changed, this, &Form1::followRun);
    // Every change of the skier, whoever makes it, counts for the question on "Measure".
    missingSkier.follow(run.info().skier);
    connect(&run, &RunParticulars::changed, this,
            [this] { missingSkier.follow(this->run.info().skier); });
}

void Form1::buildControls()
{
    auto* central = new QWidget(this);
    setCentralWidget(central);

    Label1 = named(new QLabel(QStringLiteral("Video Slalom Wakeline"), central), "Label1");
    QFont titleFont = Label1->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 2.0);
    titleFont.setBold(true);
    Label1->setFont(titleFont);
    place(Label1, 240, 120, 9600, 720);

    auto addField = [&](const char* name, const QString& label, double top) {
        auto* caption = new QLabel(label, central);
        place(caption, 240, top + 30, 1500, 300);
        auto* field = named(new QLineEdit(central), name);
        place(field, 1800, top, 4440, 330);
        captionFor(caption, field);
        return field;
    };
    txtTournament = addField("txtTournament", QStringLiteral("Tournament"), 960);
    txtLocation = addField("txtLocation", QStringLiteral("Location"), 1440);
    txtDate = addField("txtDate", QStringLiteral("Date"), 1920);
    txtNumber = addField("txtNumber", QStringLiteral("Boat Number"), 2400);
    txtNumber->setText(QStringLiteral("1"));

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
    addNameField("cbSkiers", "cmdSkiers", QStringLiteral("Skiers"), QStringLiteral("Edit Skiers"),
                 3000, cbSkiers, cmdSkiers);
    addNameField("cbDrivers", "cmdDrivers", QStringLiteral("Drivers"),
                 QStringLiteral("Edit Drivers"), 3480, cbDrivers, cmdDrivers);
    addNameField("cbBoats", "cmdBoats", QStringLiteral("Boat Manufacturer"),
                 QStringLiteral("Edit Boat Manuf."), 3960, cbBoats, cmdBoats);
    addNameField("cbModels", "cmdModels", QStringLiteral("Boat Model"),
                 QStringLiteral("Edit Model"), 4440, cbModels, cmdModels);

    // The list editor, shared by the four lists, hidden until an edit button is pressed.
    Text1 = named(new QPlainTextEdit(central), "Text1");
    Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text1->setLineWrapMode(QPlainTextEdit::NoWrap);
    place(Text1, 240, 6840, 6000, 1560);
    nameForAccess(Text1, QStringLiteral("Name list editor")); // named after its list when opened
    Text1->hide();
    cmdCloseSave = named(new QPushButton(QStringLiteral("Close/Save"), central), "cmdCloseSave");
    nameForAccess(cmdCloseSave, cmdCloseSave->text());
    place(cmdCloseSave, 6720, 6840, 1560, 420);
    cmdCloseSave->hide();

    fmEvent = named(new QGroupBox(QStringLiteral("Select Slalom or Jump"), central), "fmEvent");
    place(fmEvent, kSlalomSpeedLeft, 4800, 3300, 660);
    optSlalom = named(new QRadioButton(QStringLiteral("Slalom"), fmEvent), "optSlalom");
    place(optSlalom, 150, 300, 1400, 300);
    optJump = named(new QRadioButton(QStringLiteral("Jump"), fmEvent), "optJump");
    place(optJump, 1800, 300, 1400, 300);
    optSlalom->setChecked(true);

    fmSlalomSpeed = named(new QGroupBox(QStringLiteral("Speed"), central), "fmSlalomSpeed");
    place(fmSlalomSpeed, kSlalomSpeedLeft, kGroupTop, 1560, 2820);
    static constexpr std::array<const char*, 5> slalomNames{"opt36", "opt34", "opt32", "opt30",
                                                            "optOtherSpeed"};
    for (size_t i = 0; i < slalomSpeedOptions.size(); ++i) {
        slalomSpeedOptions[i] =
            named(new QRadioButton(QString::fromLatin1(kSlalomSpeeds[i].caption), fmSlalomSpeed),
                  slalomNames[i]);
        place(slalomSpeedOptions[i], 150, 330 + 330 * double(i), 1300, 300);
    }
    Label2 = named(new QLabel(QStringLiteral("Metric Speed is Official"), fmSlalomSpeed), "Label2");
    Label2->setWordWrap(true);
    place(Label2, 150, 2020, 1300, 700);
    slalomSpeedOptions[kDefaultSlalomSpeed]->setChecked(true);

    fmJumpSpeed = named(new QGroupBox(QStringLiteral("Speed"), central), "fmJumpSpeed");
    place(fmJumpSpeed, kJumpSpeedParkedLeft, kGroupTop, 1560, 3420);
    static constexpr std::array<const char*, 9> jumpNames{
        "optj30", "optj32", "optj34", "optj35", "optj37", "optj39", "optj41", "optj43", "optj45"};
    for (size_t i = 0; i < jumpSpeedOptions.size(); ++i) {
        jumpSpeedOptions[i] =
            named(new QRadioButton(QString::fromLatin1(kJumpSpeeds[i].caption), fmJumpSpeed),
                  jumpNames[i]);
        place(jumpSpeedOptions[i], 150, 330 + 330 * double(i), 1300, 300);
    }
    jumpSpeedOptions[kDefaultJumpSpeed]->setChecked(true);
    fmJumpSpeed->hide();

    fmLineLength = named(new QGroupBox(QStringLiteral("Line Length"), central), "fmLineLength");
    place(fmLineLength, 8520, kGroupTop, 1500, 3660);
    for (size_t i = 0; i < lineOptions.size(); ++i) {
        const QByteArray name = "Option" + QByteArray::number(int(i) + 1);
        lineOptions[i] = named(new QRadioButton(QString::fromLatin1(kLineLengths[i]), fmLineLength),
                               name.constData());
        place(lineOptions[i], 150, 330 + 330 * double(i), 1100, 300);
    }
    lineOptions[kDefaultLineLength]->setChecked(true);

    fmDirection = named(new QGroupBox(QStringLiteral("Boat Direction"), central), "fmDirection");
    place(fmDirection, kSlalomSpeedLeft, 5580, 3300, 1020);
    optAway =
        named(new QRadioButton(QStringLiteral("Going away from Camera"), fmDirection), "optAway");
    place(optAway, 150, 300, 3000, 300);
    optTowards =
        named(new QRadioButton(QStringLiteral("Coming toward Camera"), fmDirection), "optTowards");
    place(optTowards, 150, 630, 3000, 300);
    optTowards->setChecked(true);

    auto* resultsCaption = new QLabel(QStringLiteral("Data Path for Results"), central);
    place(resultsCaption, 240, 5040, 3000, 300);
    txtResults = named(new QLineEdit(central), "txtResults");
    place(txtResults, 240, 5340, 6000, 330);
    captionFor(resultsCaption, txtResults);

    btnSetup = named(new QPushButton(QStringLiteral("Go To Setup"), central), "btnSetup");
    place(btnSetup, 240, 5940, 2880, 540);
    Command1 = named(new QPushButton(QStringLiteral("Measure"), central), "Command1");
    place(Command1, 3360, 5940, 2880, 540);
    // Option buttons and the rest: a button's caption is its text.
    for (QAbstractButton* button : central->findChildren<QAbstractButton*>())
        if (button->accessibleName().isEmpty())
            nameForAccess(button, button->text());

    QAction* mnuManual = menuBar()->addAction(QStringLiteral("&Read Manual"));
    mnuManual->setObjectName(QStringLiteral("mnuManual"));
    QAction* mnuExit = menuBar()->addAction(QStringLiteral("E&xit"));
    mnuExit->setObjectName(QStringLiteral("mnuExit"));
    // The button the menu bar shows when its entries do not fit.
    for (QAbstractButton* more : menuBar()->findChildren<QAbstractButton*>())
        nameForAccess(more, QStringLiteral("More Menu Entries"));

    auto onChecked = [this](QRadioButton* button, void (Form1::*handler)()) {
        connect(button, &QRadioButton::toggled, this, [this, handler](bool checked) {
            if (checked)
                (this->*handler)();
        });
    };
    onChecked(optSlalom, &Form1::optSlalom_Click);
    onChecked(optJump, &Form1::optJump_Click);
    // The direction options need no handler: directionSign is derived from the checked
    // option each time the run particulars are read.
    connect(txtResults, &QLineEdit::textChanged, this, &Form1::txtResults_Change);
    connect(btnSetup, &QPushButton::clicked, this, &Form1::btnSetup_Click);
    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(mnuManual, &QAction::triggered, this, &Form1::mnuManual_Click);
    connect(mnuExit, &QAction::triggered, this, &Form1::mnuExit_Click);
    connect(cmdSkiers, &QPushButton::clicked, this, &Form1::cmdSkiers_Click);
    connect(cmdDrivers, &QPushButton::clicked, this, &Form1::cmdDrivers_Click);
    connect(cmdBoats, &QPushButton::clicked, this, &Form1::cmdBoats_Click);
    connect(cmdModels, &QPushButton::clicked, this, &Form1::cmdModels_Click);
    connect(cmdCloseSave, &QPushButton::clicked, this, &Form1::cmdCloseSave_Click);
    // Every change of the particulars goes into the run particulars at once.
    for (QLineEdit* field : {txtTournament, txtLocation, txtDate, txtNumber, txtResults})
        connect(field, &QLineEdit::textChanged, this, &Form1::publishRun);
    for (QComboBox* combo : {cbSkiers, cbDrivers, cbBoats, cbModels}) {
        connect(combo, &QComboBox::currentIndexChanged, this, &Form1::publishRun);
        connect(combo, &QComboBox::editTextChanged, this, &Form1::publishRun);
    }
    for (QRadioButton* option : central->findChildren<QRadioButton*>())
        connect(option, &QRadioButton::toggled, this, &Form1::publishRun);

    setFixedSize(twipsToPixels(10320), twipsToPixels(8640) + menuBar()->sizeHint().height());
}

void Form1::startUp()
{
    setWindowTitle(kProductTitle + QStringLiteral(" ") + QStringLiteral(WAKELINE_VERSION));
    const QScreen* screen = QGuiApplication::primaryScreen();
    programPlace.screenWidthPixels = screen ? screen->geometry().width() : 1024;
    navigator.prepareMeasurement();
    pass.measured = false;

    QDir::setCurrent(programPlace.folder);
    const QStringList failures = createMissingListFiles(programPlace.folder);
    if (!failures.isEmpty())
        platform.messages.warning(failures.join('\n'), kProductTitle);
    for (NameList list : kNameListsInLoadOrder)
        loadNameList(list);

    txtResults->setText(initialResultsFolder(platform.settings, programPlace.folder));
    txtResults_Change(); // written back at once, also when the text did not change
}

void Form1::checkInterruptedPasses()
{
    const InterruptedPasses found = findInterruptedPasses(
        absoluteResultsFolder(txtResults->text(), programPlace.folder), platform.clock.now());
    if (!found.any())
        return;
    const QString message = interruptedPassesMessage(found);
    if (found.pending.empty()) {
        platform.messages.information(message, kProductTitle);
        return;
    }
    if (!platform.messages.askYesNo(message, kProductTitle))
        return;
    if (const QString failure = writePendingPasses(found.pending); !failure.isEmpty())
        platform.messages.warning(failure, kProductTitle);
}

QComboBox* Form1::nameCombo(NameList list) const
{
    switch (list) {
    case NameList::Drivers:
        return cbDrivers;
    case NameList::Skiers:
        return cbSkiers;
    case NameList::Boats:
        return cbBoats;
    case NameList::Models:
        return cbModels;
    }
    return nullptr;
}

QString Form1::nameListPath(NameList list) const
{
    return QDir(programPlace.folder).filePath(nameListFile(list));
}

void Form1::loadNameList(NameList list)
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

void Form1::openListEditor(NameList list)
{
    const ListForEditing read = readListForEditing(nameListPath(list));
    if (!read.ok) {
        // Whatever the editor held stays: nothing was replaced.
        platform.messages.warning(read.message, kProductTitle);
        return;
    }
    editingList = nameListKey(list);
    nameForAccess(Text1, nameListPlaceholder(list) + QStringLiteral(" list editor"));
    Text1->setPlainText(read.editorText);
    Text1->show();
    cmdCloseSave->show();
    Text1->setFocus();
}

void Form1::cmdSkiers_Click()
{
    openListEditor(NameList::Skiers);
}

void Form1::cmdDrivers_Click()
{
    openListEditor(NameList::Drivers);
}

void Form1::cmdBoats_Click()
{
    openListEditor(NameList::Boats);
}

void Form1::cmdModels_Click()
{
    openListEditor(NameList::Models);
}

void Form1::cmdCloseSave_Click()
{
    const std::optional<NameList> list = nameListForKey(editingList);
    if (!list)
        return;
    const WriteResult written = saveNameList(nameListPath(*list), Text1->toPlainText());
    if (!written) {
        // The old file is intact; the editor stays open with the operator's text.
        platform.messages.warning(written.message, kProductTitle);
        return;
    }
    Text1->hide();
    cmdCloseSave->hide();
    // The field goes back to no name (its placeholder shows), whatever was picked before.
    QComboBox* combo = nameCombo(*list);
    combo->clear();
    combo->clearEditText();
    loadNameList(*list);
}

RunInfo Form1::runInfo() const
{
    RunInfo r;
    r.tournament = txtTournament->text();
    r.location = txtLocation->text();
    r.date = txtDate->text();
    r.boatNumber = txtNumber->text();
    r.skier = cbSkiers->currentText();
    r.driver = cbDrivers->currentText();
    r.boatMaker = cbBoats->currentText();
    r.boatModel = cbModels->currentText();
    r.event = event();
    auto checkedIndex = [](const auto& options) {
        for (size_t i = 0; i < options.size(); ++i)
            if (options[i]->isChecked())
                return int(i);
        return -1;
    };
    r.slalomSpeed = checkedIndex(slalomSpeedOptions);
    r.jumpSpeed = checkedIndex(jumpSpeedOptions);
    r.lineLength = checkedIndex(lineOptions);
    r.direction = optAway->isChecked() ? Direction::Away : Direction::Toward;
    r.resultsFolder = txtResults->text();
    return r;
}

Event Form1::event() const
{
    return optJump->isChecked() ? Event::Jump : Event::Slalom;
}

void Form1::selectEvent(Event e)
{
    (e == Event::Jump ? optJump : optSlalom)->setChecked(true);
}

void Form1::setDirection(Direction d)
{
    (d == Direction::Away ? optAway : optTowards)->setChecked(true);
}

void Form1::selectSlalomSpeed(int index)
{
    if (index >= 0 && index < int(slalomSpeedOptions.size()))
        slalomSpeedOptions[size_t(index)]->setChecked(true);
}

void Form1::selectJumpSpeed(int index)
{
    if (index >= 0 && index < int(jumpSpeedOptions.size()))
        jumpSpeedOptions[size_t(index)]->setChecked(true);
}

void Form1::selectLineLength(int index)
{
    if (index >= 0 && index < int(lineOptions.size()))
        lineOptions[size_t(index)]->setChecked(true);
}

void Form1::setBoatNumber(const QString& text)
{
    txtNumber->setText(text);
}

QStringList Form1::nameItems(NameList list) const
{
    QStringList items;
    const QComboBox* combo = nameCombo(list);
    for (int i = 0; i < combo->count(); ++i)
        items << combo->itemText(i);
    return items;
}

int Form1::namePosition(NameList list) const
{
    // A name typed over a picked one leaves the drop-down's index on the old item; that
    // item is no longer the selection, or the results screen's copy would pick it again
    // and put it back over the typed name.
    const QComboBox* combo = nameCombo(list);
    const int index = combo->currentIndex();
    return index >= 0 && combo->itemText(index) == combo->currentText() ? index : -1;
}

void Form1::selectNamePosition(NameList list, int position)
{
    QComboBox* combo = nameCombo(list);
    if (position >= 0 && position < combo->count())
        combo->setCurrentIndex(position);
}

std::array<int, 4> Form1::namePositions() const
{
    std::array<int, 4> positions{};
    for (NameList list : kNameListsInLoadOrder)
        positions[size_t(list)] = namePosition(list);
    return positions;
}

void Form1::publishRun()
{
    if (following)
        return;
    publishing = true;
    run.set(runInfo(), namePositions());
    publishing = false;
}

void Form1::followRun()
{
    if (publishing)
        return;
    following = true;
    const RunInfo& r = run.info();
    for (const auto& [field, text] : {std::pair{txtTournament, r.tournament},
                                      {txtLocation, r.location},
                                      {txtDate, r.date},
                                      {txtNumber, r.boatNumber},
                                      {txtResults, r.resultsFolder}})
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

void Form1::optSlalom_Click()
{
    optAway->show();
    fmLineLength->show();
    fmSlalomSpeed->show();
    fmJumpSpeed->hide();
    Label1->setText(QStringLiteral("Video Slalom Wakeline"));
}

void Form1::optJump_Click()
{
    // Jump passes are always measured coming toward the camera.
    optAway->hide();
    optTowards->setChecked(true);
    fmLineLength->hide();
    fmSlalomSpeed->hide();
    fmJumpSpeed->move(twipsToPixels(kSlalomSpeedLeft), fmJumpSpeed->y());
    fmJumpSpeed->show();
    Label1->setText(QStringLiteral("Video Jump Wakeline"));
}

void Form1::txtResults_Change()
{
    QString error;
    if (platform.settings.setValue(kSettingsApplication, kSettingsSection, kSettingsResultsPath,
                                   txtResults->text(), &error)) {
        settingsWriteReported = false;
        return;
    }
    // Once per failure streak: this runs on every keystroke.
    if (!settingsWriteReported) {
        settingsWriteReported = true;
        platform.messages.warning(
            QStringLiteral("The results folder could not be remembered for the next start: %1.")
                .arg(error),
            kProductTitle);
    }
}

bool Form1::folderCheck()
{
    const FolderCheck check = checkResultsFolder(txtResults->text(), programPlace.folder);
    if (check.trimmed)
        txtResults->setText(check.folder);
    if (!check.ok)
        platform.messages.information(check.error, kProductTitle);
    return check.ok;
}

void Form1::btnSetup_Click()
{
    if (!folderCheck())
        return;
    navigator.openCalibration();
    hide();
}

void Form1::Command1_Click()
{
    if (!folderCheck())
        return;
    if (!calibration.complete) {
        platform.messages.plain(
            QStringLiteral("The setup must be OK to proceed.  Return to the setup screen and "
                           "create a valid setup"));
        return;
    }
    if (missingSkier.mustAsk()) {
        const bool goOn = platform.messages.askYesNo(MissingSkierQuestion::text(), kProductTitle);
        missingSkier.answer(goOn);
        if (!goOn) {
            cbSkiers->setFocus();
            return;
        }
    }
    navigator.openMeasurement();
    hide();
}

void Form1::mnuManual_Click()
{
    navigator.openManual();
}

void Form1::mnuExit_Click()
{
    navigator.endProgram();
}

void Form1::closeEvent(QCloseEvent* e)
{
    e->accept();
    navigator.endProgram();
}
