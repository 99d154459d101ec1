// Moments as days since 1899-12-30 and the desk's texts of them.
#include <QTest>

#include "platform/TDateTime.h"

class TestDateTime : public QObject {
    Q_OBJECT

private slots:
    void texts_data()
    {
        QTest::addColumn<QDate>("day");
        QTest::addColumn<QTime>("time");
        QTest::addColumn<QString>("deskText");
        QTest::addColumn<QString>("fullText");
        QTest::newRow("time of day") << QDate(2021, 5, 31) << QTime(14, 5, 0) << "31.05.2021 14:05:00"
                                     << "31.05.2021 14:05:00";
        QTest::newRow("midnight") << QDate(2024, 1, 2) << QTime(0, 0) << "02.01.2024" << "02.01.2024 00:00:00";
        QTest::newRow("last millisecond") << QDate(2024, 12, 31) << QTime(23, 59, 59, 999) << "31.12.2024 23:59:59"
                                          << "31.12.2024 23:59:59";
        QTest::newRow("before the epoch") << QDate(1899, 12, 29) << QTime(18, 0) << "29.12.1899 18:00:00"
                                          << "29.12.1899 18:00:00";
    }

    void texts()
    {
        QFETCH(QDate, day);
        QFETCH(QTime, time);
        QFETCH(QString, deskText);
        QFETCH(QString, fullText);
        const TDateTime moment = DateFromQt(day) + TimeFromQt(time);
        QCOMPARE(DateTimeText(moment), deskText);
        QCOMPARE(FullDateTimeText(moment), fullText);
        QCOMPARE(DateToQt(moment), day);
        QCOMPARE(TimeToQt(moment), time);
    }
};

QTEST_APPLESS_MAIN(TestDateTime)
#include "test_datetime.moc"
