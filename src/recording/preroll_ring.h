#pragma once
// The encoded frames kept in memory while a live picture is under the measurement screen, so
// that a pass's file can start before "Start Pass" was pressed, and the rule for where a
// pass's file starts and stops.
//
// Times are the frames' capture times on one clock (microseconds). A file starts on a key
// frame (the decoder needs nothing before it) at least kPreRollUs before the pass started,
// and ends with the first frame at least kPostRollUs after the pass ended. Raw frames would
// cost 8 MB each at 1920x1080; encoded ones, with a key frame every second, a few MB for the
// whole pre-roll.

#include <QtGlobal>
#include <algorithm>
#include <deque>
#include <limits>
#include <optional>
#include <vector>

inline constexpr qint64 kPreRollUs = 2000000;
inline constexpr qint64 kPostRollUs = 1000000;

// Whether the frame captured at frameUs is the last one a pass's file needs.
inline bool endsPostRoll(qint64 frameUs, qint64 passEndUs)
{
    return frameUs >= passEndUs + kPostRollUs;
}

// Encoded frames in capture order, each numbered in the order added. `Payload` is the
// encoded picture (copied out, so a counted reference).
template <class Payload> class PrerollRing
{
public:
    struct Entry
    {
        quint64 number = 0;
        qint64 timeUs = 0;
        bool key = false;
        Payload payload{};
    };

    // Adds the newest frame and lets go of what no file can need any more: frames before
    // the latest key frame at least kPreRollUs old, unless held for a file being written.
    quint64 add(qint64 timeUs, bool key, Payload payload)
    {
        const quint64 number = next++;
        entries.push_back({number, timeUs, key, std::move(payload)});
        trim();
        return number;
    }

    // The key frame a file for a pass starting at passStartUs begins with: the latest one at
    // least kPreRollUs before it; while the ring holds less than that (the picture has only
    // just come), its first. None when it holds no key frame.
    std::optional<Entry> fileStart(qint64 passStartUs) const
    {
        std::optional<Entry> start;
        for (const Entry& e : entries) {
            if (!e.key)
                continue;
            if (start && e.timeUs > passStartUs - kPreRollUs)
                break;
            start = e;
        }
        return start;
    }

    // Frames from `number` on are kept until released (a file will be written from there);
    // std::numeric_limits<quint64>::max() holds nothing.
    void holdFrom(quint64 number)
    {
        held = number;
        trim();
    }

    // Copies of the frames from `number` on, in order.
    std::vector<Entry> from(quint64 number) const
    {
        std::vector<Entry> out;
        for (const Entry& e : entries)
            if (e.number >= number)
                out.push_back(e);
        return out;
    }

    bool empty() const { return entries.empty(); }
    size_t size() const { return entries.size(); }
    const Entry& oldest() const { return entries.front(); }
    const Entry& newest() const { return entries.back(); }
    void clear()
    {
        entries.clear();
        held = std::numeric_limits<quint64>::max();
    }

private:
    void trim()
    {
        if (entries.empty())
            return;
        // The oldest frame that must stay: the latest key frame old enough to start a file on
        // (nothing older helps a pass that starts now or later), or a held one.
        const qint64 enough = entries.back().timeUs - kPreRollUs;
        quint64 keepFrom = entries.front().number;
        for (const Entry& e : entries) {
            if (e.timeUs > enough)
                break;
            if (e.key)
                keepFrom = e.number;
        }
        keepFrom = std::min(keepFrom, held);
        while (!entries.empty() && entries.front().number < keepFrom)
            entries.pop_front();
    }

    std::deque<Entry> entries;
    quint64 next = 0;
    quint64 held = std::numeric_limits<quint64>::max();
};
