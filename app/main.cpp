// Start-up: the application object, the main window (which creates the three
// dialogs hidden), then the message loop until the main window closes.
#include <exception>

#include "app/Application.h"
#include "app/main.h"

int main(int argc, char** argv) {
    tontoko::Application app(argc, argv);
    try {
        tontoko::TSMain window;
        window.show();
        return app.exec();
    } catch (const std::exception& error) {
        tontoko::Application::ShowError(QString::fromUtf8(error.what()));
        return 1;
    }
}
