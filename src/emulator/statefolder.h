#pragma once

#include "emulatorstate.h"
#include "statefolderio.h"

#include <QString>

#include <cstdint>

// An emulator's state folder, shared by every program that emulates the same Link:
//   emulator.state  the whole state, replaced by write-then-rename on every save (never rewritten in place);
//                   a new one half-written when its program died is removed by the next program that loads
//   state.lock      held while a program reads, merges and replaces the state file: one program at a time
//                   changes the folder, the others wait a little and then give up with a clear message
//   link.lock       the emulated Link's device lock (see LinkEmulator::LinkLock)
// A save merges: parts this program did not change since it last looked are taken from the file, so a
// socket change made by another program is never overwritten with stale state.
class StateFolder
{
public:
    static constexpr int kLockWaitMs = 2000;

    explicit StateFolder(const QString &dir);

    // Reads the state file into `state`. No state file yet: `state` stays as it is and `fresh` is set.
    // False with the reason when the folder cannot be used (damaged or foreign state file, not writable).
    bool load(EmulatorState *state, bool *fresh, QString *error);
    // Takes what other programs saved since this one last looked, for the parts not in `keep` (the parts this
    // program changed and has not saved yet). Reads only; false with the reason. `quick` (for polling): the
    // very file this program last read, still in place, is not read again.
    bool refresh(EmulatorState *state, unsigned keep, QString *error, bool quick = false);
    // Under the folder lock: refreshes the parts not in `changed`, then replaces the state file with the
    // merged state. False with the reason; nothing is written then.
    bool save(EmulatorState *state, unsigned changed, QString *error);

    // Reads only: false when the folder's Link is pulled out of the computer. A folder without a state, or
    // with one that cannot be read, counts as plugged in (using it then says what is wrong).
    bool linkPluggedIn();

    QString dir() const { return m_dir; }
    QString statePath() const;
    QString linkLockPath() const;

private:
    bool lockFolder(QString *error);
    // Reads and decodes the state file; `generation` 0 when there is none.
    bool read(EmulatorState *state, uint64_t *generation, bool *exists, QString *error);
    // The whole state file, or with `head` of 0 or more only its first `head` bytes.
    bool readBytes(QByteArray *bytes, bool *exists, QString *error, qint64 head = -1);
    bool decode(const QByteArray &bytes, EmulatorState *state, uint64_t *generation, QString *error);

    QString m_dir;
    QString m_statePath;  // built once: the file is looked at every few milliseconds
    FolderLock m_lock;
    uint64_t m_seen = 0;  // generation of the file as this program last read or wrote it
    HeldFile m_seenFile;  // that file, held from before that read
};
