// The About box: its texts, version, gradient and the clicks that hide it.
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QtTest>

#include "shell/UnitAbout.h"

class TestAbout : public QObject {
    Q_OBJECT
private slots:
    void versionText_data()
    {
        QTest::addColumn<QString>("version");
        QTest::addColumn<QString>("label");
        QTest::newRow("four") << "1.20.8.11" << "Версия 1.20.8.11";
        QTest::newRow("three") << "2.1.3" << "Версия 2.1.3.0";
        QTest::newRow("more") << "1.2.3.4.5" << "Версия 1.2.3.4";
    }
    void versionText()
    {
        QFETCH(QString, version);
        QFETCH(QString, label);
        QCOMPARE(AboutVersionText(version), label);
    }

    void showsOnTopNotModal()
    {
        QMainWindow main;
        main.setGeometry(100, 100, 600, 400);
        main.show();
        TFormAbout::ShowAbout(&main);
        QVERIFY(FormAbout);
        QVERIFY(FormAbout->isVisible());
        QVERIFY(!FormAbout->isModal());
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
        QVERIFY(FormAbout->windowFlags() & Qt::WindowStaysOnTopHint);
        QCOMPARE(FormAbout->windowTitle(), QString("О программе"));
        QCOMPARE(FormAbout->size(), QSize(409, 237));
        QCOMPARE(FormAbout->findChild<QLabel *>("LabelTitle")->text(),
                 QString("Программа управления авто-паркингом Tollvane"));
        QCOMPARE(FormAbout->findChild<QLabel *>("LabelVersion")->text(),
                 AboutVersionText(TOLLVANE_VERSION));
        QCOMPARE(FormAbout->findChild<QLabel *>("LabelVersion")->text(), QString("Версия 1.0.0.1"));
        QVERIFY(FormAbout->findChild<QPushButton *>("ButtonOK")->isDefault());

        const QImage image = FormAbout->grab().toImage();
        QCOMPARE(QColor(image.pixel(2, 1)), QColor(Qt::white));
        const QColor bottom(image.pixel(2, image.height() - 1));
        QVERIFY(qAbs(bottom.red() - 224) <= 2 && qAbs(bottom.green() - 237) <= 2
                && qAbs(bottom.blue() - 222) <= 2);
    }

    void freedWithItsOwner()
    {
        auto *main = new QMainWindow;
        TFormAbout::ShowAbout(main);
        QVERIFY(FormAbout);
        delete main;
        QCOMPARE(FormAbout, nullptr);
    }

    void clicksHide_data()
    {
        QTest::addColumn<QString>("target");
        QTest::newRow("ok") << "ButtonOK";
        QTest::newRow("title") << "LabelTitle";
        QTest::newRow("version") << "LabelVersion";
        QTest::newRow("background") << "";
    }
    void clicksHide()
    {
        QFETCH(QString, target);
        TFormAbout::ShowAbout(nullptr);
        TFormAbout *shown = FormAbout;
        QVERIFY(shown->isVisible());
        QWidget *widget = target.isEmpty() ? static_cast<QWidget *>(shown)
                                           : shown->findChild<QWidget *>(target);
        QVERIFY(widget);
        const QPoint at = target.isEmpty() ? QPoint(4, shown->height() - 4) : widget->rect().center();
        QTest::mouseClick(widget, Qt::LeftButton, {}, at);
        QVERIFY(!shown->isVisible());
        // Hidden, not freed: the next showing reuses it.
        TFormAbout::ShowAbout(nullptr);
        QCOMPARE(FormAbout, shown);
        shown->hide();
    }
};

QTEST_MAIN(TestAbout)
#include "test_about.moc"
