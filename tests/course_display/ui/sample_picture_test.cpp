// The sample slalom picture is rendered from the camera model alone; the standard setup file
// was made for the same camera. Finding the drawn guide buoys where the calibration puts
// them checks the whole chain: camera, marks, solve, setup file, inverse mapping.

#include "calibration/setup_file.h"

#include <QImage>
#include <gtest/gtest.h>

namespace {

bool isGuideBuoyOrange(QRgb c)
{
    // The guide buoys are orange (255, 140, 0), shaded darker toward the water line; water
    // is blue and the gate buoys red.
    return qRed(c) > 120 && qGreen(c) > 45 && qGreen(c) < 0.75 * qRed(c) && qBlue(c) < 60;
}

struct Blob
{
    double centreColumn = 0.0;
    int lowestRow = -1;
    int pixels = 0;
};

// The orange blob around a pixel: its mean column and its lowest row (the water line).
Blob blobNear(const QImage& picture, int column, int row, int reach)
{
    Blob blob;
    double columns = 0.0;
    for (int j = std::max(0, row - reach); j <= std::min(picture.height() - 1, row + reach); ++j)
        for (int i = std::max(0, column - reach);
             i <= std::min(picture.width() - 1, column + reach); ++i)
            if (isGuideBuoyOrange(picture.pixel(i, j))) {
                columns += i;
                ++blob.pixels;
                blob.lowestRow = std::max(blob.lowestRow, j);
            }
    if (blob.pixels > 0)
        blob.centreColumn = columns / blob.pixels;
    return blob;
}

} // namespace

TEST(SampleCoursePicture, ShowCourseCrossesLandOnTheDrawnGuideBuoys)
{
    const QImage picture(QStringLiteral(":/program/pictures/slalom_course.png"));
    ASSERT_FALSE(picture.isNull());
    const SetupFileRead setup = readSetupFile(QStringLiteral(":/program/SlalomOK.ipt"));
    ASSERT_TRUE(setup.data) << setup.problem.reason.toStdString();

    int found = 0;
    for (double x : {0.1, 2.4})
        for (double y = -27.0; y >= -232.0; y -= 41.0) {
            const auto screen = setup.data->transform.toScreen({x, y});
            ASSERT_TRUE(screen);
            const double column = screen->point.x / 15.0;
            const double row = screen->point.y / 15.0;
            const Blob blob = blobNear(picture, int(column), int(row), 40);
            ASSERT_GT(blob.pixels, 20) << "no buoy drawn near x " << x << ", y " << y;
            // The buoy floats half out of the water: its centre at the water line is the
            // middle of its lowest row.
            EXPECT_NEAR(blob.centreColumn, column, 1.0) << "x " << x << ", y " << y;
            EXPECT_NEAR(blob.lowestRow, row, 1.0) << "x " << x << ", y " << y;
            ++found;
        }
    EXPECT_EQ(found, 12);
}
