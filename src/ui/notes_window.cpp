#include "ui/notes_window.h"

#include <algorithm>

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScrollBar>
#include <QTextCursor>
#include <QTextOption>
#include <QVBoxLayout>

#include "core/code_page.h"
#include "core/messages.h"
#include "core/program_state.h"
#include "design/report.h"
#include "ui/report_printing.h"
#include "ui/window_frame.h"

namespace tavro::ui {

namespace {

// The letters a dialog unit is measured on: the average over the alphabet, as dialog
// layouts measure it, rather than the font's own (often wider) average character width.
qreal AverageLetterWidth(const QFont& font) {
    const QString letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    return QFontMetricsF(font).horizontalAdvance(letters) / letters.size();
}

qreal DialogUnitPx(const QFont& font) { return AverageLetterWidth(font) / 4; }

QString SuggestedPdfName(const core::ProgramState& state) {
    return QDir(QString::fromStdString(state.ProgramDir))
        .filePath(QString::fromStdString(state.JobName + "-" + state.Current.SectionName) + ".pdf");
}

}  // namespace

QList<qreal> InfoTabStopsPx(const QFont& font) {
    QList<qreal> stops;
    for (int dlu : design::kInfoTabStopsDlu) stops << dlu * DialogUnitPx(font);
    return stops;
}

NotesWindow::NotesWindow(core::ProgramState& state, core::UserPort& ui, QWidget* mainWindow)
    : state_(state), ui_(ui), controller_(state, ui), mainWindow_(mainWindow) {
    setObjectName("frmNotes");
    askPdfPath_ = [this](const QString& suggested) {
        return QFileDialog::getSaveFileName(this, "Export PDF", suggested, "PDF files (*.pdf)");
    };
    BuildControls();
    Connect();
}

void NotesWindow::BuildControls() {
    caption_ = new QLabel(this);
    caption_->setObjectName("lblCaption");
    caption_->setTextFormat(Qt::PlainText);
    text_ = new QPlainTextEdit(this);
    text_->setObjectName("txtNotes");
    text_->setLineWrapMode(QPlainTextEdit::NoWrap);
    // A right-button press copies instead of opening the editing menu.
    text_->setContextMenuPolicy(Qt::PreventContextMenu);
    text_->viewport()->installEventFilter(this);
    const qreal dlu = DialogUnitPx(text_->font());
    const QFontMetrics metrics = fontMetrics();
    // Wide enough for the last column of the report (eight characters past the last stop).
    text_->setMinimumWidth(qRound((design::kInfoTabStopsDlu.back() + 12 * 4) * dlu) +
                           text_->verticalScrollBar()->sizeHint().width() + 12);
    text_->setMinimumHeight(metrics.lineSpacing() * 30);

    auto* listLabel = new QLabel("&Sections", this);
    sections_ = new QListWidget(this);
    sections_->setObjectName("lstStrFiles");
    listLabel->setBuddy(sections_);
    sections_->setMinimumWidth(metrics.horizontalAdvance(QString(14, 'W')));

    auto* commands = new QVBoxLayout;
    commands->addWidget(listLabel);
    commands->addWidget(sections_, 1);
    commands->addSpacing(metrics.height() / 2);
    commands->addWidget(CommandButton(this, "cmdListInfo", "&Information",
                                      "Show the design information of the section"));
    commands->addWidget(
        CommandButton(this, "cmdNotes", "&Notes", "Show and edit the section's notes"));
    save_ = CommandButton(this, "cmdSave", "Sa&ve Notes", "Save the notes in the notes file");
    commands->addWidget(save_);
    commands->addSpacing(metrics.height() / 2);
    commands->addWidget(
        CommandButton(this, "cmdPrint", "&Print", "Print the information and the notes"));
    commands->addWidget(CommandButton(this, "cmdExportPdf", "Export P&DF",
                                      "Write the printed information and notes to a PDF file"));
    commands->addWidget(CommandButton(this, "cmdCopy", "&Copy",
                                      "Copy the information and the notes to the clipboard"));
    commands->addSpacing(metrics.height() / 2);
    commands->addWidget(CommandButton(this, "cmdHelp", "&Help", "Open the user manual"));
    commands->addWidget(
        CommandButton(this, "cmdDemo", "Demonst&ration", "A guided walk-through of this window"));
    commands->addWidget(CommandButton(this, "cmdExit", "&Back", "Close this window"));
    const int buttonWidth =
        metrics.horizontalAdvance("Export PDF") + 6 * metrics.averageCharWidth();
    for (QPushButton* button : findChildren<QPushButton*>()) button->setMinimumWidth(buttonWidth);

    auto* grid = new QGridLayout(this);
    grid->addWidget(caption_, 0, 0);
    grid->addWidget(text_, 1, 0);
    grid->addLayout(commands, 0, 1, 2, 1);
    grid->setColumnStretch(0, 1);
    grid->setRowStretch(1, 1);
}

void NotesWindow::Connect() {
    auto on = [this](const char* name, std::function<void()> action) {
        connect(findChild<QPushButton*>(name), &QPushButton::clicked, this,
                [this, action] { Act(action); });
    };
    NotesController& c = controller_;
    on("cmdListInfo", [&c] { c.ShowInformation(); });
    on("cmdNotes", [&c] { c.ShowNotes(); });
    on("cmdSave", [&c] { c.Save(); });
    on("cmdPrint", [this] { Print(); });
    on("cmdExportPdf", [this] { ExportPdf(); });
    on("cmdCopy", [this] { Copy(); });
    on("cmdHelp", [this] {
        if (help_) help_();
    });
    connect(findChild<QPushButton*>("cmdExit"), &QPushButton::clicked, this, &QWidget::close);
    ConnectDemonstration(this, [this] {
        if (demo_ && !busy_) demo_();
    });
    connect(sections_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!syncing_) Act([this, row] { controller_.SelectSection(row); });
    });
    connect(text_, &QPlainTextEdit::textChanged, this, [this] {
        if (!syncing_) TakeTypedText();
    });
}

void NotesWindow::Open() {
    if (isVisible()) {
        Act([this] { controller_.Follow(); });
    } else {
        Act([this] { controller_.Open(); });
        if (!placed_ && mainWindow_) {
            move(mainWindow_->frameGeometry().topLeft() + QPoint(40, 40));
            placed_ = true;
        }
        show();
    }
    raise();
    activateWindow();
}

void NotesWindow::Act(const std::function<void()>& action) {
    if (busy_) return;  // a command is still showing its dialogs
    busy_ = true;
    action();
    busy_ = false;
    SyncView();
}

void NotesWindow::SyncView() {
    syncing_ = true;
    setWindowTitle(QString::fromStdString(core::Cp1252ToUtf8(controller_.Title())));
    caption_->setText(QString::fromStdString(core::Cp1252ToUtf8(controller_.Caption())));
    QStringList lines;
    for (const std::string& name : controller_.SectionLines())
        lines << QString::fromStdString(core::Cp1252ToUtf8(name));
    QStringList shown;
    for (int i = 0; i < sections_->count(); ++i) shown << sections_->item(i)->text();
    if (shown != lines) {
        sections_->clear();
        sections_->addItems(lines);
    }
    sections_->setCurrentRow(controller_.SectionRow());
    save_->setEnabled(!controller_.InfoMode());
    SyncText();
    syncing_ = false;
}

void NotesWindow::SyncText() {
    const bool info = controller_.InfoMode();
    text_->setReadOnly(info);
    QTextOption option = text_->document()->defaultTextOption();
    const QFont font = text_->font();
    if (info) {
        QList<QTextOption::Tab> tabs;
        for (qreal px : InfoTabStopsPx(font)) tabs << QTextOption::Tab(px, QTextOption::LeftTab);
        option.setTabs(tabs);
    } else {
        option.setTabs({});
        option.setTabStopDistance(design::kNotesTabIntervalDlu * DialogUnitPx(font));
    }
    if (option.tabs() != text_->document()->defaultTextOption().tabs() ||
        option.tabStopDistance() != text_->document()->defaultTextOption().tabStopDistance()) {
        text_->document()->setDefaultTextOption(option);
        shownVersion_ = -1;  // lay the text out again with the new stops
    }
    if (shownVersion_ != controller_.BoxVersion()) {
        text_->setPlainText(QString::fromStdString(core::Cp1252ToUtf8(controller_.BoxText())));
        shownVersion_ = controller_.BoxVersion();
    }
}

// Notes are bytes of the files' code page: a character it does not hold is taken back
// where it was typed, with a message, so that what is saved is what the box shows.
void NotesWindow::TakeTypedText() {
    // The raw text: toPlainText() turns a no-break space (byte 0xA0) into a space.
    QString typed = text_->document()->toRawText();
    typed.replace(QChar::ParagraphSeparator, QChar('\n'))
        .replace(QChar::LineSeparator, QChar('\n'));
    const core::Cp1252Text converted = core::Utf8ToCp1252(typed.toStdString());
    if (converted.refused.empty()) {
        controller_.SetBoxText(converted.bytes);
        return;
    }
    const QString accepted = QString::fromStdString(core::Cp1252ToUtf8(controller_.BoxText()));
    const int cursor =
        text_->textCursor().position() - static_cast<int>(typed.size() - accepted.size());
    syncing_ = true;
    text_->setPlainText(accepted);
    QTextCursor restored = text_->textCursor();
    restored.setPosition(std::clamp(cursor, 0, static_cast<int>(accepted.size())));
    text_->setTextCursor(restored);
    syncing_ = false;
    core::ShowMessage(state_, ui_,
                      core::JoinLines({"A note cannot hold " + converted.refused + ".", "",
                                       "Notes are stored in the Windows-1252 code page",
                                       "(Western European), which does not include it."}),
                      core::Buttons::Ok, "Notes", core::Answer::Ok, core::Icon::Exclamation);
}

void NotesWindow::Print() {
    QPrinter printer(QPrinter::HighResolution);
    SetReportMargins(printer);
    QPrintDialog dialog(&printer, this);
    dialog.setWindowTitle("Print Section Information");
    if (dialog.exec() != QDialog::Accepted) return;
    if (!PrintSectionReport(printer, state_, controller_.PrintText()))
        core::ShowMessage(state_, ui_, "The report could not be printed.", core::Buttons::Ok,
                          "Printing", core::Answer::Ok, core::Icon::Exclamation);
}

void NotesWindow::ExportPdf() {
    const QString path = askPdfPath_(SuggestedPdfName(state_));
    if (path.isEmpty()) return;
    if (!ExportSectionReportPdf(path, state_, controller_.PrintText()))
        core::ShowMessage(
            state_, ui_, core::JoinLines({"The file", path.toStdString(), "could not be written."}),
            core::Buttons::Ok, "Export PDF", core::Answer::Ok, core::Icon::Exclamation);
}

void NotesWindow::Copy() {
    // As built: CR LF line breaks, like every text the program writes.
    QApplication::clipboard()->setText(QString::fromStdString(controller_.ClipboardText()));
}

bool NotesWindow::event(QEvent* event) {
    // Back from another window: it may have opened another job or section.
    if (event->type() == QEvent::WindowActivate && isVisible() && !busy_)
        Act([this] { controller_.Follow(); });
    return QWidget::event(event);
}

void NotesWindow::closeEvent(QCloseEvent* event) {
    if (busy_) {
        event->ignore();
        return;
    }
    busy_ = true;
    const bool close = controller_.Exit();
    busy_ = false;
    SyncView();
    if (close)
        event->accept();
    else
        event->ignore();
}

bool NotesWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == text_->viewport() && event->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
        Act([this] { Copy(); });
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void NotesWindow::SetDemonstration(std::function<void()> start) {
    demo_ = std::move(start);
    findChild<QPushButton*>("cmdDemo")->setVisible(static_cast<bool>(demo_));
}

}  // namespace tavro::ui
