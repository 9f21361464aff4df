#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <QVector>

#include <cstdint>

// A project as the process-wide state holds it: chip, areas, images and the settings the Link stores.
struct ProjectState
{
    struct AreaState {
        bool enabled = false;
        uint32_t size = 0;     // data size (rom, bl) or area length
        QByteArray bytes;      // the whole area on the chip, 0xFF behind the data
    };
    QString chip;
    AreaState areas[6];        // indexed by Area
    bool rollingEnabled = false;
    QByteArray rolling;        // 12 bytes
    bool limitEnabled = false;
    uint32_t limitCount = 0;
    bool autoBurnerEnabled = false;
    QByteArray autoBurner;     // 12 bytes
    QVector<QPair<QString, bool>> options;  // the option flags the Link keeps

    static ProjectState capture();
};

struct ProjectComparison
{
    bool equal = true;
    QStringList differences;      // one line each, in the same words in every language (the JSON's)
    QStringList differenceTexts;  // the same lines in the running language
    QJsonObject json;
};

// What the Link holds (`link`) against the project file (`file`): the chip, every area enabled on either
// side (first differing address and both checksums) and the stored settings. The password is left out:
// the Link never gives it back.
ProjectComparison compareProjects(const ProjectState &file, const ProjectState &link);
