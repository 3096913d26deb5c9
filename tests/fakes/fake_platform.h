#pragma once
// The platform fakes the screens take: the services of fake_services.h, a picture source and
// the video sources and a pass recorder, in the Platform bundle.

#include "fakes/fake_recorder.h"
#include "fakes/fake_services.h"
#include "fakes/fake_video.h"
#include "platform/platform.h"
#include "platform/ui/picture_source.h"

// Pictures read from files as the real source reads them; the clipboard is what the test puts
// there.
class FakePictureSource : public PictureSource
{
public:
    QImage load(const QString& path) override;
    QImage clipboardImage() override { return clipboard; }

    QImage clipboard;
};

struct FakePlatform : FakeServices
{
    FakePictureSource pictures;
    FakeVideoSources videos;
    FakeRecorder recorder;
    Platform platform{settings, fileDialog, messages, clock,  pictures,
                      keys,     joystick,   timers,   videos, &recorder};
};
