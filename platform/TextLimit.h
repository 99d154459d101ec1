#pragma once
// Text inputs hold no more characters than the column they are stored in, so
// a save never fails on a too long text and loses what the operator typed.
#include <QString>

class QLineEdit;
class QPlainTextEdit;
class QWidget;

// A line edit with its object name and hint that takes at most AMaxLength
// characters.
QLineEdit *LimitedLineEdit(QWidget *AParent, const QString &AName, const QString &AHint, int AMaxLength);

// QLineEdit has setMaxLength; a multi-line field gets the same rule here:
// typed or pasted text beyond AMaxLength characters is cut off.
void SetMaxLength(QPlainTextEdit *AEdit, int AMaxLength);
