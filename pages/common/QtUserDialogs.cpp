// SPDX-License-Identifier: GPL-3.0-or-later
#include "QtUserDialogs.h"

#include <QFileDialog>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QPrintDialog>
#include <QSettings>
#include <QPointer>
#include <QProgressDialog>

namespace {

class QtProgressReporter : public ProgressReporter
{
public:
    QtProgressReporter(QWidget *parent, const QString &label, const QString &cancelText, int maximum)
        : dialog(new QProgressDialog(label, cancelText, 0, maximum, parent))
    {
        dialog->setWindowModality(Qt::WindowModal);
        dialog->setMinimumDuration(0);
        dialog->show();
    }
    ~QtProgressReporter() override { delete dialog.data(); }

    void setValue(int value) override
    {
        // A cancelled dialog has closed itself; a new value would open it again.
        if (dialog && !dialog->wasCanceled())
            dialog->setValue(value);
    }
    bool wasCanceled() const override { return dialog && dialog->wasCanceled(); }
    void hide() override
    {
        if (dialog)
            dialog->hide();
    }

private:
    // Guarded: the parent page may be destroyed while a reporter still exists.
    QPointer<QProgressDialog> dialog;
};

} // namespace

void QtUserDialogs::information(QWidget *parent, const QString &title, const QString &text)
{
    QMessageBox::information(parent, title, text, QMessageBox::Ok);
}

void QtUserDialogs::informationWithDetails(QWidget *parent, const QString &title, const QString &text,
                                           const QString &informativeText, const QString &detailedText)
{
    QMessageBox box(QMessageBox::Information, title, text, QMessageBox::Ok, parent);
    box.setInformativeText(informativeText);
    box.setDetailedText(detailedText);
    box.exec();
}

bool QtUserDialogs::questionWithDetails(QWidget *parent, const QString &title, const QString &text,
                                        const QString &detailedText)
{
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::NoButton);
    box.setDetailedText(detailedText);
    return box.exec() == QMessageBox::Yes;
}

bool QtUserDialogs::question(QWidget *parent, const QString &title, const QString &text)
{
    return QMessageBox::question(parent, title, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::NoButton)
           == QMessageBox::Yes;
}

QString QtUserDialogs::saveFileName(QWidget *parent, const QString &caption, const QString &proposedName,
                                    const QStringList &filters, QString &chosenFilter)
{
    // One pair of settings per kind of file: the filters tell tables from charts.
    const QString kind = QStringLiteral("saveDialogs/") + QString::number(qHash(filters.join(QLatin1Char(';'))), 16);
    QSettings settings;
    const QString folder = settings.value(kind + QStringLiteral("/folder")).toString();
    const QString start = !folder.isEmpty() && QFileInfo(folder).isDir() ? QDir(folder).filePath(proposedName)
                                                                        : proposedName;
    QFileDialog dialog(parent, caption, start);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(filters);
    const QString lastFilter = settings.value(kind + QStringLiteral("/filter")).toString();
    if (filters.contains(lastFilter))
        dialog.selectNameFilter(lastFilter);
    // A name typed without a suffix is saved with the selected filter's suffix, so that the
    // dialog's question about replacing a file asks about the file that will be written.
    const auto useSuffixOf = [&dialog](const QString &filter) {
        const int open = filter.indexOf(QLatin1String("*."));
        const int close = filter.indexOf(QLatin1Char(')'), open);
        if (open >= 0 && close > open)
            dialog.setDefaultSuffix(filter.mid(open + 2, close - open - 2));
    };
    useSuffixOf(dialog.selectedNameFilter());
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, useSuffixOf);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    chosenFilter = dialog.selectedNameFilter();
    const QString chosen = dialog.selectedFiles().constFirst();
    settings.setValue(kind + QStringLiteral("/folder"), QFileInfo(chosen).absolutePath());
    settings.setValue(kind + QStringLiteral("/filter"), chosenFilter);
    return chosen;
}

bool QtUserDialogs::print(QWidget *parent, QPrinter &printer)
{
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

std::unique_ptr<ProgressReporter> QtUserDialogs::progress(QWidget *parent, const QString &label,
                                                          const QString &cancelText, int maximum)
{
    return std::make_unique<QtProgressReporter>(parent, label, cancelText, maximum);
}
