// Pictures of every window for a person to look at (build/screenshots/); nothing is
// compared.
#include <QDir>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTest>

#include "core/job_ops.h"
#include "ui/help_window.h"
#include "ui/name_dialog.h"
#include "ui/notes_window.h"
#include "ui/qt_user_port.h"
#include "ui_test_support.h"

using tavro::test::ScriptedWindow;

namespace {

void Save(QWidget& widget, const char* name) {
    QDir().mkpath(TAVRO_SCREENSHOT_DIR);
    widget.show();
    QCoreApplication::processEvents();
    const QString file = QString(TAVRO_SCREENSHOT_DIR) + "/" + name + ".png";
    QVERIFY2(widget.grab().save(file), qPrintable(file));
}

}  // namespace

class ScreenshotsTest : public QObject {
    Q_OBJECT
private slots:
    void savesEveryWindow() {
        ScriptedWindow w;
        w.dir.Write("RWY-09.JOB", "Format3\r\n");
        w.Start();
        Save(*w.window, "startup");
        w.Click("cmdCopySections");
        ScriptedWindow::ClickRow(w.Sections(), 1);
        Save(*w.window, "startup_copy_mode");
        w.Click("cmdCopySections");

        for (auto mode : {tavro::core::NameMode::NewJob, tavro::core::NameMode::NewSection,
                          tavro::core::NameMode::CopySection}) {
            tavro::ui::NameDialog dialog(tavro::core::NameDialogFor(w.state, mode));
            const char* names[] = {"name_new_job", "name_new_section", "name_copy_section"};
            Save(dialog, names[static_cast<int>(mode)]);
        }

        tavro::ui::NotesWindow notes(w.state, w.user, w.window.get());
        notes.Open();
        QTest::mouseClick(notes.findChild<QPushButton*>("cmdNotes"), Qt::LeftButton);
        notes.findChild<QPlainTextEdit*>("txtNotes")
            ->appendPlainText("Cores taken 2024:\tasphalt 4.5 in\n\tbase 10 in");
        Save(notes, "notes");
        w.user.Answer(tavro::core::Answer::No);
        QTest::mouseClick(notes.findChild<QPushButton*>("cmdListInfo"), Qt::LeftButton);
        Save(notes, "information");
        notes.hide();

        tavro::ui::HelpViewer help;
        help.Show(w.state, w.user);
        Save(*help.Window(), "help");
        help.Close();

        tavro::ui::AboutDialog about(w.state);
        Save(about, "about");

        auto box = tavro::ui::MakeMessageBox(
            "Deleting a Section",
            "Deleting section AConFlex in job RWY-09.\r\n\r\nDo you want to continue?",
            tavro::core::Buttons::YesNo, tavro::core::Answer::No, tavro::core::Icon::Question,
            nullptr);
        Save(*box, "message_box");
    }
};

QTEST_MAIN(ScreenshotsTest)
#include "screenshots_test.moc"
