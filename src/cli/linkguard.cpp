#include "linkguard.h"

#include "commands.h"
#include "exitstatus.h"
#include "linkselection.h"
#include "engine/resultcodes.h"
#include "link/devicelock.h"
#include "link/linkports.h"
#include "link/portfilterbackend.h"

#include <QCoreApplication>
#include <QStringList>

LinkGuard::LinkGuard() = default;
LinkGuard::~LinkGuard() = default;

int LinkGuard::take(const CliContext &ctx)
{
    LinkChoice choice;
    QString error;
    if (!ctx.options.link.isEmpty() && !parseLinkChoice(ctx.options.link, &choice, &error)) {
        ctx.error(error);
        return ExitStatus::Usage;
    }
    if (choice.mode == LinkChoice::OneLink) {
        const QVector<AttachedLink> links = attachedLinks(ctx.options.emulate, ctx.options.emulateDir);
        if (links.size() <= 1)
            return ExitStatus::Success;
        QStringList ports;
        for (const AttachedLink &link : links)
            ports << link.port;
        ctx.error(QCoreApplication::translate("cli", "%1 Links are attached (%2): choose one with --link PORT, or several with --link all")
                      .arg(links.size())
                      .arg(ports.join(QStringLiteral(", "))));
        return ExitStatus::Usage;
    }
    // The emulated Link of a --link run is the only one in this process already, and it has a lock of its own
    // (its folder's), taken by every operation.
    if (ctx.options.emulate)
        return ExitStatus::Success;
    const QString port = choice.ports.first();
    m_filter = std::make_unique<PortFilterBackend>(hidBackend(), port,
                                                   [](const std::string &path) { return portOfPath(QString::fromStdString(path)); });
    setHidBackend(m_filter.get());
    if (!holdLinkLock(linkLockName(port).toStdString())) {
        ctx.error(QCoreApplication::translate("cli", "%1: %2 (the Link is in use by another process)").arg(port, resultCodeText(37)));
        return exitStatusForResult(37);
    }
    return ExitStatus::Success;
}
