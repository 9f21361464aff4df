#include "linklabels.h"

#include "files/savefile.h"

#include <QFile>
#include <QRegularExpression>

LinkLabels::LinkLabels(const QString &folder)
    : m_file(folder + QStringLiteral("/station.labels"))
{
    QFile file(m_file);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QList<QByteArray> lines = file.readAll().split('\n');
    for (QByteArray line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
        const int tab = line.indexOf('\t');
        if (tab > 0)
            m_labels.insert(QString::fromUtf8(line.left(tab)), cleaned(QString::fromUtf8(line.mid(tab + 1))));
    }
}

QString LinkLabels::cleaned(const QString &label)
{
    static const QRegularExpression controls(QStringLiteral("[\\x00-\\x1F\\x7F]+"));
    return QString(label).replace(controls, QStringLiteral(" ")).trimmed();
}

bool LinkLabels::setLabel(const QString &port, const QString &label, QString *error)
{
    QMap<QString, QString> labels = m_labels;
    const QString clean = cleaned(label);
    if (clean.isEmpty())
        labels.remove(port);
    else
        labels.insert(port, clean);
    QByteArray bytes;
    for (auto it = labels.cbegin(); it != labels.cend(); ++it)
        bytes += it.key().toUtf8() + '\t' + it.value().toUtf8() + '\n';
    if (!replaceFile(m_file, bytes, error))
        return false;
    m_labels = labels;
    return true;
}
