#include "gangworker.h"

#include "chip/areas.h"
#include "commands.h"
#include "enginerunner.h"
#include "reports.h"

#include <QJsonObject>

#include <csignal>
#include <iostream>
#include <string>
#include <thread>

void startGangWorker()
{
    std::signal(SIGINT, SIG_IGN);
    // Blocks in the read for the life of the process; nothing joins it.
    std::thread([] {
        std::string line;
        while (std::getline(std::cin, line) && line != "stop") {
        }
        noteInterrupt();
    }).detach();
}

void finishGangWorker(const CliContext &ctx, int status)
{
    static const QStringList withImage = {QStringLiteral("burn"), QStringLiteral("download"), QStringLiteral("blank")};
    const QVector<Area> areas = enabledAreas();
    QJsonObject end{{QStringLiteral("exit"), status}};
    if (status == 0 && withImage.contains(ctx.options.command) && !areas.isEmpty())
        end.insert(QStringLiteral("checksum"), hex4(areaChecksum(areas.first())));
    else
        end.insert(QStringLiteral("checksum"), QJsonValue::Null);
    printJson(QJsonObject{{QStringLiteral("worker"), end}});
}
