// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLocale>
#include <QPageSize>
#include <QString>

// What the user tells about a report: its title, where and by whom the measurements were made, a
// note of several lines, the paper and the language.
struct ReportDetails
{
    QString title; // empty: the default title of the language
    QString location;
    QString operatorName;
    QString note;
    QPageSize::PageSizeId paper = QPageSize::A4;
    bool chinese = true;

    // The title printed: the one given, or "测量报告"/"Measurement Report".
    QString shownTitle() const;

    // Letter where the locale's country uses it (the United States and Canada), A4 elsewhere.
    static QPageSize::PageSizeId defaultPaper(const QLocale &locale = QLocale::system());
    // "a4" or "letter" (any case); false for any other word.
    static bool paperFromName(const QString &name, QPageSize::PageSizeId &paper);
};
