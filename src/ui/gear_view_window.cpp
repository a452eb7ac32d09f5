#include "ui/gear_view_window.h"

#include <QApplication>
#include <QClipboard>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/messages.h"
#include "ui/gear_painter.h"

namespace tavro::ui {

GearPicture::GearPicture(const core::UnitSet& units, QWidget* parent)
    : QWidget(parent), units_(units) {
    setObjectName("picGear4");
    setMinimumSize(480, 240);
    setCursor(Qt::PointingHandCursor);
    setToolTip("Click to copy the picture");
}

void GearPicture::SetPlan(library::GearPlan plan) {
    plan_ = std::move(plan);
    update();
}

QImage GearPicture::Image() const { return GearPlanImage(plan_, units_, size()); }

void GearPicture::paintEvent(QPaintEvent*) {
    QPainter p(this);
    PaintGearPlan(p, QRectF(rect()), plan_, units_);
}

void GearPicture::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) emit clicked();
}

namespace {

QLabel* Label(QWidget* parent, const char* name, const QString& text = {}) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    return label;
}

}  // namespace

GearViewWindow::GearViewWindow(core::ProgramState& state, core::UserPort& ui, int row,
                               QWidget* parent)
    : QDialog(parent), state_(state), ui_(ui), controller_(state, ui, row) {
    setObjectName("frmGearView");
    caption_ = Label(this, "lblAircraft");
    list_ = new QListWidget(this);
    list_->setObjectName("lstAircraft");
    list_->setMinimumWidth(fontMetrics().horizontalAdvance(QString(22, 'x')));
    picture_ = new GearPicture(state_.Units, this);

    grossTitle_ = Label(this, "lblGLTitle", "Gross Taxi Weight");
    gross_ = Label(this, "lblGrossLoad");
    for (QLabel* l : {grossTitle_, gross_}) {
        l->setCursor(Qt::PointingHandCursor);
        l->setToolTip("Click to change the gross load");
        l->installEventFilter(this);
    }
    percent_ = Label(this, "lblPercentGLNumber");
    pressure_ = Label(this, "lblTirePressureNumber");
    auto* figures = new QGridLayout;
    figures->addWidget(grossTitle_, 0, 0);
    figures->addWidget(Label(this, "lblPercentGLTitle", "% GW on Gear"), 0, 1);
    figures->addWidget(Label(this, "lblTPTitle", "Tire Pressure"), 0, 2);
    figures->addWidget(gross_, 1, 0);
    figures->addWidget(percent_, 1, 1);
    figures->addWidget(pressure_, 1, 2);

    auto* print = new QPushButton("&Print", this);
    print->setObjectName("cmdPrint");
    auto* back = new QPushButton("&Back", this);
    back->setObjectName("cmdExit");
    for (QPushButton* b : {print, back}) b->setAutoDefault(false);

    auto* left = new QVBoxLayout;
    left->addWidget(caption_);
    left->addWidget(list_, 1);
    left->addWidget(print);
    left->addWidget(back);
    auto* right = new QVBoxLayout;
    right->addWidget(picture_, 1);
    right->addLayout(figures);
    auto* grid = new QHBoxLayout(this);
    grid->addLayout(left);
    grid->addLayout(right, 1);

    connect(list_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (syncing_ || row < 0) return;
        controller_.Select(row);
        SyncView();
    });
    connect(picture_, &GearPicture::clicked, this, &GearViewWindow::CopyPicture);
    connect(print, &QPushButton::clicked, this, &GearViewWindow::Print);
    connect(back, &QPushButton::clicked, this, &QDialog::accept);
    SyncView();
}

void GearViewWindow::SyncView() {
    syncing_ = true;
    setWindowTitle(QString::fromStdString(controller_.Title()));
    caption_->setText(QString::fromStdString(controller_.ListCaption()));
    QStringList names;
    for (const auto& n : controller_.AircraftNames()) names << QString::fromStdString(n);
    QStringList shown;
    for (int i = 0; i < list_->count(); ++i) shown << list_->item(i)->text();
    if (shown != names) {
        list_->clear();
        list_->addItems(names);
    }
    list_->setCurrentRow(controller_.Selected());
    gross_->setText(QString::fromStdString(controller_.GrossLoadText()));
    percent_->setText(QString::fromStdString(controller_.PercentText()));
    pressure_->setText(QString::fromStdString(controller_.TirePressureText()));
    picture_->SetPlan(controller_.Plan());
    syncing_ = false;
}

bool GearViewWindow::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == gross_ || watched == grossTitle_) &&
        event->type() == QEvent::MouseButtonPress) {
        controller_.ChangeGrossLoad();
        SyncView();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

bool GearViewWindow::event(QEvent* event) {
    // The unit switch may have changed while another window was in front.
    if (event->type() == QEvent::WindowActivate && !syncing_) SyncView();
    return QDialog::event(event);
}

void GearViewWindow::CopyPicture() {
    QClipboard* clipboard = QApplication::clipboard();
    clipboard->clear();
    clipboard->setImage(picture_->Image());
}

void GearViewWindow::Print() {
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, this);
    dialog.setWindowTitle("Print Gear");
    if (dialog.exec() != QDialog::Accepted) return;
    QPainter p;
    if (!p.begin(&printer)) {
        core::ShowMessage(state_, ui_, "The gear picture could not be printed.", core::Buttons::Ok,
                          "Printing", core::Answer::Ok, core::Icon::Exclamation);
        return;
    }
    // An image of the window, as large as the page allows.
    const QPixmap image = grab();
    const QRectF page = printer.pageLayout().paintRectPixels(printer.resolution());
    const QSizeF fitted = QSizeF(image.size()).scaled(page.size(), Qt::KeepAspectRatio);
    p.drawPixmap(QRectF(QPointF(0, 0), fitted), image, QRectF(image.rect()));
    p.end();
}

}  // namespace tavro::ui
