#pragma once
// Plain text files: CR LF line ends, UTF-8 written (an append keeps a Latin-1 file Latin-1),
// UTF-8 read with a Latin-1 fallback.
// Every write reports failure with the operator's text naming the file and the reason.

#include <QString>
#include <QStringList>
#include <optional>

class QFileDevice;

inline constexpr const char* kCrLf = "\r\n";

struct WriteResult
{
    bool ok = true;
    QString message; // for the operator: names the file and the reason; empty when ok
    explicit operator bool() const { return ok; }
};

// Reads the whole file, decoding UTF-8 and falling back to Latin-1 when the bytes are not
// valid UTF-8. std::nullopt when it cannot be opened. Reads at most maxBytes.
std::optional<QString> readTextFile(const QString& path, qint64 maxBytes = 64 * 1024 * 1024);
// Decodes file bytes as above.
QString decodeText(const QByteArray& bytes);
// Splits text into lines at CR LF, LF or CR; a final line end does not make an empty line.
QStringList splitLines(const QString& text);
// Appends one whole record in one write and flushes it (logs and journals). The record takes
// the file's encoding: Latin-1 when the file holds bytes that are not UTF-8 ('?' for a
// character with no Latin-1 form), else UTF-8. A failed append leaves the file as it was, and
// no empty file where there was none.
WriteResult appendText(const QString& path, const QString& text);
// Replaces the file atomically: a failed write leaves the old file intact.
WriteResult replaceFile(const QString& path, const QString& text);
// Writes every byte to an open file; a short write is retried so that the call that fails
// carries the system's reason (disk full, file too large) instead of "Unknown error".
bool writeAllBytes(QFileDevice& f, const QByteArray& bytes);
// The operator's message for a file that could not be written.
QString writeFailureMessage(const QString& path, const QString& reason);
