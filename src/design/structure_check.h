// The structure rules: which layer sequences the design procedures can handle. The
// structure window checks them when modify mode ends and the run controller before a run.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/section.h"
#include "core/user_port.h"

namespace tavro::core {
struct ProgramState;
}

namespace tavro::design {

enum class StructureStatus { Valid, Invalid };

// The message explaining the first broken rule of a layer sequence (top first, subgrade
// last), lines separated by CR LF; nullopt when every rule holds. Only the short type
// names of the layers are looked at: codes sharing a short name behave alike. Never fails:
// a missing layer (fewer than two) counts as a layer with no name, and an invalid type code
// is taken as "Undefined".
std::optional<std::string> FindStructureViolation(const std::vector<core::SectionLayer>& layers);

// Checks the layers of the current section. Invalid: exactly one OK message titled
// "Checking the Structure" has been shown. Valid: nothing is shown. Changes nothing.
StructureStatus CheckStructure(const core::ProgramState& state, core::UserPort& ui);

}  // namespace tavro::design
