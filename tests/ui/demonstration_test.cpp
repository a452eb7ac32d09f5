// The tours on the real windows, no pause: however a tour ends, files and windows are as
// they were. One screenshot per tour.
#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <filesystem>
#include <map>

#include "support/job_builder.h"
#include "ui/aircraft_window.h"
#include "ui/demo_host.h"
#include "ui/gear_view_window.h"
#include "ui/notes_window.h"
#include "ui/structure_window.h"
#include "ui_test_support.h"

using tavro::control::TourEnd;
using tavro::test::ScriptedWindow;

namespace {

// The longest a tour may take offscreen with no pause (a design and a life run included).
constexpr int kTourTimeoutMs = 60000;

struct DemoFixture {
    ScriptedWindow w;
    std::unique_ptr<tavro::ui::StructureWindow> structure;
    std::unique_ptr<tavro::ui::NotesWindow> notes;
    std::unique_ptr<tavro::ui::DemoHost> host;
    QPointer<tavro::ui::AircraftWindow> aircraft;
    std::map<std::string, std::string> before;
    QStringList sectionLines;

    DemoFixture() {
        w.WriteSampleJob();
        w.dir.Write("RWY.NTS", "ACAggregate\r\nOur runway.\r\n");
        w.dir.Write("TAXI.JOB", tavro::test::SampleJobFile({"ACAggregate"}));
        w.Start();
        structure = std::make_unique<tavro::ui::StructureWindow>(w.state, w.user, w.window.get());
        notes = std::make_unique<tavro::ui::NotesWindow>(w.state, w.user, w.window.get());
        w.user.onProgress = [this](const tavro::core::RunProgress& p) { structure->OnProgress(p); };
        w.window->SetWindowOpener(tavro::ui::SectionWindow::Structure,
                                  [this] { structure->Open(); });
        w.window->SetWindowOpener(tavro::ui::SectionWindow::Notes, [this] { notes->Open(); });
        host = std::make_unique<tavro::ui::DemoHost>(w.state, w.user, *w.window, structure.get(),
                                                     notes.get());
        host->giveEntry = [this](const std::string& v) { w.user.Type(v); };
        w.window->SetDemonstration([this] { host->Ask("startup"); });
        structure->SetDemonstration([this] { host->Ask("structure"); });
        notes->SetDemonstration([this] { host->Ask("notes"); });
        host->aircraftWindow = [this](bool open) -> tavro::ui::AircraftWindow* {
            if (open && aircraft) {
                aircraft->Open();
            } else if (open) {
                aircraft = tavro::ui::OpenAircraftWindow(w.state, w.user, w.window.get());
                aircraft->SetDemonstration([this] { host->Ask("aircraft"); });
            }
            return aircraft.data();
        };
        ScriptedWindow::ClickRow(w.Jobs(), w.JobRow("RWY"));
        ScriptedWindow::ClickRow(w.Sections(), 1);
        w.Click("cmdStructure");  // the user's structure window is open on AConFlex
        QApplication::processEvents();
        w.user.answerDefaults = true;
        w.user.boxes.clear();
        before = Files();
        sectionLines = w.Lines(w.Sections());
    }
    std::map<std::string, std::string> Files() const {
        std::map<std::string, std::string> out;
        for (const auto& e : std::filesystem::directory_iterator(w.dir.path())) {
            const std::string name = e.path().filename().string();
            if (name.ends_with(".JOB") || name.ends_with(".NTS")) out[name] = w.dir.Read(name);
        }
        return out;
    }
    TourEnd Play(const std::string& tour, bool stopAtOnce = false) {
        if (!host->Play(tour, 0)) return TourEnd::NotStarted;
        if (stopAtOnce) host->Stop();
        QDeadlineTimer deadline(kTourTimeoutMs);
        while (host->Active() && !deadline.hasExpired()) QTest::qWait(1);
        return host->Runner()->End();
    }
    // Everything as before the tour: files, job, section, lists and windows.
    void CheckUntouched(const char* what) {
        QVERIFY2(Files() == before, what);
        QCOMPARE(w.Lines(w.Sections()), sectionLines);
        // Only the user's structure window shows, with no chart or run time of the tour's runs.
        const auto& c = structure->Controller();
        QCOMPARE(std::tuple(w.state.JobName, int(w.state.CurrentSection), w.Jobs()->count(),
                            c.StatusText(), tavro::test::UnscriptedFailures()),
                 std::tuple(std::string("RWY"), 2, 3, std::string("Total Time; LEA Time"), 0));
        const bool aircraftShown = aircraft && aircraft->isVisible();
        QCOMPARE((std::vector<bool>{w.state.DemoRunning, structure->isVisible(), c.ModifyMode(),
                                    bool(c.LastRun()), notes->isVisible(), aircraftShown,
                                    w.window->Controller().CopyMode(), host->Panel()->isVisible()}),
                 (std::vector<bool>{false, true, false, false, false, false, false, false}));
    }
    void Shot(const QString& name, QWidget* widget) {
        QDir().mkpath(TAVRO_SCREENSHOT_DIR);
        QApplication::processEvents();
        widget->grab().save(QString(TAVRO_SCREENSHOT_DIR) + "/" + name);
    }
};

bool HasSuffix(const std::string& text) {
    return text.ends_with("\r\n\r\nClick OK to continue.") ||
           text.ends_with("\r\n\r\nClick the appropriate button to continue.");
}

const char* const kTours[] = {"startup", "structure", "aircraft", "notes"};

class DemonstrationTest : public QObject {
    Q_OBJECT
private slots:
    void EachTourRunsToItsEndAndChangesNothing() {
        for (const char* tour : kTours) {
            DemoFixture f;
            const std::string name = tour;
            // One step of each tour on film, and the aircraft tour's gear view.
            const std::map<std::string, std::pair<int, QWidget*>> shots = {
                {"startup", {14, f.w.window.get()}},
                {"structure", {16, f.structure.get()}},
                {"aircraft", {11, nullptr}},
                {"notes", {10, f.notes.get()}}};
            f.host->afterStep = [&](int done) {
                if (name == "aircraft" && done == 14 && f.aircraft && f.aircraft->GearView())
                    f.Shot("demo_aircraft_gear.png", f.aircraft->GearView());
                const auto [shotAt, shown] = shots.at(name);
                if (done == shotAt && f.host->Active())
                    f.Shot(QString("demo_%1.png").arg(tour), shown ? shown : f.aircraft.data());
            };
            QCOMPARE(f.Play(tour), TourEnd::Completed);
            f.CheckUntouched(tour);
            QVERIFY2(f.w.user.typed.empty(), tour);  // every typed value reached an input box
            for (const auto& box : f.w.user.boxes)
                QVERIFY2(HasSuffix(box.text), (std::string(tour) + ": " + box.text).c_str());
            // The structure tour's bad structure is refused once, then passes.
            const auto titles = f.w.user.Titles();
            if (name == "structure")
                QCOMPARE(std::count(titles.begin(), titles.end(), "Checking the Structure"), 1);
        }
    }

    void StoppingAfterAnyStepChangesNothing() {
        for (const char* tour : kTours) {
            const int steps = static_cast<int>(tavro::control::FindTour(tour)->steps.size());
            // k = 0: before the first step; otherwise as soon as k steps are done.
            for (int k = 0; k < steps; ++k) {
                DemoFixture f;
                f.host->afterStep = [&](int done) {
                    if (done == k) f.host->Stop();
                };
                const TourEnd end = f.Play(tour, k == 0);
                QVERIFY(end == TourEnd::Stopped);
                f.CheckUntouched((std::string(tour) + " step " + std::to_string(k)).c_str());
            }
        }
    }

    void TheDemonstrationCommandAsksThePauseInEachWindow() {
        DemoFixture f;
        f.host->aircraftWindow(true);
        QWidget* windows[] = {f.w.window.get(), f.structure.get(), f.notes.get(),
                              f.aircraft.data()};
        for (QWidget* window : windows) {
            f.notes->Open();  // the notes window is closed by each tour's end
            f.w.user.Type("0");
            QTest::mouseClick(window->findChild<QPushButton*>("cmdDemo"), Qt::LeftButton);
            QVERIFY(f.host->Active());
            QCOMPARE(f.w.user.prompts.back(), std::string("Demonstration"));
            f.host->Stop();
            f.notes->close();
        }
        f.w.user.Type(std::nullopt);  // Cancel on the pause starts nothing
        QTest::mouseClick(f.w.Find<QPushButton>("cmdDemo"), Qt::LeftButton);
        QVERIFY(!f.host->Active());
    }

    void EscOrStopInsideADesignRunEndsTheTourCleanly() {
        for (const bool esc : {false, true}) {
            DemoFixture f;
            if (esc)
                f.host->afterStep = [&](int done) {
                    if (done == 3) QTest::keyClick(f.structure.get(), Qt::Key_Escape);
                };
            else
                f.w.user.onPoll = [&](int n) {
                    if (n == 30) f.host->Stop();
                };
            QCOMPARE(f.Play("structure"), TourEnd::Stopped);
            f.CheckUntouched(esc ? "Esc" : "inside the run");
        }
    }
};

}  // namespace

QTEST_MAIN(DemonstrationTest)
#include "demonstration_test.moc"
