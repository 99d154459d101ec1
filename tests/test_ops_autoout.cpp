// Check-out: the figures of a stay, debt payments raising the stay's totals,
// a payment that cannot be stored, two openings, and exits that fail.
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTreeWidget>
#include <QtTest>

#include "data/UnitData.h"
#include "operations/UnitAutoOutForm.h"
#include "tests/support/ModalAnswer.h"
#include "tests/support/OpsKit.h"
#include "tests/support/TestDb.h"

using namespace OpsKit;

namespace {

const QString PaidAsk = "Оплата проведена успешно.\nНапечатать чек?";
const QString PaymentFailed =
    "При проведении оплаты возникла ошибка\nПовторите операцию или обратитесь к администратору!";
const QString ExitFailed = "При регистрации выезда ТС произошла ошибка!\nПовторите операцию";
constexpr double HourPrice = 750;

struct TFigures {
    QString InTime, Total, Paied, PaiedSumma, Debt;
    bool PayEnabled = false;
    bool ExitEnabled = false;
};

TFigures ReadFigures(QWidget *dialog)
{
    TFigures f;
    f.InTime = Child<QLineEdit>(dialog, "EditInTime")->text();
    f.Total = Child<QLineEdit>(dialog, "EditTotalTime")->text();
    f.Paied = Child<QLineEdit>(dialog, "EditPaiedTime")->text();
    f.PaiedSumma = Child<QLineEdit>(dialog, "EditPaiedSumma")->text();
    f.Debt = Child<QLineEdit>(dialog, "EditDebt")->text();
    f.PayEnabled = Child<QPushButton>(dialog, "ButtonPayDebt")->isEnabled();
    f.ExitEnabled = Child<QPushButton>(dialog, "ButtonSave")->isEnabled();
    return f;
}

// Chooses the hour tariff and the count; the amount follows from them.
void ChooseHours(QWidget *dialog, int count)
{
    auto *tarifs = Child<QComboBox>(dialog, "ComboTarif");
    tarifs->setCurrentIndex(tarifs->findText("Час (", Qt::MatchStartsWith));
    Child<QSpinBox>(dialog, "SpinCount")->setValue(count);
}

QString Rubles(double amount)
{
    return QLocale(QLocale::Russian).toString(qint64(amount)) + " руб.";
}

class TStay {
public:
    // A vehicle on place "A-01" since AElapsed minutes, with one hour paid at check-in.
    explicit TStay(int AElapsed)
    {
        const int placeId = SeedPlace("A-01");
        Hour = SeedTarif("Час", HourPrice, 1, 2);
        SeedTarif("Сутки", 3000, 1, 5);
        AutoId = SeedAuto("К777КК77");
        TAuto vehicle = DModule->GetAutoById(AutoId);
        TPlace place = DModule->GetPlaceById(placeId);
        TPayment payment;
        payment.AutoId = AutoId;
        payment.Summa = HourPrice;
        payment.Tarif = Hour;
        payment.Count = 1;
        payment.MinutesStart = payment.Minutes = 60;
        payment.Id = DModule->AddPayment(&payment);
        if (payment.Id <= 0 || !DModule->StartVisit(&vehicle, &place, &payment, 60))
            qFatal("cannot check the vehicle in");
        CheckInPaymentId = payment.Id;
        ActionId = ScalarInt("SELECT ID FROM AUTO_ACTION");
        BackdateStay(ActionId, AElapsed);
    }
    TAuto Load() const { return DModule->GetAutoById(AutoId); }
    QString StayValue(const QString &column) const
    {
        return Scalar("SELECT " + column + " FROM AUTO_ACTION WHERE ID = " + QString::number(ActionId)).toString();
    }

    TTarif Hour;
    int AutoId = 0;
    int ActionId = 0;
    int CheckInPaymentId = 0;
};

int CountRows(const QString &table, const QString &where = "1 = 1")
{
    return ScalarInt("SELECT COUNT(*) FROM " + table + " WHERE " + where);
}

} // namespace

class TestOpsAutoOut : public QObject {
    Q_OBJECT
private slots:
    void debtPaymentThenExit()
    {
        TTestDb db;
        db.OpenDataModule();
        TStay stay(150);
        TAuto vehicle = stay.Load();
        QCOMPARE(vehicle.MinutesPaied, 60);

        TFigures before, after;
        QStringList counted;
        double suggested = 0;
        TModalAnswer answer;
        answer.Do([&](QWidget *dialog) {
            before = ReadFigures(dialog);
            auto *list = Child<QTreeWidget>(dialog, "ListPayments");
            for (int i = 0; i < list->topLevelItemCount(); ++i)
                for (int c = 0; c < list->columnCount(); ++c)
                    counted << list->topLevelItem(i)->text(c);
            ChooseHours(dialog, 2);
            suggested = Child<QDoubleSpinBox>(dialog, "EditSumma")->value();
            ClickLater(dialog, "ButtonPayDebt");
        });
        answer.Press("No");
        answer.Do([&](QWidget *dialog) {
            after = ReadFigures(dialog);
            Child<QPlainTextEdit>(dialog, "MemoComment")->setPlainText("Без повреждений");
            ClickLater(dialog, "ButtonSave");
        });
        answer.Press("OK");
        TFormAutoOut form;
        QVERIFY(form.Execute(&vehicle));

        QCOMPARE(answer.Pending(), 0);
        QCOMPARE(answer.Seen().at(0).Caption, QString("Выезд ТС"));
        QCOMPARE(answer.Seen().at(1).Text, PaidAsk);
        QCOMPARE(answer.Seen().at(3).Text, QString("Выезд ТС зарегистрирован"));
        QCOMPARE(before.Total, QString("2 час. 30 мин. "));
        QCOMPARE(before.Paied, QString("1 час. 0 мин. "));
        QCOMPARE(before.Debt, QString("1 час. 30 мин. "));
        QCOMPARE(before.PaiedSumma, QString());
        QVERIFY(before.PayEnabled);
        QVERIFY(!before.ExitEnabled);
        const QString paidAt = DateTimeToQt(DModule->GetPaymentById(stay.CheckInPaymentId).PayTime)
                                   .toString("hh:mm dd.MM.yy");
        QCOMPARE(counted, QStringList({paidAt, "750", "Час", GetMinutesStr(60), QString::number(stay.CheckInPaymentId)}));
        QCOMPARE(suggested, 2 * HourPrice);
        QCOMPARE(after.Paied, QString("3 час. 0 мин. "));
        QCOMPARE(after.Debt, QString("0"));
        QCOMPARE(after.PaiedSumma, Rubles(1500));
        QVERIFY(!after.PayEnabled);
        QVERIFY(after.ExitEnabled);

        QCOMPARE(vehicle.MinutesPaied, 180);
        QCOMPARE(vehicle.SummaPaied, 1500.0);
        QCOMPARE(stay.StayValue("MINUTES_PAIED").toInt(), 180);
        QCOMPARE(stay.StayValue("SUMMA").toDouble(), 1500.0);
        QCOMPARE(stay.StayValue("ACTION_TYPE2").toInt(), 2);
        QVERIFY(!stay.StayValue("OUT_TIME").isEmpty());
        QCOMPARE(stay.StayValue("COMMENTS"), QString("Без повреждений"));
        const QString debt = "ID <> " + QString::number(stay.CheckInPaymentId);
        QCOMPARE(ScalarInt("SELECT MINUTES_START FROM PAYMENTS WHERE " + debt), 120);
        QCOMPARE(ScalarInt("SELECT MINUTES FROM PAYMENTS WHERE " + debt), 120);
        QCOMPARE(ScalarInt("SELECT VOLUME FROM PAYMENTS WHERE " + debt), 2);
        QCOMPARE(ScalarDouble("SELECT SUMMA FROM PAYMENTS WHERE " + debt), 1500.0);
        const int debtId = ScalarInt("SELECT ID FROM PAYMENTS WHERE " + debt);
        QCOMPARE(CountRows("AUTO_PAYMENT", QString("ID_PAYMENT = %1 AND ID_AUTO_ACTION = %2 AND ID_AUTO = %3")
                                               .arg(debtId).arg(stay.ActionId).arg(stay.AutoId)), 1);
    }

    void failedPaymentCreditsNothing()
    {
        TTestDb db;
        db.OpenDataModule();
        TStay stay(150);
        TAuto vehicle = stay.Load();
        Exec("CREATE EXCEPTION E_PAYMENTS_CLOSED 'payments are closed'");
        Exec("CREATE TRIGGER PAYMENTS_CLOSED FOR PAYMENTS ACTIVE BEFORE INSERT POSITION 1 AS "
             "BEGIN EXCEPTION E_PAYMENTS_CLOSED; END");

        TFigures after;
        TModalAnswer answer;
        answer.Do([](QWidget *dialog) { ClickLater(dialog, "ButtonPayDebt"); });   // amount 0
        answer.Press("Cancel");
        answer.Do([](QWidget *dialog) {
            ChooseHours(dialog, 2);
            ClickLater(dialog, "ButtonPayDebt");
        });
        answer.Press("Cancel");
        answer.Do([&](QWidget *dialog) {
            after = ReadFigures(dialog);
            ClickLater(dialog, "ButtonClose");
        });
        TFormAutoOut form;
        QVERIFY(!form.Execute(&vehicle));

        QCOMPARE(answer.Pending(), 0);
        QCOMPARE(answer.Seen().size(), 5);
        QCOMPARE(answer.Seen().at(1).Text, QString("Введите сумму оплаты или выберите тариф и количество!"));
        QCOMPARE(answer.Seen().at(3).Text, PaymentFailed);
        QCOMPARE(after.Debt, QString("1 час. 30 мин. "));
        QCOMPARE(after.PaiedSumma, QString());
        QCOMPARE(vehicle.MinutesPaied, 60);
        QCOMPARE(vehicle.SummaPaied, 0.0);
        QCOMPARE(CountRows("PAYMENTS"), 1);
        QCOMPARE(CountRows("AUTO_PAYMENT"), 1);
        QCOMPARE(stay.StayValue("MINUTES_PAIED").toInt(), 60);
        QCOMPARE(stay.StayValue("SUMMA").toDouble(), 0.0);
        QCOMPARE(stay.StayValue("ACTION_TYPE2").toInt(), 0);
    }

    void twoOpeningsAddUp()
    {
        TTestDb db;
        db.OpenDataModule();
        TStay stay(150);

        TAuto first = stay.Load();
        TModalAnswer answer;
        answer.Do([](QWidget *dialog) {
            ChooseHours(dialog, 1);
            ClickLater(dialog, "ButtonPayDebt");
        });
        answer.Press("No");
        answer.Do([](QWidget *dialog) { ClickLater(dialog, "ButtonClose"); });
        {
            TFormAutoOut form;
            QVERIFY(!form.Execute(&first));
        }
        QCOMPARE(stay.StayValue("SUMMA").toDouble(), HourPrice);
        QCOMPARE(stay.StayValue("MINUTES_PAIED").toInt(), 120);

        // The record is read again, as the desk does for the next check-out.
        TAuto second = stay.Load();
        TFigures reopened;
        answer.Do([&](QWidget *dialog) {
            reopened = ReadFigures(dialog);
            ChooseHours(dialog, 1);
            ClickLater(dialog, "ButtonPayDebt");
        });
        answer.Press("No");
        answer.Do([](QWidget *dialog) { ClickLater(dialog, "ButtonSave"); });
        answer.Press("OK");
        {
            TFormAutoOut form;
            QVERIFY(form.Execute(&second));
        }

        QCOMPARE(answer.Pending(), 0);
        QCOMPARE(reopened.Paied, QString("2 час. 0 мин. "));
        QCOMPARE(reopened.Debt, QString("0 час. 30 мин. "));
        QCOMPARE(reopened.PaiedSumma, QString());
        QCOMPARE(second.SummaPaied, HourPrice);
        QCOMPARE(stay.StayValue("SUMMA").toDouble(), 2 * HourPrice);
        QCOMPARE(stay.StayValue("MINUTES_PAIED").toInt(), 180);
        QCOMPARE(CountRows("AUTO_PAYMENT", "ID_AUTO_ACTION = " + QString::number(stay.ActionId)), 3);
    }

    void exitThatFails_data()
    {
        QTest::addColumn<bool>("checkedIn");
        QTest::newRow("second check-out") << true;
        QTest::newRow("never checked in") << false;
    }
    void exitThatFails()
    {
        QFETCH(bool, checkedIn);
        TTestDb db;
        db.OpenDataModule();
        TAuto vehicle;
        TModalAnswer answer;
        if (checkedIn) {
            TStay stay(30);
            vehicle = stay.Load();
            answer.Do([](QWidget *dialog) { ClickLater(dialog, "ButtonSave"); });
            answer.Press("OK");
            TFormAutoOut form;
            QVERIFY(form.Execute(&vehicle));
        } else {
            SeedTarif("Час", HourPrice, 1, 2);
            vehicle = DModule->GetAutoById(SeedAuto("М555ММ77"));
        }
        const int seenBefore = answer.Seen().size();

        TFigures figures;
        answer.Do([&](QWidget *dialog) {
            figures = ReadFigures(dialog);
            ClickLater(dialog, "ButtonSave");
        });
        answer.Press("Cancel");
        TFormAutoOut form;
        QVERIFY(!form.Execute(&vehicle));

        QCOMPARE(answer.Pending(), 0);
        QCOMPARE(answer.Seen().at(seenBefore + 1).Text, ExitFailed);
        QVERIFY(figures.ExitEnabled);
        QVERIFY(!figures.PayEnabled);
        if (!checkedIn) {
            QCOMPARE(figures.InTime, QString("Въезд не зарегистрирован!"));
            QCOMPARE(figures.Total, QString("Въезд не зарегистрирован"));
            QCOMPARE(figures.Paied, QString("0"));
            QCOMPARE(figures.Debt, QString("0"));
        }
        QCOMPARE(CountRows("AUTO_ACTION", "ACTION_TYPE2 = 0"), 0);
    }
};

QTEST_MAIN(TestOpsAutoOut)
#include "test_ops_autoout.moc"
