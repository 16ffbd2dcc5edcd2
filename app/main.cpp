// Start-up: --help and --version, or the application object, the working
// folder, the main window (which creates the three dialogs hidden), then the
// message loop until the main window closes.
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QTimer>
#include <exception>
#include <filesystem>
#include <iostream>
#include <optional>

#include "app/Application.h"
#include "app/CommandLine.h"
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

const char* const kVersion = "tontoko " TONTOKO_VERSION
                             "\nCopyright (c) 2026 The Tontoko developers\n"
                             "\nLicense MIT: <https://opensource.org/licenses/MIT>."
                             "\nThis is free software: you are free to change and redistribute it."
                             "\nThere is NO WARRANTY, to the extent permitted by law.\n";

// --help and --version are answered before the application object exists, so
// they need no display (the manual page is made from them while building).
// Every other argument is left to the application object, as before.
std::optional<int> AnswerHelpOrVersion(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Composes short songs for people who cannot read music. Pick a feel, a tempo, a first "
        "chord and a melody style: the window writes a chord progression and a melody, plays "
        "the song with bass, accompaniment and drums, and saves it as a Standard MIDI File or "
        "an audio file. The interface is Japanese."));
    // Qt's own options ("-platform", "-reverse", "-style") are single words,
    // never bundles of one-letter options.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("show this help and exit"));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("show the version and the licence, and exit"));
    parser.addOption(help);
    parser.addOption(version);
    parser.addPositionalArgument(
        QStringLiteral("FILE"),
        QStringLiteral("a song saved by tontoko (a Standard MIDI File), opened once the window "
                       "is shown; the song can then be edited, played and saved again"),
        QStringLiteral("[FILE]"));
    parser.parse(arguments);  // options it does not know are the application object's
    if (parser.isSet(help)) {
        const QCoreApplication named(argc, argv);  // gives the usage line its program name
        std::cout << parser.helpText().toLocal8Bit().constData() << std::flush;
        return 0;
    }
    if (parser.isSet(version)) {
        std::cout << kVersion << std::flush;
        return 0;
    }
    return std::nullopt;
}

}  // namespace

int main(int argc, char** argv) {
    if (const std::optional<int> answered = AnswerHelpOrVersion(argc, argv)) {
        return *answered;
    }
    tontoko::Application app(argc, argv);
    // Message boxes and file dialogs are windows of their own: they take the
    // application's font.
    tontoko::Application::setFont(tontoko::AppFont());
    const std::optional<QString> song = tontoko::SongToOpen(tontoko::Application::arguments());
    EnterWorkFolder();
    try {
        tontoko::TSMain window;
        window.show();
        if (song) {
            QTimer::singleShot(0, &window, [&window, &song] { window.OpenFile(*song); });
        }
        return app.exec();
    } catch (const std::exception& error) {
        app.ShowError(QString::fromUtf8(error.what()));
        return 1;
    }
}
