#include "startup.h"

#include "appdir/arguments.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    const QByteArray undecodable = undecodableArgument(argc, argv);  // before the application object takes argv
    QApplication app(argc, argv);
    QApplication::setStyle(QStringLiteral("windows"));
    return runTarnquill(app, app.arguments(), undecodable);
}
