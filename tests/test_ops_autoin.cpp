// Check-in: a new payment, payment on exit, an earlier payment, no free place
// and the refused payment that buys no time, on a real database.
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QRadioButton>
#include <QSpinBox>
#include <QTreeWidget>
#include <QtTest>

#include "data/UnitData.h"
#include "operations/UnitAutoInForm.h"
#include "tests/support/ModalAnswer.h"
#include "tests/support/OpsKit.h"
#include "tests/support/TestDb.h"

using namespace OpsKit;

namespace {

const QString Refused = "Неверно выбрана оплата парковки!";
const QString StartedAsk = "Въезд ТС зафиксирован, оплата проведена успешно.\nНапечатать чек?";

struct TSeeded {
    TAuto Auto;
    int PlaceId = 0;
};

TSeeded SeedAutoAndPlace()
{
    TSeeded seeded;
    SeedPlace("A-01");
    seeded.PlaceId = SeedPlace("A-02");
    seeded.Auto = DModule->GetAutoById(SeedAuto("А123ВС77"));
    return seeded;
}

int CountRows(const QString &table)
{
    return ScalarInt("SELECT COUNT(*) FROM " + table);
}

void ChoosePlace(QWidget *dialog, const QString &name)
{
    auto *places = Child<QComboBox>(dialog, "ComboPlace");
    places->setCurrentIndex(places->findText(name));
}

} // namespace

class TestOpsAutoIn : public QObject {
    Q_OBJECT
private slots:
    void newPaymentCreditsOnePeriod_data()
    {
        QTest::addColumn<int>("periodType");
        QTest::addColumn<double>("price");
        QTest::addColumn<int>("count");
        QTest::addColumn<double>("summa");
        QTest::addColumn<int>("stayMinutes");

        QTest::newRow("hour x3 charges three hours, credits one") << 2 << 100.0 << 3 << 300.0 << 60;
        QTest::newRow("24 hours") << 5 << 500.0 << 1 << 500.0 << 1440;
        QTest::newRow("week, spent on this stay") << 6 << 2500.0 << 1 << 2500.0 << 10080;
    }
    void newPaymentCreditsOnePeriod()
    {
        QFETCH(int, periodType);
        QFETCH(double, price);
        QFETCH(int, count);
        QFETCH(double, summa);
        QFETCH(int, stayMinutes);
        TTestDb db;
        db.OpenDataModule();
        TSeeded seeded = SeedAutoAndPlace();
        SeedTarif("Дешевый", 12.5, 1, 2);
        const TTarif tarif = SeedTarif("Тариф", price, 1, periodType);

        QStringList places, tarifs;
        double suggested = -1;
        bool creditVisible = true;
        TModalAnswer answer;
        answer.Do([&](QWidget *dialog) {
            auto *placeList = Child<QComboBox>(dialog, "ComboPlace");
            for (int i = 0; i < placeList->count(); ++i)
                places << placeList->itemText(i);
            auto *tarifList = Child<QComboBox>(dialog, "ComboTarif");
            for (int i = 0; i < tarifList->count(); ++i)
                tarifs << tarifList->itemText(i);
            creditVisible = Child<QRadioButton>(dialog, "RadioCredit")->isVisibleTo(dialog);
            ChoosePlace(dialog, "A-02");
            tarifList->setCurrentIndex(tarifList->findText("Тариф (", Qt::MatchStartsWith));
            Child<QSpinBox>(dialog, "SpinCount")->setValue(count);
            suggested = Child<QDoubleSpinBox>(dialog, "EditSumma")->value();
            ClickLater(dialog, "ButtonSave");
        });
        answer.Press("No");
        TFormAutoIn form;
        QVERIFY(form.Execute(&seeded.Auto));

        QCOMPARE(answer.Pending(), 0);
        QCOMPARE(answer.Seen().size(), 2);
        QCOMPARE(answer.Seen().at(0).Caption, QString("Въезд ТС"));
        QCOMPARE(answer.Seen().at(1).Text, StartedAsk);
        QCOMPARE(places, QStringList({"Выберите место", "A-01", "A-02"}));
        QCOMPARE(tarifs.first(), QString("Без тарифа"));
        QVERIFY(tarifs.contains("Дешевый (12,5)"));
        QVERIFY(!creditVisible);
        QCOMPARE(suggested, summa);

        QCOMPARE(CountRows("PAYMENTS"), 1);
        const int paymentId = ScalarInt("SELECT ID FROM PAYMENTS");
        QCOMPARE(ScalarDouble("SELECT SUMMA FROM PAYMENTS"), summa);
        QCOMPARE(ScalarInt("SELECT VOLUME FROM PAYMENTS"), count);
        QCOMPARE(ScalarInt("SELECT ID_TARIF FROM PAYMENTS"), tarif.Id);
        QCOMPARE(ScalarInt("SELECT MINUTES_START FROM PAYMENTS"), stayMinutes);
        // The stay takes the whole payment: nothing is left for another stay.
        QCOMPARE(ScalarInt("SELECT MINUTES FROM PAYMENTS"), 0);
        QCOMPARE(CountRows("AUTO_ACTION"), 1);
        QCOMPARE(ScalarInt("SELECT MINUTES_PAIED FROM AUTO_ACTION"), stayMinutes);
        QCOMPARE(ScalarInt("SELECT ID_PAYMENT FROM AUTO_ACTION"), paymentId);
        QCOMPARE(ScalarInt("SELECT ID_PLACE FROM AUTO_ACTION"), seeded.PlaceId);
        QCOMPARE(ScalarInt("SELECT ID_AUTO FROM AUTO_ACTION"), seeded.Auto.Id);
        QCOMPARE(ScalarInt("SELECT COUNT(*) FROM AUTO_PAYMENT WHERE ID_PAYMENT = " + QString::number(paymentId)), 1);
        QCOMPARE(DModule->GetAutoById(seeded.Auto.Id).Place.Id, seeded.PlaceId);
    }

    void payOnExit_data()
    {
        QTest::addColumn<bool>("allowCredit");
        QTest::newRow("allowed") << true;
        QTest::newRow("not allowed") << false;
    }
    void payOnExit()
    {
        QFETCH(bool, allowCredit);
        TTestDb db;
        db.OpenDataModule();
        TSeeded seeded = SeedAutoAndPlace();
        ConfigData.IsAllowCredit = allowCredit;

        bool creditVisible = !allowCredit;
        TModalAnswer answer;
        answer.Do([&](QWidget *dialog) {
            auto *credit = Child<QRadioButton>(dialog, "RadioCredit");
            creditVisible = credit->isVisibleTo(dialog);
            if (!allowCredit) {
                ClickLater(dialog, "ButtonClose");
                return;
            }
            ChoosePlace(dialog, "A-01");
            credit->click();
            ClickLater(dialog, "ButtonSave");
        });
        if (allowCredit)
            answer.Press("OK");
        TFormAutoIn form;
        const bool started = form.Execute(&seeded.Auto);
        ConfigData.IsAllowCredit = false;

        QCOMPARE(answer.Pending(), 0);
        QCOMPARE(creditVisible, allowCredit);
        QCOMPARE(started, allowCredit);
        QCOMPARE(CountRows("PAYMENTS"), 0);
        QCOMPARE(CountRows("AUTO_PAYMENT"), 0);
        QCOMPARE(CountRows("AUTO_ACTION"), allowCredit ? 1 : 0);
        if (allowCredit) {
            QCOMPARE(answer.Seen().at(1).Text, QString("Въезд ТС зафиксирован"));
            QCOMPARE(ScalarInt("SELECT ID_PAYMENT FROM AUTO_ACTION"), 0);
            QCOMPARE(ScalarInt("SELECT MINUTES_PAIED FROM AUTO_ACTION"), 0);
        }
    }

    void existingPayment_data()
    {
        QTest::addColumn<int>("periodType");
        QTest::addColumn<int>("minutes");
        QTest::addColumn<QString>("restText");
        QTest::addColumn<int>("credited");
        QTest::addColumn<int>("kept");

        QTest::newRow("week: a day credited") << 6 << 10080 << GetMinutesStr(10080) << 1440 << 8640;
        QTest::newRow("less than a day: nothing drawn") << 1 << 1000 << GetMinutesStr(1000) << 0 << 1000;
    }
    void existingPayment()
    {
        QFETCH(int, periodType);
        QFETCH(int, minutes);
        QFETCH(QString, restText);
        QFETCH(int, credited);
        QFETCH(int, kept);
        TTestDb db;
        db.OpenDataModule();
        TSeeded seeded = SeedAutoAndPlace();
        const TTarif tarif = SeedTarif("Абонемент", 2500, minutes / (periodType == 6 ? 10080 : 1), periodType);
        TPayment earlier;
        earlier.AutoId = seeded.Auto.Id;
        earlier.Summa = 2500;
        earlier.Tarif = tarif;
        earlier.Count = 1;
        earlier.MinutesStart = earlier.Minutes = minutes;
        const int paymentId = DModule->AddPayment(&earlier);
        QVERIFY(paymentId > 0);
        QTest::qWait(5);
        // A used-up payment of the vehicle is not offered.
        TPayment spent = earlier;
        spent.Minutes = 0;
        QVERIFY(DModule->AddPayment(&spent) > 0);

        QStringList rowTexts;
        TModalAnswer answer;
        answer.Do([&](QWidget *dialog) {
            ChoosePlace(dialog, "A-01");
            Child<QRadioButton>(dialog, "RadioExistingPayment")->click();
            ClickLater(dialog, "ButtonSave");   // no row chosen yet
        });
        answer.Press("Cancel");
        answer.Do([&](QWidget *dialog) {
            auto *list = Child<QTreeWidget>(dialog, "ListPayments");
            for (int i = 0; i < list->topLevelItemCount(); ++i)
                for (int c = 1; c < list->columnCount(); ++c)
                    rowTexts << list->topLevelItem(i)->text(c);
            list->topLevelItem(0)->setSelected(true);
            ClickLater(dialog, "ButtonSave");
        });
        answer.Press("No");
        TFormAutoIn form;
        QVERIFY(form.Execute(&seeded.Auto));

        QCOMPARE(answer.Pending(), 0);
        QCOMPARE(answer.Seen().at(1).Text, Refused);
        QCOMPARE(answer.Seen().at(3).Text, StartedAsk);
        QCOMPARE(rowTexts, QStringList({"2500", "Абонемент", restText, QString::number(paymentId)}));
        QCOMPARE(CountRows("PAYMENTS"), 2);
        QCOMPARE(ScalarInt("SELECT MINUTES FROM PAYMENTS WHERE ID = " + QString::number(paymentId)), kept);
        QCOMPARE(ScalarInt("SELECT MINUTES_PAIED FROM AUTO_ACTION"), credited);
        QCOMPARE(ScalarInt("SELECT ID_PAYMENT FROM AUTO_ACTION"), paymentId);
    }

    void noFreePlace()
    {
        TTestDb db;
        db.OpenDataModule();
        const int placeId = SeedPlace("A-01");
        TAuto first = DModule->GetAutoById(SeedAuto("В001ОР77"));
        TPlace place = DModule->GetPlaceById(placeId);
        TPayment none;
        QVERIFY(DModule->StartVisit(&first, &place, &none, 0));
        TAuto second = DModule->GetAutoById(SeedAuto("Е002КХ77"));
        SeedTarif("Час", 100, 1, 2);

        QStringList places;
        TModalAnswer answer;
        answer.Do([&](QWidget *dialog) {
            auto *list = Child<QComboBox>(dialog, "ComboPlace");
            for (int i = 0; i < list->count(); ++i)
                places << list->itemText(i);
            Child<QComboBox>(dialog, "ComboTarif")->setCurrentIndex(1);
            Child<QSpinBox>(dialog, "SpinCount")->setValue(1);
            ClickLater(dialog, "ButtonSave");
        });
        answer.Press("Cancel");
        answer.Do([](QWidget *dialog) { ClickLater(dialog, "ButtonSave"); });
        answer.Press("Cancel");
        answer.Do([](QWidget *dialog) { ClickLater(dialog, "ButtonClose"); });
        TFormAutoIn form;
        QVERIFY(!form.Execute(&second));

        QCOMPARE(answer.Pending(), 0);
        QCOMPARE(places, QStringList({"Выберите место"}));
        QCOMPARE(answer.Seen().at(1).Text, QString("Выберите место стоянки ТС!"));
        QCOMPARE(answer.Seen().at(3).Text, QString("Выберите место стоянки ТС!"));
        QCOMPARE(CountRows("PAYMENTS"), 0);
        QCOMPARE(CountRows("AUTO_ACTION"), 1);
    }

    void paymentWithoutTimeRefused_data()
    {
        QTest::addColumn<int>("periodType");
        QTest::addColumn<bool>("withTarif");
        QTest::addColumn<double>("summa");

        QTest::newRow("no tariff") << 2 << false << 500.0;
        QTest::newRow("one-off") << 0 << true << 500.0;
        QTest::newRow("day") << 3 << true << 500.0;
        QTest::newRow("night") << 4 << true << 500.0;
        QTest::newRow("hour, amount 0") << 2 << true << 0.0;
    }
    void paymentWithoutTimeRefused()
    {
        QFETCH(int, periodType);
        QFETCH(bool, withTarif);
        QFETCH(double, summa);
        TTestDb db;
        db.OpenDataModule();
        TSeeded seeded = SeedAutoAndPlace();
        SeedTarif("Тариф", 100, 1, periodType);

        int paymentsWhileOpen = -1;
        TModalAnswer answer;
        answer.Do([&](QWidget *dialog) {
            ChoosePlace(dialog, "A-01");
            Child<QComboBox>(dialog, "ComboTarif")->setCurrentIndex(withTarif ? 1 : 0);
            Child<QDoubleSpinBox>(dialog, "EditSumma")->setValue(summa);
            ClickLater(dialog, "ButtonSave");
        });
        answer.Press("Cancel");
        answer.Do([&](QWidget *dialog) {
            paymentsWhileOpen = CountRows("PAYMENTS");
            ClickLater(dialog, "ButtonClose");
        });
        TFormAutoIn form;
        QVERIFY(!form.Execute(&seeded.Auto));

        QCOMPARE(answer.Pending(), 0);
        QCOMPARE(answer.Seen().size(), 3);
        QCOMPARE(answer.Seen().at(1).Text, Refused);
        QCOMPARE(answer.Seen().at(2).Caption, QString("Въезд ТС"));
        QCOMPARE(paymentsWhileOpen, 0);
        QCOMPARE(CountRows("PAYMENTS"), 0);
        QCOMPARE(CountRows("AUTO_ACTION"), 0);
    }

    void noVehicleShowsNothing()
    {
        TTestDb db;
        db.OpenDataModule();
        TAuto none;
        TModalAnswer answer;
        TFormAutoIn form;
        QVERIFY(!form.Execute(&none));
        QVERIFY(!form.Execute(nullptr));
        QVERIFY(answer.Seen().isEmpty());
    }
};

QTEST_MAIN(TestOpsAutoIn)
#include "test_ops_autoin.moc"
