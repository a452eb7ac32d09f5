#include "ui/name_dialog.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/qt_user_port.h"

namespace tavro::ui {

NameEdit::NameEdit(const std::string& defaultText, int maxLength, QWidget* parent)
    : QLineEdit(QString::fromStdString(defaultText), parent), entry_(defaultText, maxLength) {
    setObjectName("txtName");
    // The default is shown selected: the first key replaces it.
    selectAll();
}

void NameEdit::Refuse() {
    QApplication::beep();
    emit keyRefused();
}

void NameEdit::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape:
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            event->ignore();  // the dialog's OK, Cancel and focus chain
            return;
        case Qt::Key_Backspace:
            entry_.Key('\b');
            setText(QString::fromStdString(entry_.text()));
            return;
        default:
            break;
    }
    const QString typed = event->text();
    if (typed.isEmpty() || (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        // Cursor keys and shortcuts would let the box drift from the entry rules.
        if (event->key() == Qt::Key_Delete || event->matches(QKeySequence::Paste)) Refuse();
        return;
    }
    for (QChar c : typed) {
        const bool ascii = c.unicode() < 128;
        if (!ascii || !entry_.Key(static_cast<char>(c.unicode()))) Refuse();
    }
    setText(QString::fromStdString(entry_.text()));
}

void NameEdit::contextMenuEvent(QContextMenuEvent* event) { event->accept(); }

void NameEdit::inputMethodEvent(QInputMethodEvent* event) {
    if (!event->commitString().isEmpty()) Refuse();
    event->accept();
}

NameDialog::NameDialog(const core::NameDialogSpec& spec, QWidget* parent) : QDialog(parent) {
    setObjectName("dlgName");
    setWindowTitle(QString::fromStdString(spec.title));
    auto* layout = new QVBoxLayout(this);
    auto* instruction = new QLabel(ToQt(spec.instruction), this);
    instruction->setObjectName("lblInstruction");
    instruction->setTextFormat(Qt::PlainText);
    layout->addWidget(instruction);
    edit_ = new NameEdit(spec.defaultText, spec.maxLength, this);
    // Wide enough for the longest name in the widest characters.
    const QString widest(spec.maxLength + 2, 'W');
    edit_->setMinimumWidth(edit_->fontMetrics().horizontalAdvance(widest));
    layout->addWidget(edit_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName("cmdOK");
    buttons->button(QDialogButtonBox::Cancel)->setObjectName("cmdCancel");
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    edit_->setFocus();
}

std::string NameDialog::Name() const {
    return result() == QDialog::Accepted ? edit_->text().toStdString() : std::string();
}

std::optional<std::string> AskName(const core::NameDialogSpec& spec, QWidget* parent) {
    NameDialog dialog(spec, parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    std::string name = dialog.Name();
    if (name.empty()) return std::nullopt;
    return name;
}

}  // namespace tavro::ui
