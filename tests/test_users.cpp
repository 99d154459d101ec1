// Accounts: seeding of the first two, login rules and the account operations.
#include <QTest>

#include "data/UnitData.h"
#include "tests/support/TestDb.h"

class TestUsers : public QObject {
    Q_OBJECT

    static TUser NewUser(const QString &login, const QString &password, bool active = true)
    {
        TUser u;
        u.Login = login;
        u.Password = password;
        u.FirstName = "Иван";
        u.LastName = "Петров";
        u.Role = 0;
        u.IsActive = active;
        return u;
    }

private slots:
    void freshDatabaseGetsExactlyTwoAccountsOnce()
    {
        TTestDb db;
        TDModule *m = db.OpenDataModule();
        TUserList users = m->GetUserLoginList();
        QCOMPARE(users.size(), 2);
        QCOMPARE(users[0].Login, QString("admin"));
        QCOMPARE(users[0].Role, 1);
        QCOMPARE(users[0].FirstName, QString("Администратор"));
        QCOMPARE(users[1].Login, QString("manager"));
        QCOMPARE(users[1].Role, 0);
        QCOMPARE(users[1].FirstName, QString("Менеджер"));
        QVERIFY(users[0].Password.isEmpty());
        m = db.OpenDataModule();
        QCOMPARE(m->GetUserList(false, QString()).size(), 2);
        db.CloseDataModule();
        QCOMPARE(db.IsqlValue("SELECT COUNT(*) FROM USERS WHERE CREATED_BY = 0 AND ACCESS_RIGHTS = 0;"),
                 QString("2"));
    }

    void seedsReturnWhenNoActiveAccountIsLeft()
    {
        TTestDb db;
        TDModule *m = db.OpenDataModule();
        TUser third = NewUser("clerk", "pw");
        third.Id = m->AddUser(&third);
        QVERIFY(third.Id > 0);
        for (TUser u : m->GetUserLoginList())
            if (u.Login != "clerk")
                QVERIFY(m->DeleteUser(&u));
        m = db.OpenDataModule();
        QCOMPARE(m->GetUserLoginList().size(), 1);

        third.IsActive = false;
        QVERIFY(m->UpdateUser(&third));
        m = db.OpenDataModule();
        const TUserList users = m->GetUserLoginList();
        QCOMPARE(users.size(), 2);
        QCOMPARE(users[0].Login, QString("admin"));
        QVERIFY(m->LoginUser("admin", "Gates908").Id > 0);
    }

    void login_data()
    {
        QTest::addColumn<QString>("login");
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("admin") << "admin" << "Gates908" << true;
        QTest::newRow("manager") << "manager" << "DeskOfficer" << true;
        QTest::newRow("wrong password") << "admin" << "gates908" << false;
        QTest::newRow("login in other case") << "Admin" << "Gates908" << false;
        QTest::newRow("empty") << "" << "" << false;
        QTest::newRow("injection") << "admin' --" << "x' OR '1'='1" << false;
        QTest::newRow("blocked") << "blocked" << "pw" << false;
        QTest::newRow("deleted") << "deleted" << "pw" << false;
    }

    void login()
    {
        QFETCH(QString, login);
        QFETCH(QString, password);
        QFETCH(bool, accepted);
        TTestDb db;
        TDModule *m = db.OpenDataModule();
        TUser blocked = NewUser("blocked", "pw", false);
        QVERIFY(m->AddUser(&blocked) > 0);
        TUser deleted = NewUser("deleted", "pw");
        deleted.Id = m->AddUser(&deleted);
        QVERIFY(m->DeleteUser(&deleted));
        const TUser user = m->LoginUser(login, password);
        QCOMPARE(user.Id > 0, accepted);
        QVERIFY(user.Login.isEmpty());
        QVERIFY(user.Password.isEmpty());
        if (accepted)
            QCOMPARE(user.Role, login == "admin" ? 1 : 0);
    }

    void addUpdateDeleteAndLookups()
    {
        TTestDb db;
        TDModule *m = db.OpenDataModule();
        CurrentUser.Id = 1;
        TUser u = NewUser("o'neil", "secret");
        u.MiddleName = "Сергеевич";
        u.Email = "a@b.ru";
        u.Comments = "смена 'Б'";
        u.Id = m->AddUser(&u);
        QVERIFY(u.Id > 0);

        TUser read = m->GetUserById(u.Id);
        QCOMPARE(read.Login, QString("o'neil"));
        QCOMPARE(read.Comments, QString("смена 'Б'"));
        QVERIFY(read.Password.isEmpty());
        QVERIFY(read.IsActive);

        // An empty password leaves the stored one; a new one replaces it.
        read.Password.clear();
        read.Role = 1;
        QVERIFY(m->UpdateUser(&read));
        QVERIFY(m->LoginUser("o'neil", "secret").Id == u.Id);
        QCOMPARE(m->LoginUser("o'neil", "secret").Role, 1);
        read.Password = "new";
        QVERIFY(m->UpdateUser(&read));
        QCOMPARE(m->LoginUser("o'neil", "secret").Id, 0);
        QCOMPARE(m->LoginUser("o'neil", "new").Id, u.Id);

        QVERIFY(m->DeleteUser(&read));
        QCOMPARE(m->GetUserById(u.Id).Id, 0);
        QCOMPARE(m->GetUserList(false, QString()).size(), 2);
        QCOMPARE(m->GetUserById(987654).Id, 0);
        db.CloseDataModule();
        QCOMPARE(db.IsqlValue(QString("SELECT DELETED_BY || '/' || IS_ACTIVE FROM USERS WHERE ID = %1;").arg(u.Id)),
                 QString("1/0"));
    }

    void listsOrderAndFilter()
    {
        TTestDb db;
        TDModule *m = db.OpenDataModule();
        TUser a = NewUser("z", "1");
        a.LastName = "Аверин";
        TUser b = NewUser("y", "1", false);
        b.LastName = "Борисов";
        m->AddUser(&a);
        m->AddUser(&b);
        const TUserList all = m->GetUserList(false, QString());
        QCOMPARE(all.size(), 4);
        QCOMPARE(all[2].LastName, QString("Аверин"));
        QCOMPARE(all[3].LastName, QString("Борисов"));
        QCOMPARE(m->GetUserList(true, QString()).size(), 3);
        QCOMPARE(m->GetUserList(false, "AND ROLE = 1").size(), 1);
        QVERIFY_THROWS_EXCEPTION(TDbError, m->GetUserList(false, "AND NO_SUCH_COLUMN = 1"));
    }

    void roleNames()
    {
        TDModule m;
        QCOMPARE(m.GetRoleName(1), QString("Администратор"));
        QCOMPARE(m.GetRoleName(0), QString("Менеджер"));
        QCOMPARE(m.GetRoleName(2), QString());
        QCOMPARE(m.GetRoleName(-1), QString());
    }

    void addFailureReturnsZero()
    {
        TTestDb db;
        TDModule *m = db.OpenDataModule();
        TUser u = NewUser(QString(51, 'x'), "pw");
        QCOMPARE(m->AddUser(&u), 0);
        u.Id = 1;
        QVERIFY(!m->UpdateUser(&u));
    }
};

QTEST_GUILESS_MAIN(TestUsers)
#include "test_users.moc"
