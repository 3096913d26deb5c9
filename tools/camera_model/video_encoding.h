#pragma once
// Rendered frames into a video file and video files back into frames, through GStreamer's
// gst-launch-1.0 (gstreamer1.0-tools): the renderers write raw frames to an encoder's standard
// input and the checks read grey frames from a decoder's standard output, so no GStreamer
// library is linked.

#include <QByteArray>
#include <QImage>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

inline const QString kGstLaunch = QStringLiteral("gst-launch-1.0");
// Exit code of a check that cannot run here (CTest's SKIP_RETURN_CODE).
inline constexpr int kSkippedExitCode = 77;

// A frame rate as the container carries it: 25/1, 30/1, 30000/1001.
struct FrameRate
{
    int numerator = 25;
    int denominator = 1;

    double perSecond() const { return double(numerator) / denominator; }
    // The exact capture time of a frame counted from the first, in seconds.
    double frameSeconds(int frame) const { return double(frame) * denominator / numerator; }
    bool operator==(const FrameRate&) const = default;
};

enum class VideoCodec {
    Vp8Light,  // WebM, VP8 at a constant high quality: the pylon's edges survive
    Vp8Strong, // WebM, VP8 at a low bit rate that blurs and blocks
    H264Light, // MP4, H.264 at a camcorder's bit rate
    H264Strong // MP4, H.264 at a low bit rate
};

// How long the encoder may search for each frame. The quality settings are the same; the VP8
// encoder's thorough search takes ten to twenty times as long at 1080p and gave the same
// pylon position to a hundredth of a pixel.
enum class EncoderEffort { Thorough, Quick };

QString codecName(VideoCodec codec);
std::optional<VideoCodec> codecFromName(const QString& name);
// "webm" or "mp4".
QString containerSuffix(VideoCodec codec);
// The Debian packages whose GStreamer elements the codec's encoder needs.
QString encoderPackages(VideoCodec codec);

// The media time in microseconds that a player gives frame `frame` of a file written by the
// encoder: QVideoFrame::startTime and GStreamer's decoded timestamps (truncated to whole
// microseconds) agree on it. WebM stores whole milliseconds; an H.264 MP4 starts its first
// frame two frame durations late (the B-frames' reordering delay written into the file).
qint64 containerFrameStartUs(VideoCodec codec, FrameRate rate, int frame);

// gst-launch-1.0 takes a pipeline as one argument per word and escapes the blanks inside an
// argument itself, so the file's path goes in as one argument, unquoted, in place of the word
// "location=FILE".
QStringList gstArguments(const QString& pipeline, const QString& path);

// Raw frames (QImage::Format_RGB32 bytes) on standard input, the file written to `videoPath`.
QStringList encoderArguments(VideoCodec codec, int width, int height, FrameRate rate,
                             const QString& videoPath, EncoderEffort effort = EncoderEffort::Quick);
// Grey frames on standard output, rows padded to 4 bytes; any codec the encoders write.
QStringList decoderArguments(int width, int height, const QString& videoPath);

// What went wrong with a finished gst-launch-1.0.
QString gstFailure(QProcess& gst);

// Feeds frames to an encoder process; the file appears under its name only when the encoder
// finished cleanly (it writes beside it until then).
class FrameEncoder
{
public:
    FrameEncoder(VideoCodec codec, int width, int height, FrameRate rate, QString videoPath,
                 EncoderEffort effort = EncoderEffort::Quick);
    ~FrameEncoder();
    FrameEncoder(const FrameEncoder&) = delete;
    FrameEncoder& operator=(const FrameEncoder&) = delete;

    // False, with the reason in error(), when gst-launch-1.0 cannot be started.
    bool start();
    // False when the encoder has stopped; finish() then tells why.
    bool write(const QImage& frame);
    // Closes the input, waits for the file and moves it into place.
    bool finish();
    // Stops the encoder and removes what it wrote.
    void abandon();
    QString error() const { return error_; }

private:
    VideoCodec codec_;
    int width_, height_;
    FrameRate rate_;
    EncoderEffort effort_;
    QString videoPath_, partialPath_;
    QProcess process_;
    QString error_;
    bool finished_ = false;
};

// Decodes a video to grey frames and hands each to `take` (frame number, pixels, stride) as it
// arrives, so a long 1080p video is never held whole. Returns the number of frames, or none
// with the reason in *error; *skipped is set when gst-launch-1.0 cannot be started.
using GreyFrameHandler = std::function<void(int frame, const uchar* grey, int stride)>;
std::optional<int> decodeGreyFrames(const QString& videoPath, int width, int height,
                                    const GreyFrameHandler& take, QString* error, bool* skipped);

// The decoder's presentation time of every frame, in microseconds (nanoseconds truncated, as
// QVideoFrame::startTime gives them), read from gst-launch-1.0's report of each buffer that
// reaches its sink.
std::optional<std::vector<qint64>> decodedFrameStartsUs(const QString& videoPath, QString* error,
                                                        bool* skipped);
