#include "app/ui/manual.h"

#include "app/manual_rules.h"
#include "common/twips.h"
#include "picture/ui/accessible_names.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

Manual::Manual(const QRect& startFrame, const QScreen* screen)
{
    setObjectName(QStringLiteral("Manual"));
    setWindowTitle(QStringLiteral("Wakeline Program Manual"));

    Text1 = new QPlainTextEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setReadOnly(true);
    Text1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont font(QStringLiteral("Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(9.75);
    Text1->setFont(font);
    Text1->setPlainText(manualText());
    nameForAccess(Text1, windowTitle());

    Command1 = new QPushButton(QStringLiteral("Return"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    nameForAccess(Command1, Command1->text());
    connect(Command1, &QPushButton::clicked, this, &Manual::Command1_Click);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Text1);
    layout->addLayout(buttons);

    resize(twipsToPixels(8100), twipsToPixels(8400));
    if (screen)
        move(manualPosition(startFrame, size(), screen->availableGeometry()));
}

void Manual::Command1_Click()
{
    hide();
}
