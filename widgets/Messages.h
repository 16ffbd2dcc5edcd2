#pragma once

#include <QString>

#include "engine/MessageCaptions.h"

class QWidget;

namespace tontoko {

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
