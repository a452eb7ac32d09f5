// What the aircraft window does, without any widget: the group, library and floating lists,
// the design grid's clicks and the commands, all through the user port. The window shows
// what this controller holds and forwards clicks; the command line drives the same rules.
#pragma once

#include <string>
#include <vector>

#include "control/aircraft_list.h"
#include "core/program_state.h"
#include "core/user_port.h"

namespace tavro::control {

class AircraftController {
public:
    AircraftController(core::ProgramState& state, core::UserPort& ui);

    // Opens on the current section: the group, library aircraft and grid row of the last
    // closing are selected again; the derived values are recomputed.
    void Open();
    std::string Title() const;

    // ---- lists (0-based rows) -----------------------------------------------------
    std::vector<std::string> GroupNames() const;
    int SelectedGroup() const { return state_.AircraftWindow.SelectedGroup; }
    void SelectGroup(int row);
    // Names of the selected group's aircraft (belly entries are never offered).
    std::vector<std::string> LibraryNames() const;
    int SelectedLibAircraft() const { return state_.AircraftWindow.SelectedLibAircraft; }
    void SelectLibAircraft(int row);
    std::vector<std::string> FloatNames() const;
    // Grid rows shown: one per design aircraft, and one blank row for an empty list.
    int RowCount() const;
    int SelectedRow() const { return selectedRow_; }  // -1: no data row selected
    void SelectRow(int row);

    // ---- commands -------------------------------------------------------------------
    EditStatus Add();                             // cmdAdd, and a double click in the library list
    EditStatus AddLibraryAircraft(int libIndex);  // 1-based library entry
    EditStatus Remove();                          // cmdRemove: the selected row
    EditStatus RemoveRow(int row);
    // Whether a command still asks before it acts (the command line's operation is itself
    // the confirmation).
    enum class Confirm { Ask, Given };
    EditStatus ClearList(Confirm confirm = Confirm::Ask);
    EditStatus SaveList();  // asks first, then writes the job file
    void SaveToFloat();
    EditStatus AddFloat();
    // cmdParameters: true when the gear view may open (there are aircraft).
    bool ViewGear();
    // Back and the close box: the closing checks in order and the changed-list prompt.
    // false keeps the window open.
    bool Close();

    // ---- the grid -------------------------------------------------------------------
    // A single click on a cell: columns 1 to 4 of a data row are edited (prompt, limits,
    // messages); other cells only select the row.
    EditStatus ClickCell(int row, int col);
    // A double click on the name of a data row removes that aircraft.
    EditStatus DoubleClickCell(int row, int col);
    // What the prompts of columns 1 to 3 do with an entry (display units, growth in
    // percent), and the toggle of column 4.
    EditStatus SetGrossLoad(int row, double entered);
    EditStatus SetDepartures(int row, double entered);
    EditStatus SetGrowth(int row, double enteredPercent);
    EditStatus ToggleOverload(int row);
    // Unmarks every overload aircraft.
    EditStatus ClearOverload();

    // ---- closing, for the window and the command line -------------------------------
    // Steps 1 to 3 of closing: no aircraft and no departures at all refuse (message);
    // some zero departures only warn.
    EditStatus CheckList();
    // The list differs from the section's stored entry (names, values or overload flags).
    bool ListChanged() const;
    // Stores the list into the section (and its overload flags when `flags`), marks the
    // section not analysed and writes the job file. false when the file could not be
    // written: the section's stored entry is then as before.
    bool StoreList(bool flags);

private:
    bool Locked() const;  // a design or life run is active
    bool Editable();      // not locked and not "Samples" (refusal shown)
    bool ValidRow(int row) const;
    void AppendAircraft(int libIndex, const core::DesignAircraft& values);
    void RemoveOne(int row);
    void Changed();       // derived values after every change
    void ReloadStored();  // the section's stored list back into the working copy
    core::DesignAircraft& RowRef(int row);
    EditStatus ApplyGrossLoad(int row, double entered);
    EditStatus ApplyDepartures(int row, double entered);
    EditStatus ApplyGrowth(int row, double enteredPercent);
    EditStatus ApplyOverload(int row);
    // Library indices (1-based) of the selected group's aircraft, as listed.
    std::vector<int> LibraryIndices() const;

    core::ProgramState& state_;
    core::UserPort& ui_;
    int selectedRow_ = -1;
};

}  // namespace tavro::control
