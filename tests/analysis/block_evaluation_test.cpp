// The block evaluation of a depth against the node-by-node reference on random structures,
// gears, kinds and depths: the same converged nodes and every value within 1e-7.
#include <algorithm>
#include <cmath>
#include <random>

#include <gtest/gtest.h>

#include "analysis/lane_width.h"

#include "analysis/responses.h"
#include "reference/random_structures.h"
#include "reference/scalar_responses.h"
#include "support/fake_user_port.h"

namespace tavro::analysis {
namespace {

// The Bessel fits' trigonometry differs in the last digits, which the sums carry along.
constexpr double kSameResponse = 1e-7;
// Smaller parts of their aircraft's largest value are cancellation noise in both.
constexpr double kNoiseFloor = 1e-9;

double DepthOf(std::mt19937_64& rng, const LayeredSystem& s, int& layer) {
    const int n = s.layerCount;
    layer = 1 + static_cast<int>(rng() % static_cast<unsigned>(n));
    const double top = s.bottomDepth[static_cast<std::size_t>(layer - 1)];
    const double h = layer < n ? s.thickness[static_cast<std::size_t>(layer)] : 20.0;
    // Top, bottom (L1 = L2), upper part (the shift in layer 1) and lower part of the layer.
    const double offsets[] = {0, layer < n ? h : 3.7, 0.25 * h, 0.8 * h};
    return top + offsets[rng() % 4];
}

// Mirrored tires repeat distances, which the evaluation works once each.
GearLoads Mirrored(GearLoads g, bool roundDistances) {
    const auto tires = static_cast<std::size_t>(g.TireCount());
    for (std::size_t t = 0; t < tires; ++t) {
        g.tireLoad.push_back(g.tireLoad[t]);
        g.tirePressure.push_back(g.tirePressure[t]);
        g.tireRadius.push_back(g.tireRadius[t]);
        g.tireX.push_back(-g.tireX[t]);
        g.tireY.push_back(g.tireY[t]);
    }
    g.distance.clear();
    for (std::size_t t = 0; t < 2 * tires; ++t) {
        std::vector<double>& row = g.distance.emplace_back();
        for (std::size_t p = 0; p < g.pointX.size(); ++p) {
            const double d = std::hypot(g.pointX[p] - g.tireX[t], g.pointY[p] - g.tireY[t]);
            row.push_back(roundDistances ? std::round(d) : d);
        }
    }
    return g;
}

TEST(BlockEvaluation, MatchesTheNodeByNodeEvaluationOnRandomStructures) {
    for (const LaneWidth width : AvailableLaneWidths()) {
        ASSERT_TRUE(SetLaneWidth(width));
        std::mt19937_64 rng(2026);
        const ResponseKind kinds[] = {ResponseKind::VerticalStrain, ResponseKind::HorizontalStress,
                                      ResponseKind::VerticalDeflection,
                                      ResponseKind::HorizontalStrain};
        int compared = 0;
        for (int trial = 0; trial < 400; ++trial) {
            LayeredSystem s = test::RandomStructure(rng, 2 + static_cast<int>(rng() % 9));
            std::vector<GearLoads> gears;
            const int aircraft = 1 + static_cast<int>(rng() % 4);
            for (int a = 0; a < aircraft; ++a) {
                GearLoads g = test::RandomGear(rng, "AC" + std::to_string(a));
                // Every third depth has symmetric gears, half of them with round distances.
                gears.push_back(trial % 3 == 0 ? Mirrored(g, trial % 2 == 0) : g);
            }
            int layer = 0;
            const double depth = DepthOf(rng, s, layer);
            const ResponseKind kind = kinds[trial % 4];

            test::FakeUserPort ui;
            AnalysisOutput block, scalar;
            LayeredSystem s1 = s, s2 = s;
            EvaluateDepth(kind, s1, StandardLaguerreRule(), gears, layer, depth, block, ui);
            reference::EvaluateDepthScalar(kind, s2, StandardLaguerreRule(), gears, layer, depth,
                                           scalar, ui);

            ASSERT_EQ(block.rows.size(), 1u);
            EXPECT_EQ(block.rows[0].convergedAt, scalar.rows[0].convergedAt) << "trial " << trial;
            for (std::size_t ac = 0; ac < gears.size(); ++ac) {
                const auto& bv = block.pointValues[ac];
                const auto& sv = scalar.pointValues[ac];
                ASSERT_EQ(bv.size(), sv.size());
                double size = 0;
                for (const double v : sv) size = std::max(size, std::abs(v));
                for (std::size_t p = 0; p < sv.size(); ++p) {
                    const double scale = std::max(std::abs(sv[p]), kNoiseFloor * size);
                    EXPECT_LE(scale > 0 ? std::abs(bv[p] - sv[p]) / scale : std::abs(bv[p]),
                              kSameResponse)
                        << "trial " << trial << " aircraft " << ac << " point " << p;
                    ++compared;
                }
                const double keptScale =
                    std::max(std::abs(scalar.rows[0].kept[ac]), kNoiseFloor * size);
                EXPECT_LE(std::abs(block.rows[0].kept[ac] - scalar.rows[0].kept[ac]),
                          kSameResponse * keptScale)
                    << "trial " << trial;
            }
        }
        EXPECT_GT(compared, 1500);
    }
    ResetLaneWidth();
}

// An evaluation started from an event poll leaves the outer one's sums alone.
TEST(BlockEvaluation, AnEvaluationInsideAPollDoesNotDisturbTheOuterOne) {
    std::mt19937_64 rng(5);
    const LayeredSystem s = test::RandomStructure(rng, 4);
    const std::vector<GearLoads> gears = {Mirrored(test::RandomGear(rng, "OUTER"), false)};
    const LayeredSystem other = test::RandomStructure(rng, 3);
    const std::vector<GearLoads> otherGears = {test::RandomGear(rng, "INNER"),
                                               test::RandomGear(rng, "INNER2")};
    for (const ResponseKind kind : {ResponseKind::VerticalStrain, ResponseKind::HorizontalStress}) {
        auto evaluate = [kind](LayeredSystem sys, const std::vector<GearLoads>& g, int layer,
                               double depth, test::FakeUserPort& ui) {
            AnalysisOutput out;
            EvaluateDepth(kind, sys, StandardLaguerreRule(), g, layer, depth, out, ui);
            return out;
        };
        test::FakeUserPort quiet, nested;
        const AnalysisOutput alone = evaluate(s, gears, 2, s.bottomDepth[1] + 1.0, quiet);
        nested.onPoll = [&](int poll) {
            test::FakeUserPort inner;
            if (poll % 5 == 1) evaluate(other, otherGears, 3, other.bottomDepth[2], inner);
        };
        const AnalysisOutput outer = evaluate(s, gears, 2, s.bottomDepth[1] + 1.0, nested);
        EXPECT_GT(nested.eventPolls, 5);
        EXPECT_EQ(outer.rows[0].convergedAt, alone.rows[0].convergedAt);
        EXPECT_EQ(outer.pointValues, alone.pointValues);
    }
}

}  // namespace
}  // namespace tavro::analysis
