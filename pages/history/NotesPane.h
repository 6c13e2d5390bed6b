// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ArchiveEntry.h"

#include <QList>
#include <QWidget>

class QLineEdit;
class QPlainTextEdit;

// The notes of one archived download beside the history's list: title, location, operator and a
// note of several lines. There is no save button: the fields changed go out (notesEdited) when
// the user leaves a field, and before another download is shown.
class NotesPane : public QWidget
{
    Q_OBJECT

public:
    NotesPane(bool chinese, QWidget *parent = nullptr);

    // Shows the notes of download `id` (0: none selected, the fields empty and disabled), after
    // handing on what the user changed in the notes shown until now.
    void showNotes(qint64 id, const ArchiveNotes &notes);
    qint64 download() const { return id; }
    ArchiveNotes shownNotes() const;
    // Hands on the fields changed since they were shown or last handed on.
    void commit();

    // The fields in their tab order, for the dialog's.
    QList<QWidget *> fields() const;

Q_SIGNALS:
    void notesEdited(qint64 id, const ArchiveNotes &notes, const QList<NoteField> &fields);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    // Labels above their fields take more height: the pane asks for it, so that the note keeps
    // its lines whatever the width.
    void resizeEvent(QResizeEvent *event) override;

private:
    QLineEdit *lineEdit_title;
    QLineEdit *lineEdit_location;
    QLineEdit *lineEdit_operator;
    QPlainTextEdit *plainTextEdit_note;
    qint64 id = 0;
    ArchiveNotes committed; // as the archive holds them, as far as this pane knows
};
