// The aircraft window's rules: adding from the library and the floating list, the grid
// edits with their limits and messages, the list limits and the closing checks.
#include "control/aircraft_controller.h"

#include <algorithm>
#include <cmath>

#include "control/aircraft_grid.h"
#include "core/job_file.h"
#include "core/messages.h"
#include "core/narrow.h"
#include "core/number_format.h"
#include "core/section_ops.h"

namespace tavro::control {

namespace {

using core::Answer;
using core::Buttons;
using core::JoinLines;

// Title of the messages that name none.
constexpr std::string_view kDefaultTitle = "TAVRO";
constexpr std::string_view kDeparturesTitle = "Changing Annual Departures";
constexpr std::string_view kGrowthTitle = "Changing Incremental Departures";

std::string PairNote(std::string_view name) {
    return std::string(core::NL) + std::string(core::NL) + "The wing and belly gear of the " +
           std::string(name) + std::string(core::NL) + "count as 2 aircraft for design.";
}

}  // namespace

AircraftController::AircraftController(core::ProgramState& state, core::UserPort& ui)
    : state_(state), ui_(ui) {}

void AircraftController::Open() {
    auto& memory = state_.AircraftWindow;
    const int groups = static_cast<int>(state_.Aircraft.groups.size());
    if (memory.SelectedGroup < 0 || memory.SelectedGroup >= groups) memory.SelectedGroup = 0;
    const int listed = static_cast<int>(LibraryIndices().size());
    if (memory.SelectedLibAircraft < 0 || memory.SelectedLibAircraft >= listed)
        memory.SelectedLibAircraft = 0;
    const int count = state_.Current.AircraftCount();
    selectedRow_ = count == 0 ? -1 : std::clamp(memory.SelectedRow - 1, 0, count - 1);
    Changed();
}

std::string AircraftController::Title() const {
    return "TAVRO - Create or Modify Aircraft for Section " + state_.Current.SectionName +
           " in Job " + state_.JobName;
}

// ---- lists ----------------------------------------------------------------------------

std::vector<std::string> AircraftController::GroupNames() const {
    std::vector<std::string> names;
    for (const auto& g : state_.Aircraft.groups) names.push_back(g.AcGroupName);
    return names;
}

void AircraftController::SelectGroup(int row) {
    if (row < 0 || row >= static_cast<int>(state_.Aircraft.groups.size())) return;
    if (row != state_.AircraftWindow.SelectedGroup) state_.AircraftWindow.SelectedLibAircraft = 0;
    state_.AircraftWindow.SelectedGroup = core::Int16(row);
}

std::vector<int> AircraftController::LibraryIndices() const {
    std::vector<int> indices;
    const auto& lib = state_.Aircraft;
    const int g = state_.AircraftWindow.SelectedGroup + 1;
    if (g < 1 || g > static_cast<int>(lib.groups.size())) return indices;
    const auto [first, last] = lib.GroupRange(g);
    for (int k = std::max(first, 1); k <= std::min(last, lib.AircraftLibCount()); ++k)
        if (lib.Entry(k).AcGearCode != "HB") indices.push_back(k);
    return indices;
}

std::vector<std::string> AircraftController::LibraryNames() const {
    std::vector<std::string> names;
    for (int k : LibraryIndices()) names.push_back(state_.Aircraft.Entry(k).AcName);
    return names;
}

void AircraftController::SelectLibAircraft(int row) {
    if (row >= 0 && row < static_cast<int>(LibraryIndices().size()))
        state_.AircraftWindow.SelectedLibAircraft = core::Int16(row);
}

std::vector<std::string> AircraftController::FloatNames() const {
    std::vector<std::string> names;
    for (const auto& a : state_.AircraftWindow.FloatingList) names.push_back(a.AircraftName);
    return names;
}

int AircraftController::RowCount() const { return std::max(1, state_.Current.AircraftCount()); }

void AircraftController::SelectRow(int row) { selectedRow_ = ValidRow(row) ? row : -1; }

bool AircraftController::ValidRow(int row) const {
    return row >= 0 && row < state_.Current.AircraftCount();
}

bool AircraftController::Locked() const { return state_.Run.DesignRunning; }

bool AircraftController::Editable() {
    if (Locked()) return false;
    return !RefuseInSamples(state_, ui_);
}

void AircraftController::Changed() { core::PrepareAircraft(state_); }

// ---- adding and removing ----------------------------------------------------------------

EditStatus AircraftController::Add() {
    const std::vector<int> indices = LibraryIndices();
    const int row = SelectedLibAircraft();
    if (row < 0 || row >= static_cast<int>(indices.size())) return EditStatus::Refused;
    return AddLibraryAircraft(indices[static_cast<std::size_t>(row)]);
}

void AircraftController::AppendAircraft(int libIndex, const core::DesignAircraft& values) {
    core::DesignAircraft a;
    a.AircraftLibIndex = core::Int16(libIndex);
    a.AircraftName = state_.Aircraft.Entry(libIndex).AcName;
    a.GrossLoad = values.GrossLoad;
    a.AnnualDepartures = values.AnnualDepartures;
    a.AnnualGrowth = values.AnnualGrowth;
    a.OverloadFlag = false;
    state_.Current.Aircraft.push_back(a);
}

EditStatus AircraftController::AddLibraryAircraft(int libIndex) {
    if (libIndex < 1 || libIndex > state_.Aircraft.AircraftLibCount()) return EditStatus::Refused;
    if (!Editable()) return EditStatus::Refused;
    const library::AircraftEntry& entry = state_.Aircraft.Entry(libIndex);
    const bool pair = entry.AcGearCode == "H";
    const int needed = state_.Current.AircraftCount() + (pair ? 1 : 0);
    if (needed >= core::kMaxAircraft) {
        std::string text = JoinLines(
            {"Cannot add this aircraft.", "", "The aircraft design list cannot",
             "contain more than " + core::FormatMask(core::kMaxAircraft, "0") + " aircraft."});
        if (pair) text += PairNote(entry.AcName);
        core::ShowMessage(state_, ui_, text, Buttons::Ok, "Too Many Aircraft");
        return EditStatus::Refused;
    }
    const auto withDefaults = [](const library::AircraftEntry& e) {
        core::DesignAircraft d;
        d.GrossLoad = e.AcGrossLoad;
        d.AnnualDepartures = kDefaultDepartures;
        d.AnnualGrowth = 0;
        return d;
    };
    AppendAircraft(libIndex, withDefaults(entry));
    if (pair) {
        const auto belly = library::FindAircraft(state_.Aircraft, entry.AcName + " Belly");
        if (belly && state_.Aircraft.Entry(*belly).AcGearCode == "HB") {
            // The pair moves together: the belly row carries the wing row's values.
            AppendAircraft(*belly, withDefaults(entry));
        } else {
            core::ShowMessage(state_, ui_, "Could not find belly gear data.", Buttons::Ok,
                              "Adding an Aircraft");
        }
    }
    Changed();
    return EditStatus::Done;
}

void AircraftController::RemoveOne(int row) {
    auto& list = state_.Current.Aircraft;
    list.erase(list.begin() + row);
}

EditStatus AircraftController::Remove() { return RemoveRow(selectedRow_); }

EditStatus AircraftController::RemoveRow(int row) {
    if (!Editable()) return EditStatus::Refused;
    if (!ValidRow(row)) {
        core::ShowMessage(state_, ui_, "An aircraft must be selected before removal.", Buttons::Ok,
                          "Removing Design Aircraft");
        return EditStatus::Refused;
    }
    const std::optional<int> partner = FindPartner(state_, row);
    RemoveOne(row);
    if (partner) RemoveOne(*partner > row ? *partner - 1 : *partner);
    const int count = state_.Current.AircraftCount();
    if (selectedRow_ >= count) selectedRow_ = count - 1;
    Changed();
    return EditStatus::Done;
}

EditStatus AircraftController::ClearList(Confirm confirm) {
    if (!Editable()) return EditStatus::Refused;
    const std::string text = JoinLines(
        {"All aircraft will be", "cleared from the design list.", "", "Do you want to do this?"});
    if (confirm == Confirm::Ask &&
        core::ShowMessage(state_, ui_, text, Buttons::YesNo, "Clearing the Design List",
                          Answer::No) != Answer::Yes)
        return EditStatus::Refused;
    state_.Current.Aircraft.clear();
    selectedRow_ = -1;
    Changed();
    return EditStatus::Done;
}

// ---- saving -------------------------------------------------------------------------------

EditStatus AircraftController::SaveList() {
    if (Locked()) return EditStatus::Refused;
    if (RefuseInSamples(state_, ui_)) return EditStatus::Refused;
    if (state_.Current.AircraftCount() == 0) {
        core::ShowMessage(state_, ui_, "There are no aircraft to save.", Buttons::Ok,
                          "Saving Aircraft");
        return EditStatus::Refused;
    }
    const std::string text =
        JoinLines({"Saving the aircraft list for section",
                   state_.Current.SectionName + " in job " + state_.JobName + "."});
    if (core::ShowMessage(state_, ui_, text, Buttons::OkCancel, "Saving Aircraft",
                          Answer::Cancel) != Answer::Ok)
        return EditStatus::Refused;
    if (state_.DemoRunning) return EditStatus::Refused;  // a demonstration saves nothing
    return StoreList(false) ? EditStatus::Done : EditStatus::Refused;
}

bool AircraftController::StoreList(bool flags) {
    if (state_.CurrentSection < 1 || state_.CurrentSection > state_.SectionCount()) return false;
    core::Section& stored = state_.Slot(state_.CurrentSection);
    const core::Section before = stored;
    const double stampBefore = state_.Current.SectionTimeStamp;
    const float cdfBefore = state_.Current.AsphaltCDF;

    state_.Current.SectionTimeStamp = core::kNotAnalysedSerial;
    state_.Current.AsphaltCDF = 0;
    stored.SectionTimeStamp = core::kNotAnalysedSerial;
    stored.AsphaltCDF = 0;
    stored.Aircraft.clear();
    for (std::size_t k = 0; k < state_.Current.Aircraft.size(); ++k) {
        const core::DesignAircraft& a = state_.Current.Aircraft[k];
        core::DesignAircraft s;
        s.AircraftName = a.AircraftName;
        s.GrossLoad = a.GrossLoad;
        s.AnnualDepartures = a.AnnualDepartures;
        s.AnnualGrowth = a.AnnualGrowth;
        // Save List leaves the stored marks where they were; closing with Yes stores them.
        s.OverloadFlag = flags ? a.OverloadFlag
                               : (k < before.Aircraft.size() && before.Aircraft[k].OverloadFlag);
        stored.Aircraft.push_back(s);
    }
    Changed();
    if (core::WriteJob(state_, ui_)) return true;
    // The file still holds the old list: so does the job table, and the window keeps the
    // edited list for another try.
    state_.Slot(state_.CurrentSection) = before;
    state_.Current.SectionTimeStamp = stampBefore;
    state_.Current.AsphaltCDF = cdfBefore;
    return false;
}

// ---- floating list ------------------------------------------------------------------------

void AircraftController::SaveToFloat() {
    if (Locked()) return;
    auto& floating = state_.AircraftWindow.FloatingList;
    if (state_.Current.AircraftCount() > 0) {
        floating.clear();
        for (const auto& a : state_.Current.Aircraft) {
            core::DesignAircraft f;
            f.AircraftLibIndex = a.AircraftLibIndex;
            f.AircraftName = a.AircraftName;
            f.GrossLoad = a.GrossLoad;
            f.AnnualDepartures = a.AnnualDepartures;
            f.AnnualGrowth = a.AnnualGrowth;
            floating.push_back(f);
        }
        return;
    }
    const std::string text =
        JoinLines({"There are no aircraft in the design", "list to save to the floating list.", "",
                   "Do you want to clear the floating list?"});
    if (core::ShowMessage(state_, ui_, text, Buttons::YesNo, "Saving to Float", Answer::No) ==
        Answer::Yes)
        floating.clear();
}

EditStatus AircraftController::AddFloat() {
    if (!Editable()) return EditStatus::Refused;
    const auto& floating = state_.AircraftWindow.FloatingList;
    if (floating.empty()) {
        core::ShowMessage(state_, ui_,
                          JoinLines({"There are no aircraft in", "the floating aircraft list."}),
                          Buttons::Ok, "Adding Float AIrcraft");
        return EditStatus::Refused;
    }
    int added = 0;
    for (const core::DesignAircraft& f : floating) {
        const int lib = f.AircraftLibIndex;
        if (lib < 1 || lib > state_.Aircraft.AircraftLibCount()) continue;
        const bool pair = state_.Aircraft.Entry(lib).AcGearCode == "H";
        const int count = state_.Current.AircraftCount();
        if ((count >= core::kMaxAircraft - 1 && pair) || count >= core::kMaxAircraft) {
            std::string text =
                JoinLines({"No more float aircraft can be added", "to the design list."});
            if (pair) text += PairNote(f.AircraftName);
            core::ShowMessage(state_, ui_, text, Buttons::Ok, "Adding from Float");
            break;
        }
        AppendAircraft(lib, f);
        ++added;
    }
    Changed();
    return added > 0 ? EditStatus::Done : EditStatus::Refused;
}

bool AircraftController::ViewGear() {
    if (Locked()) return false;
    if (state_.Current.AircraftCount() > 0) return true;
    core::ShowMessage(state_, ui_, "There are no aircraft to view.", Buttons::Ok, "");
    return false;
}

// ---- the grid ------------------------------------------------------------------------------

EditStatus AircraftController::ClickCell(int row, int col) {
    if (!ValidRow(row)) return EditStatus::Refused;
    selectedRow_ = row;
    if (col < kColGrossLoad || col > kColOverload) return EditStatus::Done;
    if (!Editable()) return EditStatus::Refused;
    if (col == kColOverload) return ApplyOverload(row);
    const std::string nl(core::NL);
    const std::string cancel = nl + nl + "Click Cancel at any time to retain the old value.";
    const core::DesignAircraft& a = state_.Current.Aircraft[static_cast<std::size_t>(row)];
    float value = 0;
    if (col == kColGrossLoad) {
        value = core::Single(a.GrossLoad * state_.Units.load.factor);
        const std::string prompt =
            GrossLoadPrompt(state_, row, nl + nl, GridWeightLabel(state_.Units));
        if (!core::PromptNumber(state_, ui_, prompt, "Changing Aircraft Gross Load", value))
            return EditStatus::Refused;
        return ApplyGrossLoad(row, value);
    }
    if (col == kColDepartures) {
        value = a.AnnualDepartures;
        const std::string prompt = "Enter a new value for annual departures in the range:" + nl +
                                   nl + core::FormatMask(0, "#,###,##0") + " to " +
                                   core::FormatMask(kMaxDepartures, "#,###,##0") + cancel;
        if (!core::PromptNumber(state_, ui_, prompt, kDeparturesTitle, value))
            return EditStatus::Refused;
        return ApplyDepartures(row, value);
    }
    value = core::Single(a.AnnualGrowth * 100.0);
    const std::string prompt =
        "Enter a new value for percent incremental annual departures in the range:" + nl + nl +
        core::FormatMask(-kMaxGrowth * 100, "#,##0.00") + " to " +
        core::FormatMask(kMaxGrowth * 100, "#,##0.00") + cancel;
    if (!core::PromptNumber(state_, ui_, prompt, kGrowthTitle, value)) return EditStatus::Refused;
    return ApplyGrowth(row, value);
}

EditStatus AircraftController::DoubleClickCell(int row, int col) {
    if (col != kColName || !ValidRow(row)) return EditStatus::Refused;
    selectedRow_ = row;
    return RemoveRow(row);
}

EditStatus AircraftController::SetGrossLoad(int row, double entered) {
    if (!ValidRow(row) || !Editable()) return EditStatus::Refused;
    return ApplyGrossLoad(row, entered);
}

EditStatus AircraftController::SetDepartures(int row, double entered) {
    if (!ValidRow(row) || !Editable()) return EditStatus::Refused;
    return ApplyDepartures(row, entered);
}

EditStatus AircraftController::SetGrowth(int row, double enteredPercent) {
    if (!ValidRow(row) || !Editable()) return EditStatus::Refused;
    return ApplyGrowth(row, enteredPercent);
}

EditStatus AircraftController::ToggleOverload(int row) {
    if (!ValidRow(row) || !Editable()) return EditStatus::Refused;
    return ApplyOverload(row);
}

EditStatus AircraftController::ClearOverload() {
    if (!Editable()) return EditStatus::Refused;
    for (auto& a : state_.Current.Aircraft) a.OverloadFlag = false;
    return EditStatus::Done;
}

core::DesignAircraft& AircraftController::RowRef(int row) {
    return state_.Current.Aircraft[static_cast<std::size_t>(row)];
}

EditStatus AircraftController::ApplyGrossLoad(int row, double entered) {
    const std::optional<int> partner = FindPartner(state_, row);
    RowRef(row).GrossLoad =
        CheckedGrossLoad(state_, ui_, DefaultGrossLoad(state_, row), entered, LoadLabel::Without);
    ApplyToPartner(state_, ui_, row, partner);
    Changed();
    return EditStatus::Done;
}

EditStatus AircraftController::ApplyDepartures(int row, double entered) {
    const std::optional<int> partner = FindPartner(state_, row);
    double departures = std::abs(entered);
    if (departures > kMaxDepartures) {
        const std::string text = core::JoinLines(
            {"Annual departures cannot be greater than " + core::FormatMask(kMaxDepartures, "0") +
                 ".",
             "", "Annual departures has been set to the",
             "default value of " + core::FormatMask(kDefaultDepartures, "0") + "."});
        core::ShowMessage(state_, ui_, text, Buttons::Ok, kDeparturesTitle);
        departures = kDefaultDepartures;
    }
    RowRef(row).AnnualDepartures = core::Single(departures);
    ApplyToPartner(state_, ui_, row, partner);
    Changed();
    return EditStatus::Done;
}

EditStatus AircraftController::ApplyGrowth(int row, double enteredPercent) {
    const std::optional<int> partner = FindPartner(state_, row);
    double growth = enteredPercent / 100;
    if (!(growth >= -kMaxGrowth && growth <= kMaxGrowth)) {
        const std::string text =
            core::JoinLines({"Percent incremental departures cannot be",
                             "outside the range " + core::FormatMask(-kMaxGrowth * 100, "0") +
                                 " to " + core::FormatMask(kMaxGrowth * 100, "#,##0") + ".",
                             "", "Incremental departures has been set to zero."});
        core::ShowMessage(state_, ui_, text, Buttons::Ok, kGrowthTitle);
        growth = 0;
    }
    RowRef(row).AnnualGrowth = core::Single(growth);
    ApplyToPartner(state_, ui_, row, partner);
    Changed();
    return EditStatus::Done;
}

EditStatus AircraftController::ApplyOverload(int row) {
    RowRef(row).OverloadFlag = !RowRef(row).OverloadFlag;
    const auto marked =
        std::count_if(state_.Current.Aircraft.begin(), state_.Current.Aircraft.end(),
                      [](const core::DesignAircraft& a) { return a.OverloadFlag; });
    if (marked < 2) {
        core::ShowMessage(state_, ui_,
                          "By Changing this column to TRUE the 'Annual Departures' will be used as "
                          "'Total Departures'",
                          Buttons::Ok, kDefaultTitle);
        Changed();
        return EditStatus::Done;
    }
    core::ShowMessage(state_, ui_, "There can only be one OVERLOAD Aircraft", Buttons::Ok,
                      kDefaultTitle);
    RowRef(row).OverloadFlag = false;
    return EditStatus::Refused;
}

// ---- closing -------------------------------------------------------------------------------

EditStatus AircraftController::CheckList() {
    const auto& list = state_.Current.Aircraft;
    const std::string title = "Setting Aircraft Data";
    if (list.empty()) {
        core::ShowMessage(
            state_, ui_,
            JoinLines({"There are no aircraft in the design list.", "",
                       "This is not a valid condition for", "the design procedure.", "",
                       "Please assign at least one aircraft", "to the list before exiting."}),
            Buttons::Ok, title);
        return EditStatus::Refused;
    }
    double total = 0;
    bool someZero = false;
    for (const auto& a : list) {
        total += a.AnnualDepartures;
        if (a.AnnualDepartures == 0) someZero = true;
    }
    if (total == 0) {
        core::ShowMessage(
            state_, ui_,
            JoinLines({"All of the aircraft have annual", "repetitions set to zero.", "",
                       "This is not a valid condition for", "the design procedure.", "",
                       "Please assign annual repetitions to at",
                       "least one of the aircraft before exiting."}),
            Buttons::Ok, title);
        return EditStatus::Refused;
    }
    if (someZero)
        core::ShowMessage(state_, ui_,
                          JoinLines({"WARNING:", "", "One or more of the aircraft have",
                                     "annual repetitions set to zero."}),
                          Buttons::Ok, title);
    return EditStatus::Done;
}

bool AircraftController::ListChanged() const {
    if (state_.CurrentSection < 1 || state_.CurrentSection > state_.SectionCount()) return false;
    const auto& stored = state_.Slot(state_.CurrentSection).Aircraft;
    const auto& list = state_.Current.Aircraft;
    if (stored.size() != list.size()) return true;
    for (std::size_t k = 0; k < list.size(); ++k) {
        // Each value on its own: a sum of differences can cancel out.
        const auto& a = list[k];
        const auto& s = stored[k];
        if (a.AircraftName != s.AircraftName || a.GrossLoad != s.GrossLoad ||
            a.AnnualDepartures != s.AnnualDepartures || a.AnnualGrowth != s.AnnualGrowth ||
            a.OverloadFlag != s.OverloadFlag)
            return true;
    }
    return false;
}

void AircraftController::ReloadStored() {
    const auto& stored = state_.Slot(state_.CurrentSection).Aircraft;
    auto& list = state_.Current.Aircraft;
    list.clear();
    for (const auto& s : stored) {
        core::DesignAircraft a = s;
        a.AircraftLibIndex =
            core::Int16(library::FindAircraft(state_.Aircraft, s.AircraftName).value_or(0));
        list.push_back(a);
    }
    Changed();
}

bool AircraftController::Close() {
    if (Locked()) return false;
    if (state_.DemoRunning) {
        // A demonstration saves nothing and asks nothing: its list is dropped.
        if (ListChanged()) ReloadStored();
        return true;
    }
    if (CheckList() == EditStatus::Refused) return false;
    if (ListChanged()) {
        const std::string text =
            JoinLines({"The data for the aircraft design list has changed.", "",
                       "Do you want to save the new data in job " + state_.JobName,
                       "section " + state_.Current.SectionName + "?", "",
                       "All the changes will be lost if not saved."});
        const Answer answer = core::ShowMessage(state_, ui_, text, Buttons::YesNoCancel,
                                                "Saving Aircraft Data", Answer::Cancel);
        if (answer == Answer::Cancel) return false;
        if (answer == Answer::Yes && !StoreList(true)) return false;
        if (answer == Answer::No) ReloadStored();
    }
    const int count = state_.Current.AircraftCount();
    state_.AircraftWindow.SelectedRow =
        core::Int16(selectedRow_ >= 0 && selectedRow_ < count ? selectedRow_ + 1 : 1);
    return true;
}

}  // namespace tavro::control
