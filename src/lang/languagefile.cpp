#include "languagefile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {
QString languageFile(const QString &appDir)
{
    return appDir + QStringLiteral("/language.pth");
}
}

std::optional<Language> readStoredLanguage(const QString &appDir)
{
    const QString path = languageFile(appDir);
    // A regular file only: a FIFO in its place must not hang the start.
    if (!QFileInfo(path).isFile())
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return languageFromCode(QString::fromLatin1(file.read(16)).trimmed());
}

bool writeStoredLanguage(const QString &appDir, Language language)
{
    QSaveFile file(languageFile(appDir));
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray data = languageCode(language).toLatin1() + '\n';
    if (file.write(data) != data.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}
