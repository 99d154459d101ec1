// Exports reports of 1,000, 10,000 and 100,000 "Range" rows of eight
// variables into the entries template through the template engine, and
// writes the same cells into a new workbook with libxlsxwriter as the
// floor. Prints seconds and peak memory per size; each measurement runs in
// a process of its own so that its peak memory is its own.
//
//   bench_report_export [rows ...]
//   bench_report_export --run engine|xlsxwriter|streamed ROWS   (one measurement)
#include "platform/TDateTime.h"
#include "reports/A7Rep.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocale>
#include <QProcess>
#include <QVector>
#include <QTemporaryDir>

#include <cstdio>
#include <fstream>
#include <string>

#ifdef HAVE_XLSXWRITER
#include <xlsxwriter.h>
#endif

namespace {

// One stay of the report, as the entries window would export it.
struct TRowData {
    int Num;
    QString Name;
    QString Gosnomer;
    QDateTime TimeIn;
    QString TimeOut;
    int Summa;
    QString Minutes;
};

TRowData MakeRow(int n)
{
    const QDateTime in = QDateTime(QDate(2024, 1, 1), QTime(8, 0)).addSecs(qint64(n) * 600);
    return {n,
            QStringLiteral("Место %1").arg(n % 200 + 1),
            QStringLiteral("А%1ВС77").arg(n % 1000, 3, 10, QLatin1Char('0')),
            in,
            n % 5 == 0 ? QStringLiteral("--") : in.addSecs(7200).toString(QStringLiteral("dd.MM.yyyy HH:mm:ss")),
            50 + n % 300,
            QString::number(60 + n % 1440)};
}

// The rows are made before the clock starts: only the export is timed.
QVector<TRowData> MakeRows(int rows)
{
    QVector<TRowData> data;
    data.reserve(rows);
    for (int n = 1; n <= rows; ++n)
        data.append(MakeRow(n));
    return data;
}

// Peak resident memory of this process, in MiB.
double PeakMiB()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stod(line.substr(6)) / 1024.0;
    return 0;
}

double ExportWithEngine(const QString &templateFile, const QVector<TRowData> &data)
{
    QElapsedTimer timer;
    timer.start();
    TA7Rep rep;
    rep.OpenTemplate(templateFile);
    rep.PasteBand(QStringLiteral("Title"));
    rep.SetValue(QStringLiteral("#dt#"), QStringLiteral("01.02.2024"));
    rep.SetValue(QStringLiteral("#dtstart#"), QStringLiteral("с начала использования"));
    rep.SetValue(QStringLiteral("#dtend#"), QStringLiteral("сегодня"));
    for (const TRowData &row : data) {
        rep.PasteBand(QStringLiteral("Range"));
        rep.SetValue(QStringLiteral("#NUM#"), row.Num);
        rep.SetValue(QStringLiteral("#ID#"), row.Num);
        rep.SetValue(QStringLiteral("#NAME#"), row.Name);
        rep.SetValue(QStringLiteral("#GOSNOMER#"), row.Gosnomer);
        rep.SetValue(QStringLiteral("#TIME_IN#"), row.TimeIn);
        rep.SetValue(QStringLiteral("#TIME_OUT#"), row.TimeOut);
        rep.SetValue(QStringLiteral("#SUMMA#"), row.Summa);
        rep.SetValue(QStringLiteral("#MINUTES#"), row.Minutes);
    }
    rep.Show();
    const double seconds = timer.elapsed() / 1000.0;
    QFile::remove(rep.ShownFile());
    return seconds;
}

#ifdef HAVE_XLSXWRITER
double WriteWithXlsxwriter(const QString &fileName, const QVector<TRowData> &data, bool constantMemory)
{
    QElapsedTimer timer;
    timer.start();
    lxw_workbook_options options = {};
    options.constant_memory = constantMemory ? LXW_TRUE : LXW_FALSE;
    lxw_workbook *book = workbook_new_opt(fileName.toUtf8().constData(), &options);
    lxw_worksheet *sheet = workbook_add_worksheet(book, "Отчет");
    lxw_format *date = workbook_add_format(book);
    format_set_num_format(date, "dd.mm.yyyy hh:mm:ss");
    lxw_format *cell = workbook_add_format(book);
    format_set_border(cell, LXW_BORDER_THIN);
    const char *title[] = {"Учет въездов ТС", "Период: с начала использования — сегодня",
                           "Дата формирования: 01.02.2024"};
    for (int r = 0; r < 3; ++r) {
        worksheet_write_string(sheet, lxw_row_t(r), 0, "Title", nullptr);
        worksheet_write_string(sheet, lxw_row_t(r), 1, title[r], nullptr);
    }
    for (const TRowData &row : data) {
        const lxw_row_t r = lxw_row_t(row.Num + 4);
        worksheet_set_row(sheet, r, 15, nullptr);
        worksheet_write_string(sheet, r, 0, "Range", nullptr);
        worksheet_write_number(sheet, r, 1, row.Num, cell);
        worksheet_write_number(sheet, r, 2, row.Num, cell);
        worksheet_write_string(sheet, r, 3, row.Name.toUtf8().constData(), cell);
        worksheet_write_string(sheet, r, 4, row.Gosnomer.toUtf8().constData(), cell);
        worksheet_write_number(sheet, r, 5, DateTimeFromQt(row.TimeIn), date);
        worksheet_write_string(sheet, r, 6, row.TimeOut.toUtf8().constData(), cell);
        worksheet_write_number(sheet, r, 7, row.Summa, cell);
        worksheet_write_number(sheet, r, 8, row.Minutes.toInt(), cell);
    }
    workbook_close(book);
    return timer.elapsed() / 1000.0;
}
#endif

// One measurement in this process: prints seconds and peak MiB.
int RunOne(const QString &what, int rows)
{
    const QVector<TRowData> data = MakeRows(rows);
    QTemporaryDir dir;
    double seconds = -1;
    if (what == QLatin1String("engine")) {
        TA7Rep::SetViewer([](const QString &) {});
        seconds = ExportWithEngine(QStringLiteral(TOLLVANE_SOURCE_DIR "/Templates/ШаблонУчетВъездов.xlsx"), data);
    }
#ifdef HAVE_XLSXWRITER
    else if (what == QLatin1String("xlsxwriter") || what == QLatin1String("streamed")) {
        seconds = WriteWithXlsxwriter(dir.filePath("floor.xlsx"), data, what == QLatin1String("streamed"));
    }
#endif
    if (seconds < 0)
        return 1;
    std::printf("%.3f %.1f\n", seconds, PeakMiB());
    return 0;
}

// Runs one measurement in a child process; false when it could not run.
bool Measure(const QString &what, int rows, double &seconds, double &peak)
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {"--run", what, QString::number(rows)});
    if (!child.waitForFinished(-1) || child.exitCode() != 0)
        return false;
    const QStringList figures = QString::fromLatin1(child.readAllStandardOutput()).split(' ');
    seconds = figures.value(0).toDouble();
    peak = figures.value(1).toDouble();
    return figures.size() == 2;
}

}  // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    const QStringList args = app.arguments();
    if (args.size() == 4 && args[1] == QLatin1String("--run"))
        return RunOne(args[2], args[3].toInt());
    QList<int> sizes;
    for (int i = 1; i < args.size(); ++i)
        sizes << args[i].toInt();
    if (sizes.isEmpty())
        sizes = {1000, 10000, 100000};

    std::printf("%8s %10s %9s %10s %14s %9s %13s %8s\n", "rows", "engine, s", "peak MiB", "s/1000 rows",
                "xlsxwriter, s", "peak MiB", "streamed, s", "ratio");
    for (const int rows : sizes) {
        double engine = 0, enginePeak = 0, floor = 0, floorPeak = 0, streamed = 0, streamedPeak = 0;
        if (!Measure(QStringLiteral("engine"), rows, engine, enginePeak)) {
            std::fprintf(stderr, "the export of %d rows failed\n", rows);
            return 1;
        }
        const bool haveFloor = Measure(QStringLiteral("xlsxwriter"), rows, floor, floorPeak)
            && Measure(QStringLiteral("streamed"), rows, streamed, streamedPeak);
        if (haveFloor)
            std::printf("%8d %10.3f %9.1f %10.3f %14.3f %9.1f %13.3f %8.2f\n", rows, engine, enginePeak,
                        engine * 1000 / rows, floor, floorPeak, streamed, engine / floor);
        else
            std::printf("%8d %10.3f %9.1f %10.3f %14s %9s %13s %8s\n", rows, engine, enginePeak,
                        engine * 1000 / rows, "-", "-", "-", "-");
        std::fflush(stdout);
    }
    return 0;
}
