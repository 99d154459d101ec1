// The revenue report on a prepared car park: filters, whole-ruble amounts,
// the exact total and the export into its template.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "data/UnitData.h"
#include "reports/UnitReportSumma.h"
#include "tests/support/ReportCarPark.h"
#include "tests/support/TestDb.h"

namespace {

QList<int> PaymentIds(const TFormReportSumma &form)
{
    QList<int> ids;
    for (int row = 0; row < form.RxMemoryDataExItems->RecordCount(); ++row)
        ids << form.RxMemoryDataExItems->Value(row, "ID_PAYMENT").toInt();
    return ids;
}

} // namespace

class TestReportsSumma : public QObject {
    Q_OBJECT

    std::unique_ptr<TTestDb> FDb;
    std::unique_ptr<TReportCarPark> FPark;

private slots:
    void init()
    {
        FDb.reset(new TTestDb);
        FPark.reset(new TReportCarPark(FDb->OpenDataModule()->Connection()));
    }

    void cleanup()
    {
        FPark.reset();
        FDb.reset();
    }

    void showListsEveryPaymentOldestFirst()
    {
        TFormReportSumma form;
        form.EditGosnomerFilter->setText("77");
        form.show();
        QVERIFY(form.EditDateStartFilter->IsEmpty());
        QVERIFY(form.EditDateStopFilter->IsEmpty());
        QVERIFY(form.EditGosnomerFilter->text().isEmpty());
        QVERIFY(form.FFilterSQL.isEmpty());
        QCOMPARE(PaymentIds(form), QList<int>({FPark->PayApril, FPark->PayMayFirst, FPark->PayMayMid,
                                              FPark->PayMayLast, FPark->PayJune}));
        QCOMPARE(form.LabelSumma->text(), QString("602,80 руб."));
    }

    void filterByPeriodAndNumber_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("stop");
        QTest::addColumn<QString>("number");
        QTest::addColumn<QStringList>("comments");
        QTest::addColumn<QString>("total");

        QTest::newRow("whole May, both ends and the last second")
            << "01.05.2021" << "31.05.2021" << ""
            << QStringList{"первое мая", "середина", "последняя секунда"} << "351,30 руб.";
        QTest::newRow("May with a number") << "01.05.2021" << "31.05.2021" << "77"
                                           << QStringList{"первое мая", "середина"} << "200,80 руб.";
        QTest::newRow("start only") << "01.06.2021" << "" << "" << QStringList{"июнь"} << "151,50 руб.";
        QTest::newRow("end only") << "" << "30.04.2021" << "" << QStringList{"апрель"} << "100,00 руб.";
        QTest::newRow("one day") << "31.05.2021" << "31.05.2021" << ""
                                 << QStringList{"последняя секунда"} << "150,50 руб.";
        QTest::newRow("apostrophe is text") << "" << "" << "'" << QStringList{"последняя секунда"}
                                            << "150,50 руб.";
        QTest::newRow("percent is text") << "" << "" << "%" << QStringList{"последняя секунда"} << "150,50 руб.";
        QTest::newRow("underscore is text") << "" << "" << "_%" << QStringList{"последняя секунда"}
                                            << "150,50 руб.";
        QTest::newRow("no match") << "" << "" << "Z9" << QStringList{} << "0,00 руб.";
    }

    void filterByPeriodAndNumber()
    {
        QFETCH(QString, start);
        QFETCH(QString, stop);
        QFETCH(QString, number);
        QFETCH(QStringList, comments);
        QFETCH(QString, total);

        TFormReportSumma form;
        form.show();
        if (!start.isEmpty())
            form.EditDateStartFilter->SetDay(QDate::fromString(start, "dd.MM.yyyy"));
        if (!stop.isEmpty())
            form.EditDateStopFilter->SetDay(QDate::fromString(stop, "dd.MM.yyyy"));
        form.EditGosnomerFilter->setText(number);
        QTest::mouseClick(form.ButtonFilter, Qt::LeftButton);

        QStringList shown;
        for (int row = 0; row < form.RxMemoryDataExItems->RecordCount(); ++row)
            shown << form.RxMemoryDataExItems->Value(row, "COMMENT").toString();
        QCOMPARE(shown, comments);
        QCOMPARE(form.LabelSumma->text(), total);
    }

    void resetClearsInputsAndListsEverything()
    {
        TFormReportSumma form;
        form.show();
        form.EditDateStartFilter->SetDay(QDate(2021, 6, 1));
        form.EditGosnomerFilter->setText("77");
        form.ButtonFilterClick();
        QCOMPARE(form.RxMemoryDataExItems->RecordCount(), 0);

        QTest::mouseClick(form.ButtonFilterClear, Qt::LeftButton);
        QVERIFY(form.FFilterSQL.isEmpty());
        QVERIFY(form.EditDateStartFilter->IsEmpty());
        QVERIFY(form.EditGosnomerFilter->text().isEmpty());
        QCOMPARE(form.RxMemoryDataExItems->RecordCount(), 5);
    }

    void inputsChangedWithoutFilterKeepRowsAndTotal()
    {
        TFormReportSumma form;
        form.show();
        form.EditDateStartFilter->SetDay(QDate(2021, 6, 1));
        QCOMPARE(form.RxMemoryDataExItems->RecordCount(), 5);
        QCOMPARE(form.LabelSumma->text(), QString("602,80 руб."));
    }

    void amountsAreWholeRublesHalfToEvenWhileTheTotalIsExact()
    {
        TFormReportSumma form;
        form.show();
        const TMemTable *table = form.RxMemoryDataExItems;
        QCOMPARE(table->Value(1, "SUMMA"), QVariant(100));
        QCOMPARE(table->Value(2, "SUMMA"), QVariant(100));
        QCOMPARE(table->Value(3, "SUMMA"), QVariant(150));  // 150.50
        QCOMPARE(table->Value(4, "SUMMA"), QVariant(152));  // 151.50
        QCOMPARE(table->DisplayText(3, table->FieldIndex("SUMMA")), QString("150"));
    }

    void longNumberIsCutToTwentyCharacters()
    {
        TFormReportSumma form;
        form.show();
        QCOMPARE(form.RxMemoryDataExItems->Value(4, "GOSNOMER").toString(), TReportCarPark::LongNumber.left(20));
        QCOMPARE(form.RxMemoryDataExItems->Value(4, "ID_AUTO").toInt(), FPark->AutoLong);
    }
};

QTEST_MAIN(TestReportsSumma)
#include "test_reports_summa.moc"
