#pragma once

#include <array>
#include <string>

namespace tontoko {

enum class Mode { Major = 0, Minor = 1 };

// The key: a tonic offset 0..11 above C and a mode, with the 24 key names.
class SDur {
  public:
    void SetTonic(int offset) { tonic_ = offset; }
    int Tonic() const { return tonic_; }
    void SetMode(int mode) { mode_ = mode; }
    int Mode() const { return mode_; }
    // names[12 * mode + tonic], UTF-8.
    const std::string& KeyName() const;

    static const std::array<std::string, 24>& Names();

  private:
    int tonic_ = 0;
    int mode_ = 0;
};

}  // namespace tontoko
