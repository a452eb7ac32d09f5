// tavro: the desktop program over the TAVRO core.
#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QStandardPaths>

#include "core/program_state.h"
#include "core/startup.h"
#include <QPointer>

#include "ui/aircraft_window.h"
#include "ui/app_startup.h"
#include "ui/notes_window.h"
#include "ui/qt_user_port.h"
#include "ui/startup_window.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("TAVRO");
    QApplication::setApplicationVersion(
        QString::fromUtf8(tavro::core::kProgramVersion.data(),
                          static_cast<qsizetype>(tavro::core::kProgramVersion.size())));

    QCommandLineParser options;
    options.setApplicationDescription("TAVRO airport pavement design");
    options.addHelpOption();
    options.addVersionOption();
    const QCommandLineOption dirOption(
        "dir", "Program directory holding the job files (default: the program's directory).",
        "DIR");
    const QCommandLineOption lockOption(
        "lock-file", "Instance lock file (default: tavro.lock in the program directory).",
        "FILE");
    options.addOption(dirOption);
    options.addOption(lockOption);
    options.process(app);

    const QString requested =
        options.isSet(dirOption) ? options.value(dirOption) : QApplication::applicationDirPath();
    const auto choice = tavro::ui::ChooseProgramDir(
        requested, QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    QDir::setCurrent(choice.dir);
    const QString lockPath = options.isSet(lockOption)
                                 ? options.value(lockOption)
                                 : QDir(choice.dir).filePath(tavro::ui::kInstanceLockName);
    const tavro::ui::InstanceLock lock(lockPath);

    tavro::core::ProgramState state;
    tavro::ui::QtUserPort port;
    tavro::ui::StartupWindow window(state, port);
    port.SetParentWidget(&window);
    // One notes window for the whole run: it keeps the face it was closed in.
    tavro::ui::NotesWindow notes(state, port, &window);
    notes.SetHelp([&window] { window.ShowHelp(); });
    window.SetWindowOpener(tavro::ui::SectionWindow::Notes, [&notes] { notes.Open(); });
    QPointer<tavro::ui::AircraftWindow> aircraft;
    window.SetWindowOpener(tavro::ui::SectionWindow::Aircraft, [&] {
        if (aircraft)
            aircraft->Open();
        else
            aircraft = tavro::ui::OpenAircraftWindow(state, port, &window, [&window] { window.ShowHelp(); });
    });
    window.Start(choice.dir, lock.First(), choice.notice);
    return app.exec();
}
