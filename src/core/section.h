// The section record, the job table and the current section: the in-memory model that
// every other module reads and writes. The job file is a direct image of the job table.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/day_serial.h"

namespace tavro::core {

inline constexpr int kMaxSections = 100;
inline constexpr int kMaxLayers = 16;
inline constexpr int kMaxAircraft = 20;
inline constexpr int kShownNameLength = 12;

struct SectionLayer {
    float LayerThickness = 0;     // in; the subgrade (last layer) is always 0
    float LayerModulus = 0;       // psi
    float LayerFlexStrength = 0;  // psi; > 0 only for concrete layers
    std::int16_t LayerType = 0;   // 0..17, see the layer material library

    bool operator==(const SectionLayer&) const = default;
};

struct DesignAircraft {
    std::string AircraftName;  // key into the aircraft library
    float GrossLoad = 0;       // lbs
    float AnnualDepartures = 0;
    float AnnualGrowth = 0;  // fraction per year
    bool OverloadFlag = false;
    // Derived for the current section only (zero in the job table):
    std::int16_t AircraftLibIndex = 0;  // 1-based library entry, 0 = none
    float ContactWidth = 0;             // in
    float ContactLength = 0;            // in
    float TotalDepartures = 0;          // over DesignLife

    bool operator==(const DesignAircraft&) const = default;
};

struct Section {
    std::string SectionName;
    double SectionTimeStamp = kNotAnalysedSerial;  // day serial of the last run
    float AsphaltCDF = 0;                          // -1: not computed
    std::int16_t DesignLife = 20;                  // years
    float SCI = 0;
    float CDFU = 0;
    std::vector<SectionLayer> Layers;      // LayerCount = Layers.size(), 1..16
    std::vector<DesignAircraft> Aircraft;  // AircraftCount = Aircraft.size(), 0..20

    int LayerCount() const { return static_cast<int>(Layers.size()); }
    int AircraftCount() const { return static_cast<int>(Aircraft.size()); }

    // Field by field: a save tells the sections it changed from those it left alone.
    bool operator==(const Section&) const = default;
};

// Pavement type codes derived from the two top layers.
enum PavementTypeCode : std::int16_t {
    kPavementNone = 0,
    kNewFlexible = 1,
    kAcOnFlexible = 2,
    kPccOnFlexible = 3,
    kNewRigid = 10,
    kUnbondedOnRigid = 11,
    kPartBondedOnRigid = 12,
    kAcOnRigid = 13,
};

// The working copy of one section with the values derived when it is loaded.
struct CurrentSectionRecord : Section {
    std::int16_t PavementType = kPavementNone;
    bool ExistingPavement = false;
    bool StructureDefined = true;
    bool HasB777 = false;
    bool MixedTraffic = false;
};

}  // namespace tavro::core
