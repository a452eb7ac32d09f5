// What the commands and list events of the startup window do, without any widget: the
// window shows the lists and enabled states this controller holds and forwards clicks.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/job_ops.h"
#include "core/user_port.h"

namespace tavro::core {
struct ProgramState;
}

namespace tavro::control {

// Asks the user for a name in the name dialog; nullopt (or "") when cancelled.
using NameAsker = std::function<std::optional<std::string>(const core::NameDialogSpec&)>;

enum class SectionWindow { Structure, Aircraft, Notes };

class StartupController {
public:
    StartupController(core::ProgramState& state, core::UserPort& ui, NameAsker askName);

    // The start-up sequence; afterwards "Samples" is open and its section list built.
    void Start(std::string_view programDir, bool firstInstance);

    // A click (or keyboard selection) in the job list: opens the job, or, in copy mode,
    // copies the current section to it.
    void ClickJob(int row);
    // A click in the section list: selects the section; in copy mode hands over to the
    // job list.
    void ClickSection(int row);
    // A section dragged from the section list and released over job list entry `row`.
    void DropSectionOnJob(int row);

    void NewJob();
    void DeleteJob();
    void DuplicateSection();
    void DeleteSection();
    // "&Copy Sections" switches copy mode on, "&End Copy" off.
    void CopyCommand();
    // true when the open job has sections; otherwise shows "There are no sections in
    // job ..." under the command's title and returns false.
    bool CanOpen(SectionWindow window);
    void SetMetric(bool metric);
    // The window became active again: sections may have changed their pavement type.
    void Refresh();

    // ---- what the window shows -----------------------------------------------------
    const std::vector<std::string>& JobLines() const;
    const std::vector<std::string>& SectionLines() const { return sectionLines_; }
    int JobRow() const;
    int SectionRow() const;  // -1 when the job has no section
    bool CopyMode() const { return copyMode_; }
    bool JobListEnabled() const { return jobListEnabled_; }
    bool SectionListEnabled() const { return sectionListEnabled_; }
    std::string CopyCaption() const { return copyMode_ ? "&End Copy" : "&Copy Sections"; }
    // The instruction panel of copy mode, one entry per line.
    static const std::vector<std::string>& CopyInstructions();

private:
    std::optional<std::string> Ask(core::NameMode mode);
    void CopyToJob(int row);
    void EndCopy();
    void RebuildSections();

    core::ProgramState& state_;
    core::UserPort& ui_;
    NameAsker askName_;
    std::vector<std::string> sectionLines_;
    bool copyMode_ = false;
    bool jobListEnabled_ = true;
    bool sectionListEnabled_ = true;
};

}  // namespace tavro::control
