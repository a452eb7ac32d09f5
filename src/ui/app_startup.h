// The parts of start-up that belong to the desktop: where the program directory is,
// whether this is the first running instance, and where the main window goes.
#pragma once

#include <QLockFile>
#include <QString>
#include <memory>

class QWidget;

namespace tavro::ui {

struct ProgramDirChoice {
    QString dir;     // the directory to work in
    QString notice;  // why it is not the one asked for ("" when it is)
};

// true when files can be created in `dir` (created first when missing). Asks the file
// system by creating a file, since permission bits say nothing about read-only mounts.
bool IsWritableDirectory(const QString& dir);

// `requested` when it is writable, else `fallback`. The notice tells why, the first time
// only: when the fallback directory did not exist yet (it is created).
ProgramDirChoice ChooseProgramDir(const QString& requested, const QString& fallback);

// File name of the instance lock inside the program directory.
inline constexpr const char* kInstanceLockName = "tavro.lock";

// Held for the life of the program. Only the first instance working in a directory gets
// it; the lock names the holder's process, so the lock of a crashed instance is taken
// over instead of blocking every later start.
class InstanceLock {
public:
    explicit InstanceLock(const QString& lockFilePath);
    bool First() const { return first_; }

private:
    std::unique_ptr<QLockFile> lock_;
    bool first_ = false;
};

// left = (screen width - window width) / 2, top likewise, on the window's screen.
void CentreOnScreen(QWidget& window);

}  // namespace tavro::ui
