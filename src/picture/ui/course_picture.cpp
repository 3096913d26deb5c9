#include "picture/ui/course_picture.h"

void CoursePicture::setImage(const QImage& image)
{
    picture = image;
    Q_EMIT changed(picture);
}
