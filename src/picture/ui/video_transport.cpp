#include "picture/ui/video_transport.h"

#include "picture/ui/accessible_names.h"
#include "picture/ui/course_video.h"
#include "picture/ui/screen_layout.h"
#include "picture/ui/slider_mark_strip.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QSlider>
#include <QStyle>
#include <QVBoxLayout>
#include <array>
#include <cmath>

namespace {

constexpr int kMaxWidth = 270;
constexpr std::array<double, 4> kRates{0.25, 0.5, 1.0, 2.0};

int rateIndex(double rate)
{
    int best = 0;
    for (int i = 1; i < int(kRates.size()); ++i)
        if (std::abs(kRates[i] - rate) < std::abs(kRates[best] - rate))
            best = i;
    return best;
}

// A push button as wide as its caption needs. The style's usual minimum of 80 pixels would
// leave no room for the rate beside the three buttons in the column, and a third row of
// controls no room for the rest of the measurement screen's column at 768 pixels.
class CaptionButton : public QPushButton
{
public:
    using QPushButton::QPushButton;
    QSize sizeHint() const override
    {
        const QSize usual = QPushButton::sizeHint();
        const int margins = 2 * (style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, this) +
                                 style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this));
        const int needed = fontMetrics().size(Qt::TextShowMnemonic, text()).width() + margins;
        return {std::min(usual.width(), needed), usual.height()};
    }
};

QPushButton* button(QWidget* parent, const char* name, const QString& caption,
                    const QString& spoken, const QString& tip)
{
    auto* b = named(new CaptionButton(caption, parent), QString::fromLatin1(name));
    b->setAccessibleName(spoken);
    b->setToolTip(tip);
    // A click leaves the focus where it was, on "Start Pass" during a pass: Enter and Space
    // keep their meaning.
    b->setFocusPolicy(Qt::NoFocus);
    b->setAutoDefault(false);
    return b;
}

} // namespace

VideoTransport::VideoTransport(CourseVideo& video, QWidget* parent) : QWidget(parent), video(video)
{
    setObjectName(QStringLiteral("videoTransport"));
    setMaximumWidth(kMaxWidth);

    btnPlay = button(this, "btnPlay", QStringLiteral("Play"), QStringLiteral("Play or Pause"),
                     QStringLiteral("Play or pause the video (P)"));
    btnFrameBack =
        button(this, "btnFrameBack", QStringLiteral("< Frame"), QStringLiteral("One Frame Back"),
               QStringLiteral("One frame back (, key); not during a pass"));
    btnFrameForward =
        button(this, "btnFrameForward", QStringLiteral("Frame >"),
               QStringLiteral("One Frame Forward"), QStringLiteral("One frame forward (. key)"));
    // Wide enough for either caption, so the row does not jump as it changes.
    btnPlay->setText(QStringLiteral("Pause"));
    btnPlay->setMinimumWidth(btnPlay->sizeHint().width());
    btnPlay->setText(QStringLiteral("Play"));

    sldPosition = named(new QSlider(Qt::Horizontal, this), QStringLiteral("sldPosition"));
    sldPosition->setFocusPolicy(Qt::NoFocus);
    sldPosition->setTracking(false); // a drag seeks once, where it is let go
    sldPosition->setToolTip(QStringLiteral("Position in the video; not during a pass"));
    nameForAccess(sldPosition, QStringLiteral("Video Position"));
    markStrip = new SliderMarkStrip(*sldPosition, marks_);

    lblMediaTime = named(new QLabel(this), QStringLiteral("lblMediaTime"));
    lblMediaTime->setToolTip(QStringLiteral("Media time of the frame on screen / length"));
    lblMediaTime->setAccessibleName(QStringLiteral("Media Time"));

    // The rates read "0.25x" to "2x"; the name and the tooltip say what they are.
    cbRate = named(new QComboBox(this), QStringLiteral("cbRate"));
    for (double r : kRates)
        cbRate->addItem(QLocale::c().toString(r) + QLatin1Char('x'), r);
    cbRate->setFocusPolicy(Qt::NoFocus);
    cbRate->setToolTip(QStringLiteral("Playback rate ([ slower, ] faster)"));
    nameForAccess(cbRate, QStringLiteral("Playback Rate"));

    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->addWidget(btnPlay, 1);
    buttons->addWidget(btnFrameBack, 1);
    buttons->addWidget(btnFrameForward, 1);
    buttons->addWidget(cbRate);
    auto* position = new QHBoxLayout;
    position->setContentsMargins(0, 0, 0, 0);
    position->addWidget(sldPosition, 1);
    position->addWidget(lblMediaTime);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(3);
    layout->addLayout(buttons);
    layout->addLayout(position);

    connect(btnPlay, &QPushButton::clicked, this, &VideoTransport::playOrPause);
    connect(btnFrameBack, &QPushButton::clicked, this, &VideoTransport::frameBack);
    connect(btnFrameForward, &QPushButton::clicked, this, &VideoTransport::frameForward);
    connect(cbRate, &QComboBox::activated, this,
            [this](int index) { this->video.setRate(kRates[std::clamp(index, 0, 3)]); });
    connect(sldPosition, &QSlider::valueChanged, this, &VideoTransport::seekTo);
    connect(sldPosition, &QSlider::sliderMoved, this, [this](int ms) {
        // While dragging, the time shows where the video will go.
        if (VideoFile* f = this->video.file())
            lblMediaTime->setText(mediaTime(qint64(ms) * 1000) + QStringLiteral(" / ") +
                                  mediaTime(f->durationUs()));
    });

    connect(&video, &CourseVideo::choiceChanged, this, &VideoTransport::followSource);
    connect(&video, &CourseVideo::frameShown, this,
            [this](const VideoFrame& frame) { showPosition(frame.startUs); });
    connect(&video, &CourseVideo::playbackChanged, this, [this](PlaybackChange change) {
        showPlaying();
        if (change == PlaybackChange::Seeked || change == PlaybackChange::EndOfMedia)
            if (VideoFile* f = this->video.file())
                showPosition(f->positionUs());
    });
    connect(&video, &CourseVideo::rateChanged, this, &VideoTransport::showRate);
    followSource();
}

void VideoTransport::installShortcuts(QWidget* window)
{
    const std::pair<QKeySequence, void (VideoTransport::*)()> keys[] = {
        {QKeySequence(Qt::Key_P), &VideoTransport::playOrPause},
        {QKeySequence(Qt::Key_Comma), &VideoTransport::frameBack},
        {QKeySequence(Qt::Key_Period), &VideoTransport::frameForward},
        {QKeySequence(Qt::Key_BracketLeft), &VideoTransport::slower},
        {QKeySequence(Qt::Key_BracketRight), &VideoTransport::faster},
    };
    for (const auto& [key, action] : keys) {
        auto* shortcut = new QShortcut(key, window);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, action);
    }
}

void VideoTransport::setPassRunning(bool running)
{
    passRunning_ = running;
    followSource();
}

QString VideoTransport::mediaTime(qint64 us)
{
    const qint64 ms = std::max<qint64>(us, 0) / 1000;
    return QStringLiteral("%1:%2.%3")
        .arg(ms / 60000, 2, 10, QLatin1Char('0'))
        .arg(ms / 1000 % 60, 2, 10, QLatin1Char('0'))
        .arg(ms % 1000, 3, 10, QLatin1Char('0'));
}

void VideoTransport::playOrPause()
{
    VideoFile* f = video.file();
    if (!f)
        return;
    if (f->playing())
        f->pause();
    else
        f->play();
    showPlaying();
}

void VideoTransport::frameBack()
{
    // Samples already taken would be taken again on the frames gone back over.
    if (VideoFile* f = video.file(); f && !passRunning_)
        f->stepBack();
}

void VideoTransport::frameForward()
{
    if (VideoFile* f = video.file())
        f->stepForward();
}

void VideoTransport::slower()
{
    if (VideoFile* f = video.file(); f && rateIndex(f->rate()) > 0)
        video.setRate(kRates[rateIndex(f->rate()) - 1]);
}

void VideoTransport::faster()
{
    if (VideoFile* f = video.file(); f && rateIndex(f->rate()) + 1 < int(kRates.size()))
        video.setRate(kRates[rateIndex(f->rate()) + 1]);
}

void VideoTransport::seekTo(int ms)
{
    VideoFile* f = video.file();
    if (!f || passRunning_)
        return;
    f->seek(qint64(ms) * 1000);
}

void VideoTransport::followSource()
{
    VideoFile* f = video.file();
    setVisible(f != nullptr);
    if (!f)
        return;
    btnFrameBack->setEnabled(!passRunning_);
    sldPosition->setEnabled(!passRunning_ && f->durationUs() > 0);
    {
        const QSignalBlocker quiet(sldPosition);
        sldPosition->setRange(0, int(f->durationUs() / 1000));
        sldPosition->setSingleStep(std::max<int>(1, int(f->frameUs() / 1000)));
        sldPosition->setPageStep(1000);
    }
    showRate();
    showPlaying();
    showPosition(f->positionUs());
}

void VideoTransport::showPosition(qint64 us)
{
    VideoFile* f = video.file();
    if (!f)
        return;
    QString text = mediaTime(us);
    if (f->durationUs() > 0)
        text += QStringLiteral(" / ") + mediaTime(f->durationUs());
    lblMediaTime->setText(text);
    if (!sldPosition->isSliderDown()) {
        const QSignalBlocker quiet(sldPosition);
        sldPosition->setValue(int(us / 1000));
    }
}

void VideoTransport::showPlaying()
{
    const VideoFile* f = video.file();
    btnPlay->setText(f && f->playing() ? QStringLiteral("Pause") : QStringLiteral("Play"));
}

void VideoTransport::showRate()
{
    if (const VideoFile* f = video.file()) {
        const QSignalBlocker quiet(cbRate);
        cbRate->setCurrentIndex(rateIndex(f->rate()));
    }
}

void VideoTransport::setMarks(std::vector<SliderMark> marks)
{
    marks_ = std::move(marks);
    markStrip->refresh();
}
