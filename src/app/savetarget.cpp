#include "savetarget.h"

#include <QCoreApplication>
#include <QFileInfo>

SaveTarget saveTargetFor(const QString &chosenPath, const QString &filter)
{
    const QString suffix = QFileInfo(chosenPath).suffix().toLower();
    if (suffix == QLatin1String("bin"))
        return {chosenPath, SaveFormat::Bin};
    if (suffix == QLatin1String("mprj"))
        return {chosenPath, SaveFormat::Project};
    if (filter.contains(QLatin1String("*.mprj")))
        return {chosenPath + QStringLiteral(".mprj"), SaveFormat::Project};
    return {chosenPath + QStringLiteral(".bin"), SaveFormat::Bin};
}

QString saveFailureReason(const QString &path)
{
    const QFileInfo file(path);
    const QFileInfo folder(file.absolutePath());
    if (!folder.isDir())
        return QCoreApplication::translate("save", "文件夹不存在");
    if (file.isDir())
        return QCoreApplication::translate("save", "同名的文件夹已存在");
    if (!folder.isWritable())
        return QCoreApplication::translate("save", "文件夹没有写入权限");
    return QCoreApplication::translate("save", "写入不完整（磁盘已满或写入出错）");
}
