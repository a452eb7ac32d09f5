// Hand-written result files of stress runs and the rigid designs that read them.
#pragma once

#include <string>
#include <vector>

#include "core/program_state.h"

namespace tavro::damage::stress_run {

inline const std::string kHeader =
    " Number of Pavements\r\n"
    "           1\r\n"
    "Number; of; Thickness & Modulii; Variations, ACs And RConcrete\r\n"
    "  1  1  1    .00\r\n"
    "           Gross   Layer              E         Horizontal    Iterations\r\n"
    " AC        Load     No.   Depth    Modulus        Stress      to Converge\r\n";

inline std::string Line(const std::string& stress, int layer = 1) {
    return "Test gear         60000.0  " + std::to_string(layer) + " 12.00000    .40000000E+07 " +
           stress + "\r\n";
}

// `aircraft` single wheels (10 in wide, gear code "Q", 1000 departures) in a running design.
inline core::ProgramState Design(const std::string& dir, std::vector<core::SectionLayer> layers,
                                 int aircraft) {
    core::ProgramState state;
    state.ProgramDir = dir;
    state.Current.Layers = std::move(layers);
    state.Aircraft.entries.resize(1);
    library::AircraftEntry& e = state.Aircraft.entries[0];
    e.AcGearCode = "Q";
    e.AcGearConfig = e.AcWheelCount = 1;
    state.Current.Aircraft.resize(static_cast<std::size_t>(aircraft));
    for (core::DesignAircraft& a : state.Current.Aircraft) {
        a.AircraftLibIndex = 1;
        a.ContactWidth = 10;
        a.TotalDepartures = 1000;
    }
    state.Run.DesignRunning = true;
    return state;
}

}  // namespace tavro::damage::stress_run
