#include "cli/cli_man.h"

#include <CLI/CLI.hpp>

#include "cli/cli_commands.h"
#include "core/startup.h"
#include "platform/man_page.h"

namespace tavro::cli {

namespace {

bool Hidden(const CLI::Option* o) { return o->get_group().empty(); }

std::string ValueName(const CLI::Option* o) {
    std::string name = o->get_lnames().empty() ? o->get_name() : o->get_lnames().front();
    for (char& c : name)
        c = static_cast<char>(c == '-' ? '_' : std::toupper(static_cast<unsigned char>(c)));
    return name;
}

// "--dir DIR", "-h,--help": the names, and the value an option takes.
std::string OptionTerm(const CLI::Option* o) {
    std::string term = o->get_name(false, true);
    if (o->get_items_expected_min() > 0) term += " " + ValueName(o);
    return term;
}

bool IsHelp(const CLI::App& app, const CLI::Option* o) { return o == app.get_help_ptr(); }

platform::ManEntry CommandEntry(const CLI::App& sub) {
    platform::ManEntry entry{sub.get_name(), sub.get_description(), {}};
    bool options = false;
    for (const CLI::Option* o : sub.get_options()) {
        if (IsHelp(sub, o) || Hidden(o)) continue;
        if (o->get_positional()) {
            const std::string name = o->get_name();
            entry.term += o->get_required() ? " " + name : " [" + name + "]";
        } else {
            options = true;
            entry.children.push_back({OptionTerm(o), o->get_description(), {}});
        }
    }
    if (options) entry.term += " [OPTIONS]";
    return entry;
}

}  // namespace

std::string CliManPage(const CLI::App& app) {
    platform::ManPage page;
    page.name = app.get_name();
    page.summary = "design and check airport pavements from the command line";
    page.synopsis = "[OPTIONS] COMMAND [ARGUMENTS] [OPTIONS]";
    page.source = "TAVRO " + std::string(core::kProgramVersion);

    page.sections.push_back(
        {"Description",
         {"tavro-cli works on the job files of TAVRO, the program with which pavement engineers "
          "design and check airport pavements with layered elastic theory: it lists jobs and "
          "sections, edits them, and runs analyses, designs and lives as the desktop program "
          "tavro does.",
          "Messages of the program are printed to standard error as \"title: text\". Questions "
          "are answered with their default button, or with Yes when --yes is given. With --json "
          "the output is one JSON document on standard output that carries the messages."},
         {}});

    platform::ManSection options{"Options", {}, {}};
    for (const CLI::Option* o : app.get_options())
        if (!Hidden(o) && !o->get_positional())
            options.entries.push_back({OptionTerm(o), o->get_description(), {}});
    page.sections.push_back(options);

    platform::ManSection commands{"Commands", {}, {}};
    for (const CLI::App* sub :
         app.get_subcommands([](const CLI::App* s) { return !s->get_group().empty(); }))
        commands.entries.push_back(CommandEntry(*sub));
    page.sections.push_back(commands);

    page.sections.push_back(
        {"Files",
         {"The program directory holds the job files (NAME.JOB), their notes (NAME.NTS) and the "
          "files of the analyses. It is the directory given with --dir. Without --dir it is the "
          "directory of the program file, unless the program is installed or that directory "
          "cannot be written: then it is $XDG_DATA_HOME/TAVRO (by default "
          "~/.local/share/TAVRO), which the first use creates and names. The desktop program "
          "uses the same directory."},
         {}});
    page.sections.push_back(
        {"Exit status",
         {},
         {{std::to_string(kExitOk), "The command was done.", {}},
          {std::to_string(kExitRefused),
           "The command was refused or failed; the message says why.",
           {}},
          {std::to_string(kExitUsage), "The command line was not understood.", {}}}});
    page.sections.push_back({"See also", {"tavro(1)"}, {}});
    return platform::RenderManPage(page);
}

}  // namespace tavro::cli
