#pragma once

#include <string>
#include <string_view>

namespace tontoko {

// Shift-JIS (CP932) bytes to UTF-8 through iconv; undecodable bytes become U+FFFD.
std::string Cp932ToUtf8(std::string_view bytes);
// UTF-8 to CP932; characters without a CP932 form become '?'.
std::string Utf8ToCp932(std::string_view text);

}  // namespace tontoko
