// Modes, commands, the click dispatch, saving and the runs of the structure window.
#include "control/structure_controller.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "analysis/analysis_input.h"
#include "analysis/lea_driver.h"
#include "control/subgrade.h"
#include "core/day_serial.h"
#include "core/file_lock.h"
#include "core/job_file.h"
#include "core/messages.h"
#include "core/narrow.h"
#include "core/number_format.h"
#include "core/program_state.h"
#include "core/section_ops.h"
#include "damage/aggregate_modulus.h"
#include "design/overload.h"
#include "design/structure_check.h"
#include "library/layer_library.h"

namespace tavro::control {

namespace {

using core::JoinLines;

constexpr double kSecondsPerDay = 86400;
constexpr int kStopFieldWidth = 5;

std::string Hms(double seconds) {
    const long total = std::lround(std::max(seconds, 0.0));
    char text[16];
    std::snprintf(text, sizeof text, "%02ld:%02ld:%02ld", total / 3600 % 100, total / 60 % 60,
                  total % 60);
    return text;
}

// The stop field: at least one blank before the figure, widened as needed.
std::string StopField(double seconds) {
    const std::string figure = core::FormatMask(seconds, "0.00");
    const std::size_t width = static_cast<std::size_t>(kStopFieldWidth);
    const std::size_t blanks = figure.size() + 1 >= width ? 1 : width - figure.size();
    return std::string(blanks, ' ') + figure;
}

}  // namespace

StructureController::StructureController(core::ProgramState& state, core::UserPort& ui)
    : state_(state), ui_(ui) {}

bool StructureController::Running() const { return state_.Run.DesignRunning || inCommand_; }
bool StructureController::Locked() const { return Running(); }
bool StructureController::Samples() const { return core::IsSamplesJob(state_.JobName); }

int StructureController::DesignLayer() const { return state_.Run.DesignLayer; }

void StructureController::ResetDesignLayer() {
    core::DerivePavementType(state_);
    state_.Run.DesignLayer = design::DefaultDesignLayer(state_.Current);
}

void StructureController::Open() {
    modifyMode_ = false;
    selectingLayer_ = false;
    selectedLayer_ = 0;
    Derive();
    ResetDesignLayer();
    ++version_;
}

void StructureController::Follow() {
    if (Running()) return;
    Derive();
    ++version_;
}

void StructureController::Derive() {
    core::DerivePavementType(state_);
    core::CurrentSectionRecord& s = state_.Current;
    s.StructureDefined = true;
    for (const core::SectionLayer& l : s.Layers)
        if (library::IsValidLayerType(l.LayerType) &&
            library::LayerTypeName(l.LayerType) == "Undefined")
            s.StructureDefined = false;
}

bool StructureController::Flexible() const { return IsFlexibleStructure(state_.Current); }

void StructureController::Changed() {
    Derive();
    core::PrepareAircraft(state_);
    ++version_;
}

void StructureController::SamplesRefusal(bool forDesign) {
    const std::string samples(core::kSamplesJob);
    std::string text =
        JoinLines({"Structures in Job " + samples + " cannot", "be changed. They are included",
                   "only for building new structures.", "", "Use Copy Section in the Startup"});
    text += std::string(core::NL);
    text += forDesign ? JoinLines({"window to create a new structure", "for design."})
                      : "window to create a new structure.";
    core::ShowMessage(state_, ui_, text, core::Buttons::Ok, "Structure in Job " + samples);
}

// ---- modes ------------------------------------------------------------------------------

void StructureController::ModifyCommand() {
    if (Locked() || selectingLayer_) return;
    if (!modifyMode_) {
        EnterModify();
        return;
    }
    if (!CheckStructure()) return;
    modifyMode_ = false;
    if (state_.Current.LayerCount() >= 1 &&
        state_.Current.Layers.front().LayerType != topTypeAtModifyStart_)
        ResetDesignLayer();
    status_ = normalStatus_;
    ++version_;
}

void StructureController::EnterModify() {
    if (Locked() || modifyMode_ || selectingLayer_) return;
    if (Samples()) {
        SamplesRefusal(false);
        return;
    }
    modifyMode_ = true;
    state_.Current.SectionTimeStamp = core::kNotAnalysedSerial;
    topTypeAtModifyStart_ =
        state_.Current.Layers.empty() ? core::Int16(0) : state_.Current.Layers.front().LayerType;
    status_ = JoinLines({"Modifying", "Structure"});
    ++version_;
}

bool StructureController::CheckStructure() {
    return design::CheckStructure(state_, ui_) == design::StructureStatus::Valid;
}

// ---- the drawing --------------------------------------------------------------------------

StructureLayout StructureController::Layout(const LayoutMetrics& metrics) const {
    PictureState picture;
    picture.selectedLayer = selectedLayer_;
    picture.designLayer = state_.Run.DesignLayer;
    picture.progress = core::MakeRunProgress(state_);
    return LayoutStructure(state_, picture, metrics);
}

ClickOutcome StructureController::Click(const StructureLayout& layout, double x, double y) {
    if (Locked()) return ClickOutcome::Done;
    const Hit hit = HitTest(layout, x, y);
    if (hit.marker) {
        const core::CurrentSectionRecord& s = state_.Current;
        const bool structure = !s.StructureDefined, life = s.DesignLife != 20;
        std::string text, title = "Non-Standard ";
        const std::string structureText =
            "The pavement structure includes an undefined layer." + std::string(core::NL);
        const std::string lifeText = "The section does not have a design life of " +
                                     core::FormatMask(20, "0") + " years." + std::string(core::NL);
        if (structure) text += structureText;
        if (structure && life) text += std::string(core::NL);
        if (life) text += lifeText;
        title += structure && life ? "Structure and Life" : structure ? "Structure" : "Life";
        core::ShowMessage(state_, ui_, text, core::Buttons::Ok, title);
        return ClickOutcome::Done;
    }
    if (!modifyMode_) return ClickOutcome::Done;
    selectedLayer_ = hit.layer;
    ++version_;
    if (selectingLayer_) {
        if (PickLayer(hit.layer)) return ClickOutcome::AddDeleteDialog;
        selectedLayer_ = 0;
        return ClickOutcome::Done;
    }
    if (hit.lifeBox) {
        EditLife();
        return ClickOutcome::Done;
    }
    if (hit.sciBox) {
        EditSci();
        return ClickOutcome::Done;
    }
    if (hit.cdfuBox) {
        EditCdfu();
        return ClickOutcome::Done;
    }
    if (hit.layer == 0) return ClickOutcome::Done;
    const int n = state_.Current.LayerCount();
    if (state_.Run.DesignLayer >= 2 && hit.layer >= 2 && hit.layer < n && hit.arrowColumn)
        state_.Run.DesignLayer = core::Int16(hit.layer);
    if (hit.materialLabel) return ClickOutcome::LayerTypeDialog;
    if (hit.thicknessColumn)
        EditThickness(hit.layer);
    else if (hit.modulusColumn)
        EditModulus(hit.layer);
    selectedLayer_ = 0;
    ++version_;
    return ClickOutcome::Done;
}

// ---- saving -----------------------------------------------------------------------------

bool StructureController::Save(Confirm confirm) {
    if (state_.CurrentSection < 1 || state_.CurrentSection > state_.SectionCount()) return false;
    if (confirm == Confirm::Ask) {
        const core::Answer answer = core::ShowMessage(
            state_, ui_,
            JoinLines({"Saving the structure for section",
                       state_.Current.SectionName + " in job " + state_.JobName + "."}),
            core::Buttons::OkCancel, "Saving a Structure", core::Answer::Cancel);
        if (answer != core::Answer::Ok) return false;
    }
    if (state_.DemoRunning) return false;
    core::StoreSection(state_);
    const bool written = core::WriteJob(state_, ui_);
    ++version_;
    return written;
}

bool StructureController::StructureChanged() const {
    if (state_.CurrentSection < 1 || state_.CurrentSection > state_.SectionCount()) return false;
    const core::Section& stored = state_.Slot(state_.CurrentSection);
    const core::CurrentSectionRecord& s = state_.Current;
    if (s.LayerCount() != stored.LayerCount() || s.DesignLife != stored.DesignLife ||
        s.SCI != stored.SCI || s.CDFU != stored.CDFU)
        return true;
    for (int i = 0; i < s.LayerCount(); ++i) {
        const core::SectionLayer& a = s.Layers[static_cast<std::size_t>(i)];
        const core::SectionLayer& b = stored.Layers[static_cast<std::size_t>(i)];
        const bool bottom = i == s.LayerCount() - 1;
        const std::string_view name = library::IsValidLayerType(b.LayerType)
                                          ? library::LayerTypeName(b.LayerType)
                                          : std::string_view{};
        const bool derivedModulus = name == "Ag Uncrushed" || name == "Ag Crushed";
        // Each field is compared on its own: differences of opposite sign must not cancel.
        if ((!bottom && a.LayerThickness != b.LayerThickness) ||
            (!derivedModulus && a.LayerModulus != b.LayerModulus) ||
            a.LayerFlexStrength != b.LayerFlexStrength || a.LayerType != b.LayerType)
            return true;
    }
    return false;
}

void StructureController::Reload() {
    const core::Section& stored = state_.Slot(state_.CurrentSection);
    core::CurrentSectionRecord& s = state_.Current;
    s.SectionTimeStamp = stored.SectionTimeStamp;
    s.AsphaltCDF = stored.AsphaltCDF;
    s.SCI = stored.SCI;
    s.CDFU = stored.CDFU;
    s.DesignLife = stored.DesignLife;
    s.Layers = stored.Layers;
    Changed();
}

core::Answer StructureController::PromptSaveStructure() {
    if (!StructureChanged()) return core::Answer::No;
    core::Answer answer = core::Answer::No;
    if (!state_.DemoRunning) {
        answer = core::ShowMessage(
            state_, ui_,
            JoinLines(
                {"The data for the current pavement structure has changed.", "",
                 "Do you want to save the new data in section " + state_.Current.SectionName + "?",
                 "", "All the changes will be lost if not saved."}),
            core::Buttons::YesNoCancel, "Saving Structure Data", core::Answer::Cancel);
    }
    if (answer == core::Answer::Cancel) return answer;
    if (answer == core::Answer::Yes && Samples()) {
        core::ShowMessage(
            state_, ui_,
            JoinLines({"Job Samples is part of the system.", "Changes cannot be saved."}),
            core::Buttons::Ok, "Saving Structure Data");
        Reload();
        return core::Answer::No;
    }
    if (answer == core::Answer::Yes) {
        // A failed write keeps the edits on screen rather than losing them.
        if (!Save(Confirm::No)) return core::Answer::Cancel;
        return answer;
    }
    Reload();
    return core::Answer::No;
}

// ---- the section list ---------------------------------------------------------------------

std::vector<std::string> StructureController::SectionLines() const {
    std::vector<std::string> lines;
    for (int i = 1; i <= state_.SectionCount(); ++i) lines.push_back(state_.Slot(i).SectionName);
    return lines;
}

int StructureController::SectionRow() const {
    return state_.SectionCount() == 0 ? -1 : state_.CurrentSection - 1;
}

bool StructureController::ListEnabled() const { return !Running() && !modifyMode_; }

bool StructureController::SelectSection(int row) {
    // A poll during a run must never swap the section under it; a batch moves on itself.
    if (state_.Run.DesignRunning || (inCommand_ && !batchRunning_)) return false;
    if (row < 0 || row >= state_.SectionCount()) return false;
    if (!batchMode_ && PromptSaveStructure() == core::Answer::Cancel) return false;
    state_.CurrentSection = core::Int16(row + 1);
    core::LoadSection(state_, ui_);
    selectedLayer_ = 0;
    Derive();
    ResetDesignLayer();
    ++version_;
    return true;
}

bool StructureController::Close() {
    if (Running()) {
        core::ShowMessage(
            state_, ui_,
            JoinLines({"The structure window should not be closed",
                       "while a design is in progress because Vorna", "may be left idle in memory.",
                       "", "Please wait for the design to finish or press",
                       "the Interrupt Design button before closing", "the window."}),
            core::Buttons::Ok, "Design in Progress");
        return false;
    }
    if (PromptSaveStructure() == core::Answer::Cancel) return false;
    modifyMode_ = false;
    selectingLayer_ = false;
    return true;
}

// ---- commands -----------------------------------------------------------------------------

void StructureController::SetBatchMode(bool on) {
    if (Locked()) return;
    batchMode_ = on;
    ++version_;
}

void StructureController::SaveCommand() {
    if (state_.Run.DesignRunning) {
        state_.Run.DesignRunning = false;  // Interrupt
        return;
    }
    if (Locked() || modifyMode_) return;
    Save(batchMode_ ? Confirm::No : Confirm::Ask);
}

void StructureController::DesignCommand() {
    if (Locked()) return;
    if (modifyMode_) {
        BeginAddDelete();
        return;
    }
    RunDesign(design::RunMode::Design);
}

void StructureController::StartTimer() {
    if (!batchContinuing_) marker_ = Marker::Start;
    timerOn_ = true;
}

void StructureController::StopTimer() {
    if (!batchRunning_) marker_ = Marker::Stop;
}

void StructureController::RunDesign(design::RunMode mode) {
    runStartMs_ = ui_.TickMs();
    lifeShown_ = false;
    inCommand_ = true;
    // A design highlights the layer it adjusts while it runs.
    Derive();
    selectedLayer_ = 0;
    if (mode == design::RunMode::Design)
        selectedLayer_ =
            state_.Current.PavementType == core::kNewFlexible ? state_.Run.DesignLayer : 1;
    StartTimer();
    design::RunOptions options;
    options.batchRunning = batchRunning_;
    // A command-line run in the same directory writes the same analysis files: the window
    // refuses rather than waits, so that it never freezes behind another program.
    core::FileLock runLock;
    design::RunResult result;
    result.status = design::RunStatus::Refused;
    if (core::LockRuns(state_, ui_, runLock, core::FileLock::Wait::NoWait)) {
        result = mode == design::RunMode::Life
                     ? design::RunLifeCommand(state_, ui_, options)
                     : design::RunDesignCommand(state_, ui_, mode, options);
    }
    inCommand_ = batchRunning_;
    selectedLayer_ = 0;
    const bool ran =
        result.status == design::RunStatus::Ran || result.status == design::RunStatus::RunError;
    elapsedSeconds_ = static_cast<double>(ui_.TickMs() - runStartMs_) / 1000.0;
    if (mode == design::RunMode::Life) lifeShown_ = true;
    if (ran) {
        lastRun_ = std::move(result);
        StopTimer();
    } else if (!batchContinuing_) {
        // Refused before the run began: nothing to time.
        marker_ = Marker::None;
        timerOn_ = batchRunning_;
    }
    Derive();
    ++version_;
}

void StructureController::LifeCommand() {
    if (Locked() || modifyMode_) return;
    if (!batchMode_ || design::OverloadAircraftOf(state_.Current) != 0) {
        RunDesign(design::RunMode::Life);
        return;
    }
    Batch();
}

void StructureController::Batch() {
    const int first = state_.CurrentSection;
    if (first < 1) return;
    batchContinuing_ = false;
    batchRunning_ = true;
    inCommand_ = true;
    for (int slot = first; slot <= state_.SectionCount(); ++slot) {
        SelectSection(slot - 1);
        RunDesign(design::RunMode::Design);
        if (core::IsNotAnalysed(state_.Current.SectionTimeStamp)) break;
        if (!Save(Confirm::No)) break;
        batchContinuing_ = true;
    }
    batchRunning_ = false;
    marker_ = Marker::Stop;
    ui_.ProcessPendingEvents();
    inCommand_ = false;
    batchContinuing_ = false;
    if (first <= state_.SectionCount()) SelectSection(first - 1);
    batchContinuing_ = false;
}

void StructureController::BackCalculate() {
    if (Locked() || modifyMode_ || state_.Current.LayerCount() < 2) return;
    core::FileLock runLock;
    if (!core::LockRuns(state_, ui_, runLock, core::FileLock::Wait::NoWait)) return;
    inCommand_ = true;
    core::PrepareAircraft(state_);
    state_.Run.SublayeringOn = true;
    state_.Run.LnCdf = 10000;  // far from convergence: sublayer counts follow thickness
    state_.Run.DesignRunning = true;
    analysis::AnalysisLayerList list;
    analysis::AnalysisInput input;
    std::optional<analysis::BackCalcResult> result;
    if (damage::CalculateAggregateModuli(state_, ui_, list).status == damage::AggregateStatus::Ok) {
        list.depths = {0};
        if (analysis::WriteVornaInput(state_, ui_, list, input) == analysis::VornaStatus::Written) {
            // Each trial subgrade modulus gives the aggregate layers resting on it the moduli
            // a life run would give them; the subgrade's own modulus is put back afterwards.
            const float subgrade = state_.Current.Layers.back().LayerModulus;
            analysis::BackCalcOptions options;
            options.bottomModulusChanged = [this](double modulus,
                                                  analysis::LeaStructure& structure) {
                state_.Current.Layers.back().LayerModulus = core::Single(modulus);
                analysis::AnalysisLayerList trial;
                if (damage::CalculateAggregateModuli(state_, ui_, trial).status !=
                    damage::AggregateStatus::Ok)
                    return;
                const analysis::LeaStructure updated =
                    analysis::BuildAnalysisInput(state_, trial).structure;
                if (updated.Layers == structure.Layers) structure.Modulus = updated.Modulus;
            };
            result = analysis::BackCalculateSubgrade(state_, ui_, input.structure, options);
            state_.Current.Layers.back().LayerModulus = subgrade;
            analysis::AnalysisLayerList restored;
            damage::CalculateAggregateModuli(state_, ui_, restored);
        }
    }
    state_.Run.DesignRunning = false;
    inCommand_ = false;
    if (result && result->outcome != analysis::BackCalcOutcome::BadInput &&
        result->outcome != analysis::BackCalcOutcome::AnalysisFault) {
        const core::UnitQuantity& e = state_.Units.modulus;
        std::string text = "Back-calculated subgrade modulus: " +
                           core::FormatMask(result->modulusPsi * e.factor, e.mask) + " " + e.label +
                           ".";
        text += std::string(core::NL) + "Newton steps: " + std::to_string(result->iterations) +
                "; RMS misfit of the basin: " + core::FormatMask(result->rmsMisfitMils, "0.00") +
                " mils.";
        if (result->outcome != analysis::BackCalcOutcome::Converged)
            text += std::string(core::NL) + std::string(core::NL) +
                    "The fit did not converge: " + result->reason;
        core::ShowMessage(state_, ui_, text, core::Buttons::Ok, "Back-Calculating the Subgrade");
    }
    Derive();
    ++version_;
}

void StructureController::TimerTick() {
    if (!timerOn_) return;
    const bool life = lifeShown_ || state_.Run.LifeMode;
    if (marker_ == Marker::Start) {
        if (!state_.Run.DesignRunning) return;  // still asking before the run
        marker_ = Marker::None;
        word_ = batchRunning_ ? "Batch Running" : life ? "Life Running" : "Design Running";
        startOfDay_ = ui_.NowDaySerial();
        lastElapsed_ = Hms(0);
        status_ = normalStatus_ = JoinLines({word_, lastElapsed_});
    } else if (marker_ == Marker::Stop) {
        marker_ = Marker::None;
        word_ = word_ == "Batch Running" ? "Batch Stopped"
                : life                   ? "Life Stopped"
                                         : "Design Stopped";
        status_ = normalStatus_ =
            JoinLines({word_, StopField(elapsedSeconds_) + ";" +
                                  StopField(state_.Run.AnalysisTimeMs / 1000.0)});
        timerOn_ = false;
    } else if (Running()) {
        const std::string text = Hms((ui_.NowDaySerial() - startOfDay_) * kSecondsPerDay);
        if (text != lastElapsed_) {
            lastElapsed_ = text;
            status_ = normalStatus_ = JoinLines({word_, text});
        }
    }
    ++version_;
}

// ---- what the window shows ----------------------------------------------------------------

std::string StructureController::Caption() const {
    const std::string where = state_.Current.SectionName + " in Job " + state_.JobName;
    if (state_.Run.DesignRunning)
        return (state_.Run.LifeMode ? "TAVRO - Life for Section " : "TAVRO - Designing Section ") +
               where;
    if (modifyMode_) return "TAVRO - Modifying Section " + where;
    return "TAVRO - Modify and Design Section " + where;
}

std::vector<CommandState> StructureController::Commands() const {
    const bool running = Running();
    const bool idle = !running && !modifyMode_;
    std::string save = "&Save Structure";
    if (state_.Run.DesignRunning)
        save = state_.Run.LifeMode ? "&Interrupt Life" : "&Interrupt Design";
    return {
        {"cmdModifyStr", modifyMode_ ? "&End Modify" : "&Modify Structure",
         !running && !selectingLayer_},
        {"cmdAddDelete", modifyMode_ ? "&Add/Delete Layer" : "&Design Structure",
         !running && !selectingLayer_},
        {"cmdSaveStr", save, state_.Run.DesignRunning || idle},
        {"cmdLife", batchMode_ ? "Ba&tch" : "&Life", idle},
        {"cmdAircraft", "&Aircraft", idle},
        {"cmdExit", "&Back", idle},
        {"cmdHelp", "&Help", !running},
    };
}

}  // namespace tavro::control
