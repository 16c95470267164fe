#pragma once

#include <QString>

#include <chrono>
#include <memory>
#include <optional>

class QLockFile;

// Held by whoever loads, changes and saves a configuration file (k30cfg-cli set, new and
// upload --into, the window's Save and Save As), so that two of them on one file take turns:
// without it both load the same file and the second save drops the first one's change.
// The lock is a file beside the file the save replaces ("site.cfg.lock", links followed);
// one left by a program that was killed counts as free.
class FileLock
{
public:
    // How long a save waits for another program's save of the same file.
    static constexpr std::chrono::milliseconds kWait{2000};

    explicit FileLock(const QString &path);
    ~FileLock();
    FileLock(const FileLock &) = delete;
    FileLock &operator=(const FileLock &) = delete;

    // Nothing once the file is held, or where a save there needs no lock (a pipe or a device
    // is written in place; where no lock file can be made, no new file can be made either and
    // the save says why); otherwise why the file cannot be saved now.
    std::optional<QString> Lock(std::chrono::milliseconds wait = kWait);

private:
    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
};
