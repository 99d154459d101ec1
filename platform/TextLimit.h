#pragma once
// Text inputs hold no more characters than the column they are stored in, so
// a save never fails on a too long text and loses what the operator typed.
class QPlainTextEdit;

// QLineEdit has setMaxLength; a multi-line field gets the same rule here:
// typed or pasted text beyond AMaxLength characters is cut off.
void SetMaxLength(QPlainTextEdit *AEdit, int AMaxLength);
