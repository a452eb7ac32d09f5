// The command-line implementation of the user port: messages go to stderr as
// "title: text" (or into the JSON output), questions are answered with their default
// button, or with Yes/OK when the user said --yes.
#pragma once

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

#include "core/units.h"
#include "core/user_port.h"

namespace tavro::cli {

struct ShownMessage {
    std::string title;
    std::string text;
};

class CliPort : public core::UserPort {
public:
    CliPort(std::ostream& err, bool assumeYes, bool quiet)
        : err_(err), assumeYes_(assumeYes), quiet_(quiet) {}
    ~CliPort() override;

    core::Answer ShowBox(std::string_view title, std::string_view text, core::Buttons buttons,
                         core::Answer defaultAnswer, core::Icon icon) override;
    std::optional<std::string> AskText(std::string_view prompt, std::string_view title,
                                       std::string_view initial) override;
    void ProcessPendingEvents() override {
        if (eventHook_) eventHook_();
    }
    // Called at every event poll of a long run (the command line's Ctrl-C check).
    void SetEventHook(std::function<void()> hook) { eventHook_ = std::move(hook); }
    // On a terminal, the progress line of a run rewritten in place at most a few times a
    // second (see ShowProgressOn).
    void ShowProgress(const core::RunProgress& progress) override;
    void ShowProgressOn(const core::UnitSet* units) { progressUnits_ = units; }
    // Messages with this title are neither shown nor collected (the desktop program's
    // start-up notice, which only `jobs` gives).
    void Suppress(std::string title) { suppressed_ = std::move(title); }
    // Clears a progress line left on the terminal.
    void EndProgressLine();
    std::int64_t TickMs() override;
    double NowDaySerial() override;

    const std::vector<ShownMessage>& messages() const { return messages_; }

private:
    std::ostream& err_;
    bool assumeYes_;
    bool quiet_;  // collect only (JSON output carries the messages)
    std::vector<ShownMessage> messages_;
    std::function<void()> eventHook_;
    const core::UnitSet* progressUnits_ = nullptr;
    std::int64_t lastProgressMs_ = -1;
    bool progressShown_ = false;  // a progress line waits for its line break
    std::string suppressed_;
};

// Message text for a terminal: CR LF line breaks become LF.
std::string TerminalText(std::string_view text);

}  // namespace tavro::cli
