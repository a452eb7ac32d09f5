// tavro: the desktop program over the TAVRO core.
#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QPointer>
#include <iostream>

#include "app/app_options.h"
#include "core/program_state.h"
#include "core/startup.h"
#include "platform/program_dir.h"
#include "ui/aircraft_window.h"
#include "ui/app_startup.h"
#include "ui/demo_host.h"
#include "ui/notes_window.h"
#include "ui/qt_user_port.h"
#include "ui/startup_window.h"
#include "ui/structure_window.h"

int main(int argc, char** argv) {
    tavro::app::AppOptions options;
    if (tavro::app::WantsManPage(argc, argv)) {
        std::cout << tavro::app::AppManPage(options);
        return 0;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName("TAVRO");
    QApplication::setApplicationVersion(
        QString::fromUtf8(tavro::core::kProgramVersion.data(),
                          static_cast<qsizetype>(tavro::core::kProgramVersion.size())));
    // Ties the windows to the installed desktop entry (its name and icon).
    QGuiApplication::setDesktopFileName("tavro");
    QApplication::setWindowIcon(QIcon(":/icons/tavro.png"));
    options.parser.process(app);
    // --demo and --pause are checked before any window shows.
    std::string demoName;
    int demoPauseMs = 0;
    if (options.parser.isSet(options.demo)) {
        demoName = options.parser.value(options.demo).toStdString();
        if (!tavro::control::FindTour(demoName)) {
            std::cerr << "tavro: no demonstration for window \"" << demoName << "\"\n";
            return 2;
        }
        bool ok = true;
        const double seconds = options.parser.isSet(options.pause)
                                   ? options.parser.value(options.pause).toDouble(&ok)
                                   : double{tavro::control::kDefaultPauseSeconds};
        if (!ok || !(seconds >= 0) || seconds > double{tavro::control::kMaxPauseSeconds}) {
            std::cerr << "tavro: --pause takes seconds from 0 to 30\n";
            return 2;
        }
        demoPauseMs = static_cast<int>(seconds * 1000 + 0.5);
    }

    const QString userData = QString::fromStdString(tavro::platform::UserDataDir());
    tavro::ui::ProgramDirChoice choice;
    if (options.parser.isSet(options.dir)) {
        choice = tavro::ui::ChooseProgramDir(options.parser.value(options.dir), userData);
    } else {
        const auto byDefault = tavro::platform::DefaultProgramDir(
            QApplication::applicationDirPath().toStdString(), userData.toStdString());
        choice = {QString::fromStdString(byDefault.dir), QString::fromStdString(byDefault.notice)};
    }
    QDir::setCurrent(choice.dir);
    const QString lockPath = options.parser.isSet(options.lockFile)
                                 ? options.parser.value(options.lockFile)
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
    tavro::ui::StructureWindow structure(state, port, &window);
    structure.SetHelp([&window] { window.ShowHelp(); });
    port.SetProgressHandler(
        [&structure](const tavro::core::RunProgress& progress) { structure.OnProgress(progress); });
    window.SetWindowOpener(tavro::ui::SectionWindow::Structure, [&structure] { structure.Open(); });
    tavro::ui::DemoHost demo(state, port, window, &structure, &notes);
    // One aircraft window at a time, from the startup window or the structure window alike.
    QPointer<tavro::ui::AircraftWindow> aircraft;
    auto openAircraft = [&] {
        if (aircraft) {
            aircraft->Open();
        } else {
            aircraft = tavro::ui::OpenAircraftWindow(state, port, &window,
                                                     [&window] { window.ShowHelp(); });
            aircraft->SetDemonstration([&demo] { demo.Ask("aircraft"); });
        }
    };
    demo.aircraftWindow = [&](bool open) -> tavro::ui::AircraftWindow* {
        if (open) openAircraft();
        return aircraft.data();
    };
    window.SetWindowOpener(tavro::ui::SectionWindow::Aircraft, openAircraft);
    structure.SetAircraftOpener(openAircraft);
    window.Start(choice.dir, lock.First(), choice.notice);

    window.SetDemonstration([&demo] { demo.Ask("startup"); });
    structure.SetDemonstration([&demo] { demo.Ask("structure"); });
    notes.SetDemonstration([&demo] { demo.Ask("notes"); });
    if (!demoName.empty()) {
        // A demonstration started from the command line ends the program with it.
        QObject::connect(&demo, &tavro::ui::DemoHost::finished, &app, &QApplication::quit);
        if (!demo.Play(demoName, demoPauseMs)) return 1;
    }
    return app.exec();
}
