// The structure window: the drawing of the current section, modify mode, the section list,
// design and life runs with their progress, and the damage chart after a run. Behaviour is
// the structure controller's; this widget forwards events and paints.
#pragma once

#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

#include "control/structure_controller.h"
#include "core/run_progress.h"
#include "ui/window_frame.h"

class QChartView;
class QCheckBox;
class QLabel;
class QListWidget;
class QPrinter;
class QPushButton;
class QTimer;

namespace tavro::ui {

class StructurePicture;

class StructureWindow : public QWidget {
    Q_OBJECT
public:
    StructureWindow(core::ProgramState& state, core::UserPort& ui, QWidget* mainWindow);
    ~StructureWindow() override;

    // Opens (or raises) the window on the current section.
    void Open();
    void SetHelp(std::function<void()> help) { help_ = std::move(help); }
    // What the Demonstration command starts (the command is hidden until set).
    void SetDemonstration(std::function<void()> start);
    // A progress report of the run in progress (hooked to the user port's progress).
    void OnProgress(const core::RunProgress& progress);
    // What the Aircraft command opens; until set it says the window is not available yet.
    void SetAircraftOpener(std::function<void()> open) { openAircraft_ = std::move(open); }
    // Dialog hooks, replaced by tests: the layer type dialog (nullopt = Cancel), the
    // Add/Delete dialog run to its end, and the PDF file name.
    std::function<std::optional<int>(int current)> askLayerType;
    std::function<void()> runAddDelete;
    std::function<QString(const QString& suggested)> askPdfPath;

    control::StructureController& Controller() { return controller_; }
    StructurePicture* Picture() const { return picture_; }
    // The picture as laid out for the drawing's present size.
    control::StructureLayout CurrentLayout() const;
    // One page with the drawing, the chart and the report: the printer, or a PDF file.
    bool PrintPage(QPrinter& printer);
    bool ExportPdf(const QString& path);
    // Renders the drawing alone (the clipboard's picture).
    QImage DrawingImage() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    friend class StructurePicture;
    void BuildControls();
    void Act(const std::string& command);
    void Run(const std::function<void()>& command);
    void Sync();
    void SyncChart();
    void ClickDrawing(double x, double y);
    void DoubleClickDrawing();
    void CopyDrawing();
    void Tick();
    void Print();
    void ExportPdfCommand();

    core::ProgramState& state_;
    core::UserPort& ui_;
    QWidget* mainWindow_;
    control::StructureController controller_;
    std::optional<core::RunProgress> progress_;  // of the run in progress
    std::function<void()> help_;
    std::function<void()> demo_;
    QPushButton* demoButton_ = nullptr;
    std::function<void()> openAircraft_;

    StructurePicture* picture_ = nullptr;
    QListWidget* sections_ = nullptr;
    QLabel* status_ = nullptr;
    QCheckBox* batch_ = nullptr;
    QWidget* pickPanel_ = nullptr;
    QChartView* chart_ = nullptr;
    QTimer* timer_ = nullptr;
    std::unique_ptr<CommandButtons> commands_;
    int chartVersion_ = -1;
    bool syncing_ = false;
};

// The drawing surface (`picStructure`).
class StructurePicture : public QWidget {
    Q_OBJECT
public:
    explicit StructurePicture(StructureWindow* window);
    QSize sizeHint() const override { return {620, 460}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    StructureWindow* window_;
};

}  // namespace tavro::ui
