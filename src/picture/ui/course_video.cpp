#include "picture/ui/course_video.h"

#include "picture/ui/course_picture.h"
#include "platform/message_boxes.h"

namespace {

const QString kVideoTitle = QStringLiteral("Video");

const QImage& noPicture()
{
    static const QImage none;
    return none;
}

} // namespace

CourseVideo::CourseVideo(CoursePicture& still, VideoSources& sources, SettingsStore& settings,
                         MessageBoxes& messages, QObject* parent)
    : QObject(parent), still(still), sources(sources), settings(settings), messages(messages)
{
    connect(&still, &CoursePicture::changed, this, [this] { Q_EMIT pictureChanged(picture()); });
}

CourseVideo::~CourseVideo() = default;

void CourseVideo::start(const std::optional<VideoChoice>& fromCommandLine)
{
    const VideoChoice wanted = fromCommandLine.value_or(rememberedVideoChoice(settings));
    if (wanted.kind == VideoChoice::Kind::OverlayCard) {
        choose(wanted);
        return;
    }
    open(wanted);
    pendingAtStart = true;
}

void CourseVideo::choose(const VideoChoice& choice)
{
    dropPending();
    if (choice == inUse)
        return;
    if (choice.kind == VideoChoice::Kind::OverlayCard) {
        fallBackToOverlayCard();
        return;
    }
    open(choice);
}

std::optional<VideoChoice> CourseVideo::opening() const
{
    if (!pending)
        return std::nullopt;
    return pendingChoice;
}

QStringList CourseVideo::cameras() const
{
    return sources.cameras();
}

const QImage& CourseVideo::picture() const
{
    if (!still.image().isNull())
        return still.image();
    if (current && current->hasPicture())
        return current->frame().image;
    return noPicture();
}

void CourseVideo::setRate(double rate)
{
    if (!currentFile)
        return;
    currentFile->setRate(rate);
    Q_EMIT rateChanged(currentFile->rate());
}

void CourseVideo::open(const VideoChoice& choice)
{
    dropPending();
    pendingChoice = choice;
    if (choice.kind == VideoChoice::Kind::File) {
        std::unique_ptr<VideoFile> opened = sources.openFile(choice.file);
        pendingFile = opened.get();
        pending = std::move(opened);
    } else {
        pending = sources.openCamera(choice.camera);
    }
    // The handlers stay for the source's life; they act only while it is the source in use
    // (or, for the state, the one being opened).
    VideoSource* source = pending.get();
    source->setStateHandler([this, source] { stateOf(source); });
    source->setFrameHandler([this, source](const VideoFrame& frame) {
        if (source != current.get())
            return;
        if (still.image().isNull())
            Q_EMIT pictureChanged(frame.image);
        Q_EMIT frameShown(frame);
    });
    if (pendingFile)
        pendingFile->setChangeHandler([this, source](PlaybackChange change) {
            if (source == current.get())
                Q_EMIT playbackChanged(change);
        });
}

void CourseVideo::stateOf(VideoSource* source)
{
    if (source == pending.get()) {
        if (source->state() == VideoState::Ready) {
            adopt();
        } else if (source->state() == VideoState::Failed) {
            const QString why = source->message();
            const bool atStart = pendingAtStart;
            const bool camera = pendingChoice.kind == VideoChoice::Kind::Camera;
            dropPending(); // the source may go from inside its own handler
            report(why);
            // Without the camera the live picture can only come through the overlay card,
            // which needs the key colour; a file that fails leaves the operator where he was.
            if (camera && inUse.kind != VideoChoice::Kind::OverlayCard)
                fallBackToOverlayCard();
            else if (atStart)
                keep(inUse);
        }
        return;
    }
    if (source == current.get() && source->state() == VideoState::Failed) {
        const QString why = source->message();
        fallBackToOverlayCard();
        report(why);
    }
}

void CourseVideo::adopt()
{
    current = std::move(pending);
    currentFile = pendingFile;
    pendingFile = nullptr;
    inUse = pendingChoice;
    pendingAtStart = false;
    keep(inUse);
    Q_EMIT choiceChanged(inUse);
    Q_EMIT pictureChanged(picture());
    Q_EMIT frameShown(current->frame());
    // Said once, after the source is in use: a handler of the signals above may have
    // replaced it.
    if (current && !current->notice().isEmpty())
        report(current->notice());
}

void CourseVideo::dropPending()
{
    pending.reset();
    pendingFile = nullptr;
    pendingAtStart = false;
}

void CourseVideo::fallBackToOverlayCard()
{
    current.reset();
    currentFile = nullptr;
    inUse = VideoChoice::overlayCard();
    keep(inUse);
    Q_EMIT choiceChanged(inUse);
    Q_EMIT pictureChanged(picture());
}

void CourseVideo::keep(const VideoChoice& choice)
{
    QString error;
    if (!rememberVideoChoice(settings, choice, &error))
        report(error);
}

void CourseVideo::report(const QString& message)
{
    messages.warning(message, kVideoTitle);
}
