// SPDX-License-Identifier: GPL-3.0-or-later
#include "PageFixture.h"

#include "VirtualMeterTransport.h"
#include "WindowArchive.h"

#include "DataTableView.h"
#include "RecordsTableModel.h"
#include "TableRoles.h"

#include <QAbstractItemModelTester>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

PageFixture::PageFixture(const QString &catalogDirectory) : page(session, dialogs, catalogDirectory)
{
    // The records model is checked on every change for the signals and indexes views rely on.
    new QAbstractItemModelTester(view()->model(), QAbstractItemModelTester::FailureReportingMode::QtTest, &page);
}

QString PageFixture::shippedCatalogs()
{
    return QStringLiteral(LUMIVANE_SOURCE_DIR "/catalog/files");
}

MeterImage PageFixture::sample(const QString &name)
{
    MeterImage image;
    QString error;
    if (!MeterImage::fromFile(QStringLiteral(LUMIVANE_SAMPLES_DIR "/meters/") + name + QStringLiteral(".json"), image,
                              error))
        qFatal("sample meter %s: %s", qPrintable(name), qPrintable(error));
    return image;
}

QString PageFixture::catalogDirectory(QTemporaryDir &dir, const QByteArray &meterno, const QByteArray &probeno)
{
    const QString path = dir.path();
    auto write = [&](const char *name, const QByteArray &content) {
        QFile file(path + QLatin1Char('/') + QLatin1String(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
            qFatal("cannot write catalog %s", name);
    };
    auto shipped = [](const char *name) {
        QFile file(shippedCatalogs() + QLatin1Char('/') + QLatin1String(name));
        if (!file.open(QIODevice::ReadOnly))
            qFatal("cannot read shipped catalog %s", name);
        return file.readAll();
    };
    if (!meterno.isNull())
        write("meterno", meterno);
    write("unitno", shipped("unitno"));
    write("probeno", probeno.isNull() ? shipped("probeno") : probeno);
    return path;
}

bool PageFixture::plugIn(const MeterImage &image)
{
    auto transport = std::make_unique<VirtualMeterTransport>(image);
    meter = transport->meter();
    return session.openUsb(std::move(transport));
}

void PageFixture::unplug()
{
    session.close();
    page.resetPage();
}

bool PageFixture::identifyAndDownload(const MeterImage &image)
{
    if (!plugIn(image))
        return false;
    const auto shownBefore = dialogs.informationTexts().size();
    page.identifyMeter();
    page.on_pushButton_readRecords_clicked();
    waitForArchiving();
    return dialogs.informationTexts().size() == shownBefore;
}

PageFixture::~PageFixture()
{
    WindowArchive::waitForArchiving();
}

void PageFixture::waitForArchiving()
{
    WindowArchive::waitForArchiving();
    QCoreApplication::sendPostedEvents();
}

DataTableView *PageFixture::view() const
{
    return page.findChild<DataTableView *>(QStringLiteral("tableWidget_data"));
}

QPushButton *PageFixture::button(const char *objectName) const
{
    return page.findChild<QPushButton *>(QLatin1String(objectName));
}

QString PageFixture::lineText(const char *objectName) const
{
    const auto *edit = page.findChild<QLineEdit *>(QLatin1String(objectName));
    return edit ? edit->text() : QStringLiteral("<no such line edit>");
}

QStringList PageFixture::headers() const
{
    // Through the view's model, as the header view reads it.
    const QAbstractItemModel *shown = view()->model();
    QStringList labels;
    for (int column = 0; column < shown->columnCount(); ++column)
        labels << shown->headerData(column, Qt::Horizontal).toString().replace(QLatin1Char('\n'), QLatin1String("\\n"));
    return labels;
}

QStringList PageFixture::rowTexts(int row) const
{
    const QAbstractItemModel *shown = view()->model();
    const int last = shown->columnCount() - 1;
    QStringList texts;
    for (int column = 0; column < last; ++column)
        texts << shown->index(row, column).data().toString();
    const QModelIndex buttonCell = shown->index(row, last);
    texts << (buttonCell.data(ButtonRole).toBool() ? buttonCell.data().toString() : QStringLiteral("<no button>"));
    return texts;
}

QList<QStringList> PageFixture::allRows() const
{
    QList<QStringList> rows;
    for (int row = 0; row < model().rowCount(); ++row)
        rows << rowTexts(row);
    return rows;
}
