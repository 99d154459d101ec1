// The report of vehicles present at a moment, on a prepared car park: the
// present moment on show, a stay's exact in and out moments, paid time texts.
#include <QJsonArray>
#include <QPushButton>
#include <QTest>
#include <QTimeEdit>

#include "data/UnitData.h"
#include "reports/UnitReportService.h"
#include "tests/support/ModalAnswer.h"
#include "tests/support/ReportCarPark.h"
#include "tests/support/TestDb.h"

namespace {

QStringList Numbers(const TFormReportService &form)
{
    QStringList numbers;
    for (int row = 0; row < form.RxMemoryDataExItems->RecordCount(); ++row)
        numbers << form.RxMemoryDataExItems->Value(row, "GOSNOMER").toString();
    return numbers;
}

void ShowMoment(TFormReportService &form, const QString &moment)
{
    const QDateTime at = QDateTime::fromString(moment, "dd.MM.yyyy hh:mm");
    form.EditDateStartFilter->SetDay(at.date());
    form.EditStartTime->setTime(at.time());
    QTest::mouseClick(form.ButtonFilter, Qt::LeftButton);
}

} // namespace

class TestReportsService : public QObject {
    Q_OBJECT

    std::unique_ptr<TReportCase> FCase;

private slots:
    void init() { FCase = std::make_unique<TReportCase>(); }
    void cleanup() { FCase.reset(); }

    void showListsTheVehiclesParkedNow()
    {
        TFormReportService form;
        form.show();
        QCOMPARE(form.EditDateStartFilter->Day(), QDate::currentDate());
        QVERIFY(qAbs(form.EditStartTime->time().secsTo(QTime::currentTime())) < 120);
        QCOMPARE(Numbers(form), QStringList{TReportCarPark::LongNumber.left(20)});
        QCOMPARE(form.RxMemoryDataExItems->Value(0, "TIME_OUT_STR").toString(), QString("--"));
        QCOMPARE(form.RxMemoryDataExItems->Value(0, "NAME").toString(), QString("A-02"));
        QCOMPARE(form.RxMemoryDataExItems->Value(0, "SUMMA"), QVariant(152));  // 151.50
        QCOMPARE(form.RxMemoryDataExItems->Value(0, "MINUTES").toString(), GetMinutesStr(1440));
    }

    void momentAtTheEdgesOfAStay_data()
    {
        QTest::addColumn<QString>("moment");
        QTest::addColumn<QStringList>("numbers");
        QTest::newRow("before the entry") << "01.05.2021 07:59" << QStringList{};
        QTest::newRow("at the entry") << "01.05.2021 08:00" << QStringList{"А777АА77"};
        QTest::newRow("at the exit") << "01.05.2021 18:00" << QStringList{"А777АА77"};
        QTest::newRow("after the exit") << "01.05.2021 18:01" << QStringList{};
        QTest::newRow("a stay without a place is skipped") << "05.05.2021 11:00" << QStringList{};
        QTest::newRow("two at once") << "31.05.2021 23:00"
                                     << QStringList{TReportCarPark::LongNumber.left(20), "O'N_%7"};
    }

    void momentAtTheEdgesOfAStay()
    {
        QFETCH(QString, moment);
        QFETCH(QStringList, numbers);
        TFormReportService form;
        form.show();
        ShowMoment(form, moment);
        QCOMPARE(Numbers(form), numbers);
    }

    void pastMomentShowsExitAndPaidTime()
    {
        TFormReportService form;
        form.show();
        ShowMoment(form, "01.05.2021 12:00");
        const TMemTable *t = form.RxMemoryDataExItems;
        QCOMPARE(t->Value(0, "TIME_OUT_STR").toString(), QString("01.05.2021 18:00:00"));
        QCOMPARE(t->Value(0, "TIME_IN").toDouble(), TReportCarPark::At("2021-05-01 08:00:00"));
        QCOMPARE(t->Value(0, "MINUTES").toString(), GetMinutesStr(90));
        QCOMPARE(t->Value(0, "ID").toInt(), FCase->Park.PlaceA01);
        QCOMPARE(t->Value(0, "SUMMA"), QVariant(100));  // the stay's payment, 100.40

        ShowMoment(form, "11.05.2021 12:00");
        QCOMPARE(Numbers(form), QStringList{"В123ОР177"});
        QCOMPARE(t->Value(0, "MINUTES").toString(), QString());
    }

    void resetShowsThePresentMoment()
    {
        TFormReportService form;
        form.show();
        ShowMoment(form, "01.05.2021 12:00");
        QTest::mouseClick(form.ButtonFilterClear, Qt::LeftButton);
        QCOMPARE(form.EditDateStartFilter->Day(), QDate::currentDate());
        QCOMPARE(Numbers(form), QStringList{TReportCarPark::LongNumber.left(20)});
    }

    void timeWithoutDateIsRefusedAndTheRowsStay()
    {
        TFormReportService form;
        form.show();
        form.EditDateStartFilter->Clear();
        form.EditStartTime->setTime(QTime(12, 30));
        TModalAnswer answer;
        answer.Press("Отмена");
        QTest::mouseClick(form.ButtonFilter, Qt::LeftButton);
        QCOMPARE(answer.Pending(), 0);
        QCOMPARE(answer.Seen().size(), 1);
        QCOMPARE(answer.Seen().at(0).Text, QString("Не задана дата отчета"));
        QCOMPARE(Numbers(form), QStringList{TReportCarPark::LongNumber.left(20)});
    }

    void exportOfAPastMoment()
    {
        TShownWorkbooks shown;
        TFormReportService form;
        form.show();
        ShowMoment(form, "31.05.2021 23:00");
        form.BtnPrintClick();
        const QJsonArray rows = ReadWorkbookRows(shown.Files.value(0));
        QCOMPARE(rows.at(1).toArray().at(1).toString(), QString("По состоянию на 31.05.2021 23:00"));
        QCOMPARE(BandIntColumn(rows, "Range", 1), QList<int>({1, 2}));
        QCOMPARE(BandIntColumn(rows, "Range", 2), QList<int>({FCase->Park.PlaceA02, FCase->Park.PlaceB01}));
        QCOMPARE(BandColumn(rows, "Range", 4), QStringList({TReportCarPark::LongNumber.left(20), "O'N_%7"}));
        QCOMPARE(BandColumn(rows, "Range", 5).at(1), QString("2021-05-31T22:00:00"));
        QCOMPARE(BandColumn(rows, "Range", 6), QStringList({"--", "2021-06-01T02:00:00"}));
        QCOMPARE(BandIntColumn(rows, "Range", 7), QList<int>({152, 150}));
        QCOMPARE(BandColumn(rows, "Range", 8), QStringList({GetMinutesStr(1440), GetMinutesStr(240)}));
    }
};

QTEST_MAIN(TestReportsService)
#include "test_reports_service.moc"
