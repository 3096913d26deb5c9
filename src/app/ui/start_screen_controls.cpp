// The start screen's controls and their places: the run particulars in a column on the
// left with the results folder and the two ways on, the choices of event, speed, line length
// and direction on the right, the name list editor under both.

#include "app/ui/start_screen.h"

#include "picture/ui/accessible_names.h"
#include "picture/ui/screen_layout.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {

// Sizes in pixels, as the screen has always been drawn: the left column 400 wide (a caption
// column, then the fields), the choices 220 wide, the window 688 x 576 under its menu.
constexpr int kTitleHeight = 48;
constexpr int kCaptionColumn = 104;
constexpr int kNameRowHeight = 24;
constexpr int kFieldWidth = 296;
constexpr int kNameFieldWidth = 280;
constexpr int kEditButtonWidth = 112;
constexpr int kLeftColumn = kCaptionColumn + kFieldWidth;
constexpr QSize kWayButton{192, 36};
constexpr QSize kEditorSize{kLeftColumn, 104};
constexpr QSize kCloseSaveSize{104, 28};
constexpr int kSpeedGroupWidth = 104;
constexpr int kMetricNoteHeight = 47;
constexpr int kLineLengthGroupWidth = 100;
constexpr int kChoicesWidth = 220;
constexpr int kColumnGap = 32;
constexpr QSize kUsualSize{688, 576};

QStringList speedCaptions(const auto& speeds)
{
    QStringList captions;
    for (const SpeedChoice& s : speeds)
        captions << QString::fromLatin1(s.caption);
    return captions;
}

// "slalom58Option" for "58/36": named by the official figure, km/h.
QStringList speedNames(const char* event, const auto& speeds)
{
    QStringList names;
    for (const SpeedChoice& s : speeds)
        names << QStringLiteral("%1%2Option").arg(QLatin1String(event)).arg(s.kmh);
    return names;
}

// "line1825Option" for "18.25".
QStringList lineLengthNames()
{
    QStringList names;
    for (const char* length : kLineLengths)
        names << QStringLiteral("line%1Option").arg(QString::fromLatin1(length).remove('.'));
    return names;
}

QStringList lineLengthCaptions()
{
    QStringList captions;
    for (const char* length : kLineLengths)
        captions << QString::fromLatin1(length);
    return captions;
}

// Options close together inside their frame, as they have always been.
template <typename Layout> Layout* optionLayout(QGroupBox* group)
{
    auto* layout = new Layout(group);
    layout->setContentsMargins(7, 0, 3, 1);
    layout->setSpacing(2);
    return layout;
}

void keepPlaceWhenHidden(QWidget* widget)
{
    QSizePolicy policy = widget->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    widget->setSizePolicy(policy);
}

} // namespace

void StartScreen::buildControls()
{
    auto* central = new QWidget(this);
    setCentralWidget(central);
    auto* outer = new QVBoxLayout(central);
    outer->setContentsMargins(0, 0, 0, 0);
    // In a larger window (maximised on a wide screen) the controls keep their sizes and stay
    // together, at the top in the middle.
    outer->addWidget(buildPage(central), 0, Qt::AlignTop | Qt::AlignHCenter);
    buildMenu();
    connectControls();
    resize(kUsualSize + QSize(0, menuBar()->sizeHint().height()));
}

// Made in the order the Tab key visits them: the particulars, the name fields with their
// edit buttons and the editor, the choices, then the results folder and the ways on.
QWidget* StartScreen::buildPage(QWidget* parent)
{
    auto* page = new QWidget(parent);
    titleLabel = named(new QLabel(QStringLiteral("Video Slalom Wakeline"), page), "titleLabel");
    QFont titleFont = titleLabel->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 2.0);
    titleFont.setBold(true);
    titleLabel->setFont(titleFont);
    titleLabel->setMinimumHeight(kTitleHeight);

    QLayout* fields = buildFields(page);

    // The list editor, shared by the four lists, hidden until an edit button is pressed.
    nameListEdit = named(new QPlainTextEdit(page), "nameListEdit");
    nameListEdit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    nameListEdit->setLineWrapMode(QPlainTextEdit::NoWrap);
    nameListEdit->setMinimumSize(kEditorSize);
    nameListEdit->setMaximumHeight(kEditorSize.height());
    nameForAccess(nameListEdit, QStringLiteral("Name list editor")); // its list's when opened
    closeSaveButton = named(new QPushButton(QStringLiteral("Close/Save"), page), "closeSaveButton");
    nameForAccess(closeSaveButton, closeSaveButton->text());
    closeSaveButton->setMinimumSize(kCloseSaveSize);
    for (QWidget* editor : std::initializer_list<QWidget*>{nameListEdit, closeSaveButton}) {
        keepPlaceWhenHidden(editor);
        editor->hide();
    }

    QLayout* choices = buildChoices(page);

    auto* resultsCaption = new QLabel(QStringLiteral("Data Path for Results"), page);
    resultsCaption->setMinimumHeight(20);
    resultsFolderEdit = named(new QLineEdit(page), "resultsFolderEdit");
    resultsFolderEdit->setMinimumWidth(kLeftColumn);
    captionFor(resultsCaption, resultsFolderEdit);
    goToSetupButton =
        named(new QPushButton(QStringLiteral("Go To Setup"), page), "goToSetupButton");
    measureButton = named(new QPushButton(QStringLiteral("Measure"), page), "measureButton");
    auto* ways = new QHBoxLayout;
    ways->setSpacing(kLeftColumn - 2 * kWayButton.width());
    for (QPushButton* button : {goToSetupButton, measureButton}) {
        button->setMinimumSize(kWayButton);
        ways->addWidget(button);
    }

    auto* left = new QVBoxLayout;
    left->setSpacing(0);
    left->addLayout(fields);
    left->addSpacing(16);
    left->addWidget(resultsCaption);
    left->addWidget(resultsFolderEdit);
    left->addSpacing(18);
    left->addLayout(ways);
    left->addStretch();

    auto* grid = new QGridLayout(page);
    grid->setContentsMargins(16, 8, 20, 16);
    grid->setHorizontalSpacing(kColumnGap);
    grid->setVerticalSpacing(8);
    grid->addWidget(titleLabel, 0, 0, 1, 2);
    grid->addLayout(left, 1, 0);
    grid->addLayout(choices, 1, 1);
    grid->setRowMinimumHeight(2, 10);
    grid->addWidget(nameListEdit, 3, 0);
    grid->addWidget(closeSaveButton, 3, 1, Qt::AlignLeft | Qt::AlignTop);
    return page;
}

QLayout* StartScreen::buildFields(QWidget* page)
{
    auto* particulars = new QGridLayout;
    particulars->setHorizontalSpacing(0);
    particulars->setVerticalSpacing(10);
    particulars->setColumnMinimumWidth(0, kCaptionColumn);
    auto addField = [&](const char* name, const QString& caption) {
        auto* label = new QLabel(caption, page);
        auto* field = named(new QLineEdit(page), name);
        field->setMinimumWidth(kFieldWidth);
        const int row = particulars->rowCount();
        particulars->addWidget(label, row, 0);
        particulars->addWidget(field, row, 1);
        captionFor(label, field);
        return field;
    };
    tournamentEdit = addField("tournamentEdit", QStringLiteral("Tournament"));
    locationEdit = addField("locationEdit", QStringLiteral("Location"));
    dateEdit = addField("dateEdit", QStringLiteral("Date"));
    boatNumberEdit = addField("boatNumberEdit", QStringLiteral("Boat Number"));
    boatNumberEdit->setText(QStringLiteral("1"));

    auto* nameFields = new QGridLayout;
    nameFields->setHorizontalSpacing(kLeftColumn - kNameFieldWidth - kEditButtonWidth);
    nameFields->setVerticalSpacing(8);
    auto addNameField = [&](const char* comboName, const char* buttonName, const QString& title,
                            const QString& buttonCaption, QComboBox*& combo, QPushButton*& button) {
        combo = named(new QComboBox(page), comboName);
        combo->setEditable(true);
        combo->setInsertPolicy(QComboBox::NoInsert);
        // The text typed is the name recorded: Qt's completer would finish "Ann" as a
        // listed "Anne Smith" when the field is left, and turn "bob" into a listed "Bob".
        // Without it, only a name typed exactly as listed selects that item.
        combo->setCompleter(nullptr);
        // The list's title shows until a name is picked or typed; it is never the value.
        combo->lineEdit()->setPlaceholderText(title);
        combo->setMinimumSize(kNameFieldWidth, kNameRowHeight);
        nameForAccess(combo, title);
        button = named(new QPushButton(buttonCaption, page), buttonName);
        button->setMinimumSize(kEditButtonWidth, kNameRowHeight);
        nameForAccess(button, buttonCaption);
        const int row = nameFields->rowCount();
        nameFields->addWidget(combo, row, 0);
        nameFields->addWidget(button, row, 1);
    };
    addNameField("skierCombo", "editSkiersButton", QStringLiteral("Skiers"),
                 QStringLiteral("Edit Skiers"), skierCombo, editSkiersButton);
    addNameField("driverCombo", "editDriversButton", QStringLiteral("Drivers"),
                 QStringLiteral("Edit Drivers"), driverCombo, editDriversButton);
    addNameField("boatMakerCombo", "editBoatMakersButton", QStringLiteral("Boat Manufacturer"),
                 QStringLiteral("Edit Boat Manuf."), boatMakerCombo, editBoatMakersButton);
    addNameField("boatModelCombo", "editBoatModelsButton", QStringLiteral("Boat Model"),
                 QStringLiteral("Edit Model"), boatModelCombo, editBoatModelsButton);

    auto* fields = new QVBoxLayout;
    fields->setSpacing(18);
    fields->addLayout(particulars);
    fields->addLayout(nameFields);
    return fields;
}

QGroupBox* StartScreen::buildOptionGroup(QWidget* page, const QString& title,
                                         QButtonGroup*& options, const QStringList& captions,
                                         const QStringList& names)
{
    auto* group = new QGroupBox(title, page);
    options = new QButtonGroup(this);
    auto* column = optionLayout<QVBoxLayout>(group);
    for (int i = 0; i < captions.size(); ++i) {
        auto* option = named(new QRadioButton(captions[i], group), names[i]);
        options->addButton(option, i);
        column->addWidget(option);
    }
    return group;
}

QLayout* StartScreen::buildChoices(QWidget* page)
{
    eventGroup = named(new QGroupBox(QStringLiteral("Select Slalom or Jump"), page), "eventGroup");
    slalomOption = named(new QRadioButton(QStringLiteral("Slalom"), eventGroup), "slalomOption");
    jumpOption = named(new QRadioButton(QStringLiteral("Jump"), eventGroup), "jumpOption");
    slalomOption->setChecked(true);
    auto* events = optionLayout<QHBoxLayout>(eventGroup);
    events->addWidget(slalomOption, 1);
    events->addWidget(jumpOption, 1);

    slalomSpeedGroup =
        named(buildOptionGroup(page, QStringLiteral("Speed"), slalomSpeedOptions,
                               speedCaptions(kSlalomSpeeds), speedNames("slalom", kSlalomSpeeds)),
              "slalomSpeedGroup");
    metricSpeedLabel =
        named(new QLabel(QStringLiteral("Metric Speed is Official"), slalomSpeedGroup),
              "metricSpeedLabel");
    metricSpeedLabel->setWordWrap(true);
    metricSpeedLabel->setMinimumHeight(kMetricNoteHeight);
    auto* speedColumn = static_cast<QVBoxLayout*>(slalomSpeedGroup->layout());
    speedColumn->addSpacing(3);
    speedColumn->addWidget(metricSpeedLabel);
    slalomSpeedOptions->button(kDefaultSlalomSpeed)->setChecked(true);

    jumpSpeedGroup =
        named(buildOptionGroup(page, QStringLiteral("Speed"), jumpSpeedOptions,
                               speedCaptions(kJumpSpeeds), speedNames("jump", kJumpSpeeds)),
              "jumpSpeedGroup");
    jumpSpeedOptions->button(kDefaultJumpSpeed)->setChecked(true);
    jumpSpeedGroup->hide();

    lineLengthGroup = named(buildOptionGroup(page, QStringLiteral("Line Length"), lineLengthOptions,
                                             lineLengthCaptions(), lineLengthNames()),
                            "lineLengthGroup");
    lineLengthOptions->button(kDefaultLineLength)->setChecked(true);

    directionGroup = named(new QGroupBox(QStringLiteral("Boat Direction"), page), "directionGroup");
    awayOption = named(new QRadioButton(QStringLiteral("Going away from Camera"), directionGroup),
                       "awayOption");
    towardOption = named(new QRadioButton(QStringLiteral("Coming toward Camera"), directionGroup),
                         "towardOption");
    towardOption->setChecked(true);
    auto* directions = optionLayout<QVBoxLayout>(directionGroup);
    directions->addWidget(awayOption);
    directions->addWidget(towardOption);

    // The event shows one speed group and hides the other in the same place; nothing else
    // moves when the line length and "away" go in jump.
    for (QWidget* w : std::initializer_list<QWidget*>{slalomSpeedGroup, jumpSpeedGroup,
                                                      lineLengthGroup, awayOption})
        keepPlaceWhenHidden(w);
    slalomSpeedGroup->setFixedWidth(kSpeedGroupWidth);
    jumpSpeedGroup->setFixedWidth(kSpeedGroupWidth);
    lineLengthGroup->setMinimumWidth(kLineLengthGroupWidth);
    auto* speedAndLine = new QGridLayout;
    speedAndLine->setHorizontalSpacing(kChoicesWidth - kSpeedGroupWidth - kLineLengthGroupWidth);
    speedAndLine->addWidget(slalomSpeedGroup, 0, 0, Qt::AlignTop);
    speedAndLine->addWidget(jumpSpeedGroup, 0, 0, Qt::AlignTop);
    speedAndLine->addWidget(lineLengthGroup, 0, 1, Qt::AlignTop);

    auto* choices = new QVBoxLayout;
    choices->setSpacing(0);
    choices->addLayout(speedAndLine);
    choices->addSpacing(14);
    choices->addWidget(eventGroup);
    choices->addSpacing(8);
    choices->addWidget(directionGroup);
    choices->addStretch();
    for (QGroupBox* group : {eventGroup, directionGroup})
        group->setMinimumWidth(kChoicesWidth);
    return choices;
}

void StartScreen::buildMenu()
{
    QAction* readManualAction = menuBar()->addAction(QStringLiteral("&Read Manual"));
    readManualAction->setObjectName(QStringLiteral("readManualAction"));
    QAction* exitAction = menuBar()->addAction(QStringLiteral("E&xit"));
    exitAction->setObjectName(QStringLiteral("exitAction"));
    // The button the menu bar shows when its entries do not fit.
    for (QAbstractButton* more : menuBar()->findChildren<QAbstractButton*>())
        nameForAccess(more, QStringLiteral("More Menu Entries"));
    connect(readManualAction, &QAction::triggered, this, &StartScreen::readManual);
    connect(exitAction, &QAction::triggered, this, &StartScreen::exitProgram);
}

void StartScreen::connectControls()
{
    // Option buttons and the rest: a button's caption is its text.
    for (QAbstractButton* button : centralWidget()->findChildren<QAbstractButton*>())
        if (button->accessibleName().isEmpty())
            nameForAccess(button, button->text());

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
    for (NameList list : kNameListsInLoadOrder)
        connect(editButton(list), &QPushButton::clicked, this,
                [this, list] { openListEditor(list); });
    connect(closeSaveButton, &QPushButton::clicked, this, &StartScreen::saveListAndClose);
    // Every change of the particulars goes into the run particulars at once.
    for (QLineEdit* field :
         {tournamentEdit, locationEdit, dateEdit, boatNumberEdit, resultsFolderEdit})
        connect(field, &QLineEdit::textChanged, this, &StartScreen::publishRun);
    for (NameList list : kNameListsInLoadOrder) {
        connect(nameCombo(list), &QComboBox::currentIndexChanged, this, &StartScreen::publishRun);
        connect(nameCombo(list), &QComboBox::editTextChanged, this, &StartScreen::publishRun);
    }
    for (QRadioButton* option : centralWidget()->findChildren<QRadioButton*>())
        connect(option, &QRadioButton::toggled, this, &StartScreen::publishRun);
}
