#include "tests/support/ModalAnswer.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <QTest>

TModalAnswer::TModalAnswer(QObject *parent) : QObject(parent)
{
    FTimer.setInterval(20);
    connect(&FTimer, &QTimer::timeout, this, &TModalAnswer::Poll);
    FTimer.start();
}

TModalAnswer &TModalAnswer::Press(const QString &button)
{
    return Do([button](QWidget *modal) {
        const auto buttons = modal->findChildren<QPushButton *>();
        for (QPushButton *b : buttons) {
            if (b->objectName() == button || b->text() == button) {
                b->click();
                return;
            }
        }
        qWarning("TModalAnswer: no button \"%s\"; closing the window", qPrintable(button));
        modal->close();
    });
}

TModalAnswer &TModalAnswer::Key(Qt::Key key)
{
    return Do([key](QWidget *modal) {
        QWidget *target = modal->focusWidget() ? modal->focusWidget() : modal;
        QTest::keyClick(target, key);
    });
}

TModalAnswer &TModalAnswer::CloseBox()
{
    return Do([](QWidget *modal) { modal->close(); });
}

TModalAnswer &TModalAnswer::Do(TAction action)
{
    FActions.append(std::move(action));
    return *this;
}

namespace {

TModalSeen Describe(QWidget *modal)
{
    TModalSeen seen;
    seen.ClassName = QString::fromLatin1(modal->metaObject()->className());
    seen.Caption = modal->windowTitle();
    if (auto *message = modal->findChild<QLabel *>(QStringLiteral("Message"))) {
        seen.Text = message->text();
    } else {
        QStringList texts;
        for (QLabel *label : modal->findChildren<QLabel *>())
            if (!label->text().isEmpty())
                texts << label->text();
        seen.Text = texts.join(QLatin1Char('\n'));
    }
    for (QPushButton *b : modal->findChildren<QPushButton *>())
        seen.Buttons << (b->objectName().isEmpty() ? b->text() : b->objectName());
    return seen;
}

} // namespace

void TModalAnswer::Poll()
{
    QWidget *modal = QApplication::activeModalWidget();
    if (!modal || modal == FAnswered || !modal->isVisible())
        return;
    TModalSeen seen = Describe(modal);
    FAnswered = modal;
    modal->installEventFilter(this);
    if (FActions.isEmpty()) {
        seen.Unexpected = true;
        FSeen.append(seen);
        qWarning("TModalAnswer: unexpected modal window \"%s\": %s", qPrintable(seen.Caption),
                 qPrintable(seen.Text));
        QTimer::singleShot(0, modal, [modal] {
            if (auto *dialog = qobject_cast<QDialog *>(modal))
                dialog->done(mrCancel);
            else
                modal->close();
        });
        return;
    }
    FSeen.append(seen);
    // Run outside this timer's slot: a timer does not fire again while its slot
    // runs, and the answer may open the next modal window that needs answering.
    QTimer::singleShot(0, modal, [action = FActions.takeFirst(), modal] { action(modal); });
}

bool TModalAnswer::eventFilter(QObject *watched, QEvent *event)
{
    // A window kept hidden between uses counts as a new one when shown again.
    if (watched == FAnswered && event->type() == QEvent::Hide) {
        watched->removeEventFilter(this);
        FAnswered = nullptr;
    }
    return QObject::eventFilter(watched, event);
}

std::function<int(const QString &, TMsgDlgType, TMsgDlgButtons)> TMessageRecorder::Hook()
{
    return [this](const QString &text, TMsgDlgType kind, TMsgDlgButtons buttons) {
        Records.append({text, kind, buttons});
        return Answers.isEmpty() ? Default : Answers.takeFirst();
    };
}
