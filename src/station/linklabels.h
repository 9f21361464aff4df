#pragma once

#include <QMap>
#include <QString>

// The operator's names of the Links by port ("left socket"), kept in station.labels beside openpath.pth:
// one "PORT<TAB>LABEL" line each, UTF-8. The whole file is replaced (write, sync, rename) on every change, so
// a crash leaves the old labels or the new ones, never half a file.
class LinkLabels
{
public:
    explicit LinkLabels(const QString &folder);

    QString fileName() const { return m_file; }
    QString label(const QString &port) const { return m_labels.value(port); }
    // False (reason in `error`) when the file could not be replaced; the label is then not remembered.
    bool setLabel(const QString &port, const QString &label, QString *error);

    // A label is one line of text without tabs; what is not is flattened.
    static QString cleaned(const QString &label);

private:
    QString m_file;
    QMap<QString, QString> m_labels;
};
