// Pictures of every window for a person to look at (build/screenshots/); nothing is
// compared.
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTest>

#include "core/job_ops.h"
#include "ui/help_window.h"
#include "ui/name_dialog.h"
#include "ui/notes_window.h"
#include "ui/qt_user_port.h"
#include "ui_test_support.h"

using tavro::test::SaveScreenshot;
using tavro::test::ScriptedWindow;

class ScreenshotsTest : public QObject {
    Q_OBJECT
private slots:
    void savesEveryWindow() {
        ScriptedWindow w;
        w.dir.Write("RWY-09.JOB", "Format3\r\n");
        w.Start();
        SaveScreenshot(*w.window, "startup");
        w.Click("cmdCopySections");
        ScriptedWindow::ClickRow(w.Sections(), 1);
        SaveScreenshot(*w.window, "startup_copy_mode");
        w.Click("cmdCopySections");

        for (auto mode : {tavro::core::NameMode::NewJob, tavro::core::NameMode::NewSection,
                          tavro::core::NameMode::CopySection}) {
            tavro::ui::NameDialog dialog(tavro::core::NameDialogFor(w.state, mode));
            const char* names[] = {"name_new_job", "name_new_section", "name_copy_section"};
            SaveScreenshot(dialog, names[static_cast<int>(mode)]);
        }

        tavro::ui::NotesWindow notes(w.state, w.user, w.window.get());
        notes.Open();
        QTest::mouseClick(notes.findChild<QPushButton*>("cmdNotes"), Qt::LeftButton);
        notes.findChild<QPlainTextEdit*>("txtNotes")
            ->appendPlainText("Cores taken 2024:\tasphalt 4.5 in\n\tbase 10 in");
        SaveScreenshot(notes, "notes");
        w.user.Answer(tavro::core::Answer::No);
        QTest::mouseClick(notes.findChild<QPushButton*>("cmdListInfo"), Qt::LeftButton);
        SaveScreenshot(notes, "information");
        notes.hide();

        tavro::ui::HelpViewer help;
        help.Show(w.state, w.user);
        SaveScreenshot(*help.Window(), "help");
        help.Close();

        tavro::ui::AboutDialog about(w.state);
        SaveScreenshot(about, "about");

        auto box = tavro::ui::MakeMessageBox(
            "Deleting a Section",
            "Deleting section AConFlex in job RWY-09.\r\n\r\nDo you want to continue?",
            tavro::core::Buttons::YesNo, tavro::core::Answer::No, tavro::core::Icon::Question,
            nullptr);
        SaveScreenshot(*box, "message_box");
    }
};

QTEST_MAIN(ScreenshotsTest)
#include "screenshots_test.moc"
