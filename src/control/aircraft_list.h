// Rules of the design aircraft list shared by the aircraft window, the gear view and the
// command line: the wing-and-belly pairs, the gross-load limits and the refusals.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/program_state.h"
#include "core/user_port.h"

namespace tavro::control {

// What an editing command did. Refused: a message said why and the list is unchanged.
enum class EditStatus { Done, Refused };

// Limits of a design aircraft's gross load around its library default D.
inline constexpr double kMinLoadFactor = 0.65;
inline constexpr double kMaxLoadFactor = 1.25;
inline constexpr float kDefaultDepartures = 1200;
inline constexpr float kMaxDepartures = 100000;
inline constexpr double kMaxGrowth = 0.1;  // a fraction per year, either sign

// Gear code of design aircraft `row` (0-based) of the current section ("" when its library
// index is not valid).
std::string_view GearCodeOf(const core::ProgramState& state, int row);

// The library default gross load of design aircraft `row`, lbs.
float DefaultGrossLoad(const core::ProgramState& state, int row);

// The other row of a wing-and-belly pair: for gear "H" the next row named name + " Belly",
// for "HB" the previous row named without " Belly", in both cases with the same gross load,
// annual departures and growth. nullopt for other gears and when there is none.
std::optional<int> FindPartner(const core::ProgramState& state, int row);

// After a change of `row` that a pair shares: gives the partner found before the change
// (when there is one) the values of `row`; otherwise the "Could not find the belly/wing
// gear." message.
void ApplyToPartner(core::ProgramState& state, core::UserPort& ui, int row,
                    std::optional<int> partner);

// True (after the refusal message) for the job "Samples", whose lists never change.
bool RefuseInSamples(const core::ProgramState& state, core::UserPort& ui);

// How a gross-load message shows the default: the value in the load mask, followed by
// " " + unit label in the gear view.
enum class LoadLabel { Without, With };

// The gross load (lbs) an entry of `entered` (display units, sign ignored) gives an aircraft
// whose library default is `defaultLbs`: the default with its message when it is outside 0.65..1.25
// of the default. An entry that shows as a limit in the display mask is that limit, so that the
// limits the prompt shows are accepted in every unit.
float CheckedGrossLoad(const core::ProgramState& state, core::UserPort& ui, double defaultLbs,
                       double entered, LoadLabel label);

// The gross-load prompt: default, range and how to cancel. `rangeBreak` separates
// "Enter a new value in the range:" from the range (a blank line in the aircraft window, a
// line break in the gear view); `unit` is the label shown.
std::string GrossLoadPrompt(const core::ProgramState& state, int row, std::string_view rangeBreak,
                            std::string_view unit);

// A stored gross load in display units and the load mask.
std::string ShownLoad(const core::ProgramState& state, double lbs);

}  // namespace tavro::control
