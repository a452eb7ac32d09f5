// Random layered structures and gears for comparing the block evaluation with the
// node-by-node reference: 2 to 16 layers over the whole range of thicknesses, moduli,
// Poisson's ratios and bonds the program accepts.
#pragma once

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "analysis/lea_types.h"

namespace tavro::test {

inline analysis::LayeredSystem RandomStructure(std::mt19937_64& rng, int layers) {
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    analysis::LayeredSystem s;
    s.layerCount = layers;
    const auto size = static_cast<std::size_t>(layers + 1);
    s.thickness.assign(size, 0.0);
    s.bottomDepth.assign(size, 0.0);
    s.modulus.assign(size, 0.0);
    s.poisson.assign(size, 0.0);
    s.bond.assign(size, 1.0);
    for (int i = 1; i <= layers; ++i) {
        const auto k = static_cast<std::size_t>(i);
        s.thickness[k] = i < layers ? 0.5 + 20 * unit(rng) * unit(rng) : 0.0;
        s.modulus[k] = std::exp(std::log(1000.0) + unit(rng) * std::log(5000.0));  // 1e3..5e6
        s.poisson[k] = 0.15 + 0.3 * unit(rng);
        const double pick = unit(rng);
        s.bond[k] = pick < 0.6 ? 1.0 : pick < 0.7 ? 0.01 : pick < 0.8 ? 0.1 : 0.01 + unit(rng);
        if (s.bond[k] > 1) s.bond[k] = 1;
    }
    s.thickness[size - 1] = s.thickness[size - 2];
    for (int i = 1; i < layers; ++i) {
        s.bottomDepth[static_cast<std::size_t>(i)] =
            s.bottomDepth[static_cast<std::size_t>(i - 1)] +
            s.thickness[static_cast<std::size_t>(i)];
    }
    return s;
}

// A gear of 1 to 8 tires and 1 to 6 points, one of them sometimes under a tire centre.
inline analysis::GearLoads RandomGear(std::mt19937_64& rng, const std::string& name) {
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    analysis::GearLoads g;
    g.name = name;
    g.grossLoad = 2000 + 100000 * unit(rng);
    const int tires = 1 + static_cast<int>(rng() % 8);
    const int points = 1 + static_cast<int>(rng() % 6);
    const double pressure = 50 + 200 * unit(rng);
    const double tireLoad = g.grossLoad * 0.475 / tires;
    for (int t = 0; t < tires; ++t) {
        g.tireLoad.push_back(tireLoad);
        g.tirePressure.push_back(pressure);
        g.tireRadius.push_back(std::sqrt(tireLoad / pressure / 3.14159265359));
        g.tireX.push_back(t == 0 ? 0.0 : 60 * unit(rng));
        g.tireY.push_back(t == 0 ? 0.0 : 60 * unit(rng));
    }
    for (int p = 0; p < points; ++p) {
        const bool onTire = p == 0 && unit(rng) < 0.5;
        g.pointX.push_back(onTire ? 0.0 : 40 * unit(rng));
        g.pointY.push_back(onTire ? 0.0 : 40 * unit(rng));
    }
    for (int t = 0; t < tires; ++t) {
        std::vector<double> row;
        for (int p = 0; p < points; ++p) {
            row.push_back(std::hypot(
                g.pointX[static_cast<std::size_t>(p)] - g.tireX[static_cast<std::size_t>(t)],
                g.pointY[static_cast<std::size_t>(p)] - g.tireY[static_cast<std::size_t>(t)]));
        }
        g.distance.push_back(row);
    }
    return g;
}

}  // namespace tavro::test
