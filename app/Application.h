#pragma once

#include <QApplication>

namespace tontoko {

class Messages;

// The application object. An exception that escapes an event handler is shown
// in a message box with its text, and the program carries on with the next
// event.
class Application : public QApplication {
  public:
    Application(int& argc, char** argv);
    ~Application() override;
    bool notify(QObject* receiver, QEvent* event) override;

    // Where the error texts go; the real message box unless replaced (tests).
    void SetMessages(Messages* messages);
    // Shows an error text the way notify does (also used for start-up failures).
    void ShowError(const QString& text);

  private:
    Messages* messages_;
};

}  // namespace tontoko
