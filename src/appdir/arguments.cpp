#include "arguments.h"

#include <QCoreApplication>
#include <QTextCodec>

QString undecodableArgumentText(const QByteArray &argument)
{
    // Printable ASCII stays, every other byte is shown by its value: the name reads the same in any terminal.
    QString shown;
    for (const char c : argument) {
        const uchar byte = uchar(c);
        if (byte >= 0x20 && byte < 0x7F && byte != '\\')
            shown += QLatin1Char(c);
        else
            shown += QStringLiteral("\\x") + QString::number(byte, 16).toUpper().rightJustified(2, QLatin1Char('0'));
    }
    const QTextCodec *codec = QTextCodec::codecForLocale();
    return QCoreApplication::translate("arguments",
                                       "参数 \"%1\" 不是系统编码（%2）的文字：不能以这个名字打开或创建文件，请给文件或文件夹改名")
        .arg(shown, codec ? QString::fromLatin1(codec->name()) : QStringLiteral("?"));
}
