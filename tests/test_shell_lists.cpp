// Places, tariffs and users lists with their cards, and the options dialog,
// driven through their widgets on a real database.
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTimeEdit>
#include <QTreeView>
#include <QToolButton>
#include <QtTest>

#include "data/UnitData.h"
#include "platform/ErrorBox.h"
#include "shell/UnitMain.h"
#include "shell/UnitOptions.h"
#include "shell/UnitPlaceForm.h"
#include "shell/UnitPlaces.h"
#include "shell/UnitServiceForm.h"
#include "shell/UnitServices.h"
#include "shell/UnitUserForm.h"
#include "shell/UnitUsers.h"
#include "tests/support/ModalAnswer.h"
#include "tests/support/ShellFixture.h"
#include "tests/support/StoreRows.h"

namespace {

template <class TCard>
TModalAnswer::TAction FillCard(std::function<void(TCard *)> AFill, const char *AButton = "btnSave")
{
    return [AFill, AButton](QWidget *modal) {
        auto *card = qobject_cast<TCard *>(modal);
        QVERIFY2(card, qPrintable(modal->metaObject()->className()));
        AFill(card);
        card->template findChild<QPushButton *>(AButton)->click();
    };
}

QStringList Column(TMemTable *ATable, const QString &AField)
{
    QStringList values;
    for (int row = 0; row < ATable->RecordCount(); ++row)
        values << ATable->DisplayText(row, ATable->FieldIndex(AField));
    return values;
}

// A message as the box shows it: "\r\n" is a line break.
QString Shown(const char *AText)
{
    return QString::fromUtf8(AText).replace("\r\n", "\n");
}

QToolButton *Button(QWidget *AWindow, const char *AName)
{
    auto *button = AWindow->findChild<QToolButton *>(AName);
    if (!button)
        qFatal("no button %s", AName);
    return button;
}

} // namespace

class TestShellLists : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

    // ---------------------------------------------------------- places

    void newPlaceThroughTheSharedCommand()
    {
        TShellFixture shell;
        shell.Login(ManagerLogin, ManagerPassword);
        FormMain->show();
        FormMain->ActionPlacesList->trigger();
        QVERIFY(FormPlaces);
        QCOMPARE(FormPlaces->Grid->View()->model()->rowCount(), 0);
        QCOMPARE(Button(FormPlaces, "ButtonActionPlaceNew")->defaultAction(), FormMain->ActionPlaceNew);

        TModalAnswer answer;
        bool activeByDefault = false;
        answer.Do(FillCard<TFormPlace>([&](TFormPlace *card) {
            activeByDefault = card->CheckBoxIsActive->isChecked();
            card->EditName->setText("Место 1");
            card->MemoComment->setPlainText("У въезда");
        }));
        Button(FormPlaces, "ButtonActionPlaceNew")->click();
        QCOMPARE(answer.Pending(), 0);
        QCOMPARE(answer.Seen().at(0).Caption, QString("Парковочное место"));
        QVERIFY(activeByDefault);
        QCOMPARE(Column(FormPlaces->Table, "NAME"), QStringList{"Место 1"});
        QCOMPARE(FormPlaces->Table->Value(0, "IS_ACTIVE").toBool(), true);
        const TPlaceList stored = DModule->GetPlaceList(false);
        QCOMPARE(stored.size(), 1);
        QCOMPARE(stored.at(0).Comments, QString("У въезда"));

        answer.Press("btnClose");
        FormMain->ActionPlaceNew->trigger();
        QCOMPARE(DModule->GetPlaceList(false).size(), 1);
    }

    void busyPlaceShowsItsVehicleAndCannotBeDeleted()
    {
        TShellFixture shell;
        shell.Login(ManagerLogin, ManagerPassword);
        const int placeId = StoreRows::AddPlace("А-1");
        StoreRows::AddPlace("Б-2");
        const int autoId = StoreRows::AddAuto("О555ОО");
        const int stayId = StoreRows::AddStay(autoId, placeId, StoreRows::MinutesAgo(30), 0);
        FormMain->show();
        FormMain->ActionPlacesList->trigger();
        QCOMPARE(Column(FormPlaces->Table, "GOSNOMER"), (QStringList{"О555ОО", ""}));
        QCOMPARE(FormPlaces->Table->Value(0, "IS_BUSY").toBool(), true);

        TModalAnswer answer;
        answer.Press("Cancel");
        FormPlaces->Grid->FocusPosition(0);
        Button(FormPlaces, "ButtonDelete")->click();
        QCOMPARE(answer.Seen().size(), 1);
        QCOMPARE(answer.Seen().at(0).Text, Shown("Место занято!\r\nОперация невозможна."));
        QCOMPARE(answer.Seen().at(0).Caption, QString("Предупреждение"));
        QCOMPARE(DModule->GetPlaceList(false).size(), 2);

        // After the vehicle has left, the same place can go.
        StoreRows::Exec(QString("UPDATE AUTO_ACTION SET ACTION_TYPE2 = 2, OUT_TIME = CURRENT_TIMESTAMP WHERE ID = %1")
                            .arg(stayId));
        FormPlaces->RefreshTable();
        QCOMPARE(FormPlaces->Table->Value(0, "IS_BUSY").toBool(), false);
        QCOMPARE(FormPlaces->Table->Value(0, "GOSNOMER").toString(), QString());
        answer.Press("No");
        Button(FormPlaces, "ButtonDelete")->click();
        QCOMPARE(DModule->GetPlaceList(false).size(), 2);
        answer.Press("Yes");
        Button(FormPlaces, "ButtonDelete")->click();
        QCOMPARE(answer.Seen().at(2).Text, QString("Вы хотите удалить выбранный элемент?"));
        QCOMPARE(Column(FormPlaces->Table, "NAME"), QStringList{"Б-2"});
        QCOMPARE(StoreRows::Scalar(QString("SELECT IS_DELETED FROM PLACES WHERE ID = %1").arg(placeId)), QString("1"));
    }

    void editPlaceByDoubleClickUpdatesItsRow()
    {
        TShellFixture shell;
        shell.Login(ManagerLogin, ManagerPassword);
        StoreRows::AddPlace("А");
        StoreRows::AddPlace("Б");
        FormMain->show();
        FormMain->ActionPlacesList->trigger();
        TModalAnswer answer;
        answer.Do(FillCard<TFormPlace>([](TFormPlace *card) {
            QCOMPARE(card->EditName->text(), QString("Б"));
            card->EditName->setText("Я");
            card->CheckBoxIsActive->setChecked(false);
        }));
        DoubleClickCell(FormPlaces->Grid, 1, "NAME");
        QCOMPARE(answer.Pending(), 0);
        // Replaced in place: no re-sorting by name, the focus stays on it.
        QCOMPARE(Column(FormPlaces->Table, "NAME"), (QStringList{"А", "Я"}));
        QCOMPARE(FormPlaces->Table->Value(1, "IS_ACTIVE").toBool(), false);
        QCOMPARE(FormPlaces->Grid->FocusedPosition(), 1);
        QCOMPARE(DModule->GetPlaceFreeList().size(), 1);
    }

    void placeCardRefusals()
    {
        TShellFixture shell;
        TModalAnswer answer;
        answer.Press("Cancel");
        QVERIFY(!TFormPlace::ExecuteCard(9999));
        QCOMPARE(answer.Seen().at(0).Text, Shown("Объект не найден!\r\nПовторите операцию."));

        // Texts stop at their column's length, so the save cannot fail on them.
        answer.Do(FillCard<TFormPlace>([](TFormPlace *card) {
            QTest::keyClicks(card->EditName, QString(120, QChar('M')));
            card->MemoComment->setPlainText(QString(1200, QChar(u'о')));
        }));
        QVERIFY(TFormPlace::ExecuteCard(0));
        const TPlaceList places = DModule->GetPlaceList(false);
        QCOMPARE(places.size(), 1);
        QCOMPARE(places.at(0).Name.size(), 100);
        QCOMPARE(places.at(0).Comments.size(), 1000);
    }

    // ---------------------------------------------------------- tariffs

    void tarifDatesAndPlaceholders_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("stop");
        QTest::addColumn<QString>("time");
        QTest::newRow("new defaults") << DateFromQt(QDate(2010, 1, 1)) << "--.--.--" << "01.01.10" << "--:--";
        QTest::newRow("stop default") << DateFromQt(QDate(2030, 1, 1)) << "01.01.30" << "--.--.--" << "--:--";
        QTest::newRow("a day at 08:05")
            << DateFromQt(QDate(2024, 3, 1)) + TimeFromQt(QTime(8, 5)) << "01.03.24" << "01.03.24" << "08:05";
    }
    void tarifDatesAndPlaceholders()
    {
        QFETCH(double, value);
        QTEST(TarifStartDateText(value), "start");
        QTEST(TarifStopDateText(value), "stop");
        QTEST(TarifTimeText(value - std::floor(value)), "time");
    }

    void newTarifIsInactiveWithoutLimits()
    {
        TShellFixture shell;
        shell.Login(ManagerLogin, ManagerPassword);
        FormMain->show();
        FormMain->ActionServicesList->trigger();
        QVERIFY(FormServices);

        TModalAnswer answer;
        answer.Do(FillCard<TFormService>([](TFormService *card) {
            QCOMPARE(card->ComboBoxPeriodType->currentIndex(), -1);
            QCOMPARE(card->EditStartDate->date(), QDate(2010, 1, 1));
            QCOMPARE(card->EditStopDate->date(), QDate(2030, 1, 1));
            QVERIFY(!card->CheckBoxIsActive->isChecked());
            card->EditName->setText("Без единицы");
            card->EditPrice->setValue(150);
        }));
        Button(FormServices, "ButtonActionServiceNew")->click();
        QCOMPARE(answer.Pending(), 0);
        QCOMPARE(answer.Seen().at(0).Caption, QString("Тариф"));
        QVERIFY(!FormService);   // freed after use

        QCOMPARE(FormServices->Table->RecordCount(), 1);
        QCOMPARE(FormServices->Table->Value(0, "START_DATE").toString(), QString("--.--.--"));
        QCOMPARE(FormServices->Table->Value(0, "START_TIME").toString(), QString("--:--"));
        QCOMPARE(FormServices->Table->Value(0, "END_DATE").toString(), QString("--.--.--"));
        QCOMPARE(FormServices->Table->Value(0, "END_TIME").toString(), QString("--:--"));
        QCOMPARE(FormServices->Table->Value(0, "IS_ACTIVE").toBool(), false);
        QCOMPARE(FormServices->Table->Value(0, "PRICE").toDouble(), 150.0);
        const TTarifList stored = DModule->GetTarifList(false);
        QCOMPARE(stored.size(), 1);
        QCOMPARE(stored.at(0).PeriodType, -1);
        QVERIFY(DModule->GetTarifList(true).isEmpty());
    }

    void editTarifByDoubleClick()
    {
        TShellFixture shell;
        shell.Login(ManagerLogin, ManagerPassword);
        StoreRows::AddTarif("Час", 100, 1, 2);
        FormMain->show();
        FormMain->ActionServicesList->trigger();
        QCOMPARE(FormServices->Table->Value(0, "PERIOD_TYPE").toString(), DModule->GetPeriodTypeStr(2));

        TModalAnswer answer;
        answer.Do(FillCard<TFormService>([](TFormService *card) {
            QCOMPARE(card->EditName->text(), QString("Час"));
            QCOMPARE(card->ComboBoxPeriodType->currentIndex(), 2);
            card->EditStartDate->setDate(QDate(2024, 3, 1));
            card->EditStopDate->setDate(QDate(2024, 12, 31));
            card->EditStartTime->setTime(QTime(8, 0));
            card->EditStopTime->setTime(QTime(20, 0));
            card->ComboBoxPeriodType->setCurrentIndex(3);
            card->EditPeriod->setValue(2);
            card->CheckBoxIsActive->setChecked(true);
        }));
        DoubleClickCell(FormServices->Grid, 0, "NAME");
        QCOMPARE(answer.Pending(), 0);
        QCOMPARE(FormServices->Table->Value(0, "START_DATE").toString(), QString("01.03.24"));
        QCOMPARE(FormServices->Table->Value(0, "START_TIME").toString(), QString("08:00"));
        QCOMPARE(FormServices->Table->Value(0, "END_DATE").toString(), QString("31.12.24"));
        QCOMPARE(FormServices->Table->Value(0, "END_TIME").toString(), QString("20:00"));
        QCOMPARE(FormServices->Table->Value(0, "PERIOD").toInt(), 2);
        QCOMPARE(FormServices->Table->Value(0, "PERIOD_TYPE").toString(), DModule->GetPeriodTypeStr(3));
        const TTarif stored = DModule->GetTarifList(true).value(0);
        QCOMPARE(DateToQt(stored.StartDate), QDate(2024, 3, 1));
        QCOMPARE(TimeToQt(stored.StopTime), QTime(20, 0));
    }

    void deleteTarifAndRefusals()
    {
        TShellFixture shell;
        shell.Login(ManagerLogin, ManagerPassword);
        StoreRows::AddTarif("Сутки", 500, 1, 5);
        FormMain->show();
        FormMain->ActionServicesList->trigger();
        TModalAnswer answer;
        answer.Press("No");
        Button(FormServices, "ButtonDelete")->click();
        QCOMPARE(FormServices->Table->RecordCount(), 1);
        answer.Press("Yes");
        Button(FormServices, "ButtonDelete")->click();
        QCOMPARE(answer.Seen().at(1).Text, QString("Вы хотите удалить выбранный элемент?"));
        QCOMPARE(FormServices->Table->RecordCount(), 0);
        QVERIFY(DModule->GetTarifList(false).isEmpty());

        answer.Press("Cancel");
        QVERIFY(!TFormService::ExecuteCard(9999));
        QCOMPARE(answer.Seen().at(2).Text, Shown("Тариф не найден!\r\nПовторите операцию."));
    }

    // ---------------------------------------------------------- users

    void ownRowOffersNoDelete()
    {
        TShellFixture shell;
        shell.Login(AdminLogin, AdminPassword);
        FormMain->show();
        FormMain->ActionUserList->trigger();
        QVERIFY(FormUsers);
        QCOMPARE(FormUsers->Grid->GroupingBoxVisible(), true);
        const int own = FormUsers->Table->Locate("ID", CurrentUser.Id);
        const int other = 1 - own;
        QCOMPARE(FormUsers->Table->Value(own, "ACTION").toString(), QString());
        QCOMPARE(FormUsers->Table->Value(other, "ACTION").toString(), QString("Удалить"));
        QCOMPARE(Column(FormUsers->Table, "ROLE_NAME"), (QStringList{"Администратор", "Менеджер"}));

        TModalAnswer answer;
        ClickCell(FormUsers->Grid, own, "ACTION");
        QTest::qWait(60);
        QCOMPARE(answer.Seen().size(), 0);

        answer.Press("No");
        ClickCell(FormUsers->Grid, other, "ACTION");
        QCOMPARE(answer.Seen().size(), 1);
        QCOMPARE(answer.Seen().at(0).Text, QString("Вы хотите удалить пользователя \"Менеджер\"?"));
        QCOMPARE(FormUsers->Table->RecordCount(), 2);

        answer.Press("Yes");
        ClickCell(FormUsers->Grid, other, "ACTION");
        QCOMPARE(FormUsers->Table->RecordCount(), 1);
        QCOMPARE(DModule->LoginUser(ManagerLogin, ManagerPassword).Id, 0);
        QCOMPARE(DModule->GetUserLoginList().size(), 1);
    }

    void newUserIsAnInactiveManager()
    {
        TShellFixture shell;
        shell.Login(AdminLogin, AdminPassword);
        FormMain->show();
        FormMain->ActionUserList->trigger();
        TModalAnswer answer;
        // Load an administrator first: the new card must not inherit the role.
        answer.Press("btnClose");
        QVERIFY(!TFormUser::ExecuteCard(CurrentUser.Id));
        answer.Do([](QWidget *modal) {
            auto *card = qobject_cast<TFormUser *>(modal);
            QCOMPARE(card->ComboBoxRole->currentText(), QString("Менеджер"));
            QVERIFY(!card->CheckBoxIsActive->isChecked());
            QCOMPARE(card->EditLogin->text(), QString());
            card->EditLastName->setText("Петров");
            card->EditFirstName->setText("Пётр");
            card->EditLogin->setText("petrov");
            card->EditPassword1->setText("111");
            card->EditPassword2->setText("112");
            card->btnSave->click();   // refused: the card stays open
        });
        answer.Do([](QWidget *modal) { modal->findChild<QPushButton *>("Cancel")->click(); });
        answer.Do([](QWidget *) {
            FormUser->EditPassword2->setText("111");
            FormUser->btnSave->click();
        });
        Button(FormUsers, "ButtonNew")->click();
        QCOMPARE(answer.Pending(), 0);
        QCOMPARE(answer.Seen().at(2).Text, QString("Пароли не одинаковые!"));
        QCOMPARE(answer.Seen().at(2).Caption, QString("Ошибка"));
        QCOMPARE(answer.Seen().at(2).Buttons, QStringList{"Cancel"});
        QCOMPARE(answer.Seen().at(3).ClassName, QString("TFormUser"));

        const int row = FormUsers->Table->Locate("LOGIN", "petrov");
        QVERIFY(row >= 0);
        QCOMPARE(FormUsers->Table->Value(row, "NAME").toString(), QString("Петров Пётр"));
        QCOMPARE(FormUsers->Table->Value(row, "IS_ACTIVE").toBool(), false);
        QCOMPARE(FormUsers->Table->Value(row, "ROLE_NAME").toString(), QString("Менеджер"));
        // Inactive: neither offered nor able to log in.
        QCOMPARE(DModule->LoginUser("petrov", "111").Id, 0);
        for (const TUser &user : DModule->GetUserLoginList())
            QVERIFY(user.Login != "petrov");
    }

    void editWithoutPasswordKeepsIt()
    {
        TShellFixture shell;
        shell.Login(AdminLogin, AdminPassword);
        FormMain->show();
        FormMain->ActionUserList->trigger();
        const int managerId = DModule->LoginUser(ManagerLogin, ManagerPassword).Id;
        const int position = FormUsers->Table->Locate("ID", managerId);
        TModalAnswer answer;
        answer.Do(FillCard<TFormUser>([](TFormUser *card) {
            QCOMPARE(card->EditPassword1->text(), QString());
            card->EditMiddleName->setText("Иванович");
            card->ComboBoxRole->setCurrentIndex(1);
        }));
        DoubleClickCell(FormUsers->Grid, position, "NAME");
        QCOMPARE(answer.Pending(), 0);
        QCOMPARE(FormUsers->Table->Value(position, "NAME").toString(), QString("Менеджер Иванович"));
        // The role text stays until the next full refresh.
        QCOMPARE(FormUsers->Table->Value(position, "ROLE_NAME").toString(), QString("Менеджер"));
        const TUser manager = DModule->LoginUser(ManagerLogin, ManagerPassword);
        QCOMPARE(manager.Id, managerId);
        QCOMPARE(manager.Role, 1);

        answer.Press("Cancel");
        QVERIFY(!TFormUser::ExecuteCard(9999));
        QCOMPARE(answer.Seen().at(1).Text, Shown("Пользователь не найден!\r\nПовторите операцию."));
    }

    // ---------------------------------------------------------- options

    void optionsSaveOrKeep_data()
    {
        QTest::addColumn<bool>("tick");
        QTest::addColumn<QString>("stored");
        QTest::newRow("ticked") << true << "YES";
        QTest::newRow("cleared") << false << "NO";
    }
    void optionsSaveOrKeep()
    {
        QFETCH(bool, tick);
        TShellFixture shell;
        shell.Login(AdminLogin, AdminPassword);
        ConfigData.IsAllowCredit = !tick;
        TModalAnswer answer;
        answer.Do(FillCard<TFormOptions>([tick](TFormOptions *card) {
            card->EditClubName->setText("Стоянка у моста");
            card->EditClubSite->clear();
            card->CheckBoxUsePostPay->setChecked(tick);
        }));
        FormMain->ActionOptions->trigger();
        QCOMPARE(answer.Pending(), 0);
        QCOMPARE(answer.Seen().at(0).Caption, QString("Настройки программы"));
        QVERIFY(!FormOptions);
        QCOMPARE(ConfigData.ParkingName, QString("Стоянка у моста"));
        QCOMPARE(ConfigData.IsAllowCredit, tick);
        QTEST(DModule->GetOption("ALLOW_CREDIT"), "stored");
        QCOMPARE(DModule->GetOption("PARKING_NAME"), QString("Стоянка у моста"));

        // "Закрыть" after editing changes nothing, and reopening shows the kept values.
        answer.Do(FillCard<TFormOptions>([tick](TFormOptions *card) {
            card->EditClubName->setText("Другое");
            card->CheckBoxUsePostPay->setChecked(!tick);
        }, "btnClose"));
        QString shownAgain;
        answer.Do(FillCard<TFormOptions>([&](TFormOptions *card) { shownAgain = card->EditClubName->text(); },
                                         "btnClose"));
        FormMain->ActionOptions->trigger();
        FormMain->ActionOptions->trigger();
        QCOMPARE(shownAgain, QString("Стоянка у моста"));
        QCOMPARE(ConfigData.IsAllowCredit, tick);
        QTEST(DModule->GetOption("ALLOW_CREDIT"), "stored");
    }
};

QTEST_MAIN(TestShellLists)
#include "test_shell_lists.moc"
