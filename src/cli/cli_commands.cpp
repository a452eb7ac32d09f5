#include "cli/cli_commands.h"

#include <unistd.h>
#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <charconv>
#include <iostream>
#include <optional>
#include <ostream>

#include "analysis/numerical.h"
#include "cli/cli_context.h"
#include "cli/cli_man.h"
#include "cli/cli_port.h"
#include "cli/instance_check.h"
#include "core/day_serial.h"
#include "core/file_error.h"
#include "core/file_lock.h"
#include "core/job_ops.h"
#include "core/messages.h"
#include "core/narrow.h"
#include "core/notes_file.h"
#include "core/number_format.h"
#include "core/program_state.h"
#include "core/section_ops.h"
#include "core/startup.h"
#include "library/layer_library.h"
#include "platform/program_dir.h"

namespace tavro::cli {

namespace {

// ---- jobs -------------------------------------------------------------------------

int CmdJobs(Run& r) {
    if (r.opt.json) {
        r.PrintJson({{"jobs", r.state.JobList}});
    } else {
        for (const auto& j : r.state.JobList) r.out << j << "\n";
    }
    return kExitOk;
}

// ---- show -------------------------------------------------------------------------

void PrintSectionList(Run& r) {
    const auto lines = core::FillSectionList(r.state, r.port);
    if (!r.opt.json) {
        for (const auto& line : lines) r.out << line << "\n";
        return;
    }
    json sections = json::array();
    const auto current = r.state.CurrentSection;
    for (int i = 1; i <= r.state.SectionCount(); ++i) {
        const auto type = core::ClassifyPavement(r.state.Slot(i).Layers).pavementType;
        sections.push_back({{"index", i},
                            {"name", r.state.Slot(i).SectionName},
                            {"pavementType", type},
                            {"pavementTypeName", core::PavementTypeListName(type)}});
    }
    r.state.CurrentSection = current;
    r.PrintJson({{"job", r.state.JobName}, {"sections", sections}});
}

std::string Pad(std::string text, std::size_t width) {
    if (text.size() < width) text.append(width - text.size(), ' ');
    return text;
}

void PrintSectionText(Run& r) {
    const auto& c = r.state.Current;
    const auto& u = r.state.Units;
    std::ostream& o = r.out;
    o << "Section " << c.SectionName << " in job " << r.state.JobName << "\n";
    o << "Pavement type: " << c.PavementType;
    if (c.PavementType != core::kPavementNone)
        o << " " << core::PavementTypeListName(c.PavementType);
    o << "\n";
    o << "Design life: " << c.DesignLife << " years\n";
    o << "SCI: " << core::FormatMask(c.SCI, "0") << "   %CDFU: " << core::FormatMask(c.CDFU, "0")
      << (c.ExistingPavement ? "" : "   (no existing rigid pavement)") << "\n";
    o << "Last run: "
      << (core::IsNotAnalysed(c.SectionTimeStamp) ? std::string("not analysed")
                                                  : core::FormatTimeStamp(c.SectionTimeStamp))
      << "\n\n";
    o << "Layers:\n";
    o << "  " << Pad("#", 4) << Pad("Type", 24) << Pad("Thickness (" + u.thickness.label + ")", 18)
      << Pad("Modulus (" + u.modulus.label + ")", 18) << "Flex. strength (" << u.modulus.label
      << ")\n";
    for (int i = 0; i < c.LayerCount(); ++i) {
        const auto& l = c.Layers[static_cast<std::size_t>(i)];
        o << "  " << Pad(std::to_string(i + 1), 4)
          << Pad(std::string(library::LayerTypeName(l.LayerType)), 24)
          << Pad(Shown(l.LayerThickness, u.thickness), 18)
          << Pad(Shown(l.LayerModulus, u.modulus), 18)
          // A concrete layer shows its strength as stored, even one a run would refuse.
          << (library::IsPccLayer(l.LayerType) ? Shown(l.LayerFlexStrength, u.modulus)
                                               : std::string("-"))
          << "\n";
    }
    o << "\nAircraft:\n";
    o << "  " << Pad("Name", 22) << Pad("Gross load (" + u.load.label + ")", 22)
      << Pad("Departures/yr", 15) << Pad("Growth %", 10)
      << Pad("Contact W x L (" + u.thickness.label + ")", 26) << "Total departures\n";
    for (const auto& a : c.Aircraft) {
        o << "  " << Pad(a.AircraftName, 22) << Pad(Shown(a.GrossLoad, u.load), 22)
          << Pad(core::FormatMask(a.AnnualDepartures, "#,##0"), 15)
          << Pad(core::FormatMask(a.AnnualGrowth * 100.0, "0.00"), 10)
          << Pad(Shown(a.ContactWidth, u.thickness) + " x " + Shown(a.ContactLength, u.thickness),
                 26)
          << core::FormatMask(a.TotalDepartures, "#,##0") << "\n";
    }
}

int CmdShow(Run& r) {
    if (auto stop = OpenJob(r)) {
        // A damaged job: list what could be read, and fail.
        if (r.damagedJob && r.opt.section.empty()) PrintSectionList(r);
        return *stop;
    }
    if (r.opt.section.empty()) {
        PrintSectionList(r);
        return kExitOk;
    }
    if (auto stop = SelectSectionByName(r)) return *stop;
    if (r.opt.json)
        r.PrintJson({{"job", r.state.JobName}, {"section", SectionJson(r.state.Current)}});
    else
        PrintSectionText(r);
    return kExitOk;
}

// ---- job and section commands -----------------------------------------------------

std::optional<int> CheckName(Run& r, const std::string& name, core::NameMode mode) {
    if (auto reason = core::CheckName(name, mode))
        return r.Refuse(core::NameDialogFor(r.state, mode).title, *reason);
    return std::nullopt;
}

int CmdNewJob(Run& r) {
    if (auto stop = CheckName(r, r.opt.name, core::NameMode::NewJob)) return *stop;
    return r.Finish(core::NewJob(r.state, r.port, r.opt.name), "new-job");
}

int CmdDeleteJob(Run& r) {
    if (auto stop = OpenJob(r)) return *stop;
    return r.Finish(core::DeleteJob(r.state, r.port), "delete-job");
}

int CmdDuplicate(Run& r) {
    if (auto stop = OpenJob(r)) return *stop;
    if (auto stop = SelectSectionByName(r)) return *stop;
    if (auto stop = CheckName(r, r.opt.newName, core::NameMode::NewSection)) return *stop;
    return r.Finish(core::DuplicateSection(r.state, r.port, r.opt.newName), "duplicate");
}

int CmdDeleteSection(Run& r) {
    if (auto stop = OpenJob(r)) return *stop;
    if (auto stop = SelectSectionByName(r)) return *stop;
    return r.Finish(core::DeleteSection(r.state, r.port), "delete-section");
}

int CmdCopy(Run& r) {
    if (auto stop = OpenJob(r)) return *stop;
    if (auto stop = SelectSectionByName(r)) return *stop;
    if (!IsListed(r.state, r.opt.target))
        return r.Refuse(
            "Copying a Section",
            "Job " + r.opt.target + " does not exist in directory " + r.state.ProgramDir + ".");
    const std::string name = r.opt.as.empty() ? r.state.Current.SectionName : r.opt.as;
    if (auto stop = CheckName(r, name, core::NameMode::CopySection)) return *stop;
    return r.Finish(
        core::CopySectionToJob(r.state, r.port, ListedName(r.state, r.opt.target), name), "copy");
}

std::string WithCrLf(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
        out += text[i];
    }
    return out;
}

int CmdNotes(Run& r) {
    if (auto stop = OpenJob(r)) return *stop;
    if (auto stop = SelectSectionByName(r)) return *stop;
    if (r.opt.setGiven) {
        if (!core::UpdateNotes(r.state, r.port, WithCrLf(r.opt.setText), core::NotesMode::Replace))
            return r.Finish(core::OpStatus::Failed, "notes");
    }
    if (!core::ReadNotes(r.state, r.port)) return r.Finish(core::OpStatus::Failed, "notes");
    if (r.opt.json)
        r.PrintJson({{"job", r.state.JobName},
                     {"section", r.state.Current.SectionName},
                     {"notes", r.state.NotesText}});
    else
        r.out << TerminalText(r.state.NotesText) << "\n";
    return kExitOk;
}

// A run writes the analysis files, whose names are fixed in the program directory: it holds
// the directory's run lock from start to end, so that parallel runs wait for each other
// instead of reading each other's results. The kernel drops the lock of a killed run.
std::optional<int> LockRuns(Run& r, core::FileLock& lock) {
    const bool held = core::LockRuns(
        r.state, r.port, lock,
        r.opt.noWait ? core::FileLock::Wait::NoWait : core::FileLock::Wait::Block,
        "Try again when it has finished, or leave out --no-wait to wait for it.", [&r] {
            r.err << "Waiting for another run in " << r.state.ProgramDir << " to finish...\n";
            r.err.flush();
        });
    if (held) return std::nullopt;
    if (r.opt.json) r.PrintJson({{"status", "failed"}});
    return kExitRefused;
}

}  // namespace

int RunCli(const std::vector<std::string>& args, const std::string& defaultDir, std::ostream& out,
           std::ostream& err) {
    Options opt;
    opt.dir = defaultDir;
    CLI::App app{core::MainWindowTitle() + ": jobs and sections of airport pavements", "tavro-cli"};
    app.option_defaults()->always_capture_default(false);
    auto* dirOption = app.add_option("--dir", opt.dir, "Program directory holding the job files");
    app.add_flag("--metric", opt.metric, "Show values in metric units");
    app.add_flag("--json", opt.json, "Machine-readable output");
    app.add_flag("--yes", opt.yes, "Answer Yes to every question");
    app.add_flag("--no-wait", opt.noWait,
                 "Runs: refuse at once instead of waiting for another run in the directory");
    app.set_version_flag("--version", "tavro-cli " + std::string(core::kProgramVersion),
                         "Show the version and exit");
    // Hidden: the build writes the installed manual page with it, after every command exists.
    app.add_flag_callback("--man",
                          [&app, &out] {
                              out << CliManPage(app);
                              throw CLI::Success();
                          })
        ->group("");
    app.require_subcommand(1);
    app.fallthrough();

    auto* jobs = app.add_subcommand("jobs", "List the jobs");
    auto* show = app.add_subcommand("show", "List the sections of a job, or show one section");
    show->add_option("JOB", opt.job)->required();
    show->add_option("SECTION", opt.section);
    auto* newJob = app.add_subcommand("new-job", "Create an empty job");
    newJob->add_option("NAME", opt.name)->required();
    auto* deleteJob = app.add_subcommand("delete-job", "Delete a job and its notes");
    deleteJob->add_option("NAME", opt.job)->required();
    auto* duplicate = app.add_subcommand("duplicate", "Duplicate a section under a new name");
    duplicate->add_option("JOB", opt.job)->required();
    duplicate->add_option("SECTION", opt.section)->required();
    duplicate->add_option("NEWNAME", opt.newName)->required();
    auto* deleteSection = app.add_subcommand("delete-section", "Delete a section");
    deleteSection->add_option("JOB", opt.job)->required();
    deleteSection->add_option("SECTION", opt.section)->required();
    auto* copy = app.add_subcommand("copy", "Copy a section, with its note, to another job");
    copy->add_option("JOB", opt.job)->required();
    copy->add_option("SECTION", opt.section)->required();
    copy->add_option("TARGET", opt.target)->required();
    copy->add_option("--as", opt.as, "Name of the copy");
    auto* notes = app.add_subcommand("notes", "Show or set the note of a section");
    notes->add_option("JOB", opt.job)->required();
    notes->add_option("SECTION", opt.section)->required();
    auto* set = notes->add_option("--set", opt.setText, "New text of the note");
    auto* analyze = app.add_subcommand(
        "analyze", "One layered elastic analysis of a section, prepared as for a design");
    analyze->add_option("JOB", opt.job)->required();
    analyze->add_option("SECTION", opt.section)->required();
    analyze->add_option("--response", opt.response, "strain, stress, deflection or hstrain")
        ->check(CLI::IsMember({"strain", "stress", "deflection", "hstrain"}));
    auto* depth = analyze->add_option("--depth", opt.depth,
                                      "Evaluation depth, in (negative: bottom of the layer above)");
    analyze->add_flag("--first-iteration", opt.firstIteration,
                      "The first analysis of a design: aggregate layers not split");
    auto* designCmd =
        app.add_subcommand("design", "Design a section (or every section with --all)");
    designCmd->add_option("JOB", opt.job)->required();
    designCmd->add_option("SECTION", opt.section);
    designCmd->add_flag("--all", opt.all, "Design every section from the first down");
    designCmd->add_flag("--save", opt.save, "Save the designed structure into the job file");
    auto* life = app.add_subcommand("life", "Compute the life of a section");
    life->add_option("JOB", opt.job)->required();
    life->add_option("SECTION", opt.section)->required();
    life->add_option("--overload", opt.overload,
                     "Mark this aircraft (name or list number) as the overload aircraft");
    auto* report = app.add_subcommand("report", "The section report as printed, with its note");
    report->add_option("JOB", opt.job)->required();
    report->add_option("SECTION", opt.section)->required();
    auto* backcalc = app.add_subcommand("backcalc", "Back-calculate the subgrade modulus");
    backcalc->add_option("JOB", opt.job)->required();
    backcalc->add_option("SECTION", opt.section)->required();
    backcalc->add_option("--basin", opt.basin,
                         "Measured deflections d1,...,d7 (thousandths of an inch)");
    auto* load = backcalc->add_option("--load", opt.load, "Plate load, lbs");

    auto* edit =
        app.add_subcommand("edit", "Edit a section's structure as the structure window does");
    edit->add_option("JOB", opt.job)->required();
    edit->add_option("SECTION", opt.section)->required();
    edit->add_option("OPERATION", opt.operations,
                     "layer N type=CODE|NAME thickness=T modulus=E strength=R, add N, delete N, "
                     "life=Y, sci=S, cdfu=C, subgrade=V, design-layer=N")
        ->required();
    auto* newSection = app.add_subcommand("new-section", "Add an undefined two-layer section");
    newSection->add_option("JOB", opt.job)->required();
    newSection->add_option("NAME", opt.name)->required();
    auto* exportCmd = app.add_subcommand("export", "Print a section as JSON");
    exportCmd->add_option("JOB", opt.job)->required();
    exportCmd->add_option("SECTION", opt.section)->required();
    auto* importCmd = app.add_subcommand("import", "Add (or replace) a section from exported JSON");
    importCmd->add_option("JOB", opt.job)->required();
    importCmd->add_option("FILE", opt.target, "The JSON document, or - for standard input")
        ->required();
    importCmd->add_flag("--replace", opt.replace, "Replace the section of the same name");
    auto* library = app.add_subcommand("library", "The aircraft library by group");
    library->add_option("GROUP", opt.group, "Group name or number");
    auto* aircraft =
        app.add_subcommand("aircraft", "Change the design aircraft list of a section and save it");
    aircraft->add_option("JOB", opt.job)->required();
    aircraft->add_option("SECTION", opt.section)->required();
    aircraft
        ->add_option("OPERATION", opt.operations,
                     "add NAME|NUMBER [load=L] [departures=D] [growth=G], set ROW [...], "
                     "remove ROW, clear, overload ROW|none")
        ->required();
    auto* gear = app.add_subcommand("gear", "The main gear plan of an aircraft as SVG");
    gear->add_option("AIRCRAFT", opt.aircraft, "Library aircraft name or number")->required();
    auto* gearLoad = gear->add_option("--load", opt.gearLoad, "Gross load in the display unit");

    std::vector<std::string> reversed(args.rbegin(), args.rend());
    try {
        app.parse(reversed);
    } catch (const CLI::ParseError& e) {
        const int code = app.exit(e, out, err);
        return code == 0 ? kExitOk : kExitUsage;
    }
    opt.setGiven = set->count() > 0;
    opt.depthGiven = depth->count() > 0;
    opt.loadGiven = load->count() > 0;
    opt.gearLoadGiven = gearLoad->count() > 0;

    std::string dirNotice;
    if (dirOption->count() == 0) {
        const auto choice = platform::DefaultProgramDir(defaultDir, platform::UserDataDir());
        opt.dir = choice.dir;
        dirNotice = choice.notice;
    }

    Run r(opt, out, err);
    // Only the job list tells that the directory has no job files.
    if (!*jobs) r.port.Suppress("No Job Files");
    if (!dirNotice.empty())
        r.port.ShowBox("Program Directory", dirNotice, core::Buttons::Ok, core::Answer::Ok,
                       core::Icon::Information);
    core::StartProgram(r.state, r.port, opt.dir,
                       IsFirstInstance(core::NormalizeProgramDir(opt.dir)));
    analysis::StandardLaguerreRule();  // the solver's quadrature, built once at start-up
    core::ApplyUnits(r.state.Units, opt.metric);
    if (!opt.json && isatty(STDERR_FILENO) && &err == &std::cerr)
        r.port.ShowProgressOn(&r.state.Units);

    if (*jobs) return CmdJobs(r);
    r.isShow = static_cast<bool>(*show);
    if (*show) return CmdShow(r);
    if (*newJob) return CmdNewJob(r);
    if (*deleteJob) return CmdDeleteJob(r);
    if (*duplicate) return CmdDuplicate(r);
    if (*deleteSection) return CmdDeleteSection(r);
    if (*copy) return CmdCopy(r);
    if (*notes) return CmdNotes(r);
    if (*report) return CmdReport(r);
    if (*edit) return CmdEdit(r);
    if (*newSection) return CmdNewSection(r);
    if (*exportCmd) return CmdExport(r);
    if (*importCmd) return CmdImport(r);
    if (*library) return CmdLibrary(r);
    if (*aircraft) return CmdAircraft(r);
    if (*gear) return CmdGear(r);
    core::FileLock runLock;
    if (auto stop = LockRuns(r, runLock)) return *stop;
    if (*analyze) return CmdAnalyze(r);
    if (*backcalc) return CmdBackcalc(r);
    if (*designCmd) return CmdDesign(r);
    if (*life) return CmdLife(r);
    return kExitUsage;
}

}  // namespace tavro::cli
