// The user port of the desktop program: Qt message boxes and input boxes, the event loop
// and the clocks.
#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>

#include "core/user_port.h"

class QMessageBox;

namespace tavro::ui {

// Message texts use CR LF line breaks; Qt wants LF.
QString ToQt(std::string_view text);
std::string FromQt(const QString& text);

// Builds (without showing) the box ShowBox shows: title, plain text, icon, the buttons
// of the set with `defaultAnswer` as the Enter button and Cancel or No as the Escape
// button. Kept apart so the boxes can be checked without a modal loop.
std::unique_ptr<QMessageBox> MakeMessageBox(std::string_view title, std::string_view text,
                                            core::Buttons buttons, core::Answer defaultAnswer,
                                            core::Icon icon, QWidget* parent);

// The answer of a pressed standard button (Escape or closing the box gives Cancel or No,
// whichever the set has; Ok for a plain OK box).
core::Answer AnswerOf(int standardButton, core::Buttons buttons);

class QtUserPort : public core::UserPort {
public:
    QtUserPort();
    // The window the boxes are centred on (nullptr: the active window).
    void SetParentWidget(QWidget* parent) { parent_ = parent; }
    // Called with each progress report; the structure window hooks its drawing here.
    void SetProgressHandler(std::function<void(const core::RunProgress&)> handler) {
        progress_ = std::move(handler);
    }

    core::Answer ShowBox(std::string_view title, std::string_view text, core::Buttons buttons,
                         core::Answer defaultAnswer, core::Icon icon) override;
    std::optional<std::string> AskText(std::string_view prompt, std::string_view title,
                                       std::string_view initial) override;
    void ProcessPendingEvents() override;
    void ShowProgress(const core::RunProgress& progress) override;
    std::int64_t TickMs() override;
    double NowDaySerial() override;

private:
    QWidget* Parent() const;

    QPointer<QWidget> parent_;
    std::function<void(const core::RunProgress&)> progress_;
    QElapsedTimer clock_;
};

}  // namespace tavro::ui
