// The built-in aircraft catalogue and the gear geometry derived from each entry's
// spacings, plus the two per-aircraft figures every analysis run starts from.
#include "library/aircraft_library.h"

#include <cmath>
#include <cstdlib>

namespace tavro::library {

namespace {

// Stored library fields are single precision; geometry is computed in double first so
// that e.g. -S2/2 - S1 rounds once.
float StoreSingle(double value) { return static_cast<float>(value); }

struct GroupRow {
    const char* name;
    int start;
};

constexpr GroupRow kGroups[kAircraftGroupCount] = {
    {"Generic", 1},
    {"Boeing", 10},
    {"Bombardier Aerspc", 11},
    {"Canadair", 13},
    {"Cessna", 17},
    {"Dassault", 30},
    {"Fokker", 33},
    {"Grumman", 34},
    {"Piper", 38},
    {"Raytheon/Beechcraft", 45},
    {"Sabreliner Corp.", 56},
    {"Shorts", 60},
    {"Military Aircraft", 62},
    {"Heavy Civil Aircraft", 66},
};

struct AircraftRow {
    const char* name;
    float grossLoad;     // lbs
    float tirePressure;  // psi
    const char* gearCode;
    std::int16_t gearConfig;
    float s1, s2, tandem;  // in
};

// Every built-in entry carries 0.475 of its gross weight on one main gear and S3 = 0.
constexpr float kBuiltInGearShare = 0.475f;

constexpr AircraftRow kAircraft[kBuiltInAircraftCount] = {
    {"SW 6,000", 6000, 75, "B", 2, 50, 0, 0},
    {"SW 12,000", 12000, 75, "B", 2, 50, 0, 0},
    {"SW 12,500", 12500, 60, "B", 2, 50, 0, 0},
    {"SW 15,000", 15000, 140, "B", 2, 50, 0, 0},
    {"SW 30,000", 30000, 115, "B", 2, 50, 0, 0},
    {"DW 20,000", 20000, 75, "D", 3, 12, 50, 0},
    {"DW 30,000", 30000, 170, "D", 3, 12, 116, 0},
    {"DW 45,000", 45000, 150, "D", 3, 15, 170, 0},
    {"DW 60,000", 60000, 178, "D", 3, 17, 165, 0},
    {"DC-3", 26900, 45, "B", 2, 222, 0, 0},
    {"Learjet 35A/36A", 18000, 171, "D", 3, 12, 99, 0},
    {"Learjet 55", 21500, 201, "D", 3, 12, 99, 0},
    {"Canadair CL-215", 33000, 77, "B", 2, 207, 0, 0},
    {"Challenger CL-604", 48200, 145, "D", 3, 17.4f, 125, 0},
    {"Regional Jet 200", 47450, 177, "D", 3, 11.56f, 113.4f, 0},
    {"Regional Jet 700", 72500, 183, "D", 3, 21.6f, 162, 0},
    {"Skyhawk 172", 2558, 50, "B", 2, 86, 0, 0},
    {"Skylane 182", 3110, 50, "B", 2, 96, 0, 0},
    {"Stationair 206", 3612, 42, "B", 2, 98, 0, 0},
    {"Centurion 210", 4100, 50, "B", 2, 102, 0, 0},
    {"Grn Caravan CE-208B", 8750, 75, "B", 2, 164, 0, 0},
    {"Citation V", 16500, 130, "B", 2, 151, 0, 0},
    {"Citation VI", 23200, 168, "D", 3, 9.75f, 112, 0},
    {"Citation VII", 23200, 168, "D", 3, 9.75f, 112, 0},
    {"Citation X", 36000, 189, "D", 3, 12.25f, 127, 0},
    {"Citation 525", 10500, 98, "B", 2, 151, 0, 0},
    {"Citation 550B", 15000, 130, "B", 2, 157, 0, 0},
    {"Chancellor 414", 6200, 62, "B", 2, 175.5f, 0, 0},
    {"Conquest 441", 9925, 95, "B", 2, 168, 0, 0},
    {"Falcon 50", 38800, 208, "D", 3, 14, 157, 0},
    {"Falcon 900", 45500, 145, "D", 3, 14, 175, 0},
    {"Falcon 2000", 35000, 197, "D", 3, 14, 174, 0},
    {"F-50", 42110, 80, "D", 3, 20.3f, 283.5f, 0},
    {"Gulfstream G-II", 66000, 160, "D", 3, 15.75f, 164, 0},
    {"Gulfstream G-III", 70200, 175, "D", 3, 15.75f, 164, 0},
    {"Gulfstream G-IV", 75000, 185, "D", 3, 15.75f, 164, 0},
    {"Gulfstream G-V", 90900, 188, "D", 3, 18.5f, 172, 0},
    {"Chk.Arrow PA-28-200", 2500, 50, "B", 2, 126, 0, 0},
    {"Chk.Six PA-32", 3400, 50, "B", 2, 127, 0, 0},
    {"Sarat.PA-32R-301", 3616, 38, "B", 2, 133, 0, 0},
    {"Malibu PA-46-350P", 4118, 55, "B", 2, 146, 0, 0},
    {"Seneca II", 4570, 55, "B", 2, 133, 0, 0},
    {"Aztec D", 5200, 46, "B", 2, 136, 0, 0},
    {"Navajo C", 6536, 66, "B", 2, 165, 0, 0},
    {"Baron E-55", 5424, 56, "B", 2, 96, 0, 0},
    {"Bonanza F-33A", 3412, 40, "B", 2, 115, 0, 0},
    {"King Air C-90", 9710, 58, "B", 2, 153, 0, 0},
    {"King Air B100", 11500, 52, "D", 3, 11.58f, 180, 0},
    {"Super King Air B200", 12590, 98, "D", 3, 11.58f, 206, 0},
    {"Super King Air 300", 14100, 92, "D", 3, 11.58f, 206, 0},
    {"Super King Air 350", 15100, 92, "D", 3, 11.58f, 206, 0},
    {"Beech Jet 400", 15500, 90, "B", 2, 112, 0, 0},
    {"Beech Jet 400A", 16300, 105, "B", 2, 112, 0, 0},
    {"Hawker 800", 27520, 135, "D", 3, 13.3f, 110, 0},
    {"Hawker 800XP", 28120, 135, "D", 3, 13.3f, 110, 0},
    {"Sabreliner 40", 19035, 185, "B", 2, 86.52f, 0, 0},
    {"Sabreliner 60", 20372, 214, "B", 2, 86.52f, 0, 0},
    {"Sabreliner 65", 24000, 259, "B", 2, 86.52f, 0, 0},
    {"Sabreliner 80", 23500, 185, "D", 3, 11.5f, 88.5f, 0},
    {"Shorts 360", 27200, 78, "B", 2, 167, 0, 0},
    {"Shorts 330-200", 22900, 79, "B", 2, 167, 0, 0},
    {"C-130", 155000, 105, "E", 2, 172, 171, 60},
    {"F-16c", 42300, 215, "B", 1, 93, 0, 0},
    {"F-15c", 68000, 340, "B", 1, 108.25f, 0, 0},
    {"F/A-18c", 56000, 150, "B", 1, 122.5f, 0, 0},
    {"B-727-100", 169000, 160, "D", 3, 34, 191, 0},
    {"B-737-100", 110000, 148, "D", 3, 30.5f, 175.5f, 0},
    {"B-737-200", 115500, 182, "D", 3, 30.5f, 175.5f, 0},
    {"B-737-300", 138500, 201, "D", 3, 30.5f, 175.5f, 0},
    {"B-737-400", 138500, 185, "D", 3, 30.5f, 175.5f, 0},
    {"Foker F-28-1000", 66500, 96, "D", 3, 22.8f, 198.4f, 0},
    {"Foker F-28-2000", 65000, 97, "D", 3, 22.8f, 198.4f, 0},
    {"Foker F-28-4000", 73000, 105, "D", 3, 22.8f, 198.4f, 0},
    {"Fokker F100", 101000, 156, "D", 3, 23.1f, 198.4f, 0},
    {"DC-9-41", 115000, 150, "D", 3, 27.6f, 197, 0},
    {"DC-9-51", 122000, 170, "D", 3, 27.6f, 190, 0},
};

void AddTire(AircraftEntry& e, double x, double y) {
    const auto i = static_cast<std::size_t>(e.AcTireCount++);
    e.AcTireX[i] = StoreSingle(x);
    e.AcTireY[i] = StoreSingle(y);
}

void AddPoint(AircraftEntry& e, double x, double y) {
    const auto i = static_cast<std::size_t>(e.AcPointCount++);
    e.AcPointX[i] = StoreSingle(x);
    e.AcPointY[i] = StoreSingle(y);
}

void AddWheel(AircraftEntry& e, double y) {
    e.AcWheelY[static_cast<std::size_t>(e.AcWheelCount++)] = StoreSingle(y);
}

// One wheel per main gear, the two gears S1 apart.
void DeriveSingleWheel(AircraftEntry& e) {
    const double s1 = e.AcS1;
    e.AcS2 = e.AcS3 = e.AcTandem = 0;
    AddTire(e, 0, 0);
    AddPoint(e, 0, 0);
    AddWheel(e, -s1 / 2);
    AddWheel(e, s1 / 2);
}

// Two wheels S1 apart per gear; S2 is the clear distance between the inner wheels of
// the two gears. The points run from one tire centre to the gear centre.
void DeriveDualWheel(AircraftEntry& e) {
    const double s1 = e.AcS1;
    const double s2 = e.AcS2;
    e.AcS3 = e.AcTandem = 0;
    AddTire(e, -s1 / 2, 0);
    AddTire(e, s1 / 2, 0);
    AddPoint(e, s1 / 2, 0);
    AddPoint(e, 0.375 * s1, 0);
    AddPoint(e, 0.25 * s1, 0);
    AddPoint(e, 0, 0);
    AddWheel(e, -s2 / 2 - s1);
    AddWheel(e, -s2 / 2);
    AddWheel(e, s2 / 2);
    AddWheel(e, s2 / 2 + s1);
}

// The C-130's single wheels in tandem: a fixed layout, not derived from its spacings.
void SetTandemGearOfC130(AircraftEntry& e) {
    AddTire(e, 0, 0);
    AddTire(e, 0, 60);
    for (double y : {0.0, 10.0, 20.0, 30.0}) AddPoint(e, 0, y);
    AddWheel(e, -86);
    AddWheel(e, 86);
}

AircraftEntry MakeEntry(const AircraftRow& row) {
    AircraftEntry e;
    e.AcName = row.name;
    e.AcGrossLoad = row.grossLoad;
    e.AcGearShare = kBuiltInGearShare;
    e.AcTirePressure = row.tirePressure;
    e.AcGearCode = row.gearCode;
    e.AcGearConfig = row.gearConfig;
    e.AcS1 = row.s1;
    e.AcS2 = row.s2;
    e.AcS3 = 0;
    e.AcTandem = row.tandem;
    if (e.AcGearCode == "B") {
        DeriveSingleWheel(e);
    } else if (e.AcGearCode == "D") {
        DeriveDualWheel(e);
    } else if (e.AcGearCode == "E") {
        SetTandemGearOfC130(e);
    }
    return e;
}

// Area of an ellipse whose length is 1.6 times its width W is 1.6*pi*W^2/4; the constant
// below is the 1.6*pi the contact sizes have always been computed with.
constexpr double kContactEllipseFactor = 5.026544;
constexpr double kContactLengthRatio = 1.6;

}  // namespace

const AircraftEntry& AircraftLibrary::Entry(int index) const {
    if (index < 1 || index > AircraftLibCount()) std::abort();
    return entries[static_cast<std::size_t>(index - 1)];
}

std::pair<int, int> AircraftLibrary::GroupRange(int g) const {
    const int groupCount = static_cast<int>(groups.size());
    if (g < 1 || g > groupCount) std::abort();
    const int first = groups[static_cast<std::size_t>(g - 1)].AcGroupStart;
    const int last =
        g < groupCount ? groups[static_cast<std::size_t>(g)].AcGroupStart - 1 : AircraftLibCount();
    return {first, last};
}

AircraftLibrary BuildAircraftLibrary() {
    AircraftLibrary library;
    library.groups.reserve(kAircraftGroupCount);
    for (const GroupRow& g : kGroups) library.groups.push_back({g.name, g.start});
    library.entries.reserve(kMaxLibraryEntries);
    for (const AircraftRow& row : kAircraft) library.entries.push_back(MakeEntry(row));
    return library;
}

std::optional<int> FindAircraft(const AircraftLibrary& library, std::string_view name) {
    for (int k = 1; k <= library.AircraftLibCount(); ++k) {
        if (library.Entry(k).AcName == name) return k;
    }
    return std::nullopt;
}

ContactSize ComputeContactSize(const AircraftEntry& entry, float grossLoad) {
    if (entry.AcTireCount <= 0 || entry.AcTirePressure <= 0) return {};
    const double area = static_cast<double>(entry.AcGearShare) * grossLoad / entry.AcTireCount /
                        entry.AcTirePressure;
    const double width = 2 * std::sqrt(area / kContactEllipseFactor);
    return {StoreSingle(width), StoreSingle(kContactLengthRatio * width)};
}

float ComputeTotalDepartures(float a, float b, double t) {
    const double growth = b;
    // Strong negative growth would drive the yearly count below zero before t; traffic
    // stops at the year it reaches zero.
    if (1 + growth * t < 0) t = -1 / growth;
    return StoreSingle(a * t * (1 + growth * t / 2));
}

}  // namespace tavro::library
