// The built-in aircraft library: 76 aircraft in 14 groups with the geometry of their
// main gear (tires, evaluation points, wheels across the pavement), and the per-aircraft
// derivations that every analysis needs (tire contact size, total departures).
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavro::library {

inline constexpr int kMaxLibraryEntries = 105;
inline constexpr int kMaxGearTires = 16;
inline constexpr int kMaxGearPoints = 16;
inline constexpr int kMaxWheels = 12;
inline constexpr int kBuiltInAircraftCount = 76;
inline constexpr int kAircraftGroupCount = 14;

struct AircraftEntry {
    std::string AcName;
    float AcGrossLoad = 0;     // lbs
    float AcGearShare = 0;     // fraction of the gross weight on one main gear
    float AcTirePressure = 0;  // psi
    std::string AcGearCode;    // "B", "D", "E", "H", "HB", "N"
    std::int16_t AcGearConfig = 0;
    float AcS1 = 0, AcS2 = 0, AcS3 = 0;  // in
    float AcTandem = 0;                  // in
    std::int16_t AcTireCount = 0;
    std::array<float, kMaxGearTires> AcTireX{}, AcTireY{};  // 0-based: tire t at [t-1]
    std::int16_t AcPointCount = 0;
    std::array<float, kMaxGearPoints> AcPointX{}, AcPointY{};
    std::int16_t AcWheelCount = 0;
    std::array<float, kMaxWheels> AcWheelY{};
};

struct AircraftGroup {
    std::string AcGroupName;
    int AcGroupStart = 0;  // 1-based index of the group's first entry
};

// The library as held by the program. Entries are 1-based in every interface:
// entry k is entries[k - 1].
struct AircraftLibrary {
    std::vector<AircraftEntry> entries;  // AircraftLibCount = entries.size()
    std::vector<AircraftGroup> groups;   // AcGroupCount = groups.size()

    int AircraftLibCount() const { return static_cast<int>(entries.size()); }
    // Entry by 1-based index; aborts on an index outside 1..AircraftLibCount.
    const AircraftEntry& Entry(int index) const;
    // 1-based entry range of group g (1-based): first and last index.
    std::pair<int, int> GroupRange(int g) const;
};

// Builds groups 1..14 and entries 1..76 with their derived gear geometry.
AircraftLibrary BuildAircraftLibrary();

// The first entry 1..AircraftLibCount whose name equals `name` exactly, or nullopt.
std::optional<int> FindAircraft(const AircraftLibrary& library, std::string_view name);

// Tire contact of one tire: width W = 2*sqrt(A/5.026544), length 1.6*W, in inches, with
// A = gearShare*grossLoad/tireCount/tirePressure. Rounded to single precision.
struct ContactSize {
    float width = 0;
    float length = 0;
};
ContactSize ComputeContactSize(const AircraftEntry& entry, float grossLoad);

// Departures over t years with annual departures a and growth b (fraction):
// N = a*t*(1 + b*t/2), with t cut to -1/b when 1 + b*t < 0. Single precision result.
float ComputeTotalDepartures(float a, float b, double t);

}  // namespace tavro::library
