// The structure window through its widgets: a sample edited by clicks on the drawing, designed
// and saved; screenshots of every state and dialog, with the windows locked during the run.
#include <QApplication>
#include <QChartView>
#include <QCheckBox>
#include <QListWidget>
#include <QProcess>
#include <QTest>
#include <QTimer>

#include "core/day_serial.h"
#include "ui/structure_dialogs.h"
#include "ui/structure_window.h"
#include "ui_test_support.h"

using tavro::core::Answer;
using tavro::test::SaveScreenshot;
using tavro::test::ScriptedWindow;

namespace {

struct StructureFixture {
    ScriptedWindow w;
    std::unique_ptr<tavro::ui::StructureWindow> structure;
    std::vector<int> typeAnswers;  // scripted layer type dialog answers (-1 = Cancel)

    explicit StructureFixture(bool metric = false) {
        w.WriteSampleJob();
        w.Start();
        if (metric) QTest::mouseClick(w.Find<QCheckBox>("chkUnitsConversion"), Qt::LeftButton);
        structure = std::make_unique<tavro::ui::StructureWindow>(w.state, w.user, w.window.get());
        w.user.onProgress = [this](const tavro::core::RunProgress& p) { structure->OnProgress(p); };
        structure->askLayerType = [this](int) -> std::optional<int> {
            if (typeAnswers.empty()) return std::nullopt;
            const int code = typeAnswers.front();
            typeAnswers.erase(typeAnswers.begin());
            if (code < 0) return std::nullopt;
            return code;
        };
        w.window->SetWindowOpener(tavro::ui::SectionWindow::Structure,
                                  [this] { structure->Open(); });
        ScriptedWindow::ClickRow(w.Jobs(), w.JobRow("RWY"));
        structure->resize(1250, 520);
    }
    void Open(int row) {
        ScriptedWindow::ClickRow(w.Sections(), row);
        w.Click("cmdStructure");
        QApplication::processEvents();
    }
    void Click(const char* name) {
        QTest::mouseClick(structure->findChild<QPushButton*>(name), Qt::LeftButton);
    }
    QPushButton* Button(const char* name) { return structure->findChild<QPushButton*>(name); }
    // A click at the centre of a box of the drawing.
    void ClickAt(const tavro::control::Box& box, double y = -1) {
        const QPoint at(static_cast<int>((box.left + box.right) / 2),
                        static_cast<int>(y >= 0 ? y : (box.top + box.bottom) / 2));
        QTest::mouseClick(structure->Picture(), Qt::LeftButton, {}, at);
    }
    double BandMid(int layer) {
        const tavro::control::StructureLayout layout = structure->CurrentLayout();
        const auto& b = layout.bands.at(static_cast<std::size_t>(layer - 1));
        return (b.band.top + b.band.bottom) / 2;
    }
};

class StructureWindowTest : public QObject {
    Q_OBJECT
private slots:
    void EditByClicksDesignAndSave() {
        StructureFixture f;
        f.Open(0);  // ACAggregate: Asphalt 4.5, Ag Crushed 10, Subgrade
        f.Click("cmdModifyStr");
        f.w.user.Type("5");  // asphalt thickness
        f.ClickAt(f.structure->CurrentLayout().thicknessColumn, f.BandMid(1));
        f.w.user.Type("8");  // subgrade CBR
        f.ClickAt(f.structure->CurrentLayout().thicknessColumn, f.BandMid(3));
        // A copy of the aggregate layer made uncrushed (code 8) through its material label.
        f.structure->runAddDelete = [&f] {
            QVERIFY(f.structure->Controller().ApplyAddDelete(tavro::control::AddDelete::Add));
        };
        f.Click("cmdAddDelete");
        f.ClickAt(f.structure->CurrentLayout().thicknessColumn, f.BandMid(2));
        f.typeAnswers = {8};
        f.ClickAt(f.structure->CurrentLayout().bands[2].material.box);
        f.Click("cmdModifyStr");

        f.Click("cmdAddDelete");  // design, then save
        QVERIFY(f.w.user.boxes.empty());
        QVERIFY(f.structure->findChild<QChartView*>("chtDamage")->isVisible());
        f.w.user.Answer(Answer::Ok);
        f.Click("cmdSaveStr");
        const auto job = tavro::core::ParseJob(f.w.dir.Read("RWY.JOB"), "RWY");
        const tavro::core::Section& s = job.sections.at(0);
        QCOMPARE(s.LayerCount(), 4);
        // Analysed, and the design layer moved.
        QCOMPARE(
            std::tuple(s.Layers[0].LayerThickness, int(s.Layers[2].LayerType),
                       s.Layers[3].LayerModulus, tavro::core::IsNotAnalysed(s.SectionTimeStamp),
                       s.Layers[2].LayerThickness == 10.0f),
            std::tuple(5.0f, 8, 8000.0f, false, false));
        QCOMPARE(tavro::test::UnscriptedFailures(), 0);
    }

    // A run locks the other windows and shows its progress.
    void ScreenshotsOfEveryState() {
        for (bool metric : {false, true}) {
            StructureFixture f(metric);
            const QString units = metric ? "metric" : "us";
            f.Open(1);  // AConFlex
            f.structure->show();
            SaveScreenshot(*f.structure, "structure_" + units + "_rest");
            f.Click("cmdModifyStr");
            f.Click("cmdAddDelete");
            SaveScreenshot(*f.structure, "structure_" + units + "_modify_pick");
            f.Click("cmdSelectLayerCancel");
            f.Click("cmdModifyStr");
            bool checked = false;
            f.w.user.onPoll = [&](int n) {
                if (n != 40) return;
                checked = f.w.state.Run.DesignRunning;
                QVERIFY(!f.w.window->isEnabled());
                QCOMPARE(f.Button("cmdSaveStr")->text(), QString("&Interrupt Design"));
                QVERIFY(!f.structure->findChild<QListWidget*>("lstStrFiles")->isEnabled());
                QVERIFY(f.structure->CurrentLayout().progress.text.starts_with("N = "));
                SaveScreenshot(*f.structure, "structure_" + units + "_running");
            };
            f.Click("cmdAddDelete");
            QVERIFY(checked);
            QVERIFY(f.w.window->isEnabled());
            QTest::qWait(600);  // the timer's stop tick
            SaveScreenshot(*f.structure, "structure_" + units + "_after_run");
            if (!metric) {
                tavro::ui::LayerTypeDialog types(1, f.structure.get());
                types.show();
                SaveScreenshot(types, "dialog_layer_type");
                tavro::ui::AddDeleteDialog addDelete([](bool) { return true; }, f.structure.get());
                addDelete.show();
                SaveScreenshot(addDelete, "dialog_add_delete");
            }
            const QString pdf = QString(TAVRO_SCREENSHOT_DIR) + "/structure_" + units + "_page.pdf";
            QVERIFY(f.structure->ExportPdf(pdf));
            QProcess text;
            text.start("pdftotext", {pdf, "-"});
            if (text.waitForFinished(10000)) {
                const QString out = QString::fromUtf8(text.readAllStandardOutput());
                QVERIFY2(out.contains("AConFlex"), qPrintable(out.left(200)));
            }
        }
    }
};

}  // namespace

QTEST_MAIN(StructureWindowTest)
#include "structure_window_test.moc"
