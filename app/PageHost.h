#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

namespace tontoko {

class DocumentHistory;
class Messages;
class SongDocument;
struct LiveEvent;

// What the window's pages reach of the window: the song document, its
// history (every change is one step of it), message boxes and sound.
class PageHost {
  public:
    virtual ~PageHost() = default;

    virtual SongDocument& Document() = 0;
    virtual DocumentHistory& History() = 0;
    virtual Messages& MessageBoxes() = 0;

    // Sounds `pitch` briefly on the melody instrument (an edited note).
    virtual void AuditionNote(uint8_t pitch) = 0;
    // Sounds chord `degree` (1..7) of the song's key and mode briefly on the
    // bass and accompaniment instruments (a chosen chord).
    virtual void AuditionChord(int degree) = 0;
    // Sounds a short preview; a device that cannot be used is reported.
    virtual void SoundPreview(const std::vector<LiveEvent>& events) = 0;
    virtual bool Playing() const = 0;
};

}  // namespace tontoko
