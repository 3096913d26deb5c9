#include "camera_model/video_encoding.h"

#include <QFile>
#include <QRegularExpression>
#include <cmath>

namespace {

// Bits per pixel and frame of the low-rate encodings: enough for the picture to stay
// recognisable, little enough that the water blocks and the pylon's edges blur.
constexpr double kStrongBitsPerPixel = 0.02;
// A camcorder writes 1080p at about 10 to 17 Mbit/s.
constexpr double kCamcorderBitsPerPixel = 0.16;

int kilobitsPerSecond(double bitsPerPixel, int width, int height, FrameRate rate)
{
    return std::max(100, int(std::lround(bitsPerPixel * width * height * rate.perSecond() / 1000)));
}

} // namespace

QString codecName(VideoCodec codec)
{
    switch (codec) {
    case VideoCodec::Vp8Light:
        return QStringLiteral("vp8-light");
    case VideoCodec::Vp8Strong:
        return QStringLiteral("vp8-strong");
    case VideoCodec::H264Light:
        return QStringLiteral("h264-light");
    case VideoCodec::H264Strong:
        return QStringLiteral("h264-strong");
    }
    return {};
}

std::optional<VideoCodec> codecFromName(const QString& name)
{
    for (VideoCodec c : {VideoCodec::Vp8Light, VideoCodec::Vp8Strong, VideoCodec::H264Light,
                         VideoCodec::H264Strong})
        if (codecName(c) == name)
            return c;
    return std::nullopt;
}

QString containerSuffix(VideoCodec codec)
{
    return codec == VideoCodec::H264Light || codec == VideoCodec::H264Strong
               ? QStringLiteral("mp4")
               : QStringLiteral("webm");
}

QString encoderPackages(VideoCodec codec)
{
    return containerSuffix(codec) == QLatin1String("mp4")
               ? QStringLiteral("gstreamer1.0-tools, gstreamer1.0-plugins-good and "
                                "gstreamer1.0-plugins-ugly")
               : QStringLiteral("gstreamer1.0-tools and gstreamer1.0-plugins-good");
}

qint64 containerFrameStartUs(VideoCodec codec, FrameRate rate, int frame)
{
    const qint64 num = rate.numerator, den = rate.denominator;
    if (containerSuffix(codec) == QLatin1String("webm")) {
        // The raw frames are stamped k times the frame's duration in whole nanoseconds (at
        // 29.97 frame 15 is at 500.49999 ms, not 500.5), and WebM keeps the nearest millisecond.
        const qint64 durationNs = den * 1000000000 / num;
        return (qint64(frame) * durationNs + 500000) / 1000000 * 1000;
    }
    // MP4 keeps the times in units of the frame rate's own time scale, exact; the decoder
    // truncates them to nanoseconds.
    constexpr int kReorderDelayFrames = 2;
    return (qint64(frame) + kReorderDelayFrames) * den * 1000000 / num;
}

QStringList gstArguments(const QString& pipeline, const QString& path)
{
    QStringList arguments{QStringLiteral("-q")};
    for (const QString& word : pipeline.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        arguments << (word == QLatin1String("location=FILE") ? QStringLiteral("location=") + path
                                                             : word);
    return arguments;
}

QStringList encoderArguments(VideoCodec codec, int width, int height, FrameRate rate,
                             const QString& videoPath, EncoderEffort effort)
{
    const bool thorough = effort == EncoderEffort::Thorough;
    // A key frame every 2 s keeps seeking cheap.
    const int keyDistance = int(std::lround(2 * rate.perSecond()));
    const QString source =
        QStringLiteral("fdsrc fd=0 ! rawvideoparse width=%1 height=%2 format=bgrx "
                       "framerate=%3/%4 ! videoconvert ! video/x-raw,format=I420 ! ")
            .arg(width)
            .arg(height)
            .arg(rate.numerator)
            .arg(rate.denominator);
    QString encoder;
    switch (codec) {
    case VideoCodec::Vp8Light:
        encoder = QStringLiteral("vp8enc %1 end-usage=cq cq-level=8 min-quantizer=4 "
                                 "max-quantizer=20 target-bitrate=8000000 keyframe-max-dist=%2 "
                                 "! webmmux")
                      .arg(thorough ? QStringLiteral("deadline=0")
                                    : QStringLiteral("deadline=1 cpu-used=4"))
                      .arg(keyDistance);
        break;
    case VideoCodec::Vp8Strong:
        encoder = QStringLiteral("vp8enc %1 end-usage=cbr target-bitrate=%2 max-quantizer=63 "
                                 "keyframe-max-dist=%3 ! webmmux")
                      .arg(thorough ? QStringLiteral("deadline=0")
                                    : QStringLiteral("deadline=1 cpu-used=4"))
                      .arg(1000 * kilobitsPerSecond(kStrongBitsPerPixel, width, height, rate))
                      .arg(keyDistance);
        break;
    case VideoCodec::H264Light:
    case VideoCodec::H264Strong:
        encoder = QStringLiteral("x264enc speed-preset=%1 bitrate=%2 key-int-max=%3 ! "
                                 "video/x-h264,profile=high ! mp4mux")
                      .arg(thorough ? QStringLiteral("medium") : QStringLiteral("veryfast"))
                      .arg(kilobitsPerSecond(codec == VideoCodec::H264Light ? kCamcorderBitsPerPixel
                                                                            : kStrongBitsPerPixel,
                                             width, height, rate))
                      .arg(keyDistance);
        break;
    }
    return gstArguments(source + encoder + QStringLiteral(" ! filesink location=FILE"), videoPath);
}

QStringList decoderArguments(int width, int height, const QString& videoPath)
{
    return gstArguments(QStringLiteral("filesrc location=FILE ! decodebin ! videoconvert ! "
                                       "video/x-raw,format=GRAY8,width=%1,height=%2 ! fdsink fd=1")
                            .arg(width)
                            .arg(height),
                        videoPath);
}

QString gstFailure(QProcess& gst)
{
    if (gst.exitStatus() != QProcess::NormalExit)
        return QStringLiteral("gst-launch-1.0 crashed");
    return QStringLiteral("gst-launch-1.0 failed (exit code %1): %2")
        .arg(gst.exitCode())
        .arg(QString::fromLocal8Bit(gst.readAllStandardError()).trimmed());
}

FrameEncoder::FrameEncoder(VideoCodec codec, int width, int height, FrameRate rate,
                           QString videoPath, EncoderEffort effort)
    : codec_(codec), width_(width), height_(height), rate_(rate), effort_(effort),
      videoPath_(std::move(videoPath)), partialPath_(videoPath_ + QStringLiteral(".partial"))
{
}

FrameEncoder::~FrameEncoder()
{
    if (!finished_)
        abandon();
}

bool FrameEncoder::start()
{
    QFile::remove(partialPath_);
    process_.start(kGstLaunch,
                   encoderArguments(codec_, width_, height_, rate_, partialPath_, effort_));
    if (process_.waitForStarted())
        return true;
    error_ = QStringLiteral("%1 cannot be started (install %2): %3")
                 .arg(kGstLaunch, encoderPackages(codec_), process_.errorString());
    finished_ = true;
    return false;
}

bool FrameEncoder::write(const QImage& frame)
{
    if (process_.state() != QProcess::Running)
        return false;
    const QImage bgrx = frame.format() == QImage::Format_RGB32
                            ? frame
                            : frame.convertToFormat(QImage::Format_RGB32);
    process_.write(reinterpret_cast<const char*>(bgrx.constBits()), bgrx.sizeInBytes());
    while (process_.bytesToWrite() > 0 && process_.state() == QProcess::Running)
        process_.waitForBytesWritten(-1);
    return process_.state() == QProcess::Running;
}

bool FrameEncoder::finish()
{
    process_.closeWriteChannel();
    process_.waitForFinished(-1);
    finished_ = true;
    if (process_.exitStatus() != QProcess::NormalExit || process_.exitCode() != 0) {
        error_ = gstFailure(process_);
        if (error_.contains(QLatin1String("no element")))
            error_ += QStringLiteral(" (install %1)").arg(encoderPackages(codec_));
        QFile::remove(partialPath_);
        return false;
    }
    if (QFile::exists(videoPath_) && !QFile::remove(videoPath_)) {
        error_ = videoPath_ + QStringLiteral(": cannot be replaced");
        return false;
    }
    if (!QFile::rename(partialPath_, videoPath_)) {
        error_ = videoPath_ + QStringLiteral(": cannot be written");
        return false;
    }
    return true;
}

void FrameEncoder::abandon()
{
    if (process_.state() != QProcess::NotRunning) {
        process_.kill();
        process_.waitForFinished(-1);
    }
    QFile::remove(partialPath_);
    finished_ = true;
}

std::optional<int> decodeGreyFrames(const QString& videoPath, int width, int height,
                                    const GreyFrameHandler& take, QString* error, bool* skipped)
{
    *skipped = false;
    if (!QFile::exists(videoPath)) {
        *error = videoPath + QStringLiteral(": no such file");
        return std::nullopt;
    }
    QProcess decoder;
    decoder.start(kGstLaunch, decoderArguments(width, height, videoPath));
    if (!decoder.waitForStarted()) {
        *skipped = true;
        *error =
            QStringLiteral("%1 cannot be started (install gstreamer1.0-tools)").arg(kGstLaunch);
        return std::nullopt;
    }
    const int stride = (width + 3) & ~3; // GStreamer's rows of GRAY8 start on 4-byte boundaries
    const qsizetype frameBytes = qsizetype(stride) * height;
    QByteArray pending;
    int frames = 0;
    const auto takeFrames = [&] {
        pending += decoder.readAllStandardOutput();
        qsizetype used = 0;
        for (; pending.size() - used >= frameBytes; used += frameBytes, ++frames)
            take(frames, reinterpret_cast<const uchar*>(pending.constData() + used), stride);
        pending.remove(0, used);
    };
    while (decoder.waitForReadyRead(-1))
        takeFrames();
    decoder.waitForFinished(-1);
    takeFrames();
    if (decoder.exitStatus() != QProcess::NormalExit || decoder.exitCode() != 0) {
        *error = videoPath + QStringLiteral(": ") + gstFailure(decoder);
        return std::nullopt;
    }
    if (!pending.isEmpty()) {
        *error = QStringLiteral("%1: %2 bytes after the last whole frame")
                     .arg(videoPath)
                     .arg(pending.size());
        return std::nullopt;
    }
    return frames;
}

std::optional<std::vector<qint64>> decodedFrameStartsUs(const QString& videoPath, QString* error,
                                                        bool* skipped)
{
    *skipped = false;
    QProcess decoder;
    decoder.start(kGstLaunch, {QStringLiteral("-v"), QStringLiteral("filesrc"),
                               QStringLiteral("location=") + videoPath, QStringLiteral("!"),
                               QStringLiteral("decodebin"), QStringLiteral("!"),
                               QStringLiteral("fakesink"), QStringLiteral("silent=false")});
    if (!decoder.waitForStarted()) {
        *skipped = true;
        *error =
            QStringLiteral("%1 cannot be started (install gstreamer1.0-tools)").arg(kGstLaunch);
        return std::nullopt;
    }
    decoder.waitForFinished(-1);
    if (decoder.exitStatus() != QProcess::NormalExit || decoder.exitCode() != 0) {
        *error = videoPath + QStringLiteral(": ") + gstFailure(decoder);
        return std::nullopt;
    }
    // Each buffer reaching the sink is reported as "chain ... pts: H:MM:SS.NNNNNNNNN, ...".
    static const QRegularExpression pts(
        QStringLiteral("chain .*pts: (\\d+):(\\d\\d):(\\d\\d)\\.(\\d{9})"));
    std::vector<qint64> starts;
    for (const QByteArray& line : decoder.readAllStandardOutput().split('\n')) {
        const auto m = pts.match(QString::fromLatin1(line));
        if (!m.hasMatch())
            continue;
        const qint64 ns = ((m.captured(1).toLongLong() * 60 + m.captured(2).toLongLong()) * 60 +
                           m.captured(3).toLongLong()) *
                              1000000000 +
                          m.captured(4).toLongLong();
        starts.push_back(ns / 1000);
    }
    if (starts.empty()) {
        *error = videoPath + QStringLiteral(": the decoder reported no frame times");
        return std::nullopt;
    }
    return starts;
}
