// Builds the program's report templates into a folder (by default the
// source tree's Templates/): the receipt and the three list reports, each
// with its bands named in the hidden column A.
//
//   tool_make_templates [folder]
#include "platform/XlsxWorkbook.h"

#include <QCoreApplication>
#include <QDir>
#include <QStringList>

#include <cstdio>

namespace {

struct TColumn {
    QString Header;
    QString Variable;
    double Width;
    TXlsxHAlign Align;
};

struct TListReport {
    QString FileName;
    QString Title;
    QString Period;  // the line under the title
    QList<TColumn> Columns;
    QString TotalColumn;  // variable whose column gets the "Summa" band; empty: none
};

constexpr double BandColumnWidth = 8;

struct TStyles {
    int Title, Subtitle, Header, Cell, CellCentered, TotalLabel, Total, Plain, Bold;
    explicit TStyles(TXlsxWorkbook &book)
    {
        TXlsxStyle title;
        title.Font.Size = 14;
        title.Font.Bold = true;
        title.HAlign = TXlsxHAlign::Center;
        title.VAlign = TXlsxVAlign::Center;
        Title = book.AddStyle(title);

        TXlsxStyle subtitle;
        subtitle.Font.Size = 11;
        subtitle.HAlign = TXlsxHAlign::Center;
        subtitle.VAlign = TXlsxVAlign::Center;
        Subtitle = book.AddStyle(subtitle);

        TXlsxStyle header;
        header.Font.Bold = true;
        header.Border = true;
        header.HAlign = TXlsxHAlign::Center;
        header.VAlign = TXlsxVAlign::Center;
        header.Wrap = true;
        header.FillColor = QStringLiteral("FFD9D9D9");
        Header = book.AddStyle(header);

        TXlsxStyle cell;
        cell.Border = true;
        cell.VAlign = TXlsxVAlign::Center;
        cell.HAlign = TXlsxHAlign::Left;
        Cell = book.AddStyle(cell);
        cell.HAlign = TXlsxHAlign::Center;
        CellCentered = book.AddStyle(cell);

        TXlsxStyle totalLabel;
        totalLabel.Font.Bold = true;
        totalLabel.HAlign = TXlsxHAlign::Right;
        totalLabel.VAlign = TXlsxVAlign::Center;
        TotalLabel = book.AddStyle(totalLabel);
        totalLabel.Border = true;
        totalLabel.HAlign = TXlsxHAlign::Center;
        Total = book.AddStyle(totalLabel);

        TXlsxStyle plain;
        plain.VAlign = TXlsxVAlign::Center;
        Plain = book.AddStyle(plain);
        plain.Font.Bold = true;
        Bold = book.AddStyle(plain);
    }
};

// One row of a band: the band's name in column A, the row's height.
void BandRow(TXlsxSheet &sheet, int row, const QString &band, double height)
{
    sheet.SetText(row, 1, band);
    sheet.SetRowHeight(row, height);
}

void MergedText(TXlsxSheet &sheet, int row, int firstCol, int lastCol, const QString &text, int style)
{
    for (int c = firstCol; c <= lastCol; ++c)
        sheet.SetStyle(row, c, style);
    sheet.SetText(row, firstCol, text);
    if (lastCol > firstCol)
        sheet.MergeCells({row, firstCol, row, lastCol});
}

void FinishSheet(TXlsxWorkbook &book, TXlsxSheet &sheet, int lastCol, bool landscape)
{
    sheet.SetColumnWidth(1, BandColumnWidth);
    sheet.SetColumnHidden(1, true);
    sheet.SetLandscape(landscape);
    sheet.SetFitToWidth(true);
    // Whole columns, so that the area follows however many rows the report gets.
    book.SetDefinedName(QStringLiteral("_xlnm.Print_Area"),
                        "'" + sheet.Name() + "'!$B:$" + XlsxColumnName(lastCol), 1);
}

void BuildListReport(const TListReport &report, const QString &folder)
{
    auto book = TXlsxWorkbook::Create(QStringLiteral("Отчет"));
    TXlsxSheet &sheet = *book->Sheet(1);
    const TStyles styles(*book);
    const int firstCol = 2;
    const int lastCol = firstCol + int(report.Columns.size()) - 1;
    const QString title = QStringLiteral("Title");

    BandRow(sheet, 1, title, 24);
    MergedText(sheet, 1, firstCol, lastCol, report.Title, styles.Title);
    BandRow(sheet, 2, title, 18);
    MergedText(sheet, 2, firstCol, lastCol, report.Period, styles.Subtitle);
    BandRow(sheet, 3, title, 15);
    MergedText(sheet, 3, firstCol, lastCol, QStringLiteral("Дата формирования: #dt#"), styles.Subtitle);
    BandRow(sheet, 4, title, 8);
    BandRow(sheet, 5, title, 30);
    BandRow(sheet, 6, QStringLiteral("Range"), 15);
    int totalCol = 0;
    for (int i = 0; i < report.Columns.size(); ++i) {
        const TColumn &column = report.Columns[i];
        const int col = firstCol + i;
        sheet.SetColumnWidth(col, column.Width);
        sheet.SetStyle(5, col, styles.Header);
        sheet.SetText(5, col, column.Header);
        sheet.SetStyle(6, col, column.Align == TXlsxHAlign::Center ? styles.CellCentered : styles.Cell);
        sheet.SetText(6, col, column.Variable);
        if (column.Variable == report.TotalColumn)
            totalCol = col;
    }
    if (totalCol > 0) {
        const QString summa = QStringLiteral("Summa");
        BandRow(sheet, 7, summa, 18);
        MergedText(sheet, 7, firstCol, totalCol - 1, QStringLiteral("Итого, руб.:"), styles.TotalLabel);
        sheet.SetStyle(7, totalCol, styles.Total);
        sheet.SetText(7, totalCol, QStringLiteral("#SUM#"));
    }
    FinishSheet(*book, sheet, lastCol, true);
    book->SaveAs(QDir(folder).filePath(report.FileName));
}

void BuildReceipt(const QString &folder)
{
    auto book = TXlsxWorkbook::Create(QStringLiteral("Чек"));
    TXlsxSheet &sheet = *book->Sheet(1);
    const TStyles styles(*book);
    const QString title = QStringLiteral("Title");
    sheet.SetColumnWidth(2, 26);
    sheet.SetColumnWidth(3, 30);

    TXlsxStyle heading;
    heading.HAlign = TXlsxHAlign::Center;
    heading.VAlign = TXlsxVAlign::Center;
    heading.Wrap = true;
    heading.Font.Bold = true;
    const int headingStyle = book->AddStyle(heading);

    BandRow(sheet, 1, title, 72);  // the car park's name and up to four lines of particulars
    MergedText(sheet, 1, 2, 3, QStringLiteral("#TITLE#"), headingStyle);
    BandRow(sheet, 2, title, 8);
    BandRow(sheet, 3, title, 24);
    MergedText(sheet, 3, 2, 3, QStringLiteral("ЧЕК № #ID#"), styles.Title);
    const QList<QPair<QString, QString>> lines = {
        {QStringLiteral("Дата оплаты:"), QStringLiteral("#DT#")},
        {QStringLiteral("Тариф:"), QStringLiteral("#TARIF#")},
        {QStringLiteral("Госномер ТС:"), QStringLiteral("#AUTO#")},
        {QStringLiteral("Количество периодов:"), QStringLiteral("#COUNT#")},
        {QStringLiteral("Сумма, руб.:"), QStringLiteral("#SUMMA#")},
    };
    int row = 4;
    for (const auto &line : lines) {
        BandRow(sheet, row, title, 18);
        sheet.SetStyle(row, 2, styles.Cell);
        sheet.SetText(row, 2, line.first);
        sheet.SetStyle(row, 3, line.second == QLatin1String("#SUMMA#") ? styles.Total : styles.CellCentered);
        sheet.SetText(row, 3, line.second);
        ++row;
    }
    BandRow(sheet, row++, title, 8);
    BandRow(sheet, row, title, 18);
    MergedText(sheet, row++, 2, 3, QStringLiteral("Дата печати: #DATE_PRINT#"), styles.Plain);
    BandRow(sheet, row, title, 24);
    MergedText(sheet, row, 2, 3, QStringLiteral("Кассир: ______________________"), styles.Plain);
    FinishSheet(*book, sheet, 3, false);
    book->SaveAs(QDir(folder).filePath(QStringLiteral("ШаблонЧек.xlsx")));
}

QList<TColumn> StayColumns(const QString &paidHeader, double paidWidth)
{
    return {
        {QStringLiteral("№"), QStringLiteral("#NUM#"), 6, TXlsxHAlign::Center},
        {QStringLiteral("ID"), QStringLiteral("#ID#"), 8, TXlsxHAlign::Center},
        {QStringLiteral("Место"), QStringLiteral("#NAME#"), 20, TXlsxHAlign::Left},
        {QStringLiteral("Госномер ТС"), QStringLiteral("#GOSNOMER#"), 16, TXlsxHAlign::Center},
        {QStringLiteral("Время въезда"), QStringLiteral("#TIME_IN#"), 19, TXlsxHAlign::Center},
        {QStringLiteral("Время выезда"), QStringLiteral("#TIME_OUT#"), 19, TXlsxHAlign::Center},
        {QStringLiteral("Оплачено, руб."), QStringLiteral("#SUMMA#"), 12, TXlsxHAlign::Center},
        {paidHeader, QStringLiteral("#MINUTES#"), paidWidth, TXlsxHAlign::Center},
    };
}

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString folder = args.size() > 1 ? args[1] : QStringLiteral(TOLLVANE_SOURCE_DIR "/Templates");
    QDir().mkpath(folder);
    try {
        BuildReceipt(folder);
        BuildListReport({QStringLiteral("ШаблонОтчет_о_выручке.xlsx"), QStringLiteral("Отчет о выручке"),
                         QStringLiteral("Период: #dtstart# — #dtend#"),
                         {{QStringLiteral("№"), QStringLiteral("#NUM#"), 6, TXlsxHAlign::Center},
                          {QStringLiteral("Номер платежа"), QStringLiteral("#ID_PAYMENT#"), 12, TXlsxHAlign::Center},
                          {QStringLiteral("Время"), QStringLiteral("#DATE#"), 17, TXlsxHAlign::Center},
                          {QStringLiteral("Сумма, руб."), QStringLiteral("#SUMMA#"), 12, TXlsxHAlign::Center},
                          {QStringLiteral("Госномер ТС"), QStringLiteral("#GOSNOMER#"), 24, TXlsxHAlign::Left},
                          {QStringLiteral("Комментарий"), QStringLiteral("#COMMENT#"), 34, TXlsxHAlign::Left}},
                         QStringLiteral("#SUMMA#")},
                        folder);
        BuildListReport({QStringLiteral("ШаблонУчетВъездов.xlsx"), QStringLiteral("Учет въездов ТС"),
                         QStringLiteral("Период: #dtstart# — #dtend#"),
                         StayColumns(QStringLiteral("Оплачено, мин."), 12), QString()},
                        folder);
        BuildListReport({QStringLiteral("ШаблонОтчет_о_наличиеТС_на_парковке.xlsx"),
                         QStringLiteral("Отчет о наличии ТС на парковке"),
                         QStringLiteral("По состоянию на #dtstart# #dtend#"),
                         StayColumns(QStringLiteral("Оплачено"), 22), QString()},
                        folder);
    } catch (const TWorkbookError &error) {
        std::fprintf(stderr, "%s\n", qPrintable(error.Message()));
        return 1;
    }
    std::printf("Templates written to %s\n", qPrintable(folder));
    return 0;
}
