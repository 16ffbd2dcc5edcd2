#include "app/Application.h"

#include <QMessageBox>
#include <exception>

namespace tontoko {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {}

bool Application::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        ShowError(QString::fromUtf8(error.what()));
    } catch (...) {
        ShowError(QStringLiteral("Unknown exception."));
    }
    return false;
}

void Application::ShowError(const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Error"), text, QMessageBox::Ok,
                    activeWindow());
    box.exec();
}

}  // namespace tontoko
