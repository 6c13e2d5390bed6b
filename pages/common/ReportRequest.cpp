// SPDX-License-Identifier: GPL-3.0-or-later
#include "ReportRequest.h"

#include "PdfReport.h"
#include "ReportLayout.h"
#include "ReportPainter.h"
#include "ReportTexts.h"
#include "UserDialogs.h"

#include <QComboBox>
#include <QDateTime>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QSettings>
#include <QVBoxLayout>

namespace {

const QString locationKey = QStringLiteral("report/location");
const QString operatorKey = QStringLiteral("report/operator");

enum class Destination {
    None,
    File,
    Printer
};

// The dialog of the report's details; where the report goes, None when cancelled.
Destination askDetails(QWidget *parent, ReportDetails &details)
{
    const bool chinese = details.chinese;
    const auto text = [chinese](ReportText id) { return ReportTexts::text(id, chinese); };
    QDialog dialog(parent);
    dialog.setWindowTitle(text(ReportText::DefaultTitle));
    auto *form = new QFormLayout;
    auto *title = new QLineEdit(details.shownTitle(), &dialog);
    auto *location = new QLineEdit(&dialog);
    auto *operatorName = new QLineEdit(&dialog);
    auto *note = new QPlainTextEdit(&dialog);
    auto *paper = new QComboBox(&dialog);
    title->setObjectName(QStringLiteral("lineEdit_reportTitle"));
    location->setObjectName(QStringLiteral("lineEdit_reportLocation"));
    operatorName->setObjectName(QStringLiteral("lineEdit_reportOperator"));
    note->setObjectName(QStringLiteral("plainTextEdit_reportNote"));
    QSettings settings;
    location->setText(details.location.isEmpty() ? settings.value(locationKey).toString() : details.location);
    operatorName->setText(details.operatorName.isEmpty() ? settings.value(operatorKey).toString()
                                                         : details.operatorName);
    note->setPlainText(details.note);
    note->setTabChangesFocus(true);
    paper->addItem(QStringLiteral("A4"), int(QPageSize::A4));
    paper->addItem(QStringLiteral("Letter"), int(QPageSize::Letter));
    paper->setCurrentIndex(ReportDetails::defaultPaper() == QPageSize::Letter ? 1 : 0);
    form->addRow(text(ReportText::TitleField), title);
    form->addRow(text(ReportText::Location), location);
    form->addRow(text(ReportText::Operator), operatorName);
    form->addRow(text(ReportText::Note), note);
    form->addRow(text(ReportText::PaperField), paper);

    auto *buttons = new QDialogButtonBox(&dialog);
    QPushButton *save = buttons->addButton(text(ReportText::SavePdf), QDialogButtonBox::AcceptRole);
    QPushButton *print = buttons->addButton(text(ReportText::Print), QDialogButtonBox::AcceptRole);
    buttons->addButton(text(ReportText::Cancel), QDialogButtonBox::RejectRole);
    save->setDefault(true);
    Destination destination = Destination::None;
    QObject::connect(save, &QPushButton::clicked, &dialog, [&] { destination = Destination::File; });
    QObject::connect(print, &QPushButton::clicked, &dialog, [&] { destination = Destination::Printer; });
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto *layout = new QVBoxLayout(&dialog);
    layout->addLayout(form);
    layout->addWidget(buttons);
    dialog.resize(460, dialog.sizeHint().height());
    if (dialog.exec() != QDialog::Accepted)
        return Destination::None;

    details.title = title->text();
    details.location = location->text();
    details.operatorName = operatorName->text();
    details.note = note->toPlainText();
    details.paper = QPageSize::PageSizeId(paper->currentData().toInt());
    settings.setValue(locationKey, details.location);
    settings.setValue(operatorKey, details.operatorName);
    return destination;
}

} // namespace

namespace ReportRequest {

void proposeNotes(ReportDetails &details, const ArchiveNotes &notes)
{
    const std::pair<QString *, const QString *> fields[] = {{&details.title, &notes.title},
                                                            {&details.location, &notes.location},
                                                            {&details.operatorName, &notes.operatorName},
                                                            {&details.note, &notes.text}};
    for (const auto &[field, note] : fields) {
        if (!note->trimmed().isEmpty())
            *field = *note;
    }
}

QString proposedFileName(const QDateTime &now)
{
    return QStringLiteral("Report") + now.toString(QStringLiteral("yyyyMMddHHmmss")) + QStringLiteral(".pdf");
}

void run(QWidget *parent, ReportContent &content, UserDialogs &dialogs, bool chinese)
{
    content.details.chinese = chinese;
    const Destination destination = askDetails(parent, content.details);
    if (destination == Destination::None)
        return;
    const auto text = [chinese](ReportText id) { return ReportTexts::text(id, chinese); };
    const QString boxTitle = text(ReportText::DefaultTitle);

    const ReportLayout layout(content);
    const int pages = int(layout.pages().size());
    QString error;
    if (destination == Destination::Printer) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setPageSize(QPageSize(content.details.paper));
        printer.setDocName(content.details.shownTitle());
        printer.setFromTo(0, 0);
        if (!dialogs.print(parent, printer))
            return;
        const std::unique_ptr<ProgressReporter> progress =
            dialogs.progress(parent, text(ReportText::Making), text(ReportText::Cancel), pages);
        const bool printed = ReportPainter::paint(printer, layout, [&progress](int done, int) {
            progress->setValue(done);
            return !progress->wasCanceled();
        }, error);
        progress->hide();
        if (!printed)
            dialogs.information(parent, boxTitle, text(ReportText::Failed).arg(error));
        return;
    }

    QString chosenFilter;
    QString fileName = dialogs.saveFileName(parent, text(ReportText::SaveCaption),
                                            proposedFileName(QDateTime::currentDateTime()),
                                            {QStringLiteral("PDF (*.pdf)")}, chosenFilter);
    if (fileName.isEmpty())
        return;
    if (QFileInfo(fileName).suffix().compare(QLatin1String("pdf"), Qt::CaseInsensitive) != 0)
        fileName += QStringLiteral(".pdf");
    const std::unique_ptr<ProgressReporter> progress =
        dialogs.progress(parent, text(ReportText::Making), text(ReportText::Cancel), pages);
    const bool written = PdfReport::write(fileName, content, [&progress](int done, int) {
        progress->setValue(done);
        return !progress->wasCanceled();
    }, error);
    progress->hide();
    dialogs.information(parent, boxTitle,
                        written ? text(ReportText::Saved).arg(fileName) : text(ReportText::Failed).arg(error));
}

} // namespace ReportRequest
