#include "app/video_choice.h"

#include "app/settings_keys.h"
#include "platform/settings_store.h"

namespace {

const QString kOverlay = QStringLiteral("overlay");
const QString kCamera = QStringLiteral("camera");
const QString kFile = QStringLiteral("file");

QString stored(const SettingsStore& settings, const QString& key)
{
    return settings.value(kSettingsApplication, kSettingsSection, key).value_or(QString());
}

} // namespace

VideoChoice rememberedVideoChoice(const SettingsStore& settings)
{
    const QString kind = stored(settings, kSettingsVideoSource);
    if (kind == kCamera)
        return VideoChoice::ofCamera(stored(settings, kSettingsCamera));
    if (kind == kFile) {
        const QString path = stored(settings, kSettingsVideoFile);
        if (!path.isEmpty())
            return VideoChoice::ofFile(path);
    }
    return VideoChoice::overlayCard();
}

bool rememberVideoChoice(SettingsStore& settings, const VideoChoice& choice, QString* error)
{
    const QString kind = choice.kind == VideoChoice::Kind::Camera ? kCamera
                         : choice.kind == VideoChoice::Kind::File ? kFile
                                                                  : kOverlay;
    // The kind goes last: a store that fails half way keeps the previous kind, whose own
    // key was not touched.
    QString reason;
    bool ok = true;
    if (choice.kind == VideoChoice::Kind::Camera)
        ok = settings.setValue(kSettingsApplication, kSettingsSection, kSettingsCamera,
                               choice.camera, &reason);
    else if (choice.kind == VideoChoice::Kind::File)
        ok = settings.setValue(kSettingsApplication, kSettingsSection, kSettingsVideoFile,
                               choice.file, &reason);
    if (ok)
        ok = settings.setValue(kSettingsApplication, kSettingsSection, kSettingsVideoSource, kind,
                               &reason);
    if (!ok && error)
        *error =
            QStringLiteral("The video choice could not be kept for the next run: %1.")
                .arg(reason.isEmpty() ? QStringLiteral("the settings store refused it") : reason);
    return ok;
}
