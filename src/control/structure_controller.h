// What the structure window does, without any widget: modify mode, the click dispatch of the
// drawing, every entry with its ranges, clamps, defaults and messages, Add/Delete, Save, the
// changed-structure prompt and the design, life and batch runs with their window state. The
// window shows what this controller holds and forwards clicks; the command line drives the
// same edits.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "control/command_state.h"
#include "control/structure_layout.h"
#include "core/user_port.h"
#include "design/run_controller.h"

namespace tavro::core {
struct ProgramState;
}

namespace tavro::control {

enum class AddDelete { Add, Delete };

// What a click in the drawing asks the window to open next.
enum class ClickOutcome {
    Done,             // handled (or nothing to do)
    LayerTypeDialog,  // open the layer type dialog on SelectedLayer(); answer SetLayerType
    AddDeleteDialog,  // open the Add/Delete dialog; answer ApplyAddDelete, then EndAddDelete
};

class StructureController {
public:
    StructureController(core::ProgramState& state, core::UserPort& ui);

    // Opens on the current section: resets the design layer and the selection.
    void Open();
    // The window became active again: the list lines follow the stored sections.
    void Follow();

    // ---- commands ------------------------------------------------------------------
    // cmdModifyStr: enters modify mode, or leaves it when the structure check passes.
    void ModifyCommand();
    // Double click on a section name or on the drawing outside modify mode.
    void EnterModify();
    // cmdAddDelete: a design run outside modify mode, the layer pick inside it.
    void DesignCommand();
    // cmdSaveStr: Save, or Interrupt while a run is active.
    void SaveCommand();
    // cmdLife: the life run, the overload analysis or (batch mode) the batch.
    void LifeCommand();
    // The "Batch Mode" option box.
    void SetBatchMode(bool on);
    // A click in the section list; false when the list goes back to SectionRow().
    bool SelectSection(int row);
    // Closing the window; false keeps it open.
    bool Close();
    // A click on the status label: the subgrade modulus back-calculated from the stored
    // deflection basin on the present structure, shown in a message (nothing is changed
    // but the aggregate moduli a life run would also set).
    void BackCalculate();
    // The 500 ms timer.
    void TimerTick();
    bool TimerOn() const { return timerOn_; }

    // ---- the drawing ------------------------------------------------------------------
    // A left click at (x, y) of a drawing laid out as `layout`.
    ClickOutcome Click(const StructureLayout& layout, double x, double y);
    // The picture of the current section for a drawing of this size and these fonts.
    StructureLayout Layout(const LayoutMetrics& metrics) const;

    // ---- entries (also the command line's edit operations) --------------------------
    void EditLife();
    void EditSci();
    void EditCdfu();
    void EditThickness(int layer);  // the subgrade strength for the bottom layer
    void EditSubgrade();
    void EditModulus(int layer);
    // The layer type dialog answered with `code` (0..17) for `layer`.
    void SetLayerType(int layer, int code);
    // Add/Delete: the pick starts, a layer is picked (true: open the dialog), the dialog's
    // OK (true: the dialog closes), the dialog closes in any way, the pick is cancelled.
    void BeginAddDelete();
    bool PickLayer(int layer);
    bool ApplyAddDelete(AddDelete choice);
    void EndAddDelete();
    void CancelPick();
    // The design layer (2..LayerCount-1 through the arrow column; any layer here).
    void SetDesignLayer(int layer);
    // The layer type dialog closed: the highlight goes.
    void ClearSelection() {
        selectedLayer_ = 0;
        ++version_;
    }
    // Stores the structure into its section and writes the job; `confirm` asks first.
    enum class Confirm { Ask, No };
    bool Save(Confirm confirm);
    // Runs the structure rule check; true when the structure is valid.
    bool CheckStructure();
    // The changed-structure prompt; Cancel means the caller keeps the current state.
    core::Answer PromptSaveStructure();
    bool StructureChanged() const;

    // ---- what the window shows -------------------------------------------------------
    std::string Caption() const;
    std::vector<CommandState> Commands() const;
    std::vector<std::string> SectionLines() const;
    int SectionRow() const;
    bool ListEnabled() const;
    bool DrawingEnabled() const { return !Running(); }
    bool ModifyMode() const { return modifyMode_; }
    bool SelectingLayer() const { return selectingLayer_; }
    bool BatchMode() const { return batchMode_; }
    bool Running() const;
    int SelectedLayer() const { return selectedLayer_; }
    int DesignLayer() const;
    std::string StatusText() const { return status_; }
    static const std::vector<std::string>& PickInstructions();
    // What the last run left for the chart (empty before the first run).
    const std::optional<design::RunResult>& LastRun() const { return lastRun_; }
    // What the window shows of past runs (chart and status line), kept aside and put back
    // by a demonstration so that its runs leave no trace in the user's window.
    struct RunDisplay {
        std::optional<design::RunResult> lastRun;
        std::string status, normalStatus;
    };
    RunDisplay SavedRunDisplay() const { return {lastRun_, status_, normalStatus_}; }
    void RestoreRunDisplay(RunDisplay shown) {
        lastRun_ = std::move(shown.lastRun);
        status_ = std::move(shown.status);
        normalStatus_ = std::move(shown.normalStatus);
        ++version_;
    }
    // Bumps whenever the picture or the window state changed.
    int Version() const { return version_; }

private:
    bool Locked() const;  // a run is active: every command but Interrupt refuses
    bool Samples() const;
    void SamplesRefusal(bool forDesign);
    void Changed();  // re-derives the section's values, prepares the aircraft, redraws
    void Derive();
    bool Flexible() const;
    void RunDesign(design::RunMode mode);
    void Batch();
    void StartTimer();
    void StopTimer();
    void Reload();  // the structure back from the stored section
    core::SectionLayer& Layer(int layer);
    const core::SectionLayer& Layer(int layer) const;
    void ResetDesignLayer();

    core::ProgramState& state_;
    core::UserPort& ui_;
    bool modifyMode_ = false;
    bool selectingLayer_ = false;
    bool batchMode_ = false;
    bool batchRunning_ = false;
    bool batchContinuing_ = false;
    bool lifeShown_ = false;
    bool inCommand_ = false;  // a run or a batch is on the stack
    int selectedLayer_ = 0;
    int pickedLayer_ = 0;
    int pickLayerCount_ = 0;
    std::int16_t topTypeAtModifyStart_ = 0;
    std::string status_ = "Total Time; LEA Time";
    std::string normalStatus_ = "Total Time; LEA Time";
    // Elapsed-time display.
    enum class Marker { None, Start, Stop };
    Marker marker_ = Marker::None;
    bool timerOn_ = false;
    std::string word_;
    double startOfDay_ = 0;
    std::string lastElapsed_;
    std::int64_t runStartMs_ = 0;
    double elapsedSeconds_ = 0;
    std::optional<design::RunResult> lastRun_;
    int version_ = 0;
};

}  // namespace tavro::control
