// The aircraft window and the gear view through their widgets: a list built by clicks and
// saved, the gear view's selection going back to the grid, screenshots of both windows.
#include <QDir>
#include <QLabel>
#include <QPointer>
#include <QTableView>
#include <QTest>

#include "ui/aircraft_window.h"
#include "ui/gear_view_window.h"
#include "ui_test_support.h"

using tavro::core::Answer;
using tavro::test::SaveScreenshot;
using tavro::test::ScriptedWindow;
using tavro::ui::AircraftWindow;
using tavro::ui::GearViewWindow;

namespace {

// A startup window over a job RWY holding the sample sections, with the aircraft window
// behind its Aircraft command.
struct Fixture {
    ScriptedWindow w;
    QPointer<AircraftWindow> aircraft;

    Fixture() {
        w.WriteSampleJob();
        w.Start();
        w.window->SetWindowOpener(tavro::ui::SectionWindow::Aircraft, [this] {
            aircraft = tavro::ui::OpenAircraftWindow(w.state, w.user, w.window.get());
        });
        ScriptedWindow::ClickRow(w.Jobs(), w.JobRow("RWY"));
    }
    ~Fixture() { delete aircraft; }
    void Open() { w.Click("cmdAircraft"); }
    template <class T>
    T* Find(const char* name) const {
        return aircraft->findChild<T*>(name);
    }
    void Click(const char* name) { QTest::mouseClick(Find<QPushButton>(name), Qt::LeftButton); }
    QPoint Cell(int row, int col) const {
        auto* grid = aircraft->Grid();
        return grid->visualRect(grid->model()->index(row, col)).center();
    }
    void ClickCell(int row, int col) {
        QTest::mouseClick(aircraft->Grid()->viewport(), Qt::LeftButton, {}, Cell(row, col));
    }
    QString Header(int col) const {
        return aircraft->Grid()->model()->headerData(col, Qt::Horizontal).toString();
    }
    QString Text(int row, int col) const {
        return aircraft->Grid()->model()->index(row, col).data().toString();
    }
};

// Library entries of gear layouts no built-in aircraft has, for the pictures.
void AddPictureAircraft(tavro::library::AircraftLibrary& lib) {
    lib.entries.push_back({.AcName = "DT 150,000",
                           .AcGrossLoad = 150000,
                           .AcGearShare = 0.475f,
                           .AcTirePressure = 180,
                           .AcGearCode = "D",
                           .AcGearConfig = 3,
                           .AcS1 = 30,
                           .AcS2 = 170,
                           .AcTandem = 55,
                           .AcTireCount = 4,
                           .AcTireX = {-15, 15, -15, 15},
                           .AcTireY = {0, 0, 55, 55}});
    tavro::library::AircraftEntry c5 = lib.entries.back();
    c5.AcName = "C-5";
    c5.AcGrossLoad = 769000;
    c5.AcGearShare = 0.225f;
    c5.AcS1 = 34;
    c5.AcS2 = 120;
    c5.AcTireCount = 6;
    c5.AcTireX = {-17, 17, -17, 17, -17, 17};
    c5.AcTireY = {0, 0, 34, 34, 68, 68};
    lib.entries.push_back(c5);
}

}  // namespace

class AircraftWindowTest : public QObject {
    Q_OBJECT
private slots:
    void buildsAListByClicksAndSavesIt() {
        Fixture f;
        f.Open();
        QVERIFY(f.aircraft);
        QCOMPARE(f.aircraft->windowTitle(),
                 QString("TAVRO - Create or Modify Aircraft for Section ACAggregate in Job RWY"));
        f.w.user.Answer(Answer::Yes);
        f.Click("cmdClearLoadFile");

        auto* groups = f.Find<QListWidget>("lstACGroup");
        auto* library = f.Find<QListWidget>("lstLibFile");
        ScriptedWindow::ClickRow(groups, 0);
        QCOMPARE(library->count(), 9);
        // A double click as the platform delivers it: a click, then the double click.
        const QPoint dw = library->visualItemRect(library->item(5)).center();
        QTest::mouseClick(library->viewport(), Qt::LeftButton, {}, dw);
        QTest::mouseDClick(library->viewport(), Qt::LeftButton, {}, dw);
        ScriptedWindow::ClickRow(library, 0);
        f.Click("cmdAdd");
        QCOMPARE(f.Header(0), QString("Design\nAircraft (2)"));

        f.w.user.Type("2500");
        f.ClickCell(1, 2);
        QCOMPARE(f.Text(1, 5), QString("50,000"));  // 2500 a year for 20 years

        f.w.user.Answer(Answer::Ok);
        f.Click("cmdSave");
        const auto job = tavro::core::ParseJob(f.w.dir.Read("RWY.JOB"), "RWY");
        QCOMPARE(int(job.sections.size()), 3);
        const auto& list = job.sections[0].Aircraft;
        QCOMPARE(int(list.size()), 2);
        QCOMPARE(std::tuple(list[0].AircraftName, list[1].AnnualDepartures),
                 std::tuple(std::string("DW 20,000"), 2500.0f));

        f.Click("cmdBack");  // unchanged since the save: closes without a question
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!f.aircraft);
        QCOMPARE(tavro::test::UnscriptedFailures(), 0);
    }

    void gearViewReturnsItsSelectionToTheGrid() {
        Fixture f;
        f.Open();
        f.ClickCell(1, 0);
        f.Click("cmdParameters");
        GearViewWindow* gear = f.aircraft->GearView();
        QVERIFY(gear);
        auto* list = gear->findChild<QListWidget*>("lstAircraft");
        QCOMPARE(list->currentRow(), 1);
        ScriptedWindow::ClickRow(list, 3);
        const float before = f.w.state.Current.Aircraft[3].GrossLoad;
        f.w.user.Type(QString::number(double(before) * 1.1).toStdString());
        QTest::mouseClick(gear->findChild<QLabel*>("lblGrossLoad"), Qt::LeftButton);
        QVERIFY(f.w.state.Current.Aircraft[3].GrossLoad > before);
        QTest::mouseClick(gear->findChild<QPushButton*>("cmdExit"), Qt::LeftButton);
        QCOMPARE(f.aircraft->Grid()->selectionModel()->selectedRows().value(0).row(), 3);
        QCOMPARE(tavro::test::UnscriptedFailures(), 0);
    }

    void screenshots() {
        Fixture f;
        AddPictureAircraft(f.w.state.Aircraft);
        f.Open();
        f.w.user.Answer(Answer::Yes);
        f.Click("cmdClearLoadFile");
        auto& c = f.aircraft->Controller();
        const auto& lib = f.w.state.Aircraft;
        for (const char* name : {"SW 6,000", "DW 20,000", "C-130", "Gulfstream G-IV", "B-737-300",
                                 "DT 150,000", "C-5"})
            c.AddLibraryAircraft(*tavro::library::FindAircraft(lib, name));
        c.SetDepartures(1, 3000);
        c.SetGrowth(2, 2.5);
        c.SelectRow(0);
        f.aircraft->SyncView();
        SaveScreenshot(*f.aircraft, "aircraft_window");
        tavro::core::ApplyUnits(f.w.state.Units, true);
        f.aircraft->SyncView();  // the grid follows the unit switch
        QCOMPARE(f.Header(1), QString("Gross Taxi\nWeight (tns)"));
        SaveScreenshot(*f.aircraft, "aircraft_window_metric");

        const std::tuple<int, const char*, bool> views[] = {
            {0, "gear_single", false},      {1, "gear_dual", false},
            {2, "gear_tandem_c130", false}, {5, "gear_dual_tandem", false},
            {6, "gear_special_c5", false},  {1, "gear_dual_metric", true}};
        for (const auto& [row, file, metric] : views) {
            tavro::core::ApplyUnits(f.w.state.Units, metric);
            GearViewWindow view(f.w.state, f.w.user, row);
            view.resize(900, 520);
            SaveScreenshot(view, file);
        }
    }
};

QTEST_MAIN(AircraftWindowTest)
#include "aircraft_window_test.moc"
