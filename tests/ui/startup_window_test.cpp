// The startup window driven through its widgets: every change must reach the job and
// notes files, every refusal must leave them alone.
#include <QCheckBox>
#include <QLabel>
#include <QMimeData>
#include <QTest>

#include "core/job_file.h"
#include "support/job_builder.h"
#include "ui/job_lists.h"
#include "ui_test_support.h"

using tavro::test::NotesFile;
using tavro::test::ScriptedWindow;

namespace {

// Drags section `row` onto job `jobRow` the way the mouse does: enter, move, drop.
void DragSectionToJob(ScriptedWindow& w, int row, int jobRow) {
    QListWidget* sections = w.Sections();
    QMimeData* data = sections->model()->mimeData({sections->model()->index(row, 0)});
    QWidget* target = w.Jobs()->viewport();
    const QPoint at = w.Jobs()->visualItemRect(w.Jobs()->item(jobRow)).center();
    QDragEnterEvent enter(at, Qt::CopyAction, data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(target, &enter);
    QDragMoveEvent move(at, Qt::CopyAction, data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(target, &move);
    QDropEvent drop(at, Qt::CopyAction, data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(target, &drop);
    QCoreApplication::processEvents();  // the copy runs once the drop is delivered
    delete data;
}

}  // namespace

class StartupWindowTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { QCOMPARE(tavro::test::UnscriptedFailures(), 0); }

    // The name rules and the refusals' texts are the job operations' own, tested with them.
    void startsOnSamplesCreatesAJobDeletesItAgainAndSwitchesUnits() {
        ScriptedWindow w;
        w.Start();
        QCOMPARE(w.Lines(w.Sections()),
                 (QStringList{"ACAggregate\tNew Flexible", "AConFlex\tAC on Flexible",
                              "NewFlexible\tNew Flexible"}));
        QCOMPARE(w.window->windowTitle(), QString("TAVRO - Airport Pavement Design (V1.2)"));
        w.user.Type("RWY-1");
        w.Click("cmdNewJob");
        QCOMPARE(w.dir.Read("RWY-1.JOB"), std::string("Format3\r\n"));
        QCOMPARE(w.Lines(w.Jobs()), (QStringList{"Samples", "RWY-1"}));
        // Deleting the last job says again that there are none.
        ScriptedWindow::ClickRow(w.Jobs(), 1);
        w.user.Answer(tavro::core::Answer::Yes);
        w.Click("cmdDeleteJob");
        QCOMPARE(w.Lines(w.Jobs()), QStringList{"Samples"});
        QCOMPARE(w.user.Titles(),
                 (std::vector<std::string>{"No Job Files", "Deleting a Job", "No Job Files"}));

        // The type names line up at one column.
        auto* sections = static_cast<tavro::ui::SectionList*>(w.Sections());
        const QFontMetrics metrics = sections->fontMetrics();
        QVERIFY(sections->TabStopPx() >= tavro::ui::DialogUnitsToPx(metrics, 70));
        QVERIFY(sections->TabStopPx() > metrics.horizontalAdvance("ACAggregate"));
        // The units check box switches the unit set both ways.
        w.Find<QCheckBox>("chkUnitsConversion")->click();
        QCOMPARE(w.state.Units.thickness.label, std::string("mm"));
        w.Find<QCheckBox>("chkUnitsConversion")->click();
        QCOMPARE(w.state.Units.thickness.factor, 1.0);
    }

    void samplesRefusesChangesWithoutAskingForAName() {
        ScriptedWindow w;
        w.dir.Write("RWY-1.JOB", "Format3\r\n");
        w.Start();
        w.Click("cmdDupSection");
        QCOMPARE(w.LastBox().title, std::string("Adding a New Section"));
        w.Click("cmdCopySections");
        ScriptedWindow::ClickRow(w.Sections(), 1);
        ScriptedWindow::ClickRow(w.Jobs(), 0);  // Samples itself as the target
        QCOMPARE(w.LastBox().title, std::string("Copying a Section"));
        QVERIFY(w.user.prompts.empty());
        QCOMPARE(w.Sections()->count(), 3);
    }

    void copyModeHandsOverBetweenTheListsAndCopiesWithTheNote() {
        ScriptedWindow w;
        w.dir.Write("RWY-1.JOB", "Format3\r\n");
        w.Start();
        // The copy button's text, the panel shown, the section and job lists enabled.
        const auto shown = [&w] {
            return std::tuple(w.Find<QPushButton>("cmdCopySections")->text(),
                              w.Find<QLabel>("lblCopyInstructions")->isVisible(),
                              w.Sections()->isEnabled(), w.Jobs()->isEnabled());
        };
        w.Click("cmdCopySections");
        QCOMPARE(shown(), std::tuple(QString("&End Copy"), true, true, false));
        ScriptedWindow::ClickRow(w.Sections(), 1);  // AConFlex
        QCOMPARE(shown(), std::tuple(QString("&End Copy"), true, false, true));

        w.user.Type("TAXI-A");
        ScriptedWindow::ClickRow(w.Jobs(), w.JobRow("RWY-1"));
        QCOMPARE(shown(), std::tuple(QString("&End Copy"), true, true, false));
        QCOMPARE(std::tuple(w.state.JobName, w.Sections()->currentRow()),
                 std::tuple(std::string("Samples"), 1));
        QCOMPARE(w.dir.Read("RWY-1.NTS"), NotesFile({{"TAXI-A", "AConFlex"}}));
        w.Click("cmdCopySections");
        QCOMPARE(shown(), std::tuple(QString("&Copy Sections"), false, true, true));
    }

    void draggingASectionOntoAJobCopiesIt() {
        ScriptedWindow w;
        w.dir.Write("APRON.JOB", "Format3\r\n");
        w.Start();
        ScriptedWindow::ClickRow(w.Sections(), 2);  // NewFlexible
        w.user.Type("NewFlexible");
        DragSectionToJob(w, 2, w.JobRow("APRON"));
        QCOMPARE(w.dir.Read("APRON.NTS"), NotesFile({{"NewFlexible", "NewFlexible"}}));
        QCOMPARE(w.state.JobName, std::string("Samples"));
        QVERIFY(w.Jobs()->isEnabled() && w.Sections()->isEnabled());
    }

    void duplicatesAndDeletesSectionsInFileAndNotes() {
        ScriptedWindow w;
        w.dir.Write("RWY.JOB", tavro::test::SampleJobFile({"RWY"}));
        w.dir.Write("RWY.NTS", NotesFile({{"RWY", "ACAggregate"}}));
        w.Start();
        ScriptedWindow::ClickRow(w.Jobs(), w.JobRow("RWY"));

        w.user.Type("RWX");
        w.Click("cmdDupSection");
        QCOMPARE(w.Lines(w.Sections()), (QStringList{"RWX\tNew Flexible", "RWY\tNew Flexible"}));
        QCOMPARE(w.Sections()->currentRow(), 0);

        ScriptedWindow::ClickRow(w.Sections(), 1);
        w.user.Answer(tavro::core::Answer::Yes);
        w.Click("cmdDeleteSection");
        QCOMPARE(w.dir.Read("RWY.NTS"), NotesFile({{"RWX", "No notes."}}));
        const auto parsed = tavro::core::ParseJob(w.dir.Read("RWY.JOB"), "RWY");
        QCOMPARE(parsed.sections.size(), std::size_t{1});
        QCOMPARE(parsed.sections[0].SectionName, std::string("RWX"));
    }

    void sectionCommandsNeedSectionsAndSayWhatIsMissing() {
        ScriptedWindow w;
        w.dir.Write("EMPTY.JOB", "Format3\r\n");
        w.Start();
        w.Click("cmdStructure");
        QCOMPARE(w.LastBox().text, std::string("The structure window is not available yet."));
        int notesOpened = 0;
        w.window->SetWindowOpener(tavro::ui::SectionWindow::Notes, [&] { ++notesOpened; });
        w.Click("cmdNotes");
        QCOMPARE(notesOpened, 1);

        ScriptedWindow::ClickRow(w.Jobs(), 1);
        const std::pair<const char*, const char*> commands[] = {
            {"cmdStructure", "Structure Button"},
            {"cmdAircraft", "Aircraft Button"},
            {"cmdNotes", "Notes Button"}};
        for (auto [button, title] : commands) {
            w.Click(button);
            QCOMPARE(w.LastBox().title, std::string(title));
            QCOMPARE(w.LastBox().text, std::string("There are no sections in job EMPTY."));
        }
        QCOMPARE(notesOpened, 1);
        w.Click("cmdCopySections");
        QCOMPARE(w.LastBox().text, std::string("There are no sections to copy\r\n"
                                               "Please select a job with sections."));
        QVERIFY(w.Find<QLabel>("lblCopyInstructions")->isHidden());
    }

    void becomingActiveAgainShowsChangedPavementTypes() {
        ScriptedWindow w;
        w.Start();
        // Another window put concrete (layer type 5) on top of the second sample.
        w.state.Slot(2).Layers[0].LayerType = 5;
        ScriptedWindow::ClickRow(w.Sections(), 2);
        QEvent activate(QEvent::WindowActivate);
        QCoreApplication::sendEvent(w.window.get(), &activate);
        QCOMPARE(w.Sections()->item(1)->text(), QString("AConFlex\tNew Rigid"));
        QCOMPARE(w.Sections()->currentRow(), 2);
    }
};

QTEST_MAIN(StartupWindowTest)
#include "startup_window_test.moc"
