// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "FirstPage.h"
#include "MeterImage.h"
#include "MeterSession.h"
#include "ScriptedUserDialogs.h"
#include "VirtualMeter.h"

#include <QStringList>
#include <QTemporaryDir>
#include <memory>

class DataTableView;
class QPushButton;
class RecordsTableModel;

// A records page on a real meter session whose transport is the virtual meter, with scripted
// dialogs. Images come from the shipped samples; tests change them (faults, counts) before
// plugging them in.
class PageFixture
{
public:
    explicit PageFixture(const QString &catalogDirectory = shippedCatalogs());
    ~PageFixture();

    static QString shippedCatalogs();
    // Loads samples/meters/<name>.json; a broken sample fails loudly.
    static MeterImage sample(const QString &name);
    // A catalog directory holding the given meterno text and the shipped unitno and probeno
    // (or the given probeno text).
    static QString catalogDirectory(QTemporaryDir &dir, const QByteArray &meterno,
                                    const QByteArray &probeno = QByteArray());

    // Opens the session on a virtual meter playing image; identification is the test's own step.
    bool plugIn(const MeterImage &image);
    // Closes the session as the window does when the meter goes.
    void unplug();
    // Plug in, identify and download; true when the page showed no message.
    bool identifyAndDownload(const MeterImage &image);
    // Downloads are archived on a thread of their own: waits for it and takes its answer.
    static void waitForArchiving();

    DataTableView *view() const;
    const RecordsTableModel &model() const { return page.recordsModel(); }
    QPushButton *button(const char *objectName) const;
    QString lineText(const char *objectName) const;
    // The header labels, with line breaks written as "\n" (two characters) as the golden files do.
    QStringList headers() const;
    // The texts of a row as the view shows them: every cell, then the label of the delete button
    // in the last column ("<no button>" where the cell is no button).
    QStringList rowTexts(int row) const;
    QList<QStringList> allRows() const;
    int requestsReceived() const { return meter ? meter->requestsReceived() : 0; }

    MeterSession session;
    ScriptedUserDialogs dialogs;
    FirstPage page;
    std::shared_ptr<VirtualMeter> meter;
};
