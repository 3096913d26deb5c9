#include "common/text_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
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

bool writeAllBytes(QFileDevice& f, const QByteArray& bytes)
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

namespace {

constexpr qint64 kScanPiece = 64 * 1024;

// Whether every byte of the file is UTF-8, as decodeText would judge it; a missing or empty
// file counts as UTF-8. Read in pieces so that a long day log is never held whole. Only a
// regular file is read: a device never ends (/dev/full reads as endless zeros) and a pipe
// would block.
bool holdsUtf8(const QString& path)
{
    QFile f(path);
    if (!QFileInfo(path).isFile() || !f.open(QIODevice::ReadOnly))
        return true;
    QStringDecoder utf8(QStringDecoder::Utf8);
    // The decoder converts only when its result becomes a QString, and keeps a sequence split
    // between two pieces for the next one.
    for (QByteArray piece = f.read(kScanPiece); !piece.isEmpty(); piece = f.read(kScanPiece)) {
        (void)QString(utf8.decode(piece));
        if (utf8.hasError())
            return false;
    }
    // A sequence cut off at the end of the file shows as an error at the next byte.
    (void)QString(utf8.decode(QByteArrayView("\n")));
    return !utf8.hasError();
}

// Latin-1 bytes of the text; a character that has no Latin-1 form becomes one '?' (a
// surrogate pair is one character).
QByteArray latin1Bytes(const QString& text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < 0x100) {
            bytes.append(char(c));
            continue;
        }
        bytes.append('?');
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
    }
    return bytes;
}

} // namespace

WriteResult appendText(const QString& path, const QString& text)
{
    // A log written as Latin-1 on another workstation stays Latin-1: a file that mixed the two
    // would read back garbled wherever the UTF-8 part held a non-ASCII character.
    const QByteArray bytes = holdsUtf8(path) ? text.toUtf8() : latin1Bytes(text);
    QFile f(path);
    // Unbuffered, so a failure shows at the write, not at a close that cannot report it.
    // Opened as a new file first, to know whether this append made the file.
    const QIODevice::OpenMode mode =
        QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered;
    const bool created = f.open(mode | QIODevice::NewOnly);
    if (!created && !f.open(mode))
        return {false, writeFailureMessage(path, f.errorString())};
    const qint64 before = f.size();
    if (!writeAllBytes(f, bytes)) {
        const QString reason = f.errorString();
        // A log holds whole records only: take back the part of this one that got in. A file
        // this append made and that holds nothing goes too (a full disk made empty day logs);
        // a file that was there is never removed.
        f.resize(before);
        f.close();
        if (created && QFileInfo(path).size() == 0)
            f.remove();
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
    if (!writeAllBytes(f, text.toUtf8()))
        return {false, writeFailureMessage(path, f.errorString())};
    if (!f.commit())
        return {false, writeFailureMessage(path, f.errorString())};
    return {};
}
