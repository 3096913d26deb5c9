#include "camera_model/camera_model.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

double radians(double degrees)
{
    return degrees * std::numbers::pi / 180.0;
}

double dot(const CourseVector& a, const CourseVector& b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

} // namespace

CourseVector PinholeCamera::forward() const
{
    const double h = radians(headingDeg);
    const double t = radians(tiltDeg);
    return {std::sin(h) * std::cos(t), std::cos(h) * std::cos(t), -std::sin(t)};
}

CourseVector PinholeCamera::right() const
{
    // x grows to the camera's left, so the picture's right is toward -x when looking along +y.
    const double h = radians(headingDeg);
    return {-std::cos(h), std::sin(h), 0.0};
}

CourseVector PinholeCamera::down() const
{
    const double h = radians(headingDeg);
    const double t = radians(tiltDeg);
    return {-std::sin(t) * std::sin(h), -std::sin(t) * std::cos(h), -std::cos(t)};
}

std::optional<PicturePoint> PinholeCamera::project(const CourseVector& p) const
{
    const CourseVector d{p.x - position.x, p.y - position.y, p.z - position.z};
    const double depth = dot(d, forward());
    if (!(depth > 0.0))
        return std::nullopt;
    return PicturePoint{principalPoint.u + focalLengthPx * dot(d, right()) / depth,
                        principalPoint.v + focalLengthPx * dot(d, down()) / depth};
}

CourseVector PinholeCamera::rayThrough(const PicturePoint& p) const
{
    return rayThrough(p, forward(), right(), down());
}

CourseVector PinholeCamera::rayThrough(const PicturePoint& p, const CourseVector& f,
                                       const CourseVector& r, const CourseVector& d) const
{
    const double a = (p.u - principalPoint.u) / focalLengthPx;
    const double b = (p.v - principalPoint.v) / focalLengthPx;
    return {f.x + a * r.x + b * d.x, f.y + a * r.y + b * d.y, f.z + a * r.z + b * d.z};
}

PinholeCamera scaledCamera(const PinholeCamera& camera, int fromWidth, int fromHeight, int toWidth,
                           int toHeight)
{
    const double scale = std::min(double(toWidth) / fromWidth, double(toHeight) / fromHeight);
    PinholeCamera scaled = camera;
    scaled.focalLengthPx = camera.focalLengthPx * scale;
    scaled.principalPoint = {toWidth / 2.0 + scale * (camera.principalPoint.u - fromWidth / 2.0),
                             toHeight / 2.0 + scale * (camera.principalPoint.v - fromHeight / 2.0)};
    return scaled;
}

std::optional<CameraDescription> loadCameraDescription(const QString& path, QString* error)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        *error = f.errorString();
        return std::nullopt;
    }
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(f.readAll(), &parseError);
    if (!doc.isObject()) {
        *error = parseError.errorString();
        return std::nullopt;
    }
    const QJsonObject root = doc.object();
    CameraDescription c;
    const QJsonObject screen = root.value(QStringLiteral("screen")).toObject();
    c.widthPx = screen.value(QStringLiteral("width_px")).toInt(1024);
    c.heightPx = screen.value(QStringLiteral("height_px")).toInt(768);
    const QJsonObject cameras = root.value(QStringLiteral("cameras")).toObject();
    for (auto it = cameras.begin(); it != cameras.end(); ++it) {
        const QJsonObject o = it.value().toObject();
        const QJsonArray position = o.value(QStringLiteral("position_m")).toArray();
        const QJsonArray principal = o.value(QStringLiteral("principal_point_px")).toArray();
        if (position.size() != 2 || principal.size() != 2) {
            *error = QStringLiteral("camera \"%1\": position_m and principal_point_px need two "
                                    "numbers each")
                         .arg(it.key());
            return std::nullopt;
        }
        PinholeCamera cam;
        cam.position = {position[0].toDouble(), position[1].toDouble(),
                        o.value(QStringLiteral("height_m")).toDouble()};
        cam.headingDeg = o.value(QStringLiteral("heading_deg")).toDouble();
        cam.tiltDeg = o.value(QStringLiteral("tilt_deg")).toDouble();
        cam.focalLengthPx = o.value(QStringLiteral("focal_length_px")).toDouble();
        cam.principalPoint = {principal[0].toDouble(), principal[1].toDouble()};
        if (!(cam.focalLengthPx > 0.0) || !(cam.position.z > 0.0)) {
            *error = QStringLiteral("camera \"%1\": focal length and height must be positive")
                         .arg(it.key());
            return std::nullopt;
        }
        c.cameras[it.key()] = cam;
    }
    if (c.cameras.empty()) {
        *error = QStringLiteral("no cameras");
        return std::nullopt;
    }
    return c;
}
