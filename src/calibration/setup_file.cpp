#include "calibration/setup_file.h"

#include "common/number_forms.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <charconv>
#include <cmath>

namespace {

// Far larger than any setup file; keeps a wrongly chosen large file from being read whole.
constexpr qint64 kMaxSetupFileBytes = 64 * 1024;

QString oneLine(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String(" "));
    text.replace('\r', ' ');
    text.replace('\n', ' ');
    return text;
}

QString shown(const QString& field)
{
    constexpr int kShownLength = 40;
    return field.size() > kShownLength ? field.left(kShownLength) + QStringLiteral("...") : field;
}

// A numeric field: blanks around it are ignored; the number is a sign, digits with at most
// one point (".5" and "5." included) and an optional exponent ("E-03"). Scanned by hand in
// one pass, so no input can make it slow.
std::optional<double> parseNumber(const QString& field, QString* reason)
{
    const QString t = field.trimmed();
    if (t.isEmpty()) {
        *reason = QStringLiteral("a number is missing");
        return std::nullopt;
    }
    QByteArray ascii;
    ascii.reserve(t.size());
    int i = 0;
    const int n = int(t.size());
    if (t[i] == '+' || t[i] == '-') {
        if (t[i] == '-')
            ascii.append('-');
        ++i;
    }
    int digits = 0;
    bool point = false;
    for (; i < n; ++i) {
        const QChar c = t[i];
        if (c >= '0' && c <= '9') {
            ascii.append(char(c.unicode()));
            ++digits;
        } else if (c == '.' && !point) {
            ascii.append('.');
            point = true;
        } else {
            break;
        }
    }
    bool ok = digits > 0;
    if (ok && i < n && (t[i] == 'E' || t[i] == 'e')) {
        ascii.append('E');
        ++i;
        if (i < n && (t[i] == '+' || t[i] == '-'))
            ascii.append(char(t[i++].unicode()));
        int exponentDigits = 0;
        for (; i < n && t[i] >= '0' && t[i] <= '9'; ++i, ++exponentDigits)
            ascii.append(char(t[i].unicode()));
        ok = exponentDigits > 0;
    }
    if (!ok || i != n) {
        *reason = QStringLiteral("\"%1\" is not a number").arg(shown(t));
        return std::nullopt;
    }
    double value = 0.0;
    const auto result = std::from_chars(ascii.constData(), ascii.constData() + ascii.size(), value);
    if (result.ec != std::errc() || !std::isfinite(value)) {
        *reason = QStringLiteral("\"%1\" is out of range").arg(shown(t));
        return std::nullopt;
    }
    return value;
}

QString numberText(double v)
{
    return setupNumber(v);
}

} // namespace

QString setupFileText(const SetupFileData& d)
{
    QStringList lines;
    lines << kSetupFirstLinePrefix + oneLine(d.savedPath) << oneLine(d.description);
    for (const ReferencePoint& p : d.points)
        lines << numberText(p.screen.x) + ',' + numberText(p.screen.y) + ',' +
                     numberText(p.survey.x) + ',' + numberText(p.survey.y);
    for (size_t k = 1; k <= 8; ++k)
        lines << numberText(d.transform.c[k]);
    lines << numberText(d.jump.x) << numberText(d.jump.y);
    for (double v : d.trailer)
        lines << numberText(v);
    return lines.join(QLatin1String(kCrLf)) + QLatin1String(kCrLf);
}

SetupFileRead parseSetupFile(const QString& text)
{
    const QStringList lines = splitLines(text);
    SetupFileData d;
    auto fail = [](int line, const QString& reason) {
        return SetupFileRead{std::nullopt, {line, reason}};
    };
    // Problems are reported in file order: a bad field before the end of a short file
    // is named rather than the missing lines after it.
    auto missing = [&](int line) {
        return fail(line, QStringLiteral("the file ends after %1 of its %2 lines")
                              .arg(lines.size())
                              .arg(kSetupFileLines));
    };
    if (lines.size() < 2)
        return missing(int(lines.size()) + 1);
    const QString& first = lines[0];
    d.savedPath =
        first.startsWith(kSetupFirstLinePrefix) ? first.mid(kSetupFirstLinePrefix.size()) : first;
    d.description = lines[1];

    QString reason;
    for (int k = 0; k < 4; ++k) {
        const int line = 3 + k;
        if (line > lines.size())
            return missing(line);
        const QStringList fields = lines[line - 1].split(',');
        if (fields.size() != 4)
            return fail(line, QStringLiteral("4 numbers separated by commas were expected, "
                                             "%1 fields were found")
                                  .arg(fields.size()));
        std::array<double, 4> v{};
        for (int f = 0; f < 4; ++f) {
            const auto number = parseNumber(fields[f], &reason);
            if (!number)
                return fail(line, reason);
            v[size_t(f)] = *number;
        }
        d.points[size_t(k)] = {{v[0], v[1]}, {v[2], v[3]}};
    }
    std::array<double, 13> tail{};
    for (int i = 0; i < 13; ++i) {
        const int line = 7 + i;
        if (line > lines.size())
            return missing(line);
        const auto number = parseNumber(lines[line - 1], &reason);
        if (!number)
            return fail(line, reason);
        tail[size_t(i)] = *number;
    }
    for (size_t k = 1; k <= 8; ++k)
        d.transform.c[k] = tail[k - 1];
    d.jump = {tail[8], tail[9]};
    d.trailer = {tail[10], tail[11], tail[12]};
    return {d, {}};
}

SetupFileRead readSetupFile(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return {std::nullopt, {0, QStringLiteral("the file does not exist")}};
    if (!info.isFile())
        return {std::nullopt, {0, QStringLiteral("it is a folder, not a file")}};
    if (info.size() > kMaxSetupFileBytes)
        return {std::nullopt, {0, QStringLiteral("the file is too large to be a setup file")}};
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {std::nullopt, {0, f.errorString()}};
    return parseSetupFile(decodeText(f.read(kMaxSetupFileBytes)));
}

WriteResult writeSetupFile(const QString& path, const SetupFileData& data)
{
    return replaceFile(path, setupFileText(data));
}

QString setupFileProblemMessage(const QString& path, const SetupFileProblem& problem)
{
    const QString where =
        problem.line > 0 ? QStringLiteral(", line %1").arg(problem.line) : QString();
    return QStringLiteral("The setup file %1 cannot be loaded%2: %3. The calibration in use "
                          "has not been changed.")
        .arg(QDir::toNativeSeparators(path), where, problem.reason);
}
