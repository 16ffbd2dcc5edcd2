#pragma once

// Recording stand-ins for the message box and the document opener, shared by
// the widget tests.
#include <QString>
#include <QStringList>
#include <vector>

#include "widgets/DocumentOpener.h"
#include "widgets/Messages.h"

namespace tontoko::test {

struct ShownMessage {
    QString text;
    QString caption;
    MessageButtons buttons = MessageButtons::Ok;
    bool operator==(const ShownMessage&) const = default;
};

// Records every message; a Yes/No question gets `answer`, the question about
// unsaved changes `saveAnswer`.
class RecordingMessages : public Messages {
  public:
    MessageAnswer Show(const QString& text, const QString& caption,
                       MessageButtons buttons) override {
        shown.push_back({text, caption, buttons});
        switch (buttons) {
            case MessageButtons::YesNo:
                return answer;
            case MessageButtons::SaveDiscardCancel:
                return saveAnswer;
            case MessageButtons::Ok:
                break;
        }
        return MessageAnswer::Ok;
    }
    std::vector<ShownMessage> shown;
    MessageAnswer answer = MessageAnswer::No;
    MessageAnswer saveAnswer = MessageAnswer::Cancel;
};

// Records every target; reports failure, as a desktop without any program to
// open a document does, when `fails` is set.
class RecordingOpener : public DocumentOpener {
  public:
    bool Open(const QString& target) override {
        opened << target;
        return !fails;
    }
    QStringList opened;
    bool fails = false;
};

}  // namespace tontoko::test
