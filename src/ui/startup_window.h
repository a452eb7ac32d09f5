// The main window: the job list, the section list and the commands that organize them.
#pragma once

#include <QWidget>
#include <functional>

#include "control/startup_controller.h"
#include "ui/help_window.h"

class QCheckBox;
class QLabel;
class QPushButton;

namespace tavro::ui {

using control::NameAsker;
using control::SectionWindow;
using control::StartupController;

class JobList;
class SectionList;

class StartupWindow : public QWidget {
    Q_OBJECT
public:
    StartupWindow(core::ProgramState& state, core::UserPort& ui, QWidget* parent = nullptr);

    // Centres and shows the window, gives the directory notice (if any), then runs the
    // start-up sequence, which opens "Samples".
    void Start(const QString& programDir, bool firstInstance, const QString& dirNotice = {});

    // How names are asked (the name dialog by default; tests script it).
    void SetNameAsker(NameAsker asker) { asker_ = std::move(asker); }
    // What the Structure, Aircraft and Notes commands open once the job has sections.
    // Until a window is registered its command says that it is not available yet.
    void SetWindowOpener(SectionWindow window, std::function<void()> open);

    // What the Demonstration command starts (the command is hidden until set).
    void SetDemonstration(std::function<void()> start);
    // Shows the job and section lists as the program state now holds them.
    void Resync();

    StartupController& Controller() { return controller_; }
    HelpViewer& Help() { return help_; }

public slots:
    void ShowHelp();
    void ShowAbout();

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildControls();
    void Connect();
    // Runs a controller action and shows what it left behind.
    void Act(const std::function<void()>& action);
    void SyncView();
    void OpenSectionWindow(SectionWindow window);

    core::ProgramState& state_;
    core::UserPort& ui_;
    NameAsker asker_;
    StartupController controller_;
    std::function<void()> openers_[3];
    std::function<void()> demo_;
    HelpViewer help_;
    bool busy_ = false;

    JobList* jobs_ = nullptr;
    SectionList* sections_ = nullptr;
    QLabel* copyPanel_ = nullptr;
    QPushButton* copyButton_ = nullptr;
    QCheckBox* metric_ = nullptr;
};

}  // namespace tavro::ui
