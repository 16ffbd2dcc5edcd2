#include "app/Application.h"

#include <exception>

#include "app/QtTranslation.h"
#include "widgets/Messages.h"

namespace tontoko {

namespace {
QtMessages& RealMessages() {
    static QtMessages messages;
    return messages;
}
}  // namespace

Application::Application(int& argc, char** argv)
    : QApplication(argc, argv), messages_(&RealMessages()) {
    // Without it Qt's own buttons and dialogs would be English.
    InstallQtTranslation(*this);
}

Application::~Application() = default;

void Application::SetMessages(Messages* messages) {
    messages_ = messages ? messages : &RealMessages();
}

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
    if (messages_ == &RealMessages()) {
        RealMessages().SetParent(activeWindow());
    }
    messages_->Show(text, QStringLiteral("Error"));
}

}  // namespace tontoko
