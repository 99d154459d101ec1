// The payment and stay history windows of one vehicle, over a real database.
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

#include "data/UnitData.h"
#include "operations/UnitAutoPaymentsForm.h"
#include "operations/UnitAutoVisitsForm.h"
#include "tests/support/ModalAnswer.h"
#include "tests/support/TestDb.h"

namespace {

struct TShown {
    QString Caption;
    QString AutoText;
    QStringList Headers;
    QList<QStringList> Rows;
    bool Editable = false;
};

// Reads what the modal history window shows, then closes it with `button`.
TModalAnswer::TAction ReadAndPress(TShown &shown, const QString &button)
{
    return [&shown, button](QWidget *modal) {
        shown.Caption = modal->windowTitle();
        shown.AutoText = modal->findChild<QLineEdit *>("EditAuto")->text();
        auto *grid = modal->findChild<QTableWidget *>("Grid");
        for (int c = 0; c < grid->columnCount(); ++c)
            shown.Headers << grid->horizontalHeaderItem(c)->text();
        for (int r = 0; r < grid->rowCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < grid->columnCount(); ++c)
                cells << grid->item(r, c)->text();
            shown.Rows << cells;
        }
        shown.Editable = grid->editTriggers() != QAbstractItemView::NoEditTriggers;
        QTest::mouseClick(modal->findChild<QPushButton *>(button), Qt::LeftButton);
    };
}

} // namespace

class TestAutosHistory : public QObject {
    Q_OBJECT

    std::unique_ptr<TTestDb> FDb;
    TDModule *FModule = nullptr;

    void Sql(const QString &sql) { FModule->Connection().ExecuteSql(sql); }

    void AddAuto(int id, const QString &gosnomer, const QString &model, const QString &color)
    {
        Sql(QString("INSERT INTO AUTO (ID, GOSNOMER, MODEL, COLOR, CREATED_TIME) "
                    "VALUES (%1, '%2', '%3', '%4', '2021-01-01 10:00:00')")
                .arg(id).arg(gosnomer, model, color));
    }
    void AddStay(int id, int autoId, int placeId, const QString &in, const QString &out)
    {
        Sql(QString("INSERT INTO AUTO_ACTION (ID, ID_AUTO, ACTION_TYPE, ACTION_TYPE2, IN_TIME, OUT_TIME, "
                    "ID_PLACE, CREATED_TIME) VALUES (%1, %2, 1, %3, '%4', %5, %6, '%4')")
                .arg(id).arg(autoId).arg(out.isEmpty() ? 0 : 2).arg(in)
                .arg(out.isEmpty() ? QString("NULL") : "'" + out + "'").arg(placeId));
    }
    void AddPayment(int id, int autoId, double summa, const QString &time, const QString &comments)
    {
        Sql(QString("INSERT INTO PAYMENTS (ID, ID_AUTO, SUMMA, MINUTES, COMMENTS, CREATED_TIME) "
                    "VALUES (%1, %2, %3, 60, '%4', '%5')")
                .arg(id).arg(autoId).arg(summa).arg(comments, time));
    }
    TAuto Auto(int id) { return FModule->GetAutoById(id); }

private slots:
    void init()
    {
        FDb = std::make_unique<TTestDb>();
        FModule = FDb->OpenDataModule();
        Sql("INSERT INTO PLACES (ID, NAME) VALUES (1, 'A-01')");
        Sql("INSERT INTO PLACES (ID, NAME) VALUES (2, 'A-02')");
    }
    void cleanup()
    {
        delete FormAutoPayments;
        delete FormAutoVisits;
        FDb.reset();
    }

    void withoutHistoryBothListsAreEmpty()
    {
        AddAuto(1, "А123ВС77", "", "Красный");
        TAuto autoRecord = Auto(1);
        FormAutoPayments = new TFormAutoPayments;
        FormAutoVisits = new TFormAutoVisits;
        TShown payments, stays;
        TModalAnswer answer;
        answer.Do(ReadAndPress(payments, "ButtonClose")).Do(ReadAndPress(stays, "ButtonSelect"));
        QCOMPARE(FormAutoPayments->Execute(&autoRecord), false);
        QCOMPARE(FormAutoVisits->Execute(&autoRecord), false);
        QCOMPARE(answer.Pending(), 0);

        QCOMPARE(payments.Caption, QString("Платежи за ТС"));
        QCOMPARE(payments.Headers, QStringList({"ID", "Время", "Сумма", "Комментарии"}));
        QCOMPARE(stays.Caption, QString("Въезды ТС"));
        QCOMPARE(stays.Headers, QStringList({"", "Время въезда", "Время выезда", "Примечание"}));
        // An empty model leaves two blanks between number and colour.
        QCOMPARE(payments.AutoText, QString("А123ВС77  Красный"));
        QCOMPARE(stays.AutoText, QString("А123ВС77  Красный"));
        QVERIFY(payments.Rows.isEmpty());
        QVERIFY(stays.Rows.isEmpty());
        QVERIFY(!stays.Editable);
        QVERIFY(payments.Editable);
    }

    void staysNewestFirstWithOpenStayShownAsDash()
    {
        AddAuto(1, "А123ВС77", "Лада", "Белый");
        AddAuto(2, "В777ОР77", "Volvo", "Синий");
        AddStay(10, 1, 1, "2021-12-31 14:05:00", "2022-01-01 09:30:00");
        AddStay(11, 1, 2, "2022-01-02 08:07:00", "");
        AddStay(12, 2, 1, "2022-01-03 08:00:00", "");
        TAuto autoRecord = Auto(1);
        FormAutoVisits = new TFormAutoVisits;
        TShown stays;
        TModalAnswer answer;
        answer.Do(ReadAndPress(stays, "ButtonClose"));
        QCOMPARE(FormAutoVisits->Execute(&autoRecord), false);
        QCOMPARE(stays.AutoText, QString("А123ВС77 Лада Белый"));
        QCOMPARE(stays.Rows, QList<QStringList>({{"11", "02.01.2022 08:07", "-", ""},
                                                 {"10", "31.12.2021 14:05", "01.01.2022 09:30", ""}}));
    }

    void paymentsOldestFirstInLocaleForm()
    {
        AddAuto(1, "А123ВС77", "Лада", "Белый");
        AddAuto(2, "В777ОР77", "Volvo", "Синий");
        AddPayment(20, 1, 99.5, "2022-01-02 08:07:09", "Доплата");
        AddPayment(21, 1, 150, "2022-01-01 00:00:00", "");
        AddPayment(22, 2, 300, "2022-01-01 12:00:00", "Чужой");
        TAuto autoRecord = Auto(1);
        FormAutoPayments = new TFormAutoPayments;
        TShown payments;
        TModalAnswer answer;
        answer.Do(ReadAndPress(payments, "ButtonClose"));
        QCOMPARE(FormAutoPayments->Execute(&autoRecord), false);
        QCOMPARE(payments.Rows, QList<QStringList>({{"21", "01.01.2022", "150", ""},
                                                    {"20", "02.01.2022 08:07:09", "99,5", "Доплата"}}));
    }

    void noVehicleShowsNothing()
    {
        TAuto none;
        FormAutoPayments = new TFormAutoPayments;
        FormAutoVisits = new TFormAutoVisits;
        TModalAnswer answer; // any window shown would be recorded as unexpected
        QCOMPARE(FormAutoPayments->Execute(nullptr), false);
        QCOMPARE(FormAutoPayments->Execute(&none), false);
        QCOMPARE(FormAutoVisits->Execute(nullptr), false);
        QCOMPARE(FormAutoVisits->Execute(&none), false);
        QTest::qWait(60);
        QVERIFY(answer.Seen().isEmpty());
    }

    void keptWindowIsFilledAnewForTheNextVehicle()
    {
        AddAuto(1, "А123ВС77", "Лада", "Белый");
        AddAuto(2, "В777ОР77", "Volvo", "Синий");
        AddStay(10, 1, 1, "2021-12-31 14:05:00", "2022-01-01 09:30:00");
        TAuto first = Auto(1);
        TAuto second = Auto(2);
        FormAutoVisits = new TFormAutoVisits;
        TShown stays1, stays2;
        TModalAnswer answer;
        answer.Do(ReadAndPress(stays1, "ButtonClose")).Do(ReadAndPress(stays2, "ButtonClose"));
        FormAutoVisits->Execute(&first);
        FormAutoVisits->Execute(&second);
        QCOMPARE(stays1.Rows.size(), 1);
        QCOMPARE(stays2.AutoText, QString("В777ОР77 Volvo Синий"));
        QVERIFY(stays2.Rows.isEmpty());
    }
};

QTEST_MAIN(TestAutosHistory)
#include "test_autos_history.moc"
