// SPDX-License-Identifier: GPL-3.0-or-later
// Renders the spectral page filled from a meter image into a PNG, offscreen, for looking at the
// dialog without a display:
//   spectral-page-snapshot <image.json> <uiIndex> <zh|en> <out.png> [width height]
#include "CatalogLoader.h"
#include "MeterImage.h"
#include "MeterPage.h"
#include "MeterSession.h"
#include "QtUserDialogs.h"
#include "VirtualMeterTransport.h"

#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <QTranslator>

#include <cstdio>

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 5) {
        std::fprintf(stderr, "usage: spectral-page-snapshot <image.json> <uiIndex> <zh|en> <out.png> [width height]\n");
        return 2;
    }
    MeterImage image;
    QString error;
    if (!MeterImage::fromFile(args.at(1), image, error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    const int uiIndex = args.at(2).toInt();
    const bool chinese = args.at(3) != QLatin1String("en");

    QFile css(QStringLiteral(LUMIVANE_SOURCE_DIR "/resources/qss/psblue.css"));
    if (css.open(QIODevice::ReadOnly))
        app.setStyleSheet(QString::fromUtf8(css.readAll()));
    app.setFont(QFont(QStringLiteral("Microsoft Yahei"), 9));
    QTranslator translator;
    if (translator.load(QStringLiteral(LUMIVANE_BINARY_DIR "/bin/Lumivane_") + (chinese ? "zh" : "en")))
        app.installTranslator(&translator);

    UnitCatalog catalog;
    CatalogLoader::loadUnitCatalog(QStringLiteral(LUMIVANE_SOURCE_DIR "/catalog/files"), catalog);
    MeterSession session;
    if (!session.openUsb(std::make_unique<VirtualMeterTransport>(image))) {
        std::fprintf(stderr, "the virtual meter did not open\n");
        return 1;
    }
    QtUserDialogs dialogs;
    MeterPage page(uiIndex, catalog, chinese, session, dialogs);
    if (args.size() >= 7)
        page.resize(args.at(5).toInt(), args.at(6).toInt());
    page.show();
    page.findChild<QPushButton *>(QStringLiteral("pushButton_readRecords"))->click();
    app.processEvents();
    if (!page.grab().save(args.at(4))) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(args.at(4)));
        return 1;
    }
    return 0;
}
