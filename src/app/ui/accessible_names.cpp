#include "app/ui/accessible_names.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>

namespace {

// "&Read Manual" reads "Read Manual"; "&&" stands for one "&".
QString withoutAccessKey(const QString& caption)
{
    QString plain;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && i + 1 < caption.size())
            ++i;
        plain += caption[i];
    }
    return plain;
}

void nameScrollBars(QAbstractScrollArea* area, const QString& name)
{
    area->verticalScrollBar()->setAccessibleName(name + QStringLiteral(" vertical scroll bar"));
    area->horizontalScrollBar()->setAccessibleName(name + QStringLiteral(" horizontal scroll bar"));
}

} // namespace

void nameForAccess(QWidget* control, const QString& caption)
{
    const QString name = withoutAccessKey(caption);
    control->setAccessibleName(name);
    if (auto* area = qobject_cast<QAbstractScrollArea*>(control))
        nameScrollBars(area, name);
    if (auto* combo = qobject_cast<QComboBox*>(control)) {
        if (QLineEdit* edit = combo->lineEdit())
            edit->setAccessibleName(name);
        QAbstractItemView* list = combo->view();
        list->setAccessibleName(name + QStringLiteral(" list"));
        nameScrollBars(list, list->accessibleName());
    }
}

void captionFor(QLabel* caption, QWidget* control)
{
    caption->setBuddy(control);
    nameForAccess(control, caption->text());
}
