#include "calibration/solve_input.h"

#include "common/text_file.h"

#include <QStringList>
#include <charconv>
#include <cmath>
#include <string>

namespace {

constexpr std::array<const char*, 4> kFieldNames{"sx", "sy", "X", "Y"};
constexpr const char* kLineForm = "\"sx sy X Y\"";

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool isBlankLine(QStringView line)
{
    for (const QChar c : line)
        if (c != u' ' && c != u'\t')
            return false;
    return true;
}

QStringList fieldsOf(const QString& line)
{
    if (line.contains(u',')) {
        QStringList fields = line.split(u',');
        for (QString& f : fields)
            f = f.trimmed();
        return fields;
    }
    QString spaced = line;
    spaced.replace(u'\t', u' ');
    return spaced.split(u' ', Qt::SkipEmptyParts);
}

SolveInput failure(int line, int field, const QString& message)
{
    SolveInput r;
    r.line = line;
    r.field = field;
    r.message = message;
    return r;
}

QString fieldLabel(int line, int field)
{
    const QString name =
        field >= 1 && field <= 4 ? QString::fromLatin1(kFieldNames[size_t(field - 1)]) : "extra";
    return QStringLiteral("line %1, field %2 (%3)").arg(line).arg(field).arg(name);
}

} // namespace

QString quotedField(QStringView text)
{
    constexpr qsizetype kShown = 32;
    QString shown;
    for (const QChar c : text.first(std::min(text.size(), kShown)))
        shown += c.isPrint() ? c : QChar(u'?');
    if (text.size() > kShown)
        shown += QStringLiteral("...");
    return u'"' + shown + u'"';
}

NumberField parseNumberField(QStringView text)
{
    // Checked by hand first: from_chars would also take "inf", "nan" and the like.
    qsizetype i = 0;
    const qsizetype n = text.size();
    if (i < n && (text[i] == u'+' || text[i] == u'-'))
        ++i;
    qsizetype digits = 0;
    while (i < n && isDigit(text[i]))
        ++i, ++digits;
    if (i < n && text[i] == u'.') {
        ++i;
        while (i < n && isDigit(text[i]))
            ++i, ++digits;
    }
    bool valid = digits > 0;
    if (valid && i < n && (text[i] == u'e' || text[i] == u'E')) {
        ++i;
        if (i < n && (text[i] == u'+' || text[i] == u'-'))
            ++i;
        qsizetype exponentDigits = 0;
        while (i < n && isDigit(text[i]))
            ++i, ++exponentDigits;
        valid = exponentDigits > 0;
    }
    if (!valid || i != n)
        return {std::nullopt, QStringLiteral("is not a number")};

    // Only ASCII is left; from_chars does not take a leading "+".
    std::string ascii = text.toLatin1().toStdString();
    if (ascii.front() == '+')
        ascii.erase(0, 1);
    double value = 0.0;
    const auto [end, error] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
    if (error != std::errc() || end != ascii.data() + ascii.size() || !std::isfinite(value))
        return {std::nullopt, QStringLiteral("is out of range")};
    return {value, {}};
}

SolveInput parseSolveInput(const QByteArray& bytes)
{
    if (bytes.size() > kMaxSolveInputBytes)
        return failure(0, 0,
                       QStringLiteral("the input is longer than %1 bytes; expected four lines %2")
                           .arg(kMaxSolveInputBytes)
                           .arg(QString::fromLatin1(kLineForm)));
    QString text = decodeText(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    QStringList lines = splitLines(text);
    while (!lines.isEmpty() && isBlankLine(lines.last()))
        lines.removeLast();

    SolveInput result;
    for (int l = 1; l <= 4; ++l) {
        if (l > lines.size())
            return failure(l, 0,
                           QStringLiteral("line %1: missing; expected four lines %2 (upper right, "
                                          "lower right, upper left, lower left)")
                               .arg(l)
                               .arg(QString::fromLatin1(kLineForm)));
        const QString& line = lines[l - 1];
        if (isBlankLine(line))
            return failure(l, 0,
                           QStringLiteral("line %1: empty; expected four numbers %2")
                               .arg(l)
                               .arg(QString::fromLatin1(kLineForm)));
        const QStringList fields = fieldsOf(line);
        if (fields.size() > 4)
            return failure(
                l, 5,
                QStringLiteral("%1: %2 is one field too many; expected four numbers %3")
                    .arg(fieldLabel(l, 5), quotedField(fields[4]), QString::fromLatin1(kLineForm)));
        std::array<double, 4> values{};
        for (int f = 1; f <= 4; ++f) {
            if (f > fields.size())
                return failure(l, f,
                               QStringLiteral("%1: missing; expected four numbers %2")
                                   .arg(fieldLabel(l, f), QString::fromLatin1(kLineForm)));
            const QString& field = fields[f - 1];
            if (field.isEmpty())
                return failure(l, f, QStringLiteral("%1: empty").arg(fieldLabel(l, f)));
            const NumberField number = parseNumberField(field);
            if (!number.value)
                return failure(l, f,
                               QStringLiteral("%1: %2 %3")
                                   .arg(fieldLabel(l, f), quotedField(field), number.reason));
            values[size_t(f - 1)] = *number.value;
        }
        result.points[size_t(l - 1)] = {{values[0], values[1]}, {values[2], values[3]}};
    }
    if (lines.size() > 4)
        return failure(
            5, 0,
            QStringLiteral("line 5: %1 is one line too many; expected exactly four lines")
                .arg(quotedField(lines[4])));
    result.ok = true;
    return result;
}
