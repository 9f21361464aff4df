#include "savefile.h"

#include "filesync.h"
#include "inputfile.h"

#include <QCoreApplication>
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
    const QString reason = unknown ? QCoreApplication::translate("files", "磁盘已满？") : file.errorString();
    // A buffered write takes everything; the flush behind it is what fell short.
    if (written == wanted)
        return QCoreApplication::translate("files", "%1 字节未能全部写入文件（%2）").arg(wanted).arg(reason);
    return QCoreApplication::translate("files", "只写入了 %2 字节中的 %1 字节（%3）").arg(qMax<qint64>(written, 0)).arg(wanted).arg(reason);
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
        return fail(error, QCoreApplication::translate("files", "数据未能写入磁盘（同步失败）"));
    return true;
}
