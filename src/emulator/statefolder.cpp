#include "statefolder.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace {
const QString kStateFile = QStringLiteral("emulator.state");
}

StateFolder::StateFolder(const QString &dir)
    : m_dir(dir), m_statePath(QDir(dir).filePath(kStateFile)), m_lock(QDir(dir).filePath(QStringLiteral("state.lock")))
{
}

QString StateFolder::statePath() const { return m_statePath; }

QString StateFolder::linkLockPath() const { return QDir(m_dir).filePath(QStringLiteral("link.lock")); }

bool StateFolder::lockFolder(QString *error)
{
    if (m_lock.lock(kLockWaitMs, error))
        return true;
    *error = error->isEmpty() ? QStringLiteral("the emulator folder %1 is busy: another program keeps it locked").arg(m_dir)
                              : QStringLiteral("cannot write the emulator folder: %1").arg(*error);
    return false;
}

bool StateFolder::readBytes(QByteArray *bytes, bool *exists, QString *error, qint64 head)
{
    QString why;
    switch (readRegularFile(statePath(), EmulatorStateFile::kMaxSize, bytes, &why, head)) {
    case StateRead::Missing:
        *exists = false;
        return true;
    case StateRead::Refused:
        *error = QStringLiteral("cannot read the emulator state: %1").arg(why);
        return false;
    case StateRead::Read:
        break;
    }
    *exists = true;
    return true;
}

bool StateFolder::decode(const QByteArray &bytes, EmulatorState *state, uint64_t *generation, QString *error)
{
    QString why;
    if (!EmulatorStateFile::decode(bytes, state, generation, &why)) {
        *error = QStringLiteral("the emulator state %1 is damaged (%2); remove it to start with a blank Link")
                     .arg(statePath(), why);
        return false;
    }
    return true;
}

bool StateFolder::read(EmulatorState *state, uint64_t *generation, bool *exists, QString *error)
{
    QByteArray bytes;
    *generation = 0;
    if (!readBytes(&bytes, exists, error))
        return false;
    return !*exists || decode(bytes, state, generation, error);
}

bool StateFolder::linkPluggedIn()
{
    QByteArray start;
    bool exists = false;
    bool connected = true;
    QString error;
    return !readBytes(&start, &exists, &error, EmulatorStateFile::kPeekBytes) || !exists
           || !EmulatorStateFile::peekLinkConnected(start, &connected) || connected;
}

bool StateFolder::load(EmulatorState *state, bool *fresh, QString *error)
{
    const QFileInfo info(m_dir);
    if (info.exists() && !info.isDir()) {
        *error = QStringLiteral("%1 is not a folder").arg(m_dir);
        return false;
    }
    if (!QDir().mkpath(m_dir)) {
        *error = QStringLiteral("cannot create the emulator folder %1").arg(m_dir);
        return false;
    }
    // The lock file proves the folder writable before any operation relies on it.
    if (!lockFolder(error))
        return false;
    // New state files are written only under the lock: any still lying about were left by a crash.
    QDir folder(m_dir);
    for (const QString &temp : folder.entryList({QStringLiteral(".") + kStateFile + QStringLiteral(".*")},
                                                QDir::Files | QDir::Hidden | QDir::System))
        folder.remove(temp);
    bool exists = false;
    bool ok = read(state, &m_seen, &exists, error);
    m_lock.unlock();
    if (ok && !exists && QFileInfo::exists(QDir(m_dir).filePath(QStringLiteral("state.ini")))) {
        *error = QStringLiteral("%1 holds the emulator state of an earlier version (state.ini and *.bin files); "
                                "move them away to start with a blank Link").arg(m_dir);
        ok = false;
    }
    *fresh = ok && !exists;
    return ok;
}

bool StateFolder::refresh(EmulatorState *state, unsigned keep, QString *error, bool quick)
{
    // Looked at every few milliseconds while an operation runs: a folder nobody changed costs a look at the
    // path, or a read of the file's header, not of every memory. The file is held before it is read, so a
    // file replaced in between is not the held one next time and is read again.
    if (quick && m_seenFile.stillAt(statePath()))
        return true;
    m_seenFile.hold(statePath());
    QByteArray bytes;
    bool exists = false;
    if (!readBytes(&bytes, &exists, error, EmulatorStateFile::kHeaderBytes)) {
        m_seenFile.release();
        return false;
    }
    uint64_t generation = 0;
    if (!exists || (EmulatorStateFile::peekGeneration(bytes, &generation) && generation == m_seen))
        return true;
    // A file replaced by rename is read whole or not at all: no lock needed to read it.
    if (!readBytes(&bytes, &exists, error))
        return false;
    if (!exists)
        return true;
    EmulatorState onDisk;
    if (!decode(bytes, &onDisk, &generation, error))
        return false;
    state->adopt(onDisk, EmulatorState::AllParts & ~keep);
    m_seen = generation;
    return true;
}

bool StateFolder::save(EmulatorState *state, unsigned changed, QString *error)
{
    if (!lockFolder(error))
        return false;
    bool ok = refresh(state, changed, error);
    if (ok) {
        const uint64_t next = m_seen + 1;
        QString why;
        ok = replaceFileAtomically(statePath(), EmulatorStateFile::encode(*state, next), &why);
        if (ok)
            m_seen = next;
        else
            *error = QStringLiteral("cannot write the emulator state: %1").arg(why);
    }
    m_lock.unlock();
    return ok;
}
