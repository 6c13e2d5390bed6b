// SPDX-License-Identifier: GPL-3.0-or-later
#include "ScriptedUserDialogs.h"

#include <QPrinter>

namespace {

class ScriptedProgress : public ProgressReporter
{
public:
    ScriptedProgress(std::shared_ptr<ScriptedUserDialogs::ProgressLog> log, int cancelAt)
        : log(std::move(log)),
          cancelAt(cancelAt)
    {}
    ~ScriptedProgress() override { log->destroyed = true; }

    void setValue(int value) override { log->values.append(value); }
    bool wasCanceled() const override
    {
        return log->cancelClicked || (cancelAt >= 0 && !log->values.isEmpty() && log->values.last() >= cancelAt);
    }
    void hide() override { log->hidden = true; }

private:
    std::shared_ptr<ScriptedUserDialogs::ProgressLog> log;
    int cancelAt;
};

} // namespace

QStringList ScriptedUserDialogs::informationTexts() const
{
    QStringList texts;
    for (const Shown &s : log)
        if (s.kind == Shown::Information)
            texts << s.text;
    return texts;
}

QStringList ScriptedUserDialogs::questionTexts() const
{
    QStringList texts;
    for (const Shown &s : log)
        if (s.kind == Shown::Question)
            texts << s.text;
    return texts;
}

void ScriptedUserDialogs::clear()
{
    log.clear();
    answers.clear();
    fileNames.clear();
    printFiles.clear();
    progressDialogs.clear();
    cancelAt = -1;
}

void ScriptedUserDialogs::information(QWidget *parent, const QString &title, const QString &text)
{
    log.append({Shown::Information, title, text, parent, {}, 0, {}, {}});
}

bool ScriptedUserDialogs::question(QWidget *parent, const QString &title, const QString &text)
{
    log.append({Shown::Question, title, text, parent, {}, 0, {}, {}});
    return answers.isEmpty() ? false : answers.takeFirst();
}

void ScriptedUserDialogs::informationWithDetails(QWidget *parent, const QString &title, const QString &text,
                                                 const QString &informativeText, const QString &detailedText)
{
    log.append({Shown::Information, title, text, parent, {}, 0, informativeText, detailedText});
}

bool ScriptedUserDialogs::questionWithDetails(QWidget *parent, const QString &title, const QString &text,
                                              const QString &detailedText)
{
    log.append({Shown::Question, title, text, parent, {}, 0, {}, detailedText});
    return answers.isEmpty() ? false : answers.takeFirst();
}

QString ScriptedUserDialogs::saveFileName(QWidget *parent, const QString &caption, const QString &proposedName,
                                          const QStringList &filters, QString &chosenFilter)
{
    log.append({Shown::SaveFile, caption, proposedName, parent, filters, 0, {}, {}});
    if (fileNames.isEmpty())
        return QString();
    const auto [name, filterIndex] = fileNames.takeFirst();
    chosenFilter = filters.value(filterIndex);
    return name;
}

bool ScriptedUserDialogs::print(QWidget *parent, QPrinter &printer)
{
    log.append({Shown::Print, printer.docName(), QString(), parent, {}, 0, {}, {}});
    if (printFiles.isEmpty())
        return false;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(printFiles.takeFirst());
    return true;
}

std::unique_ptr<ProgressReporter> ScriptedUserDialogs::progress(QWidget *parent, const QString &label,
                                                                const QString &cancelText, int maximum)
{
    log.append({Shown::Progress, label, cancelText, parent, {}, maximum, {}, {}});
    auto progressLog = std::make_shared<ProgressLog>();
    progressDialogs.append(progressLog);
    const int cancel = cancelAt;
    cancelAt = -1;
    return std::make_unique<ScriptedProgress>(progressLog, cancel);
}
