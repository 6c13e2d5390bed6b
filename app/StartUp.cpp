// SPDX-License-Identifier: GPL-3.0-or-later
#include "StartUp.h"

#include "SingleInstanceGuard.h"
#include "UserDialogs.h"
#include "WindowFont.h"

#include <QApplication>
#include <QColor>
#include <QFile>
#include <QPalette>

bool StartUp::applyStyleSheet(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    // The style sheet is plain ASCII; Latin-1 keeps character offsets equal to byte offsets.
    const QString styleSheet = QString::fromLatin1(file.readAll());
    file.close();
    const QColor colour(styleSheet.mid(colourOffset, colourLength));
    if (colour.isValid())
        QApplication::setPalette(QPalette(colour));
    qApp->setStyleSheet(styleSheet);
    return true;
}

void StartUp::applyFont()
{
    QApplication::setFont(windowFont(12));
}

int StartUp::runSecondCopy(SingleInstanceGuard &guard, UserDialogs &dialogs)
{
    // Whether the running copy got the message or not, the user is told and this copy ends.
    guard.sendMessage(QStringLiteral("active!!!!!"), messageTimeoutMs);
    dialogs.information(nullptr, QStringLiteral("Warn"), QStringLiteral("Device already opened!"));
    return 0;
}
