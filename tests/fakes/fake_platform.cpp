#include "fakes/fake_platform.h"

#include <QImageReader>

QImage FakePictureSource::load(const QString& path)
{
    return QImageReader(path).read();
}
