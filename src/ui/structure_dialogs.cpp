#include "ui/structure_dialogs.h"

#include <QDialogButtonBox>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "library/layer_library.h"

namespace tavro::ui {

namespace {

QDialogButtonBox* OkCancel(QDialog* dialog) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    buttons->button(QDialogButtonBox::Ok)->setObjectName("cmdOK");
    buttons->button(QDialogButtonBox::Cancel)->setObjectName("cmdCancel");
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

}  // namespace

LayerTypeDialog::LayerTypeDialog(int currentCode, QWidget* parent) : QDialog(parent) {
    setObjectName("dlgLayerType");
    setWindowTitle("Layer Type");
    auto* grid = new QGridLayout;
    constexpr int kRows = 9;  // two columns of nine types
    for (int code = 0; code < library::kLayerTypeCount; ++code) {
        const library::LayerMaterial& m = library::LayerMaterialOf(code);
        QString caption = QString::fromUtf8(m.LayerTypeLabel.data(),
                                            static_cast<qsizetype>(m.LayerTypeLabel.size()));
        if (caption.isEmpty())
            caption = QString::fromUtf8(m.LayerTypeTitle.data(),
                                        static_cast<qsizetype>(m.LayerTypeTitle.size()));
        // Several types share a caption ("Surface", "Variable"): the short name tells them
        // apart.
        const QString name = QString::fromUtf8(m.LayerTypeName.data(),
                                               static_cast<qsizetype>(m.LayerTypeName.size()));
        if (caption != name) caption += "  (" + name + ")";
        auto* option = new QRadioButton(QString("%1  %2").arg(code).arg(caption), this);
        option->setObjectName(QString("optType%1").arg(code));
        option->setToolTip(QString::fromUtf8(m.LayerTypeTitle.data(),
                                             static_cast<qsizetype>(m.LayerTypeTitle.size())));
        option->setChecked(code == currentCode);
        option->installEventFilter(this);
        grid->addWidget(option, code % kRows, code / kRows);
        options_.push_back(option);
    }
    auto* buttons = OkCancel(this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(buttons);
}

int LayerTypeDialog::Code() const {
    for (std::size_t i = 0; i < options_.size(); ++i)
        if (options_[i]->isChecked()) return static_cast<int>(i);
    return -1;
}

bool LayerTypeDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonDblClick) {
        if (auto* option = qobject_cast<QRadioButton*>(watched)) {
            option->setChecked(true);
            accept();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

AddDeleteDialog::AddDeleteDialog(std::function<bool(bool)> ok, QWidget* parent)
    : QDialog(parent), ok_(std::move(ok)) {
    setObjectName("dlgAddDelete");
    setWindowTitle("Add or Delete a Layer");
    auto* grid = new QGridLayout;
    auto label = [this](const char* text) {
        auto* l = new QLabel(text, this);
        l->setTextFormat(Qt::PlainText);
        return l;
    };
    grid->addWidget(label("A new layer is added by\nduplicating an existing layer."), 0, 1);
    add_ = new QRadioButton("Add", this);
    add_->setObjectName("optAdd");
    add_->setChecked(true);
    delete_ = new QRadioButton("Delete", this);
    delete_->setObjectName("optDelete");
    for (QRadioButton* b : {add_, delete_}) b->installEventFilter(this);
    grid->addWidget(add_, 1, 0);
    grid->addWidget(label("Add a new layer identical to the\nselected layer by clicking OK\n"
                          "when the Add button is selected."),
                    1, 1);
    grid->addWidget(delete_, 2, 0);
    grid->addWidget(label("Delete the selected layer by\nclicking OK when the Delete\n"
                          "button is selected."),
                    2, 1);
    auto* buttons = OkCancel(this);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { Ok(); });
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(buttons);
}

void AddDeleteDialog::SetDelete() { delete_->setChecked(true); }

void AddDeleteDialog::Ok() {
    if (ok_(add_->isChecked())) accept();
}

bool AddDeleteDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonDblClick) {
        if (auto* option = qobject_cast<QRadioButton*>(watched)) {
            option->setChecked(true);
            Ok();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace tavro::ui
