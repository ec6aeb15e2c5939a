#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// The advisory lock that keeps archive runs into one folder apart: held on a reserved file of
// the folder from before the recorder is opened until the run's end, so that two runs never
// choose the same new name. Released when the object goes.
class ArchiveLock final
{
    Q_DISABLE_COPY_MOVE(ArchiveLock)

public:
    enum class Outcome { Held, Stopped, Failed };

    ArchiveLock() = default;
    ~ArchiveLock();

    // Takes the lock of strFolder, waiting while another run holds it. onWait runs once when
    // the lock is busy; isStopped is asked while waiting and ends the wait with Stopped. Failed
    // (with Error()) when the lock file cannot be created or locked.
    Outcome Acquire(const QString &strFolder, const std::function<bool()> &isStopped,
                    const std::function<void()> &onWait);
    void Release();
    bool IsHeld() const { return m_nFd >= 0; }
    QString Error() const { return m_strError; }

    // Removes the temporary files of downloads that are no longer being written (a writer
    // holds a lock on its file while it writes): what a killed run left. Returns their names.
    static QStringList RemoveStaleTemporaryFiles(const QString &strFolder);

private:
    int m_nFd = -1;
    QString m_strError;
};
