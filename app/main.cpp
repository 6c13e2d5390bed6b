// SPDX-License-Identifier: GPL-3.0-or-later
#include "AppInit.h"
#include "LumivaneResources.h"
#include "MainWindow.h"
#include "ProgramVersion.h"
#include "QtUserDialogs.h"
#include "SingleInstanceGuard.h"
#include "StartUp.h"
#include "VirtualMeterOption.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // Settings live in ~/.config/Lumivane.
    QCoreApplication::setOrganizationName(QStringLiteral("Lumivane"));

    // Demo mode: the virtual meter stands in for the USB meter.
    TransportFactory virtualMeter;
    QString imagePath;
    if (VirtualMeterOption::requested(QCoreApplication::arguments(), imagePath)) {
        QString error;
        if (!VirtualMeterOption::makeFactory(imagePath, virtualMeter, error)) {
            std::fprintf(stderr, "lumivane: %s\n", qPrintable(error));
            return 2;
        }
    }

    SingleInstanceGuard guard(SingleInstanceGuard::keyFor(QCoreApplication::applicationFilePath()));
    if (guard.isRunning()) {
        QtUserDialogs dialogs;
        return StartUp::runSecondCopy(guard, dialogs);
    }

    StartUp::applyStyleSheet(QLatin1String(LumivaneResources::styleSheet));
    StartUp::applyFont();
    app.installEventFilter(AppInit::instance());

    MainWindow *window = MainWindow::instance();
    if (virtualMeter)
        window->setTransportFactory(virtualMeter);
    guard.setActivationWindow(window, true);
    window->setWindowTitle(ProgramVersion::title());
    window->setWindowState(Qt::WindowMaximized);
    window->show();
    QObject::connect(&guard, SIGNAL(messageReceived(QString)), window, SLOT(handleAppMessage(QString)));

    const int result = app.exec();
    MainWindow::destroyInstance();
    return result;
}
