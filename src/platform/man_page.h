// Manual pages (roff, man macros) written from a program's own option list, so that the
// installed pages always describe the options the program accepts.
#pragma once

#include <string>
#include <vector>

namespace tavro::platform {

// A tagged paragraph: `term` (an option or a command with its arguments) and its text;
// `children` are indented below it (the options of a command).
struct ManEntry {
    std::string term;
    std::string text;
    std::vector<ManEntry> children;
};

struct ManSection {
    std::string heading;                  // "OPTIONS"
    std::vector<std::string> paragraphs;  // plain paragraphs before the entries
    std::vector<ManEntry> entries;
};

struct ManPage {
    std::string name;      // "tavro-cli"
    std::string summary;   // the line after the name in NAME
    std::string synopsis;  // after the name in SYNOPSIS
    std::string source;    // "TAVRO V1.2"
    std::vector<ManSection> sections;
};

// Section 1 page. Terms are set in bold; words in capitals inside a term (JOB, DIR) in
// italics, as arguments are. Text is escaped for roff: backslashes, leading dots and
// quotes, and the hyphens of option names.
std::string RenderManPage(const ManPage& page);

}  // namespace tavro::platform
