#include "platform/qt/qt_platform.h"

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QImageReader>
#include <QInputDialog>
#include <QMessageBox>
#include <QRegularExpression>
#include <QSettings>

namespace {
QString settingsKey(const QString& section, const QString& key)
{
    return section + "/" + key;
}
QWidget* activeWindow()
{
    return QApplication::activeWindow();
}
} // namespace

std::optional<QString> QtSettingsStore::value(const QString& application, const QString& section,
                                              const QString& key) const
{
    QSettings s(application, application);
    const QVariant v = s.value(settingsKey(section, key));
    if (!v.isValid())
        return std::nullopt;
    return v.toString();
}

bool QtSettingsStore::setValue(const QString& application, const QString& section,
                               const QString& key, const QString& value, QString* error)
{
    QSettings s(application, application);
    s.setValue(settingsKey(section, key), value);
    s.sync();
    if (s.status() != QSettings::NoError) {
        if (error)
            *error = QStringLiteral("the settings file %1 could not be written").arg(s.fileName());
        return false;
    }
    return true;
}

QStringList qtFilters(const QString& filterList)
{
    // Qt reads a filter's patterns from the parentheses in its name, so the name's own
    // "(*.ext)" is replaced by the patterns the list actually filters with.
    static const QRegularExpression shownPatterns(QStringLiteral("\\s*\\([^()]*\\)\\s*$"));
    const QStringList parts = filterList.split('|');
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString& pattern : parts[i + 1].split(';', Qt::SkipEmptyParts)) {
            // "*.*" means every file, but Qt matches it only to names with a dot: Linux
            // files often have none.
            const QString p = pattern.trimmed();
            patterns << (p == QLatin1String("*.*") ? QStringLiteral("*") : p);
        }
        patterns.removeDuplicates();
        if (patterns.isEmpty())
            patterns << QStringLiteral("*");
        QString name = parts[i];
        name.remove(shownPatterns);
        // Every entry is kept, even one without a name, so the 1-based index still picks
        // the entry it was chosen for.
        if (name.isEmpty())
            name = patterns.join(' ');
        filters << name + QStringLiteral(" (") + patterns.join(' ') + QStringLiteral(")");
    }
    return filters;
}

std::optional<QString> QtFileDialog::choose(const FileDialogRequest& request)
{
    QFileDialog dialog(activeWindow(), request.title, request.folder);
    const QStringList filters = qtFilters(request.filter);
    dialog.setNameFilters(filters);
    if (request.filterIndex >= 1 && request.filterIndex <= filters.size())
        dialog.selectNameFilter(filters[request.filterIndex - 1]);
    dialog.setAcceptMode(request.forSaving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.forSaving ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // Keep the operator's name as typed: the filters are matched case-blind on Windows files.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().first();
}

void QtMessageBoxes::show(const QString& text, const QString& title, MessageIcon icon)
{
    QMessageBox box(activeWindow());
    box.setWindowTitle(title.isEmpty() ? QApplication::applicationDisplayName() : title);
    box.setText(text);
    box.setIcon(icon == MessageIcon::Warning       ? QMessageBox::Warning
                : icon == MessageIcon::Information ? QMessageBox::Information
                                                   : QMessageBox::NoIcon);
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

bool QtMessageBoxes::askYesNo(const QString& text, const QString& title)
{
    return QMessageBox::question(activeWindow(), title, text, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

std::optional<QString> QtMessageBoxes::input(const QString& prompt, const QString& title,
                                             const QString& initial)
{
    bool ok = false;
    const QString text =
        QInputDialog::getText(activeWindow(), title, prompt, QLineEdit::Normal, initial, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

QDateTime SystemClock::now() const
{
    return QDateTime::currentDateTime();
}

qint64 SystemClock::monotonicMs() const
{
    return started.elapsed();
}

QImage QtPictureSource::load(const QString& path)
{
    QImageReader reader(path);
    reader.setAutoTransform(false);
    return reader.read();
}

QImage QtPictureSource::clipboardImage()
{
    const QClipboard* clipboard = QApplication::clipboard();
    return clipboard ? clipboard->image() : QImage();
}
