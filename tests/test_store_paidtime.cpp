// The paid-time rules and the duration and period texts: tables of cases.
#include <QTest>

#include "data/UnitData.h"
#include "operations/PaidTime.h"

class TestPaidTime : public QObject {
    Q_OBJECT

private slots:
    void tarifMinutes_data()
    {
        QTest::addColumn<int>("period");
        QTest::addColumn<int>("periodType");
        QTest::addColumn<int>("minutes");
        QTest::newRow("one-off") << 1 << 0 << 0;
        QTest::newRow("5 minutes") << 5 << 1 << 5;
        QTest::newRow("hour") << 1 << 2 << 60;
        QTest::newRow("3 days buy nothing") << 3 << 3 << 0;
        QTest::newRow("3 nights buy nothing") << 3 << 4 << 0;
        QTest::newRow("2 x 24 hours") << 2 << 5 << 2880;
        QTest::newRow("week") << 1 << 6 << 10080;
        QTest::newRow("month is 30 days") << 1 << 7 << 43200;
        QTest::newRow("year is 365 days") << 1 << 8 << 525600;
        QTest::newRow("unknown unit 9") << 1 << 9 << 0;
        QTest::newRow("unknown unit -1") << 1 << -1 << 0;
        QTest::newRow("32-bit product wraps") << 5000 << 8 << int(quint32(5000) * 525600u);
    }

    void tarifMinutes()
    {
        QFETCH(int, period);
        QFETCH(int, periodType);
        QFETCH(int, minutes);
        QCOMPARE(GetTarifMinutes(period, periodType), minutes);
    }

    void paymentSummaRounding_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<double>("price");
        QTest::addColumn<qint64>("summa");
        QTest::newRow("count 0") << 0 << 100.0 << qint64(0);
        QTest::newRow("24.5 to even 24") << 2 << 12.25 << qint64(24);
        QTest::newRow("37.5 to even 38") << 3 << 12.5 << qint64(38);
        QTest::newRow("0.5 to even 0") << 1 << 0.5 << qint64(0);
        QTest::newRow("1.5 to even 2") << 1 << 1.5 << qint64(2);
        QTest::newRow("below half down") << 1 << 10.49 << qint64(10);
        QTest::newRow("above half up") << 1 << 10.51 << qint64(11);
        QTest::newRow("whole") << 3 << 100.0 << qint64(300);
        // 3 x 0.1 is 0.30000000000000004 as a double: not a half, plain rounding.
        QTest::newRow("double product") << 3 << 0.1 << qint64(0);
        QTest::newRow("negative half to even") << 1 << -2.5 << qint64(-2);
        QTest::newRow("large") << 1000 << 15000.0 << qint64(15000000);
    }

    void paymentSummaRounding()
    {
        QFETCH(int, count);
        QFETCH(double, price);
        QFETCH(qint64, summa);
        QCOMPARE(CalcPaymentSumma(count, price), summa);
    }

    void buildPaymentByTarif_data()
    {
        QTest::addColumn<bool>("multiply");
        QTest::addColumn<int>("minutes");
        QTest::newRow("check-in credits one period") << false << 60;
        QTest::newRow("debt payment credits every period") << true << 180;
    }

    void buildPaymentByTarif()
    {
        QFETCH(bool, multiply);
        QFETCH(int, minutes);
        CurrentUser.Id = 17;
        TTarif hour;
        hour.Id = 4;
        hour.Name = "Час";
        hour.Price = 100;
        hour.Period = 1;
        hour.PeriodType = 2;
        const TDateTime before = Now();
        const TPayment p = BuildPayment(9, hour, 3, 300, "к оплате", multiply);
        QCOMPARE(p.Id, 0);
        QCOMPARE(p.AutoId, 9);
        QCOMPARE(p.Comments, QString("к оплате"));
        QCOMPARE(p.Summa, 300.0);
        QCOMPARE(p.ManagerId, 17);
        QVERIFY(p.PayTime >= before && p.PayTime <= Now());
        QCOMPARE(p.Tarif.Id, 4);
        QCOMPARE(p.Tarif.Period, 1);
        QCOMPARE(p.Tarif.PeriodType, 2);
        QCOMPARE(p.Tarif.Price, 100.0);
        QCOMPARE(p.Tarif.Name, QString());
        QCOMPARE(p.Count, 3);
        QCOMPARE(p.MinutesStart, minutes);
        QCOMPARE(p.Minutes, minutes);
    }

    void buildPaymentWithoutTarif()
    {
        TTarif none;
        none.Period = 1;
        none.PeriodType = 2;
        none.Price = 100;
        const TPayment p = BuildPayment(9, none, 3, 500, QString(), true);
        QCOMPARE(p.Summa, 500.0);
        QCOMPARE(p.Tarif.Id, 0);
        QCOMPARE(p.Tarif.Price, 0.0);
        QCOMPARE(p.Tarif.PeriodType, 0);
        QCOMPARE(p.Count, 0);
        QCOMPARE(p.Minutes, 0);
        QCOMPARE(p.MinutesStart, 0);
    }

    void stayMinutes_data()
    {
        QTest::addColumn<double>("seconds");
        QTest::addColumn<int>("minutes");
        QTest::newRow("59 s") << 59.0 << 0;
        QTest::newRow("60 s") << 60.0 << 1;
        QTest::newRow("59.999 s") << 59.999 << 0;
        QTest::newRow("150 minutes") << 9000.0 << 150;
        QTest::newRow("in-time after now") << -125.0 << 2;
        QTest::newRow("two days") << 172800.0 << 2880;
    }

    void stayMinutes()
    {
        QFETCH(double, seconds);
        QFETCH(int, minutes);
        const TDateTime now = DateTimeFromQt(QDateTime(QDate(2024, 3, 15), QTime(10, 0, 0)));
        QCOMPARE(GetStayMinutes(now - seconds / 86400.0, now), minutes);
    }

    void stayMinutesAcrossMidnight()
    {
        const TDateTime in = DateTimeFromQt(QDateTime(QDate(2024, 3, 14), QTime(23, 59, 30)));
        const TDateTime out = DateTimeFromQt(QDateTime(QDate(2024, 3, 15), QTime(0, 0, 30)));
        QCOMPARE(GetStayMinutes(in, out), 1);
    }

    void durationText_data()
    {
        QTest::addColumn<int>("minutes");
        QTest::addColumn<QString>("text");
        QTest::newRow("0") << 0 << "0 час. 0 мин. ";
        QTest::newRow("5") << 5 << "0 час. 5 мин. ";
        QTest::newRow("90") << 90 << "1 час. 30 мин. ";
        QTest::newRow("1440") << 1440 << "1 дн. 0 час. 0 мин. ";
        QTest::newRow("1500") << 1500 << "1 дн. 1 час. 0 мин. ";
        QTest::newRow("3 days 2 h 5 m") << 3 * 1440 + 125 << "3 дн. 2 час. 5 мин. ";
    }

    void durationText()
    {
        QFETCH(int, minutes);
        QFETCH(QString, text);
        QCOMPARE(GetDurationStr(minutes), text);
    }

    void minutesText_data()
    {
        QTest::addColumn<int>("minutes");
        QTest::addColumn<QString>("text");
        QTest::newRow("negative") << -5 << "-5 мин.";
        QTest::newRow("0") << 0 << "0 мин.";
        QTest::newRow("45") << 45 << "45 мин.";
        QTest::newRow("59") << 59 << "59 мин.";
        QTest::newRow("60") << 60 << "1 час. ";
        QTest::newRow("135") << 135 << "2 час. 15 мин. ";
        QTest::newRow("1439") << 1439 << "23 час. 59 мин. ";
        QTest::newRow("1440") << 1440 << "1 дн. ";
        QTest::newRow("1500: exactly one hour shows none") << 1500 << "1 дн. ";
        QTest::newRow("1501") << 1501 << "1 дн.  1 час. ";
        QTest::newRow("1530") << 1530 << "1 дн.  1 час. ";
        QTest::newRow("7 days") << 10080 << "7 дн. ";
        QTest::newRow("43199") << 43199 << "29 дн.  23 час. ";
        QTest::newRow("43200") << 43200 << "";
        QTest::newRow("a year") << 525600 << "";
    }

    void minutesText()
    {
        QFETCH(int, minutes);
        QFETCH(QString, text);
        QCOMPARE(GetMinutesStr(minutes), text);
    }

    void periodCountText_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("periodType");
        QTest::addColumn<QString>("text");
        QTest::newRow("one-off") << 1 << 0 << "-";
        QTest::newRow("minutes") << 15 << 1 << "15 мин.";
        QTest::newRow("hours") << 3 << 2 << "3 час.";
        QTest::newRow("days") << 2 << 3 << "2 дн.";
        QTest::newRow("nights") << 1 << 4 << "1 ноч.";
        QTest::newRow("24 hours") << 4 << 5 << "4 сут.";
        QTest::newRow("weeks") << 2 << 6 << "2 нед.";
        QTest::newRow("months") << 6 << 7 << "6 мес.";
        QTest::newRow("year without full stop") << 1 << 8 << "1 год";
        QTest::newRow("negative count") << -2 << 2 << "-2 час.";
        QTest::newRow("unknown code") << 5 << 9 << "-";
    }

    void periodCountText()
    {
        QFETCH(int, count);
        QFETCH(int, periodType);
        QFETCH(QString, text);
        QCOMPARE(GetPeriodCountStr(count, periodType), text);
    }

    void periodTypeName_data()
    {
        QTest::addColumn<int>("periodType");
        QTest::addColumn<QString>("text");
        const char *names[] = {"Разово", "Минуты", "Час", "Дней", "Ночь", "Сутки", "Недели", "Месяц", "Год"};
        for (int i = 0; i < 9; ++i)
            QTest::newRow(qPrintable(QString::number(i))) << i << QString::fromUtf8(names[i]);
        QTest::newRow("9") << 9 << "";
        QTest::newRow("-1") << -1 << "";
    }

    void periodTypeName()
    {
        QFETCH(int, periodType);
        QFETCH(QString, text);
        TDModule module;
        QCOMPARE(module.GetPeriodTypeStr(periodType), text);
    }
};

QTEST_GUILESS_MAIN(TestPaidTime)
#include "test_store_paidtime.moc"
