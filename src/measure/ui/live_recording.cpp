#include "measure/ui/live_recording.h"

#include "app/settings_keys.h"
#include "measure/pass_recording.h"
#include "picture/ui/course_picture.h"
#include "picture/ui/course_video.h"
#include "platform/message_boxes.h"
#include "platform/settings_store.h"
#include "platform/ui/recorder_frame.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>

namespace {

// A camera's picture, not hidden by a still picture: what the operator measures on.
bool measuringLive(CourseVideo& video)
{
    const VideoSource* source = video.source();
    return source && source->live() && !video.file() && video.stillPicture().image().isNull();
}

} // namespace

void attachPassRecording(QMainWindow& screen, CourseVideo& video, PassRecording& recording,
                         SettingsStore& settings, MessageBoxes& messages)
{
    const std::optional<QString> kept =
        settings.value(kSettingsApplication, kSettingsSection, kSettingsRecordLivePasses);
    recording.setEnabled(!kept || *kept != QStringLiteral("0"));

    if (auto* menu = screen.findChild<QMenu*>(QStringLiteral("mnuVideo"))) {
        menu->addSeparator();
        QAction* toggle = menu->addAction(QStringLiteral("Record Live Passes"));
        toggle->setObjectName(QStringLiteral("mnuRecordLivePasses"));
        toggle->setCheckable(true);
        toggle->setChecked(recording.enabled());
        toggle->setToolTip(QStringLiteral("Record each pass measured on a camera's picture to a "
                                          "video file in the results folder"));
        QObject::connect(
            toggle, &QAction::toggled, &recording, [&recording, &settings, &messages](bool on) {
                recording.setEnabled(on);
                QString error;
                if (!settings.setValue(kSettingsApplication, kSettingsSection,
                                       kSettingsRecordLivePasses,
                                       on ? QStringLiteral("1") : QStringLiteral("0"), &error))
                    messages.warning(error + QStringLiteral("\n\nThe choice holds "
                                                            "until Wakeline ends."),
                                     QStringLiteral("Error Message"));
            });
    }

    const auto follow = [&video, &recording] { recording.setLive(measuringLive(video)); };
    follow();
    QObject::connect(&video, &CourseVideo::choiceChanged, &recording, follow);
    QObject::connect(&video.stillPicture(), &CoursePicture::changed, &recording, follow);
    QObject::connect(
        &video, &CourseVideo::frameShown, &recording, [&recording](const VideoFrame& frame) {
            if (recording.live())
                recording.frameReceived(recorderFrame(frame.image), frame.startUs, frame.arrivalMs);
        });
    QObject::connect(&recording, &PassRecording::notRecorded, &screen,
                     [&messages](const QString& message) {
                         messages.warning(message, QStringLiteral("Video"));
                     });
}
