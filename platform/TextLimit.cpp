#include "platform/TextLimit.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextCursor>

QLineEdit *LimitedLineEdit(QWidget *AParent, const QString &AName, const QString &AHint, int AMaxLength)
{
    auto *edit = new QLineEdit(AParent);
    edit->setObjectName(AName);
    edit->setToolTip(AHint);
    edit->setMaxLength(AMaxLength);
    return edit;
}

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
