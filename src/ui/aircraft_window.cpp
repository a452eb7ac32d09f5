#include "ui/aircraft_window.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QVBoxLayout>

#include "control/aircraft_grid.h"
#include "ui/gear_view_window.h"
#include "ui/window_frame.h"

namespace tavro::ui {

// ---- the grid model ---------------------------------------------------------------------

int AircraftGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : std::max(1, state_.Current.AircraftCount());
}

int AircraftGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : control::kGridColumns;
}

QVariant AircraftGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    if (role == Qt::DisplayRole)
        return QString::fromStdString(control::GridCell(state_, index.row(), index.column()))
            .trimmed();
    if (role == Qt::TextAlignmentRole)
        return index.column() == control::kColName ? QVariant(Qt::AlignLeft | Qt::AlignVCenter)
                                                   : QVariant(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

QVariant AircraftGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return QAbstractTableModel::headerData(section, orientation, role);
    if (orientation == Qt::Vertical) return section + 1;
    const auto lines = control::GridHeader(section, state_.Units, state_.Current.AircraftCount());
    return QString::fromStdString(lines[0]).trimmed() + "\n" +
           QString::fromStdString(lines[1]).trimmed();
}

void AircraftGridModel::Refresh() {
    beginResetModel();
    endResetModel();
}

// ---- the window -------------------------------------------------------------------------

namespace {

struct CommandSpec {
    const char* name;
    const char* caption;
    const char* hint;
};

// The commands in the order they stand under the grid.
constexpr CommandSpec kCommands[] = {
    {"cmdAdd", "&Add", "library a/c to design list"},
    {"cmdRemove", "&Remove", "selected a/c from design list"},
    {"cmdClearLoadFile", "&Clear List", "Remove all a/c from design list"},
    {"cmdSave", "&Save List", "to Job file"},
    {"cmdSaveFloat", "Save to &Float", "from design list"},
    {"cmdAddFloat", "Add F&loat", "to design list"},
    {"cmdParameters", "&View Gear", "pictures to scale"},
    {"cmdDemo", "Demonstra&tion", "a guided walk-through"},
    {"cmdHelp", "&Help", ""},
    {"cmdBack", "&Back", ""},
};

QListWidget* List(QWidget* parent, const char* name) {
    auto* list = new QListWidget(parent);
    list->setObjectName(name);
    // The longest group or aircraft names ("Raytheon/Beechcraft") without a scroll bar.
    list->setMinimumWidth(parent->fontMetrics().horizontalAdvance("Grn Caravan CE-208BW") +
                          list->verticalScrollBar()->sizeHint().width() + 2 * list->frameWidth());
    list->setMaximumWidth(list->minimumWidth() + parent->fontMetrics().averageCharWidth() * 4);
    return list;
}

}  // namespace

AircraftWindow::AircraftWindow(core::ProgramState& state, core::UserPort& ui, QWidget* parent)
    : QWidget(parent, Qt::Window), state_(state), ui_(ui), controller_(state, ui) {
    setObjectName("frmLoadFile");
    BuildControls();
    Connect();
}

void AircraftWindow::BuildControls() {
    groups_ = List(this, "lstACGroup");
    library_ = List(this, "lstLibFile");
    float_ = List(this, "lstFloatAC");
    auto* lists = new QVBoxLayout;
    const std::pair<const char*, QListWidget*> captioned[] = {
        {"Aircraft &Group", groups_}, {"Library &Aircraft", library_}, {"Float Aircraft", float_}};
    for (const auto& [caption, list] : captioned) {
        auto* label = new QLabel(caption, this);
        label->setBuddy(list);
        lists->addWidget(label);
        lists->addWidget(list, 1);
    }

    model_ = new AircraftGridModel(state_, this);
    grid_ = new QTableView(this);
    grid_->setObjectName("grdDesignAC");
    grid_->setModel(model_);
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    grid_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid_->setMinimumHeight(fontMetrics().lineSpacing() * 16);

    notice_ = new QLabel(this);
    notice_->setObjectName("lblNotice");
    notice_->setTextFormat(Qt::PlainText);

    auto* commands = new QHBoxLayout;
    for (const CommandSpec& c : kCommands) {
        commands->addWidget(CommandButton(this, c.name, c.caption, c.hint));
    }

    auto* right = new QVBoxLayout;
    right->addWidget(grid_, 1);
    right->addWidget(notice_);
    right->addLayout(commands);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(lists);
    layout->addLayout(right, 1);
    resize(sizeHint().width(), 620);
}

void AircraftWindow::Connect() {
    using control::AircraftController;
    AircraftController& c = controller_;
    auto on = [this](const char* name, std::function<void()> action) {
        connect(findChild<QPushButton*>(name), &QPushButton::clicked, this,
                [this, action] { Act(action); });
    };
    on("cmdAdd", [&c] { c.Add(); });
    on("cmdRemove", [&c] { c.Remove(); });
    on("cmdClearLoadFile", [&c] { c.ClearList(); });
    on("cmdSave", [&c] { c.SaveList(); });
    on("cmdSaveFloat", [&c] { c.SaveToFloat(); });
    on("cmdAddFloat", [&c] { c.AddFloat(); });
    on("cmdParameters", [this] { ViewGear(); });
    on("cmdHelp", [this] {
        if (help_) help_();
    });
    connect(findChild<QPushButton*>("cmdBack"), &QPushButton::clicked, this, &QWidget::close);
    ConnectDemonstration(this, [this] {
        if (demo_ && !busy_) demo_();
    });
    connect(groups_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!syncing_) Act([this, row] { controller_.SelectGroup(row); });
    });
    connect(library_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!syncing_) controller_.SelectLibAircraft(row);
    });
    connect(library_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        Act([this, item] {
            controller_.SelectLibAircraft(library_->row(item));
            controller_.Add();
        });
    });
    connect(grid_, &QTableView::clicked, this, [this](const QModelIndex& index) {
        Act([this, index] { controller_.ClickCell(index.row(), index.column()); });
    });
    connect(grid_, &QTableView::doubleClicked, this, [this](const QModelIndex& index) {
        Act([this, index] { controller_.DoubleClickCell(index.row(), index.column()); });
    });
}

void AircraftWindow::Open() {
    if (!isVisible()) {
        controller_.Open();
        show();
    }
    SyncView();
    raise();
    activateWindow();
}

void AircraftWindow::Act(const std::function<void()>& action) {
    if (busy_) return;  // a command is still showing its dialogs
    busy_ = true;
    action();
    busy_ = false;
    SyncView();
}

void AircraftWindow::Fill(QListWidget* list, const std::vector<std::string>& lines) {
    QStringList wanted;
    for (const auto& line : lines) wanted << QString::fromStdString(line);
    QStringList shown;
    for (int i = 0; i < list->count(); ++i) shown << list->item(i)->text();
    if (shown == wanted) return;
    list->clear();
    list->addItems(wanted);
}

void AircraftWindow::SyncView() {
    syncing_ = true;
    setWindowTitle(QString::fromStdString(controller_.Title()));
    Fill(groups_, controller_.GroupNames());
    groups_->setCurrentRow(controller_.SelectedGroup());
    Fill(library_, controller_.LibraryNames());
    library_->setCurrentRow(controller_.SelectedLibAircraft());
    Fill(float_, controller_.FloatNames());
    model_->Refresh();
    grid_->resizeColumnsToContents();
    // Every column in sight: the grid is as wide as its columns.
    int width = grid_->verticalHeader()->sizeHint().width() + 2 * grid_->frameWidth() +
                grid_->verticalScrollBar()->sizeHint().width();
    for (int col = 0; col < model_->columnCount(); ++col) width += grid_->columnWidth(col);
    grid_->setMinimumWidth(width);
    if (controller_.SelectedRow() >= 0)
        grid_->selectRow(controller_.SelectedRow());
    else
        grid_->clearSelection();
    const auto& current = state_.Current;
    // A single aircraft (or a wing-and-belly pair) is not the mixed traffic designs assume.
    const bool single = current.AircraftCount() > 0 && !current.MixedTraffic;
    notice_->setVisible(single);
    notice_->setText(single ? "The aircraft list contains only one aircraft." : "");
    syncing_ = false;
}

void AircraftWindow::SetDemonstration(std::function<void()> start) {
    demo_ = std::move(start);
    findChild<QPushButton*>("cmdDemo")->setVisible(static_cast<bool>(demo_));
}

void AircraftWindow::ViewGear() {
    if (!controller_.ViewGear()) return;
    auto* view = new GearViewWindow(state_, ui_, std::max(0, controller_.SelectedRow()), this);
    view->setAttribute(Qt::WA_DeleteOnClose);
    gearView_ = view;
    connect(view, &QDialog::finished, this, [this, view] {
        controller_.SelectRow(view->Selected());
        SyncView();
    });
    view->open();
}

bool AircraftWindow::event(QEvent* event) {
    // Back from another window: the unit switch may have changed.
    if (event->type() == QEvent::WindowActivate && isVisible() && !busy_) SyncView();
    return QWidget::event(event);
}

void AircraftWindow::closeEvent(QCloseEvent* event) {
    if (busy_ || gearView_) {
        event->ignore();
        return;
    }
    busy_ = true;
    const bool close = controller_.Close();
    busy_ = false;
    SyncView();
    if (close)
        event->accept();
    else
        event->ignore();
}

AircraftWindow* OpenAircraftWindow(core::ProgramState& state, core::UserPort& ui, QWidget* parent,
                                   std::function<void()> help) {
    auto* window = new AircraftWindow(state, ui, parent);
    window->setAttribute(Qt::WA_DeleteOnClose);
    // The window edits the current section in place: no other window may move to another
    // section or job while it is open.
    window->setWindowModality(Qt::ApplicationModal);
    window->SetHelp(std::move(help));
    window->Open();
    return window;
}

}  // namespace tavro::ui
