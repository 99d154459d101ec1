#include "platform/TextLimit.h"

#include <QPlainTextEdit>
#include <QTextCursor>

void SetMaxLength(QPlainTextEdit *AEdit, int AMaxLength)
{
    QObject::connect(AEdit, &QPlainTextEdit::textChanged, AEdit, [AEdit, AMaxLength] {
        const QString text = AEdit->toPlainText();
        if (text.size() <= AMaxLength)
            return;
        QTextCursor cursor(AEdit->document());
        cursor.setPosition(AMaxLength);
        cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
        AEdit->moveCursor(QTextCursor::End);
    });
}
