// SPDX-License-Identifier: GPL-3.0-or-later
#include "CliRunner.h"

#include "CliOptions.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <cstdio>
#include <memory>

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
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    // A report paints its pages with fonts, which takes a GUI application; it needs no display,
    // so it gets the offscreen platform. Every other command stays a plain console program.
    CliOptions wanted;
    const bool report = CliArguments::parse(arguments, wanted).kind == UsageError::None && wanted.writesReport();
    std::unique_ptr<QCoreApplication> app;
    if (report) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    QCoreApplication::setApplicationName(QStringLiteral("lumivane-cli"));
    CliRunner runner(stdout, stderr);
    return runner.run(arguments);
}
