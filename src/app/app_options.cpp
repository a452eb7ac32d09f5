#include "app/app_options.h"

#include <cstring>

#include "core/startup.h"
#include "platform/man_page.h"

namespace tavro::app {

AppOptions::AppOptions()
    : dir("dir",
          "Program directory holding the job files (default: the program's directory; for an "
          "installed program, or one whose directory cannot be written, the user's data "
          "directory).",
          "DIR"),
      lockFile("lock-file", "Instance lock file (default: tavro.lock in the program directory).",
               "FILE"),
      demo("demo",
           "Start the demonstration of WINDOW (startup, structure, aircraft or notes) after "
           "start-up; "
           "the program ends when it is over.",
           "WINDOW"),
      pause("pause", "Pause between the steps of --demo, in seconds (0 to 30; default 2).", "S"),
      man("man", "Write the manual page to standard output.") {
    man.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.setApplicationDescription("TAVRO airport pavement design");
    shown << parser.addHelpOption() << parser.addVersionOption() << dir << lockFile << demo
          << pause;
    parser.addOption(demo);
    parser.addOption(pause);
    parser.addOption(dir);
    parser.addOption(lockFile);
    parser.addOption(man);
}

bool WantsManPage(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--man") == 0) return true;
    return false;
}

namespace {

std::string OptionTerm(const QCommandLineOption& o) {
    QStringList names;
    for (const QString& n : o.names()) names << (n.size() == 1 ? "-" : "--") + n;
    QString term = names.join(',');
    if (!o.valueName().isEmpty()) term += " " + o.valueName();
    return term.toStdString();
}

}  // namespace

std::string AppManPage(const AppOptions& options) {
    platform::ManPage page;
    page.name = "tavro";
    page.summary = "design and check airport pavements";
    page.synopsis = "[OPTIONS]";
    page.source = "TAVRO " + std::string(core::kProgramVersion);
    page.sections.push_back(
        {"Description",
         {"tavro is the desktop program of TAVRO, with which pavement engineers design and check "
          "the pavements of airports with layered elastic theory. It opens on the built-in job "
          "\"Samples\" and lists the job files of the program directory; Help shows the user "
          "manual.",
          "Only the first running instance in a program directory may run designs."},
         {}});
    platform::ManSection list{"Options", {}, {}};
    for (const QCommandLineOption& o : options.shown)
        list.entries.push_back({OptionTerm(o), o.description().toStdString(), {}});
    page.sections.push_back(list);
    page.sections.push_back(
        {"Files",
         {"The program directory holds the job files (NAME.JOB), their notes (NAME.NTS) and the "
          "files of the analyses. Without --dir it is the directory of the program file, unless "
          "the program is installed or that directory cannot be written: then it is "
          "$XDG_DATA_HOME/TAVRO (by default ~/.local/share/TAVRO), which the first start "
          "creates and names. The user manual is installed in /usr/share/doc/tavro/."},
         {}});
    page.sections.push_back({"See also", {"tavro-cli(1)"}, {}});
    return platform::RenderManPage(page);
}

}  // namespace tavro::app
