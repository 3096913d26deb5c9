// Draws the calibration screen's two state pictures and writes them as ICO files:
// msgbox03.ico (calibration incomplete: a warning sign) and face02.ico (complete: a smiley).
//
//   wakeline-make-state-pictures OUTPUT_FOLDER

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>

namespace {

constexpr int kSize = 32;

QImage blank()
{
    QImage image(kSize, kSize, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    return image;
}

QImage warningSign()
{
    QImage image = blank();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath triangle;
    triangle.moveTo(16, 2);
    triangle.lineTo(30.5, 29);
    triangle.lineTo(1.5, 29);
    triangle.closeSubpath();
    p.setPen(QPen(Qt::black, 1.5));
    p.setBrush(QColor(255, 210, 0));
    p.drawPath(triangle);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawRoundedRect(QRectF(14.5, 10, 3, 11), 1.2, 1.2);
    p.drawEllipse(QRectF(14.5, 23, 3, 3));
    return image;
}

QImage smiley()
{
    QImage image = blank();
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1.5));
    p.setBrush(QColor(255, 220, 0));
    p.drawEllipse(QRectF(1.5, 1.5, 29, 29));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawEllipse(QRectF(9.5, 9.5, 4, 5));
    p.drawEllipse(QRectF(18.5, 9.5, 4, 5));
    p.setPen(QPen(Qt::black, 2.2, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(8, 8, 16, 15), 200 * 16, 140 * 16);
    return image;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: wakeline-make-state-pictures OUTPUT_FOLDER\n");
        return 2;
    }
    const std::pair<const char*, QImage> pictures[] = {{"msgbox03.ico", warningSign()},
                                                       {"face02.ico", smiley()}};
    for (const auto& [name, image] : pictures) {
        const QString path = QDir(args[0]).filePath(QString::fromLatin1(name));
        QImageWriter writer(path, "ico");
        if (!writer.write(image)) {
            std::fprintf(stderr, "%s: %s\n", qPrintable(path), qPrintable(writer.errorString()));
            return 1;
        }
        std::printf("%s\n", qPrintable(path));
    }
    return 0;
}
