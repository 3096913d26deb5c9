#include "common/text_file.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>

QString decodeText(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    // Files written on older workstations carry Latin-1 bytes (0xE9 for "é").
    return QString::fromLatin1(bytes);
}

std::optional<QString> readTextFile(const QString& path, qint64 maxBytes)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    return decodeText(f.read(maxBytes));
}

QStringList splitLines(const QString& text)
{
    QStringList lines;
    int start = 0;
    const int n = int(text.size());
    for (int i = 0; i < n; ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            lines << text.mid(start, i - start);
            if (text[i] == '\r' && i + 1 < n && text[i + 1] == '\n')
                ++i;
            start = i + 1;
        }
    }
    if (start < n)
        lines << text.mid(start);
    return lines;
}

QString writeFailureMessage(const QString& path, const QString& reason)
{
    return QStringLiteral("Could not write the file %1: %2.")
        .arg(QDir::toNativeSeparators(path), reason);
}

namespace {

// Writes every byte; a short write is retried so that the call that fails carries the
// system's reason (disk full, file too large) instead of "Unknown error".
bool writeAll(QFileDevice& f, const QByteArray& bytes)
{
    qint64 written = 0;
    while (written < bytes.size()) {
        const qint64 n = f.write(bytes.constData() + written, bytes.size() - written);
        if (n <= 0)
            return false;
        written += n;
    }
    return true;
}

} // namespace

WriteResult appendText(const QString& path, const QString& text)
{
    QFile f(path);
    // Unbuffered, so a failure shows at the write, not at a close that cannot report it.
    if (!f.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        return {false, writeFailureMessage(path, f.errorString())};
    const qint64 before = f.size();
    if (!writeAll(f, text.toUtf8())) {
        const QString reason = f.errorString();
        // A log holds whole records only: take back the part of this one that got in.
        f.resize(before);
        return {false, writeFailureMessage(path, reason)};
    }
    return {};
}

WriteResult replaceFile(const QString& path, const QString& text)
{
    QSaveFile f(path);
    // Unbuffered: a buffered write that fails only when commit() flushes it (disk full, file
    // size limit) goes unnoticed there, and the short file would replace the old one.
    if (!f.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return {false, writeFailureMessage(path, f.errorString())};
    if (!writeAll(f, text.toUtf8()))
        return {false, writeFailureMessage(path, f.errorString())};
    if (!f.commit())
        return {false, writeFailureMessage(path, f.errorString())};
    return {};
}
