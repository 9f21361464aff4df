#pragma once

#include <QByteArray>
#include <QString>

class QFileDevice;

// Replaces `path` with `bytes` through a temporary file beside it, so the previous file stays whole unless
// every byte reached the new one. A short write counts as a failure: QFile::write reports it only by its
// count (a full disk sets no error), so a commit alone would keep a truncated file. False with the reason
// in *error (may be null). A path that exists as anything but a regular file is refused: renaming over a
// device or a FIFO would replace it.
bool replaceFile(const QString &path, const QByteArray &bytes, QString *error);

// Writes all of `bytes` to an open file and pushes them to the disk (flush, then the platform's data
// sync), for records that must survive a crash or a power cut before the next step. False with the reason
// in *error (may be null).
bool appendDurably(QFileDevice &file, const QByteArray &bytes, QString *error);
