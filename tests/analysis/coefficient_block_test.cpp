// The block solve of the layer coefficients is the single solve to the last bit, with the
// single solve's faults kept per lane.
#include <cstring>
#include <random>

#include <gtest/gtest.h>

#include "analysis/lane_width.h"

#include "analysis/layer_coefficients.h"
#include "analysis/numerical.h"
#include "reference/random_structures.h"

namespace tavro::analysis {
namespace {

TEST(CoefficientBlock, EveryLaneIsTheSingleSolveToTheLastBit) {
    for (const LaneWidth width : AvailableLaneWidths()) {
        ASSERT_TRUE(SetLaneWidth(width));
        std::mt19937_64 rng(13);
        const LaguerreRule& rule = StandardLaguerreRule();
        int compared = 0, underflowed = 0;
        for (int trial = 0; trial < 300; ++trial) {
            const int layers = 2 + static_cast<int>(rng() % 15);
            LayeredSystem s = test::RandomStructure(rng, layers);
            if (trial % 3 == 0) s.thickness[0] = 2 * s.thickness[1];  // the scaling shift
            const double scale = 0.5 + 40.0 * static_cast<double>(rng() % 1000) / 1000.0;
            const int first = 1 + static_cast<int>(rng() % static_cast<unsigned>(rule.count));
            const int count = 1 + static_cast<int>(rng() % kCoefficientLanes);
            double m[kCoefficientLanes] = {};
            for (int l = 0; l < count; ++l)
                m[l] = rule.node[std::min(first + 7 * l, rule.count)] / scale;
            const int layer = 1 + static_cast<int>(rng() % static_cast<unsigned>(layers));
            CoefficientBlock block;
            LayerCoefficientsBlock(s, m, count, layer, block);
            std::vector<double> c;
            for (int l = 0; l < count; ++l) {
                const CoefficientStatus single = LayerCoefficients(s, m[l], c);
                ASSERT_EQ(block.status[l], single) << "trial " << trial << " lane " << l;
                EXPECT_EQ(block.fault[l], nullptr);
                underflowed += single == CoefficientStatus::Underflow;
                // The same four coefficients to the last bit.
                ASSERT_EQ(
                    std::memcmp(block.abcd[l].data(), &c[4 * (layer - 1)], sizeof block.abcd[l]), 0)
                    << "trial " << trial << " lane " << l;
                ++compared;
            }
        }
        EXPECT_GT(compared, 1000);
        EXPECT_GT(underflowed, 0);  // the underflow lanes were exercised too
    }
    ResetLaneWidth();
}

TEST(CoefficientBlock, ASingularLaneCarriesItsFaultAndSparesTheOthers) {
    // A layer of zero modulus: the single solve throws; in a block only its lanes say so.
    std::mt19937_64 rng(5);
    LayeredSystem s = test::RandomStructure(rng, 3);
    s.modulus[3] = 0.0;
    std::vector<double> c;
    EXPECT_THROW(LayerCoefficients(s, 0.1, c), AnalysisError);
    const double m[2] = {0.1, 0.2};
    CoefficientBlock block;
    LayerCoefficientsBlock(s, m, 2, 1, block);
    EXPECT_TRUE(block.fault[0] && block.fault[1]);

    LayeredSystem good = test::RandomStructure(rng, 3);
    EXPECT_THROW(LayerCoefficientsBlock(good, m, 0, 1, block), AnalysisError);
    EXPECT_THROW(LayerCoefficientsBlock(good, m, kCoefficientLanes + 1, 1, block), AnalysisError);
    EXPECT_THROW(LayerCoefficientsBlock(good, m, 2, 4, block), AnalysisError);
}

}  // namespace
}  // namespace tavro::analysis
