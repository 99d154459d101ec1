// A desk killed (SIGKILL) in the middle of its check-ins and check-outs on an
// embedded database file, several times over: the file opens again, every
// stay refers to a stored vehicle and place, and every change the desk had
// logged after its commit is still there.
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

#include <csignal>

#include "tests/support/TestDb.h"

namespace {

QStringList ReadLog(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromUtf8(file.readAll()).split('\n');
    // A line cut by the kill has no newline yet: it does not count.
    lines.removeLast();
    return lines;
}

QSet<QString> Rows(const TTestDb &db, const QString &select)
{
    QSet<QString> rows;
    const QStringList lines = db.Isql("SET HEADING OFF;\n" + select).split('\n');
    for (const QString &line : lines) {
        const QString row = line.simplified();
        if (!row.isEmpty())
            rows.insert(row);
    }
    return rows;
}

} // namespace

class TestDesksKill : public QObject {
    Q_OBJECT

private:
    QProcess *StartDesk(const TTestDb &db, const QStringList &args)
    {
        auto *desk = new QProcess(this);
        desk->setWorkingDirectory(db.ProgramPath());
        desk->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        desk->start(TOOL_DESK, args);
        if (!desk->waitForStarted())
            qFatal("tool_desk cannot be started");
        return desk;
    }

    int RunDesk(const TTestDb &db, const QStringList &args)
    {
        QProcess *desk = StartDesk(db, args);
        desk->waitForFinished(120000);
        const int code = desk->exitStatus() == QProcess::NormalExit ? desk->exitCode() : -1;
        delete desk;
        return code;
    }

private slots:
    void killedDeskLosesNothingCommitted()
    {
        TTestDb db;
        QCOMPARE(RunDesk(db, {"--setup", "3"}), 0);
        const QString logFile = db.ProgramPath() + "commits.log";

        // Each round kills a fresh desk once its log has grown by a different
        // number of lines, so the kills land at different points of the loop.
        const int growth[] = {17, 31, 46};
        int desk = 0;
        for (const int lines : growth) {
            ++desk;
            const int before = ReadLog(logFile).size();
            QProcess *process = StartDesk(db, {"--desk", QString::number(desk), "--vehicles", "3", "--ops",
                                               "100000", "--seconds", "120", "--log", logFile});
            QTRY_VERIFY_WITH_TIMEOUT(ReadLog(logFile).size() >= before + lines, 60000);
            QCOMPARE(process->state(), QProcess::Running);
            ::kill(pid_t(process->processId()), SIGKILL);
            QVERIFY(process->waitForFinished(10000));
            QCOMPARE(process->exitStatus(), QProcess::CrashExit);
            delete process;
        }

        // Restarted on the same file: the start-up succeeds and work goes on.
        QCOMPARE(RunDesk(db, {"--desk", "9", "--vehicles", "2", "--ops", "20", "--log", logFile}), 0);

        QCOMPARE(db.IsqlValue("SELECT COUNT(*) FROM AUTO_ACTION S WHERE NOT EXISTS "
                              "(SELECT 1 FROM AUTO A WHERE A.ID = S.ID_AUTO) OR NOT EXISTS "
                              "(SELECT 1 FROM PLACES P WHERE P.ID = S.ID_PLACE);"),
                 QString("0"));
        QCOMPARE(db.IsqlValue("SELECT COUNT(*) FROM AUTO_PAYMENT L WHERE NOT EXISTS "
                              "(SELECT 1 FROM PAYMENTS P WHERE P.ID = L.ID_PAYMENT) OR NOT EXISTS "
                              "(SELECT 1 FROM AUTO_ACTION S WHERE S.ID = L.ID_AUTO_ACTION);"),
                 QString("0"));

        const QSet<QString> payments = Rows(db, "SELECT ID FROM PAYMENTS;");
        const QSet<QString> stays = Rows(db, "SELECT ID FROM AUTO_ACTION;");
        const QSet<QString> closed = Rows(db, "SELECT ID FROM AUTO_ACTION WHERE ACTION_TYPE2 = 2;");
        const QSet<QString> links = Rows(db, "SELECT ID_PAYMENT || ' ' || ID_AUTO_ACTION FROM AUTO_PAYMENT;");
        const QStringList log = ReadLog(logFile);
        QVERIFY(log.size() >= 17 + 31 + 46);
        QHash<QString, int> kinds;
        for (const QString &line : log) {
            const QString kind = line.section(' ', 0, 0);
            const QString ids = line.section(' ', 1);
            ++kinds[kind];
            if (kind == "payment")
                QVERIFY2(payments.contains(ids), qPrintable("lost: " + line));
            else if (kind == "stay")
                QVERIFY2(stays.contains(ids), qPrintable("lost: " + line));
            else if (kind == "out")
                QVERIFY2(closed.contains(ids), qPrintable("lost: " + line));
            else if (kind == "debt")
                QVERIFY2(links.contains(ids), qPrintable("lost: " + line));
            else
                QFAIL(qPrintable("unexpected log line: " + line));
        }
        // The loop went through every kind of change before it was killed.
        QVERIFY(kinds.value("payment") > 0 && kinds.value("stay") > 0 && kinds.value("out") > 0
                && kinds.value("debt") > 0);
    }
};

QTEST_GUILESS_MAIN(TestDesksKill)
#include "test_desks_kill.moc"
