// The main window: command table states by vehicle and user, menus, window
// commands, the login loop, and the general error box.
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QToolBar>
#include <QToolBox>
#include <QToolButton>
#include <QtTest>

#include "data/UnitData.h"
#include "platform/ErrorBox.h"
#include "shell/UnitLogin.h"
#include "shell/UnitMain.h"
#include "shell/UnitPlaces.h"
#include "tests/support/ModalAnswer.h"
#include "tests/support/ShellFixture.h"
#include "tests/support/StoreRows.h"

namespace {

// Fills the login dialog and presses "Войти".
TModalAnswer::TAction TypeLogin(const QString &ALogin, const QString &APassword)
{
    return [ALogin, APassword](QWidget *modal) {
        auto *login = qobject_cast<TFormLogin *>(modal);
        QVERIFY(login);
        login->EditLogin->setEditText(ALogin);
        login->EditPassword->setText(APassword);
        login->btnOk->click();
    };
}

QStringList MenuEntries(QMenu *AMenu)
{
    QStringList entries;
    for (QAction *action : AMenu->actions())
        entries << (action->isSeparator() ? QStringLiteral("-") : action->text());
    return entries;
}

QMenu *TopMenu(const QString &ATitle)
{
    for (QAction *action : FormMain->menuBar()->actions())
        if (action->text() == ATitle)
            return action->menu();
    return nullptr;
}

// An object whose event handler fails as a read does.
class TFailingObject : public QObject {
public:
    int Events = 0;
    bool event(QEvent *event) override
    {
        if (event->type() == QEvent::User) {
            ++Events;
            throw TDbError("TDbError", QStringLiteral("Чтение не удалось"));
        }
        return QObject::event(event);
    }
};

} // namespace

class TestShellMain : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        // The tests never run the application's loop; closing the main window
        // must not make later modal loops return at once.
        QApplication::setQuitOnLastWindowClosed(false);
    }

    void vehicleCommands_data()
    {
        QTest::addColumn<int>("autoId");
        QTest::addColumn<int>("placeId");
        QTest::addColumn<QString>("label");
        QTest::addColumn<bool>("labelEnabled");
        QTest::addColumn<bool>("in");
        QTest::addColumn<bool>("out");
        QTest::addColumn<bool>("payment");
        QTest::newRow("no vehicle") << 0 << 0 << "ТС не выбрано" << false << false << false << false;
        QTest::newRow("off a place") << 7 << 0 << "А123ВС 77 Лада серый" << true << true << false << true;
        QTest::newRow("on a place") << 7 << 3 << "А123ВС 77 Лада серый" << true << false << true << true;
    }
    void vehicleCommands()
    {
        QFETCH(int, autoId);
        QFETCH(int, placeId);
        TShellFixture shell;
        TAuto car;
        car.Id = 5;
        car.Gosnomer = "Х001ХХ";
        car.Place.Id = 1;
        FormMain->SetNewCurrentAuto(car);   // a previous state that must not stay

        car.Id = autoId;
        car.Gosnomer = "А123ВС 77";
        car.Model = "Лада";
        car.Color = "серый";
        car.Place.Id = placeId;
        FormMain->SetNewCurrentAuto(car);
        QTEST(FormMain->LabelAutoSelected->text(), "label");
        QTEST(FormMain->LabelAutoSelected->isEnabled(), "labelEnabled");
        QTEST(FormMain->ActionAutoIn->isEnabled(), "in");
        QTEST(FormMain->ActionAutoOut->isEnabled(), "out");
        QTEST(FormMain->ActionPaymentNew->isEnabled(), "payment");
        for (QAction *always : {FormMain->ActionAutoList, FormMain->ActionAutoNew, FormMain->ActionPaymentsList,
                                FormMain->ActionPlacesList, FormMain->ActionPlaceNew, FormMain->ActionServicesList,
                                FormMain->ActionServiceNew, FormMain->ActionReportAuto, FormMain->ActionReportSumma,
                                FormMain->ActionReportService, FormMain->ActionAbout, FormMain->ActionChangeUser,
                                FormMain->ActionFileExit})
            QVERIFY2(always->isEnabled() && always->isVisible(), qPrintable(always->objectName()));
    }

    void labelKeepsInnerBlanks()
    {
        TShellFixture shell;
        TAuto car;
        car.Id = 1;
        car.Gosnomer = "В777ОР";
        car.Color = "красный";
        FormMain->SetNewCurrentAuto(car);
        QCOMPARE(FormMain->LabelAutoSelected->text(), QString("В777ОР  красный"));
        QCOMPARE(FormMain->LabelAutoSelected->toolTip(), QString("Выбранный автомобиль"));
    }

    void startsWithNoVehicle()
    {
        CurrentAuto.Id = 12;
        TShellFixture shell;
        QCOMPARE(CurrentAuto.Id, 0);
        QCOMPARE(FormMain->LabelAutoSelected->text(), QString("ТС не выбрано"));
        QVERIFY(!FormMain->ActionAutoIn->isEnabled());
        QVERIFY(!FormMain->ActionPaymentNew->isEnabled());
        QCOMPARE(FormMain->windowTitle(), QString("Tollvane"));
        QCOMPARE(ConfigData.ProgramPath, shell.Db.ProgramPath());
    }

    void disabledCommandRunsNothingFromCode()
    {
        TShellFixture shell;
        TModalAnswer answer;
        FormMain->ActionPaymentNew->trigger();   // disabled: no warning
        QTest::qWait(60);
        QCOMPARE(answer.Seen().size(), 0);

        answer.Press("Cancel");
        FormMain->ActionPaymentNewExecute();
        QCOMPARE(answer.Seen().size(), 1);
        QCOMPARE(answer.Seen().at(0).Text, QString("ТС не выбрано!"));
        QCOMPARE(answer.Seen().at(0).Caption, QString("Предупреждение"));
        QCOMPARE(answer.Seen().at(0).Buttons, QStringList{"Cancel"});
    }

    void userStates_data()
    {
        QTest::addColumn<QString>("login");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("status");
        QTest::addColumn<bool>("adminCommands");
        QTest::newRow("nobody") << "" << "" << "< Нет пользователя >" << false;
        QTest::newRow("manager") << ManagerLogin << ManagerPassword << "Менеджер" << false;
        QTest::newRow("administrator") << AdminLogin << AdminPassword << "Администратор" << true;
    }
    void userStates()
    {
        QFETCH(QString, login);
        QFETCH(QString, password);
        QFETCH(bool, adminCommands);
        TShellFixture shell;
        // The administrator's commands shown before must follow the new user.
        shell.Login(AdminLogin, AdminPassword);
        CurrentUser = DModule->LoginUser(login, password);
        FormMain->SetNewCurrentUser(CurrentUser);
        QTEST(FormMain->StatusPanel(0)->text(), "status");
        QCOMPARE(FormMain->StatusPanel(1)->text(), QString());
        QCOMPARE(FormMain->ActionUserList->isVisible(), adminCommands);
        QCOMPARE(FormMain->ActionOptions->isVisible(), adminCommands);

        QStringList settings;
        for (QAction *action : TopMenu("Настройка")->actions())
            if (action->isVisible() && !action->isSeparator())
                settings << action->text();
        const QStringList expected = adminCommands
            ? QStringList{"Список парковочных мест", "Список пользователей", "Тарифы", "Параметры"}
            : QStringList{"Список парковочных мест", "Тарифы"};
        QCOMPARE(settings, expected);
    }

    void menusToolbarAndPane()
    {
        TShellFixture shell;
        QStringList titles;
        for (QAction *action : FormMain->menuBar()->actions())
            titles << action->text();
        QCOMPARE(titles, (QStringList{"Файл", "Правка", "ТС", "Оплаты", "Отчеты", "Настройка", "Окно", "Помощь"}));
        QCOMPARE(MenuEntries(TopMenu("Файл")), (QStringList{"Сменить пользователя", "-", "Выход"}));
        QCOMPARE(MenuEntries(TopMenu("Правка")),
                 (QStringList{"Копировать", "Вырезать", "Вставить", "Удалить", "-", "Отменить"}));
        QCOMPARE(MenuEntries(TopMenu("ТС")), (QStringList{"Въезд авто", "Выезд авто", "-", "Новое ТС", "Список ТС"}));
        QCOMPARE(MenuEntries(TopMenu("Оплаты")), (QStringList{"Новая оплата", "Список платежей"}));
        QCOMPARE(MenuEntries(TopMenu("Отчеты")),
                 (QStringList{"Учет въездов", "Отчет о выручке", "Отчет о ТС на парковке"}));
        QCOMPARE(MenuEntries(TopMenu("Настройка")),
                 (QStringList{"Список парковочных мест", "Список пользователей", "-", "Тарифы", "Параметры"}));
        QCOMPARE(MenuEntries(TopMenu("Окно")), (QStringList{"Каскадом", "Горизонтально", "Вертикально",
                                                             "Упорядочить", "Свернуть все", "Закрыть окно"}));
        QCOMPARE(MenuEntries(TopMenu("Помощь")), QStringList{"О программе"});

        QCOMPARE(FormMain->EditCopy1->shortcut(), QKeySequence("Ctrl+C"));
        QCOMPARE(FormMain->EditCut1->shortcut(), QKeySequence("Ctrl+X"));
        QCOMPARE(FormMain->EditPaste1->shortcut(), QKeySequence("Ctrl+V"));
        QCOMPARE(FormMain->EditDelete1->shortcut(), QKeySequence("Del"));
        QCOMPARE(FormMain->EditUndo1->shortcut(), QKeySequence("Ctrl+Z"));
        QCOMPARE(FormMain->ActionAutoIn->toolTip(), QString("Регистрация въезда автомобиля"));
        QCOMPARE(FormMain->ActionReportService->toolTip(), QString("Отчет о наличие ТС на парковке"));

        auto *first = FormMain->findChild<QToolBar *>("ToolBar1");
        auto *second = FormMain->findChild<QToolBar *>("ToolBar1Band2");
        QVERIFY(first && second);
        QCOMPARE(first->actions(), (QList<QAction *>{FormMain->ActionAutoList, FormMain->ActionAutoNew}));
        const QList<QAction *> band = second->actions();
        QCOMPARE(band.at(0), FormMain->ActionAutoIn);
        QCOMPARE(band.at(1), FormMain->ActionAutoOut);
        QVERIFY(band.at(2)->isSeparator());
        QCOMPARE(band.at(3), FormMain->ActionPaymentNew);
        QVERIFY(band.at(4)->isSeparator());
        QCOMPARE(second->widgetForAction(band.at(5)), static_cast<QWidget *>(FormMain->LabelAutoSelected));

        auto *pane = FormMain->findChild<QToolBox *>("dxNavBar1");
        QVERIFY(pane);
        QCOMPARE(pane->count(), 3);
        QCOMPARE(pane->itemText(0), QString("ТС"));
        QCOMPARE(pane->itemText(1), QString("Оплаты"));
        QCOMPARE(pane->itemText(2), QString("Отчеты"));
        QCOMPARE(pane->currentIndex(), 0);
        for (QAction *action : {FormMain->ActionAutoIn, FormMain->ActionAutoList, FormMain->ActionPaymentsList})
            QVERIFY2(!action->icon().isNull(), qPrintable(action->objectName()));
    }

    void windowCommandsFollowChildWindows()
    {
        TShellFixture shell;
        shell.Login(AdminLogin, AdminPassword);
        const QList<QAction *> windowCommands{FormMain->WindowCascade1, FormMain->WindowTileHorizontal1,
                                              FormMain->WindowTileVertical1, FormMain->WindowArrange1,
                                              FormMain->WindowMinimizeAll1, FormMain->WindowClose1};
        for (QAction *action : windowCommands)
            QVERIFY(!action->isEnabled());

        FormMain->show();
        FormMain->ActionPlacesListExecute();
        FormMain->ActionServicesListExecute();
        QCOMPARE(FormMain->MdiArea()->subWindowList().size(), 2);
        for (QAction *action : windowCommands)
            QVERIFY(action->isEnabled());

        FormMain->WindowTileVertical1->trigger();
        const QList<QMdiSubWindow *> windows = FormMain->MdiArea()->subWindowList();
        QCOMPARE(windows.at(0)->geometry().top(), windows.at(1)->geometry().top());
        QVERIFY(windows.at(0)->geometry().left() != windows.at(1)->geometry().left());
        FormMain->WindowTileHorizontal1->trigger();
        QCOMPARE(windows.at(0)->geometry().left(), windows.at(1)->geometry().left());
        QVERIFY(windows.at(0)->geometry().top() != windows.at(1)->geometry().top());
        FormMain->WindowMinimizeAll1->trigger();
        QVERIFY(windows.at(0)->isMinimized() && windows.at(1)->isMinimized());

        FormMain->WindowClose1->trigger();
        FormMain->WindowClose1->trigger();
        QTRY_VERIFY(FormMain->MdiArea()->subWindowList().isEmpty());
        QTRY_VERIFY(!FormMain->WindowClose1->isEnabled());
        QTRY_VERIFY(!FormPlaces);
    }

    void listOpensOnceAndReloadsAfterClosing()
    {
        TShellFixture shell;
        shell.Login(ManagerLogin, ManagerPassword);
        FormMain->show();
        StoreRows::AddPlace("П1");
        FormMain->ActionPlacesList->trigger();
        QVERIFY(FormPlaces);
        QPointer<TFormPlaces> first = FormPlaces;
        QCOMPARE(FormPlaces->Table->RecordCount(), 1);
        QVERIFY(FormMain->MdiArea()->activeSubWindow()->isMaximized());
        QCOMPARE(FormMain->MdiArea()->activeSubWindow()->windowTitle(), QString("Стояночные места"));

        StoreRows::AddPlace("П2");
        FormMain->ActionPlacesList->trigger();   // brought forward, not reloaded
        QCOMPARE(FormPlaces.data(), first.data());
        QCOMPARE(FormPlaces->Table->RecordCount(), 1);
        QCOMPARE(FormMain->MdiArea()->subWindowList().size(), 1);

        FormMain->RefreshOpenLists({TListKind::Autos});   // another list: nothing
        QCOMPARE(FormPlaces->Table->RecordCount(), 1);
        FormMain->RefreshOpenLists({TListKind::Places});
        QCOMPARE(FormPlaces->Table->RecordCount(), 2);

        FormMain->MdiArea()->closeAllSubWindows();
        QTRY_VERIFY(!FormPlaces);
        FormMain->RefreshOpenLists({TListKind::Places});   // a closed list is not touched
        StoreRows::AddPlace("П3");
        FormMain->ActionPlacesList->trigger();
        QCOMPARE(FormPlaces->Table->RecordCount(), 3);
    }

    // A failed attempt leaves nobody logged in before the warning; the next
    // attempt logs in.
    void loginLoopRetriesAfterFailure()
    {
        TShellFixture shell;
        TModalAnswer answer;
        QString statusAtWarning;
        bool adminShownAtWarning = true;
        QStringList offered;
        answer.Do([&](QWidget *modal) {
            auto *login = qobject_cast<TFormLogin *>(modal);
            for (int i = 0; i < login->EditLogin->count(); ++i)
                offered << login->EditLogin->itemText(i);
            TypeLogin(AdminLogin, "wrong")(modal);
        });
        answer.Do([&](QWidget *modal) {
            statusAtWarning = FormMain->StatusPanel(0)->text();
            adminShownAtWarning = FormMain->ActionUserList->isVisible();
            modal->findChild<QPushButton *>("Cancel")->click();
        });
        answer.Do([&](QWidget *modal) {
            QCOMPARE(qobject_cast<TFormLogin *>(modal)->EditPassword->text(), QString());
            TypeLogin(AdminLogin, AdminPassword)(modal);
        });
        FormMain->show();
        QTRY_COMPARE(answer.Pending(), 0);
        QTRY_VERIFY(CurrentUser.Id > 0);

        QCOMPARE(offered, (QStringList{"admin", "manager"}));
        QCOMPARE(answer.Seen().at(0).Caption, QString("Вход пользователя"));
        QCOMPARE(answer.Seen().at(1).Text, QString("Пользователь не найден"));
        QCOMPARE(answer.Seen().at(1).Caption, QString("Предупреждение"));
        QCOMPARE(statusAtWarning, QString("< Нет пользователя >"));
        QVERIFY(!adminShownAtWarning);
        QCOMPARE(FormMain->StatusPanel(0)->text(), QString("Администратор"));
        QVERIFY(FormMain->ActionUserList->isVisible());
        QVERIFY(FormMain->isVisible());
    }

    void inactiveUserCannotLogIn()
    {
        TShellFixture shell;
        StoreRows::Exec("INSERT INTO USERS (LOGIN, PASSWORD, ROLE, IS_ACTIVE, IS_DELETED) VALUES ('sleeper', '1', 0, 0, 0)");
        TModalAnswer answer;
        QStringList offered;
        answer.Do([&](QWidget *modal) {
            auto *login = qobject_cast<TFormLogin *>(modal);
            for (int i = 0; i < login->EditLogin->count(); ++i)
                offered << login->EditLogin->itemText(i);
            TypeLogin("sleeper", "1")(modal);
        });
        answer.Press("Cancel");
        answer.Press("btnClose");
        FormMain->show();
        QTRY_COMPARE(answer.Pending(), 0);
        QVERIFY(!offered.contains("sleeper"));
        QCOMPARE(answer.Seen().at(1).Text, QString("Пользователь не найден"));
        QTRY_VERIFY(!FormMain->isVisible());
    }

    void givingUpEndsTheApplication()
    {
        TShellFixture shell;
        TModalAnswer answer;
        answer.CloseBox();
        FormMain->show();
        QTRY_COMPARE(answer.Pending(), 0);
        QTRY_VERIFY(!FormMain->isVisible());
        QCOMPARE(shell.QuitRequests(), 1);
        QCOMPARE(CurrentUser.Id, 0);
    }

    void changeUserSwitchesRole()
    {
        TShellFixture shell;
        shell.Login(ManagerLogin, ManagerPassword);
        FormMain->show();
        QTest::qWait(50);   // no login at show: somebody is logged in
        QVERIFY(!FormMain->ActionUserList->isVisible());

        TModalAnswer answer;
        answer.Do(TypeLogin(AdminLogin, AdminPassword));
        FormMain->ActionChangeUser->trigger();
        QCOMPARE(answer.Pending(), 0);
        QCOMPARE(answer.Seen().size(), 1);
        QVERIFY(FormMain->ActionUserList->isVisible());
        QVERIFY(FormMain->ActionOptions->isVisible());

        // Giving up a change of user ends the application too.
        answer.Press("btnClose");
        FormMain->ActionChangeUser->trigger();
        QVERIFY(!FormMain->isVisible());
        QCOMPARE(shell.QuitRequests(), 1);
    }

    void databaseErrorAtFirstLoginEndsTheRun()
    {
        TShellFixture shell;
        DModule->Connection().Close();
        TModalAnswer answer;
        answer.Press("Cancel");
        FormMain->show();
        QTRY_COMPARE(answer.Pending(), 0);
        QCOMPARE(answer.Seen().at(0).Caption, QString("Ошибка"));
        QCOMPARE(answer.Seen().at(0).Text, QString("Нет подключения к базе данных"));
        QTRY_VERIFY(!FormMain->isVisible());
        QCOMPARE(shell.QuitRequests(), 1);
    }

    void databaseErrorAtChangeUserKeepsTheUser()
    {
        TShellFixture shell;
        shell.Login(AdminLogin, AdminPassword);
        FormMain->show();
        DModule->Connection().Close();
        TModalAnswer answer;
        answer.Press("Cancel");
        FormMain->ActionChangeUser->trigger();
        QCOMPARE(answer.Seen().size(), 1);
        QCOMPARE(answer.Seen().at(0).Caption, QString("Ошибка"));
        QVERIFY(CurrentUser.Id > 0);
        QCOMPARE(FormMain->StatusPanel(0)->text(), QString("Администратор"));
        QVERIFY(FormMain->isVisible());
        QCOMPARE(shell.QuitRequests(), 0);
    }

    // A read error inside a command is shown; the open list keeps its rows.
    void readErrorStopsTheCommand()
    {
        TShellFixture shell;
        shell.Login(ManagerLogin, ManagerPassword);
        FormMain->show();
        StoreRows::AddPlace("П1");
        FormMain->ActionPlacesList->trigger();
        QCOMPARE(FormPlaces->Table->RecordCount(), 1);
        DModule->Connection().Close();

        TModalAnswer answer;
        answer.Press("Cancel");
        // The refresh lets the error through; the command's guard shows it.
        QVERIFY_THROWS_EXCEPTION(TDbError, FormMain->RefreshOpenLists({TListKind::Places}));
        QVERIFY(!GuardedCall([] { FormMain->RefreshOpenLists({TListKind::Places}); }));
        QCOMPARE(answer.Seen().size(), 1);
        QCOMPARE(answer.Seen().at(0).Caption, QString("Ошибка"));
        QCOMPARE(FormPlaces->Table->RecordCount(), 1);

        answer.Press("Cancel");
        FormPlaces->findChild<QToolButton *>("ButtonDelete")->click();
        QTRY_COMPARE(answer.Pending(), 0);
        QCOMPARE(answer.Seen().last().Caption, QString("Ошибка"));
        QCOMPARE(FormPlaces->Table->RecordCount(), 1);
    }

    void errorEscapingAHandlerIsShown()
    {
        TFailingObject failing;
        TModalAnswer answer;
        answer.Press("Cancel");
        QEvent event(QEvent::User);
        QCOMPARE(QCoreApplication::sendEvent(&failing, &event), false);
        QCOMPARE(failing.Events, 1);
        QCOMPARE(answer.Seen().size(), 1);
        QCOMPARE(answer.Seen().at(0).Text, QString("Чтение не удалось"));
        QCOMPARE(answer.Seen().at(0).Buttons, QStringList{"Cancel"});
    }
};

int main(int argc, char **argv)
{
    TApplication app(argc, argv);
    TestShellMain test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_shell_main.moc"
