// The dialogs of the structure window: the layer type dialog (codes 0 to 17) and the
// Add/Delete layer dialog, which stays open while its OK is refused.
#pragma once

#include <QDialog>
#include <functional>

class QRadioButton;

namespace tavro::ui {

class LayerTypeDialog : public QDialog {
    Q_OBJECT
public:
    LayerTypeDialog(int currentCode, QWidget* parent);
    int Code() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::vector<QRadioButton*> options_;
};

class AddDeleteDialog : public QDialog {
    Q_OBJECT
public:
    // `ok` gets true for Add, false for Delete, and says whether the dialog may close.
    AddDeleteDialog(std::function<bool(bool add)> ok, QWidget* parent);
    void SetDelete();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Ok();
    std::function<bool(bool)> ok_;
    QRadioButton* add_ = nullptr;
    QRadioButton* delete_ = nullptr;
};

}  // namespace tavro::ui
