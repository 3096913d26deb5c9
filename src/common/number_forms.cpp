#include "common/number_forms.h"

#include <QByteArray>
#include <charconv>
#include <cmath>
#include <string>
#include <string_view>

namespace {

// Drops the zero before the point ("0.05" -> ".05", "-0.12" -> "-.12").
QString withoutLeadingZero(QString digits)
{
    if (digits.startsWith(QLatin1String("0.")))
        digits.remove(0, 1);
    else if (digits.startsWith(QLatin1String("-0.")))
        digits.remove(1, 1);
    return digits;
}

QString signBlank(const QString& digits)
{
    return digits.startsWith('-') ? digits : QStringLiteral(" ") + digits;
}

// General form with up to `significant` digits and no trailing zeros. Fixed notation while
// the whole part fits in that many digits and the part after the point, leading zeros
// included, in one more; exponent form otherwise (".0669627425418905" but
// "4.11861371949588E-03", "1E+15"), as the setup files of older workstations were written.
// to_chars, not printf: the C library's printf follows LC_NUMERIC, which Qt sets from the
// system locale, and a comma there would garble every report and setup file.
QString generalForm(double v, int significant)
{
    char buffer[64];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, v,
                                       std::chars_format::scientific, significant - 1);
    const std::string_view text(buffer, size_t(written.ptr - buffer));
    const size_t e = text.find('e');
    if (!std::isfinite(v)) // "INF", "-NAN", as the older writers put them
        return QString::fromLatin1(text.data(), int(text.size())).toUpper();
    std::string_view mantissa = text.substr(0, e);
    const bool negative = mantissa.front() == '-';
    if (negative)
        mantissa.remove_prefix(1);
    std::string digits;
    for (const char c : mantissa)
        if (c != '.')
            digits += c;
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    // The exponent is "e", a sign and at least two digits.
    const std::string_view exponentText = text.substr(e + 1);
    int exponent = 0;
    std::from_chars(exponentText.data() + 1, exponentText.data() + exponentText.size(), exponent);
    if (exponentText.front() == '-')
        exponent = -exponent;
    const int count = int(digits.size());

    std::string out = negative ? "-" : "";
    if (exponent >= significant || (exponent < 0 && -exponent - 1 + count > significant + 1)) {
        out += digits.substr(0, 1);
        if (count > 1)
            out += "." + digits.substr(1);
        out += "E";
        out += exponentText;
    } else if (exponent >= 0) {
        const int whole = exponent + 1;
        if (count <= whole)
            out += digits + std::string(size_t(whole - count), '0');
        else
            out += digits.substr(0, size_t(whole)) + "." + digits.substr(size_t(whole));
    } else {
        out += "0." + std::string(size_t(-exponent - 1), '0') + digits;
    }
    return QString::fromStdString(out);
}

} // namespace

QString strForm(double v)
{
    if (v == 0.0 || !std::isfinite(v))
        return std::isfinite(v) ? QStringLiteral(" 0") : signBlank(QString::number(v));
    return signBlank(withoutLeadingZero(generalForm(v, 15)));
}

QString printForm(double v)
{
    return strForm(v) + QStringLiteral(" ");
}

double roundHalfUp(double v, int decimals)
{
    const double scale = std::pow(10.0, decimals);
    return std::floor(v * scale + 0.5) / scale;
}

QString round3Str(double v)
{
    return strForm(roundHalfUp(v, 3));
}

QString format000_0(double v)
{
    const double rounded = roundHalfUp(v, 1);
    QString text = QString::number(std::fabs(rounded), 'f', 1);
    // "nan" and "inf" have no point to pad up to: padding them would never end.
    if (!std::isfinite(rounded))
        return QString::number(rounded);
    while (text.indexOf('.') < 3)
        text.prepend('0');
    return rounded < 0 ? QStringLiteral("-") + text : text;
}

QString format0_00(double v)
{
    const double rounded = roundHalfUp(v, 2);
    const QString text = QString::number(std::fabs(rounded), 'f', 2);
    // A value that rounds to zero is written without a sign.
    return rounded < 0 && text != QLatin1String("0.00") ? QStringLiteral("-") + text : text;
}

QString shortestRoundTrip(double v)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, v);
    return QString::fromLatin1(buffer, int(result.ptr - buffer));
}

QString setupNumber(double v)
{
    if (v == 0.0)
        return QStringLiteral(" 0 ");
    // Fewest significant digits (15 where they suffice) that read back to the same double.
    QString digits;
    for (int significant = 15; significant <= 17; ++significant) {
        digits = generalForm(v, significant);
        if (digits.toDouble() == v)
            break;
    }
    return signBlank(withoutLeadingZero(digits)) + QStringLiteral(" ");
}

double leadingNumber(const QString& text)
{
    int i = 0;
    const int n = int(text.size());
    while (i < n && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    QByteArray number;
    if (i < n && (text[i] == '-' || text[i] == '+'))
        number.append(char(text[i++].unicode()));
    bool point = false;
    bool digits = false;
    for (; i < n; ++i) {
        const QChar c = text[i];
        if (c >= '0' && c <= '9') {
            number.append(char(c.unicode()));
            digits = true;
        } else if (c == '.' && !point) {
            number.append('.');
            point = true;
        } else {
            break;
        }
    }
    if (!digits)
        return 0.0;
    double value = 0.0;
    const char* begin = number.constData();
    if (*begin == '+')
        ++begin;
    std::from_chars(begin, number.constData() + number.size(), value);
    return value;
}

long long roundHalfEven(double v)
{
    return std::llrint(v);
}
