#include "core/program_state.h"

#include <algorithm>
#include <cassert>
#include <cstdlib>

#include "core/narrow.h"

namespace tavro::core {

namespace {
char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

void CheckSlot(int i, int count) {
    if (i < 1 || i > count) std::abort();  // a slot outside the job table is a program fault
}
}  // namespace

Section& ProgramState::Slot(int i) {
    CheckSlot(i, SectionCount());
    return Sections[SlotIndex(i)];
}

const Section& ProgramState::Slot(int i) const {
    CheckSlot(i, SectionCount());
    return Sections[SlotIndex(i)];
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return Lower(x) == Lower(y); });
}

bool LessNoCase(std::string_view a, std::string_view b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return static_cast<unsigned char>(Lower(x)) < static_cast<unsigned char>(Lower(y));
    });
}

bool IsSamplesJob(std::string_view jobName) { return EqualsNoCase(jobName, kSamplesJob); }

}  // namespace tavro::core
