#pragma once
// The run particulars entered on the start screen, as one plain value.

#include <QString>
#include <array>

enum class Event { Slalom, Jump };
enum class Direction { Away, Toward };

// A tow speed choice: km/h (the official figure) over mph.
struct SpeedChoice
{
    const char* caption;
    int kmh;
    int mph;
};

// In the order of the start screen's option buttons.
inline constexpr std::array<SpeedChoice, 5> kSlalomSpeeds{{{"58/36", 58, 36},
                                                           {"55/34", 55, 34},
                                                           {"52/32", 52, 32},
                                                           {"49/30", 49, 30},
                                                           {"46/28", 46, 28}}};
inline constexpr std::array<SpeedChoice, 9> kJumpSpeeds{{{"48/30", 48, 30},
                                                         {"51/32", 51, 32},
                                                         {"54/34", 54, 34},
                                                         {"57/35", 57, 35},
                                                         {"60/37", 60, 37},
                                                         {"63/39", 63, 39},
                                                         {"66/41", 66, 41},
                                                         {"69/43", 69, 43},
                                                         {"72/45", 72, 45}}};
inline constexpr std::array<const char*, 10> kLineLengths{
    "18.25", "16.00", "14.25", "13.00", "12.00", "11.25", "10.75", "10.25", "9.75", "9.25"};

inline constexpr int kDefaultSlalomSpeed = 0; // "58/36"
inline constexpr int kDefaultJumpSpeed = 3;   // "57/35"
inline constexpr int kDefaultLineLength = 5;  // "11.25"

struct RunInfo
{
    QString tournament;
    QString location;
    QString date;
    QString boatNumber = QStringLiteral("1");
    // Empty until one is picked or typed: the start screen shows the list's title as a
    // placeholder, and an empty name is recorded empty.
    QString skier;
    QString driver;
    QString boatMaker;
    QString boatModel;
    Event event = Event::Slalom;
    int slalomSpeed = kDefaultSlalomSpeed; // index into kSlalomSpeeds, -1 when none is selected
    int jumpSpeed = kDefaultJumpSpeed;     // index into kJumpSpeeds, -1 when none is selected
    int lineLength = kDefaultLineLength;   // index into kLineLengths, -1 when none is selected
    Direction direction = Direction::Toward;
    QString resultsFolder;

    // +1.0 going away from the camera, -1.0 coming toward it.
    double directionSign() const { return direction == Direction::Away ? 1.0 : -1.0; }
    // The speed choice of the current event, or nullptr when none is selected.
    const SpeedChoice* speed() const;

    bool operator==(const RunInfo&) const = default;
};

inline const SpeedChoice* RunInfo::speed() const
{
    if (event == Event::Slalom)
        return slalomSpeed >= 0 && slalomSpeed < int(kSlalomSpeeds.size())
                   ? &kSlalomSpeeds[size_t(slalomSpeed)]
                   : nullptr;
    return jumpSpeed >= 0 && jumpSpeed < int(kJumpSpeeds.size()) ? &kJumpSpeeds[size_t(jumpSpeed)]
                                                                 : nullptr;
}
