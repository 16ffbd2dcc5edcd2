#pragma once

namespace tontoko::captions {

// The English captions over the program's messages, each written once. The
// engine's own warnings carry one too, so they live at the bottom.
inline constexpr const char* kMessage = "Message";
inline constexpr const char* kWarning = "Warning";
inline constexpr const char* kCaution = "Caution";
inline constexpr const char* kError = "Error";
// The caption of the rhythm dialog's deletion message, spelt as it has
// always been.
inline constexpr const char* kMessgae = "Messgae";

}  // namespace tontoko::captions
