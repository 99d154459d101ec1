// Every command has its own drawn 24x24 icon in the resources.
#include <QImage>
#include <QtTest>

#include "shell/CommandIcons.h"

class TestIcons : public QObject {
    Q_OBJECT
private slots:
    void everyCommandHasAnIcon()
    {
        const QStringList commands = {
            "ActionAutoIn", "ActionAutoOut", "ActionPaymentNew", "ActionAutoList", "ActionAutoNew",
            "ActionPaymentsList", "ActionPlacesList", "ActionPlaceNew", "ActionServicesList",
            "ActionServiceNew", "ActionUserList", "ActionUserNew", "ActionOptions", "ActionReportAuto",
            "ActionReportSumma", "ActionReportService", "ActionAbout", "ActionUserLogin",
            "ActionChangeUser", "ActionFileExit", "EditCopy1", "EditCut1", "EditPaste1", "EditDelete1",
            "EditUndo1", "WindowCascade1", "WindowTileHorizontal1", "WindowTileVertical1",
            "WindowArrange1", "WindowMinimizeAll1", "WindowClose1", "ButtonDelete", "ButtonPrintCheck",
            "ButtonExportExcel"};
        QSet<QByteArray> seen;
        for (const QString &name : commands) {
            QVERIFY2(CommandIconNames().contains(name), qPrintable(name));
            const QIcon icon = CommandIcon(name);
            QVERIFY2(!icon.isNull(), qPrintable(name));
            const QImage image = QImage(":/icons/" + name + ".png").convertToFormat(QImage::Format_ARGB32);
            QCOMPARE(image.size(), QSize(24, 24));
            int drawn = 0;
            for (int y = 0; y < 24; ++y)
                for (int x = 0; x < 24; ++x)
                    drawn += qAlpha(image.pixel(x, y)) > 128 ? 1 : 0;
            QVERIFY2(drawn > 60, qPrintable(name));   // no blank or nearly blank icon
            const QByteArray bits(reinterpret_cast<const char *>(image.constBits()), int(image.sizeInBytes()));
            QVERIFY2(!seen.contains(bits), qPrintable(name + " looks like another icon"));
            seen.insert(bits);
        }
        QVERIFY(CommandIcon("NoSuchCommand").isNull());
    }
};

QTEST_MAIN(TestIcons)
#include "test_icons.moc"
