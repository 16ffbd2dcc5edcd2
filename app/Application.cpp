#include "app/Application.h"

#include <QIcon>
#include <exception>

#include "app/QtTranslation.h"
#include "engine/MessageCaptions.h"
#include "widgets/Messages.h"

namespace tontoko {

namespace {
QIcon ProgramIcon() {
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        icon.addFile(QStringLiteral(":/icons/tontoko-%1.png").arg(size), QSize(size, size));
    }
    return icon;
}

QtMessages& RealMessages() {
    static QtMessages messages;
    return messages;
}
}  // namespace

Application::Application(int& argc, char** argv)
    : QApplication(argc, argv), messages_(&RealMessages()) {
    // Without it Qt's own buttons and dialogs would be English.
    InstallQtTranslation(*this);
    // The desktop entry and the program's icon, for task bars and the title.
    setDesktopFileName(QStringLiteral("tontoko"));
    setWindowIcon(QIcon::fromTheme(QStringLiteral("tontoko"), ProgramIcon()));
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
    messages_->Show(text, QString::fromLatin1(captions::kError));
}

}  // namespace tontoko
