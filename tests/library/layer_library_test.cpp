#include "library/layer_library.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <tuple>
#include <vector>

namespace tavro::library {
namespace {

TEST(LayerLibrary, ValidCodesAreZeroToSeventeenAndConcreteIsTheFourPccCodes) {
    for (int code = -1; code <= kLayerTypeCount; ++code) {
        EXPECT_EQ(IsValidLayerType(code), code >= 0 && code <= 17) << "code " << code;
        const bool pcc = code == 5 || code == 11 || code == 12 || code == 13;
        EXPECT_EQ(IsPccLayer(code), pcc) << "code " << code;
    }
    // Stabilized bases share their family's short name.
    for (int code : {7, 15, 16, 17}) EXPECT_EQ(LayerTypeName(code), "St (Rigid)") << code;
    for (int code : {9, 14}) EXPECT_EQ(LayerTypeName(code), "St (Flexible)") << code;
}

TEST(LayerLibrary, TitleLookupFindsTheFirstExactMatchOnly) {
    // Codes 2 and 3 have empty labels, never empty titles; "Asphalt" is a short name.
    std::vector<std::optional<int>> found;
    for (const char* title :
         {"Base", "Undefined", "P-306 Econocrete Subbase Course", "base", "Base ", "", "Asphalt"})
        found.push_back(LayerTypeByTitle(title));
    EXPECT_EQ(found, (std::vector<std::optional<int>>{2, 0, 17, {}, {}, {}, {}}));
}

// Full rows for the codes whose values the rest of the program leans on hardest.
TEST(LayerLibrary, TabledRowsHoldTheirExactValues) {
    // Code, name, title, label, abbreviation, Poisson, modulus, interface, min thickness, SCI,
    // CDFU, then the modulus, SCI and CDFU ranges.
    using S = std::string;
    using Row = std::tuple<int, S, S, S, S, float, float, float, float, float, float, float, float,
                           float, float, float, float>;
    const Row rows[] = {
        {0, "Undefined", "Undefined", "Undefined", "Undefined", 0.35f, 100000, 0, 1, 50, 100, 1000,
         4000000, 50, 100, 10, 100},
        {4, "Subgrade", "Subgrade", "Subgrade", "Subgrade", 0.35f, 10000, 0, 5, 0, 0, 1000, 30000,
         0, 0, 0, 0},
        {5, "PCC", "P-501 PCC Surface", "Surface", "PCC Surface", 0.15f, 4000000, 100000, 4, 0, 0,
         1000, 8000000, 0, 0, 0, 0},
        {10, "AC Overlay", "P-401 Asphalt Overlay", "Overlay", "P-401 AC Overlay", 0.35f, 200000, 0,
         1.5f, 50, 100, 50000, 200000, 50, 100, 10, 100},
        {12, "PCC Overlay Part Bond", "P-501 PCC overlay partially bonded",
         "Overlay partially bonded", "PCC Overlay Part Bond", 0.15f, 4000000, 700, 3, 77, 100, 1000,
         8000000, 77, 100, 10, 100},
        {16, "St (Rigid)", "P-304 Cement Treated Base Course", "P-304 Cement Treated Base",
         "P-304 CTB", 0.20f, 500000, 0, 4, 0, 0, 500000, 500000, 0, 0, 0, 0},
    };
    for (const Row& r : rows) {
        const LayerMaterial& m = LayerMaterialOf(std::get<0>(r));
        EXPECT_EQ(Row(std::get<0>(r), m.LayerTypeName, m.LayerTypeTitle, m.LayerTypeLabel,
                      m.LayerTypeAbbrev, m.DefaultPoisson, m.DefaultModulus, m.InterfaceValue,
                      m.MinThickness, m.DefaultSCI, m.DefaultCDFU, m.MinModulus, m.MaxModulus,
                      m.MinSCI, m.MaxSCI, m.MinCDFU, m.MaxCDFU),
                  r);
    }
}

TEST(LayerLibrary, EveryDefaultModulusLiesInItsEntryRange) {
    for (int code = 0; code < kLayerTypeCount; ++code) {
        const LayerMaterial& m = LayerMaterialOf(code);
        EXPECT_TRUE(m.MinModulus <= m.DefaultModulus && m.DefaultModulus <= m.MaxModulus) << code;
        // The newer stabilized bases have a fixed modulus.
        EXPECT_TRUE(code < 14 || m.MinModulus == m.MaxModulus) << code;
    }
}

TEST(LayerLibraryDeathTest, LookingUpAnInvalidCodeAborts) {
    EXPECT_DEATH(LayerMaterialOf(18), "");
    EXPECT_DEATH(LayerMaterialOf(-1), "");
}

}  // namespace
}  // namespace tavro::library
