#include "ui/help_window.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSysInfo>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "core/messages.h"
#include "core/program_state.h"
#include "core/startup.h"

namespace tavro::ui {

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName("frmHelp");
    setWindowTitle("TAVRO Help");
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(this);
    auto* bar = new QHBoxLayout;
    auto* contents = new QPushButton("&Contents", this);
    contents->setObjectName("cmdContents");
    auto* back = new QPushButton("&Back", this);
    back->setObjectName("cmdBack");
    auto* close = new QPushButton("C&lose", this);
    close->setObjectName("cmdExit");
    bar->addWidget(contents);
    bar->addWidget(back);
    bar->addStretch();
    bar->addWidget(close);
    layout->addLayout(bar);
    browser_ = new QTextBrowser(this);
    browser_->setObjectName("txtHelp");
    browser_->setOpenExternalLinks(true);
    layout->addWidget(browser_);
    connect(contents, &QPushButton::clicked, this, &HelpWindow::ShowContents);
    connect(back, &QPushButton::clicked, browser_, &QTextBrowser::backward);
    connect(browser_, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    back->setEnabled(false);
    resize(720, 640);
}

void HelpWindow::ShowContents() { browser_->setSource(QUrl(kHelpContents)); }

void HelpViewer::Show(const core::ProgramState& state, core::UserPort& ui) {
    if (!QFile::exists(":/help/index.html")) {
        core::ShowMessage(state, ui,
                          "Unable to Display help Contents. There's no Help associated with "
                          "this project.",
                          core::Buttons::Ok, "Help");
        return;
    }
    if (!window_) {
        window_ = new HelpWindow;
        window_->ShowContents();
    }
    window_->show();
    window_->raise();
    window_->activateWindow();
}

void HelpViewer::Close() {
    if (window_) window_->close();
}

QString AboutText(const core::ProgramState& state) {
    QStringList lines;
    lines << QString::fromStdString(core::MainWindowTitle());
    lines << QString("Version %1 (build %2)")
                 .arg(QString::fromUtf8(core::kProgramVersion.data(),
                                        static_cast<qsizetype>(core::kProgramVersion.size())),
                      QStringLiteral(TAVRO_BUILD_VERSION));
    lines << "";
    lines << "Operating system: " + QSysInfo::prettyProductName();
    lines << "Kernel: " + QSysInfo::kernelType() + " " + QSysInfo::kernelVersion();
    lines << "Processor: " + QSysInfo::currentCpuArchitecture();
    lines << "Qt: " + QString(qVersion()) + " (" + QGuiApplication::platformName() + ")";
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QSize size = screen->size();
        lines << QString("Screen: %1 x %2 pixels").arg(size.width()).arg(size.height());
    }
    lines << "Program directory: " + QString::fromStdString(state.ProgramDir);
    lines << QString("Instance: ") +
                 (state.FirstInstance ? "first" : "another instance was already running");
    return lines.join('\n');
}

AboutDialog::AboutDialog(const core::ProgramState& state, QWidget* parent) : QDialog(parent) {
    setObjectName("dlgAbout");
    setWindowTitle("About TAVRO");
    auto* layout = new QVBoxLayout(this);
    auto* name = new QLabel("TAVRO", this);
    QFont big = name->font();
    big.setPointSizeF(big.pointSizeF() * 2);
    big.setBold(true);
    name->setFont(big);
    layout->addWidget(name);
    auto* text = new QLabel(AboutText(state), this);
    text->setObjectName("lblAbout");
    text->setTextFormat(Qt::PlainText);
    text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(text);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName("cmdOK");
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace tavro::ui
