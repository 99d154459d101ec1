// The vehicles list over a real database: rows and painting, the presence and
// text filters, the focus rule, clicks, the row menu and the one-row update.
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>
#include <QTreeView>
#include <QtTest>

#include "data/UnitData.h"
#include "platform/DataGrid.h"
#include "shell/UnitAutoForm.h"
#include "shell/UnitAutos.h"
#include "shell/UnitMain.h"
#include "tests/support/ModalAnswer.h"
#include "tests/support/TestDb.h"

class TestAutosList : public QObject {
    Q_OBJECT

    std::unique_ptr<TTestDb> FDb;
    TDModule *FModule = nullptr;

    void Sql(const QString &sql) { FModule->Connection().ExecuteSql(sql); }
    void AddAuto(int id, const QString &gosnomer, const QString &model, const QString &color,
                 const QString &comments = QString())
    {
        Sql(QString("INSERT INTO AUTO (ID, GOSNOMER, MODEL, COLOR, OWNER_FIO, COMMENTS, CREATED_TIME) "
                    "VALUES (%1, '%2', '%3', '%4', 'Владелец %1', '%5', '2021-01-01 10:00:00')")
                .arg(id).arg(SqlLiteral(gosnomer), model, color, comments));
    }
    void AddStay(int autoId, int placeId, const QString &in, const QString &out)
    {
        Sql(QString("INSERT INTO AUTO_ACTION (ID_AUTO, ACTION_TYPE, ACTION_TYPE2, IN_TIME, OUT_TIME, ID_PLACE, "
                    "CREATED_TIME) VALUES (%1, 1, %2, '%3', %4, %5, '%3')")
                .arg(autoId).arg(out.isEmpty() ? 0 : 2).arg(in)
                .arg(out.isEmpty() ? QString("NULL") : "'" + out + "'").arg(placeId));
    }

    TFormAutos *OpenList()
    {
        FormAutos = new TFormAutos;
        FormAutos->resize(1000, 500);
        FormAutos->show();
        QTest::qWaitForWindowExposed(FormAutos);
        return FormAutos;
    }
    static QStringList ShownColumn(const QString &field)
    {
        QStringList texts;
        const int f = FormAutos->Table->FieldIndex(field);
        for (int row : FormAutos->Grid->ShownRows())
            texts << FormAutos->Table->DisplayText(row, f);
        return texts;
    }
    static QModelIndex IndexAt(int position, int column = 1)
    {
        QAbstractItemModel *model = FormAutos->Grid->View()->model();
        return model->index(position, column);
    }
    static void ClickPosition(int position, Qt::MouseButton button = Qt::LeftButton)
    {
        QTreeView *view = FormAutos->Grid->View();
        QTest::mouseClick(view->viewport(), button, {}, view->visualRect(IndexAt(position)).center());
    }
    static void Filter(const QString &text)
    {
        FormAutos->EditStringFilter->setText(text);
        QTest::mouseClick(FormAutos->ButtonFilter, Qt::LeftButton);
    }

private slots:
    void init()
    {
        FDb = std::make_unique<TTestDb>();
        FModule = FDb->OpenDataModule();
        FormMain = new TFormMain(FDb->ProgramPath());
        CurrentAuto = TAuto();
        Sql("INSERT INTO PLACES (ID, NAME) VALUES (1, 'A-01')");
        AddAuto(1, "А100АА", "Лада", "Белый", "VIP клиент");
        AddAuto(2, "В200ВВ", "Volvo", "Синий");
        AddAuto(3, "С300СС", "Kia", "Красный");
        AddStay(1, 1, "2022-01-02 08:07:09", "");
        AddStay(2, 1, "2021-12-30 09:00:00", "2021-12-30 18:00:00");
        AddStay(2, 1, "2022-01-01 00:00:00", "2022-01-01 10:00:00");
        // Keys of vehicles the card adds stay clear of the fixed ones above.
        Sql("ALTER SEQUENCE GEN_AUTO_ID RESTART WITH 100");
    }
    void cleanup()
    {
        delete FormAutos;
        delete FormMain;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        FDb.reset();
    }

    void rowsShowPlaceLastEntryAndPresence()
    {
        OpenList();
        QCOMPARE(FormAutos->windowTitle(), QString("Список ТС"));
        QCOMPARE(FormAutos->ComboBoxStatus->currentIndex(), -1);
        QCOMPARE(ShownColumn("GOSNOMER"), QStringList({"А100АА", "В200ВВ", "С300СС"}));
        QCOMPARE(ShownColumn("NAME"), QStringList({"Владелец 1", "Владелец 2", "Владелец 3"}));
        QCOMPARE(ShownColumn("STATUS_STR"), QStringList({"A-01", "--", "--"}));
        // The latest entry of any stay; midnight is shown without a time.
        QCOMPARE(ShownColumn("LAST_ENTRY_TIME_STR"), QStringList({"02.01.2022 08:07:09", "01.01.2022", "--"}));
        QCOMPARE(ShownColumn("STATUS"), QStringList({"1", "0", "0"}));

        QAbstractItemModel *model = FormAutos->Grid->View()->model();
        for (int column : {1, 3, 6}) {
            QCOMPARE(model->data(IndexAt(0, column), Qt::ForegroundRole).value<QColor>(), QColor(0, 128, 0));
            QVERIFY(model->data(IndexAt(0, column), Qt::FontRole).value<QFont>().bold());
            for (int position : {1, 2}) {
                QCOMPARE(model->data(IndexAt(position, column), Qt::ForegroundRole).value<QColor>(),
                         QColor(Qt::black));
                QVERIFY(!model->data(IndexAt(position, column), Qt::FontRole).value<QFont>().bold());
            }
        }
    }

    void presenceChoiceIsAppliedOnlyByFilterAllOrRefresh()
    {
        OpenList();
        FormAutos->ComboBoxStatus->setCurrentIndex(1);
        QCOMPARE(FormAutos->Grid->ShownRowCount(), 3);
        QTest::mouseClick(FormAutos->ButtonFilter, Qt::LeftButton);
        QCOMPARE(ShownColumn("GOSNOMER"), QStringList({"А100АА"}));

        FormAutos->ComboBoxStatus->setCurrentIndex(2);
        QCOMPARE(ShownColumn("GOSNOMER"), QStringList({"А100АА"}));
        FormMain->RefreshOpenLists({TListKind::Autos});
        QCOMPARE(ShownColumn("GOSNOMER"), QStringList({"В200ВВ", "С300СС"}));

        FormAutos->EditStringFilter->setText("Volvo");
        QTest::mouseClick(FormAutos->ButtonFilterClear, Qt::LeftButton);
        QCOMPARE(FormAutos->ComboBoxStatus->currentIndex(), 0);
        QCOMPARE(FormAutos->ComboBoxStatus->currentText(), QString("Все"));
        QVERIFY(FormAutos->EditStringFilter->text().isEmpty());
        QCOMPARE(FormAutos->Grid->ShownRowCount(), 3);
    }

    void textFilterMatchesLiterally_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("found");
        QTest::newRow("comment only") << "VIP" << QStringList({"А100АА"});
        QTest::newRow("model") << "Лада" << QStringList({"А100АА"});
        QTest::newRow("owner") << "Владелец 3" << QStringList({"С300СС"});
        QTest::newRow("case as the database compares") << "лада" << QStringList();
        QTest::newRow("apostrophe") << "О'Н" << QStringList({"О'Нил"});
        QTest::newRow("lone apostrophe") << "'" << QStringList({"О'Нил"});
        QTest::newRow("percent") << "5%" << QStringList({"Т5%"});
        QTest::newRow("underscore") << "Т_1" << QStringList({"Т_1"});
        QTest::newRow("backslash") << "\\" << QStringList();
        QTest::newRow("injection") << "' OR 1=1 --" << QStringList();
    }
    void textFilterMatchesLiterally()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, found);
        AddAuto(4, "О'Нил", "Ford", "Серый");
        AddAuto(5, "Т5%", "Ford", "Серый");
        AddAuto(6, "Т_1", "Ford", "Серый");
        AddAuto(7, "ТХ1", "Ford", "Серый");   // "_" taken as a wildcard would find it
        AddAuto(8, "Т50", "Ford", "Серый");   // and "%" this one
        OpenList();
        TModalAnswer answer; // an error box would be an unexpected modal window
        Filter(text);
        QTest::qWait(50);
        QVERIFY(answer.Seen().isEmpty());
        QCOMPARE(ShownColumn("GOSNOMER"), found);
        // The condition is kept for outside refreshes too.
        FormMain->RefreshOpenLists({TListKind::Autos});
        QCOMPARE(ShownColumn("GOSNOMER"), found);
    }

    void focusFollowsThePositionNotTheVehicle()
    {
        OpenList();
        ClickPosition(2);
        QCOMPARE(CurrentAuto.Id, 3);
        QCOMPARE(FormAutos->Grid->FocusedPosition(), 2);
        Filter("Лада");
        QCOMPARE(FormAutos->Grid->ShownRowCount(), 1);
        QCOMPARE(FormAutos->Grid->FocusedRow(), -1);

        QTest::mouseClick(FormAutos->ButtonFilterClear, Qt::LeftButton);
        ClickPosition(0);
        QCOMPARE(CurrentAuto.Id, 1);
        Filter("Volvo");
        QCOMPARE(FormAutos->Grid->FocusedPosition(), 0);
        QCOMPARE(FormAutos->Grid->FocusedKey().toInt(), 2);
        // The focus moved to another vehicle; the current one stays.
        QCOMPARE(CurrentAuto.Id, 1);
    }

    void leftClickMakesTheVehicleCurrent()
    {
        OpenList();
        QVERIFY(!FormMain->ActionAutoOut->isEnabled());
        ClickPosition(0);
        QCOMPARE(CurrentAuto.Id, 1);
        QCOMPARE(CurrentAuto.Place.Name, QString("A-01"));
        QCOMPARE(FormMain->LabelAutoSelected->text(), QString("А100АА Лада Белый"));
        QVERIFY(FormMain->ActionAutoOut->isEnabled());
        QVERIFY(!FormMain->ActionAutoIn->isEnabled());
        QVERIFY(!FormAutos->PopupMenu->isVisible());
        ClickPosition(1);
        QCOMPARE(CurrentAuto.Id, 2);
        QVERIFY(FormMain->ActionAutoIn->isEnabled());
    }

    void rightClickMakesTheRowCurrentBeforeTheMenu()
    {
        OpenList();
        ClickPosition(0);
        ClickPosition(1, Qt::RightButton);
        QCOMPARE(CurrentAuto.Id, 2);
        QCOMPARE(FormMain->LabelAutoSelected->text(), QString("В200ВВ Volvo Синий"));
        QMenu *menu = FormAutos->PopupMenu;
        QTRY_VERIFY(menu->isVisible());
        QStringList items;
        for (QAction *action : menu->actions())
            items << action->text();
        QCOMPARE(items, QStringList({"Сведения", "Въезды-выезды", "Платежи"}));

        // The items act on the vehicle the right click made current.
        QString shownAuto;
        int shownRows = -1;
        TModalAnswer answer;
        answer.Do([&](QWidget *modal) {
            shownAuto = modal->findChild<QLineEdit *>("EditAuto")->text();
            shownRows = modal->findChild<QAbstractItemView *>("Grid")->model()->rowCount();
            modal->findChild<QPushButton *>("ButtonClose")->click();
        });
        menu->actions().at(1)->trigger();
        QCOMPARE(answer.Pending(), 0);
        QCOMPARE(answer.Seen().at(0).Caption, QString("Въезды ТС"));
        QCOMPARE(shownAuto, QString("В200ВВ Volvo Синий"));
        QCOMPARE(shownRows, 2);
        menu->hide();
    }

    void mainWindowCommandsOpenAndRefreshTheList()
    {
        CurrentUser.Id = 1; // no login dialog when the main window is shown
        FormMain->show();
        FormMain->ActionAutoList->trigger();
        QVERIFY(FormAutos);
        QTRY_COMPARE(FormAutos->Grid->ShownRowCount(), 3);
        QCOMPARE(FormMain->MdiArea()->subWindowList().size(), 1);
        QVERIFY(FormMain->MdiArea()->subWindowList().at(0)->isMaximized());
        TFormAutos *first = FormAutos;
        FormMain->ActionAutoList->trigger();
        QCOMPARE(FormAutos.data(), first);

        TModalAnswer answer;
        answer.Do([](QWidget *modal) {
            auto *card = qobject_cast<TFormAuto *>(modal);
            card->EditGosnomer->setText("Б001ББ");
            card->btnSave->click();
        });
        FormAutos->ButtonNew->click();
        QTRY_COMPARE(answer.Pending(), 0);
        QCOMPARE(ShownColumn("GOSNOMER"), QStringList({"А100АА", "Б001ББ", "В200ВВ", "С300СС"}));
        QCOMPARE(FormMain->LabelAutoSelected->text(), QString("Б001ББ"));

        // Closing frees the list; the command creates it afresh.
        FormMain->MdiArea()->subWindowList().at(0)->close();
        QTRY_VERIFY(!FormAutos);
        FormMain->ActionAutoList->trigger();
        QVERIFY(FormAutos);
        QTRY_COMPARE(FormAutos->Grid->ShownRowCount(), 4);
        CurrentUser = TUser();
    }

    void doubleClickUpdatesOnlyThatRow()
    {
        OpenList();
        AddAuto(9, "Е900ЕЕ", "Audi", "Чёрный"); // stored after the list was read
        QTreeView *view = FormAutos->Grid->View();
        const QPoint point = view->visualRect(IndexAt(2)).center();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, point);
        QCOMPARE(CurrentAuto.Id, 3);

        TModalAnswer answer;
        answer.Do([](QWidget *modal) {
            auto *card = qobject_cast<TFormAuto *>(modal);
            QCOMPARE(card->EditGosnomer->text(), QString("С300СС"));
            card->EditModel->setText("Kia Rio");
            card->EditFIO->setText("Новый владелец");
            card->btnSave->click();
        });
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, point);
        QTRY_COMPARE(answer.Pending(), 0);
        QTRY_COMPARE(ShownColumn("MODEL"), QStringList({"Лада", "Volvo", "Kia Rio"}));
        QCOMPARE(ShownColumn("NAME").at(2), QString("Новый владелец"));
        QCOMPARE(FormAutos->Grid->ShownRowCount(), 3);
    }
};

QTEST_MAIN(TestAutosList)
#include "test_autos_list.moc"
