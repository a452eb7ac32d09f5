// The name dialog of new jobs, new sections and copied sections: an instruction text and
// an entry box that takes only name characters, the first key replacing the default.
#pragma once

#include <QDialog>
#include <QLineEdit>
#include <optional>
#include <string>

#include "core/job_ops.h"

class QLabel;

namespace tavro::ui {

// The entry box: every key goes through core::NameEntry; refused keys beep.
class NameEdit : public QLineEdit {
    Q_OBJECT
public:
    NameEdit(const std::string& defaultText, int maxLength, QWidget* parent = nullptr);

signals:
    void keyRefused();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;

private:
    void Refuse();

    core::NameEntry entry_;
};

class NameDialog : public QDialog {
    Q_OBJECT
public:
    explicit NameDialog(const core::NameDialogSpec& spec, QWidget* parent = nullptr);
    // The entered name when accepted, "" when cancelled.
    std::string Name() const;
    NameEdit* Edit() const { return edit_; }

private:
    NameEdit* edit_;
};

// Shows the dialog modally; nullopt when cancelled or left empty.
std::optional<std::string> AskName(const core::NameDialogSpec& spec, QWidget* parent);

}  // namespace tavro::ui
