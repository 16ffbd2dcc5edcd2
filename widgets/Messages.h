#pragma once

#include <QString>

class QWidget;

namespace tontoko {

// The English captions over the program's messages, each written once.
namespace captions {
inline constexpr const char* kMessage = "Message";
inline constexpr const char* kWarning = "Warning";
inline constexpr const char* kCaution = "Caution";
inline constexpr const char* kError = "Error";
// The caption of the rhythm dialog's deletion message, spelt as it has
// always been.
inline constexpr const char* kMessgae = "Messgae";
}  // namespace captions

enum class MessageButtons { Ok, YesNo, SaveDiscardCancel };
enum class MessageAnswer { Ok, Yes, No, Save, Discard, Cancel };

// Message boxes: an English caption over a text, OK, Yes/No or, for unsaved
// work, 保存/保存しない/キャンセル; no icon.
class Messages {
  public:
    virtual ~Messages() = default;
    virtual MessageAnswer Show(const QString& text, const QString& caption,
                               MessageButtons buttons = MessageButtons::Ok) = 0;
};

// The real message box, modal over `parent`.
class QtMessages : public Messages {
  public:
    explicit QtMessages(QWidget* parent = nullptr) : parent_(parent) {}
    void SetParent(QWidget* parent) { parent_ = parent; }
    MessageAnswer Show(const QString& text, const QString& caption,
                       MessageButtons buttons = MessageButtons::Ok) override;

  private:
    QWidget* parent_;
};

}  // namespace tontoko
