// What a design or life run reports at each redraw point: one value the windows draw as
// the progress line and the command line prints. Progress flows one way; a front end
// cannot change the run through it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/section.h"
#include "core/units.h"

namespace tavro::core {

struct ProgramState;

struct RunProgress {
    bool running = false;  // false: the line shows the total thickness only
    bool lifeMode = false;
    int iteration = 0;
    std::int16_t pavementType = kPavementNone;
    bool existingPavement = false;
    float progressCdf = 0;  // subgrade CDF (flexible) or PCC CDF (rigid)
    float asphaltCdf = 0;
    bool computingAsphalt = false;  // the asphalt CDF of an overlay is being computed
    bool asphaltCdfShown = false;
    bool sublayersShown = false;       // the structure has aggregate layers that may be sublayered
    bool useSublayers = false;         // they are sublayered now
    float structureLife = 0;           // years, life runs
    float existingLife = 0;            // years, overlays on existing pavements
    float cdfuShown = 0;               // percent, rigid life runs
    float thicknessIn = 0;             // t, to the top of the subgrade (in)
    std::vector<SectionLayer> layers;  // the structure as it stands
};

// The values a run shows besides the iteration count and the structure; reset at the
// start of every run and set by the procedures where they redraw.
struct RunDisplay {
    float ProgressCDF = 0;
    float ACCDF = 0;
    bool ComputingAC = false;
    bool ACCDFShown = false;
    float StructureLife = 0;
    float ExistingLife = 0;
    float CDFUShown = 0;
};

// Thickness to the top of the subgrade (in): the layers above the bottom one, less the
// layer directly above it when the bottom layer is stiff enough to be a slab base
// (modulus at least 1,000,000 psi).
double ThicknessToSubgrade(const std::vector<SectionLayer>& layers);

// The progress of the current run as it stands in the program state.
RunProgress MakeRunProgress(const ProgramState& state);

// Reports the current progress through the user port (the redraw points of the runs).
class UserPort;
void ReportProgress(const ProgramState& state, UserPort& ui);

// The progress line drawn under the structure, in the display units.
std::string ProgressLine(const RunProgress& progress, const UnitSet& units);

}  // namespace tavro::core
