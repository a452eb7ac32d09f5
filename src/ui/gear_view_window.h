// The gear view ("Aircraft Load Parameters"): the design aircraft of the section, the plan of
// the selected one's main gears to scale, its gross taxi weight (click to change), the share
// of the weight on one main gear and the tire pressure; click the picture to copy it.
#pragma once

#include <QDialog>
#include <QWidget>

#include "control/gear_view_controller.h"

class QLabel;
class QListWidget;

namespace tavro::ui {

// The picture `picGear4`: paints the plan handed to it; a click asks for a copy.
class GearPicture : public QWidget {
    Q_OBJECT
public:
    GearPicture(const core::UnitSet& units, QWidget* parent);
    void SetPlan(library::GearPlan plan);
    // The picture as it stands on screen, for the clipboard.
    QImage Image() const;
    QSize sizeHint() const override { return {600, 300}; }

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    const core::UnitSet& units_;
    library::GearPlan plan_;
};

class GearViewWindow : public QDialog {
    Q_OBJECT
public:
    // Shows design aircraft `row` (0-based) of the current section.
    GearViewWindow(core::ProgramState& state, core::UserPort& ui, int row,
                   QWidget* parent = nullptr);
    // The aircraft shown last: the aircraft window selects it again after Back.
    int Selected() const { return controller_.Selected(); }
    control::GearViewController& Controller() { return controller_; }
    // Shows the figures again (after a change of the unit switch).
    void SyncView();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;

private:
    void CopyPicture();
    void Print();

    core::ProgramState& state_;
    core::UserPort& ui_;
    control::GearViewController controller_;
    bool syncing_ = false;
    QListWidget* list_ = nullptr;
    QLabel* caption_ = nullptr;
    GearPicture* picture_ = nullptr;
    QLabel* grossTitle_ = nullptr;
    QLabel* gross_ = nullptr;
    QLabel* percent_ = nullptr;
    QLabel* pressure_ = nullptr;
};

}  // namespace tavro::ui
