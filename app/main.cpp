// Start-up: the application object, the main window (which creates the three
// dialogs hidden), then the message loop until the main window closes.
#include <exception>

#include "app/Application.h"
#include "app/main.h"
#include "widgets/AppFont.h"

int main(int argc, char** argv) {
    tontoko::Application app(argc, argv);
    // Message boxes and file dialogs are windows of their own: they take the
    // application's font.
    tontoko::Application::setFont(tontoko::AppFont());
    try {
        tontoko::TSMain window;
        window.show();
        return app.exec();
    } catch (const std::exception& error) {
        app.ShowError(QString::fromUtf8(error.what()));
        return 1;
    }
}
