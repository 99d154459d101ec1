// The workbook layer on real files: what it writes is read back by openpyxl
// and by the layer itself; what other writers produce is read by the layer.
#include "platform/XlsxWorkbook.h"
#include "support/OpenpyxlReader.h"

#include <QCryptographicHash>
#include <QFile>
#include <QJsonArray>
#include <QLocale>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

class TestXlsxWorkbook : public QObject {
    Q_OBJECT

private:
    QTemporaryDir FDir;
    QString Path(const QString &name) const { return FDir.filePath(name); }

    // A sheet with merged cells, a styled row, a formula below and a name.
    std::unique_ptr<TXlsxWorkbook> SampleBook()
    {
        auto book = TXlsxWorkbook::Create(QStringLiteral("Лист 1"));
        TXlsxSheet &s = *book->Sheet(1);
        TXlsxStyle bold;
        bold.Font.Bold = true;
        bold.Border = true;
        const int style = book->AddStyle(bold);
        s.SetText(1, 2, QStringLiteral("Заголовок"));
        s.MergeCells({1, 2, 1, 4});
        for (int r = 2; r <= 4; ++r) {
            s.SetNumber(r, 3, r * 10);
            s.SetStyle(r, 3, style);
            s.SetRowHeight(r, 20 + r);
        }
        s.MergeCells({3, 4, 4, 5});
        s.SetFormula(6, 3, QStringLiteral("=SUM(C2:C4)+C$2+'Лист 1'!C4"));
        s.SetComment(4, 2, QStringLiteral("заметка"));
        book->SetDefinedName(QStringLiteral("_xlnm.Print_Area"), QStringLiteral("'Лист 1'!$B$1:$E$6"), 1);
        return book;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(FDir.isValid());
        QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    }

    void referencesMoveWithInsertedAndDeletedRows_data()
    {
        QTest::addColumn<QString>("formula");
        QTest::addColumn<int>("at");
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("remove");
        QTest::addColumn<QString>("expected");
        QTest::newRow("range grows") << "SUM(A1:A5)" << 3 << 2 << false << "SUM(A1:A7)";
        QTest::newRow("below moves") << "A5*$B$6" << 5 << 1 << false << "A6*$B$7";
        QTest::newRow("above stays") << "A2+B3" << 4 << 10 << false << "A2+B3";
        QTest::newRow("text and function names") << "\"A5\"&LOG10(A5)&TOTAL2" << 1 << 1 << false
                                                 << "\"A5\"&LOG10(A6)&TOTAL2";
        QTest::newRow("other sheet untouched") << "Other!A5+'Лист 1'!A5+A5" << 1 << 1 << false
                                               << "Other!A5+'Лист 1'!A6+A6";
        QTest::newRow("whole rows and columns") << "SUM(5:9)+SUM(C:D)" << 6 << 1 << false << "SUM(5:10)+SUM(C:D)";
        QTest::newRow("deleted cell") << "A5+A9" << 5 << 2 << true << "#REF!+A7";
        QTest::newRow("range shrinks") << "SUM(A3:A8)" << 4 << 3 << true << "SUM(A3:A5)";
        QTest::newRow("range start deleted") << "SUM(A3:A8)" << 2 << 3 << true << "SUM(A2:A5)";
        QTest::newRow("range wholly deleted") << "SUM(A3:A4)" << 3 << 2 << true << "SUM(#REF!)";
    }
    void referencesMoveWithInsertedAndDeletedRows()
    {
        QFETCH(QString, formula);
        QFETCH(int, at);
        QFETCH(int, count);
        QFETCH(bool, remove);
        QFETCH(QString, expected);
        const TXlsxRowShift shift{at, count, remove};
        const QString result = XlsxRewriteFormula(formula, [&](const QString &sheet, TXlsxArea &area) {
            return (!sheet.isEmpty() && !XlsxSameSheet(sheet, QStringLiteral("Лист 1")))
                || XlsxShiftArea(area, shift);
        });
        QCOMPARE(result, expected);
    }

    void roundTripThroughOpenpyxl()
    {
        auto book = SampleBook();
        TXlsxSheet &s = *book->Sheet(1);
        s.SetText(7, 2, QStringLiteral("  пробелы  "));
        s.SetText(8, 2, QStringLiteral("строка 1\r\nстрока 2"));
        book->SaveAs(Path("round.xlsx"));

        const QJsonObject seen = ReadWithOpenpyxl(Path("round.xlsx"));
        const QJsonObject sheet = seen["sheets"].toArray()[0].toObject();
        QCOMPARE(sheet["name"].toString(), QStringLiteral("Лист 1"));
        QCOMPARE(OpenpyxlCell(seen, "B1")["value"].toString(), QStringLiteral("Заголовок"));
        QCOMPARE(OpenpyxlCell(seen, "C3")["value"].toDouble(), 30.0);
        QVERIFY(OpenpyxlCell(seen, "C3")["bold"].toBool());
        QCOMPARE(OpenpyxlCell(seen, "C3")["border"].toString(), QStringLiteral("thin"));
        QCOMPARE(OpenpyxlCell(seen, "C6")["value"].toString(), QStringLiteral("=SUM(C2:C4)+C$2+'Лист 1'!C4"));
        QCOMPARE(OpenpyxlCell(seen, "B4")["comment"].toString(), QStringLiteral("заметка"));
        QCOMPARE(OpenpyxlCell(seen, "B7")["value"].toString(), QStringLiteral("  пробелы  "));
        QCOMPARE(OpenpyxlCell(seen, "B8")["value"].toString(), QStringLiteral("строка 1\r\nстрока 2"));
        QCOMPARE(sheet["merged"].toArray(), QJsonArray({"B1:D1", "D3:E4"}));
        QCOMPARE(sheet["heights"].toObject()["3"].toDouble(), 23.0);

        auto again = TXlsxWorkbook::Open(Path("round.xlsx"));
        TXlsxSheet &t = *again->Sheet(1);
        QCOMPARE(t.Text(8, 2), QStringLiteral("строка 1\r\nстрока 2"));
        QCOMPARE(t.Comment(4, 2), QStringLiteral("заметка"));
        QCOMPARE(t.MergedRanges().size(), 2);
        QCOMPARE(t.RowHeight(4), 24.0);
        QCOMPARE(again->DefinedName("_xlnm.Print_Area", 1), QStringLiteral("'Лист 1'!$B$1:$E$6"));
    }

    void insertedCopyMovesEverythingBelow()
    {
        auto book = SampleBook();
        TXlsxSheet &s = *book->Sheet(1);
        s.InsertCopiedRows(3, 4, 2);  // rows 3-4 copied in before row 2
        book->SaveAs(Path("copy.xlsx"));
        const QJsonObject seen = ReadWithOpenpyxl(Path("copy.xlsx"));
        const QJsonObject sheet = seen["sheets"].toArray()[0].toObject();
        QCOMPARE(OpenpyxlCell(seen, "C2")["value"].toDouble(), 30.0);
        QCOMPARE(OpenpyxlCell(seen, "C3")["value"].toDouble(), 40.0);
        QCOMPARE(OpenpyxlCell(seen, "C4")["value"].toDouble(), 20.0);
        QCOMPARE(OpenpyxlCell(seen, "C8")["value"].toString(), QStringLiteral("=SUM(C4:C6)+C$4+'Лист 1'!C6"));
        QCOMPARE(OpenpyxlCell(seen, "B3")["comment"].toString(), QStringLiteral("заметка"));
        QCOMPARE(OpenpyxlCell(seen, "B6")["comment"].toString(), QStringLiteral("заметка"));
        QCOMPARE(sheet["merged"].toArray(), QJsonArray({"B1:D1", "D2:E3", "D5:E6"}));
        const QJsonObject heights = sheet["heights"].toObject();
        QCOMPARE(heights["2"].toDouble(), 23.0);
        QCOMPARE(heights["3"].toDouble(), 24.0);
        QCOMPARE(heights["4"].toDouble(), 22.0);
        QCOMPARE(sheet["print_area"].toString(), QStringLiteral("$B$1:$E$8"));
    }

    void deletedRowsPullEverythingUp()
    {
        auto book = SampleBook();
        TXlsxSheet &s = *book->Sheet(1);
        s.DeleteRows(2, 3);
        QCOMPARE(s.Formula(4, 3), QStringLiteral("=SUM(C2:C2)+#REF!+'Лист 1'!C2"));
        QCOMPARE(s.Value(2, 3).toDouble(), 40.0);
        QCOMPARE(s.Comment(2, 2), QStringLiteral("заметка"));
        QList<TXlsxRange> merges = s.MergedRanges();
        QCOMPARE(merges.size(), 2);
        QCOMPARE(merges[1], (TXlsxRange{2, 4, 2, 5}));
        QCOMPARE(book->DefinedName("_xlnm.Print_Area", 1), QStringLiteral("'Лист 1'!$B$1:$E$4"));
    }

    void replaceEntersTheNewTextAnew_data()
    {
        QTest::addColumn<QString>("cell");
        QTest::addColumn<QString>("with");
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("format");
        QTest::newRow("fraction") << "#V#" << "12,5" << "number" << "12.5" << "General";
        QTest::newRow("whole number") << "#V#" << "150" << "number" << "150" << "General";
        QTest::newRow("negative") << "#V#" << "-3" << "number" << "-3" << "General";
        QTest::newRow("dot is no separator here") << "#V#" << "12.5" << "text" << "12.5" << "General";
        QTest::newRow("date") << "#V#" << "05.03.2021" << "date" << "2021-03-05T00:00:00" << "dd.mm.yyyy";
        QTest::newRow("date and time") << "#V#" << "05.03.2021 14:30" << "date" << "2021-03-05T14:30:00"
                                       << "dd.mm.yyyy hh:mm";
        QTest::newRow("inside a longer text") << "Итого: #V# руб." << "100" << "text" << "Итого: 100 руб."
                                              << "General";
        QTest::newRow("letter case ignored") << "#v#" << "7" << "number" << "7" << "General";
        QTest::newRow("formula") << "#V#" << "=1+2" << "formula" << "=1+2" << "General";
        QTest::newRow("not a date") << "#V#" << "31.02.2021" << "text" << "31.02.2021" << "General";
        QTest::newRow("plate number") << "#V#" << "А123ВС77" << "text" << "А123ВС77" << "General";
    }
    void replaceEntersTheNewTextAnew()
    {
        QFETCH(QString, cell);
        QFETCH(QString, with);
        QFETCH(QString, type);
        QFETCH(QString, value);
        QFETCH(QString, format);
        auto book = TXlsxWorkbook::Create(QStringLiteral("S"));
        TXlsxSheet &s = *book->Sheet(1);
        s.SetText(1, 2, cell);
        QCOMPARE(s.Replace(1, 1, QStringLiteral("#V#"), with), 1);
        book->SaveAs(Path("replace.xlsx"));
        const QJsonObject c = OpenpyxlCell(ReadWithOpenpyxl(Path("replace.xlsx")), "B1");
        QCOMPARE(c["type"].toString(), type);
        QCOMPARE(c["value"].toVariant().toString(), value);
        QCOMPARE(c["format"].toString(), format);
    }

    void textFormatKeepsDigitsAsText()
    {
        auto book = TXlsxWorkbook::Create(QStringLiteral("S"));
        TXlsxSheet &s = *book->Sheet(1);
        s.SetText(1, 1, QStringLiteral("#V#"));
        s.SetNumberFormat(1, 1, QStringLiteral("@"));
        s.Replace(1, 1, QStringLiteral("#V#"), QStringLiteral("007"));
        s.SetValue(2, 1, QStringLiteral("007"));
        book->SaveAs(Path("text.xlsx"));
        const QJsonObject seen = ReadWithOpenpyxl(Path("text.xlsx"));
        QCOMPARE(OpenpyxlCell(seen, "A1")["value"].toString(), QStringLiteral("007"));
        QCOMPARE(OpenpyxlCell(seen, "A1")["format"].toString(), QStringLiteral("@"));
        QCOMPARE(OpenpyxlCell(seen, "A2")["value"].toDouble(), 7.0);
    }

    void replacingCharactersKeepsRichTextRuns()
    {
        auto book = TXlsxWorkbook::Create(QStringLiteral("S"));
        TXlsxSheet &s = *book->Sheet(1);
        TXlsxFont bold;
        bold.Bold = true;
        TXlsxFont italic;
        italic.Italic = true;
        s.SetRichText(1, 1, {{QStringLiteral("Сумма: "), bold, true}, {QStringLiteral("#S# руб."), italic, true}});
        s.ReplaceCharacters(1, 1, 8, 3, QStringLiteral("150"));
        book->SaveAs(Path("rich.xlsx"));
        const QJsonArray runs =
            ReadWithOpenpyxl(Path("rich.xlsx"))["sheets"].toArray()[0].toObject()["runs"].toObject()["A1"].toArray();
        QCOMPARE(runs.size(), 2);
        QCOMPARE(runs[0].toObject()["text"].toString(), QStringLiteral("Сумма: "));
        QVERIFY(runs[0].toObject()["bold"].toBool());
        QCOMPARE(runs[1].toObject()["text"].toString(), QStringLiteral("150 руб."));
        QVERIFY(runs[1].toObject()["italic"].toBool());
        QVERIFY(!runs[1].toObject()["bold"].toBool());
    }

    void commentsAddReadRemove()
    {
        auto book = TXlsxWorkbook::Create(QStringLiteral("S"));
        TXlsxSheet &s = *book->Sheet(1);
        s.SetText(2, 2, QStringLiteral("x"));
        s.SetComment(2, 2, QStringLiteral("первая"));
        s.SetComment(3, 3, QStringLiteral("вторая"));
        s.ClearComment(3, 3);
        QVERIFY(!s.HasComment(3, 3));
        QVERIFY_THROWS_EXCEPTION(TWorkbookError, s.Comment(3, 3));
        book->SaveAs(Path("notes.xlsx"));
        const QJsonObject seen = ReadWithOpenpyxl(Path("notes.xlsx"));
        QCOMPARE(OpenpyxlCell(seen, "B2")["comment"].toString(), QStringLiteral("первая"));
        QVERIFY(OpenpyxlCell(seen, "C3").isEmpty());
    }

    void readsWhatOtherWritersWrite()
    {
        const QString script = QStringLiteral(TEST_SOURCE_DIR "/support/write_foreign_workbook.py");
        QProcess python;
        python.start(QStringLiteral("/usr/bin/python3"), {script, Path("other.xlsx")});
        QVERIFY(python.waitForFinished(60000));
        QCOMPARE(python.exitCode(), 0);
        auto book = TXlsxWorkbook::Open(Path("other.xlsx"));
        TXlsxSheet &s = *book->SheetByName(QStringLiteral("data"));
        QCOMPARE(s.Text(1, 1), QStringLiteral("встроенный"));
        QCOMPARE(s.Formula(2, 3), QStringLiteral("=B2*10"));
        QCOMPARE(s.Comment(1, 1), QStringLiteral("from openpyxl"));
        s.InsertRows(1, 1);
        book->SaveAs(Path("other-out.xlsx"));
        const QJsonObject seen = ReadWithOpenpyxl(Path("other-out.xlsx"));
        QCOMPARE(OpenpyxlCell(seen, "A2")["value"].toString(), QStringLiteral("встроенный"));
        QCOMPARE(OpenpyxlCell(seen, "C3")["value"].toString(), QStringLiteral("=B3*10"));
        QCOMPARE(OpenpyxlCell(seen, "A2")["comment"].toString(), QStringLiteral("from openpyxl"));
    }

    void sourceFileIsNeverWritten()
    {
        SampleBook()->SaveAs(Path("source.xlsx"));
        QFile file(Path("source.xlsx"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray before = QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
        file.close();
        auto book = TXlsxWorkbook::Open(Path("source.xlsx"));
        book->Sheet(1)->SetText(1, 1, QStringLiteral("changed"));
        QVERIFY_THROWS_EXCEPTION(TWorkbookError, book->SaveAs(Path("source.xlsx")));
        book->SaveAs(Path("other-copy.xlsx"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256), before);
    }

    void errorsCarryClearMessages()
    {
        try {
            TXlsxWorkbook::Open(Path("missing.xlsx"));
            QFAIL("a missing file opened");
        } catch (const TWorkbookError &e) {
            QVERIFY(e.Message().contains(QStringLiteral("не найден")));
            QVERIFY(e.Message().contains(QStringLiteral("missing.xlsx")));
        }
        QFile junk(Path("junk.xlsx"));
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write("not a workbook");
        junk.close();
        QVERIFY_THROWS_EXCEPTION(TWorkbookError, TXlsxWorkbook::Open(Path("junk.xlsx")));
        auto book = TXlsxWorkbook::Create(QStringLiteral("S"));
        try {
            book->Sheet(1)->Replace(0, 0, QStringLiteral("#A#"), QString());
            QFAIL("an invalid row range was accepted");
        } catch (const TWorkbookError &e) {
            QCOMPARE(e.Message(), QStringLiteral("Недопустимый диапазон строк: 0:0"));
        }
        QVERIFY_THROWS_EXCEPTION(TWorkbookError, book->Sheet(2));
    }
};

QTEST_GUILESS_MAIN(TestXlsxWorkbook)
#include "test_xlsx_workbook.moc"
