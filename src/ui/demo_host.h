// The demonstration on the desktop: plays a window's tour on the real widgets from a timer,
// with a small Stop panel (Esc stops too), and puts every window back at the end.
#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "control/demo_tour.h"
#include "control/structure_controller.h"

class QAbstractButton;
class QLabel;
class QPrintPreviewDialog;
class QWidget;

namespace tavro::ui {

class AircraftWindow;
class StartupWindow;
class StructureWindow;
class NotesWindow;

class DemoHost : public QObject, public control::TourDriver {
    Q_OBJECT
public:
    DemoHost(core::ProgramState& state, core::UserPort& ui, StartupWindow& startup,
             StructureWindow* structure, NotesWindow* notes);
    ~DemoHost() override;

    // The Demonstration command of window `window`: asks for the pause, then plays.
    void Ask(const std::string& window);
    // Plays the tour of `window` with `pauseMs` between steps; false when it did not start.
    bool Play(const std::string& window, int pauseMs);
    void Stop();
    bool Active() const { return runner_ && runner_->Active(); }
    const control::TourRunner* Runner() const { return runner_.get(); }
    // How an input box opened by an Enter step gets its value. By default the box that opens
    // is filled in and accepted; tests feed their scripted user instead.
    std::function<void(const std::string& value)> giveEntry;
    // Called after each step with the step number (tests take screenshots, or stop).
    std::function<void(int stepsDone)> afterStep;
    QWidget* Panel() const { return panel_; }
    // The aircraft window, opened on the current section when `open` (it exists only while
    // open); without it the aircraft tour does not start.
    std::function<AircraftWindow*(bool open)> aircraftWindow;

    // ---- TourDriver ----
    void Open() override;
    void Press(const control::TourStep& step) override;
    bool Perform(const control::TourStep& step) override;
    void Leave() override;
    void Restore() override;

signals:
    void finished();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* Window() const;
    QWidget* Find(const std::string& name) const;
    bool Select(const control::TourStep& step);
    bool ClickDrawing(const std::string& part);
    bool ClickCell(QWidget* table, const std::string& cell);
    bool PrintPreview();
    void FillModalBox(const std::string& value);
    void Next();
    void Ended();  // hides the panel; reports `finished` once per tour

    core::ProgramState& state_;
    core::UserPort& ui_;
    StartupWindow& startup_;
    StructureWindow* structure_;
    NotesWindow* notes_;
    std::unique_ptr<control::TourRunner> runner_;
    std::string window_;
    bool structureWasOpen_ = false;
    bool notesWasOpen_ = false;
    bool aircraftWasOpen_ = false;
    bool endReported_ = true;
    control::StructureController::RunDisplay structureShown_;
    std::function<void()> savedAddDelete_;
    std::function<std::optional<int>(int)> savedLayerType_;
    std::optional<std::string> pendingChoice_;  // Add/Delete or layer type of an Enter step
    QTimer timer_;
    QWidget* panel_ = nullptr;
    QLabel* panelText_ = nullptr;
    QPointer<QPrintPreviewDialog> preview_;
    QPointer<QAbstractButton> pressed_;  // shown down until its click
};

}  // namespace tavro::ui
