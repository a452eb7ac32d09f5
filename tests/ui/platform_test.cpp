// The desktop's side: message boxes, program directory, instance lock, manual, about.
#include <sys/wait.h>
#include <unistd.h>

#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>

#include "core/program_state.h"
#include "support/temp_dir.h"
#include "ui/app_startup.h"
#include "ui/help_window.h"
#include "ui/qt_user_port.h"

using tavro::core::Answer;
using tavro::core::Buttons;
using tavro::core::Icon;

class PlatformTest : public QObject {
    Q_OBJECT
private slots:
    void messageBoxesHaveTheirButtonSetDefaultAndIcon() {
        struct Case {
            Buttons buttons;
            Answer defaultAnswer;
            QMessageBox::StandardButtons expected;
            QMessageBox::StandardButton defaultButton, escapeButton;
        };
        const Case cases[] = {
            {Buttons::Ok, Answer::Ok, QMessageBox::Ok, QMessageBox::Ok, QMessageBox::Ok},
            {Buttons::OkCancel, Answer::Cancel, QMessageBox::Ok | QMessageBox::Cancel,
             QMessageBox::Cancel, QMessageBox::Cancel},
            {Buttons::YesNo, Answer::No, QMessageBox::Yes | QMessageBox::No, QMessageBox::No,
             QMessageBox::No},
            {Buttons::YesNoCancel, Answer::Cancel,
             QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Cancel,
             QMessageBox::Cancel},
            {Buttons::RetryCancel, Answer::Retry, QMessageBox::Retry | QMessageBox::Cancel,
             QMessageBox::Retry, QMessageBox::Cancel},
        };
        for (const Case& c : cases) {
            auto box =
                tavro::ui::MakeMessageBox("Deleting a Job", "Line one\r\n\r\nLine <b>", c.buttons,
                                          c.defaultAnswer, Icon::Question, nullptr);
            QCOMPARE(box->standardButtons(), c.expected);
            QCOMPARE(std::tuple(box->defaultButton(), box->escapeButton()),
                     std::tuple(box->button(c.defaultButton), box->button(c.escapeButton)));
            QCOMPARE(std::tuple(box->windowTitle(), box->text(), box->textFormat(), box->icon()),
                     std::tuple(QString("Deleting a Job"), QString("Line one\n\nLine <b>"),
                                Qt::PlainText, QMessageBox::Question));
        }
        QCOMPARE(tavro::ui::AnswerOf(QMessageBox::NoButton, Buttons::YesNo), Answer::No);
        QCOMPARE(tavro::ui::AnswerOf(QMessageBox::NoButton, Buttons::Ok), Answer::Ok);
        QCOMPARE(tavro::ui::AnswerOf(QMessageBox::Retry, Buttons::RetryCancel), Answer::Retry);
    }

    void anUnwritableProgramDirectoryFallsBackAndSaysSoOnce() {
        tavro::test::TempDir dir;
        dir.Write("plain-file", "x");
        const QString requested = QString::fromStdString(dir.File("plain-file/jobs"));
        const QString fallback = QString::fromStdString(dir.File("data"));
        const auto choice = tavro::ui::ChooseProgramDir(requested, fallback);
        QCOMPARE(choice.dir, fallback);
        QVERIFY(choice.notice.contains(requested + " cannot be written to."));
        QVERIFY(tavro::ui::ChooseProgramDir(requested, fallback).notice.isEmpty());
        const auto same = tavro::ui::ChooseProgramDir(fallback, requested);
        QCOMPARE(std::tuple(same.dir, same.notice), std::tuple(fallback, QString()));
    }

    void onlyTheFirstInstanceGetsTheLockAndACrashLeavesItFree() {
        tavro::test::TempDir dir;
        const QString path = QString::fromStdString(dir.File(tavro::ui::kInstanceLockName));
        {
            tavro::ui::InstanceLock first(path);
            tavro::ui::InstanceLock second(path);
            QVERIFY(first.First() && !second.First());
        }
        // A process that takes the lock and dies without releasing it.
        const pid_t child = fork();
        if (child == 0) {
            QLockFile lock(path);
            _exit(lock.tryLock(0) ? 0 : 1);  // no destructor: the file stays behind
        }
        int status = 0;
        waitpid(child, &status, 0);
        QVERIFY(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        QVERIFY(QFileInfo::exists(path));
        tavro::ui::InstanceLock after(path);
        QVERIFY(after.First());
    }

    void helpOpensTheManualAtItsContents() {
        tavro::core::ProgramState state;
        tavro::ui::QtUserPort port;
        tavro::ui::HelpViewer viewer;
        viewer.Show(state, port);
        QVERIFY(viewer.Window());
        const QString text = viewer.Window()->Browser()->toPlainText();
        for (const char* heading :
             {"Getting started", "Jobs and sections", "Units", "What the reports mean"})
            QVERIFY2(text.contains(heading), heading);
        viewer.Close();
    }

    void aboutNamesTheVersionAndTheSystem() {
        tavro::core::ProgramState state;
        state.ProgramDir = "/data/jobs/";
        state.FirstInstance = false;
        const QString text = tavro::ui::AboutText(state);
        QVERIFY(text.startsWith("TAVRO - Airport Pavement Design (V1.2)\nVersion V1.2"));
        QVERIFY(text.contains("Program directory: /data/jobs/"));
        QVERIFY(text.contains("Instance: another instance was already running"));
        QVERIFY(text.contains("Qt: " + QString(qVersion())));
    }

    void theFontsDrawLatinText() { QVERIFY(QFontMetrics(QApplication::font()).inFont('A')); }
};

QTEST_MAIN(PlatformTest)
#include "platform_test.moc"
