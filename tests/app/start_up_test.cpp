#include "app/settings_keys.h"
#include "app/start_up.h"
#include "fakes/fake_services.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

QString stored(const FakeSettingsStore& settings)
{
    return settings.value(kSettingsApplication, kSettingsSection, kSettingsResultsPath)
        .value_or(QStringLiteral("<none>"));
}

// Each keystroke in the results folder field is one remember(); a store that fails on every
// one of them must not bury the operator in warnings, yet a new failure after a good write
// is news again.
TEST(ResultsFolderSetting, AFailingStoreIsToldOncePerStreak)
{
    FakeSettingsStore settings;
    ResultsFolderSetting setting(settings);
    struct Step
    {
        bool storeFails;
        const char* typed;
        bool warned;
    };
    const std::vector<Step> steps{
        {false, "D", false},    {true, "D:", true},       {true, "D:\\", false},
        {true, "D:\\R", false}, {false, "D:\\Re", false}, {true, "D:\\Res", true},
        {false, "", false},
    };
    for (const Step& step : steps) {
        settings.failWrites = step.storeFails;
        const int writesBefore = settings.writes;
        const QString warning = setting.remember(QString::fromLatin1(step.typed));
        EXPECT_EQ(settings.writes, writesBefore + 1) << step.typed << ": every change is written";
        EXPECT_EQ(!warning.isEmpty(), step.warned) << step.typed;
        if (step.warned) {
            EXPECT_EQ(warning, "The results folder could not be remembered for the next start: "
                               "the settings store is read-only.");
        }
        if (!step.storeFails) {
            EXPECT_EQ(stored(settings), QString::fromLatin1(step.typed));
        }
    }
}

} // namespace
