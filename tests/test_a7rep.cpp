// The template engine on real template files built here; every finished
// report is read back with openpyxl.
#include "platform/XlsxWorkbook.h"
#include "reports/A7Rep.h"
#include "support/OpenpyxlReader.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QLabel>
#include <QLocale>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

namespace {

QByteArray FileHash(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

void Band(TXlsxSheet &sheet, int row, const QString &name)
{
    sheet.SetText(row, 1, name);
}

}  // namespace

class TestA7Rep : public QObject {
    Q_OBJECT

private:
    QTemporaryDir FDir;
    QStringList FShown;
    TWorkbookViewer FDesktopViewer;

    QString Build(const QString &name, const std::function<void(TXlsxWorkbook &, TXlsxSheet &)> &fill)
    {
        auto book = TXlsxWorkbook::Create(QStringLiteral("Отчет"));
        fill(*book, *book->Sheet(1));
        const QString path = FDir.filePath(name);
        book->SaveAs(path);
        return path;
    }

    // Title (two rows, merged title, a label-variable-unit cell), Range
    // (one row with a bordered cell and a merged pair), Summa, a formula
    // below the bands and a row beyond the 301 rows of template.
    QString ReportTemplate()
    {
        return Build(QStringLiteral("report.xlsx"), [](TXlsxWorkbook &book, TXlsxSheet &s) {
            TXlsxStyle boxed;
            boxed.Border = true;
            const int style = book.AddStyle(boxed);
            Band(s, 1, "Title");
            s.SetText(1, 2, QStringLiteral("Отчет #dt#"));
            s.MergeCells({1, 2, 1, 4});
            s.SetRowHeight(1, 30);
            Band(s, 2, "Title");
            s.SetText(2, 2, QStringLiteral("Итого: #SUM# руб."));
            Band(s, 3, "Range");
            s.SetText(3, 2, QStringLiteral("#NUM#"));
            s.SetText(3, 3, QStringLiteral("#SUMMA#"));
            s.SetStyle(3, 3, style);
            s.SetText(3, 4, QStringLiteral("#TEXT#"));
            s.MergeCells({3, 4, 3, 5});
            s.SetRowHeight(3, 18);
            Band(s, 4, "Summa");
            s.SetText(4, 2, QStringLiteral("Всего"));
            s.SetText(4, 3, QStringLiteral("#TOTAL#"));
            s.SetFormula(5, 3, QStringLiteral("=C3*2"));
            s.SetText(302, 2, QStringLiteral("Хвост"));
        });
    }

    QJsonObject Finish(TA7Rep &rep)
    {
        rep.Show();
        return ReadWithOpenpyxl(rep.ShownFile());
    }

private slots:
    void initTestCase()
    {
        QVERIFY(FDir.isValid());
        // Finished reports land in the temporary folder: this test's own.
        qputenv("TMPDIR", FDir.path().toLocal8Bit());
        QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
        FDesktopViewer = TA7Rep::SetViewer([this](const QString &fileName) { FShown << fileName; });
    }

    void cleanupTestCase()
    {
        TA7Rep::SetViewer(FDesktopViewer);
    }

    void bandsArePastedAtTheCurrentLine()
    {
        TA7Rep rep;
        rep.OpenTemplate(ReportTemplate());
        rep.PasteBand("Title");
        QCOMPARE(rep.GetFirstBandLine(), 1);
        QCOMPARE(rep.GetLastBandLine(), 2);
        QCOMPARE(rep.GetCurrentLine(), 3);
        for (int copy = 0; copy < 3; ++copy) {
            rep.PasteBand("Range");
            QCOMPARE(rep.GetFirstBandLine(), 3 + copy);
            QCOMPARE(rep.GetLastBandLine(), 3 + copy);
        }
        QCOMPARE(rep.GetCurrentLine(), 6);
        // The formula below the bands moved with them and follows its row.
        QCOMPARE(rep.GetTemplateSheet()->Formula(10, 3), QStringLiteral("=C8*2"));

        const QJsonObject seen = Finish(rep);
        const QJsonObject sheet = seen["sheets"].toArray()[0].toObject();
        const QStringList bands = {"Title", "Title", "Range", "Range", "Range"};
        for (int r = 0; r < bands.size(); ++r)
            QCOMPARE(OpenpyxlCell(seen, "A" + QString::number(r + 1))["value"].toString(), bands[r]);
        // Rows 6 to 306 are gone: template row 302 is now row 6.
        QCOMPARE(OpenpyxlCell(seen, "B6")["value"].toString(), QStringLiteral("Хвост"));
        QCOMPARE(sheet["max_row"].toInt(), 6);
        QCOMPARE(sheet["merged"].toArray(), QJsonArray({"B1:D1", "D3:E3", "D4:E4", "D5:E5"}));
        QCOMPARE(sheet["heights"].toObject()["1"].toDouble(), 30.0);
        QCOMPARE(sheet["heights"].toObject()["5"].toDouble(), 18.0);
        QCOMPARE(OpenpyxlCell(seen, "C5")["border"].toString(), QStringLiteral("thin"));
    }

    void twoPastesOfOneBandAreIndependent()
    {
        TA7Rep rep;
        rep.OpenTemplate(ReportTemplate());
        rep.PasteBand("Title");
        rep.PasteBand("Range");
        rep.SetValue("#NUM#", 1);
        rep.PasteBand("Range");
        rep.SetValue("#NUM#", 2);
        rep.SetValue("#TEXT#", QStringLiteral("второй"));
        const QJsonObject seen = Finish(rep);
        QCOMPARE(OpenpyxlCell(seen, "B3")["value"].toDouble(), 1.0);
        QCOMPARE(OpenpyxlCell(seen, "B4")["value"].toDouble(), 2.0);
        QCOMPARE(OpenpyxlCell(seen, "D3")["value"].toString(), QStringLiteral("#TEXT#"));
        QCOMPARE(OpenpyxlCell(seen, "D4")["value"].toString(), QStringLiteral("второй"));
    }

    void bandSearchWindow_data()
    {
        QTest::addColumn<int>("firstRow");
        QTest::addColumn<int>("rows");
        QTest::addColumn<bool>("pasted");
        QTest::newRow("ends inside the window") << 299 << 1 << true;
        QTest::newRow("runs to the window's end") << 299 << 2 << false;
        QTest::newRow("starts past the window") << 301 << 1 << false;
        QTest::newRow("ends where another band starts") << 2 << 2 << true;
    }
    void bandSearchWindow()
    {
        QFETCH(int, firstRow);
        QFETCH(int, rows);
        QFETCH(bool, pasted);
        const QString path = Build(QStringLiteral("window.xlsx"), [&](TXlsxWorkbook &, TXlsxSheet &s) {
            Band(s, 1, "Other");
            for (int r = firstRow; r < firstRow + rows; ++r) {
                Band(s, r, "Far");
                s.SetText(r, 2, QStringLiteral("#V#"));
            }
            Band(s, firstRow + rows, "Other");
        });
        TA7Rep rep;
        rep.OpenTemplate(path, true);
        rep.PasteBand("Far");
        if (pasted) {
            QCOMPARE(rep.GetFirstBandLine(), 1);
            QCOMPARE(rep.GetLastBandLine(), rows);
            QCOMPARE(rep.GetCurrentLine(), rows + 1);
            rep.SetValue("#V#", 5);
            QCOMPARE(rep.GetTemplateSheet()->Value(1, 2).toDouble(), 5.0);
        } else {
            QCOMPARE(rep.GetLastBandLine(), 0);
            QCOMPARE(rep.GetCurrentLine(), 1);
            QVERIFY_THROWS_EXCEPTION(TWorkbookError, rep.SetValue("#V#", 5));
        }
    }

    void setValueWritesInTheLocale()
    {
        const QString path = Build(QStringLiteral("values.xlsx"), [](TXlsxWorkbook &, TXlsxSheet &s) {
            Band(s, 1, "Range");
            s.SetText(1, 2, QStringLiteral("#V#"));
            s.SetText(1, 3, QStringLiteral("#X#"));
            s.SetText(1, 4, QStringLiteral("Цена: #X#"));
            s.SetText(1, 5, QStringLiteral("Итого: #SUM# руб."));
            s.SetText(1, 6, QStringLiteral("#D#"));
        });
        TA7Rep rep;
        rep.OpenTemplate(path);
        rep.PasteBand("Range");
        rep.SetValue("#V#", QVariant());
        rep.SetValue("#X#", 12.5);
        rep.SetValue("#SUM#", 100);
        rep.SetValue("#D#", QDateTime(QDate(2021, 12, 31), QTime(23, 59, 0)));
        const QJsonObject seen = Finish(rep);
        QVERIFY(OpenpyxlCell(seen, "B1").isEmpty());
        QCOMPARE(OpenpyxlCell(seen, "C1")["type"].toString(), QStringLiteral("number"));
        QCOMPARE(OpenpyxlCell(seen, "C1")["value"].toDouble(), 12.5);
        QCOMPARE(OpenpyxlCell(seen, "D1")["value"].toString(), QStringLiteral("Цена: 12,5"));
        QCOMPARE(OpenpyxlCell(seen, "E1")["type"].toString(), QStringLiteral("text"));
        QCOMPARE(OpenpyxlCell(seen, "E1")["value"].toString(), QStringLiteral("Итого: 100 руб."));
        QCOMPARE(OpenpyxlCell(seen, "F1")["type"].toString(), QStringLiteral("date"));
        QCOMPARE(OpenpyxlCell(seen, "F1")["value"].toString(), QStringLiteral("2021-12-31T23:59:00"));
    }

    void getCellName_data()
    {
        QTest::addColumn<int>("col");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("name");
        QTest::newRow("A5") << 1 << 5 << "A5";
        QTest::newRow("Z1") << 26 << 1 << "Z1";
        QTest::newRow("AA1") << 27 << 1 << "AA1";
        QTest::newRow("AB3") << 28 << 3 << "AB3";
        QTest::newRow("AZ1") << 52 << 1 << "AZ1";
        QTest::newRow("BA1") << 53 << 1 << "BA1";
        QTest::newRow("ZZ1") << 702 << 1 << "ZZ1";
    }
    void getCellName()
    {
        QFETCH(int, col);
        QFETCH(int, row);
        QFETCH(QString, name);
        QCOMPARE(TA7Rep::GetCellName(col, row), name);
    }
    void getCellNameOutsideItsRange()
    {
        QVERIFY_THROWS_EXCEPTION(TWorkbookError, TA7Rep::GetCellName(703, 1));
        QVERIFY_THROWS_EXCEPTION(TWorkbookError, TA7Rep::GetCellName(0, 1));
    }

    void sumFormulas()
    {
        TA7Rep rep;
        rep.OpenTemplate(ReportTemplate());
        rep.PasteBand("Title");
        for (int n = 0; n < 8; ++n)
            rep.PasteBand("Range");
        rep.PasteBand("Summa");
        rep.SetSumFormula("#TOTAL#", 5, 9);
        rep.PasteBand("Summa");
        rep.SetSumFormula("#TOTAL#", 3, rep.GetCurrentLine());
        rep.PasteBand("Summa");
        rep.SetSumFormula("#TOTAL#", QStringLiteral("Range"));
        rep.PasteBand("Summa");
        rep.SetSumFormula("#TOTAL#", QStringLiteral("Нет такой"));
        const QJsonObject seen = Finish(rep);
        QCOMPARE(OpenpyxlCell(seen, "C11")["value"].toString(), QStringLiteral("=SUM(C5:C9)"));
        QVERIFY(OpenpyxlCell(seen, "C12").isEmpty());
        QCOMPARE(OpenpyxlCell(seen, "C13")["value"].toString(),
                 QStringLiteral("=C3+C4+C5+C6+C7+C8+C9+C10"));
        QVERIFY(OpenpyxlCell(seen, "C14").isEmpty());
    }

    void setValueFKeepsFormattingAndEnds()
    {
        const QString path = Build(QStringLiteral("rich.xlsx"), [](TXlsxWorkbook &, TXlsxSheet &s) {
            TXlsxFont bold;
            bold.Bold = true;
            TXlsxFont italic;
            italic.Italic = true;
            Band(s, 1, "Title");
            s.SetRichText(1, 2, {{QStringLiteral("Сумма: "), bold, true}, {QStringLiteral("#V# и #V#"), italic, true}});
            s.SetText(1, 3, QStringLiteral("#v# то #V#"));
        });
        TA7Rep rep;
        rep.OpenTemplate(path);
        rep.PasteBand("Title");
        rep.SetValueF("#V#", QStringLiteral("<#V#>"));  // the value holds the variable itself
        const QJsonObject seen = Finish(rep);
        QCOMPARE(OpenpyxlCell(seen, "B1")["value"].toString(), QStringLiteral("Сумма: <#V#> и <#V#>"));
        QCOMPARE(OpenpyxlCell(seen, "C1")["value"].toString(), QStringLiteral("#v# то <#V#>"));
        const QJsonArray runs = seen["sheets"].toArray()[0].toObject()["runs"].toObject()["B1"].toArray();
        QCOMPARE(runs.size(), 2);
        QVERIFY(runs[0].toObject()["bold"].toBool());
        QCOMPARE(runs[1].toObject()["text"].toString(), QStringLiteral("<#V#> и <#V#>"));
        QVERIFY(runs[1].toObject()["italic"].toBool());
    }

    void setValueAsTextKeepsText()
    {
        const QString path = Build(QStringLiteral("astext.xlsx"), [](TXlsxWorkbook &, TXlsxSheet &s) {
            Band(s, 1, "Range");
            s.SetText(1, 2, QStringLiteral("#CODE#"));
            s.SetText(1, 3, QStringLiteral("#NUM#"));
            s.SetText(1, 4, QStringLiteral("код #CODE#"));
        });
        TA7Rep rep;
        rep.OpenTemplate(path);
        rep.PasteBand("Range");
        rep.SetValueAsText("#CODE#", QStringLiteral("007"));
        rep.SetValue("#NUM#", QStringLiteral("007"));
        rep.SetValueAsText(5, 1, QStringLiteral("01.02.2021"));
        const QJsonObject seen = Finish(rep);
        QCOMPARE(OpenpyxlCell(seen, "B1")["value"].toString(), QStringLiteral("007"));
        QCOMPARE(OpenpyxlCell(seen, "B1")["format"].toString(), QStringLiteral("@"));
        QCOMPARE(OpenpyxlCell(seen, "C1")["value"].toDouble(), 7.0);
        QCOMPARE(OpenpyxlCell(seen, "D1")["value"].toString(), QStringLiteral("код #CODE#"));
        QCOMPARE(OpenpyxlCell(seen, "E1")["value"].toString(), QStringLiteral("01.02.2021"));
    }

    void comments()
    {
        TA7Rep rep;
        rep.OpenTemplate(ReportTemplate());
        rep.PasteBand("Title");
        QCOMPARE(rep.GetComment("#nothing#"), QString());
        rep.SetComment("#dt#", QStringLiteral("примечание"));
        QCOMPARE(rep.GetComment("#dt#"), QStringLiteral("примечание"));
        QCOMPARE(rep.GetAndClearComment("#dt#"), QStringLiteral("примечание"));
        QVERIFY_THROWS_EXCEPTION(TWorkbookError, rep.GetComment("#dt#"));
        rep.SetComment("#SUM#", 42);
        QCOMPARE(rep.GetAndClearComment(2, 2), QStringLiteral("42"));
        rep.SetComment("#SUM#", QStringLiteral("остается"));
        const QJsonObject seen = Finish(rep);
        QVERIFY(OpenpyxlCell(seen, "B1")["comment"].isNull());
        QCOMPARE(OpenpyxlCell(seen, "B2")["comment"].toString(), QStringLiteral("остается"));
    }

    void secondSheet()
    {
        const QString path = Build(QStringLiteral("sheets.xlsx"), [](TXlsxWorkbook &book, TXlsxSheet &s) {
            Band(s, 1, "Title");
            s.SetText(1, 2, QStringLiteral("первый #V#"));
            TXlsxSheet &second = *book.AddSheet(QStringLiteral("Второй"));
            Band(second, 1, "Title");
            second.SetText(1, 2, QStringLiteral("второй #V#"));
        });
        TA7Rep rep;
        rep.OpenTemplate(path);
        rep.PasteBand("Title");
        rep.SetValue("#V#", 1);
        rep.OpenWorkSheet(QStringLiteral("Второй"));
        QCOMPARE(rep.GetProgress()->L3->text(), QStringLiteral("Лист: Второй"));
        QCOMPARE(rep.GetCurrentLine(), 1);
        rep.PasteBand("Title");
        rep.SetValue("#V#", 2);
        const QJsonObject seen = Finish(rep);
        QCOMPARE(OpenpyxlCell(seen, "B1", 0)["value"].toString(), QStringLiteral("первый 1"));
        QCOMPARE(OpenpyxlCell(seen, "B1", 1)["value"].toString(), QStringLiteral("второй 2"));
        QCOMPARE(seen["sheets"].toArray()[0].toObject()["max_row"].toInt(), 1);
        QCOMPARE(seen["sheets"].toArray()[1].toObject()["max_row"].toInt(), 1);

        rep.OpenTemplate(path);
        QVERIFY_THROWS_EXCEPTION(TWorkbookError, rep.OpenWorkSheet(QStringLiteral("Нет")));
        QVERIFY(!rep.IsOpen());
        QVERIFY(!rep.GetProgress());
    }

    void showLeavesTheTemplateAlone()
    {
        const QString path = ReportTemplate();
        const QByteArray before = FileHash(path);
        FShown.clear();
        TA7Rep rep;
        rep.OpenTemplate(path);
        rep.PasteBand("Title");
        rep.SetValue("#dt#", QStringLiteral("01.02.2021"));
        rep.Show();
        QCOMPARE(FileHash(path), before);
        QCOMPARE(FShown, QStringList{rep.ShownFile()});
        const QFileInfo shown(rep.ShownFile());
        QVERIFY(shown.isFile());
        QVERIFY(shown.fileName().startsWith(QStringLiteral("report_")));
        QCOMPARE(shown.absolutePath(),
                 QDir(QStandardPaths::writableLocation(QStandardPaths::TempLocation)).filePath("Tollvane"));
        QVERIFY(!rep.IsOpen());
        QVERIFY(!rep.GetProgress());
    }

    void progressWindow()
    {
        TA7Rep rep;
        rep.OpenTemplate(ReportTemplate());
        TA7Progress *progress = rep.GetProgress();
        QVERIFY(progress);
        QVERIFY(progress->F->isVisible());
        QCOMPARE(progress->F->size(), QSize(150, 90));
        QVERIFY(progress->F->windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(progress->F->windowFlags() & Qt::WindowStaysOnTopHint);
        QCOMPARE(progress->L1->text(), QStringLiteral("Формирование отчета"));
        QCOMPARE(progress->L1->geometry().topLeft(), QPoint(15, 20));
        QCOMPARE(progress->L3->text(), QStringLiteral("Лист: 1"));
        rep.PasteBand("Title");
        QCOMPARE(progress->L2->text(), QStringLiteral("Строка: 3"));
        rep.Show();
        QVERIFY(!rep.GetProgress());

        rep.OpenTemplate(ReportTemplate(), true);
        QVERIFY(!rep.GetProgress());
        rep.Abort();
    }

    void errorsEndTheRun()
    {
        TA7Rep rep;
        try {
            rep.OpenTemplate(FDir.filePath("нет.xlsx"));
            QFAIL("a missing template opened");
        } catch (const TWorkbookError &e) {
            QVERIFY(e.Message().contains(QStringLiteral("нет.xlsx")));
        }
        QVERIFY(!rep.GetProgress());

        // A template without a "Title" band fails at the first value; the
        // guard around the export closes the window and drops the workbook.
        try {
            TA7RepGuard guard(rep);
            rep.OpenTemplate(ReportTemplate());
            rep.PasteBand("Нет такой");
            QVERIFY(rep.GetProgress());
            rep.SetValue("#dt#", 1);
            QFAIL("a value was set without a band");
        } catch (const TWorkbookError &e) {
            QVERIFY(e.Message().contains(QStringLiteral("Недопустимый диапазон строк")));
        }
        QVERIFY(!rep.IsOpen());
        QVERIFY(!rep.GetProgress());
    }
};

QTEST_MAIN(TestA7Rep)
#include "test_a7rep.moc"
