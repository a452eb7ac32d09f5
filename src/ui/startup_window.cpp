#include "ui/startup_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/messages.h"
#include "core/program_state.h"
#include "core/startup.h"
#include "ui/app_startup.h"
#include "ui/job_lists.h"
#include "ui/name_dialog.h"
#include "ui/window_frame.h"

namespace tavro::ui {

namespace {

const char* WindowName(SectionWindow window) {
    switch (window) {
        case SectionWindow::Structure:
            return "structure";
        case SectionWindow::Aircraft:
            return "aircraft";
        case SectionWindow::Notes:
            return "notes and information";
    }
    return "";
}

}  // namespace

StartupWindow::StartupWindow(core::ProgramState& state, core::UserPort& ui, QWidget* parent)
    : QWidget(parent),
      state_(state),
      ui_(ui),
      asker_([this](const core::NameDialogSpec& spec) { return AskName(spec, this); }),
      controller_(state, ui, [this](const core::NameDialogSpec& spec) { return asker_(spec); }) {
    setObjectName("frmStartup");
    setWindowTitle(QString::fromStdString(core::MainWindowTitle()));
    BuildControls();
    Connect();
}

void StartupWindow::BuildControls() {
    auto* grid = new QGridLayout(this);
    auto* jobsLabel = new QLabel("&Jobs", this);
    jobsLabel->setObjectName("lblJobs");
    auto* sectionsLabel = new QLabel("&Sections", this);
    sectionsLabel->setObjectName("lblSections");
    jobs_ = new JobList(this);
    jobs_->setObjectName("lstJobs");
    sections_ = new SectionList(this);
    sections_->setObjectName("lstSections");
    jobsLabel->setBuddy(jobs_);
    sectionsLabel->setBuddy(sections_);
    const QFontMetrics metrics = fontMetrics();
    jobs_->setMinimumWidth(metrics.horizontalAdvance(QString(12, 'W')));
    sections_->setMinimumWidth(metrics.horizontalAdvance(QString(12, 'W')) +
                               metrics.horizontalAdvance("Unbonded PCC on Rigid") +
                               metrics.averageCharWidth() * 6);
    sections_->setMinimumHeight(metrics.height() * 16);

    copyPanel_ = new QLabel(this);
    copyPanel_->setObjectName("lblCopyInstructions");
    QStringList lines;
    for (const auto& line : StartupController::CopyInstructions())
        lines << QString::fromStdString(line);
    copyPanel_->setText(lines.join('\n'));
    copyPanel_->setTextFormat(Qt::PlainText);
    copyPanel_->setFrameShape(QFrame::StyledPanel);
    copyPanel_->setAutoFillBackground(true);
    copyPanel_->setBackgroundRole(QPalette::ToolTipBase);
    copyPanel_->setForegroundRole(QPalette::ToolTipText);
    copyPanel_->setMargin(4);
    copyPanel_->hide();

    auto* commands = new QVBoxLayout;
    commands->addWidget(CommandButton(this, "cmdNewJob", "&New Job", "Create an empty job"));
    commands->addWidget(CommandButton(this, "cmdDeleteJob", "&Delete Job",
                                      "Delete the selected job with its notes"));
    commands->addSpacing(metrics.height() / 2);
    commands->addWidget(CommandButton(this, "cmdDupSection", "Dup. S&ection",
                                      "Add a copy of the selected section under a new name"));
    commands->addWidget(
        CommandButton(this, "cmdDeleteSection", "De&lete Section", "Delete the selected section"));
    copyButton_ = CommandButton(this, "cmdCopySections", "&Copy Sections",
                                "Copy sections from one job to another");
    commands->addWidget(copyButton_);
    commands->addSpacing(metrics.height() / 2);
    commands->addWidget(CommandButton(this, "cmdStructure", "S&tructure",
                                      "Open the structure of the selected section"));
    commands->addWidget(CommandButton(this, "cmdAircraft", "&Aircraft",
                                      "Open the design aircraft of the selected section"));
    commands->addWidget(CommandButton(this, "cmdNotes", "N&otes",
                                      "Notes and design information of the selected section"));
    commands->addSpacing(metrics.height() / 2);
    metric_ = new QCheckBox("&Metric units", this);
    metric_->setObjectName("chkUnitsConversion");
    metric_->setToolTip("Show and enter values in metric units");
    commands->addWidget(metric_);
    commands->addStretch();
    commands->addWidget(CommandButton(this, "cmdHelp", "&Help", "Open the user manual"));
    commands->addWidget(
        CommandButton(this, "cmdDemo", "Demonst&ration", "A guided walk-through of this window"));
    commands->addWidget(
        CommandButton(this, "cmdAbout", "A&bout", "Version and system information"));
    commands->addWidget(
        CommandButton(this, "cmdExit", "E&xit", "Close every window and end TAVRO"));

    // Room around the longest caption, so that no caption touches its button's edge.
    const int buttonWidth =
        metrics.horizontalAdvance("Delete Section") + 4 * metrics.averageCharWidth();
    for (QPushButton* button : findChildren<QPushButton*>()) button->setMinimumWidth(buttonWidth);

    grid->addWidget(jobsLabel, 0, 0);
    grid->addWidget(sectionsLabel, 0, 1);
    grid->addWidget(jobs_, 1, 0);
    grid->addWidget(sections_, 1, 1);
    grid->addLayout(commands, 0, 2, 3, 1);
    grid->addWidget(copyPanel_, 2, 0, 1, 2);
    grid->setColumnStretch(0, 2);
    grid->setColumnStretch(1, 3);
    grid->setRowStretch(1, 1);
}

void StartupWindow::Connect() {
    auto on = [this](const char* name, std::function<void()> action) {
        connect(findChild<QPushButton*>(name), &QPushButton::clicked, this,
                [this, action] { Act(action); });
    };
    StartupController& c = controller_;
    on("cmdNewJob", [&c] { c.NewJob(); });
    on("cmdDeleteJob", [&c] { c.DeleteJob(); });
    on("cmdDupSection", [&c] { c.DuplicateSection(); });
    on("cmdDeleteSection", [&c] { c.DeleteSection(); });
    on("cmdCopySections", [&c] { c.CopyCommand(); });
    on("cmdStructure", [this] { OpenSectionWindow(SectionWindow::Structure); });
    on("cmdAircraft", [this] { OpenSectionWindow(SectionWindow::Aircraft); });
    on("cmdNotes", [this] { OpenSectionWindow(SectionWindow::Notes); });
    connect(findChild<QPushButton*>("cmdHelp"), &QPushButton::clicked, this,
            &StartupWindow::ShowHelp);
    connect(findChild<QPushButton*>("cmdAbout"), &QPushButton::clicked, this,
            &StartupWindow::ShowAbout);
    connect(findChild<QPushButton*>("cmdExit"), &QPushButton::clicked, this, &QWidget::close);
    ConnectDemonstration(this, [this] {
        if (demo_ && !busy_) demo_();
    });
    connect(metric_, &QCheckBox::toggled, this, [this](bool on) { controller_.SetMetric(on); });
    connect(jobs_, &OrganizerList::rowChosen, this,
            [this](int row) { Act([this, row] { controller_.ClickJob(row); }); });
    connect(sections_, &OrganizerList::rowChosen, this,
            [this](int row) { Act([this, row] { controller_.ClickSection(row); }); });
    connect(sections_, &QListWidget::itemDoubleClicked, this,
            [this] { Act([this] { OpenSectionWindow(SectionWindow::Structure); }); });
    // Queued: the copy asks for a name, and a modal dialog must not open while the
    // platform is still delivering the drop.
    connect(
        jobs_, &JobList::sectionDropped, this,
        [this](int row) { Act([this, row] { controller_.DropSectionOnJob(row); }); },
        Qt::QueuedConnection);
    connect(jobs_, &JobList::dragFinished, this, [this] { SyncView(); });
}

void StartupWindow::SetWindowOpener(SectionWindow window, std::function<void()> open) {
    openers_[static_cast<int>(window)] = std::move(open);
}

void StartupWindow::SetDemonstration(std::function<void()> start) {
    demo_ = std::move(start);
    findChild<QPushButton*>("cmdDemo")->setVisible(static_cast<bool>(demo_));
}

void StartupWindow::Resync() {
    controller_.Refresh();
    SyncView();
}

void StartupWindow::Start(const QString& programDir, bool firstInstance, const QString& dirNotice) {
    CentreOnScreen(*this);
    show();
    QCoreApplication::processEvents();
    busy_ = true;
    if (!dirNotice.isEmpty())
        core::ShowMessage(state_, ui_, dirNotice.toStdString(), core::Buttons::Ok,
                          "Program Directory", core::Answer::Ok, core::Icon::Information);
    controller_.Start(programDir.toStdString(), firstInstance);
    busy_ = false;
    SyncView();
}

void StartupWindow::Act(const std::function<void()>& action) {
    if (busy_) return;  // a command is already showing its dialogs
    busy_ = true;
    action();
    busy_ = false;
    SyncView();
}

void StartupWindow::SyncView() {
    const StartupController& c = controller_;
    jobs_->Show(c.JobLines(), c.CopyMode() && c.JobListEnabled() ? -1 : c.JobRow());
    sections_->Show(c.SectionLines(), c.SectionRow());
    jobs_->setEnabled(c.JobListEnabled());
    sections_->setEnabled(c.SectionListEnabled());
    copyButton_->setText(QString::fromStdString(c.CopyCaption()));
    copyPanel_->setVisible(c.CopyMode());
    metric_->setChecked(state_.Units.metric);
}

void StartupWindow::OpenSectionWindow(SectionWindow window) {
    if (!controller_.CanOpen(window)) return;
    if (const auto& open = openers_[static_cast<int>(window)]) {
        open();
        return;
    }
    const std::string name = WindowName(window);
    core::ShowMessage(state_, ui_, "The " + name + " window is not available yet.",
                      core::Buttons::Ok, "TAVRO", core::Answer::Ok, core::Icon::Information);
}

void StartupWindow::ShowHelp() { help_.Show(state_, ui_); }

void StartupWindow::ShowAbout() {
    AboutDialog about(state_, this);
    about.exec();
}

bool StartupWindow::event(QEvent* event) {
    // Back from another window: a section may have changed its pavement type.
    if (event->type() == QEvent::WindowActivate && !busy_ && !state_.JobList.empty()) {
        busy_ = true;
        controller_.Refresh();
        busy_ = false;
        SyncView();
    }
    return QWidget::event(event);
}

void StartupWindow::closeEvent(QCloseEvent* event) {
    // Every other window asks about its unsaved changes first; a Cancel there keeps the
    // program running rather than ending it with the changes lost.
    for (QWidget* other : QApplication::topLevelWidgets()) {
        if (other == this || !other->isVisible()) continue;
        if (!other->close()) {
            event->ignore();
            return;
        }
    }
    help_.Close();
    event->accept();
    QApplication::quit();
}

}  // namespace tavro::ui
