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

    manualEdit = new QPlainTextEdit(this);
    manualEdit->setObjectName(QStringLiteral("manualEdit"));
    manualEdit->setReadOnly(true);
    manualEdit->setLineWrapMode(QPlainTextEdit::NoWrap);
    manualEdit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    manualEdit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont font(QStringLiteral("Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(9.75);
    manualEdit->setFont(font);
    manualEdit->setPlainText(manualText());
    nameForAccess(manualEdit, windowTitle());

    returnButton = new QPushButton(QStringLiteral("Return"), this);
    returnButton->setObjectName(QStringLiteral("returnButton"));
    nameForAccess(returnButton, returnButton->text());
    // Only hidden: it comes back as it was left.
    connect(returnButton, &QPushButton::clicked, this, &QWidget::hide);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(returnButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(manualEdit);
    layout->addLayout(buttons);

    resize(twipsToPixels(8100), twipsToPixels(8400));
    if (screen)
        move(manualPosition(startFrame, size(), screen->availableGeometry()));
}
