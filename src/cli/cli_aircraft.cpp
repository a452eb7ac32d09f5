// tavro-cli library, aircraft and gear: the aircraft library, changes of a section's design
// aircraft list through the aircraft window's own rules, and the gear plan as SVG.
#include <cmath>
#include <optional>
#include <ostream>
#include <variant>

#include "cli/cli_context.h"
#include "control/aircraft_controller.h"
#include "control/gear_picture.h"
#include "core/number_format.h"
#include "library/gear_plan.h"

namespace tavro::cli {

namespace {

using control::EditStatus;

std::string Pad(std::string text, std::size_t width) {
    if (text.size() < width) text.append(width - text.size(), ' ');
    return text + " ";
}

// A whole number 1..limit written as digits only.
std::optional<int> Number(const std::string& text, int limit) {
    const auto v = core::ParseNumber(text);
    if (!v || *v != std::floor(*v) || *v < 1 || *v > limit ||
        text.find_first_not_of("0123456789 ") != std::string::npos)
        return std::nullopt;
    return static_cast<int>(*v);
}

// A library aircraft by number or by name (exact first, then without regard to case).
std::optional<int> FindLibraryAircraft(const ProgramState& s, const std::string& text) {
    const library::AircraftLibrary& lib = s.Aircraft;
    if (auto n = Number(text, lib.AircraftLibCount())) return n;
    if (auto k = library::FindAircraft(lib, text)) return k;
    for (int k = 1; k <= lib.AircraftLibCount(); ++k)
        if (core::EqualsNoCase(lib.Entry(k).AcName, text)) return k;
    return std::nullopt;
}

int RefuseAircraft(Run& r, const std::string& text) {
    return r.Refuse("Aircraft Library", "Aircraft " + text + " is not in the aircraft library.");
}

// ---- library --------------------------------------------------------------------------

json EntryJson(const library::AircraftEntry& e, int k) {
    return {{"number", k},
            {"name", e.AcName},
            {"grossLoad", Stored(e.AcGrossLoad)},
            {"gearCode", e.AcGearCode},
            {"gearConfig", e.AcGearConfig},
            {"tirePressure", Stored(e.AcTirePressure)},
            {"gearShare", Stored(e.AcGearShare)},
            {"dualSpacing", Stored(e.AcS1)},
            {"tandemSpacing", Stored(e.AcTandem)},
            {"tires", e.AcTireCount}};
}

void PrintGroup(Run& r, int g) {
    const auto& lib = r.state.Aircraft;
    const auto& u = r.state.Units;
    const auto [first, last] = lib.GroupRange(g);
    r.out << "Group " << g << ": " << lib.groups[static_cast<std::size_t>(g - 1)].AcGroupName
          << "\n";
    r.out << "  " << Pad("#", 3) << Pad("Name", 20) << Pad("Gross load (" + u.load.label + ")", 19)
          << Pad("Gear", 4) << Pad("Config", 6) << Pad("Tire press. (" + u.pressure.label + ")", 18)
          << Pad("% on gear", 9) << Pad("Dual sp. (" + u.thickness.label + ")", 13)
          << Pad("Tandem sp. (" + u.thickness.label + ")", 15) << "Tires\n";
    for (int k = first; k <= last; ++k) {
        const library::AircraftEntry& e = lib.Entry(k);
        if (e.AcGearCode == "HB") continue;  // offered with their wing aircraft only
        const bool single = e.AcGearCode == "B" || e.AcGearCode == "E";
        r.out << "  " << Pad(std::to_string(k), 3) << Pad(e.AcName, 20)
              << Pad(Shown(e.AcGrossLoad, u.load), 19) << Pad(e.AcGearCode, 4)
              << Pad(std::to_string(e.AcGearConfig), 6)
              << Pad(Shown(e.AcTirePressure, u.pressure), 18)
              << Pad(core::FormatMask(e.AcGearShare * 100.0, "0.0"), 9)
              << Pad(Shown(single ? 0.0 : e.AcS1, u.thickness), 13)
              << Pad(Shown(e.AcTandem, u.thickness), 15) << e.AcTireCount << "\n";
    }
}

}  // namespace

int CmdLibrary(Run& r) {
    const auto& lib = r.state.Aircraft;
    const int groups = static_cast<int>(lib.groups.size());
    int only = 0;
    if (!r.opt.group.empty()) {
        if (auto n = Number(r.opt.group, groups)) only = *n;
        for (int g = 1; g <= groups && only == 0; ++g)
            if (core::EqualsNoCase(lib.groups[static_cast<std::size_t>(g - 1)].AcGroupName,
                                   r.opt.group))
                only = g;
        // A group may be named by the start of its name when no other group starts alike.
        for (int g = 1; g <= groups && only == 0; ++g) {
            const std::string& name = lib.groups[static_cast<std::size_t>(g - 1)].AcGroupName;
            if (name.size() < r.opt.group.size() ||
                !core::EqualsNoCase(name.substr(0, r.opt.group.size()), r.opt.group))
                continue;
            int matches = 0;
            for (const auto& other : lib.groups)
                if (other.AcGroupName.size() >= r.opt.group.size() &&
                    core::EqualsNoCase(other.AcGroupName.substr(0, r.opt.group.size()),
                                       r.opt.group))
                    ++matches;
            if (matches == 1) only = g;
        }
        if (only == 0)
            return r.Refuse("Aircraft Library", "There is no aircraft group " + r.opt.group + ".");
    }
    if (r.opt.json) {
        json list = json::array();
        for (int g = 1; g <= groups; ++g) {
            if (only != 0 && g != only) continue;
            json entries = json::array();
            const auto [first, last] = lib.GroupRange(g);
            for (int k = first; k <= last; ++k)
                if (lib.Entry(k).AcGearCode != "HB") entries.push_back(EntryJson(lib.Entry(k), k));
            list.push_back({{"number", g},
                            {"name", lib.groups[static_cast<std::size_t>(g - 1)].AcGroupName},
                            {"aircraft", entries}});
        }
        r.PrintJson({{"groups", list}});
        return kExitOk;
    }
    bool firstGroup = true;
    for (int g = 1; g <= groups; ++g) {
        if (only != 0 && g != only) continue;
        if (!firstGroup) r.out << "\n";
        PrintGroup(r, g);
        firstGroup = false;
    }
    return kExitOk;
}

// ---- aircraft -------------------------------------------------------------------------

namespace {

struct Operation {
    std::string verb;    // add, set, remove, clear, overload
    std::string target;  // the aircraft (add), the row (set, remove, overload)
    std::optional<std::string> load, departures, growth;
};

// Reads the operations; a usage problem is returned as its text.
std::variant<std::vector<Operation>, std::string> ParseOperations(
    const std::vector<std::string>& words) {
    std::vector<Operation> ops;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& w = words[i];
        const auto eq = w.find('=');
        if (eq != std::string::npos) {
            if (ops.empty() || (ops.back().verb != "add" && ops.back().verb != "set"))
                return "\"" + w + "\" must follow add or set";
            const std::string key = w.substr(0, eq), value = w.substr(eq + 1);
            Operation& op = ops.back();
            if (key == "load")
                op.load = value;
            else if (key == "departures")
                op.departures = value;
            else if (key == "growth")
                op.growth = value;
            else
                return "unknown value \"" + key + "\" (load, departures or growth)";
            continue;
        }
        if (w != "add" && w != "set" && w != "remove" && w != "clear" && w != "overload")
            return "unknown operation \"" + w + "\"";
        Operation op{w, "", {}, {}, {}};
        if (w != "clear") {
            if (i + 1 >= words.size())
                return w + " needs " + (w == "add" ? "an aircraft" : "a row");
            op.target = words[++i];
        }
        ops.push_back(op);
    }
    return ops;
}

class Applier {
public:
    Applier(Run& r, control::AircraftController& c) : r_(r), c_(c) {}

    // nullopt when the operation was applied; otherwise the exit status.
    std::optional<int> Apply(const Operation& op) {
        if (op.verb == "clear")
            return Status(c_.ClearList(control::AircraftController::Confirm::Given));
        if (op.verb == "add") return Add(op);
        if (op.verb == "overload" && core::EqualsNoCase(op.target, "none"))
            return Status(c_.ClearOverload());
        const auto row = Row(op.target);
        if (!row)
            return r_.Refuse("Changing Aircraft Data", "Section " + r_.state.Current.SectionName +
                                                           " has no design aircraft " + op.target +
                                                           ".");
        if (op.verb == "remove") return Status(c_.RemoveRow(*row));
        if (op.verb == "overload") {
            if (r_.state.Current.Aircraft[static_cast<std::size_t>(*row)].OverloadFlag)
                return std::nullopt;
            return Status(c_.ToggleOverload(*row));
        }
        return Values(op, *row);
    }

private:
    std::optional<int> Status(EditStatus s) {
        if (s == EditStatus::Done) return std::nullopt;
        if (r_.opt.json) r_.PrintJson({{"command", "aircraft"}, {"status", "refused"}});
        return kExitRefused;
    }

    std::optional<int> Row(const std::string& text) const {
        if (auto n = Number(text, r_.state.Current.AircraftCount())) return *n - 1;
        return std::nullopt;
    }

    std::optional<int> Add(const Operation& op) {
        const auto k = FindLibraryAircraft(r_.state, op.target);
        if (!k || r_.state.Aircraft.Entry(*k).AcGearCode == "HB")
            return RefuseAircraft(r_, op.target);
        const int row = r_.state.Current.AircraftCount();
        if (auto stop = Status(c_.AddLibraryAircraft(*k))) return stop;
        return Values(op, row);
    }

    std::optional<int> Values(const Operation& op, int row) {
        using Setter = EditStatus (control::AircraftController::*)(int, double);
        const std::pair<const std::optional<std::string>*, Setter> values[] = {
            {&op.load, &control::AircraftController::SetGrossLoad},
            {&op.departures, &control::AircraftController::SetDepartures},
            {&op.growth, &control::AircraftController::SetGrowth}};
        for (const auto& [text, set] : values) {
            if (!*text) continue;
            const auto v = core::ParseNumber(**text);
            if (!v)
                return r_.Refuse("Incorrect Data Entry",
                                 **text + " was entered.\r\nIt is not a valid number.");
            if (auto stop = Status((c_.*set)(row, *v))) return stop;
        }
        return std::nullopt;
    }

    Run& r_;
    control::AircraftController& c_;
};

void PrintList(Run& r, bool saved) {
    const auto& u = r.state.Units;
    r.out << "Design aircraft of section " << r.state.Current.SectionName << " in job "
          << r.state.JobName << "\n";
    r.out << "  " << Pad("#", 3) << Pad("Name", 20) << Pad("Gross load (" + u.load.label + ")", 19)
          << Pad("Departures/yr", 13) << Pad("Growth %", 8) << Pad("Overload", 8)
          << "Total departures\n";
    int k = 0;
    for (const auto& a : r.state.Current.Aircraft) {
        r.out << "  " << Pad(std::to_string(++k), 3) << Pad(a.AircraftName, 20)
              << Pad(Shown(a.GrossLoad, u.load), 19)
              << Pad(core::FormatMask(a.AnnualDepartures, "#,##0"), 13)
              << Pad(core::FormatMask(a.AnnualGrowth * 100.0, "0.00"), 8)
              << Pad(a.OverloadFlag ? "yes" : "no", 8)
              << core::FormatMask(a.TotalDepartures, "#,##0") << "\n";
    }
    r.out << (saved ? "Saved in job " + r.state.JobName + "." : std::string("Unchanged.")) << "\n";
}

}  // namespace

int CmdAircraft(Run& r) {
    const auto parsed = ParseOperations(r.opt.operations);
    if (const auto* problem = std::get_if<std::string>(&parsed)) {
        r.err << "tavro-cli aircraft: " << *problem << "\n";
        return kExitUsage;
    }
    if (auto stop = OpenJob(r)) return *stop;
    if (auto stop = SelectSectionByName(r)) return *stop;
    control::AircraftController c(r.state, r.port);
    c.Open();
    Applier applier(r, c);
    for (const Operation& op : std::get<std::vector<Operation>>(parsed))
        if (auto stop = applier.Apply(op)) return *stop;
    // The window's closing checks decide whether the list may be saved at all.
    if (c.CheckList() == EditStatus::Refused) return r.Finish(core::OpStatus::Refused, "aircraft");
    bool saved = false;
    if (c.ListChanged()) {
        if (!c.StoreList(true)) return r.Finish(core::OpStatus::Failed, "aircraft");
        saved = true;
    }
    if (r.opt.json)
        r.PrintJson({{"job", r.state.JobName},
                     {"section", SectionJson(r.state.Current)},
                     {"saved", saved},
                     {"status", "done"}});
    else
        PrintList(r, saved);
    return kExitOk;
}

// ---- gear -----------------------------------------------------------------------------

int CmdGear(Run& r) {
    const auto k = FindLibraryAircraft(r.state, r.opt.aircraft);
    if (!k) return RefuseAircraft(r, r.opt.aircraft);
    const library::AircraftEntry& e = r.state.Aircraft.Entry(*k);
    float load = e.AcGrossLoad;
    if (r.opt.gearLoadGiven)
        load = control::CheckedGrossLoad(r.state, r.port, e.AcGrossLoad, r.opt.gearLoad,
                                         control::LoadLabel::With);
    const library::GearPlan plan = library::PlanGear(e, load);
    if (r.opt.json) {
        json tires = json::array();
        for (const auto& t : plan.tires)
            tires.push_back({{"x", t.xIn}, {"y", t.yIn}, {"gear", t.gear + 1}});
        r.PrintJson({{"aircraft", e.AcName},
                     {"grossLoad", Stored(load)},
                     {"contactWidth", Stored(static_cast<float>(plan.contactWidthIn))},
                     {"contactLength", Stored(static_cast<float>(plan.contactLengthIn))},
                     {"gears", plan.gearCount},
                     {"tires", tires}});
        return kExitOk;
    }
    r.out << control::GearPlanSvg(plan, control::GearPlanFigures(e, load, plan, r.state.Units),
                                  r.state.Units);
    return kExitOk;
}

}  // namespace tavro::cli
