// Plays the tours on the real windows: buttons shown pressed and clicked, list rows
// selected, drawing parts clicked, input boxes filled in; the tour's engine decides when.
#include "ui/demo_host.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QDialog>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>
#include <cstdio>

#include "core/program_state.h"
#include "ui/aircraft_window.h"
#include "ui/gear_view_window.h"
#include "ui/notes_window.h"
#include "ui/report_printing.h"
#include "ui/startup_window.h"
#include "ui/structure_window.h"

namespace tavro::ui {
namespace {

// How long a filled-in input box stays on screen before it is accepted, and how long an
// Enter step looks for the box its click opens.
constexpr int kEntryShowMs = 600;
constexpr int kEntryPollMs = 50;
constexpr int kEntryPolls = 100;

// A left click at `at` in `widget`, as the mouse would give it.
void ClickAt(QWidget* widget, const QPointF& at) {
    const QPointF global = widget->mapToGlobal(at);
    QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(widget, &release);
}

}  // namespace

DemoHost::DemoHost(core::ProgramState& state, core::UserPort& ui, StartupWindow& startup,
                   StructureWindow* structure, NotesWindow* notes)
    : state_(state), ui_(ui), startup_(startup), structure_(structure), notes_(notes) {
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, [this] { Next(); });
    panel_ = new QWidget(nullptr, Qt::Tool | Qt::WindowStaysOnTopHint);
    panel_->setObjectName("frmDemo");
    panel_->setWindowTitle("Demonstration");
    auto* layout = new QVBoxLayout(panel_);
    panelText_ = new QLabel(panel_);
    panelText_->setObjectName("lblDemoStep");
    auto* stop = new QPushButton("&Stop Demonstration", panel_);
    stop->setObjectName("cmdStopDemo");
    stop->setToolTip("End the demonstration (Esc)");
    layout->addWidget(panelText_);
    layout->addWidget(stop);
    connect(stop, &QPushButton::clicked, this, [this] { Stop(); });
    qApp->installEventFilter(this);
}

DemoHost::~DemoHost() {
    qApp->removeEventFilter(this);
    runner_.reset();  // a tour still running is stopped and cleaned up
    delete panel_;
}

void DemoHost::Ask(const std::string& window) {
    if (Active()) return;
    if (const std::optional<int> pause = control::AskPauseMs(state_, ui_)) Play(window, *pause);
}

bool DemoHost::Play(const std::string& window, int pauseMs) {
    const control::Tour* tour = control::FindTour(window);
    if (!tour || Active()) return false;
    if ((window == "structure" && !structure_) || (window == "notes" && !notes_) ||
        (window == "aircraft" && !aircraftWindow))
        return false;
    window_ = window;
    structureWasOpen_ = structure_ && structure_->isVisible();
    notesWasOpen_ = notes_ && notes_->isVisible();
    if (structure_) structureShown_ = structure_->Controller().SavedRunDisplay();
    AircraftWindow* aircraft = aircraftWindow ? aircraftWindow(false) : nullptr;
    aircraftWasOpen_ = aircraft && aircraft->isVisible();
    runner_ = std::make_unique<control::TourRunner>(state_, ui_, *this, *tour, pauseMs);
    if (!runner_->Start()) {
        runner_.reset();
        return false;
    }
    endReported_ = false;
    panelText_->setText(QString::fromStdString(tour->title) +
                        "\nPress Esc or Stop to end the demonstration.");
    // On the tour's window, so that a modal window (the aircraft window) leaves Stop usable.
    panel_->setParent(Window(), Qt::Tool | Qt::WindowStaysOnTopHint);
    panel_->adjustSize();
    if (QWidget* w = Window()) panel_->move(w->frameGeometry().topRight() + QPoint(8, 0));
    panel_->show();
    timer_.start(0);
    return true;
}

void DemoHost::Next() {
    if (!runner_) return;
    const int ms = runner_->Tick();
    if (afterStep) afterStep(runner_->StepsDone());
    if (ms >= 0 && runner_ && runner_->Active()) {
        timer_.start(ms);
        return;
    }
    Ended();
}

void DemoHost::Ended() {
    timer_.stop();
    panel_->hide();
    if (!endReported_) {
        endReported_ = true;
        emit finished();
    }
}

void DemoHost::Stop() {
    if (!Active()) return;
    runner_->Stop();
    // Stopped between steps: the pending tick has nothing left to do.
    if (!runner_->Active()) Ended();
}

bool DemoHost::eventFilter(QObject* watched, QEvent* event) {
    // Esc in a dialog is the dialog's own (Cancel stops the tour from an explanation).
    if (event->type() == QEvent::KeyPress && Active() &&
        !qobject_cast<QDialog*>(QApplication::activeModalWidget()) &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        Stop();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

QWidget* DemoHost::Window() const {
    if (window_ == "structure") return structure_;
    if (window_ == "notes") return notes_;
    if (window_ == "aircraft") return aircraftWindow ? aircraftWindow(false) : nullptr;
    return &startup_;
}

QWidget* DemoHost::Find(const std::string& name) const {
    QWidget* w = Window();
    return w ? w->findChild<QWidget*>(QString::fromStdString(name)) : nullptr;
}

// ---- TourDriver ------------------------------------------------------------------------

void DemoHost::Open() {
    startup_.Resync();
    if (window_ == "structure") {
        // The Add/Delete dialog answers Add at once: the tour shows the pick, not the dialog.
        savedAddDelete_ = structure_->runAddDelete;
        structure_->runAddDelete = [this] {
            const bool remove = pendingChoice_ && *pendingChoice_ == "delete";
            pendingChoice_.reset();
            structure_->Controller().ApplyAddDelete(remove ? control::AddDelete::Delete
                                                           : control::AddDelete::Add);
        };
        // The layer type dialog answers the type the Enter step gives.
        savedLayerType_ = structure_->askLayerType;
        structure_->askLayerType = [this](int current) -> std::optional<int> {
            if (!pendingChoice_) return current;
            const int code = std::atoi(pendingChoice_->c_str());
            pendingChoice_.reset();
            return code;
        };
        structure_->Open();
    } else if (window_ == "notes") {
        notes_->Open();
    } else if (window_ == "aircraft") {
        AircraftWindow* aircraft = aircraftWindow(false);
        if (aircraft && aircraft->isVisible()) {
            // Started from the aircraft window itself: it shows the tour's section now.
            aircraft->Controller().Open();
            aircraft->SyncView();
        } else if ((aircraft = aircraftWindow(true))) {
            aircraft->Open();
        }
    }
    if (QWidget* w = Window()) w->raise();
}

void DemoHost::Press(const control::TourStep& step) {
    if (auto* button = qobject_cast<QAbstractButton*>(Find(step.target))) {
        button->setDown(true);
        button->repaint();
        pressed_ = button;
    }
}

bool DemoHost::Select(const control::TourStep& step) {
    auto* list = qobject_cast<QListWidget*>(Find(step.target));
    if (!list || !list->isEnabled()) return false;
    const QString prefix = QString::fromStdString(step.item);
    for (int row = 0; row < list->count(); ++row) {
        if (list->item(row)->text().startsWith(prefix)) {
            list->setCurrentRow(row);
            return true;
        }
    }
    return false;
}

bool DemoHost::ClickDrawing(const std::string& part) {
    if (!structure_) return false;
    const auto colon = part.find(':');
    if (colon == std::string::npos) return false;
    const std::string what = part.substr(0, colon);
    const int layer = std::atoi(part.c_str() + colon + 1);
    const control::StructureLayout layout = structure_->CurrentLayout();
    if (layer < 1 || layer > static_cast<int>(layout.bands.size())) return false;
    const control::LayoutBand& band = layout.bands[static_cast<std::size_t>(layer - 1)];
    const control::Box box = what == "thickness"  ? band.thickness.box
                             : what == "modulus"  ? band.modulus.box
                             : what == "material" ? band.material.box
                                                  : band.band;
    if (box.Empty()) return false;
    ClickAt(structure_->Picture(), QPointF((box.left + box.right) / 2, (box.top + box.bottom) / 2));
    return true;
}

bool DemoHost::ClickCell(QWidget* table, const std::string& cell) {
    auto* view = qobject_cast<QAbstractItemView*>(table);
    int row = -1, col = -1;
    if (!view || std::sscanf(cell.c_str(), "cell:%d:%d", &row, &col) != 2) return false;
    const QModelIndex index = view->model()->index(row, col);
    if (!index.isValid()) return false;
    view->scrollTo(index);
    ClickAt(view->viewport(), view->visualRect(index).center());
    return true;
}

bool DemoHost::PrintPreview() {
    if (!notes_) return false;
    if (preview_) preview_->close();
    preview_ = new QPrintPreviewDialog(notes_);
    preview_->setObjectName("dlgPrintPreview");
    preview_->setAttribute(Qt::WA_DeleteOnClose);
    connect(preview_, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter* printer) {
        SetReportMargins(*printer);
        PrintReport(*printer, notes_->Controller().PrintText());
    });
    preview_->resize(720, 600);
    preview_->show();
    return true;
}

void DemoHost::FillModalBox(const std::string& value) {
    // The click that follows opens the box inside its own event loop: look for it there.
    auto* poll = new QTimer(this);
    auto polls = std::make_shared<int>(0);
    connect(poll, &QTimer::timeout, this, [poll, polls, value] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog && !qobject_cast<QMessageBox*>(dialog)) {
            const QString text = QString::fromStdString(value);
            if (auto* input = qobject_cast<QInputDialog*>(dialog)) {
                input->setTextValue(text);
            } else if (auto* edit = dialog->findChild<QLineEdit*>()) {
                edit->setText(text);
            }
            QTimer::singleShot(kEntryShowMs, dialog, &QDialog::accept);
        } else if (++*polls < kEntryPolls) {
            return;
        }
        poll->deleteLater();
        poll->stop();
    });
    poll->start(kEntryPollMs);
}

bool DemoHost::Perform(const control::TourStep& step) {
    QWidget* target = Find(step.target);
    if (step.kind == control::StepKind::Select) return Select(step);
    if (step.kind == control::StepKind::Enter) {
        if (auto* edit = qobject_cast<QPlainTextEdit*>(target)) {
            if (edit->isReadOnly()) return false;
            edit->moveCursor(QTextCursor::End);
            edit->insertPlainText(
                QString::fromStdString((edit->toPlainText().isEmpty() ? "" : "\n") + step.text));
            return true;
        }
        if (step.item.starts_with("material:") || step.item.starts_with("layer:")) {
            // Answered by the window's own dialog hooks, replaced while the tour runs.
            pendingChoice_ = step.text;
        } else if (giveEntry) {
            giveEntry(step.text);
        } else {
            FillModalBox(step.text);
        }
        if (qobject_cast<QListWidget*>(target)) return Select(step);
    }
    if (step.target == "picStructure") return ClickDrawing(step.item);
    if (step.item.starts_with("cell:")) return ClickCell(target, step.item);
    if (step.target == "cmdPrintPreview") return PrintPreview();
    auto* button = qobject_cast<QAbstractButton*>(target);
    if (!button) return false;
    button->setDown(false);
    if (!button->isEnabled() || !button->isVisible()) return false;
    button->click();
    return true;
}

void DemoHost::Leave() {
    // The panel may sit on a window that closes now.
    panel_->hide();
    panel_->setParent(nullptr, Qt::Tool | Qt::WindowStaysOnTopHint);
    if (pressed_) pressed_->setDown(false);
    if (preview_) preview_->close();
    if (structure_) {
        if (savedAddDelete_) structure_->runAddDelete = std::move(savedAddDelete_);
        savedAddDelete_ = nullptr;
        if (savedLayerType_) structure_->askLayerType = std::move(savedLayerType_);
        savedLayerType_ = nullptr;
        pendingChoice_.reset();
        if (structure_->isVisible()) structure_->close();
    }
    if (notes_ && notes_->isVisible()) notes_->close();
    if (AircraftWindow* aircraft = aircraftWindow ? aircraftWindow(false) : nullptr) {
        // The gear view first: the aircraft window stays open while it is.
        if (QPointer<GearViewWindow> gear = aircraft->GearView()) {
            gear->close();
            delete gear.data();
        }
        if (aircraft->isVisible() && !aircraftWasOpen_) aircraft->close();
    }
    if (startup_.Controller().CopyMode()) startup_.Controller().CopyCommand();
}

void DemoHost::Restore() {
    startup_.Resync();
    if (structure_) structure_->Controller().RestoreRunDisplay(std::move(structureShown_));
    if (structureWasOpen_) structure_->Open();
    if (notesWasOpen_) notes_->Open();
    if (AircraftWindow* aircraft = aircraftWindow ? aircraftWindow(false) : nullptr;
        aircraft && aircraftWasOpen_) {
        aircraft->Controller().Open();
        aircraft->SyncView();
    }
    if (QWidget* w = Window(); w && w->isVisible()) w->activateWindow();
}

}  // namespace tavro::ui
