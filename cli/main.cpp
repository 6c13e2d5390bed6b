// SPDX-License-Identifier: GPL-3.0-or-later
#include "CliRunner.h"

#include <QCoreApplication>

#include <cstdio>

namespace {

// The link and the workbook engine write diagnostics through Qt's debug and warning output
// ("hidDevice Open success!", ...). On the command line standard error carries only the
// program's messages, so those stay silent; critical and fatal output still shows.
void messageHandler(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg) {
        std::fprintf(stderr, "%s\n", message.toUtf8().constData());
        std::fflush(stderr);
    }
}

} // namespace

int main(int argc, char *argv[])
{
    qInstallMessageHandler(messageHandler);
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("lumivane-cli"));
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    CliRunner runner(stdout, stderr);
    return runner.run(arguments);
}
