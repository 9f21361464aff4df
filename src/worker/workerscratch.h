#pragma once

#include <QString>
#include <QTemporaryDir>

// A parent's scratch folder for its workers' files (their production logs): named after the parent's
// process, so a later run can tell a folder whose owner was killed (SIGKILL, a power cut) and remove it.
class WorkerScratch
{
public:
    // Removes the empty folders that parents no longer running left in the temporary folder, then makes one.
    WorkerScratch();
    WorkerScratch(const WorkerScratch &) = delete;
    WorkerScratch &operator=(const WorkerScratch &) = delete;

    bool isValid() const { return m_dir.isValid(); }
    QString path() const { return m_dir.path(); }
    QString filePath(const QString &name) const { return m_dir.filePath(name); }
    // Leaves the folder when this object goes: its files hold what was not saved elsewhere.
    void keep() { m_dir.setAutoRemove(false); }

    // The folders under `tempPath` whose parent is gone and that hold no file; they are removed. A folder
    // that still holds files is left: they may be the only copy of a production record.
    static QStringList removeStale(const QString &tempPath);
    static QString prefix();

private:
    QTemporaryDir m_dir;
};
