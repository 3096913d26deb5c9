#include "app/settings_keys.h"
#include "app/video_choice.h"
#include "fakes/fake_services.h"
#include "support/qt_printers.h"

#include <gtest/gtest.h>

namespace {

QString key(const QString& name)
{
    return kSettingsApplication + "/" + kSettingsSection + "/" + name;
}

TEST(VideoChoice, EachKindComesBackAndTheResultsFolderIsNeverTouched)
{
    FakeSettingsStore store;
    store.values[key(kSettingsResultsPath)] = QStringLiteral("D:\\Results");
    for (const VideoChoice& c :
         {VideoChoice::ofFile(QStringLiteral("/v/pass 1.webm")), VideoChoice::ofCamera(QString()),
          VideoChoice::ofCamera(QStringLiteral("USB Cam")), VideoChoice::overlayCard()}) {
        QString error;
        ASSERT_TRUE(rememberVideoChoice(store, c, &error)) << error.toStdString();
        EXPECT_EQ(rememberedVideoChoice(store), c);
    }
    EXPECT_EQ(store.values[key(kSettingsResultsPath)], QStringLiteral("D:\\Results"));
}

TEST(VideoChoice, WhatCannotBeReadIsTheOverlayCard)
{
    FakeSettingsStore store;
    EXPECT_EQ(rememberedVideoChoice(store), VideoChoice::overlayCard());
    store.values[key(kSettingsVideoSource)] = QStringLiteral("file"); // no path kept
    EXPECT_EQ(rememberedVideoChoice(store), VideoChoice::overlayCard());
    store.values[key(kSettingsVideoSource)] = QStringLiteral("satellite");
    EXPECT_EQ(rememberedVideoChoice(store), VideoChoice::overlayCard());
}

TEST(VideoChoice, AStoreThatRefusesSaysWhyAndKeepsTheEarlierChoice)
{
    FakeSettingsStore store;
    ASSERT_TRUE(rememberVideoChoice(store, VideoChoice::ofCamera(QStringLiteral("A")), nullptr));
    store.failWrites = true;
    QString error;
    EXPECT_FALSE(
        rememberVideoChoice(store, VideoChoice::ofFile(QStringLiteral("/v/x.mp4")), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("read-only"))) << error.toStdString();
    EXPECT_EQ(rememberedVideoChoice(store), VideoChoice::ofCamera(QStringLiteral("A")));
}

} // namespace
