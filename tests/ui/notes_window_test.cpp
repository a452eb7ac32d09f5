// The notes and information window through its widgets: the save question, the notes file
// bytes, the report in the box, and what reaches the PDF and the clipboard.
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>

#include "design/report.h"
#include "support/job_builder.h"
#include "ui/notes_window.h"
#include "ui_test_support.h"

using tavro::core::Answer;
using tavro::test::ScriptedWindow;

namespace {

// The notes file of the three sample sections, the first two with these notes.
std::string SampleNotes(const std::string& first, const std::string& second = "AConFlex") {
    return tavro::test::NotesFile(
        {{"ACAggregate", first}, {"AConFlex", second}, {"NewFlexible", "NewFlexible"}});
}

QString ForBox(std::string text) { return QString::fromStdString(text).replace("\r\n", "\n"); }

// A startup window on job RWY of the three sample sections, with the notes window behind.
struct NotesFixture {
    ScriptedWindow w;
    std::unique_ptr<tavro::ui::NotesWindow> notes;

    NotesFixture() {
        w.WriteSampleJob();
        w.Start();
        notes = std::make_unique<tavro::ui::NotesWindow>(w.state, w.user, w.window.get());
        w.window->SetWindowOpener(tavro::ui::SectionWindow::Notes, [this] { notes->Open(); });
        ScriptedWindow::ClickRow(w.Jobs(), w.JobRow("RWY"));
    }
    void Open() { w.Click("cmdNotes"); }
    void OpenNotes() {
        Open();
        Click("cmdNotes");
    }
    void Click(const char* name) {
        QTest::mouseClick(notes->findChild<QPushButton*>(name), Qt::LeftButton);
    }
    QPlainTextEdit* Text() { return notes->findChild<QPlainTextEdit*>("txtNotes"); }
    QListWidget* List() { return notes->findChild<QListWidget*>("lstStrFiles"); }
    QString Caption() { return notes->findChild<QLabel*>("lblCaption")->text(); }
    void Type(const char* text) {
        Text()->moveCursor(QTextCursor::End);
        QTest::keyClicks(Text(), text);
    }
};

const std::string kPrompt =
    "The notes for the current section have changed.\r\n\r\n"
    "Do you want to save the new data in section\r\n"
    "ACAggregate in file RWY.NTS?\r\n\r\n"
    "All the changes will be lost if not saved.";

// Text layout places tab stops on a 1/64 pixel grid.
constexpr qreal kLayoutRoundingPx = 0.05;

// x of the text that follows each tab of a line of the box, in pixels.
QList<qreal> TabbedColumnsX(const QTextBlock& block) {
    QList<qreal> xs;
    const QString text = block.text();
    for (int i = 0; i < text.size(); ++i)
        if (text[i] == QChar(u'\t'))
            xs << block.layout()->lineAt(0).cursorToX(i + 1) -
                      block.layout()->lineAt(0).cursorToX(0);
    return xs;
}

// The standard output of `program`, or "" if it did not finish.
QString Output(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    return p.waitForFinished(30000) ? QString::fromUtf8(p.readAllStandardOutput()) : QString();
}

}  // namespace

class NotesWindowTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { QCOMPARE(tavro::test::UnscriptedFailures(), 0); }

    void opensOnTheReportWithItsColumnsOnTheTabStops() {
        NotesFixture f;
        f.Open();
        QCOMPARE(f.notes->windowTitle(), QString("TAVRO - Notes and Information for Job RWY"));
        QCOMPARE(f.Text()->toPlainText(), ForBox(tavro::design::BuildReport(f.w.state).screen));
        QVERIFY(f.Text()->isReadOnly());
        // Layer lines (four tabs) and aircraft lines (three): no field runs past its stop.
        const QList<qreal> stops = tavro::ui::InfoTabStopsPx(f.Text()->font());
        int tabbedLines = 0;
        for (QTextBlock b = f.Text()->document()->begin(); b.isValid(); b = b.next()) {
            if (b.text().count('\t') < 3) continue;
            ++tabbedLines;
            const QList<qreal> xs = TabbedColumnsX(b);
            for (int k = 0; k < xs.size(); ++k)
                QVERIFY2(qAbs(xs[k] - stops[k + 1]) < kLayoutRoundingPx, qPrintable(b.text()));
        }
        QCOMPARE(tabbedLines, 3 + 4);

        ScriptedWindow::ClickRow(f.List(), 2);
        QCOMPARE(f.Caption(), QString("Design Information for Section NewFlexible"));
        QVERIFY(f.Text()->toPlainText().startsWith("Section NewFlexible in Job RWY.\n"));
    }

    void theSaveQuestionSavesDiscardsOrKeepsTheWindowOpen() {
        NotesFixture f;
        f.OpenNotes();
        QCOMPARE(f.Text()->toPlainText(), QString("ACAggregate"));  // a new file's note

        f.Type(" 2024");
        f.w.user.Answer(Answer::Cancel);
        f.Click("cmdExit");
        QCOMPARE(std::tuple(f.w.LastBox().text, f.w.LastBox().defaultAnswer, f.notes->isVisible()),
                 std::tuple(kPrompt, Answer::Cancel, true));

        f.w.user.Answer(Answer::No);  // Save asks too; No puts the stored note back
        f.Click("cmdSave");
        QCOMPARE(f.Text()->toPlainText(), QString("ACAggregate"));

        QTest::keyClick(f.Text(), Qt::Key_End, Qt::ControlModifier);
        QTest::keyClick(f.Text(), Qt::Key_Return);
        QTest::keyClicks(f.Text(), "Joints resealed");
        f.w.user.Answer(Answer::Yes);
        f.Click("cmdExit");
        QVERIFY(!f.notes->isVisible());
        QCOMPARE(f.w.dir.Read("RWY.NTS"), SampleNotes("ACAggregate\r\nJoints resealed"));

        // Reopened in the notes face; an unchanged note closes without asking.
        const auto boxes = f.w.user.boxes.size();
        f.Open();
        QCOMPARE(f.Caption(), QString("Notes for Section ACAggregate"));
        f.notes->close();
        QCOMPARE(f.w.user.boxes.size(), boxes);

        // Closing the program asks too, and Cancel keeps it running.
        f.w.window->show();
        f.Open();
        f.Type(" cracked");
        f.w.user.Answer(Answer::Cancel);
        QVERIFY(!f.w.window->close() && f.notes->isVisible());
        f.w.user.Answer(Answer::Yes);
        QVERIFY(f.w.window->close());
        QCOMPARE(f.w.dir.Read("RWY.NTS"), SampleNotes("ACAggregate\r\nJoints resealed cracked"));
    }

    // Every Windows-1252 byte 0x20-0xFF and CR LF shows as its character and saves back.
    void everyByteOfTheCodePageRoundTripsThroughTheBox() {
        std::string note = "A\r\n";
        for (int b = 0x20; b <= 0xFF; ++b) note += static_cast<char>(b);
        NotesFixture f;
        f.w.dir.Write("RWY.NTS", SampleNotes(note));
        f.OpenNotes();
        // 0xB0 the degree sign, 0x80 the euro sign.
        for (const char16_t c : {u'\u00B0', u'\u20AC'})
            QVERIFY(f.Text()->toPlainText().contains(QChar(c)));
        f.Type("!");
        f.w.user.Answer(Answer::Yes);
        f.Click("cmdExit");
        QCOMPARE(f.w.dir.Read("RWY.NTS"), SampleNotes(note + "!"));
    }

    void aCharacterOutsideTheCodePageIsRefusedWhereItIsTyped() {
        NotesFixture f;
        f.OpenNotes();
        f.Type(" 5");
        f.Text()->moveCursor(QTextCursor::End);
        QKeyEvent ohm(QEvent::KeyPress, 0, Qt::NoModifier, QString(QChar(0x2126)));
        QApplication::sendEvent(f.Text(), &ohm);
        QVERIFY(f.w.user.OnlyBox("Notes",
                                 "A note cannot hold \u2126.\r\n\r\n"
                                 "Notes are stored in the Windows-1252 code page\r\n"
                                 "(Western European), which does not include it."));
        f.Type("0");
        QCOMPARE(f.Text()->toPlainText(), QString("ACAggregate 50"));
    }

    void changingTheSectionOrTheFaceAsksFirst() {
        NotesFixture f;
        f.OpenNotes();
        f.Type(" edited");
        f.w.user.Answer(Answer::Cancel);
        ScriptedWindow::ClickRow(f.List(), 1);
        QCOMPARE(std::tuple(f.List()->currentRow(), int(f.w.state.CurrentSection)),
                 std::tuple(0, 1));

        f.w.user.Answer(Answer::No);
        ScriptedWindow::ClickRow(f.List(), 1);
        QCOMPARE(f.Text()->toPlainText(), QString("AConFlex"));

        f.Type(" checked");
        f.w.user.Answer(Answer::Cancel);
        f.Click("cmdListInfo");
        QVERIFY(!f.Text()->isReadOnly());
        f.w.user.Answer(Answer::Yes);
        f.Click("cmdListInfo");
        QCOMPARE(f.w.dir.Read("RWY.NTS"), SampleNotes("ACAggregate", "AConFlex checked"));
        QCOMPARE(f.w.user.Titles(), std::vector<std::string>(4, "Saving Notes"));
    }

    void anEditedNoteIsSavedToItsOwnSectionAfterTheStartupWindowMovedOn() {
        NotesFixture f;
        f.OpenNotes();
        f.Type(" resurfaced");
        ScriptedWindow::ClickRow(f.w.Sections(), 2);
        f.w.user.Answer(Answer::Yes);
        f.Open();  // Notes again: the window follows, asking about the note it shows
        QCOMPARE(f.w.LastBox().text, kPrompt);
        QCOMPARE(f.w.dir.Read("RWY.NTS"), SampleNotes("ACAggregate resurfaced"));
        QCOMPARE(f.Caption(), QString("Notes for Section NewFlexible"));
    }

    void thePdfAndTheClipboardCarryTheReportAndTheNote() {
        NotesFixture f;
        f.w.dir.Write("RWY.NTS", SampleNotes("Crack survey\r\nin May"));
        f.Open();
        const auto report = tavro::design::BuildReport(f.w.state);
        const std::string note = "Crack survey\r\nin May";

        QApplication::clipboard()->clear();
        QTest::mouseClick(f.Text()->viewport(), Qt::RightButton);  // as cmdCopy does
        QCOMPARE(QApplication::clipboard()->text().toStdString(),
                 tavro::design::ReportWithNotes(report, note,
                                                tavro::design::ReportDestination::Clipboard));

        const QString pdftotext = QStandardPaths::findExecutable("pdftotext");
        const QString pdfimages = QStandardPaths::findExecutable("pdfimages");
        if (pdftotext.isEmpty() || pdfimages.isEmpty())
            QSKIP("pdftotext and pdfimages (poppler-utils) are not installed");
        const QString pdf = QString::fromStdString(f.w.dir.File("report.pdf"));
        QString suggested;
        f.notes->SetPdfPathAsker([&](const QString& s) {
            suggested = s;
            return pdf;
        });
        f.Click("cmdExportPdf");
        QCOMPARE(suggested, QString::fromStdString(f.w.dir.File("RWY-ACAggregate.pdf")));
        const QStringList pdfLines = Output(pdftotext, {"-layout", pdf, "-"}).split('\n');
        // Every printed line, in order; extracted spacing is approximate, so blanks collapse.
        const QString printed = ForBox(tavro::design::ReportWithNotes(
            report, note, tavro::design::ReportDestination::Printer));
        int at = 0;
        for (const QString& line : printed.split('\n')) {
            if (line.trimmed().isEmpty()) continue;
            while (at < pdfLines.size() && pdfLines[at].simplified() != line.simplified()) ++at;
            QVERIFY2(at < pdfLines.size(), qPrintable("not in the PDF: " + line));
        }

        // Every gear plan, one picture each, between the aircraft table and the notes.
        const QString text = pdfLines.join('\n');
        const qsizetype plans = text.indexOf("Main Gear Plans (to scale)");
        const qsizetype notesAt = text.indexOf("NOTES");
        QVERIFY(text.indexOf("Aircraft Information") >= 0 && plans > 0 && notesAt > plans);
        qsizetype plan = plans;
        for (const auto& a : f.w.state.Current.Aircraft) {
            plan = text.indexOf(QString::fromStdString(a.AircraftName), plan);
            QVERIFY2(plan > plans && plan < notesAt, a.AircraftName.c_str());
        }
        // Two heading lines, then one line per image.
        QCOMPARE(int(Output(pdfimages, {"-list", pdf}).trimmed().split('\n').size()) - 2,
                 f.w.state.Current.AircraftCount());
        const QString pdftoppm = QStandardPaths::findExecutable("pdftoppm");
        if (!pdftoppm.isEmpty()) {
            QDir().mkpath(TAVRO_SCREENSHOT_DIR);
            Output(pdftoppm, {"-png", "-r", "60", "-f", "1", "-l", "2", pdf,
                              QString(TAVRO_SCREENSHOT_DIR) + "/report_with_gear"});
        }

        // A long note runs onto further pages; an unwritable file is reported.
        f.w.dir.Write("RWY.NTS", SampleNotes("First" + std::string(600, '\n')));
        f.Click("cmdExportPdf");
        QVERIFY(Output(pdftotext, {pdf, "-"}).count('\f') >= 3);
        f.notes->SetPdfPathAsker([&](const QString&) { return pdf + "/no/such/dir/x.pdf"; });
        f.Click("cmdExportPdf");
        QCOMPARE(f.w.LastBox().title, std::string("Export PDF"));
    }
};

QTEST_MAIN(NotesWindowTest)
#include "notes_window_test.moc"
