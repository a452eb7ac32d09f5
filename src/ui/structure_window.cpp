#include "ui/structure_window.h"

#include <QApplication>
#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QGraphicsScene>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineSeries>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QStackedBarSeries>
#include <QTimer>
#include <QVBoxLayout>
#include <QValueAxis>

#include "control/damage_chart.h"
#include "core/messages.h"
#include "core/number_format.h"
#include "core/program_state.h"
#include "design/report.h"
#include "ui/report_printing.h"
#include "ui/structure_dialogs.h"
#include "ui/structure_painter.h"

namespace tavro::ui {

namespace {

constexpr int kTimerMs = 500;

QString Q(const std::string& text) { return QString::fromStdString(text); }

QString LinesForLabel(const std::string& text) { return Q(text).replace("\r\n", "\n"); }

// Builds the chart of the last damage computation in display units.
QChart* BuildChart(const core::ProgramState& state) {
    const control::DamageChart data = control::MakeDamageChart(state);
    auto* chart = new QChart;
    chart->setTitle("CDF across the pavement, section " + Q(state.Current.SectionName));
    chart->legend()->setAlignment(Qt::AlignRight);
    QFont small = chart->legend()->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    chart->legend()->setFont(small);
    auto* bars = new QStackedBarSeries;
    for (const auto& series : data.series) {
        auto* set = new QBarSet(Q(series.aircraft));
        for (double v : series.cdf) *set << v;
        bars->append(set);
    }
    chart->addSeries(bars);
    const core::UnitQuantity& t = state.Units.thickness;
    // The bars stand on a category axis without labels; a value axis of lateral offsets in
    // display units lies over it, so positions are read in lengths, not numbers.
    QStringList categories;
    for (std::size_t j = 0; j < data.offsetsIn.size(); ++j) categories << QString::number(j + 1);
    auto* x = new QBarCategoryAxis;
    x->append(categories);
    x->setLabelsVisible(false);
    x->setGridLineVisible(false);
    x->setLineVisible(false);
    chart->addAxis(x, Qt::AlignBottom);
    bars->attachAxis(x);
    constexpr double kHalfSpacingIn = 5;
    auto* offsets = new QValueAxis;
    offsets->setRange(-kHalfSpacingIn * t.factor,
                      (data.offsetsIn.back() + kHalfSpacingIn) * t.factor);
    offsets->setTickType(QValueAxis::TicksDynamic);
    offsets->setTickAnchor(0);
    offsets->setTickInterval(t.factor == 1 ? 100 : 2500);
    offsets->setLabelsFont(small);
    offsets->setLabelFormat("%.0f");
    offsets->setGridLineVisible(false);
    offsets->setTitleText("Lateral offset (" + Q(t.label) + ")");
    chart->addAxis(offsets, Qt::AlignBottom);
    double top = 0;
    for (double v : data.total) top = std::max(top, v);
    auto* y = new QValueAxis;
    y->setRange(0, top > 0 ? top * 1.1 : 1);
    y->setTitleText("CDF");
    y->setLabelFormat("%.3g");
    y->applyNiceNumbers();
    chart->addAxis(y, Qt::AlignLeft);
    bars->attachAxis(y);
    if (data.criticalPosition >= 1) {
        // The critical position: a red line over its bar.
        auto* line = new QLineSeries;
        const double c = data.criticalPosition - 1;
        const double at = data.offsetsIn[static_cast<std::size_t>(c)] * t.factor;
        line->append(at, 0);
        line->append(at, y->max());
        line->setPen(QPen(Qt::red, 2, Qt::DashLine));
        line->setName(
            "Critical position, x = " +
            Q(core::FormatMask(data.offsetsIn[static_cast<std::size_t>(c)] * t.factor, "#,##0")) +
            " " + Q(t.label));
        chart->addSeries(line);
        line->attachAxis(offsets);
        line->attachAxis(y);
    }
    return chart;
}

}  // namespace

StructurePicture::StructurePicture(StructureWindow* window) : QWidget(window), window_(window) {
    setObjectName("picStructure");
    setMinimumSize(560, 400);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    setPalette(p);
}

void StructurePicture::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, false);
    PaintStructure(painter, window_->CurrentLayout());
}

void StructurePicture::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        window_->CopyDrawing();
        return;
    }
    if (event->button() == Qt::LeftButton)
        window_->ClickDrawing(event->position().x(), event->position().y());
}

void StructurePicture::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) window_->DoubleClickDrawing();
}

StructureWindow::StructureWindow(core::ProgramState& state, core::UserPort& ui, QWidget* mainWindow)
    : QWidget(nullptr, Qt::Window),
      state_(state),
      ui_(ui),
      mainWindow_(mainWindow),
      controller_(state, ui) {
    setObjectName("frmStructure");
    askLayerType = [this](int current) -> std::optional<int> {
        LayerTypeDialog dialog(current, this);
        if (dialog.exec() != QDialog::Accepted) return std::nullopt;
        return dialog.Code();
    };
    runAddDelete = [this] {
        AddDeleteDialog dialog(
            [this](bool add) {
                return controller_.ApplyAddDelete(add ? control::AddDelete::Add
                                                      : control::AddDelete::Delete);
            },
            this);
        dialog.exec();
    };
    askPdfPath = [this](const QString& suggested) {
        return QFileDialog::getSaveFileName(this, "Export PDF", suggested, "PDF files (*.pdf)");
    };
    BuildControls();
}

StructureWindow::~StructureWindow() = default;

void StructureWindow::BuildControls() {
    picture_ = new StructurePicture(this);
    chart_ = new QChartView(this);
    chart_->setObjectName("chtDamage");
    chart_->setRenderHint(QPainter::Antialiasing);
    chart_->setMinimumSize(560, 400);
    chart_->hide();

    status_ = new QLabel("Total Time; LEA Time", this);
    status_->setObjectName("lblStatus");
    status_->setTextFormat(Qt::PlainText);
    status_->setFrameShape(QFrame::Panel);
    status_->setFrameShadow(QFrame::Sunken);
    status_->setMinimumHeight(fontMetrics().lineSpacing() * 2 + 6);
    status_->setToolTip("Click to back-calculate the subgrade modulus");
    status_->installEventFilter(this);

    auto* listLabel = new QLabel("Section Names", this);
    sections_ = new QListWidget(this);
    sections_->setObjectName("lstStrFiles");
    sections_->setMinimumWidth(fontMetrics().horizontalAdvance(QString(14, 'W')));
    connect(sections_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (syncing_ || row < 0) return;
        if (!controller_.SelectSection(row)) {
            Sync();
            return;
        }
        Sync();
    });
    connect(sections_, &QListWidget::itemDoubleClicked, this, [this] {
        controller_.EnterModify();
        Sync();
    });

    auto* commands = new QVBoxLayout;
    commands->addWidget(status_);
    commands->addWidget(listLabel);
    commands->addWidget(sections_, 1);
    commands_ = std::make_unique<CommandButtons>(this, commands, controller_.Commands(),
                                                 [this](const std::string& name) { Act(name); });
    for (const char* name : {"cmdPrint", "cmdExportPdf"}) {
        auto* b = new QPushButton(name == std::string("cmdPrint") ? "&Print" : "Export P&DF", this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        commands->addWidget(b);
        connect(b, &QPushButton::clicked, this,
                [this, name] { name == std::string("cmdPrint") ? Print() : ExportPdfCommand(); });
    }
    demoButton_ = new QPushButton("Demonst&ration", this);
    demoButton_->setObjectName("cmdDemo");
    demoButton_->setToolTip("A guided walk-through of this window");
    demoButton_->setAutoDefault(false);
    demoButton_->hide();
    commands->addWidget(demoButton_);
    connect(demoButton_, &QPushButton::clicked, this, [this] {
        if (demo_ && !controller_.Running()) demo_();
    });
    batch_ = new QCheckBox("Batch Mode", this);
    batch_->setObjectName("chkOptions");
    batch_->hide();
    connect(batch_, &QCheckBox::toggled, this, [this](bool on) {
        controller_.SetBatchMode(on);
        Sync();
    });
    commands->addWidget(batch_);

    pickPanel_ = new QWidget(this);
    auto* pick = new QVBoxLayout(pickPanel_);
    pick->setContentsMargins(0, 0, 0, 0);
    QString lines;
    for (const std::string& line : control::StructureController::PickInstructions())
        lines += Q(line) + "\n";
    lines.chop(1);
    auto* pickText = new QLabel(lines, pickPanel_);
    pickText->setObjectName("txtSelectLayer");
    pickText->setFrameShape(QFrame::Box);
    auto* cancel = new QPushButton("&Cancel", pickPanel_);
    cancel->setObjectName("cmdSelectLayerCancel");
    connect(cancel, &QPushButton::clicked, this, [this] {
        controller_.CancelPick();
        Sync();
    });
    pick->addWidget(pickText);
    pick->addWidget(cancel);
    pickPanel_->hide();
    commands->addWidget(pickPanel_);

    // A hidden chart takes no room: the drawing has the width until a run has results.
    auto* row = new QHBoxLayout(this);
    row->addWidget(picture_, 3);
    row->addWidget(chart_, 2);
    row->addLayout(commands);

    timer_ = new QTimer(this);
    timer_->setObjectName("tmrElapsed");
    timer_->setInterval(kTimerMs);
    connect(timer_, &QTimer::timeout, this, [this] { Tick(); });
}

void StructureWindow::SetDemonstration(std::function<void()> start) {
    demo_ = std::move(start);
    demoButton_->setVisible(static_cast<bool>(demo_));
}

void StructureWindow::Open() {
    controller_.Open();
    progress_.reset();
    Sync();
    show();
    raise();
    activateWindow();
}

control::StructureLayout StructureWindow::CurrentLayout() const {
    control::PictureState picture;
    picture.selectedLayer = controller_.SelectedLayer();
    picture.designLayer = controller_.DesignLayer();
    picture.progress =
        state_.Run.DesignRunning && progress_ ? *progress_ : core::MakeRunProgress(state_);
    return control::LayoutStructure(
        state_, picture, MetricsFor(picture_->font(), picture_->width(), picture_->height()));
}

void StructureWindow::OnProgress(const core::RunProgress& progress) {
    progress_ = progress;
    Sync();
    picture_->repaint();
}

void StructureWindow::Act(const std::string& command) {
    if (command == "cmdModifyStr")
        controller_.ModifyCommand();
    else if (command == "cmdAddDelete") {
        if (controller_.ModifyMode())
            controller_.DesignCommand();
        else
            Run([this] { controller_.DesignCommand(); });
    } else if (command == "cmdSaveStr")
        controller_.SaveCommand();
    else if (command == "cmdLife")
        Run([this] { controller_.LifeCommand(); });
    else if (command == "cmdAircraft") {
        if (openAircraft_)
            openAircraft_();
        else
            core::ShowMessage(state_, ui_, "The aircraft window is not available yet.",
                              core::Buttons::Ok, "Aircraft");
    } else if (command == "cmdExit")
        close();
    else if (command == "cmdHelp" && help_)
        help_();
    Sync();
}

void StructureWindow::Run(const std::function<void()>& command) {
    if (controller_.Running()) return;
    BusyScope busy(this);
    timer_->start();
    command();
    progress_.reset();
    Sync();
}

void StructureWindow::Tick() {
    controller_.TimerTick();
    if (!controller_.TimerOn()) timer_->stop();
    Sync();
}

void StructureWindow::Sync() {
    syncing_ = true;
    setWindowTitle(Q(controller_.Caption()));
    commands_->Sync(controller_.Commands());
    const std::vector<std::string> lines = controller_.SectionLines();
    bool same = sections_->count() == static_cast<int>(lines.size());
    for (int i = 0; same && i < sections_->count(); ++i)
        same = sections_->item(i)->text() == Q(lines[static_cast<std::size_t>(i)]);
    if (!same) {
        sections_->clear();
        for (const std::string& line : lines) sections_->addItem(Q(line));
    }
    sections_->setCurrentRow(controller_.SectionRow());
    sections_->setEnabled(controller_.ListEnabled());
    picture_->setEnabled(controller_.DrawingEnabled());
    status_->setText(LinesForLabel(controller_.StatusText()));
    pickPanel_->setVisible(controller_.SelectingLayer());
    batch_->setEnabled(!controller_.Running());
    for (const char* name : {"cmdPrint", "cmdExportPdf"})
        if (auto* b = findChild<QPushButton*>(name)) b->setEnabled(!controller_.Running());
    syncing_ = false;
    SyncChart();
    picture_->update();
}

void StructureWindow::SyncChart() {
    const bool show = controller_.LastRun().has_value() && !controller_.Running() &&
                      state_.Run.Damage.CriticalPosition >= 1;
    if (!show) return;
    if (chartVersion_ != controller_.Version()) {
        QChart* old = chart_->chart();
        chart_->setChart(BuildChart(state_));
        delete old;
        chartVersion_ = controller_.Version();
    }
    chart_->show();
}

void StructureWindow::ClickDrawing(double x, double y) {
    const control::ClickOutcome outcome = controller_.Click(CurrentLayout(), x, y);
    if (outcome == control::ClickOutcome::LayerTypeDialog) {
        const int layer = controller_.SelectedLayer();
        picture_->repaint();
        const int current = state_.Current.Layers.at(static_cast<std::size_t>(layer - 1)).LayerType;
        if (const std::optional<int> code = askLayerType(current))
            controller_.SetLayerType(layer, *code);
        controller_.ClearSelection();
    } else if (outcome == control::ClickOutcome::AddDeleteDialog) {
        Sync();
        runAddDelete();
        controller_.EndAddDelete();
    }
    Sync();
}

void StructureWindow::DoubleClickDrawing() {
    if (!controller_.ModifyMode()) controller_.EnterModify();
    Sync();
}

QImage StructureWindow::DrawingImage() const {
    QImage image(picture_->size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setFont(picture_->font());
    PaintStructure(painter, CurrentLayout());
    return image;
}

void StructureWindow::CopyDrawing() {
    QClipboard* clipboard = QApplication::clipboard();
    clipboard->clear();
    clipboard->setImage(DrawingImage());
}

void StructureWindow::mouseDoubleClickEvent(QMouseEvent* event) {
    // A double click on the window's background shows or hides the batch option.
    if (event->button() == Qt::LeftButton && !controller_.Running())
        batch_->setVisible(!batch_->isVisible());
}

bool StructureWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == status_ && event->type() == QEvent::MouseButtonRelease &&
        !controller_.Running() && !controller_.ModifyMode()) {
        Run([this] { controller_.BackCalculate(); });
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

bool StructureWindow::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate && !controller_.Running()) {
        controller_.Follow();
        Sync();
    }
    return QWidget::event(event);
}

void StructureWindow::closeEvent(QCloseEvent* event) {
    if (!controller_.Close()) {
        event->ignore();
        Sync();
        return;
    }
    event->accept();
    if (mainWindow_) mainWindow_->activateWindow();
}

namespace {

constexpr double kPageImageScale = 3;  // pixels per unit of the on-page pictures

// A picture drawn at screen scale into an image fine enough for paper.
QImage PageImage(QSizeF size, const std::function<void(QPainter&)>& draw) {
    QImage image((size * kPageImageScale).toSize(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(kPageImageScale, kPageImageScale);
    draw(painter);
    return image;
}

// `image` in the largest rectangle of its shape within `target`, at its top left.
void DrawFitted(QPainter& painter, const QRectF& target, const QImage& image) {
    const QSizeF size = QSizeF(image.size()).scaled(target.size(), Qt::KeepAspectRatio);
    painter.drawImage(QRectF(target.topLeft(), size), image);
}

}  // namespace

bool StructureWindow::PrintPage(QPrinter& printer) {
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    const QRectF page = painter.viewport();
    const double top = page.height() * 0.45;  // pictures above, the report below
    const QSizeF pictureSize(620, 460);
    const QImage drawing = PageImage(pictureSize, [this, pictureSize](QPainter& p) {
        p.setFont(picture_->font());
        control::PictureState picture;
        picture.designLayer = controller_.DesignLayer();
        picture.progress = core::MakeRunProgress(state_);
        PaintStructure(p, control::LayoutStructure(state_, picture,
                                                   MetricsFor(picture_->font(), pictureSize.width(),
                                                              pictureSize.height())));
    });
    DrawFitted(painter, QRectF(0, 0, page.width() * 0.5, top), drawing);
    if (controller_.LastRun() && state_.Run.Damage.CriticalPosition >= 1) {
        const QSizeF chartSize(640, 460);
        const QImage chart = PageImage(chartSize, [this, chartSize](QPainter& p) {
            QGraphicsScene scene;
            QChart* c = BuildChart(state_);
            scene.addItem(c);
            c->resize(chartSize);
            scene.render(&p, QRectF(QPointF(0, 0), chartSize), QRectF(QPointF(0, 0), chartSize));
        });
        DrawFitted(painter, QRectF(page.width() * 0.5, 0, page.width() * 0.5, top), chart);
    }
    QFont mono = ReportPrintFont();
    mono.setPointSizeF(7);
    painter.setFont(mono);
    const QString report = Q(design::BuildReport(state_).print).replace("\r\n", "\n");
    painter.drawText(QRectF(0, top + page.height() * 0.02, page.width(), page.height() - top),
                     Qt::AlignLeft | Qt::AlignTop, report);
    return painter.end();
}

bool StructureWindow::ExportPdf(const QString& path) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setPageOrientation(QPageLayout::Landscape);
    SetReportMargins(printer);
    return PrintPage(printer);
}

void StructureWindow::Print() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    SetReportMargins(printer);
    QPrintDialog dialog(&printer, this);
    dialog.setWindowTitle("Print Structure");
    if (dialog.exec() != QDialog::Accepted) return;
    if (!PrintPage(printer))
        core::ShowMessage(state_, ui_, "The printer could not be started.", core::Buttons::Ok,
                          "Printing", core::Answer::Ok, core::Icon::Exclamation);
}

void StructureWindow::ExportPdfCommand() {
    const QString suggested =
        QDir(Q(state_.ProgramDir))
            .filePath(Q(state_.JobName + "-" + state_.Current.SectionName + "-structure.pdf"));
    const QString path = askPdfPath(suggested);
    if (path.isEmpty()) return;
    if (!ExportPdf(path))
        core::ShowMessage(state_, ui_, "The file " + path.toStdString() + " could not be written.",
                          core::Buttons::Ok, "Export PDF", core::Answer::Ok,
                          core::Icon::Exclamation);
}

}  // namespace tavro::ui
