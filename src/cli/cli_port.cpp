#include "cli/cli_port.h"

#include <chrono>
#include <ctime>
#include <ostream>

#include "core/day_serial.h"

namespace tavro::cli {

std::string TerminalText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        out += text[i];
    }
    return out;
}

core::Answer CliPort::ShowBox(std::string_view title, std::string_view text, core::Buttons buttons,
                              core::Answer defaultAnswer, core::Icon) {
    if (!suppressed_.empty() && title == suppressed_) return defaultAnswer;
    EndProgressLine();
    messages_.push_back({std::string(title), std::string(text)});
    if (!quiet_) err_ << title << ": " << TerminalText(text) << "\n";
    if (assumeYes_) {
        if (buttons == core::Buttons::YesNo || buttons == core::Buttons::YesNoCancel)
            return core::Answer::Yes;
        if (buttons == core::Buttons::OkCancel) return core::Answer::Ok;
    }
    return defaultAnswer;
}

std::optional<std::string> CliPort::AskText(std::string_view, std::string_view, std::string_view) {
    return std::nullopt;  // nobody to ask: the same as Cancel
}

namespace {
constexpr std::int64_t kProgressIntervalMs = 250;  // at most four lines a second
}  // namespace

void CliPort::ShowProgress(const core::RunProgress& progress) {
    if (progressUnits_ == nullptr || !progress.running) return;
    const std::int64_t now = TickMs();
    if (lastProgressMs_ >= 0 && now - lastProgressMs_ < kProgressIntervalMs) return;
    lastProgressMs_ = now;
    // Carriage return and erase-to-end-of-line rewrite the one status line in place.
    err_ << '\r' << core::ProgressLine(progress, *progressUnits_) << "\x1b[K" << std::flush;
    progressShown_ = true;
}

void CliPort::EndProgressLine() {
    if (!progressShown_) return;
    err_ << "\r\x1b[K" << std::flush;
    progressShown_ = false;
}

CliPort::~CliPort() { EndProgressLine(); }

std::int64_t CliPort::TickMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

double CliPort::NowDaySerial() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return core::DaySerialFromCivil({local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                                     local.tm_hour, local.tm_min, local.tm_sec});
}

}  // namespace tavro::cli
