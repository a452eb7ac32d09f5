// What every command of the command-line program shares: the options, the started
// program with its console port, output helpers, and opening a job and a section by name.
#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/cli_commands.h"
#include "cli/cli_port.h"
#include "core/job_ops.h"
#include "core/program_state.h"
#include "core/units.h"

namespace tavro::cli {

using core::ProgramState;
using nlohmann::json;

struct Options {
    std::string dir;
    bool metric = false;
    bool json = false;
    bool yes = false;
    bool noWait = false;  // runs: refuse at once when another run holds the directory
    std::string job, section, target, name, newName, setText, as;
    bool setGiven = false;
    std::string response;  // analyze: strain, stress, deflection or hstrain ("" = by type)
    double depth = 0;      // analyze: evaluation depth, in
    bool depthGiven = false;
    bool all = false;                     // design: every section from the first down
    bool save = false;                    // design: store and write the job after each section
    std::string overload;                 // life: the overload aircraft, by name or list number
    std::vector<std::string> operations;  // edit, aircraft: the operations in order
    bool replace = false;                 // import: replace a section of the same name
    bool firstIteration = false;          // analyze: a design's first analysis, aggregates unsplit
    std::string basin;                    // backcalc: d1,...,d7 in thousandths of an inch
    double load = 0;                      // backcalc: plate load, lbs
    bool loadGiven = false;
    std::string group;     // library: group name or number ("" = all)
    std::string aircraft;  // gear: library aircraft, by name or number
    double gearLoad = 0;   // gear: gross load in display units
    bool gearLoadGiven = false;
};

// Everything a command needs: the started program and where its output goes.
struct Run {
    ProgramState state;
    CliPort port;
    Options opt;
    bool damagedJob = false;  // the job file could not be read completely
    bool isShow = false;
    std::ostream& out;
    std::ostream& err;

    Run(const Options& o, std::ostream& outStream, std::ostream& errStream)
        : port(errStream, o.yes, o.json), opt(o), out(outStream), err(errStream) {}

    json Messages() const {
        json list = json::array();
        for (const auto& m : port.messages())
            list.push_back({{"title", m.title}, {"text", m.text}});
        return list;
    }

    // Prints a JSON document; names in job files are 8-bit text, so invalid UTF-8 is
    // replaced rather than aborting the output.
    void PrintJson(json doc) const {
        doc["messages"] = Messages();
        out << doc.dump(2, ' ', false, json::error_handler_t::replace) << "\n";
    }

    // A refusal of the command line itself (no such job or section).
    int Refuse(const std::string& title, const std::string& text) {
        port.ShowBox(title, text, core::Buttons::Ok, core::Answer::Ok, core::Icon::None);
        if (opt.json) PrintJson({{"status", "refused"}});
        return kExitRefused;
    }

    int Finish(core::OpStatus status, const char* command) {
        const char* word = status == core::OpStatus::Done      ? "done"
                           : status == core::OpStatus::Refused ? "refused"
                                                               : "failed";
        if (opt.json) PrintJson({{"command", command}, {"status", word}});
        return status == core::OpStatus::Done ? kExitOk : kExitRefused;
    }
};

// A stored value shown in a unit of the unit set.
std::string Shown(double stored, const core::UnitQuantity& q);

// A stored single-precision value as the double with the same shortest decimal form, so
// that JSON shows 9.500167 rather than the float's binary tail 9.500166893005371.
double Stored(float value);

// A section as `show --json` prints it: values in stored (English) units.
json SectionJson(const core::CurrentSectionRecord& c);

bool IsListed(const ProgramState& s, const std::string& job);
std::string ListedName(const ProgramState& s, const std::string& job);

// Opens the job named in the options without the window's fall-back to "Samples", so that
// a damaged file is reported and never silently replaced by other data. Returns an exit
// status when the command cannot go on.
std::optional<int> OpenJob(Run& r);

// Selects the section named in the options (exact name first, then without regard to
// case). Returns an exit status when there is none.
std::optional<int> SelectSectionByName(Run& r);

// Commands of the analysis.
int CmdAnalyze(Run& r);
int CmdBackcalc(Run& r);

// Commands of the aircraft library, the design aircraft list and the gear plan.
int CmdLibrary(Run& r);
int CmdAircraft(Run& r);
int CmdGear(Run& r);

// Commands of design, life and the report.
int CmdDesign(Run& r);
int CmdLife(Run& r);
int CmdReport(Run& r);

// Editing, new sections, export and import.
int CmdEdit(Run& r);
int CmdNewSection(Run& r);
int CmdExport(Run& r);
int CmdImport(Run& r);

}  // namespace tavro::cli
