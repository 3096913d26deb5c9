#include "tracking_bench/bench_pass.h"

#include "calibration/setup_file.h"
#include "common/run_info.h"
#include "measure/measure_tables.h"

#include <QDir>
#include <QFile>
#include <map>

namespace {

std::optional<QList<QByteArray>> readLines(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    QList<QByteArray> lines;
    for (const QByteArray& l : f.readAll().split('\n'))
        if (!l.trimmed().isEmpty())
            lines << l.trimmed();
    return lines;
}

// key=value lines.
std::map<QString, QString> readDescription(const QString& path)
{
    std::map<QString, QString> out;
    if (const auto lines = readLines(path))
        for (const QByteArray& l : *lines)
            if (const qsizetype eq = l.indexOf('='); eq > 0)
                out[QString::fromUtf8(l.left(eq))] = QString::fromUtf8(l.mid(eq + 1));
    return out;
}

std::optional<std::vector<TruthFrame>> readTruth(const QString& path, QString* problem)
{
    const auto lines = readLines(path);
    if (!lines || lines->size() < 2) {
        *problem = path + QStringLiteral(": no truth");
        return std::nullopt;
    }
    std::map<QByteArray, int> column;
    const QList<QByteArray> header = lines->front().split(',');
    for (int i = 0; i < header.size(); ++i)
        column[header[i]] = i;
    const char* needed[] = {"frame",
                            "time_us",
                            "x_m",
                            "y_m",
                            "water_u_px",
                            "water_v_px",
                            "top_u_px",
                            "top_v_px",
                            "pylon_at_shield_u_px",
                            "pylon_at_shield_v_px",
                            "shield_u_px",
                            "shield_v_px",
                            "spray_cover",
                            "hidden"};
    for (const char* name : needed)
        if (!column.count(name)) {
            *problem = path + QStringLiteral(": no column ") + QString::fromLatin1(name);
            return std::nullopt;
        }
    std::vector<TruthFrame> out;
    for (qsizetype i = 1; i < lines->size(); ++i) {
        const QList<QByteArray> v = (*lines)[i].split(',');
        if (v.size() != header.size()) {
            *problem = path + QStringLiteral(": line %1 has %2 fields").arg(i + 1).arg(v.size());
            return std::nullopt;
        }
        const auto num = [&](const char* name) { return v[column[name]].toDouble(); };
        TruthFrame f;
        f.frame = v[column["frame"]].toInt();
        f.timeUs = v[column["time_us"]].toLongLong();
        f.x = num("x_m");
        f.y = num("y_m");
        f.water = {num("water_u_px"), num("water_v_px")};
        f.top = {num("top_u_px"), num("top_v_px")};
        f.pylonAtShield = {num("pylon_at_shield_u_px"), num("pylon_at_shield_v_px")};
        f.shield = {num("shield_u_px"), num("shield_v_px")};
        f.sprayCover = num("spray_cover");
        f.hidden = v[column["hidden"]].toInt() != 0;
        out.push_back(f);
    }
    for (size_t k = 0; k < out.size(); ++k)
        out[k].durationUs = k + 1 < out.size() ? out[k + 1].timeUs - out[k].timeUs
                            : k > 0            ? out[k - 1].durationUs
                                               : 0;
    return out;
}

BenchPassRead readOne(const QDir& dir, const QList<QByteArray>& row, const QList<QByteArray>& head)
{
    std::map<QByteArray, QString> field;
    for (int i = 0; i < head.size() && i < row.size(); ++i)
        field[head[i]] = QString::fromUtf8(row[i]);
    BenchPass p;
    p.name = field["name"];
    p.videoPath = dir.filePath(field["video"]);
    p.width = field["width"].toInt();
    p.height = field["height"].toInt();
    p.frameRate = field["frame_rate"];
    p.codec = field["codec"];
    p.hard = field["hard"] == QLatin1String("1");
    const auto described = readDescription(dir.filePath(p.name + QStringLiteral(".scenario")));
    const auto speed = described.find(QStringLiteral("speed_kmh"));
    const auto direction = described.find(QStringLiteral("direction"));
    if (speed == described.end() || direction == described.end())
        return {std::nullopt,
                p.name + QStringLiteral(": its .scenario names no speed or direction")};
    p.speedKmh = speed->second.toDouble();
    p.direction = direction->second == QLatin1String("away") ? Direction::Away : Direction::Toward;

    p.setupFile = dir.filePath(field["setup"]);
    const SetupFileRead setup = readSetupFile(p.setupFile);
    if (!setup.data)
        return {std::nullopt, p.setupFile + QStringLiteral(": not a setup the program reads")};
    p.transform = setup.data->transform;
    QString problem;
    auto truth = readTruth(dir.filePath(field["truth"]), &problem);
    if (!truth)
        return {std::nullopt, problem};
    p.truth = std::move(*truth);
    if (!p.trackedPass())
        return {std::nullopt,
                p.name + QStringLiteral(": %1 km/h is no slalom speed").arg(p.speedKmh)};
    return {std::move(p), {}};
}

} // namespace

QString followedPointName(FollowedPoint p)
{
    return p == FollowedPoint::PylonAtShield
               ? QStringLiteral("the pylon at the windshield's top (pylon_at_shield)")
               : QStringLiteral("the pylon's top (top)");
}

std::optional<TrackedPass> BenchPass::trackedPass() const
{
    const TruthFrame* first = frameHolding(gateCrossingUs);
    if (!first)
        return std::nullopt;
    for (size_t i = 0; i < kSlalomSpeeds.size(); ++i)
        if (double(kSlalomSpeeds[i].kmh) == speedKmh) {
            TrackedPass pass;
            pass.event = Event::Slalom;
            pass.direction = direction;
            pass.speedKmh = kSlalomSpeeds[i].kmh;
            pass.passTenths = *passTenthsFor(Event::Slalom, int(i));
            pass.startUs = first->timeUs;
            return pass;
        }
    return std::nullopt;
}

const TruthFrame* BenchPass::frameAt(qint64 us) const
{
    const auto it = std::lower_bound(truth.begin(), truth.end(), us,
                                     [](const TruthFrame& f, qint64 t) { return f.timeUs < t; });
    return it != truth.end() && it->timeUs == us ? &*it : nullptr;
}

const TruthFrame* BenchPass::frameHolding(qint64 us) const
{
    for (const TruthFrame& f : truth)
        if (f.timeUs <= us && us < f.timeUs + f.durationUs)
            return &f;
    return nullptr;
}

std::vector<BenchPassRead> readBenchPasses(const QString& folder, const QStringList& only)
{
    std::vector<BenchPassRead> out;
    const QDir dir(folder);
    const auto lines = readLines(dir.filePath(QStringLiteral("passes.csv")));
    if (!lines || lines->isEmpty()) {
        out.push_back({std::nullopt, dir.filePath(QStringLiteral("passes.csv")) +
                                         QStringLiteral(": no list of passes")});
        return out;
    }
    const QList<QByteArray> head = lines->front().split(',');
    for (qsizetype i = 1; i < lines->size(); ++i) {
        const QList<QByteArray> row = (*lines)[i].split(',');
        if (!only.isEmpty() && !only.contains(QString::fromUtf8(row.value(0))))
            continue;
        out.push_back(readOne(dir, row, head));
    }
    return out;
}
