#pragma once
// Answers the modal windows a test provokes, so that no test waits on one.
//
//   TModalAnswer answer;
//   answer.Press("Yes");                 // the next modal window: press "Yes"
//   answer.Key(Qt::Key_Escape);          // the one after it: Esc
//   QCOMPARE(ShowMessageDialog(...), 6);
//   QCOMPARE(answer.Seen().at(0).Text, QString("..."));
//   QCOMPARE(answer.Pending(), 0);
//
// Answers are used in the order they were queued, one per modal window shown;
// an answer may itself open a modal window, which the next answer handles.
// A modal window that appears when no answer is left is recorded with
// Unexpected set and closed, so a forgotten answer fails the test instead of
// hanging it. The object watches from its construction to its destruction.
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <functional>

#include "platform/MsgTypes.h"

struct TModalSeen {
    QString ClassName;     // e.g. "TMessageForm"
    QString Caption;       // window title
    QString Text;          // the "Message" label of a message box, else every label's text
    QStringList Buttons;   // object names of the push buttons (caption where unnamed)
    bool Unexpected = false;
};

class TModalAnswer : public QObject {
    Q_OBJECT
public:
    using TAction = std::function<void(QWidget *modal)>;

    explicit TModalAnswer(QObject *parent = nullptr);

    // Clicks the push button whose object name, or else caption, is `button`.
    TModalAnswer &Press(const QString &button);
    // Sends the key to the window's focused widget (Enter, Esc, ...).
    TModalAnswer &Key(Qt::Key key);
    // Closes the window as its close box does.
    TModalAnswer &CloseBox();
    // Any other handling (fill fields, then press); it must close the window.
    TModalAnswer &Do(TAction action);

    int Pending() const { return int(FActions.size()); }
    const QList<TModalSeen> &Seen() const { return FSeen; }

private:
    void Poll();
    bool eventFilter(QObject *watched, QEvent *event) override;

    QTimer FTimer;
    QList<TAction> FActions;
    QList<TModalSeen> FSeen;
    QPointer<QWidget> FAnswered;   // answered and not yet hidden
};

// Stands in for the data module's message hook: records every message and
// answers with the queued results (then with Default).
//   TMessageRecorder messages;
//   DataHooks.ShowMessage = messages.Hook();
struct TMessageRecord {
    QString Text;
    TMsgDlgType Kind;
    TMsgDlgButtons Buttons;
};

class TMessageRecorder {
public:
    QList<TMessageRecord> Records;
    QList<int> Answers;        // results handed out in order
    int Default = mrCancel;    // once Answers is used up

    std::function<int(const QString &, TMsgDlgType, TMsgDlgButtons)> Hook();
};
