// Editing sections from the command line through the structure window's controller: the
// same entries, clamps, defaults and messages, then the rule check and one save. Also new
// sections, and a section exported and imported as the JSON of `show --json`.
#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

#include "cli/cli_context.h"
#include "control/entry_port.h"
#include "control/structure_controller.h"
#include "core/day_serial.h"
#include "core/job_file.h"
#include "core/messages.h"
#include "core/narrow.h"
#include "core/notes_file.h"
#include "core/number_format.h"
#include "core/section_ops.h"
#include "library/aircraft_library.h"
#include "library/layer_library.h"

namespace tavro::cli {

namespace {

const char* kEditTitle = "Editing a Section";

std::optional<int> WholeNumber(std::string_view text) {
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc{} || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::string Lower(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// A type code from a number 0..17, a short name or a full name (without regard to case);
// names shared by several codes give the first of them.
std::optional<int> TypeCode(std::string_view text) {
    if (auto code = WholeNumber(text))
        return library::IsValidLayerType(*code) ? code : std::nullopt;
    for (int code = 0; code < library::kLayerTypeCount; ++code) {
        const library::LayerMaterial& m = library::LayerMaterialOf(code);
        if (Lower(m.LayerTypeName) == Lower(text) || Lower(m.LayerTypeTitle) == Lower(text))
            return code;
    }
    return std::nullopt;
}

// Applies the operations in order; a refusal is reported and ends the edit.
class Editor {
public:
    Editor(Run& r, control::EntryPort& entry, control::StructureController& c)
        : r_(r), entry_(entry), c_(c) {}

    bool Apply(const std::vector<std::string>& ops) {
        for (std::size_t i = 0; i < ops.size(); ++i) {
            const std::string& op = ops[i];
            if (op == "layer" || op == "add" || op == "delete") {
                if (i + 1 >= ops.size()) return Refuse("\"" + op + "\" needs a layer number.");
                const std::optional<int> n = WholeNumber(ops[++i]);
                if (!n || *n < 1 || *n > Count())
                    return Refuse("Layer " + ops[i] + " is not a layer of this structure (1 to " +
                                  std::to_string(Count()) + ").");
                if (op == "add" || op == "delete") {
                    if (!AddDelete(*n, op == "add")) return false;
                    continue;
                }
                while (i + 1 < ops.size() && IsLayerField(ops[i + 1]))
                    if (!LayerField(*n, ops[++i])) return false;
                continue;
            }
            if (!SectionField(op)) return false;
        }
        return true;
    }

private:
    int Count() const { return r_.state.Current.LayerCount(); }

    bool Refuse(const std::string& text) {
        r_.port.ShowBox(kEditTitle, text, core::Buttons::Ok, core::Answer::Ok, core::Icon::None);
        return false;
    }

    static bool IsLayerField(std::string_view op) {
        for (const char* key : {"type=", "thickness=", "modulus=", "strength="})
            if (op.substr(0, std::char_traits<char>::length(key)) == key) return true;
        return false;
    }

    // Feeds `value` to the entry `edit` opens; refused when it is no number or the entry
    // took no value (a fixed quantity: its message has been shown).
    template <typename Edit>
    bool Enter(const std::string& field, const std::string& value, Edit edit) {
        if (!core::ParseNumber(value))
            return Refuse(field + "=" + value + ": " + value + " is not a valid number.");
        entry_.Give(value);
        edit();
        if (!entry_.Asked()) return Refuse(field + " cannot be set on this structure.");
        return true;
    }

    bool LayerField(int n, const std::string& op) {
        const std::size_t eq = op.find('=');
        const std::string key = op.substr(0, eq), value = op.substr(eq + 1);
        const std::string where = "Layer " + std::to_string(n) + ": ";
        const core::SectionLayer& layer = r_.state.Current.Layers[static_cast<std::size_t>(n - 1)];
        if (key == "type") {
            const std::optional<int> code = TypeCode(value);
            if (!code)
                return Refuse(where + "\"" + value +
                              "\" is not a layer type (a code 0 to 17 or a name).");
            c_.SetLayerType(n, *code);
            return true;
        }
        if (key == "thickness") {
            if (n == Count())
                return Refuse(where + "the bottom layer has no thickness; use subgrade=.");
            return Enter(where + key, value, [&] { c_.EditThickness(n); });
        }
        if (key == "modulus" && layer.LayerFlexStrength > 0)
            return Refuse(where + "the modulus of PCC layers is fixed; use strength=.");
        if (key == "strength" && !(layer.LayerFlexStrength > 0))
            return Refuse(where + "only PCC layers have a flexural strength.");
        return Enter(where + key, value, [&] { c_.EditModulus(n); });
    }

    bool AddDelete(int n, bool add) {
        c_.BeginAddDelete();
        if (!c_.PickLayer(n)) {
            c_.CancelPick();
            return Refuse("Layer " + std::to_string(n) +
                          " cannot be picked: the bottom layer cannot be added or deleted.");
        }
        const bool done =
            c_.ApplyAddDelete(add ? control::AddDelete::Add : control::AddDelete::Delete);
        c_.EndAddDelete();
        return done;  // a refusal has shown its message
    }

    bool SectionField(const std::string& op) {
        const std::size_t eq = op.find('=');
        if (eq == std::string::npos) return Refuse("Unknown operation \"" + op + "\".");
        const std::string key = op.substr(0, eq), value = op.substr(eq + 1);
        const bool existing = r_.state.Current.ExistingPavement;
        if (key == "life") return Enter(key, value, [&] { c_.EditLife(); });
        if ((key == "sci" || key == "cdfu") && !existing)
            return Refuse(key + " belongs to overlays on an existing rigid pavement only.");
        if (key == "sci") return Enter(key, value, [&] { c_.EditSci(); });
        if (key == "cdfu") return Enter(key, value, [&] { c_.EditCdfu(); });
        if (key == "subgrade") return Enter(key, value, [&] { c_.EditSubgrade(); });
        if (key == "design-layer") {
            const std::optional<int> n = WholeNumber(value);
            const int current = c_.DesignLayer();
            if (!n || current < 2 || *n < 2 || *n >= Count())
                return Refuse("design-layer=" + value +
                              ": the design layer of a new flexible pavement can be any layer "
                              "from 2 to the one above the subgrade; other pavements design "
                              "their top layer.");
            c_.SetDesignLayer(*n);
            return true;
        }
        return Refuse("Unknown operation \"" + op + "\".");
    }

    Run& r_;
    control::EntryPort& entry_;
    control::StructureController& c_;
};

int Done(Run& r, const char* command) {
    if (r.opt.json)
        r.PrintJson({{"command", command},
                     {"status", "done"},
                     {"job", r.state.JobName},
                     {"section", SectionJson(r.state.Current)}});
    return kExitOk;
}

int Refused(Run& r, const char* command) {
    if (r.opt.json) r.PrintJson({{"command", command}, {"status", "refused"}});
    return kExitRefused;
}

}  // namespace

int CmdEdit(Run& r) {
    if (auto stop = OpenJob(r)) return *stop;
    if (auto stop = SelectSectionByName(r)) return *stop;
    control::EntryPort entry(r.port);
    control::StructureController c(r.state, entry);
    c.Open();
    c.EnterModify();
    if (!c.ModifyMode()) return Refused(r, "edit");  // Samples: its message is shown
    Editor editor(r, entry, c);
    if (!editor.Apply(r.opt.operations)) return Refused(r, "edit");
    c.ModifyCommand();  // the rule check
    if (c.ModifyMode()) return Refused(r, "edit");
    if (!c.Save(control::StructureController::Confirm::No)) return Refused(r, "edit");
    return Done(r, "edit");
}

// ---- new-section ------------------------------------------------------------------------

namespace {

constexpr int kUndefinedType = 0;
constexpr int kSubgradeType = 4;

// Adds `section` to the open job at its sorted place and writes the job and its notes; the
// job table is put back when the write fails.
int AddSection(Run& r, core::Section section, const char* command) {
    if (core::IsSamplesJob(r.state.JobName))
        return r.Refuse("Adding a New Section",
                        "Job Samples is part of the system.\nNew sections cannot be added.");
    if (r.state.SectionCount() >= core::kMaxSections)
        return r.Refuse("Adding a New Section", "Job " + r.state.JobName + " already has " +
                                                    std::to_string(core::kMaxSections) +
                                                    " sections.");
    const std::int16_t before = r.state.CurrentSection;
    const std::string name = section.SectionName;
    static_cast<core::Section&>(r.state.Current) = std::move(section);
    if (core::InsertSection(r.state, r.port, name) != core::InsertStatus::Inserted)
        return Refused(r, command);
    const std::int16_t added = r.state.CurrentSection;
    if (!core::WriteJob(r.state, r.port)) {
        r.state.Sections.erase(r.state.Sections.begin() + (added - 1));
        r.state.CurrentSection = before;
        return Refused(r, command);
    }
    core::UpdateNotes(r.state, r.port, core::kNoNotes, core::NotesMode::Insert);
    core::LoadSection(r.state, r.port);
    return Done(r, command);
}

std::optional<int> CheckSectionName(Run& r, const std::string& name) {
    if (auto reason = core::CheckName(name, core::NameMode::NewSection))
        return r.Refuse("Adding a New Section", *reason);
    return std::nullopt;
}

}  // namespace

int CmdNewSection(Run& r) {
    if (auto stop = OpenJob(r)) return *stop;
    if (auto stop = CheckSectionName(r, r.opt.name)) return *stop;
    const library::LayerMaterial& undefined = library::LayerMaterialOf(kUndefinedType);
    const library::LayerMaterial& subgrade = library::LayerMaterialOf(kSubgradeType);
    core::Section s;
    s.SectionName = r.opt.name;
    s.SCI = undefined.DefaultSCI;
    s.CDFU = undefined.DefaultCDFU;
    s.Layers = {{undefined.MinThickness, undefined.DefaultModulus, 0, kUndefinedType},
                {0, subgrade.DefaultModulus, 0, kSubgradeType}};
    return AddSection(r, std::move(s), "new-section");
}

// ---- export and import ----------------------------------------------------------------------

int CmdExport(Run& r) {
    if (auto stop = OpenJob(r)) return *stop;
    if (auto stop = SelectSectionByName(r)) return *stop;
    r.PrintJson({{"job", r.state.JobName}, {"section", SectionJson(r.state.Current)}});
    return kExitOk;
}

namespace {

// Reads and checks a section document; every failure names the field.
class Importer {
public:
    explicit Importer(const ProgramState& state) : state_(state) {}

    std::optional<core::Section> Read(const json& doc) {
        const json* s = &doc;
        if (doc.is_object() && doc.contains("section")) s = &doc["section"];
        if (!s->is_object()) {
            Fail("section", "is not an object");
            return std::nullopt;
        }
        core::Section out;
        if (!String(*s, "name", out.SectionName)) return std::nullopt;
        if (auto reason = core::CheckName(out.SectionName, core::NameMode::NewSection)) {
            Fail("name", *reason);
            return std::nullopt;
        }
        double life = 0, sci = 0, cdfu = 0, asphalt = 0;
        if (!Number(*s, "designLife", life, 1, 50, true)) return std::nullopt;
        out.DesignLife = core::Int16(static_cast<long>(life));
        if (!Number(*s, "sci", sci, 0, 100) || !Number(*s, "cdfu", cdfu, 0, 100) ||
            !Number(*s, "asphaltCDF", asphalt, -1, 1e30))
            return std::nullopt;
        out.SCI = core::Single(sci);
        out.CDFU = core::Single(cdfu);
        out.AsphaltCDF = core::Single(asphalt);
        if (!TimeStamp(*s, out.SectionTimeStamp) || !Layers(*s, out) || !Aircraft(*s, out))
            return std::nullopt;
        return out;
    }

    std::string error;

private:
    bool Fail(const std::string& field, const std::string& why) {
        error = "The field " + field + " " + why + ".";
        return false;
    }

    bool String(const json& o, const std::string& key, std::string& out,
                const std::string& at = "") {
        if (!o.contains(key) || !o[key].is_string())
            return Fail(at + key, "is missing or not text");
        out = o[key].get<std::string>();
        return true;
    }

    bool Number(const json& o, const std::string& key, double& out, double lo, double hi,
                bool whole = false, const std::string& at = "") {
        if (!o.contains(key) || !o[key].is_number())
            return Fail(at + key, "is missing or not a number");
        out = o[key].get<double>();
        if (!std::isfinite(out) || out < lo || out > hi || (whole && out != std::floor(out))) {
            std::ostringstream range;
            range << "is " << o[key].dump() << ", not " << (whole ? "a whole number " : "a number ")
                  << "from " << core::FormatMask(lo, "0.######") << " to "
                  << core::FormatMask(hi, "0.######");
            return Fail(at + key, range.str());
        }
        return true;
    }

    bool TimeStamp(const json& o, double& serial) {
        std::string text;
        if (!String(o, "timeStamp", text)) return false;
        int mo = 0, d = 0, y = 0, h = 0, mi = 0, se = 0;
        char tail = 0;
        if (text.size() != 17 ||
            std::sscanf(text.c_str(), "%2d/%2d/%2d %2d:%2d:%2d%c", &mo, &d, &y, &h, &mi, &se,
                        &tail) != 6 ||
            mo < 1 || mo > 12 || d < 1 || d > 31 || h > 23 || mi > 59 || se > 59 || y < 0 ||
            h < 0 || mi < 0 || se < 0)
            return Fail("timeStamp", "is not a time stamp mm/dd/yy hh:mm:ss");
        // Two-digit years: 70..99 are the 1900s (the not-analysed stamp is 11/01/71).
        const int year = y >= 70 ? 1900 + y : 2000 + y;
        serial = core::DaySerialFromCivil({year, mo, d, h, mi, se});
        if (core::FormatTimeStamp(serial) != text)
            return Fail("timeStamp", "is not a date of the calendar");
        return true;
    }

    bool Layers(const json& o, core::Section& out) {
        if (!o.contains("layers") || !o["layers"].is_array())
            return Fail("layers", "is missing or not a list");
        const json& layers = o["layers"];
        if (layers.size() < 2 || layers.size() > static_cast<std::size_t>(core::kMaxLayers))
            return Fail("layers", "holds " + std::to_string(layers.size()) + " layers, not 2 to " +
                                      std::to_string(core::kMaxLayers));
        for (std::size_t i = 0; i < layers.size(); ++i) {
            const std::string at = "layers[" + std::to_string(i + 1) + "].";
            const json& l = layers[i];
            if (!l.is_object()) return Fail(at.substr(0, at.size() - 1), "is not an object");
            double type = 0, t = 0, e = 0, r = 0;
            if (!Number(l, "type", type, 0, library::kLayerTypeCount - 1, true, at)) return false;
            const int code = static_cast<int>(type);
            const library::LayerMaterial& m = library::LayerMaterialOf(code);
            const bool bottom = i + 1 == layers.size();
            if (!Number(l, "thickness", t, bottom ? 0 : m.MinThickness, bottom ? 0 : 1000, false,
                        at) ||
                !Number(l, "modulus", e, m.MinModulus, m.MaxModulus, false, at))
                return false;
            const bool pcc = library::IsPccLayer(code);
            if (!Number(l, "flexStrength", r, pcc ? library::kMinFlexStrength : 0,
                        pcc ? library::kMaxFlexStrength : 0, false, at))
                return false;
            out.Layers.push_back(
                {core::Single(t), core::Single(e), core::Single(r), core::Int16(code)});
        }
        return true;
    }

    bool Aircraft(const json& o, core::Section& out) {
        if (!o.contains("aircraft") || !o["aircraft"].is_array())
            return Fail("aircraft", "is missing or not a list");
        const json& list = o["aircraft"];
        if (list.size() > static_cast<std::size_t>(core::kMaxAircraft))
            return Fail("aircraft", "holds " + std::to_string(list.size()) +
                                        " aircraft, not 0 to " +
                                        std::to_string(core::kMaxAircraft));
        for (std::size_t i = 0; i < list.size(); ++i) {
            const std::string at = "aircraft[" + std::to_string(i + 1) + "].";
            const json& a = list[i];
            if (!a.is_object()) return Fail(at.substr(0, at.size() - 1), "is not an object");
            core::DesignAircraft d;
            if (!String(a, "name", d.AircraftName, at)) return false;
            if (!library::FindAircraft(state_.Aircraft, d.AircraftName))
                return Fail(at + "name",
                            "\"" + d.AircraftName + "\" is not in the aircraft library");
            double load = 0, departures = 0, growth = 0;
            if (!Number(a, "grossLoad", load, 1, 2e6, false, at) ||
                !Number(a, "annualDepartures", departures, 0, 1e9, false, at) ||
                !Number(a, "annualGrowth", growth, -1, 10, false, at))
                return false;
            if (!a.contains("overload") || !a["overload"].is_boolean())
                return Fail(at + "overload", "is missing or not true/false");
            d.GrossLoad = core::Single(load);
            d.AnnualDepartures = core::Single(departures);
            d.AnnualGrowth = core::Single(growth);
            d.OverloadFlag = a["overload"].get<bool>();
            out.Aircraft.push_back(d);
        }
        return true;
    }

    const ProgramState& state_;
};

std::optional<std::string> ReadInput(const std::string& file) {
    std::ostringstream bytes;
    if (file == "-") {
        bytes << std::cin.rdbuf();
        return bytes.str();
    }
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    bytes << in.rdbuf();
    return bytes.str();
}

}  // namespace

int CmdImport(Run& r) {
    if (auto stop = OpenJob(r)) return *stop;
    const std::optional<std::string> bytes = ReadInput(r.opt.target);
    if (!bytes)
        return r.Refuse("Importing a Section", "The file " + r.opt.target + " cannot be read.");
    const json doc = json::parse(*bytes, nullptr, false);
    if (doc.is_discarded())
        return r.Refuse("Importing a Section", "The document is not valid JSON.");
    Importer importer(r.state);
    std::optional<core::Section> section = importer.Read(doc);
    if (!section) return r.Refuse("Importing a Section", importer.error);
    int existing = 0;
    for (int i = 1; i <= r.state.SectionCount() && !existing; ++i)
        if (core::EqualsNoCase(r.state.Slot(i).SectionName, section->SectionName)) existing = i;
    if (!existing) return AddSection(r, std::move(*section), "import");
    if (!r.opt.replace)
        return r.Refuse("Importing a Section", "Section " + section->SectionName +
                                                   " already exists in job " + r.state.JobName +
                                                   "; use --replace to replace it.");
    if (core::IsSamplesJob(r.state.JobName))
        return r.Refuse("Importing a Section",
                        "Job Samples is part of the system.\nIts sections cannot be replaced.");
    const core::Section old = r.state.Slot(existing);
    section->SectionName = old.SectionName;  // the note stays with the section's name
    r.state.Slot(existing) = *section;
    if (!core::WriteJob(r.state, r.port)) {
        r.state.Slot(existing) = old;
        return Refused(r, "import");
    }
    r.state.CurrentSection = core::Int16(existing);
    core::LoadSection(r.state, r.port);
    return Done(r, "import");
}

}  // namespace tavro::cli
