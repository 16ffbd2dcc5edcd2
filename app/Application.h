#pragma once

#include <QApplication>

namespace tontoko {

// The application object. An exception that escapes an event handler is shown
// in a message box with its text, and the program carries on with the next
// event.
class Application : public QApplication {
  public:
    Application(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;

    // Shows an error text the way notify does (also used for start-up failures).
    static void ShowError(const QString& text);
};

}  // namespace tontoko
