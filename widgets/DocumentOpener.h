#pragma once

#include <QString>

namespace tontoko {

// Opens a local document or an address with the desktop's own program; no shell
// is ever started with text from the program.
class DocumentOpener {
  public:
    virtual ~DocumentOpener() = default;
    // False when nothing could be started to open it.
    virtual bool Open(const QString& target) = 0;
};

class DesktopOpener : public DocumentOpener {
  public:
    // A target with a scheme ("https://...", "file://...") is opened as an
    // address, anything else as a file relative to the current directory.
    bool Open(const QString& target) override;
};

}  // namespace tontoko
