// Helpers of the window tests: a startup window over a fresh program directory, driven by
// the scripted user, and clicks on list rows.
#pragma once

#include <gtest/gtest.h>

#include <QDir>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <memory>

#include "core/job_file.h"
#include "core/program_state.h"
#include "core/section_ops.h"
#include "support/fake_user_port.h"
#include "support/temp_dir.h"
#include "ui/startup_window.h"

namespace tavro::test {

// The fake's failures land in GoogleTest's ad hoc result, as GoogleTest is not running.
inline int UnscriptedFailures() {
    return testing::UnitTest::GetInstance()->ad_hoc_test_result().total_part_count();
}

// Shows `widget` and saves its picture as <name>.png in the screenshot directory.
inline void SaveScreenshot(QWidget& widget, const QString& name) {
    QDir().mkpath(TAVRO_SCREENSHOT_DIR);
    widget.show();
    QCoreApplication::processEvents();
    const QString file = QString(TAVRO_SCREENSHOT_DIR) + "/" + name + ".png";
    QVERIFY2(widget.grab().save(file), qPrintable(file));
}

// A started startup window over an empty program directory (or one prepared by `setUp`).
struct ScriptedWindow {
    TempDir dir;
    core::ProgramState state;
    FakeUserPort user;
    std::unique_ptr<ui::StartupWindow> window;

    ScriptedWindow() { user.answerDefaults = false; }
    // Job `name` holding the three sample sections.
    void WriteSampleJob(const char* name = "RWY") {
        core::ProgramState samples;
        core::LoadSampleJob(samples);
        dir.Write(std::string(name) + ".JOB", core::FormatJob(samples.Sections));
    }
    void Start() {
        window = std::make_unique<ui::StartupWindow>(state, user);
        window->SetNameAsker([this](const core::NameDialogSpec& spec) {
            return user.AskText(spec.instruction, spec.title, spec.defaultText);
        });
        window->Start(QString::fromStdString(dir.path()), true);
    }

    template <class T = QWidget>
    T* Find(const char* name) const {
        return window->findChild<T*>(name);
    }
    QListWidget* Jobs() const { return Find<QListWidget>("lstJobs"); }
    QListWidget* Sections() const { return Find<QListWidget>("lstSections"); }
    void Click(const char* button) const {
        QTest::mouseClick(Find<QPushButton>(button), Qt::LeftButton);
    }
    static void ClickRow(QListWidget* list, int row) {
        const QRect rect = list->visualItemRect(list->item(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    }
    int JobRow(const std::string& job) const {
        const auto items = Jobs()->findItems(QString::fromStdString(job), Qt::MatchExactly);
        return items.isEmpty() ? -1 : Jobs()->row(items.first());
    }
    QStringList Lines(QListWidget* list) const {
        QStringList out;
        for (int i = 0; i < list->count(); ++i) out << list->item(i)->text();
        return out;
    }
    RecordedBox LastBox() const { return user.boxes.empty() ? RecordedBox{} : user.boxes.back(); }
};

}  // namespace tavro::test
