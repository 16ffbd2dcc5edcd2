#pragma once

// A small Standard MIDI File reader for the tests: it walks every event of a
// one-track file the way a player would and reports what it found.

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

struct SmfSummary {
    bool valid = false;
    std::string problem;
    int format = -1;
    int tracks = 0;
    int division = 0;
    uint32_t declaredLength = 0;    // the track chunk's length field
    std::vector<uint32_t> tempos;   // microseconds per quarter, in order
    std::vector<uint8_t> programs;  // program-change values on channel 1, in order
    int noteOns = 0;                // note-ons with a velocity above 0
    int notesLeftSounding = 0;      // notes never ended before the end of track
    uint64_t endTick = 0;           // tick of the end-of-track event
    bool endOfTrackLast = false;    // FF 2F is the final event of the chunk
};

inline SmfSummary ReadSmf(const std::vector<uint8_t>& f) {
    SmfSummary s;
    auto fail = [&s](const std::string& why) {
        s.problem = why;
        return s;
    };
    auto be = [&f](size_t at, int n) {
        uint32_t v = 0;
        for (int i = 0; i < n; ++i) {
            v = (v << 8) | f[at + i];
        }
        return v;
    };
    if (f.size() < 22 || std::string(f.begin(), f.begin() + 4) != "MThd" || be(4, 4) != 6) {
        return fail("no header chunk");
    }
    s.format = int(be(8, 2));
    s.tracks = int(be(10, 2));
    s.division = int(be(12, 2));
    if (std::string(f.begin() + 14, f.begin() + 18) != "MTrk") {
        return fail("no track chunk");
    }
    s.declaredLength = be(18, 4);
    if (size_t(s.declaredLength) + 22 != f.size()) {
        return fail("track length does not match the file size");
    }
    std::map<std::pair<int, int>, int> sounding;
    size_t p = 22;
    uint64_t tick = 0;
    uint8_t running = 0;
    bool ended = false;
    while (p < f.size()) {
        if (ended) {
            return fail("events after the end of track");
        }
        uint32_t delta = 0;
        for (int i = 0;; ++i) {
            if (p >= f.size() || i == 4) {
                return fail("bad delta time");
            }
            const uint8_t b = f[p++];
            delta = (delta << 7) | (b & 0x7F);
            if (!(b & 0x80)) {
                break;
            }
        }
        tick += delta;
        if (p >= f.size()) {
            return fail("delta time without an event");
        }
        uint8_t status = f[p];
        if (status & 0x80) {
            ++p;
        } else if (running) {
            status = running;
        } else {
            return fail("data byte without a status");
        }
        if (status == 0xFF) {
            if (p + 2 > f.size()) {
                return fail("short meta event");
            }
            const uint8_t type = f[p];
            const uint8_t len = f[p + 1];
            p += 2;
            if (p + len > f.size()) {
                return fail("meta event past the end");
            }
            if (type == 0x51 && len == 3) {
                s.tempos.push_back(be(p, 3));
            }
            if (type == 0x2F) {
                ended = true;
                s.endTick = tick;
            }
            p += len;
            running = 0;
        } else if (status == 0xF0) {
            const uint8_t len = f[p++];
            p += len;
            if (p > f.size() || f[p - 1] != 0xF7) {
                return fail("bad system exclusive");
            }
            running = 0;
        } else {
            const int kind = status & 0xF0;
            const int channel = status & 0x0F;
            const int size = (kind == 0xC0 || kind == 0xD0) ? 1 : 2;
            if (p + size > f.size()) {
                return fail("short channel message");
            }
            for (int i = 0; i < size; ++i) {
                if (f[p + i] & 0x80) {
                    return fail("status byte where data was expected");
                }
            }
            if (kind == 0xC0 && channel == 0) {
                s.programs.push_back(f[p]);
            }
            if (kind == 0x90 && f[p + 1] > 0) {
                ++s.noteOns;
                ++sounding[{channel, f[p]}];
            } else if (kind == 0x80 || kind == 0x90) {
                int& n = sounding[{channel, f[p]}];
                n = n > 0 ? n - 1 : 0;
            }
            p += size;
            running = status;
        }
    }
    if (!ended) {
        return fail("no end of track");
    }
    for (const auto& [key, n] : sounding) {
        s.notesLeftSounding += n;
    }
    s.endOfTrackLast = true;
    s.valid = true;
    return s;
}
