// Fills a new database with a car park of realistic size: places, tariffs,
// vehicles, and a history of stays, each with its payment and link, spread
// over two years on each place's own timeline; the newest stay of the first
// places is still open, so that many vehicles are present now.
//
//   bench_generate [--db PATH] [--places N] [--autos N] [--stays N] [--present N]
//
// The rows are written by PSQL loops run through isql, one committed block
// per group of places, with the history tables' secondary indexes off;
// they are rebuilt and all index statistics recomputed at the end.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTextStream>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

struct TSizes {
    QString Database = QDir::tempPath() + "/tollvane-bench/database.fdb";
    int Places = 2000;
    int Autos = 100000;
    int Stays = 1000000;
    int Present = 500;
};

bool ParseArguments(const QStringList &args, TSizes &sizes)
{
    for (int i = 1; i + 1 < args.size(); i += 2) {
        const QString &key = args[i];
        const QString &value = args[i + 1];
        bool ok = true;
        if (key == "--db")
            sizes.Database = value;
        else if (key == "--places")
            sizes.Places = value.toInt(&ok);
        else if (key == "--autos")
            sizes.Autos = value.toInt(&ok);
        else if (key == "--stays")
            sizes.Stays = value.toInt(&ok);
        else if (key == "--present")
            sizes.Present = value.toInt(&ok);
        else
            return false;
        if (!ok)
            return false;
    }
    return (args.size() % 2) == 1 && sizes.Places > 0 && sizes.Autos > 0 && sizes.Stays >= sizes.Places
           && sizes.Present <= sizes.Places && sizes.Present <= sizes.Autos;
}

QString Isql(const QStringList &args, const QString &script, int &exitCode)
{
    QProcess isql;
    isql.start("isql-fb", args);
    isql.waitForStarted();
    isql.write(script.toUtf8());
    isql.closeWriteChannel();
    isql.waitForFinished(-1);
    exitCode = isql.exitCode();
    return QString::fromUtf8(isql.readAllStandardOutput() + isql.readAllStandardError());
}

// Reference data: tariffs, places (every 50th inactive, every 97th deleted
// among the free ones), vehicles with Russian-looking plates.
QString ReferenceScript(const TSizes &s)
{
    return QString(R"(
SET TERM ^ ;
INSERT INTO TARIFS (NAME, PRICE, PERIOD, PERIOD_TYPE, IS_ACTIVE, UPDATED_TIME, UPDATED_BY) VALUES ('Час', 100, 1, 2, 1, CURRENT_TIMESTAMP, 1)^
INSERT INTO TARIFS (NAME, PRICE, PERIOD, PERIOD_TYPE, IS_ACTIVE, UPDATED_TIME, UPDATED_BY) VALUES ('Сутки', 900, 1, 5, 1, CURRENT_TIMESTAMP, 1)^
INSERT INTO TARIFS (NAME, PRICE, PERIOD, PERIOD_TYPE, IS_ACTIVE, UPDATED_TIME, UPDATED_BY) VALUES ('Неделя', 5000, 1, 6, 1, CURRENT_TIMESTAMP, 1)^
INSERT INTO TARIFS (NAME, PRICE, PERIOD, PERIOD_TYPE, IS_ACTIVE, UPDATED_TIME, UPDATED_BY) VALUES ('Месяц', 15000, 1, 7, 1, CURRENT_TIMESTAMP, 1)^
INSERT INTO TARIFS (NAME, PRICE, PERIOD, PERIOD_TYPE, IS_ACTIVE, UPDATED_TIME, UPDATED_BY) VALUES ('Разовый въезд', 50, 1, 0, 0, CURRENT_TIMESTAMP, 1)^
EXECUTE BLOCK AS
DECLARE p INTEGER = 1;
BEGIN
  WHILE (p <= %1) DO BEGIN
    INSERT INTO PLACES (NAME, COMMENTS, IS_ACTIVE, IS_DELETED)
    VALUES ('М-' || LPAD(:p, 4, '0'), IIF(MOD(:p, 10) = 0, 'у въезда', NULL),
            IIF(MOD(:p, 50) = 0, 0, 1), IIF(:p > %2 AND MOD(:p, 97) = 0, 1, 0));
    p = p + 1;
  END
END^
EXECUTE BLOCK AS
DECLARE a INTEGER = 1;
DECLARE x BIGINT;
DECLARE letters VARCHAR(12) = 'АВЕКМНОРСТУХ';
BEGIN
  WHILE (a <= %3) DO BEGIN
    x = MOD(CAST(:a AS BIGINT) * 2654435761, 4294967291);
    INSERT INTO AUTO (GOSNOMER, MODEL, COLOR, OWNER_PHONE, OWNER_FIO, OWNER_ADDRESS, COMMENTS, CREATED_TIME, CREATED_BY)
    VALUES (SUBSTRING(:letters FROM 1 + MOD(:x, 12) FOR 1) || LPAD(MOD(:x / 12, 1000), 3, '0')
            || SUBSTRING(:letters FROM 1 + MOD(:x / 12000, 12) FOR 1) || SUBSTRING(:letters FROM 1 + MOD(:x / 144000, 12) FOR 1)
            || LPAD(1 + MOD(:x / 1728000, 199), 2, '0'),
            DECODE(MOD(:x, 8), 0, 'Лада Веста', 1, 'Kia Rio', 2, 'Hyundai Solaris', 3, 'Toyota Camry',
                   4, 'Renault Logan', 5, 'VW Polo', 6, 'Skoda Octavia', 'ГАЗель Next'),
            DECODE(MOD(:x / 8, 6), 0, 'белый', 1, 'чёрный', 2, 'серый', 3, 'синий', 4, 'красный', 'серебристый'),
            '+7 9' || LPAD(MOD(:x, 1000000000), 9, '0'),
            DECODE(MOD(:x / 7, 5), 0, 'Иванов', 1, 'Петров', 2, 'Сидоров', 3, 'Кузнецов', 'Смирнов') || ' '
            || DECODE(MOD(:x / 35, 4), 0, 'Иван', 1, 'Сергей', 2, 'Алексей', 'Дмитрий') || ' Петрович',
            'г. Москва, ул. Лесная, д. ' || (1 + MOD(:x, 120)),
            IIF(MOD(:a, 20) = 0, 'постоянный клиент', NULL),
            DATEADD(-MOD(:x, 1000000) SECOND TO TIMESTAMP '2023-01-01 00:00:00'), 1);
    a = a + 1;
  END
END^
COMMIT^
SET TERM ; ^
)")
        .arg(s.Places)
        .arg(s.Present)
        .arg(s.Autos);
}

// Stays of places [from, to]: each place has its own timeline of perPlace
// stays over two years back from now; the newest stay of the first `present`
// places is open and belongs to a vehicle of its own.
QString StaysScript(const TSizes &s, int from, int to)
{
    const int perPlace = s.Stays / s.Places;
    return QString(R"(
SET TERM ^ ;
EXECUTE BLOCK AS
DECLARE p INTEGER = %1;
DECLARE j INTEGER;
DECLARE a INTEGER;
DECLARE t INTEGER;
DECLARE pid INTEGER;
DECLARE sid INTEGER;
DECLARE step DOUBLE PRECISION = %6;
DECLARE tin TIMESTAMP;
DECLARE tout TIMESTAMP;
DECLARE state INTEGER;
DECLARE origin TIMESTAMP;
BEGIN
  origin = DATEADD(-730 DAY TO CAST('NOW' AS TIMESTAMP));
  WHILE (p <= %2) DO BEGIN
    j = 0;
    WHILE (j < %3) DO BEGIN
      tin = DATEADD(CAST((:j * :step + MOD(:p * 7919, 997) / 997.0 * :step * 0.1) * 86400000 AS BIGINT) MILLISECOND TO :origin);
      tout = DATEADD(CAST(:step * 0.8 * 86400000 AS BIGINT) MILLISECOND TO :tin);
      state = 2;
      a = 1 + MOD(CAST(:p AS BIGINT) * 104729 + CAST(:j AS BIGINT) * 7919, %4);
      IF (j = %3 - 1 AND p <= %5) THEN BEGIN
        state = 0;
        tout = NULL;
        a = 1 + MOD(CAST(:p - 1 AS BIGINT) * 197, %4);
        tin = DATEADD(-MOD(:p * 31, 1440) MINUTE TO CAST('NOW' AS TIMESTAMP));
      END
      t = 1 + MOD(:j, 4);
      INSERT INTO PAYMENTS (ID_AUTO, SUMMA, ID_TARIF, PERIOD, PERIOD_TYPE, PRICE, VOLUME, MINUTES_START, MINUTES,
                            CREATED_BY, CREATED_TIME)
      VALUES (:a, DECODE(:t, 1, 100, 2, 900, 3, 5000, 15000), :t, 1, DECODE(:t, 1, 2, 2, 5, 3, 6, 7),
              DECODE(:t, 1, 100, 2, 900, 3, 5000, 15000), 1,
              DECODE(:t, 1, 60, 2, 1440, 3, 10080, 43200), DECODE(:t, 1, 60, 2, 0, 3, 8640, 41760), 1, :tin)
      RETURNING ID INTO :pid;
      INSERT INTO AUTO_ACTION (ID_AUTO, ACTION_TYPE, ACTION_TYPE2, IN_TIME, OUT_TIME, ID_PLACE, ID_PAYMENT, ID_MANAGER,
                               MINUTES_PAIED, CREATED_TIME)
      VALUES (:a, 1, :state, :tin, :tout, :p, :pid, 1, DECODE(:t, 1, 60, 2, 1440, 3, 10080, 43200), :tin)
      RETURNING ID INTO :sid;
      INSERT INTO AUTO_PAYMENT (ID_AUTO, ID_PAYMENT, ID_AUTO_ACTION) VALUES (:a, :pid, :sid);
      j = j + 1;
    END
    p = p + 1;
  END
END^
COMMIT^
SET TERM ; ^
)")
        .arg(from)
        .arg(to)
        .arg(perPlace)
        .arg(s.Autos)
        .arg(s.Present)
        .arg(730.0 / perPlace, 0, 'f', 9);
}

// Switches the secondary indexes of the history tables off for the load, or
// back on (which rebuilds them in one sort each and measures them afresh).
QString HistoryIndexesScript(bool active)
{
    return QString(R"(
SET TERM ^ ;
EXECUTE BLOCK AS
DECLARE n VARCHAR(63);
BEGIN
  FOR SELECT TRIM(RDB$INDEX_NAME) FROM RDB$INDICES
      WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0 AND RDB$FOREIGN_KEY IS NULL
        AND RDB$RELATION_NAME IN ('AUTO_ACTION', 'PAYMENTS', 'AUTO_PAYMENT')
        AND NOT EXISTS (SELECT 1 FROM RDB$RELATION_CONSTRAINTS C WHERE C.RDB$INDEX_NAME = RDB$INDICES.RDB$INDEX_NAME)
      INTO :n DO
    EXECUTE STATEMENT 'ALTER INDEX ' || :n || ' %1';
END^
COMMIT^
SET TERM ; ^
)")
        .arg(active ? "ACTIVE" : "INACTIVE");
}

// Totals of the vehicles and fresh index statistics for the loaded rows.
QString FinishScript()
{
    return R"(
UPDATE AUTO SET SUMMA_KREDIT = COALESCE((SELECT SUM(SUMMA) FROM PAYMENTS WHERE PAYMENTS.ID_AUTO = AUTO.ID), 0);
COMMIT;
SET TERM ^ ;
EXECUTE BLOCK AS
DECLARE n VARCHAR(63);
BEGIN
  FOR SELECT TRIM(RDB$INDEX_NAME) FROM RDB$INDICES WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0 INTO :n DO
    EXECUTE STATEMENT 'SET STATISTICS INDEX ' || :n;
END^
COMMIT^
SET TERM ; ^
)";
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    TSizes sizes;
    if (!ParseArguments(app.arguments(), sizes)) {
        std::fprintf(stderr, "usage: bench_generate [--db PATH] [--places N] [--autos N] [--stays N] [--present N]\n");
        return 2;
    }
    QElapsedTimer timer;
    timer.start();
    QDir().mkpath(QFileInfo(sizes.Database).absolutePath());
    QFile::remove(sizes.Database);
    int rc = 0;
    QProcess create;
    create.start("sh", {QString(TOLLVANE_SOURCE_DIR) + "/tools/create-database.sh", sizes.Database,
                        QString(TOLLVANE_SOURCE_DIR) + "/data/schema.sql"});
    create.waitForFinished(-1);
    if (create.exitCode() != 0) {
        std::fprintf(stderr, "cannot create %s: %s\n", qPrintable(sizes.Database),
                     create.readAllStandardError().constData());
        return 1;
    }
    const QStringList args = {"-q", "-b", "-ch", "UTF8", "-user", "SYSDBA", "-password", "gravelpit", sizes.Database};
    auto run = [&](const QString &what, const QString &script) {
        const QString out = Isql(args, script, rc);
        if (rc != 0) {
            std::fprintf(stderr, "%s failed:\n%s\n", qPrintable(what), qPrintable(out));
            std::exit(1);
        }
        std::printf("%-28s %8.1f s\n", qPrintable(what), double(timer.elapsed()) / 1000.0);
        std::fflush(stdout);
    };
    run("places, tariffs, vehicles", ReferenceScript(sizes));
    run("history indexes off", HistoryIndexesScript(false));
    const int chunk = 250;
    for (int from = 1; from <= sizes.Places; from += chunk) {
        const int to = std::min(sizes.Places, from + chunk - 1);
        run(QString("stays of places %1-%2").arg(from).arg(to), StaysScript(sizes, from, to));
    }
    run("history indexes rebuilt", HistoryIndexesScript(true));
    run("totals and statistics", FinishScript());
    std::printf("%s: %d places, %d vehicles, %d stays, %d present\n", qPrintable(sizes.Database), sizes.Places,
                sizes.Autos, (sizes.Stays / sizes.Places) * sizes.Places, sizes.Present);
    return 0;
}
