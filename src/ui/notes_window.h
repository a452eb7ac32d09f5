// The notes and information window: one text box with two faces (the section's report,
// its editable note), the job's sections beside it, and Print, Export PDF and Copy.
#pragma once

#include <QList>
#include <QPointer>
#include <QWidget>
#include <functional>

#include "control/notes_controller.h"

class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace tavro::ui {

using control::NotesController;

// Tab stops of the information face in pixels for `font`: the stops in dialog units, a
// dialog unit being a quarter of the font's average letter width.
QList<qreal> InfoTabStopsPx(const QFont& font);

class NotesWindow : public QWidget {
    Q_OBJECT
public:
    // `mainWindow` only places the window beside it; the window is a top-level window.
    NotesWindow(core::ProgramState& state, core::UserPort& ui, QWidget* mainWindow = nullptr);

    // Shows the window for the current section, or brings it forward when it is open.
    void Open();
    // What the Help command does (the program's help viewer).
    void SetHelp(std::function<void()> help) { help_ = std::move(help); }
    // Asks where Export PDF writes, starting from `suggested` ("" = cancelled). A save
    // dialog by default; tests script it.
    void SetPdfPathAsker(std::function<QString(const QString& suggested)> asker) {
        askPdfPath_ = std::move(asker);
    }
    // What the Demonstration command starts (the command is hidden until set).
    void SetDemonstration(std::function<void()> start);
    NotesController& Controller() { return controller_; }

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    void Connect();
    void Act(const std::function<void()>& action);
    void SyncView();
    void SyncText();
    void TakeTypedText();
    void Print();
    void ExportPdf();
    void Copy();

    core::ProgramState& state_;
    core::UserPort& ui_;
    NotesController controller_;
    QPointer<QWidget> mainWindow_;
    std::function<void()> help_;
    std::function<void()> demo_;
    std::function<QString(const QString&)> askPdfPath_;
    bool busy_ = false;
    bool syncing_ = false;
    bool placed_ = false;
    int shownVersion_ = -1;

    QLabel* caption_ = nullptr;
    QPlainTextEdit* text_ = nullptr;
    QListWidget* sections_ = nullptr;
    QPushButton* save_ = nullptr;
};

}  // namespace tavro::ui
