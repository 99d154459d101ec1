// The revenue report on a prepared car park: filters, whole-ruble amounts,
// the exact total and the export into its template.
#include <QApplication>
#include <QFile>
#include <QJsonArray>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QHeaderView>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>
#include <QTreeView>
#include <QTimer>
#include <QToolButton>

#include "data/UnitData.h"
#include "reports/A7Rep.h"
#include "reports/UnitReportAuto.h"
#include "reports/UnitReportService.h"
#include "reports/UnitReportSumma.h"
#include "shell/UnitMain.h"
#include "tests/support/ModalAnswer.h"
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

    std::unique_ptr<TReportCase> FCase;

private slots:
    void init() { FCase = std::make_unique<TReportCase>(); }
    void cleanup() { FCase.reset(); }

    void showListsEveryPaymentOldestFirst()
    {
        TFormReportSumma form;
        form.EditGosnomerFilter->setText("77");
        form.show();
        QVERIFY(form.EditDateStartFilter->IsEmpty());
        QVERIFY(form.EditDateStopFilter->IsEmpty());
        QVERIFY(form.EditGosnomerFilter->text().isEmpty());
        QVERIFY(form.FFilterSQL.isEmpty());
        QCOMPARE(PaymentIds(form), QList<int>({FCase->Park.PayApril, FCase->Park.PayMayFirst, FCase->Park.PayMayMid,
                                              FCase->Park.PayMayLast, FCase->Park.PayJune}));
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
        QCOMPARE(form.RxMemoryDataExItems->Value(4, "ID_AUTO").toInt(), FCase->Park.AutoLong);
    }

    void gridColumnsAndGroupingBox()
    {
        TFormReportSumma form;
        form.show();
        QVERIFY(form.GridItems->GroupingBoxVisible());
        const QHeaderView *header = form.GridItems->View()->header();
        const TMemTable *t = form.RxMemoryDataExItems;
        const QList<QPair<QString, int>> widths{{"DATE", 137}, {"ID_PAYMENT", 128}, {"SUMMA", 148},
                                                {"GOSNOMER", 257}, {"COMMENT", 312}};
        for (const auto &[field, width] : widths) {
            QVERIFY(!header->isSectionHidden(t->FieldIndex(field)));
            QCOMPARE(header->sectionSize(t->FieldIndex(field)), width);
        }
        QVERIFY(header->isSectionHidden(t->FieldIndex("ID_AUTO")));
        QCOMPARE(header->visualIndex(t->FieldIndex("DATE")), 0);
        QCOMPARE(t->headerData(t->FieldIndex("SUMMA"), Qt::Horizontal).toString(), QString("Сумма, руб."));
    }

    void reportCommandsOpenOneWindowEachAndClosingFreesIt()
    {
        CurrentUser.Id = 1;  // no login on showing the main window
        TFormMain main(FCase->Db.ProgramPath());
        FormMain = &main;
        main.show();
        main.ActionReportSumma->trigger();
        QVERIFY(FormReportSumma);
        TFormReportSumma *first = FormReportSumma;
        QCOMPARE(first->RxMemoryDataExItems->RecordCount(), 5);
        first->EditGosnomerFilter->setText("77");
        first->ButtonFilterClick();

        main.ActionReportSumma->trigger();
        QCOMPARE(FormReportSumma.data(), first);
        QCOMPARE(main.MdiArea()->subWindowList().size(), 1);
        QCOMPARE(first->RxMemoryDataExItems->RecordCount(), 3);

        main.MdiArea()->activeSubWindow()->close();
        QTRY_VERIFY(!FormReportSumma);
        main.ActionReportSumma->trigger();
        QVERIFY(FormReportSumma);
        QVERIFY(FormReportSumma->EditGosnomerFilter->text().isEmpty());
        QCOMPARE(FormReportSumma->RxMemoryDataExItems->RecordCount(), 5);

        main.ActionReportAuto->trigger();
        main.ActionReportService->trigger();
        QVERIFY(FormReportAuto && FormReportService);
        QCOMPARE(FormReportAuto->windowTitle(), QString("Учет въездов ТС"));
        QCOMPARE(FormReportService->windowTitle(), QString("Отчет о наличие ТС на парковке"));
        QCOMPARE(FormReportAuto->RxMemoryDataExItems->RecordCount(), 4);
        QCOMPARE(FormReportService->RxMemoryDataExItems->RecordCount(), 1);
        QCOMPARE(main.MdiArea()->subWindowList().size(), 3);
        CurrentUser.Id = 0;
    }

    void exportListsTableOrderFromOneWithTheClosingSum()
    {
        TShownWorkbooks shown;
        TFormReportSumma form;
        form.show();
        // Sorting the grid changes nothing in the export.
        form.GridItems->SortBy("SUMMA", Qt::DescendingOrder);
        QCOMPARE(form.GridItems->ShownRows().first(), 4);
        QTest::mouseClick(form.BtnPrint, Qt::LeftButton);
        QCOMPARE(shown.Files.size(), 1);

        const QJsonArray rows = ReadWorkbookRows(shown.Files.at(0));
        QStringList bands;
        for (const QJsonValue &row : rows)
            bands << row.toArray().at(0).toString();
        QCOMPARE(bands, QStringList({"Title", "Title", "Title", "Title", "Title", "Range", "Range", "Range", "Range",
                                     "Range", "Summa"}));
        QCOMPARE(rows.at(1).toArray().at(1).toString(), QString("Период: с начала использования — по текущее время"));
        QCOMPARE(rows.at(2).toArray().at(1).toString(),
                 "Дата формирования: " + QDate::currentDate().toString("dd.MM.yyyy"));
        QCOMPARE(BandIntColumn(rows, "Range", 1), QList<int>({1, 2, 3, 4, 5}));
        QCOMPARE(BandIntColumn(rows, "Range", 2), QList<int>({FCase->Park.PayApril, FCase->Park.PayMayFirst, FCase->Park.PayMayMid,
                                                          FCase->Park.PayMayLast, FCase->Park.PayJune}));
        QCOMPARE(BandIntColumn(rows, "Range", 4), QList<int>({100, 100, 100, 150, 152}));
        QCOMPARE(BandColumn(rows, "Range", 5).at(3), QString("(%1) O'N_%7").arg(FCase->Park.AutoOdd));
        QCOMPARE(BandColumn(rows, "Range", 5).at(4),
                 QString("(%1) %2").arg(FCase->Park.AutoLong).arg(TReportCarPark::LongNumber.left(20)));
        QCOMPARE(BandColumn(rows, "Range", 6).at(0), QString("апрель"));
        QCOMPARE(BandIntColumn(rows, "Summa", 4), QList<int>({602}));
    }

    void exportOfFilteredRowsSumsWholeRubles()
    {
        TShownWorkbooks shown;
        TFormReportSumma form;
        form.show();
        form.EditDateStartFilter->SetDay(QDate(2021, 5, 1));
        form.EditDateStopFilter->SetDay(QDate(2021, 5, 31));
        form.EditGosnomerFilter->setText("77");
        form.ButtonFilterClick();
        QCOMPARE(form.LabelSumma->text(), QString("200,80 руб."));
        form.BtnPrintClick();

        const QJsonArray rows = ReadWorkbookRows(shown.Files.value(0));
        QCOMPARE(rows.at(1).toArray().at(1).toString(), QString("Период: 01.05.2021 — 31.05.2021"));
        QCOMPARE(BandIntColumn(rows, "Range", 4), QList<int>({100, 100}));
        QCOMPARE(BandIntColumn(rows, "Summa", 4), QList<int>({200}));
        QCOMPARE(BandColumn(rows, "Range", 3), QStringList({"2021-05-01T00:00:00", "2021-05-15T12:00:00"}));
    }

    void exportOfAnEmptyListHasTitleAndClosingBandOnly()
    {
        TShownWorkbooks shown;
        TFormReportSumma form;
        form.show();
        form.EditGosnomerFilter->setText("нет такого");
        form.ButtonFilterClick();
        form.BtnPrintClick();
        const QJsonArray rows = ReadWorkbookRows(shown.Files.value(0));
        QCOMPARE(BandColumn(rows, "Range", 1), QStringList());
        QCOMPARE(BandIntColumn(rows, "Summa", 4), QList<int>({0}));
    }

    void secondExportAndClosingAreRefusedWhileOneRuns()
    {
        TShownWorkbooks shown;
        TFormReportSumma form;
        form.show();
        bool printEnabled = true, filterEnabled = true, closed = true;
        int shownDuringRun = -1;
        // Runs inside the export, when the engine lets pending events through.
        QTimer::singleShot(0, &form, [&] {
            printEnabled = form.BtnPrint->isEnabled();
            filterEnabled = form.ButtonFilter->isEnabled();
            form.BtnPrintClick();
            closed = form.close();
            shownDuringRun = int(shown.Files.size());
        });
        QTest::mouseClick(form.BtnPrint, Qt::LeftButton);
        QCOMPARE(shownDuringRun, 0);
        QVERIFY(!printEnabled);
        QVERIFY(!filterEnabled);
        QVERIFY(!closed);
        QCOMPARE(shown.Files.size(), 1);
        QCOMPARE(BandColumn(ReadWorkbookRows(shown.Files.at(0)), "Range", 1).size(), 5);
        QVERIFY(form.BtnPrint->isEnabled());
        QVERIFY(form.ButtonFilter->isEnabled());
    }

    void failedExportClosesProgressAndDropsTheWorkbook()
    {
        // A template without the closing band: the export fails after the rows.
        const QString templates = FCase->Db.ProgramPath() + "Templates/";
        QFile::remove(templates + "ШаблонОтчет_о_выручке.xlsx");
        QVERIFY(QFile::copy(templates + "ШаблонУчетВъездов.xlsx", templates + "ШаблонОтчет_о_выручке.xlsx"));
        TShownWorkbooks shown;
        TFormReportSumma form;
        form.show();
        TModalAnswer answer;
        answer.Press("Отмена");
        QTest::mouseClick(form.BtnPrint, Qt::LeftButton);
        QCOMPARE(answer.Seen().size(), 1);
        QCOMPARE(answer.Seen().at(0).ClassName, QString("TMessageForm"));
        QCOMPARE(shown.Files, QStringList());
        QVERIFY(!form.ExcelTemplate->IsOpen());
        QVERIFY(!form.ExcelTemplate->GetProgress());
        for (QWidget *window : QApplication::topLevelWidgets())
            QVERIFY2(window == &form || !window->isVisible(), qPrintable(window->metaObject()->className()));
        QVERIFY(form.BtnPrint->isEnabled());

        // A missing template is an error of its own and leaves nothing open either.
        QFile::remove(templates + "ШаблонОтчет_о_выручке.xlsx");
        answer.Press("Отмена");
        form.BtnPrint->click();
        QCOMPARE(answer.Seen().size(), 2);
        QVERIFY(answer.Seen().at(1).Text.contains("ШаблонОтчет_о_выручке.xlsx"));
        QVERIFY(!form.ExcelTemplate->IsOpen());
    }
};

QTEST_MAIN(TestReportsSumma)
#include "test_reports_summa.moc"
