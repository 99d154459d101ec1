// Payment entry with and without a tariff, and the payments list with its
// filter fields and its empty state.
#include <QComboBox>
#include <QDateEdit>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QtTest>

#include "data/UnitData.h"
#include "operations/UnitPaymentForm.h"
#include "operations/UnitPayments.h"
#include "platform/DataGrid.h"
#include "tests/support/ModalAnswer.h"
#include "tests/support/OpsKit.h"
#include "tests/support/TestDb.h"

using namespace OpsKit;

namespace {

int AddPaymentAt(int autoId, double summa, const QDateTime &moment)
{
    TPayment payment;
    payment.AutoId = autoId;
    payment.Summa = summa;
    const int id = DModule->AddPayment(&payment);
    if (id <= 0)
        qFatal("cannot seed the payment");
    TDbQuery query(DModule->Connection(), "UPDATE PAYMENTS SET CREATED_TIME = :t_ WHERE ID = :id_");
    query.BindDateTime("t_", DateTimeFromQt(moment)).Bind("id_", id);
    query.Execute();
    QTest::qWait(3);
    return id;
}

QList<int> ShownIds(TFormPayments &list)
{
    auto *grid = list.findChild<TDataGrid *>("GridPayments");
    QList<int> ids;
    for (int row : grid->ShownRows())
        ids << grid->Table()->Value(row, "ID").toInt();
    return ids;
}

} // namespace

class TestOpsPayments : public QObject {
    Q_OBJECT
private slots:
    void paymentEntry_data()
    {
        QTest::addColumn<bool>("withTarif");
        QTest::addColumn<int>("count");
        QTest::addColumn<double>("typed");
        QTest::addColumn<double>("summa");
        QTest::addColumn<int>("minutes");

        QTest::newRow("without tariff") << false << 0 << 500.0 << 500.0 << 0;
        QTest::newRow("two weeks charged, one credited") << true << 2 << 0.0 << 5000.0 << 10080;
        QTest::newRow("amount 0") << false << 0 << 0.0 << 0.0 << 0;
    }
    void paymentEntry()
    {
        QFETCH(bool, withTarif);
        QFETCH(int, count);
        QFETCH(double, typed);
        QFETCH(double, summa);
        QFETCH(int, minutes);
        TTestDb db;
        db.OpenDataModule();
        const TTarif week = SeedTarif("Неделя", 2500, 1, 6);
        CurrentAuto = DModule->GetAutoById(SeedAuto("О010ОО77", "Нива", "зеленый"));

        QString autoText;
        TModalAnswer answer;
        answer.Do([&](QWidget *dialog) {
            autoText = Child<QLineEdit>(dialog, "EditAuto")->text();
            if (withTarif) {
                Child<QComboBox>(dialog, "ComboTarif")->setCurrentIndex(1);
                Child<QSpinBox>(dialog, "SpinCount")->setValue(count);
            } else {
                Child<QDoubleSpinBox>(dialog, "EditSumma")->setValue(typed);
            }
            Child<QPlainTextEdit>(dialog, "MemoComment")->setPlainText("за стоянку");
            ClickLater(dialog, "ButtonSave");
        });
        TFormPayment form;
        QVERIFY(form.Execute(0));

        QCOMPARE(answer.Pending(), 0);
        QCOMPARE(answer.Seen().size(), 1);
        QCOMPARE(answer.Seen().at(0).Caption, QString("Платеж за ТС"));
        QCOMPARE(autoText, QString("О010ОО77 Нива зеленый"));
        QCOMPARE(ScalarInt("SELECT COUNT(*) FROM PAYMENTS"), 1);
        QCOMPARE(ScalarDouble("SELECT SUMMA FROM PAYMENTS"), summa);
        QCOMPARE(ScalarInt("SELECT ID_AUTO FROM PAYMENTS"), CurrentAuto.Id);
        QCOMPARE(ScalarInt("SELECT ID_TARIF FROM PAYMENTS"), withTarif ? week.Id : 0);
        QCOMPARE(ScalarInt("SELECT VOLUME FROM PAYMENTS"), count);
        QCOMPARE(ScalarInt("SELECT MINUTES_START FROM PAYMENTS"), minutes);
        QCOMPARE(ScalarInt("SELECT MINUTES FROM PAYMENTS"), minutes);
        QCOMPARE(Scalar("SELECT COMMENTS FROM PAYMENTS").toString(), QString("за стоянку"));
        QCOMPARE(ScalarInt("SELECT COUNT(*) FROM AUTO_PAYMENT"), 0);
        CurrentAuto = TAuto();
    }

    void paymentEntryClosedOrWithoutVehicle()
    {
        TTestDb db;
        db.OpenDataModule();
        CurrentAuto = TAuto();
        TModalAnswer answer;
        TFormPayment form;
        QVERIFY(!form.Execute(0));
        QVERIFY(answer.Seen().isEmpty());

        CurrentAuto = DModule->GetAutoById(SeedAuto("О010ОО77"));
        answer.Do([](QWidget *dialog) {
            Child<QDoubleSpinBox>(dialog, "EditSumma")->setValue(100);
            ClickLater(dialog, "ButtonClose");
        });
        QVERIFY(!form.Execute(0));
        answer.Press("Cancel");
        QVERIFY(!form.Execute(999));
        QCOMPARE(answer.Pending(), 0);
        QCOMPARE(Lines(answer.Seen().at(1).Text), QString("Объект не найден!\nПовторите операцию."));
        QCOMPARE(ScalarInt("SELECT COUNT(*) FROM PAYMENTS"), 0);
        CurrentAuto = TAuto();
    }

    void listFilters_data()
    {
        QTest::addColumn<QDate>("from");
        QTest::addColumn<QDate>("to");
        QTest::addColumn<QString>("amount");
        QTest::addColumn<int>("vehicle");    // 1 or 2: that seeded vehicle; 0: none
        QTest::addColumn<QString>("gosnomer");
        QTest::addColumn<QList<int>>("shown"); // positions of the seeded payments, 1 to 3

        const QDate none;
        QTest::newRow("no field") << none << none << "" << 0 << "" << QList<int>{1, 2, 3};
        QTest::newRow("from a day") << QDate(2024, 3, 2) << none << "" << 0 << "" << QList<int>{2, 3};
        QTest::newRow("to a whole day") << none << QDate(2024, 3, 2) << "" << 0 << "" << QList<int>{1, 2};
        QTest::newRow("one day") << QDate(2024, 3, 2) << QDate(2024, 3, 2) << "" << 0 << "" << QList<int>{2};
        QTest::newRow("amount with fraction") << none << none << "150,5" << 0 << "" << QList<int>{2};
        QTest::newRow("vehicle id") << none << none << "" << 2 << "" << QList<int>{3};
        QTest::newRow("amount not paid") << none << none << "123" << 0 << "" << QList<int>{};
        QTest::newRow("number part") << none << none << "" << 0 << "123" << QList<int>{1, 2};
        QTest::newRow("number in other case") << none << none << "" << 0 << "а123вс" << QList<int>{1, 2};
        QTest::newRow("underscore is literal") << none << none << "" << 0 << "_" << QList<int>{3};
        QTest::newRow("percent is literal") << none << none << "" << 0 << "%" << QList<int>{3};
        QTest::newRow("apostrophe") << none << none << "" << 0 << "'" << QList<int>{};
        QTest::newRow("fields together") << QDate(2024, 3, 2) << none << "" << 1 << "А1" << QList<int>{2};
    }
    void listFilters()
    {
        QFETCH(QDate, from);
        QFETCH(QDate, to);
        QFETCH(QString, amount);
        QFETCH(int, vehicle);
        QFETCH(QString, gosnomer);
        QFETCH(QList<int>, shown);
        TTestDb db;
        db.OpenDataModule();
        const int first = SeedAuto("А123ВС77");
        const int second = SeedAuto("В_1%ОР");
        const QList<int> ids = {AddPaymentAt(first, 100, QDateTime(QDate(2024, 3, 1), QTime(10, 0))),
                                AddPaymentAt(first, 150.5, QDateTime(QDate(2024, 3, 2), QTime(23, 59))),
                                AddPaymentAt(second, 200, QDateTime(QDate(2024, 3, 3), QTime(0, 0)))};

        TFormPayments list;
        list.show();
        QCOMPARE(ShownIds(list), ids);
        if (from.isValid())
            list.findChild<QDateEdit *>("DateFrom")->setDate(from);
        if (to.isValid())
            list.findChild<QDateEdit *>("DateTo")->setDate(to);
        list.findChild<QLineEdit *>("EditSumma")->setText(amount);
        list.findChild<QSpinBox *>("SpinAutoId")->setValue(vehicle == 1 ? first : vehicle == 2 ? second : 0);
        list.findChild<QLineEdit *>("EditGosnomer")->setText(gosnomer);
        list.findChild<QPushButton *>("ButtonFilter")->click();

        QList<int> expected;
        for (int position : shown)
            expected << ids.at(position - 1);
        QCOMPARE(ShownIds(list), expected);

        list.findChild<QPushButton *>("ButtonAll")->click();
        QCOMPARE(ShownIds(list), ids);
        QCOMPARE(list.findChild<QLineEdit *>("EditGosnomer")->text(), QString());
        QCOMPARE(list.findChild<QSpinBox *>("SpinAutoId")->value(), 0);
        QCOMPARE(list.BuildFilterSQL(), QString());
    }

    void listRowsAndEmptyList()
    {
        TTestDb db;
        db.OpenDataModule();
        TFormPayments list;
        list.show();
        auto *grid = list.findChild<TDataGrid *>("GridPayments");
        QCOMPARE(grid->ShownRowCount(), 0);
        QCOMPARE(TDataGrid::EmptyText(), QString("<Данные не найдены>"));
        QCOMPARE(list.windowTitle(), QString("Платежи за ТС"));

        TModalAnswer answer;
        answer.Press("Cancel");
        list.findChild<QPushButton *>("ButtonPrint")->click();
        QTRY_COMPARE(answer.Pending(), 0);
        QCOMPARE(Lines(answer.Seen().at(0).Text),
                 QString("Не выбран платеж!\nВыберите требуемый платеж и повторите операцию."));

        const TTarif hours = SeedTarif("Почасовой тариф длинный", 80, 1, 2);
        const int autoId = SeedAuto("Х999ХХ199", "Toyota Land Cruiser Prado", "серый");
        TPayment payment;
        payment.AutoId = autoId;
        payment.Summa = 240;
        payment.Tarif = hours;
        payment.Count = 3;
        payment.Comments = "наличными";
        payment.Id = DModule->AddPayment(&payment);
        list.RefreshTable();
        TMemTable *table = grid->Table();
        QCOMPARE(table->RecordCount(), 1);
        QCOMPARE(table->Value(0, "ID").toInt(), payment.Id);
        QCOMPARE(table->Value(0, "GOSNOMER").toString(), QString("Х999ХХ199"));
        QCOMPARE(table->Value(0, "MODEL").toString(), QString("Toyota Land Cruiser Prado").left(20));
        QCOMPARE(table->Value(0, "SUMMA").toDouble(), 240.0);
        QCOMPARE(table->Value(0, "TARIF_NAME").toString(), QString("Почасовой тариф длин"));
        QCOMPARE(table->Value(0, "PRICE").toDouble(), 80.0);
        QCOMPARE(table->Value(0, "PERIOD_NAME").toString(), QString("3 час."));
        QCOMPARE(table->Value(0, "COMMENTS").toString(), QString("наличными"));
        QCOMPARE(table->Value(0, "AUTO_ID").toInt(), autoId);
        QVERIFY(!table->Field(table->FieldIndex("VOLUME")).Visible);
    }
};

QTEST_MAIN(TestOpsPayments)
#include "test_ops_payments.moc"
