#include "savefile.h"

#include "filesync.h"
#include "inputfile.h"

#include <QFile>
#include <QSaveFile>

namespace {
bool fail(QString *error, const QString &text)
{
    if (error)
        *error = text;
    return false;
}

// The reason for a write that stopped short; a full disk leaves no error string behind.
QString shortWriteText(const QFileDevice &file, qint64 written, qint64 wanted)
{
    const bool unknown = file.error() == QFileDevice::NoError || file.errorString() == QFile().errorString();
    const QString reason = unknown ? QStringLiteral("disk full?") : file.errorString();
    // A buffered write takes everything; the flush behind it is what fell short.
    if (written == wanted)
        return QStringLiteral("not all of %1 bytes reached the file (%2)").arg(wanted).arg(reason);
    return QStringLiteral("wrote %1 of %2 bytes (%3)").arg(qMax<qint64>(written, 0)).arg(wanted).arg(reason);
}
}

bool replaceFile(const QString &path, const QByteArray &bytes, QString *error)
{
    const QString problem = outputProblem(path);
    if (!problem.isEmpty())
        return fail(error, problem);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(error, file.errorString());
    const qint64 written = file.write(bytes);
    if (written != bytes.size() || !file.flush()) {
        const QString text = shortWriteText(file, written, bytes.size());
        file.cancelWriting();
        return fail(error, text);
    }
    if (!file.commit())
        return fail(error, file.errorString());
    return true;
}

bool appendDurably(QFileDevice &file, const QByteArray &bytes, QString *error)
{
    const qint64 written = file.write(bytes);
    if (written != bytes.size() || !file.flush())
        return fail(error, shortWriteText(file, written, bytes.size()));
    if (!syncFileData(file))
        return fail(error, QStringLiteral("the disk did not take the data (sync failed)"));
    return true;
}
