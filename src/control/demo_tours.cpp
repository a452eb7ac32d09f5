// The tours of the windows, as data. Drawing parts of the structure window are named
// "thickness:N", "modulus:N" and "layer:N" (layer N from the top).
#include <array>

#include "control/demo_tour.h"

namespace tavro::control {
namespace {

TourStep Explain(std::string text) { return {StepKind::Explain, "", "", std::move(text), 1}; }
TourStep Select(std::string list, std::string item) {
    return {StepKind::Select, std::move(list), std::move(item), "", 1};
}
TourStep Click(std::string target, std::string item = "") {
    return {StepKind::Click, std::move(target), std::move(item), "", 1};
}
TourStep Enter(std::string target, std::string item, std::string value) {
    return {StepKind::Enter, std::move(target), std::move(item), std::move(value), 1};
}
TourStep Wait(int pauses) { return {StepKind::Wait, "", "", "", pauses}; }

Tour StartupTour() {
    return {"startup",
            "Demonstration: Jobs and Sections",
            1,
            {
                Explain("This is the startup window. The list on the left holds the jobs: the "
                        "built-in job Samples, then every job file of the program directory.\r\n"
                        "\r\nFor this demonstration a temporary job {job} has been made with a "
                        "copy of the sample sections. It is removed at the end."),
                Select("lstJobs", "Samples"),
                Explain("Selecting a job lists its sections on the right, with the pavement "
                        "type of each. Samples can be copied from but never changed."),
                Select("lstSections", "AConFlex"),
                Wait(1),
                Select("lstSections", "NewFlexible"),
                Explain("To copy a section into another job, click Copy Sections, pick the "
                        "section, then the job it goes to, and give the copy a name."),
                Click("cmdCopySections"),
                Select("lstSections", "ACAggregate"),
                Enter("lstJobs", "{job}", "DemoCopy"),
                Explain("The copy is now in job {job}. Copy mode stays on for more copies; "
                        "End Copy leaves it."),
                Click("cmdCopySections"),
                Select("lstJobs", "{job}"),
                Select("lstSections", "DemoCopy"),
                Explain("The Structure, Aircraft and Notes commands open the windows of the "
                        "selected section. The end of the demonstration removes {job} and "
                        "brings back the job you had open."),
            }};
}

Tour StructureTour() {
    return {"structure",
            "Demonstration: Pavement Structure",
            1,
            {
                Explain("The structure window draws the layers of the section to scale, with "
                        "their thickness, modulus and material.\r\n\r\nThe demonstration works "
                        "on a copy of the sample section ACAggregate."),
                Explain("Modify Structure lets you change the layers: click a thickness or a "
                        "modulus to enter a new value, click a material to change its type."),
                Click("cmdModifyStr"),
                Enter("picStructure", "thickness:1", "5"),
                Explain("The surface layer is now 5 in thick. Add/Delete Layer adds a layer "
                        "above the one you click, or deletes it."),
                Click("cmdAddDelete"),
                Enter("picStructure", "layer:2", "add"),
                Explain("A new layer is in the structure. Clicking its material opens the "
                        "layer types. Every structure is checked against the structure rules "
                        "when modify mode ends: a second asphalt layer is refused."),
                Enter("picStructure", "material:2", "1"),
                Click("cmdModifyStr"),
                Explain("The check refused the structure and modify mode stays on. Deleting "
                        "the extra layer again lets it pass."),
                Click("cmdAddDelete"),
                Enter("picStructure", "layer:2", "delete"),
                Click("cmdModifyStr"),
                Explain("Design Structure changes the thickness of the design layer (marked "
                        "-->) until the damage of the design aircraft over the design life is 1. "
                        "The progress line under the drawing follows each iteration."),
                Click("cmdAddDelete"),
                Wait(2),
                Explain("The chart shows the damage across the lateral positions of the "
                        "traffic. Life keeps the structure and finds the years it lasts."),
                Click("cmdLife"),
                Wait(2),
                Explain("Save would store the structure in the section. During a "
                        "demonstration nothing is saved, and your own sections are untouched."),
            }};
}

Tour NotesTour() {
    return {"notes",
            "Demonstration: Notes and Information",
            1,
            {
                Explain("The notes and information window shows the design information of a "
                        "section: its structure, aircraft and results."),
                Click("cmdListInfo"),
                Select("lstStrFiles", "AConFlex"),
                Wait(1),
                Explain("Notes shows the free-text notes of the section, which you can edit "
                        "and save with Save Notes."),
                Click("cmdNotes"),
                Enter("txtNotes", "", "Checked with the design team."),
                Explain("Print sends the information and the notes to the printer; the print "
                        "preview shows the page first."),
                Click("cmdPrintPreview"),
                Wait(1),
                Explain("During a demonstration nothing is saved: the note you saw typed is "
                        "dropped at the end."),
            }};
}

Tour AircraftTour() {
    return {"aircraft",
            "Demonstration: Design Aircraft",
            1,
            {
                Explain("The aircraft window holds the design aircraft of the section: gross "
                        "load, annual departures and growth of each.\r\n\r\nThe demonstration "
                        "works on a copy of the sample section ACAggregate."),
                Explain("The library on the left lists the built-in aircraft by group. Pick a "
                        "group, then an aircraft."),
                Select("lstACGroup", "Cessna"),
                Select("lstLibFile", "Citation X"),
                Explain("Add puts the selected aircraft at the end of the design list, with "
                        "the library's gross load."),
                Click("cmdAdd"),
                Explain("Clicking a cell of the list changes its value: here the annual "
                        "departures of the new aircraft."),
                Enter("grdDesignAC", "cell:4:2", "1200"),
                Explain("The Overload column marks one aircraft as an overload: the Life "
                        "command then checks whether its extra passes fit the damage budget."),
                Click("grdDesignAC", "cell:4:4"),
                Wait(1),
                Explain("View Gear draws the gear of the selected aircraft to scale."),
                Click("cmdParameters"),
                Wait(1),
                Explain("Back asks whether to save a changed list. During a demonstration "
                        "nothing is saved, and your own sections are untouched."),
            }};
}

}  // namespace

const Tour* FindTour(std::string_view window) {
    static const std::array<Tour, 4> tours{StartupTour(), StructureTour(), AircraftTour(),
                                           NotesTour()};
    for (const Tour& t : tours) {
        if (t.window == window) return &t;
    }
    return nullptr;
}

std::vector<std::string> TourNames() { return {"startup", "structure", "aircraft", "notes"}; }

}  // namespace tavro::control
