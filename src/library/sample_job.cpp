// The three example sections of the built-in job "Samples", as constants. Moduli,
// strengths and condition values are not held here: the loader takes them from the
// layer library so the samples always agree with it.
#include "library/sample_job.h"

#include <array>

namespace tavro::library {

namespace {

constexpr int kSampleDesignLife = 20;  // years

// Layer codes: 1 Asphalt, 4 Subgrade, 6 Ag Crushed, 10 AC Overlay, 14 P-401 stabilized base.
constexpr std::array<SampleLayer, 3> kAcAggregateLayers{{{1, 4.5f}, {6, 10.0f}, {4, 0.0f}}};
constexpr std::array<SampleAircraft, 4> kAcAggregateAircraft{{
    {"Sabreliner 65", 24000, 25, 0},
    {"Citation 550B", 15000, 130, 0},
    {"King Air B100", 11500, 50, 0},
    {"Stationair 206", 3612, 125, 0},
}};

constexpr std::array<SampleLayer, 4> kAcOnFlexLayers{{{10, 2.0f}, {1, 3.0f}, {6, 6.0f}, {4, 0.0f}}};
constexpr std::array<SampleAircraft, 7> kAcOnFlexAircraft{{
    {"Falcon 50", 38800, 740, 0},
    {"Citation V", 16500, 3140, 0},
    {"Citation X", 36000, 50, 0},
    {"Super King Air B200", 12590, 520, 0},
    {"Hawker 800", 27520, 50, 0},
    {"Gulfstream G-II", 58500, 40, 0},
    {"Gulfstream G-IV", 58500, 30, 0},
}};

constexpr std::array<SampleLayer, 4> kNewFlexibleLayers{
    {{1, 2.0f}, {14, 2.0f}, {6, 8.0f}, {4, 0.0f}}};
constexpr std::array<SampleAircraft, 4> kNewFlexibleAircraft{{
    {"Citation VII", 23200, 10, 0},
    {"Learjet 35A/36A", 15000, 40, 0},
    {"DC-3", 25200, 10, 0},
    {"Falcon 2000", 35000, 20, 0},
}};

constexpr std::array<SampleSection, 3> kSampleSections{{
    {"ACAggregate", kSampleDesignLife, kAcAggregateLayers, kAcAggregateAircraft},
    {"AConFlex", kSampleDesignLife, kAcOnFlexLayers, kAcOnFlexAircraft},
    {"NewFlexible", kSampleDesignLife, kNewFlexibleLayers, kNewFlexibleAircraft},
}};

}  // namespace

std::span<const SampleSection> SampleSections() { return kSampleSections; }

}  // namespace tavro::library
