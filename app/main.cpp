// Start-up: the application object, the working folder, the main window (which
// creates the three dialogs hidden), then the message loop until the main
// window closes.
#include <QFile>
#include <exception>
#include <filesystem>
#include <iostream>

#include "app/Application.h"
#include "app/WorkFolder.h"
#include "app/main.h"
#include "widgets/AppFont.h"

namespace {

// Started from the desktop menu, the installed program works in a folder of
// the user's own; started in a folder with its files, it works there.
void EnterWorkFolder() {
    std::error_code ec;
    const std::filesystem::path current = std::filesystem::current_path(ec);
    const std::filesystem::path program =
        QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString();
    const tontoko::WorkFolderChoice choice = tontoko::ChooseWorkFolder(
        current, tontoko::InstalledDataFolder(program), tontoko::UserWorkFolder());
    if (!choice.error.empty()) {
        std::cerr << "tontoko: " << choice.error << '\n';
    }
    if (!choice.folder.empty()) {
        std::filesystem::current_path(choice.folder, ec);
        if (ec) {
            std::cerr << "tontoko: cannot work in " << choice.folder.string() << ": "
                      << ec.message() << '\n';
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    tontoko::Application app(argc, argv);
    // Message boxes and file dialogs are windows of their own: they take the
    // application's font.
    tontoko::Application::setFont(tontoko::AppFont());
    EnterWorkFolder();
    try {
        tontoko::TSMain window;
        window.show();
        return app.exec();
    } catch (const std::exception& error) {
        app.ShowError(QString::fromUtf8(error.what()));
        return 1;
    }
}
