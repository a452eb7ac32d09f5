// The aircraft window: the library by group, the floating list and the design grid of the
// current section, with the commands of the aircraft controller. The grid is a table view
// over a model that only formats cells; every rule is the controller's.
#pragma once

#include <QAbstractTableModel>
#include <QPointer>
#include <QWidget>
#include <functional>

#include "control/aircraft_controller.h"
#include "ui/gear_view_window.h"

class QLabel;
class QListWidget;
class QTableView;

namespace tavro::ui {

// The design grid `grdDesignAC` as a table model: cell texts and two-line headers in the
// current display units, one blank row for an empty list.
class AircraftGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit AircraftGridModel(const core::ProgramState& state, QObject* parent = nullptr)
        : QAbstractTableModel(parent), state_(state) {}
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    // The list or the units changed: every cell and header is read again.
    void Refresh();

private:
    const core::ProgramState& state_;
};

class AircraftWindow : public QWidget {
    Q_OBJECT
public:
    AircraftWindow(core::ProgramState& state, core::UserPort& ui, QWidget* parent = nullptr);

    // Shows the window for the current section (or brings it forward).
    void Open();
    void SetHelp(std::function<void()> help) { help_ = std::move(help); }
    // What the Demonstration command starts (the command is hidden until set).
    void SetDemonstration(std::function<void()> start);
    control::AircraftController& Controller() { return controller_; }
    QTableView* Grid() const { return grid_; }
    // The gear view while it is open.
    GearViewWindow* GearView() const { return gearView_; }
    // Everything shown again from the controller (lists, grid, title).
    void SyncView();

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildControls();
    void Connect();
    void Act(const std::function<void()>& action);
    void ViewGear();
    static void Fill(QListWidget* list, const std::vector<std::string>& lines);

    core::ProgramState& state_;
    core::UserPort& ui_;
    control::AircraftController controller_;
    std::function<void()> help_;
    std::function<void()> demo_;
    bool busy_ = false;
    bool syncing_ = false;
    QListWidget* groups_ = nullptr;
    QListWidget* library_ = nullptr;
    QListWidget* float_ = nullptr;
    QTableView* grid_ = nullptr;
    AircraftGridModel* model_ = nullptr;
    QLabel* notice_ = nullptr;
    QPointer<GearViewWindow> gearView_;
};

// Opens the aircraft window of the current section as a top-level window that deletes itself
// when closed; the structure window's Aircraft command calls this.
AircraftWindow* OpenAircraftWindow(core::ProgramState& state, core::UserPort& ui,
                                   QWidget* parent = nullptr, std::function<void()> help = {});

}  // namespace tavro::ui
