#pragma once
// The comma-decimal locale (de_DE.UTF-8) that tests switch to, to show that numbers and dates
// never follow the system's locale. Without it those tests cannot show anything: on a
// developer's machine they are skipped with the command that generates it; under CI (CI set)
// they fail, since CI generates it (scripts/deps.sh).

#include <QLocale>
#include <clocale>
#include <gtest/gtest.h>
#include <langinfo.h>
#include <locale.h>
#include <string>

inline constexpr const char* kCommaLocale = "de_DE.UTF-8";

// True when the locale exists and really writes a comma before the decimals.
inline bool commaLocaleInstalled()
{
    const locale_t l = newlocale(LC_ALL_MASK, kCommaLocale, locale_t(nullptr));
    if (l == locale_t(nullptr))
        return false;
    const bool comma = std::string(nl_langinfo_l(RADIXCHAR, l)) == ",";
    freelocale(l);
    return comma;
}

// A test fixture that skips (or, under CI, fails) when the locale is missing.
class CommaLocaleTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (commaLocaleInstalled())
            return;
        const char* how = "the de_DE.UTF-8 locale is missing; generate it as root with "
                          "'localedef -i de_DE -f UTF-8 de_DE.UTF-8' (or run scripts/deps.sh "
                          "as root)";
        if (qEnvironmentVariableIsSet("CI"))
            FAIL() << how;
        GTEST_SKIP() << how;
    }
};

// Switches the C library and Qt's default locale to the named one ("C" or kCommaLocale) for
// its lifetime, as Qt does at start from the system's locale.
class ScopedLocale
{
public:
    explicit ScopedLocale(const char* name) : oldC(std::setlocale(LC_ALL, nullptr))
    {
        std::setlocale(LC_ALL, name);
        QLocale::setDefault(QLocale(QString::fromLatin1(name)));
    }
    ~ScopedLocale()
    {
        std::setlocale(LC_ALL, oldC.c_str());
        QLocale::setDefault(oldQt);
    }
    ScopedLocale(const ScopedLocale&) = delete;
    ScopedLocale& operator=(const ScopedLocale&) = delete;

private:
    std::string oldC;
    QLocale oldQt;
};
