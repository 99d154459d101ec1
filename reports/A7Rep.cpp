#include "reports/A7Rep.h"

#include "platform/XlsxWorkbook.h"

#include <QApplication>
#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLabel>
#include <QLocale>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>
#include <QUrl>
#include <QWidget>

#include <cmath>

namespace {

// A band starts within this many rows of the current line; the same number
// of rows, plus one, is what remains of the template when a sheet is done.
constexpr int BandWindow = 300;
// The progress window repaints at most this often, so that painting does
// not cost more than building the report.
constexpr qint64 RepaintMs = 40;

TWorkbookViewer &Viewer()
{
    static TWorkbookViewer viewer = &TA7Rep::ShowInDesktop;
    return viewer;
}

QElapsedTimer &Clock()
{
    static QElapsedTimer clock;
    if (!clock.isValid())
        clock.start();
    return clock;
}

QLabel *ProgressLabel(QWidget *parent, int left, int top, const QString &text)
{
    auto *label = new QLabel(text, parent);
    label->setGeometry(left, top, 100, 16);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

}  // namespace

// ---------------------------------------------------------------- TA7Progress

TA7Progress::TA7Progress(QWidget *owner)
    : F(new QWidget(owner, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint))
{
    F->setFixedSize(150, 90);
    QPalette palette = F->palette();
    palette.setColor(QPalette::Window, Qt::white);
    F->setPalette(palette);
    F->setAutoFillBackground(true);
    L1 = ProgressLabel(F, 15, 20, QStringLiteral("Формирование отчета"));
    L2 = ProgressLabel(F, 30, 40, QString());
    L3 = ProgressLabel(F, 30, 60, QString());
    if (QScreen *screen = QGuiApplication::primaryScreen())
        F->move(screen->availableGeometry().center() - QPoint(75, 45));
    F->show();
}

TA7Progress::~TA7Progress()
{
    delete F;
}

void TA7Progress::Line(int line)
{
    const qint64 now = Clock().elapsed();
    if (FLastPaint >= 0 && now - FLastPaint < RepaintMs)
        return;
    FLastPaint = now;
    L2->setText(QStringLiteral("Строка: ") + QString::number(line));
    QCoreApplication::processEvents();
}

// ---------------------------------------------------------------- TA7Rep

TA7Rep::TA7Rep(QObject *owner) : QObject(owner)
{
}

TA7Rep::~TA7Rep() = default;

TWorkbookViewer TA7Rep::SetViewer(TWorkbookViewer viewer)
{
    TWorkbookViewer previous = Viewer();
    Viewer() = std::move(viewer);
    return previous;
}

void TA7Rep::ShowInDesktop(const QString &fileName)
{
    const QString office = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    const bool started = !office.isEmpty()
        ? QProcess::startDetached(office, {QStringLiteral("--calc"), QStringLiteral("-n"), fileName})
        : QDesktopServices::openUrl(QUrl::fromLocalFile(fileName));
    if (!started)
        throw TWorkbookError(QStringLiteral("Не удалось открыть отчет %1: нет программы для книг .xlsx").arg(fileName));
}

TXlsxSheet &TA7Rep::Sheet() const
{
    if (!TemplateSheet)
        throw TWorkbookError(QStringLiteral("Шаблон отчета не открыт"));
    return *TemplateSheet;
}

void TA7Rep::UseSheet(TXlsxSheet *sheet, const QString &label)
{
    TemplateSheet = sheet;
    CurrentLine = 1;
    MaxBandColumns = sheet->UsedColumnCount();
    if (Progress)
        Progress->L3->setText(QStringLiteral("Лист: ") + label);
}

void TA7Rep::OpenTemplate(const QString &FileName)
{
    OpenTemplate(FileName, false);
}

void TA7Rep::OpenTemplate(const QString &FileName, bool Visible)
{
    Abort();
    if (!QFileInfo(FileName).isFile())
        throw TWorkbookError(QStringLiteral("Шаблон отчета не найден: %1").arg(FileName));
    Excel = TXlsxWorkbook::Open(FileName);
    FTemplateName = FileName;
    isVisible = Visible;
    if (!Visible)
        Progress = std::make_unique<TA7Progress>(nullptr);
    QCoreApplication::processEvents();
    UseSheet(Excel->Sheet(1), QStringLiteral("1"));
}

void TA7Rep::OpenWorkSheet(const QString &Name)
{
    try {
        Sheet().DeleteRows(CurrentLine, CurrentLine + BandWindow);
        TXlsxSheet *next = Name.isEmpty() ? Excel->Sheet(1) : Excel->SheetByName(Name);
        if (!next)
            throw TWorkbookError(QStringLiteral("В шаблоне нет листа «%1»").arg(Name));
        UseSheet(next, Name);
    } catch (...) {
        Abort();
        throw;
    }
}

void TA7Rep::PasteBand(const QString &BandName)
{
    TXlsxSheet &sheet = Sheet();
    FirstBandLine = 0;
    LastBandLine = 0;
    int i = CurrentLine;
    while (LastBandLine == 0 && i < CurrentLine + BandWindow) {
        const bool holdsName = sheet.IsText(i, 1) && sheet.Text(i, 1) == BandName;
        if (FirstBandLine == 0 && holdsName)
            FirstBandLine = i;
        if (FirstBandLine != 0 && !holdsName)
            LastBandLine = i - 1;
        ++i;
    }
    if (LastBandLine <= 0)
        return;
    const int h = LastBandLine - FirstBandLine;
    sheet.InsertCopiedRows(FirstBandLine, LastBandLine, CurrentLine);
    FirstBandLine = CurrentLine;
    LastBandLine = CurrentLine + h;
    CurrentLine = LastBandLine + 1;
    if (!isVisible && Progress)
        Progress->Line(CurrentLine);
}

QString TA7Rep::ValueText(const QVariant &value)
{
    if (value.isNull())
        return QString();
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return QString::number(value.toLongLong());
    case QMetaType::QString:
        return value.toString();
    default:
        break;
    }
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float: {
        const double number = value.toDouble();
        if (std::floor(number) == number && std::fabs(number) < 1e15)
            return QString::number(qint64(number));
        return locale.toString(number, 'g', 15);
    }
    case QMetaType::QDate:
        return locale.toString(value.toDate(), QLocale::ShortFormat);
    case QMetaType::QDateTime: {
        // The long time form without the zone name that Qt adds to it.
        QString timeFormat = locale.timeFormat(QLocale::LongFormat);
        timeFormat.remove(QLatin1String(" t")).remove(QLatin1Char('t'));
        const QDateTime moment = value.toDateTime();
        return locale.toString(moment.date(), QLocale::ShortFormat) + ' '
            + locale.toString(moment.time(), timeFormat.trimmed());
    }
    default:
        return value.toString();
    }
}

void TA7Rep::SetValue(const QString &VarName, const QVariant &Value)
{
    Sheet().Replace(FirstBandLine, LastBandLine, VarName, ValueText(Value));
}

void TA7Rep::SetValue(int X, int Y, const QVariant &Value)
{
    Sheet().SetValue(Y, X, Value.isNull() ? QVariant(QString()) : Value);
}

void TA7Rep::ExcelFind(const QString &Value, int &aCol, int &aRow, int Where)
{
    Q_UNUSED(Where);  // cell values are the only thing a workbook file lets us look in
    Sheet().Find(FirstBandLine, LastBandLine, Value, aRow, aCol);
}

void TA7Rep::SetValueF(const QString &VarName, const QVariant &Value)
{
    // Each occurrence that the band holds is replaced once, in reading
    // order: the search goes on after the text just inserted, and a cell
    // found only by a different letter case is passed over. A value that
    // contains the variable therefore cannot be found again, and the loop
    // ends after the last cell of the band.
    TXlsxSheet &sheet = Sheet();
    const QString text = ValueText(Value);
    int fromRow = FirstBandLine, fromCol = 1, offset = 0;
    int col = 0, row = 0;
    while (sheet.Find(FirstBandLine, LastBandLine, VarName, row, col, fromRow, fromCol)) {
        if (row != fromRow || col != fromCol)
            offset = 0;
        const int p = sheet.Value(row, col).toString().indexOf(VarName, offset, Qt::CaseSensitive) + 1;
        if (p > 0) {
            sheet.ReplaceCharacters(row, col, p, VarName.size(), text);
            fromRow = row;
            fromCol = col;
            offset = p - 1 + text.size();
        } else {
            fromRow = row;
            fromCol = col + 1;
            offset = 0;
        }
    }
}

void TA7Rep::SetValueAsText(const QString &varName, const QString &Value)
{
    TXlsxSheet &sheet = Sheet();
    for (int r = FirstBandLine; r <= LastBandLine; ++r)
        for (int c = 2; c <= MaxBandColumns; ++c)
            if (sheet.IsText(r, c) && sheet.Text(r, c) == varName)
                SetValueAsText(c, r, Value);
}

void TA7Rep::SetValueAsText(int X, int Y, const QString &Value)
{
    Sheet().SetNumberFormat(Y, X, QStringLiteral("@"));
    Sheet().SetValue(Y, X, Value);
}

QString TA7Rep::GetCellName(int aCol, int aRow)
{
    if (aCol < 1 || aCol > 702 || aRow < 1)
        throw TWorkbookError(QStringLiteral("Ячейка вне допустимого диапазона: столбец %1, строка %2")
                                 .arg(aCol).arg(aRow));
    QString name;
    if (aCol <= 26) {
        name = QChar(64 + aCol);
    } else {
        name = QChar(64 + (aCol - 1) / 26);
        name += QChar(65 + (aCol - 1) % 26);
    }
    return name + QString::number(aRow);
}

void TA7Rep::SetSumFormula(const QString &VarName, int FirstLine, int LastLine)
{
    int col = 0, row = 0;
    ExcelFind(VarName, col, row, -4163);
    if (col <= 0)
        return;
    if (LastLine == CurrentLine)
        SetValue(col, row, QString());
    else
        SetValue(col, row, "=SUM(" + GetCellName(col, FirstLine) + ":" + GetCellName(col, LastLine) + ")");
}

void TA7Rep::SetSumFormula(const QString &VarName, const QString &BandName)
{
    int col = 0, row = 0;
    ExcelFind(VarName, col, row, -4163);
    if (col <= 0)
        return;
    QStringList names;
    for (int r = 1; r < CurrentLine; ++r)
        if (Sheet().IsText(r, 1) && Sheet().Text(r, 1) == BandName)
            names << GetCellName(col, r);
    SetValue(col, row, names.isEmpty() ? QString() : "=" + names.join('+'));
}

void TA7Rep::SetComment(const QString &VarName, const QVariant &Value)
{
    int col = 0, row = 0;
    ExcelFind(VarName, col, row, -4163);
    if (col > 0)
        Sheet().SetComment(row, col, ValueText(Value));
}

QString TA7Rep::GetComment(const QString &VarName)
{
    int col = 0, row = 0;
    ExcelFind(VarName, col, row, -4163);
    if (col > 0 && Sheet().IsText(row, col) && Sheet().Text(row, col).contains(VarName, Qt::CaseSensitive))
        return Sheet().Comment(row, col);
    return QString();
}

QString TA7Rep::GetAndClearComment(const QString &VarName)
{
    int col = 0, row = 0;
    ExcelFind(VarName, col, row, -4163);
    if (col > 0 && Sheet().IsText(row, col) && Sheet().Text(row, col).contains(VarName, Qt::CaseSensitive)) {
        const QString note = Sheet().Comment(row, col);
        Sheet().ClearComment(row, col);
        return note;
    }
    return QString();
}

QString TA7Rep::GetAndClearComment(int X, int Y)
{
    if (X < 0 || !Sheet().IsText(Y, X))
        return QString();
    const QString note = Sheet().Comment(Y, X);
    Sheet().ClearComment(Y, X);
    return note;
}

QString TA7Rep::NewReportFileName() const
{
    QDir folder(QStandardPaths::writableLocation(QStandardPaths::TempLocation));
    folder.mkpath(QStringLiteral("Tollvane"));
    folder.cd(QStringLiteral("Tollvane"));
    const QString stem = QFileInfo(FTemplateName).completeBaseName() + '_'
        + QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss"));
    QString name = folder.filePath(stem + QStringLiteral(".xlsx"));
    for (int n = 2; QFileInfo::exists(name); ++n)
        name = folder.filePath(stem + '_' + QString::number(n) + QStringLiteral(".xlsx"));
    return name;
}

void TA7Rep::Show()
{
    try {
        Sheet().DeleteRows(CurrentLine, CurrentLine + BandWindow);
        const QString fileName = NewReportFileName();
        Excel->SaveAs(fileName);
        Abort();
        FShownFile = fileName;
        Viewer()(fileName);
    } catch (...) {
        Abort();
        throw;
    }
}

void TA7Rep::Abort()
{
    Progress.reset();
    TemplateSheet = nullptr;
    Excel.reset();
}

TA7RepGuard::~TA7RepGuard()
{
    if (FRep.IsOpen())
        FRep.Abort();
}
