#pragma once
// Fakes of the platform services that need no pictures (QtCore only, so logic tests can use
// them): scripted answers for dialogs and boxes, a record of every message, a clock the test
// sets, an in-memory settings store, timers, keys and a joystick the test drives.

#include "platform/clock.h"
#include "platform/file_dialog.h"
#include "platform/hires_timer.h"
#include "platform/joystick.h"
#include "platform/key_state.h"
#include "platform/message_boxes.h"
#include "platform/settings_store.h"

#include <QMap>
#include <deque>
#include <vector>

class FakeSettingsStore : public SettingsStore
{
public:
    std::optional<QString> value(const QString& application, const QString& section,
                                 const QString& key) const override;
    bool setValue(const QString& application, const QString& section, const QString& key,
                  const QString& value, QString* error) override;

    QMap<QString, QString> values; // "application/section/key" -> text
    bool failWrites = false;
    int writes = 0;
};

class FakeFileDialog : public FileDialog
{
public:
    std::optional<QString> choose(const FileDialogRequest& request) override;

    std::deque<std::optional<QString>> answers; // std::nullopt = cancel
    std::vector<FileDialogRequest> requests;
};

struct ShownMessage
{
    QString text;
    QString title;
    MessageIcon icon;
};

class FakeMessageBoxes : public MessageBoxes
{
public:
    void show(const QString& text, const QString& title, MessageIcon icon) override;
    bool askYesNo(const QString& text, const QString& title) override;
    std::optional<QString> input(const QString& prompt, const QString& title,
                                 const QString& initial) override;

    std::vector<ShownMessage> shown;
    std::vector<QString> questions;
    std::vector<QString> prompts;
    std::deque<bool> yesNoAnswers;             // default No
    std::deque<std::optional<QString>> inputs; // default cancel
};

class FakeClock : public Clock
{
public:
    QDateTime now() const override { return nowValue; }
    qint64 monotonicMs() const override { return ms; }

    QDateTime nowValue = QDateTime(QDate(2026, 12, 7), QTime(14, 5, 9));
    qint64 ms = 0;
};

// Arrow keys the test presses and releases itself.
class FakeKeyState : public ArrowKeyLatch
{
public:
    // Down and up again before the next poll.
    void tap(ArrowKey key)
    {
        press(key);
        release(key);
    }
};

class FakeJoystick : public Joystick
{
public:
    int detect() override
    {
        ++detects;
        return detectCode;
    }
    JoystickReading poll() override
    {
        ++polls;
        return reading;
    }

    int detectCode = kJoyErrParms; // no joystick, the usual case
    JoystickReading reading;       // status kJoyErrParms until a test sets it
    int detects = 0;
    int polls = 0;
};

class FakeHiResTimerFactory;

// A timer the test fires by hand: fire() raises one tick when enabled.
class FakeHiResTimer : public HiResTimer
{
public:
    FakeHiResTimer(FakeHiResTimerFactory& factory, const QString& role)
        : role(role), factory(factory)
    {
    }
    ~FakeHiResTimer() override;

    void setPeriod(int milliseconds) override { periodMs = milliseconds; }
    int period() const override { return periodMs; }
    void setEnabled(bool enabled) override
    {
        on = enabled;
        if (enabled)
            ++enables;
    }
    bool enabled() const override { return on; }
    void setCallback(std::function<void(qint64)> callback) override { tick = std::move(callback); }

    bool fire()
    {
        if (!on || !tick)
            return false;
        tick(0);
        return true;
    }

    const QString role;
    int periodMs = 0;
    bool on = false;
    int enables = 0;

private:
    FakeHiResTimerFactory& factory;
    std::function<void(qint64)> tick;
};

class FakeHiResTimerFactory : public HiResTimerFactory
{
public:
    std::unique_ptr<HiResTimer> create(const QString& role) override
    {
        auto timer = std::make_unique<FakeHiResTimer>(*this, role);
        timers.push_back(timer.get());
        return timer;
    }
    void forget(FakeHiResTimer* timer) { std::erase(timers, timer); }

    // The live timer made for `role`. Asking for a role no timer has, or one that two timers
    // share, is a fault of the test or of the code that makes them: it throws.
    FakeHiResTimer& timer(const QString& role) const;

    std::vector<FakeHiResTimer*> timers; // live timers, in creation order
};

inline FakeHiResTimer::~FakeHiResTimer()
{
    factory.forget(this);
}

// These fakes together; screen tests get them with the picture source in FakePlatform.
struct FakeServices
{
    FakeSettingsStore settings;
    FakeFileDialog fileDialog;
    FakeMessageBoxes messages;
    FakeClock clock;
    FakeKeyState keys;
    FakeJoystick joystick;
    FakeHiResTimerFactory timers;
};
