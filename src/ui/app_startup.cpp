#include "ui/app_startup.h"

#include <QDir>
#include <QFileInfo>
#include <QScreen>
#include <QTemporaryFile>
#include <QWidget>

namespace tavro::ui {

bool IsWritableDirectory(const QString& dir) {
    if (dir.isEmpty() || !QDir().mkpath(dir)) return false;
    QTemporaryFile probe(QDir(dir).filePath("tavro-probe-XXXXXX"));
    return probe.open();
}

ProgramDirChoice ChooseProgramDir(const QString& requested, const QString& fallback) {
    if (IsWritableDirectory(requested)) return {QDir(requested).absolutePath(), {}};
    // Said once: the first start creates the fallback directory, later starts find it.
    const bool firstUse = !QFileInfo(fallback).isDir();
    QDir().mkpath(fallback);
    const QString dir = QDir(fallback).absolutePath();
    if (!firstUse) return {dir, {}};
    return {dir, "The directory " + QDir::toNativeSeparators(requested) +
                     " cannot be written to.\n\nJob and notes files are kept in " +
                     QDir::toNativeSeparators(dir) + " instead."};
}

InstanceLock::InstanceLock(const QString& lockFilePath)
    : lock_(std::make_unique<QLockFile>(lockFilePath)) {
    // Never stale by age: a program that runs for hours keeps its lock. A lock whose
    // process has gone is stale whatever its age.
    lock_->setStaleLockTime(0);
    first_ = lock_->tryLock(0);
}

void CentreOnScreen(QWidget& window) {
    const QScreen* screen = window.screen();
    if (!screen) return;
    const QRect area = screen->geometry();
    const QSize size = window.frameGeometry().size();
    window.move(area.left() + (area.width() - size.width()) / 2,
                area.top() + (area.height() - size.height()) / 2);
}

}  // namespace tavro::ui
