// Loading, inserting and storing sections; the pavement type rules; the sample job.
#include "core/section_ops.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

#include "core/narrow.h"
#include "core/notes_file.h"
#include "core/program_state.h"
#include "core/startup.h"
#include "support/fake_user_port.h"
#include "support/job_builder.h"

namespace tavro::core {
namespace {

using test::FakeUserPort;

SectionLayer L(int type, float thickness = 5) { return test::Layer(thickness, 0, Int16(type)); }

DesignAircraft A(const std::string& name, float gross = 10000, float departures = 100,
                 float growth = 0) {
    return test::Plane(name, gross, departures, growth);
}

Section S(const std::string& name, std::vector<SectionLayer> layers = {L(1), L(6), L(4, 0)},
          std::vector<DesignAircraft> aircraft = {}) {
    Section s;
    s.SectionName = name;
    s.Layers = std::move(layers);
    s.Aircraft = std::move(aircraft);
    return s;
}

ProgramState StateWith(std::vector<Section> sections, const std::string& job = "RUNWAYS") {
    ProgramState state;
    InitLibraries(state);
    state.JobName = job;
    state.Sections = std::move(sections);
    state.CurrentSection = 1;
    return state;
}

TEST(PavementType, FollowsTheRulesInOrder) {
    // The top two layer types, the pavement type, an existing pavement.
    const std::tuple<int, int, int, bool> cases[] = {
        {0, 4, kNewFlexible, false},     // Undefined over Subgrade
        {1, 6, kNewFlexible, false},     // Asphalt
        {1, 5, kNewFlexible, false},     // Asphalt wins over anything below
        {10, 1, kAcOnFlexible, false},   // AC Overlay on Asphalt
        {10, 0, kAcOnFlexible, false},   // AC Overlay on Undefined
        {0, 1, kAcOnFlexible, false},    // Undefined on Asphalt
        {5, 7, kNewRigid, false},        // PCC
        {13, 1, kPccOnFlexible, false},  // PCC Overlay on Flex. on Asphalt
        {13, 0, kPccOnFlexible, false},    {11, 5, kUnbondedOnRigid, true},
        {12, 5, kPartBondedOnRigid, true}, {10, 5, kAcOnRigid, true},  // AC Overlay on PCC
        {0, 5, kAcOnRigid, true},                                      // Undefined on PCC
        {13, 4, kPavementNone, false},  // PCC Overlay on Flex. over Subgrade
        {10, 6, kPavementNone, false},  // AC Overlay directly on aggregate
        {11, 1, kPavementNone, false},
    };
    for (const auto& [l1, l2, type, existing] : cases) {
        const PavementClass got = ClassifyPavement({L(l1), L(l2), L(4, 0)});
        EXPECT_EQ(got.pavementType, type) << "layers " << l1 << ", " << l2;
        EXPECT_EQ(got.existingPavement, existing) << "layers " << l1 << ", " << l2;
    }
}

// The report names are checked in the report tests.
TEST(PavementType, ListNames) {
    EXPECT_EQ(PavementTypeListName(kPartBondedOnRigid), "Part Bonded on Rigid");
    EXPECT_EQ(PavementTypeListName(kPavementNone), "");
}

TEST(LoadSection, DropsAircraftMissingFromTheLibraryKeepingTheOrder) {
    ProgramState state = StateWith(
        {S("TAXI", {L(1), L(4, 0)},
           {A("DC-3"), A("Concorde"), A("Falcon 50"), A("Nope"), A("B-747"), A("Citation X")})});
    FakeUserPort ui;
    LoadSection(state, ui);

    std::vector<std::string> kept;
    for (const auto& a : state.Current.Aircraft) kept.push_back(a.AircraftName);
    ASSERT_EQ(kept, (std::vector<std::string>{"DC-3", "Falcon 50", "Citation X"}));
    EXPECT_EQ(state.Current.Aircraft[1].AircraftLibIndex, 30);
    EXPECT_EQ(state.Slot(1).AircraftCount(), 3) << "the job table loses them too";
    ASSERT_EQ(ui.boxes.size(), 3u);
    EXPECT_EQ(ui.boxes[0].text,
              "Aircraft Concorde cannot be found in the Library List.\r\n"
              "It has not been included in the aircraft list\r\n"
              "for job RUNWAYS and section TAXI.");
    EXPECT_NE(ui.boxes[1].text.find("Aircraft Nope "), std::string::npos);
    // B-747 is renamed before the look-up.
    EXPECT_NE(ui.boxes[2].text.find("Aircraft B-747-200 cannot be found"), std::string::npos);

    ui.boxes.clear();
    LoadSection(state, ui);
    EXPECT_TRUE(ui.boxes.empty()) << "the message is shown once";
}

TEST(LoadSection, DerivesStructureFlagsAndAircraftValues) {
    ProgramState state = StateWith({S("A", {L(0), L(4, 0)}, {A("SW 6,000", 6000, 1000, 0.05f)})});
    state.Slot(1).DesignLife = 10;
    FakeUserPort ui;
    LoadSection(state, ui);
    const auto& c = state.Current;
    // A single aircraft is no mixed traffic.
    EXPECT_EQ(std::tuple(c.StructureDefined, c.PavementType, c.MixedTraffic),
              std::tuple(false, kNewFlexible, false));
    // N = 1000*10*(1 + 0.05*10/2) = 12500.
    EXPECT_NEAR(c.Aircraft[0].TotalDepartures, 12500.0, 0.01);

    ProgramState two = StateWith({S("A", {L(1), L(4, 0)}, {A("SW 6,000"), A("SW 12,000")})});
    LoadSection(two, ui);
    EXPECT_TRUE(two.Current.MixedTraffic) << "two single-wheel aircraft";
}

// A name that differs only in case is refused in the job-change tests.
TEST(InsertSection, PutsTheCopyAtItsSortedPlace) {
    ProgramState state = StateWith({S("A", {L(5, 12), L(4, 0)}, {A("DC-3")}), S("C")});
    FakeUserPort ui;
    LoadSection(state, ui);
    state.Current.Aircraft[0].OverloadFlag = true;
    ASSERT_EQ(InsertSection(state, ui, "b"), InsertStatus::Inserted);
    ASSERT_EQ(NamesOf(state.Sections), (std::vector<std::string>{"A", "b", "C"}));
    EXPECT_EQ(state.CurrentSection, 2);
    // The copy holds the stored values, not the flags and derived values of the loaded one.
    const Section& b = state.Slot(2);
    EXPECT_EQ(
        std::tuple(b.Layers[0].LayerType, b.Aircraft[0].OverloadFlag, b.Aircraft[0].ContactWidth),
        std::tuple(5, false, 0.0f));

    // No name sorts after a sentinel.
    ASSERT_EQ(InsertSection(state, ui, "ZZZZZZZZZZZZ"), InsertStatus::Inserted);
    ASSERT_EQ(InsertSection(state, ui, "zzzzzzzzzzzzz"), InsertStatus::Inserted);
    EXPECT_EQ(state.Slot(5).SectionName, "zzzzzzzzzzzzz");
    EXPECT_TRUE(ui.boxes.empty());
}

// The library's sample sections become complete sections with the material defaults.
TEST(SampleJob, ReplacesTheJobWithThreeCompleteSections) {
    ProgramState state = StateWith({S("OLD1"), S("OLD2"), S("OLD3"), S("OLD4")});
    LoadSampleJob(state);
    ASSERT_EQ(state.SectionCount(), 3);  // the second one's values: the cli show test
    EXPECT_EQ(std::tuple(state.Slot(1).SCI, state.Slot(3).Layers[1].LayerModulus,
                         state.Slot(2).Aircraft[5].GrossLoad),
              std::tuple(0.0f, 400000.0f, 58500.0f));
    for (const auto& s : state.Sections) {
        EXPECT_EQ(s.AsphaltCDF, 0.0f);
        for (const auto& l : s.Layers) EXPECT_EQ(l.LayerFlexStrength, 0.0f);
    }
}

}  // namespace
}  // namespace tavro::core
