// The constants of the built-in job "Samples": three complete example sections.
#pragma once

#include <span>
#include <string_view>

namespace tavro::library {

struct SampleLayer {
    int type;
    float thickness;  // in
};

struct SampleAircraft {
    std::string_view name;
    float grossLoad;  // lbs
    float annualDepartures;
    float annualGrowth;
};

struct SampleSection {
    std::string_view name;
    int designLife;
    std::span<const SampleLayer> layers;
    std::span<const SampleAircraft> aircraft;
};

// The three sample sections in slot order.
std::span<const SampleSection> SampleSections();

}  // namespace tavro::library
