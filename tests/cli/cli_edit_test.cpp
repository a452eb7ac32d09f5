// tavro-cli edit, new-section, export and import: one save, or none on any refusal.
#include "cli/cli_fixture.h"

namespace tavro::cli {
namespace {

using testing::Has;

class CliEdit : public testing::CliFixture {
protected:
    void SetUp() override { NewJobWith("RWY", "AConFlex", "B2"); }
    nlohmann::json Section(const std::string& name) {
        EXPECT_EQ(Run({"--json", "show", "RWY", name}), kExitOk);
        return Json()["section"];
    }
};

TEST_F(CliEdit, NewSectionBuiltLayerByLayerAndMetricEditsWithMessages) {
    ASSERT_EQ(Run({"new-section", "RWY", "A1"}), kExitOk) << err.str();
    ASSERT_EQ(Run({"edit", "RWY", "A1", "layer", "1", "type=Asphalt", "thickness=5", "add", "1",
                   "layer", "2", "type=6", "thickness=8", "subgrade=8", "life=25"}),
              kExitOk)
        << err.str();
    const nlohmann::json s = Section("A1");
    ASSERT_EQ(s["layers"].size(), 3u);
    EXPECT_EQ(s["layers"][0]["typeName"], "Asphalt");
    EXPECT_EQ(s["layers"][1]["thickness"], 8.0);
    EXPECT_EQ(s["layers"][2]["modulus"], 8000.0) << "CBR 8";
    EXPECT_EQ(s["designLife"], 25);

    ASSERT_EQ(Run({"--metric", "edit", "RWY", "B2", "layer", "2", "thickness=101.6", "life=51"}),
              kExitOk);
    EXPECT_EQ(err.str(),
              "Changing Pavement Life: Pavement life cannot be outside\n the range 1 to 50 "
              "years.\n\nLife has been set to 20 years.\n");
    EXPECT_EQ(Section("B2")["layers"][1]["thickness"], 4.0);
}

TEST_F(CliEdit, AnyRefusalSavesNothing) {
    const std::string before = dir.Read("RWY.JOB");
    const struct {
        std::vector<std::string> ops;
        const char* message;
    } refused[] = {
        {{"layer", "1", "thickness=3", "layer", "9", "thickness=1"},
         "Layer 9 is not a layer of this structure (1 to 4)."},
        {{"layer", "1", "thickness=abc"}, "abc is not a valid number."},
        {{"layer", "4", "thickness=3"}, "the bottom layer has no thickness; use subgrade=."},
        {{"layer", "1", "type=Concrete"}, "\"Concrete\" is not a layer type"},
        {{"delete", "4"}, "the bottom layer cannot be added or deleted."},
        {{"sci=80"}, "sci belongs to overlays on an existing rigid pavement only."},
        {{"frobnicate=1"}, "Unknown operation \"frobnicate=1\"."},
    };
    for (const auto& c : refused) {
        std::vector<std::string> args = {"edit", "RWY", "B2"};
        args.insert(args.end(), c.ops.begin(), c.ops.end());
        EXPECT_EQ(Run(args), kExitRefused) << c.message;
        EXPECT_NE(err.str().find(c.message), std::string::npos) << err.str();
        EXPECT_EQ(dir.Read("RWY.JOB"), before) << c.message;
    }
    EXPECT_EQ(Run({"edit", "Samples", "AConFlex", "life=10"}), kExitRefused);
    EXPECT_EQ(err.str().substr(0, 26), "Structure in Job Samples: ");
}

TEST_F(CliEdit, ExportImportExportIsByteIdentical) {
    ASSERT_EQ(Run({"design", "RWY", "B2", "--save"}), kExitOk) << err.str();
    ASSERT_EQ(Run({"export", "RWY", "B2"}), kExitOk);
    const std::string first = out.str();
    dir.Write("b2.json", first);
    ASSERT_EQ(Run({"import", "RWY", dir.File("b2.json")}), kExitRefused) << "the name exists";
    ASSERT_EQ(Run({"import", "RWY", dir.File("b2.json"), "--replace"}), kExitOk) << err.str();
    ASSERT_EQ(Run({"export", "RWY", "B2"}), kExitOk);
    EXPECT_EQ(out.str(), first);
}

TEST_F(CliEdit, ImportNamesTheFieldItRefuses) {
    ASSERT_EQ(Run({"export", "RWY", "B2"}), kExitOk);
    const nlohmann::json good = nlohmann::json::parse(out.str());
    const std::string before = dir.Read("RWY.JOB");
    const struct {
        const char* pointer;
        nlohmann::json value;
        const char* field;
    } cases[] = {
        {"/section/layers/0/type", "PCC", "layers[1].type"},
        {"/section/layers/1/thickness", -1, "layers[2].thickness"},
        {"/section/aircraft/0/name", "Concorde X", "aircraft[1].name"},
        {"/section/timeStamp", "13/01/71 00:00:00", "timeStamp"},
        {"/section/layers", nlohmann::json::array(), "layers"},
    };
    for (const auto& c : cases) {
        nlohmann::json doc = good;
        doc["section"]["name"] = "NEW";
        doc[nlohmann::json::json_pointer(c.pointer)] = c.value;
        dir.Write("bad.json", doc.dump());
        EXPECT_EQ(Run({"import", "RWY", dir.File("bad.json")}), kExitRefused) << c.pointer;
        EXPECT_NE(err.str().find(std::string("The field ") + c.field + " "), std::string::npos)
            << err.str();
        EXPECT_EQ(dir.Read("RWY.JOB"), before) << c.pointer;
    }
    dir.Write("bad.json", "{ not json");
    EXPECT_EQ(Run({"import", "RWY", dir.File("bad.json")}), kExitRefused);
    EXPECT_EQ(Run({"import", "RWY", dir.File("missing.json")}), kExitRefused);
    EXPECT_EQ(Run({"new-section", "RWY", "b2"}), kExitRefused) << "names ignore case";
    EXPECT_EQ(dir.Read("RWY.JOB"), before);
}

}  // namespace
}  // namespace tavro::cli
