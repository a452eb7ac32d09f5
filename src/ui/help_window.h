// The program's own help viewer (the user manual built into the program) and the
// "About TAVRO" window.
#pragma once

#include <QDialog>
#include <QPointer>
#include <QWidget>

#include "core/user_port.h"

class QTextBrowser;

namespace tavro::core {
struct ProgramState;
}

namespace tavro::ui {

// Contents page of the user manual.
inline constexpr const char* kHelpContents = "qrc:/help/index.html";

class HelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);
    void ShowContents();
    QTextBrowser* Browser() const { return browser_; }

private:
    QTextBrowser* browser_;
};

// Opens the help window at its contents page (one window for the whole program) and
// closes it at exit.
class HelpViewer {
public:
    // Shows the manual; "Unable to Display help Contents..." when it is missing.
    void Show(const core::ProgramState& state, core::UserPort& ui);
    void Close();
    HelpWindow* Window() const { return window_; }

private:
    QPointer<HelpWindow> window_;
};

// Version of the program and facts about the system it runs on, one per line.
QString AboutText(const core::ProgramState& state);

class AboutDialog : public QDialog {
    Q_OBJECT
public:
    AboutDialog(const core::ProgramState& state, QWidget* parent = nullptr);
};

}  // namespace tavro::ui
