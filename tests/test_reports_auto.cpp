// The vehicle entries report on a prepared car park: everything on show until
// "Фильтр", period and number filters, open stays.
#include <QJsonArray>
#include <QLineEdit>
#include <QPushButton>
#include <QHeaderView>
#include <QTest>
#include <QTreeView>
#include <QToolButton>

#include "data/UnitData.h"
#include "reports/UnitReportAuto.h"
#include "tests/support/ReportCarPark.h"
#include "tests/support/TestDb.h"

namespace {

QList<int> StayIds(const TFormReportAuto &form)
{
    QList<int> ids;
    for (int row = 0; row < form.RxMemoryDataExItems->RecordCount(); ++row)
        ids << form.RxMemoryDataExItems->Value(row, "ID").toInt();
    return ids;
}

} // namespace

class TestReportsAuto : public QObject {
    Q_OBJECT

    std::unique_ptr<TReportCase> FCase;

private slots:
    void init() { FCase = std::make_unique<TReportCase>(); }
    void cleanup() { FCase.reset(); }

    void showListsEveryStayNewestFirstUntilFilter()
    {
        TFormReportAuto form;
        form.show();
        const QDateTime now = QDateTime::currentDateTime();
        QCOMPARE(form.EditDateStartFilter->Day(), now.addSecs(-48 * 3600).date());
        QCOMPARE(form.EditDateEndFilter->Day(), now.date());
        QVERIFY(form.FFilterSQL.isEmpty());
        // The stay without a place is never listed.
        QCOMPARE(StayIds(form), QList<int>({FCase->Park.StayMonthEnd, FCase->Park.StayOpen, FCase->Park.StayTwoDays,
                                           FCase->Park.StayDay}));

        QTest::mouseClick(form.ButtonFilter, Qt::LeftButton);
        QCOMPARE(StayIds(form), QList<int>());
    }

    void recordFields()
    {
        TFormReportAuto form;
        form.show();
        const TMemTable *t = form.RxMemoryDataExItems;
        const int day = t->Locate("ID", FCase->Park.StayDay);
        QCOMPARE(t->Value(day, "NAME").toString(), QString("A-01"));
        QCOMPARE(t->Value(day, "GOSNOMER").toString(), QString("А777АА77"));
        QCOMPARE(t->Value(day, "TIME_IN").toDouble(), TReportCarPark::At("2021-05-01 08:00:00"));
        QCOMPARE(t->Value(day, "TIME_OUT").toDouble(), TReportCarPark::At("2021-05-01 18:00:00"));
        QCOMPARE(t->Value(day, "TIME_OUT_STR").toString(), QString("01.05.2021 18:00:00"));
        QCOMPARE(t->Value(day, "SUMMA"), QVariant(50));
        QCOMPARE(t->Value(day, "MINUTES").toString(), QString("90"));

        const int open = t->Locate("ID", FCase->Park.StayOpen);
        QCOMPARE(t->Value(open, "TIME_OUT_STR").toString(), QString("--"));
        QCOMPARE(t->Value(open, "GOSNOMER").toString(), TReportCarPark::LongNumber.left(20));
    }

    void filterByPeriodAndNumber_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("end");
        QTest::addColumn<QString>("number");
        QTest::addColumn<QStringList>("places");

        // Stays that ended after the end day, or have not ended, are not listed.
        QTest::newRow("May") << "01.05.2021" << "31.05.2021" << "" << QStringList{"A-02", "A-01"};
        QTest::newRow("May with 77") << "01.05.2021" << "31.05.2021" << "77" << QStringList{"A-02", "A-01"};
        QTest::newRow("May with А777") << "01.05.2021" << "31.05.2021" << "А777" << QStringList{"A-01"};
        QTest::newRow("same day") << "01.05.2021" << "01.05.2021" << "" << QStringList{"A-01"};
        QTest::newRow("start only keeps open stays") << "20.05.2021" << "" << ""
                                                     << QStringList{"B-01", "A-02"};
        QTest::newRow("end only") << "" << "01.06.2021" << "" << QStringList{"B-01", "A-02", "A-01"};
        QTest::newRow("number only, literal") << "" << "" << "_%" << QStringList{"B-01"};
        QTest::newRow("apostrophe") << "" << "" << "O'N" << QStringList{"B-01"};
    }

    void filterByPeriodAndNumber()
    {
        QFETCH(QString, start);
        QFETCH(QString, end);
        QFETCH(QString, number);
        QFETCH(QStringList, places);

        TFormReportAuto form;
        form.show();
        form.EditDateStartFilter->Clear();
        form.EditDateEndFilter->Clear();
        if (!start.isEmpty())
            form.EditDateStartFilter->SetDay(QDate::fromString(start, "dd.MM.yyyy"));
        if (!end.isEmpty())
            form.EditDateEndFilter->SetDay(QDate::fromString(end, "dd.MM.yyyy"));
        form.EditStringFilter->setText(number);
        QTest::mouseClick(form.ButtonFilter, Qt::LeftButton);

        QStringList shown;
        for (int row = 0; row < form.RxMemoryDataExItems->RecordCount(); ++row)
            shown << form.RxMemoryDataExItems->Value(row, "NAME").toString();
        QCOMPARE(shown, places);
    }

    void resetProposesRecentDaysKeepsNumberAndListsEverything()
    {
        TFormReportAuto form;
        form.show();
        form.EditDateStartFilter->SetDay(QDate(2021, 5, 1));
        form.EditDateEndFilter->SetDay(QDate(2021, 5, 1));
        form.EditStringFilter->setText("А777");
        form.ButtonFilterClick();
        QCOMPARE(StayIds(form), QList<int>({FCase->Park.StayDay}));

        QTest::mouseClick(form.ButtonFilterClear, Qt::LeftButton);
        QVERIFY(form.FFilterSQL.isEmpty());
        QCOMPARE(form.EditDateEndFilter->Day(), QDate::currentDate());
        QCOMPARE(form.EditStringFilter->text(), QString("А777"));
        QCOMPARE(StayIds(form).size(), 4);
    }

    void gridHidesIdsAndDoesNotGroup()
    {
        TFormReportAuto form;
        form.show();
        QVERIFY(!form.GridItems->GroupingBoxVisible());
        const QHeaderView *header = form.GridItems->View()->header();
        const TMemTable *t = form.RxMemoryDataExItems;
        QVERIFY(header->isSectionHidden(t->FieldIndex("ID")));
        QVERIFY(header->isSectionHidden(t->FieldIndex("TIME_OUT")));
        QVERIFY(!header->isSectionHidden(t->FieldIndex("TIME_OUT_STR")));
        QCOMPARE(t->headerData(t->FieldIndex("NAME"), Qt::Horizontal).toString(), QString("Место"));
    }

    void exportListsTableOrderWithOpenStays()
    {
        TShownWorkbooks shown;
        TFormReportAuto form;
        form.show();
        form.GridItems->SortBy("NAME", Qt::AscendingOrder);
        QCOMPARE(form.GridItems->ShownRows(), QList<int>({3, 1, 2, 0}));
        QTest::mouseClick(form.BtnPrint, Qt::LeftButton);
        const QJsonArray rows = ReadWorkbookRows(shown.Files.value(0));
        const QDate today = QDate::currentDate();
        QCOMPARE(rows.at(1).toArray().at(1).toString(),
                 QString("Период: %1 — %2").arg(QDateTime::currentDateTime().addSecs(-48 * 3600).date()
                                                    .toString("dd.MM.yyyy"), today.toString("dd.MM.yyyy")));
        QCOMPARE(BandIntColumn(rows, "Range", 1), QList<int>({1, 2, 3, 4}));
        QCOMPARE(BandIntColumn(rows, "Range", 2), QList<int>({FCase->Park.StayMonthEnd, FCase->Park.StayOpen,
                                                              FCase->Park.StayTwoDays, FCase->Park.StayDay}));
        QCOMPARE(BandColumn(rows, "Range", 3), QStringList({"B-01", "A-02", "A-02", "A-01"}));
        QCOMPARE(BandColumn(rows, "Range", 4).at(1), TReportCarPark::LongNumber.left(20));
        QCOMPARE(BandColumn(rows, "Range", 5).at(3), QString("2021-05-01T08:00:00"));
        QCOMPARE(BandColumn(rows, "Range", 6).at(1), QString("--"));
        QCOMPARE(BandColumn(rows, "Range", 6).at(3), QString("2021-05-01T18:00:00"));
        QCOMPARE(BandIntColumn(rows, "Range", 7), QList<int>({0, 0, 0, 50}));
        QCOMPARE(BandIntColumn(rows, "Range", 8), QList<int>({240, 1440, 0, 90}));
        QCOMPARE(BandColumn(rows, "Summa", 1), QStringList());
    }

    void exportTitleOfEmptyInputs()
    {
        TShownWorkbooks shown;
        TFormReportAuto form;
        form.show();
        form.EditDateStartFilter->Clear();
        form.EditDateEndFilter->Clear();
        form.BtnPrintClick();
        const QJsonArray rows = ReadWorkbookRows(shown.Files.value(0));
        QCOMPARE(rows.at(1).toArray().at(1).toString(), QString("Период: с начала использования — сегодня"));
    }
};

QTEST_MAIN(TestReportsAuto)
#include "test_reports_auto.moc"
