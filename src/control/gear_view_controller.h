// What the gear view does, without any widget: one design aircraft of the current section
// at a time, its load figures in display units, its gear plan, and the change of its gross
// load within the limits around the library default.
#pragma once

#include <string>
#include <vector>

#include "control/aircraft_list.h"
#include "core/program_state.h"
#include "core/user_port.h"
#include "library/gear_plan.h"

namespace tavro::control {

class GearViewController {
public:
    // Shows design aircraft `row` (0-based; the aircraft window's selection).
    GearViewController(core::ProgramState& state, core::UserPort& ui, int row);

    std::string Title() const;
    std::string ListCaption() const;  // section name + " a/c"
    std::vector<std::string> AircraftNames() const;
    int Selected() const { return selected_; }
    // Shows another design aircraft: a stored gross load outside the limits is replaced by
    // the default, with its message.
    void Select(int row);

    std::string GrossLoadText() const;     // gross load in the load unit
    std::string PercentText() const;       // % of the gross weight on one main gear
    std::string TirePressureText() const;  // in the pressure unit
    // The main gears of the aircraft shown, in inches; empty when there is none.
    library::GearPlan Plan() const;

    // A click on the gross-load value or its title: prompt, limits, the pair rule.
    EditStatus ChangeGrossLoad();
    // What the prompt does with an entry in display units.
    EditStatus SetGrossLoad(double entered);

private:
    bool Valid() const;
    const library::AircraftEntry* Entry() const;
    void CheckGrossLoad();

    core::ProgramState& state_;
    core::UserPort& ui_;
    int selected_ = -1;
};

}  // namespace tavro::control
