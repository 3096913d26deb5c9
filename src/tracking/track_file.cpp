#include "tracking/track_file.h"

#include "common/number_forms.h"

#include <QFileInfo>
#include <QLocale>
#include <cmath>

namespace {

const QString kMagic = QStringLiteral("Wakeline track ");
const QString kColumns = QStringLiteral("frame_us,duration_us,u_px,v_px,confidence,set_by,stop");
const QStringList kFieldNames = kColumns.split(QLatin1Char(','));

QString eventName(Event e)
{
    return e == Event::Slalom ? QStringLiteral("slalom") : QStringLiteral("jump");
}

QString directionName(Direction d)
{
    return d == Direction::Toward ? QStringLiteral("toward") : QStringLiteral("away");
}

struct Header
{
    const char* label;
    QString value;
};

class Parser
{
public:
    explicit Parser(const QString& text) : lines(splitLines(text)) {}
    TrackFileRead run();

private:
    TrackFileRead fail(int line, const QString& field, const QString& reason)
    {
        TrackFileRead r;
        r.line = line;
        r.field = field;
        r.reason = reason;
        return r;
    }
    // The value after "Label: " on header line `n` (1-based); none when the line is not it.
    std::optional<QString> header(int n, const QString& label) const
    {
        const QString prefix = label + QStringLiteral(": ");
        if (n > lines.size() || !lines[n - 1].startsWith(prefix))
            return std::nullopt;
        return lines[n - 1].mid(prefix.size());
    }

    QStringList lines;
};

std::optional<qint64> wholeNumber(const QString& text)
{
    bool ok = false;
    const qint64 v = text.toLongLong(&ok);
    // Plain digits only: no blanks, no plus sign, no leading zeros standing for something else.
    if (!ok || text.isEmpty() || text.trimmed() != text || text.startsWith(QLatin1Char('+')))
        return std::nullopt;
    return v;
}

std::optional<double> decimal(const QString& text)
{
    if (text.isEmpty() || text.trimmed() != text || text.startsWith(QLatin1Char('+')))
        return std::nullopt;
    bool ok = false;
    const double v = QLocale::c().toDouble(text, &ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

TrackFileRead Parser::run()
{
    if (lines.isEmpty() || !lines[0].startsWith(kMagic))
        return fail(1, {},
                    QStringLiteral("not a Wakeline track file (it must begin \"%1%2\")")
                        .arg(kMagic)
                        .arg(kTrackFileVersion));
    const auto version = wholeNumber(lines[0].mid(kMagic.size()));
    if (!version || *version < 1)
        return fail(1, QStringLiteral("version"), QStringLiteral("not a version number"));
    if (*version > kTrackFileVersion)
        return fail(1, QStringLiteral("version"),
                    QStringLiteral("version %1 is from a later Wakeline; this one reads up to %2")
                        .arg(*version)
                        .arg(kTrackFileVersion));

    Track t;
    int n = 2;
    const auto need = [&](const char* label) -> std::optional<QString> {
        return header(n, QString::fromLatin1(label));
    };
    const auto missing = [&](const char* label) {
        return fail(n, QString::fromLatin1(label),
                    QStringLiteral("expected a line \"%1: ...\"").arg(QString::fromLatin1(label)));
    };
    if (const auto v = need("Video"))
        t.videoFile = *v;
    else
        return missing("Video");
    ++n;
    if (const auto v = need("Setup"))
        t.setupFile = *v;
    else
        return missing("Setup");
    ++n;
    if (const auto v = need("Event")) {
        if (*v == eventName(Event::Slalom))
            t.pass.event = Event::Slalom;
        else if (*v == eventName(Event::Jump))
            t.pass.event = Event::Jump;
        else
            return fail(n, QStringLiteral("Event"),
                        QStringLiteral("\"%1\" is not slalom or jump").arg(*v));
    } else {
        return missing("Event");
    }
    ++n;
    if (const auto v = need("Direction")) {
        if (*v == directionName(Direction::Toward))
            t.pass.direction = Direction::Toward;
        else if (*v == directionName(Direction::Away))
            t.pass.direction = Direction::Away;
        else
            return fail(n, QStringLiteral("Direction"),
                        QStringLiteral("\"%1\" is not toward or away").arg(*v));
    } else {
        return missing("Direction");
    }
    ++n;
    const auto headerNumber = [&](const char* label, qint64 low, qint64 high,
                                  qint64& into) -> std::optional<TrackFileRead> {
        const auto v = need(label);
        if (!v)
            return missing(label);
        const auto number = wholeNumber(*v);
        if (!number || *number < low || *number > high)
            return fail(n, QString::fromLatin1(label),
                        QStringLiteral("\"%1\" is not a whole number from %2 to %3")
                            .arg(*v)
                            .arg(low)
                            .arg(high));
        into = *number;
        ++n;
        return std::nullopt;
    };
    qint64 speed = 0, tenths = 0, start = 0;
    if (auto bad = headerNumber("Speed", 1, 200, speed))
        return *bad;
    if (auto bad = headerNumber("Pass tenths", 1, 700, tenths))
        return *bad;
    if (auto bad = headerNumber("Start us", 0, qint64(1) << 50, start))
        return *bad;
    t.pass.speedKmh = int(speed);
    t.pass.passTenths = int(tenths);
    t.pass.startUs = start;
    if (n > lines.size() || lines[n - 1] != kColumns)
        return fail(n, {}, QStringLiteral("expected the column line \"%1\"").arg(kColumns));

    for (++n; n <= lines.size(); ++n) {
        const QString& line = lines[n - 1];
        const QStringList f = line.split(QLatin1Char(','));
        if (f.size() != kFieldNames.size())
            return fail(
                n, {},
                QStringLiteral("%1 fields, expected %2").arg(f.size()).arg(kFieldNames.size()));
        const auto bad = [&](int i, const QString& why) { return fail(n, kFieldNames[i], why); };
        TrackPoint p;
        const auto startUs = wholeNumber(f[0]);
        if (!startUs || *startUs < 0)
            return bad(0, QStringLiteral("\"%1\" is not a media time in microseconds").arg(f[0]));
        const auto duration = wholeNumber(f[1]);
        if (!duration || *duration <= 0 || *duration > 10000000)
            return bad(1, QStringLiteral("\"%1\" is not a frame length in microseconds").arg(f[1]));
        if (!t.frames.empty() && *startUs < t.frames.back().startUs + t.frames.back().durationUs)
            return bad(0, QStringLiteral("%1 is before the end of the frame above").arg(f[0]));
        if (t.frames.empty() && *startUs != t.pass.startUs)
            return bad(
                0, QStringLiteral("the first frame must start the pass (%1)").arg(t.pass.startUs));
        p.startUs = *startUs;
        p.durationUs = *duration;
        const auto u = decimal(f[2]);
        if (!u || std::fabs(*u) > 1e6)
            return bad(2, QStringLiteral("\"%1\" is not a picture position").arg(f[2]));
        const auto v = decimal(f[3]);
        if (!v || std::fabs(*v) > 1e6)
            return bad(3, QStringLiteral("\"%1\" is not a picture position").arg(f[3]));
        const auto confidence = decimal(f[4]);
        if (!confidence || *confidence < 0.0 || *confidence > 1.0)
            return bad(4, QStringLiteral("\"%1\" is not a number from 0 to 1").arg(f[4]));
        p.u = *u;
        p.v = *v;
        p.confidence = *confidence;
        if (f[5] == QLatin1String("operator"))
            p.operatorSet = true;
        else if (f[5] != QLatin1String("track"))
            return bad(5, QStringLiteral("\"%1\" is not operator or track").arg(f[5]));
        const auto stop = trackStopFromCode(f[6]);
        if (!stop)
            return bad(6,
                       QStringLiteral("\"%1\" is not confidence, sideways, outside, pace or empty")
                           .arg(f[6]));
        if (!t.frames.empty() && t.frames.back().stop != TrackStop::None)
            return fail(n - 1, kFieldNames[6],
                        QStringLiteral("only the last frame can be where tracking stopped"));
        p.stop = *stop;
        t.frames.push_back(p);
    }
    TrackFileRead r;
    r.track = std::move(t);
    return r;
}

} // namespace

QString trackFileText(const Track& t)
{
    const QString nl = QString::fromLatin1(kCrLf);
    // A name with a line break would break the file's lines.
    const auto oneLine = [](QString s) {
        s.replace(QLatin1Char('\r'), QLatin1Char(' '));
        s.replace(QLatin1Char('\n'), QLatin1Char(' '));
        return s;
    };
    QString s = kMagic + QString::number(kTrackFileVersion) + nl;
    s += QStringLiteral("Video: ") + oneLine(t.videoFile) + nl;
    s += QStringLiteral("Setup: ") + oneLine(t.setupFile) + nl;
    s += QStringLiteral("Event: ") + eventName(t.pass.event) + nl;
    s += QStringLiteral("Direction: ") + directionName(t.pass.direction) + nl;
    s += QStringLiteral("Speed: ") + QString::number(t.pass.speedKmh) + nl;
    s += QStringLiteral("Pass tenths: ") + QString::number(t.pass.passTenths) + nl;
    s += QStringLiteral("Start us: ") + QString::number(t.pass.startUs) + nl;
    s += kColumns + nl;
    for (const TrackPoint& p : t.frames) {
        s += QString::number(p.startUs) + QLatin1Char(',') + QString::number(p.durationUs) +
             QLatin1Char(',') + shortestRoundTrip(p.u) + QLatin1Char(',') + shortestRoundTrip(p.v) +
             QLatin1Char(',') + shortestRoundTrip(p.confidence) + QLatin1Char(',') +
             (p.operatorSet ? QStringLiteral("operator") : QStringLiteral("track")) +
             QLatin1Char(',') + trackStopCode(p.stop) + nl;
    }
    return s;
}

WriteResult writeTrackFile(const QString& path, const Track& track)
{
    return replaceFile(path, trackFileText(track));
}

QString TrackFileRead::problem() const
{
    QString where = line > 0 ? QStringLiteral("line %1").arg(line) : QStringLiteral("the file");
    if (!field.isEmpty())
        where += QStringLiteral(", field ") + field;
    return where + QStringLiteral(": ") + reason;
}

TrackFileRead parseTrackFile(const QString& text)
{
    return Parser(text).run();
}

TrackFileRead readTrackFile(const QString& path)
{
    TrackFileRead r;
    if (QFileInfo(path).size() > kTrackFileMaxBytes) {
        r.reason = QStringLiteral("larger than a track file can be");
        return r;
    }
    const std::optional<QString> text = readTextFile(path, kTrackFileMaxBytes);
    if (!text) {
        r.reason = QStringLiteral("cannot be read");
        return r;
    }
    return parseTrackFile(*text);
}
