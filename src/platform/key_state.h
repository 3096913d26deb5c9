#pragma once
// The arrow keys as the measurement line's keyboard step reads them.

#include <array>
#include <cstddef>

enum class ArrowKey { Left, Up, Right, Down };

class KeyState
{
public:
    virtual ~KeyState() = default;
    // True when the key is down now or went down at some moment since the last poll of that
    // key, so a tap shorter than the polling period still moves the line once.
    virtual bool poll(ArrowKey key) = 0;
};

// The rule above, fed with key transitions by whatever sees them.
class ArrowKeyLatch : public KeyState
{
public:
    void press(ArrowKey key)
    {
        down[index(key)] = true;
        pressedSincePoll[index(key)] = true;
    }
    void release(ArrowKey key) { down[index(key)] = false; }
    bool poll(ArrowKey key) override
    {
        const bool pressed = down[index(key)] || pressedSincePoll[index(key)];
        pressedSincePoll[index(key)] = false;
        return pressed;
    }
    bool isDown(ArrowKey key) const { return down[index(key)]; }

private:
    static std::size_t index(ArrowKey key) { return static_cast<std::size_t>(key); }

    std::array<bool, 4> down{};
    std::array<bool, 4> pressedSincePoll{};
};
