#include "ui/window_frame.h"

#include <QApplication>
#include <QBoxLayout>
#include <QPushButton>

namespace tavro::ui {

QPushButton* CommandButton(QWidget* parent, const QString& name, const QString& caption,
                           const QString& tip) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    if (!tip.isEmpty()) button->setToolTip(tip);
    button->setAutoDefault(false);
    return button;
}

void ConnectDemonstration(QWidget* window, std::function<void()> onClick) {
    auto* demo = window->findChild<QPushButton*>("cmdDemo");
    demo->hide();
    QObject::connect(demo, &QPushButton::clicked, window, std::move(onClick));
}

CommandButtons::CommandButtons(QWidget* parent, QBoxLayout* layout,
                               const std::vector<control::CommandState>& commands,
                               std::function<void(const std::string&)> act) {
    for (const control::CommandState& c : commands) {
        QPushButton* button = CommandButton(parent, QString::fromStdString(c.name),
                                            QString::fromStdString(c.caption));
        const std::string name = c.name;
        QObject::connect(button, &QPushButton::clicked, parent, [act, name] { act(name); });
        layout->addWidget(button);
        buttons_[c.name] = button;
    }
    Sync(commands);
}

void CommandButtons::Sync(const std::vector<control::CommandState>& commands) {
    for (const control::CommandState& c : commands) {
        auto it = buttons_.find(c.name);
        if (it == buttons_.end()) continue;
        const QString caption = QString::fromStdString(c.caption);
        if (it->second->text() != caption) it->second->setText(caption);
        it->second->setEnabled(c.enabled);
    }
}

QPushButton* CommandButtons::Button(const std::string& name) const {
    auto it = buttons_.find(name);
    return it == buttons_.end() ? nullptr : it->second;
}

BusyScope::BusyScope(QWidget* runningWindow) {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w == runningWindow || !w->isVisible() || !w->isEnabled()) continue;
        w->setEnabled(false);
        locked_.emplace_back(w);
    }
}

BusyScope::~BusyScope() {
    for (const QPointer<QWidget>& w : locked_)
        if (w) w->setEnabled(true);
}

}  // namespace tavro::ui
