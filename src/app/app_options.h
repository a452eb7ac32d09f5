// The command line of the desktop program, defined once for parsing and for its manual
// page tavro(1).
#pragma once

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QList>
#include <string>

namespace tavro::app {

struct AppOptions {
    QCommandLineParser parser;
    QCommandLineOption dir;
    QCommandLineOption lockFile;
    QCommandLineOption demo;          // plays the demonstration of a window after start-up
    QCommandLineOption pause;         // its pause between steps, in seconds
    QCommandLineOption man;           // hidden: the build writes the manual page with it
    QList<QCommandLineOption> shown;  // in the order of --help, for the manual page

    AppOptions();
};

// True when the arguments ask for the manual page; needs no display, so it is checked
// before the application object exists.
bool WantsManPage(int argc, char** argv);

std::string AppManPage(const AppOptions& options);

}  // namespace tavro::app
