// What every window shares: command buttons built and kept in step from the controller's
// table, and the busy scope of a run, which locks every other window out until it ends.
#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "control/command_state.h"

class QBoxLayout;
class QPushButton;

namespace tavro::ui {

// A command button: its object name (what tests and demonstrations find it by), caption and
// tool tip; it never takes Enter as the dialog default.
QPushButton* CommandButton(QWidget* parent, const QString& name, const QString& caption,
                           const QString& tip = {});

// The window's Demonstration command (object name cmdDemo), hidden until a tour is set: a
// click calls `onClick`.
void ConnectDemonstration(QWidget* window, std::function<void()> onClick);

class CommandButtons {
public:
    // One button per entry of `commands`, added to `layout` in table order, each calling
    // `act` with its object name when clicked.
    CommandButtons(QWidget* parent, QBoxLayout* layout,
                   const std::vector<control::CommandState>& commands,
                   std::function<void(const std::string&)> act);
    // Captions and enabled states from the controller's table.
    void Sync(const std::vector<control::CommandState>& commands);
    QPushButton* Button(const std::string& name) const;

private:
    std::map<std::string, QPushButton*> buttons_;
};

// While alive, every other visible top-level window is disabled (the run is modal for the
// whole application apart from the window that runs it); their states come back afterwards.
class BusyScope {
public:
    explicit BusyScope(QWidget* runningWindow);
    ~BusyScope();
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    std::vector<QPointer<QWidget>> locked_;
};

}  // namespace tavro::ui
