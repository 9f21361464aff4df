// Writes the cfg.db a fresh build starts with: no chip entries and no company name, so every catalogue
// model is selectable. The pad comes from a fixed seed so that every build produces the same file.
#include "files/cfgdb.h"

#include <QByteArray>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QString>

#include <cstdio>

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT\n", argv[0]);
        return 2;
    }
    QRandomGenerator seeded(0x7461726eu);
    QByteArray pad(CFG_PAD_SIZE, '\0');
    for (char &c : pad)
        c = static_cast<char>(seeded.generate() >> 24);
    // Keep the pad offset small so the text always fits behind it.
    pad[3] = static_cast<char>(static_cast<uint8_t>(pad.at(3)) & 0x3F);

    g_nCfgCount = 0;
    g_strCompany.clear();
    const QByteArray data = buildCfgData(pad, cfgText());
    QSaveFile out(QString::fromLocal8Bit(argv[1]));
    if (data.isEmpty() || !out.open(QIODevice::WriteOnly) || out.write(data) != data.size() || !out.commit()) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[1]);
        return 1;
    }
    return 0;
}
