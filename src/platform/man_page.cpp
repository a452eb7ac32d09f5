#include "platform/man_page.h"

#include <cctype>

namespace tavro::platform {

namespace {

std::string Escape(const std::string& text, bool hyphensAreMinus) {
    std::string out;
    bool lineStart = true;
    for (const char c : text) {
        // A line that begins with a dot or a quote would be read as a request.
        if (lineStart && (c == '.' || c == '\'')) out += "\\&";
        if (c == '\\')
            out += "\\e";
        else if (c == '-' && hyphensAreMinus)
            out += "\\-";
        else
            out += c;
        lineStart = c == '\n';
    }
    return out;
}

bool IsArgumentWord(const std::string& word) {
    bool upper = false;
    for (const char c : word) {
        if (std::islower(static_cast<unsigned char>(c))) return false;
        if (std::isupper(static_cast<unsigned char>(c))) upper = true;
    }
    return upper;
}

// Options bold, argument names (all capitals) italic, brackets and separators roman.
std::string Term(const std::string& term) {
    std::string out;
    std::size_t i = 0;
    while (i < term.size()) {
        const char c = term[i];
        if (std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_') {
            std::size_t j = i;
            while (j < term.size() && (std::isalnum(static_cast<unsigned char>(term[j])) ||
                                       term[j] == '-' || term[j] == '_'))
                ++j;
            const std::string word = term.substr(i, j - i);
            out += (IsArgumentWord(word) ? "\\fI" : "\\fB") + Escape(word, true) + "\\fR";
            i = j;
        } else {
            out += Escape(std::string(1, c), false);
            ++i;
        }
    }
    return out;
}

std::string Upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

void Entry(std::string& out, const ManEntry& e) {
    out += ".TP\n" + Term(e.term) + "\n";
    if (!e.text.empty()) out += Escape(e.text, false) + "\n";
    if (e.children.empty()) return;
    out += ".RS\n";
    for (const auto& child : e.children) Entry(out, child);
    out += ".RE\n";
}

}  // namespace

std::string RenderManPage(const ManPage& page) {
    std::string out =
        ".TH \"" + Upper(page.name) + "\" \"1\" \"\" \"" + page.source + "\" \"User Commands\"\n";
    out += ".SH NAME\n" + Escape(page.name, true) + " \\- " + Escape(page.summary, false) + "\n";
    out += ".SH SYNOPSIS\n.B " + Escape(page.name, true) + "\n" + Term(page.synopsis) + "\n";
    for (const auto& section : page.sections) {
        out += ".SH " + Upper(section.heading) + "\n";
        for (const auto& p : section.paragraphs) out += ".PP\n" + Escape(p, false) + "\n";
        for (const auto& e : section.entries) Entry(out, e);
    }
    return out;
}

}  // namespace tavro::platform
