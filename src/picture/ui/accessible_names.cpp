#include "picture/ui/accessible_names.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTableView>

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
    if (auto* table = qobject_cast<QTableView*>(control)) {
        table->horizontalHeader()->setAccessibleName(name + QStringLiteral(" column headers"));
        table->verticalHeader()->setAccessibleName(name + QStringLiteral(" row headers"));
        for (QHeaderView* header : {table->horizontalHeader(), table->verticalHeader()})
            nameScrollBars(header, header->accessibleName());
        // The corner button that selects the whole table.
        for (auto* button : table->findChildren<QAbstractButton*>(Qt::FindDirectChildrenOnly))
            button->setAccessibleName(name + QStringLiteral(" select all"));
    }
}

void captionFor(QLabel* caption, QWidget* control)
{
    caption->setBuddy(control);
    nameForAccess(control, caption->text());
}
