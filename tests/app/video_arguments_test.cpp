#include "app/video_arguments.h"
#include "support/qt_printers.h"

#include <gtest/gtest.h>

namespace {

using Kind = VideoChoice::Kind;

struct Case
{
    const char* what;
    QStringList arguments; // after the program's name
    std::optional<VideoChoice> choice;
    QStringList remaining; // after the program's name
    bool error = false;
};

void PrintTo(const Case& c, std::ostream* os)
{
    *os << c.what;
}

class VideoArgumentsTable : public ::testing::TestWithParam<Case>
{
};

const QString kStart = QStringLiteral("/home/judge/passes");

const Case kCases[] = {
    {"none", {"--program-folder", "/p"}, std::nullopt, {"--program-folder", "/p"}},
    {"video with a separate file",
     {"--video", "a.webm", "--program-folder", "/p"},
     VideoChoice::ofFile("/home/judge/passes/a.webm"),
     {"--program-folder", "/p"}},
    {"video with an attached absolute file",
     {"--video=/v/b c.mp4"},
     VideoChoice::ofFile("/v/b c.mp4"),
     {}},
    {"video file starting with a dash is still the file",
     {"--video", "-odd.avi"},
     VideoChoice::ofFile("/home/judge/passes/-odd.avi"),
     {}},
    {"camera alone, the default", {"--camera"}, VideoChoice::ofCamera(""), {}},
    {"camera before another option takes no name",
     {"--camera", "--program-folder", "/p"},
     VideoChoice::ofCamera(""),
     {"--program-folder", "/p"}},
    {"camera with a name",
     {"--camera", "USB Video: HD Cam", "-x"},
     VideoChoice::ofCamera("USB Video: HD Cam"),
     {"-x"}},
    {"camera with an attached name", {"--camera=Cam 2"}, VideoChoice::ofCamera("Cam 2"), {}},
    {"the last of repeated options wins",
     {"--camera", "A", "--camera=B"},
     VideoChoice::ofCamera("B"),
     {}},
    {"after -- nothing is an option", {"--", "--video", "x"}, std::nullopt, {"--", "--video", "x"}},
    {"video without a file", {"--video"}, std::nullopt, {}, true},
    {"video with an empty file", {"--video="}, std::nullopt, {}, true},
    {"both kinds", {"--video", "a.webm", "--camera"}, std::nullopt, {}, true},
    {"a look-alike option is left to the parser",
     {"--videos", "x"},
     std::nullopt,
     {"--videos", "x"}},
};

TEST_P(VideoArgumentsTable, TakesTheVideoOptionsAndLeavesTheRest)
{
    const Case& c = GetParam();
    const VideoArguments got = takeVideoArguments(QStringList{"wakeline"} + c.arguments, kStart);
    EXPECT_EQ(got.choice, c.choice);
    EXPECT_EQ(got.remaining, QStringList{"wakeline"} + c.remaining);
    EXPECT_EQ(!got.error.isEmpty(), c.error) << got.error.toStdString();
}

INSTANTIATE_TEST_SUITE_P(CommandLines, VideoArgumentsTable, ::testing::ValuesIn(kCases));

} // namespace
