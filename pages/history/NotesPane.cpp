// SPDX-License-Identifier: GPL-3.0-or-later
#include "NotesPane.h"

#include "TextCatalogue.h"

#include <QEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <QVBoxLayout>

NotesPane::NotesPane(bool chinese, QWidget *parent)
    : QWidget(parent),
      lineEdit_title(new QLineEdit(this)),
      lineEdit_location(new QLineEdit(this)),
      lineEdit_operator(new QLineEdit(this)),
      plainTextEdit_note(new QPlainTextEdit(this))
{
    const auto text = [chinese](Text id) { return TextCatalogue::text(id, chinese); };
    auto *group = new QGroupBox(text(Text::HistoryNotes), this);
    auto *form = new QFormLayout(group);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    // A narrow pane puts the labels above their fields rather than squeeze the fields: each
    // field keeps the width of a line edit, room to read what was typed.
    form->setRowWrapPolicy(QFormLayout::WrapLongRows);
    const int fieldWidth = lineEdit_title->sizeHint().width();
    const struct
    {
        Text label;
        QWidget *field;
        const char *name;
    } fields[] = {{Text::MeterSheetTitle, lineEdit_title, "lineEdit_title"},
                  {Text::MeterSheetLocation, lineEdit_location, "lineEdit_location"},
                  {Text::MeterSheetOperator, lineEdit_operator, "lineEdit_operator"},
                  {Text::MeterSheetNote, plainTextEdit_note, "plainTextEdit_note"}};
    for (const auto &field : fields) {
        field.field->setObjectName(QLatin1String(field.name));
        field.field->setParent(group);
        field.field->setMinimumWidth(fieldWidth);
        form->addRow(text(field.label), field.field);
    }
    for (QLineEdit *line : {lineEdit_title, lineEdit_location, lineEdit_operator})
        connect(line, &QLineEdit::editingFinished, this, &NotesPane::commit);
    // Tab leaves the note for the next control; the note is saved when it loses the focus.
    plainTextEdit_note->setTabChangesFocus(true);
    // The note shows two lines at least, its labels above or beside.
    plainTextEdit_note->setMinimumHeight(2 * plainTextEdit_note->fontMetrics().lineSpacing()
                                         + 2 * plainTextEdit_note->frameWidth()
                                         + int(2 * plainTextEdit_note->document()->documentMargin()));
    plainTextEdit_note->installEventFilter(this);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(group);
    showNotes(0, {});
}

QList<QWidget *> NotesPane::fields() const
{
    return {lineEdit_title, lineEdit_location, lineEdit_operator, plainTextEdit_note};
}

ArchiveNotes NotesPane::shownNotes() const
{
    ArchiveNotes notes;
    notes.title = lineEdit_title->text();
    notes.location = lineEdit_location->text();
    notes.operatorName = lineEdit_operator->text();
    notes.text = plainTextEdit_note->toPlainText();
    return notes;
}

void NotesPane::showNotes(qint64 download, const ArchiveNotes &notes)
{
    commit();
    id = download;
    committed = notes;
    lineEdit_title->setText(notes.title);
    lineEdit_location->setText(notes.location);
    lineEdit_operator->setText(notes.operatorName);
    plainTextEdit_note->setPlainText(notes.text);
    setEnabled(id > 0);
}

void NotesPane::commit()
{
    if (id <= 0)
        return;
    const ArchiveNotes shown = shownNotes();
    // Only the fields changed here go out: another station's change to another field stays.
    QList<NoteField> changed;
    if (shown.title != committed.title)
        changed.append(NoteField::Title);
    if (shown.location != committed.location)
        changed.append(NoteField::Location);
    if (shown.operatorName != committed.operatorName)
        changed.append(NoteField::Operator);
    if (shown.text != committed.text)
        changed.append(NoteField::Text);
    if (changed.isEmpty())
        return;
    committed = shown;
    Q_EMIT notesEdited(id, shown, changed);
}

void NotesPane::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    // The layout's height at this width counts the note at its preferred height; the pane needs
    // it at its least.
    const int needed = layout()->totalHeightForWidth(width()) - plainTextEdit_note->sizeHint().height()
                       + plainTextEdit_note->minimumHeight();
    if (needed > 0 && needed != minimumHeight())
        setMinimumHeight(needed);
}

bool NotesPane::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == plainTextEdit_note && event->type() == QEvent::FocusOut)
        commit();
    return QWidget::eventFilter(watched, event);
}
