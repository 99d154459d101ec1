// The message box: captions, buttons and their results, Enter / Esc / close
// box, the layout and the text font.
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QtTest>

#include <memory>

#include "platform/MessDlgs.h"
#include "tests/support/ModalAnswer.h"

Q_DECLARE_METATYPE(TMsgDlgType)

namespace {

const TMsgDlgButtons YesNo = MsgButton(mbYes) | MsgButton(mbNo);

QStringList ButtonCaptions(QWidget *form)
{
    QStringList captions;
    for (QPushButton *b : form->findChildren<QPushButton *>())
        captions << b->text();
    return captions;
}

} // namespace

class TestMessDlgs : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QGuiApplication::setApplicationDisplayName(QStringLiteral("Tollvane"));
    }

    void kindsAndKeys_data()
    {
        QTest::addColumn<TMsgDlgType>("kind");
        QTest::addColumn<unsigned>("buttons");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("captions");
        QTest::addColumn<bool>("icon");
        QTest::addColumn<int>("onEnter");
        QTest::addColumn<int>("onEsc");

        QTest::newRow("warning") << mtWarning << MsgButton(mbCancel) << "Предупреждение"
                                 << QStringList{"Cancel"} << QStringList{"Отмена"} << true << 2 << 2;
        QTest::newRow("error") << mtError << MsgButton(mbCancel) << "Ошибка"
                               << QStringList{"Cancel"} << QStringList{"Отмена"} << true << 2 << 2;
        QTest::newRow("confirmation") << mtConfirmation << YesNo << "Подтверждение"
                                      << QStringList{"Yes", "No"} << QStringList{"Да", "Нет"}
                                      << true << 6 << 7;
        QTest::newRow("information ok") << mtInformation << MsgButton(mbOK) << "Информация"
                                        << QStringList{"OK"} << QStringList{"OK"} << true << 1 << 1;
        QTest::newRow("information yes/no") << mtInformation << YesNo << "Информация"
                                            << QStringList{"Yes", "No"} << QStringList{"Да", "Нет"}
                                            << true << 6 << 7;
        QTest::newRow("custom") << mtCustom << (MsgButton(mbOK) | MsgButton(mbCancel)) << "Tollvane"
                                << QStringList{"OK", "Cancel"} << QStringList{"OK", "Отмена"}
                                << false << 1 << 2;
        QTest::newRow("retry/cancel") << mtError << (MsgButton(mbRetry) | MsgButton(mbCancel))
                                      << "Ошибка" << QStringList{"Cancel", "Retry"}
                                      << QStringList{"Отмена", "Повтор"} << true << 4 << 2;
    }

    void kindsAndKeys()
    {
        QFETCH(TMsgDlgType, kind);
        QFETCH(unsigned, buttons);
        QFETCH(QString, caption);
        QFETCH(QStringList, names);
        QFETCH(QStringList, captions);
        QFETCH(bool, icon);
        QFETCH(int, onEnter);
        QFETCH(int, onEsc);

        std::unique_ptr<TMessageForm> form(BuildMessageForm("Текст", kind, buttons));
        QCOMPARE(form->windowTitle(), caption);
        QCOMPARE(form->findChild<QLabel *>("Image") != nullptr, icon);
        for (int i = 0; i < names.size(); ++i) {
            auto *b = form->findChild<QPushButton *>(names[i]);
            QVERIFY2(b, qPrintable(names[i]));
            QCOMPARE(b->text(), captions[i]);
        }
        QCOMPARE(form->findChildren<QPushButton *>().size(), names.size());

        TModalAnswer answer;
        answer.Key(Qt::Key_Return).Key(Qt::Key_Escape).CloseBox();
        QCOMPARE(ShowMessageDialog("Текст", kind, buttons), onEnter);
        QCOMPARE(ShowMessageDialog("Текст", kind, buttons), onEsc);
        QCOMPARE(ShowMessageDialog("Текст", kind, buttons), int(mrCancel));
        QCOMPARE(answer.Pending(), 0);
        QCOMPARE(answer.Seen().size(), 3);
        QCOMPARE(answer.Seen().at(0).Caption, caption);
    }

    void everyButtonResult_data()
    {
        QTest::addColumn<int>("bit");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("result");
        QTest::newRow("yes") << int(mbYes) << "Yes" << "Да" << 6;
        QTest::newRow("no") << int(mbNo) << "No" << "Нет" << 7;
        QTest::newRow("ok") << int(mbOK) << "OK" << "OK" << 1;
        QTest::newRow("cancel") << int(mbCancel) << "Cancel" << "Отмена" << 2;
        QTest::newRow("abort") << int(mbAbort) << "Abort" << "Стоп" << 3;
        QTest::newRow("retry") << int(mbRetry) << "Retry" << "Повтор" << 4;
        QTest::newRow("ignore") << int(mbIgnore) << "Ignore" << "Пропустить" << 5;
        QTest::newRow("all") << int(mbAll) << "All" << "Все" << 12;
        QTest::newRow("no to all") << int(mbNoToAll) << "NoToAll" << "Нет для всех" << 13;
        QTest::newRow("yes to all") << int(mbYesToAll) << "YesToAll" << "Да для всех" << 14;
    }

    void everyButtonResult()
    {
        QFETCH(int, bit);
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(int, result);
        TModalAnswer answer;
        QString seenCaption;
        answer.Do([&](QWidget *modal) {
            auto *b = modal->findChild<QPushButton *>(name);
            QVERIFY(b);
            seenCaption = b->text();
            b->click();
        });
        QCOMPARE(ShowMessageDialog("?", mtConfirmation, MsgButton(TMsgDlgBtn(bit))), result);
        QCOMPARE(seenCaption, caption);
    }

    void buttonsInBitOrder()
    {
        const TMsgDlgButtons all = (1u << 11) - 1;   // every button but the empty close one
        std::unique_ptr<TMessageForm> form(BuildMessageForm("?", mtCustom, all));
        QList<QPushButton *> buttons = form->findChildren<QPushButton *>();
        std::sort(buttons.begin(), buttons.end(),
                  [](QPushButton *a, QPushButton *b) { return a->x() < b->x(); });
        QStringList names;
        for (QPushButton *b : buttons)
            names << b->objectName();
        QCOMPARE(names, (QStringList{"Yes", "No", "OK", "Cancel", "Abort", "Retry", "Ignore", "All",
                                     "NoToAll", "YesToAll", "Help"}));
        QVERIFY(form->findChild<QPushButton *>("OK")->isDefault());
        QCOMPARE(form->CancelButton, form->findChild<QPushButton *>("Cancel"));
    }

    void warningHasNoDefaultButton()
    {
        std::unique_ptr<TMessageForm> form(BuildMessageForm("ТС не выбрано!", mtWarning, MsgButton(mbCancel)));
        auto *cancel = form->findChild<QPushButton *>("Cancel");
        QVERIFY(!cancel->isDefault());
        QCOMPARE(form->DefaultButton, nullptr);
        QCOMPARE(form->CancelButton, cancel);
    }

    void escWithoutCancelButtonKeepsTheBoxOpen()
    {
        TModalAnswer answer;
        bool openAfterEsc = false;
        answer.Do([&](QWidget *modal) {
            QTest::keyClick(modal, Qt::Key_Escape);
            openAfterEsc = modal->isVisible();
            modal->findChild<QPushButton *>("Yes")->click();
        });
        QCOMPARE(ShowMessageDialog("?", mtConfirmation, MsgButton(mbYes)), 6);
        QVERIFY(openAfterEsc);
    }

    void helpButtonDoesNotClose()
    {
        TModalAnswer answer;
        bool openAfterHelp = false;
        answer.Do([&](QWidget *modal) {
            modal->findChild<QPushButton *>("Help")->click();
            openAfterHelp = modal->isVisible();
            modal->findChild<QPushButton *>("OK")->click();
        });
        QCOMPARE(ShowMessageDialog("?", mtInformation, MsgButton(mbOK) | MsgButton(mbHelp), 7), 1);
        QVERIFY(openAfterHelp);
    }

    void shortTextBoxHoldsItsButtons()
    {
        std::unique_ptr<TMessageForm> form(BuildMessageForm("Да?", mtConfirmation, YesNo));
        auto *yes = form->findChild<QPushButton *>("Yes");
        auto *no = form->findChild<QPushButton *>("No");
        auto *message = form->findChild<QLabel *>("Message");
        QVERIFY(yes->geometry().right() < no->geometry().left());
        QCOMPARE(yes->width(), no->width());
        const int leftGap = yes->x();
        const int rightGap = form->width() - no->geometry().right() - 1;
        QVERIFY(leftGap > 0);
        QVERIFY(qAbs(leftGap - rightGap) <= 1);   // the group is centred with the margins
        // The buttons sit below the text, inside the box.
        QVERIFY(yes->y() >= message->y() + QFontMetrics(message->font()).height());
        QVERIFY(yes->geometry().bottom() < form->height());
        // A button is wider than a three-letter text: the width comes from the group.
        QVERIFY(form->width() > 2 * yes->width());
    }

    void longTextWrapsAtHalfTheScreen()
    {
        const QString text = QString("Длинное сообщение для оператора парковки. ").repeated(30);
        std::unique_ptr<TMessageForm> form(BuildMessageForm(text, mtWarning, MsgButton(mbCancel)));
        auto *message = form->findChild<QLabel *>("Message");
        const int half = QGuiApplication::primaryScreen()->geometry().width() / 2;
        QVERIFY(message->width() <= half);
        QVERIFY(message->width() > half * 3 / 4);
        QVERIFY(form->width() < half + 32 + message->x() * 2 + 40);
        const QFontMetrics fm(message->font());
        const QRect needed = fm.boundingRect(QRect(0, 0, message->width(), 0),
                                             Qt::TextWordWrap | Qt::AlignLeft, text);
        QVERIFY(needed.height() > 3 * fm.height());    // it did wrap
        QVERIFY(message->height() >= needed.height()); // and every line shows
        auto *cancel = form->findChild<QPushButton *>("Cancel");
        QVERIFY(cancel->y() >= message->y() + needed.height());
        // Centred on the screen.
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        QVERIFY(qAbs(form->x() + form->width() / 2 - screen.width() / 2) <= 1);
        QVERIFY(qAbs(form->y() + form->height() / 2 - screen.height() / 2) <= 1);
    }

    void lineBreaksAndTextFont()
    {
        const QFont saved = QApplication::font("QMessageBox");
        QApplication::setFont(QFont("DejaVu Serif", 16), "QMessageBox");
        std::unique_ptr<TMessageForm> form(
            BuildMessageForm("Место занято!\r\nОперация невозможна.", mtWarning, MsgButton(mbCancel)));
        QApplication::setFont(saved, "QMessageBox");
        auto *message = form->findChild<QLabel *>("Message");
        QCOMPARE(message->text(), QString("Место занято!\nОперация невозможна."));
        QVERIFY(QStringList({"Verdana", "DejaVu Sans"}).contains(message->font().family()));
        QCOMPARE(message->font().pointSize(), 10);
        QVERIFY(!message->font().bold());
        // The form itself keeps the message font for its measures.
        QCOMPARE(form->font().family(), QString("DejaVu Serif"));
        QVERIFY(message->height() >= 2 * QFontMetrics(message->font()).height());
    }

    void convenienceCalls()
    {
        TModalAnswer answer;
        answer.Press("Cancel").Press("OK").Press("Yes").Press("No").CloseBox();
        ShowWarning("ТС не выбрано!");
        ShowInfo("Въезд ТС зафиксирован");
        QVERIFY(AskYesNo("Вы хотите удалить выбранный элемент?"));
        QVERIFY(!AskYesNo("Печатать чек?", mtInformation));
        QVERIFY(!AskYesNo("Вы хотите удалить выбранный элемент?"));
        QCOMPARE(answer.Pending(), 0);
        const QList<TModalSeen> &seen = answer.Seen();
        QCOMPARE(seen.size(), 5);
        QCOMPARE(seen[0].Caption, QString("Предупреждение"));
        QCOMPARE(seen[0].Text, QString("ТС не выбрано!"));
        QCOMPARE(seen[0].Buttons, QStringList{"Cancel"});
        QCOMPARE(seen[1].Caption, QString("Информация"));
        QCOMPARE(seen[1].Buttons, QStringList{"OK"});
        QCOMPARE(seen[2].Caption, QString("Подтверждение"));
        QCOMPARE(seen[3].Caption, QString("Информация"));
        QCOMPARE(seen[3].Buttons, (QStringList{"Yes", "No"}));
        for (const TModalSeen &s : seen)
            QVERIFY(!s.Unexpected);
    }

    void unansweredBoxIsClosedAndReported()
    {
        TModalAnswer answer;
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("unexpected modal window"));
        QCOMPARE(ShowMessageDialog("Нежданное", mtConfirmation, YesNo), int(mrCancel));
        QCOMPARE(answer.Seen().size(), 1);
        QVERIFY(answer.Seen().at(0).Unexpected);
        QCOMPARE(answer.Seen().at(0).Text, QString("Нежданное"));
    }

    void recorderAnswersTheHook()
    {
        TMessageRecorder recorder;
        recorder.Answers = {6};
        auto hook = recorder.Hook();
        QCOMPARE(hook("a", mtConfirmation, YesNo), 6);
        QCOMPARE(hook("b", mtWarning, MsgButton(mbCancel)), int(mrCancel));
        QCOMPARE(recorder.Records.size(), 2);
        QCOMPARE(recorder.Records[1].Text, QString("b"));
        QCOMPARE(recorder.Records[1].Kind, mtWarning);
        QCOMPARE(recorder.Records[1].Buttons, MsgButton(mbCancel));
    }
};

QTEST_MAIN(TestMessDlgs)
#include "test_messdlgs.moc"
