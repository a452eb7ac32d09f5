#include "design/report.h"

#include <gtest/gtest.h>

#include <string>

#include "core/day_serial.h"
#include "core/program_state.h"
#include "core/section_ops.h"
#include "core/units.h"

namespace tavro::design {
namespace {

void Classify(core::CurrentSectionRecord& c) {
    const core::PavementClass pc = core::ClassifyPavement(c.Layers);
    c.PavementType = pc.pavementType;
    c.ExistingPavement = pc.existingPavement;
}

// Asphalt on two aggregate layers, designed on 03/07/24 at 14:05:09, two aircraft.
core::ProgramState FlexibleSection() {
    core::ProgramState s;
    core::ApplyUnits(s.Units, false);
    s.JobName = "Airfield";
    core::CurrentSectionRecord& c = s.Current;
    c.SectionName = "Taxiway A";
    c.SectionTimeStamp = core::DaySerialFromCivil({2024, 3, 7, 14, 5, 9});
    c.AsphaltCDF = 0.25f;
    c.Layers = {{5.0f, 200000, 0, 1}, {8.25f, 46300, 0, 6}, {12.5f, 21000, 0, 8}, {0, 15000, 0, 4}};
    c.Aircraft = {{"Skyhawk 172", 2550, 1200, 0.02f}, {"Gulfstream G-IV", 75000, 15000, 0}};
    c.MixedTraffic = true;
    Classify(c);
    return s;
}

// An unbonded overlay on a slab, metric, not analysed, 25-year life, one aircraft.
core::ProgramState RigidOverlaySection() {
    core::ProgramState s;
    core::ApplyUnits(s.Units, true);
    s.JobName = "Airfield";
    core::CurrentSectionRecord& c = s.Current;
    c.SectionName = "Apron";
    c.SCI = 100;
    c.CDFU = 35;
    c.DesignLife = 25;
    c.Layers = {{6, 4000000, 700, 11}, {10, 4000000, 650, 5}, {6, 500000, 0, 16}, {0, 8000, 0, 4}};
    c.Aircraft = {{"C-130", 155000, 3650, 0.015f}};
    Classify(c);
    return s;
}

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST(Report, FlexibleSectionInEnglishUnitsOnScreenAndOnPaper) {
    const SectionReport r = BuildReport(FlexibleSection());
    const std::string preamble =
        "Section Taxiway A in Job Airfield.\r\n\r\n"
        "\r\n\r\n"  // the aircraft-model warning is an empty line
        "The structure is New Flexible. Asphalt CDF = 0.2500.\r\n"
        "Design Life = 20 years.\r\n"
        "A design for this section was completed on 03/07/24 at 14:05:09.\r\n\r\n"
        "           Pavement Structure Information by Layer, Top First\r\n\r\n";
    EXPECT_EQ(
        r.screen,
        preamble +
            " No.      Type                     Thickness         Modulus    Poisson's   "
            "Strength\r\n"
            "\t\t   in     psi         Ratio       R, psi\r\n\r\n"
            "  1  P-401 AC Surface\t  5.00\t   200,000\t 0.35\t       0\r\n"
            "  2  P-209 Cr Ag\t  8.25\t    46,300\t 0.35\t       0\r\n"
            "  3  P-154 UnCr Ag\t 12.50\t    21,000\t 0.35\t       0\r\n"
            "  4  Subgrade\t  0.00\t    15,000\t 0.35\t       0\r\n"
            "Total thickness to the top of the subgrade = 25.75 in\r\n"
            "  Aircraft Information\r\n\r\n"
            " No.      Name                         Gross Wt.       Annual         % Annual\r\n"
            "\t\t       lbs         Departures        Growth\r\n\r\n"
            "  1   Skyhawk 172      \t     2,550\t      1,200\t    2.00\r\n"
            "  2   Gulfstream G-IV  \t    75,000\t     15,000\t    0.00\r\n");
    EXPECT_EQ(r.print,
              preamble +
                  " No.   Type                Thickness   Modulus   Poisson's   Strength\r\n"
                  "                            inches       psi       Ratio      R, psi\r\n\r\n"
                  "  1  P-401 AC Surface    5.00   200,000 0.35       0\r\n"
                  "  2  P-209 Cr Ag         8.25    46,300 0.35       0\r\n"
                  "  3  P-154 UnCr Ag      12.50    21,000 0.35       0\r\n"
                  "  4  Subgrade            0.00    15,000 0.35       0\r\n"
                  "Total thickness to the top of the subgrade = 25.75 in\r\n"
                  "  Aircraft Information\r\n\r\n"
                  " No.      Name           Gross Wt.       Annual      % Annual\r\n"
                  "                            lbs        Departures      Growth\r\n\r\n"
                  "  1  Skyhawk 172            2,550      1,200             2.00\r\n"
                  "  2  Gulfstream G-IV       75,000     15,000             0.00\r\n");
}

TEST(Report, RigidOverlayInMetricUnitsOnScreenAndOnPaper) {
    const SectionReport r = BuildReport(RigidOverlaySection());
    const std::string preamble =
        "Section Apron in Job Airfield.\r\n\r\n"
        "\r\n\r\n"
        "The section does not have a design life of 20 years.\r\n\r\n"
        "The aircraft list contains only one aircraft.\r\n\r\n"
        "The structure is Unbonded PCC Overlay on Rigid.\r\n"
        "SCI of the existing pavement = 100.\r\n"
        "Percent CDF used of the existing pavement = 35.\r\n"
        "Design Life = 25 years.\r\n"
        "A design has not been completed for this section.\r\n\r\n"
        "           Pavement Structure Information by Layer, Top First\r\n\r\n";
    // 700 psi = 4.83 MPa, 4,000,000 psi = 27,579.03 MPa, 155,000 lbs = 70.307 tonnes; the
    // subgrade under a slab shows Poisson's ratio 0.40.
    // On screen only the unit lines and the tab-separated rows differ from the English layout.
    EXPECT_TRUE(Contains(r.screen,
                         "\t\t   mm      MPa          Ratio        R, MPa\r\n\r\n"
                         "  1  PCC Overlay Unbond\t 152.4\t 27,579.03\t 0.15\t    4.83\r\n"));
    EXPECT_TRUE(Contains(r.screen,
                         "\t\t    tonnes       Departures        Growth\r\n\r\n"
                         "  1   C-130            \t    70.307\t      3,650\t    1.50\r\n"));
    EXPECT_EQ(r.print,
              preamble +
                  " No.   Type                Thickness   Modulus   Poisson's   Strength\r\n"
                  "                              mm         MPa       Ratio      R, MPa\r\n\r\n"
                  "  1  PCC Overlay Unbond   152.4 27,579.03 0.15    4.83\r\n"
                  "  2  PCC Surface          254.0 27,579.03 0.15    4.48\r\n"
                  "  3  P-304 CTB            152.4  3,447.38 0.20    0.00\r\n"
                  "  4  Subgrade               0.0     55.16 0.40    0.00\r\n"
                  "Total thickness to the top of the subgrade = 558.8 mm\r\n"
                  "  Aircraft Information\r\n\r\n"
                  " No.      Name           Gross Wt.       Annual      % Annual\r\n"
                  "                          tonnes       Departures      Growth\r\n\r\n"
                  "  1  C-130                 70.307      3,650             1.50\r\n");
}

TEST(Report, AsphaltCdfIsShownOnlyForAnalysedFlexibleFamilySections) {
    core::ProgramState s = FlexibleSection();
    s.Current.SectionTimeStamp = core::kNotAnalysedSerial;
    std::string text = BuildReport(s).screen;
    EXPECT_TRUE(Contains(text, "The structure is New Flexible.\r\nDesign Life"));
    EXPECT_TRUE(Contains(text, "\r\nA design has not been completed for this section.\r\n\r\n"));

    s = FlexibleSection();
    s.Current.Layers.insert(s.Current.Layers.begin(), {2, 200000, 0, 10});  // AC Overlay
    Classify(s.Current);
    EXPECT_TRUE(Contains(BuildReport(s).print,
                         "The structure is AC Overlay on Flexible. Asphalt CDF = 0.2500.\r\n"));
    s.Current.AsphaltCDF = -1;
    EXPECT_TRUE(
        Contains(BuildReport(s).print,
                 "The structure is AC Overlay on Flexible. Asphalt CDF was not computed.\r\n"));

    s = RigidOverlaySection();
    s.Current.Layers.erase(s.Current.Layers.begin());  // a new rigid pavement, now analysed
    Classify(s.Current);
    s.Current.AsphaltCDF = 0.25f;
    s.Current.SectionTimeStamp = core::DaySerialFromCivil({1999, 12, 31, 23, 59, 59});
    text = BuildReport(s).screen;
    EXPECT_TRUE(Contains(text, "The structure is New Rigid.\r\nDesign Life = 25 years.\r\n"));
    EXPECT_TRUE(Contains(text, "completed on 12/31/99 at 23:59:59.\r\n\r\n"));
}

TEST(Report, WarningsComeInTheirFixedOrderAndOnlyWhenTheyApply) {
    core::ProgramState s = RigidOverlaySection();
    s.Current.StructureDefined = false;
    EXPECT_TRUE(Contains(BuildReport(s).print,
                         "in Job Airfield.\r\n\r\n\r\n\r\n"
                         "The section does not have a design life of 20 years.\r\n\r\n"
                         "The pavement structure includes an undefined layer.\r\n\r\n"
                         "The aircraft list contains only one aircraft.\r\n\r\n"
                         "The structure is"));
    // A cracked existing slab has no percent CDF used.
    s.Current.SCI = 80;
    const std::string text = BuildReport(s).screen;
    EXPECT_TRUE(Contains(text, "SCI of the existing pavement = 80.\r\nDesign Life"));
    EXPECT_FALSE(Contains(text, "Percent CDF"));
    s = FlexibleSection();
    s.Current.HasB777 = true;
    EXPECT_TRUE(Contains(BuildReport(s).print, "in Job Airfield.\r\n\r\nThe structure is"));
}

// Under a slab the subgrade shows 0.40 whatever the top layer, an undefined layer 0.35.
TEST(Report, TheSubgradeShowsItsOwnPoissonsRatioWhateverTheTopLayer) {
    core::ProgramState s = RigidOverlaySection();
    s.Current.Layers.back().LayerType = 0;
    EXPECT_TRUE(Contains(BuildReport(s).print,
                         "  4  Undefined              0.0     55.16 0.35    0.00\r\n"));
    s = RigidOverlaySection();
    s.Current.Layers[0] = {3, 200000, 0, 0};
    const std::string print = BuildReport(s).print;
    EXPECT_TRUE(Contains(print, "  1  Undefined      76.2  1,378.95 0.35    0.00\r\n")) << print;
    EXPECT_TRUE(Contains(print, "  4  Subgrade        0.0     55.16 0.40    0.00\r\n"));
}

TEST(Report, PrintAndCopyAppendTheNotesUnderTheirHeading) {
    const SectionReport r{"screen\r\n", "print\r\n"};
    const std::string tail = "print\r\n\r\n\r\n" + std::string(27, ' ') + "NOTES\r\n\r\nMy note";
    EXPECT_EQ(ReportWithNotes(r, "My note", ReportDestination::Clipboard), tail);
    EXPECT_EQ(ReportWithNotes(r, "My note", ReportDestination::Printer), "\r\n\r\n\r\n\r\n" + tail);
}

}  // namespace
}  // namespace tavro::design
