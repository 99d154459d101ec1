// The vehicle card over a real database: new and existing vehicles, the check
// of the three main fields, the document rule, the issue date and input lengths.
#include <QAction>
#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include "data/UnitData.h"
#include "shell/UnitAutoForm.h"
#include "shell/UnitMain.h"
#include "tests/support/ModalAnswer.h"
#include "tests/support/TestDb.h"

namespace {

using TFill = std::function<void(TFormAuto *card)>;

TFormAuto *Card(QWidget *modal)
{
    auto *card = qobject_cast<TFormAuto *>(modal);
    if (!card)
        qFatal("expected the vehicle card, got %s", modal->metaObject()->className());
    return card;
}

// Replaces the field's text as typing or pasting does (QTest::keyClicks knows no Cyrillic).
void Type(QLineEdit *edit, const QString &text)
{
    edit->setFocus();
    edit->selectAll();
    edit->insert(text);
}

// Fills the card as the operator would and closes it with `button`.
TModalAnswer::TAction FillAndPress(const TFill &fill, const QString &button)
{
    return [fill, button](QWidget *modal) {
        TFormAuto *card = Card(modal);
        fill(card);
        // Queued: a warning the click raises is a modal window of its own, answered after this one returns.
        QMetaObject::invokeMethod(card->findChild<QPushButton *>(button), &QPushButton::click, Qt::QueuedConnection);
    };
}

// As the message box shows it: its line break is "\n".
const QString NotFilled = "Не указан госномер ТС, марка и цвет!\nВведите нужную информацию и повторите операцию.";

} // namespace

class TestAutosCard : public QObject {
    Q_OBJECT

    std::unique_ptr<TTestDb> FDb;
    TDModule *FModule = nullptr;

    QString Column(int id, const QString &column)
    {
        TDbQuery query(FModule->Connection(),
                       QString("SELECT CAST(%1 AS VARCHAR(1000)) AS V FROM AUTO WHERE ID = %2").arg(column).arg(id));
        query.Open();
        if (!query.Next())
            return "<no row>";
        return query.IsNull("V") ? "<null>" : query.AsString("V");
    }
    int AutoCount()
    {
        TDbQuery query(FModule->Connection(), "SELECT COUNT(*) AS N FROM AUTO");
        query.Open();
        query.Next();
        return query.AsInt("N");
    }
    int LastAutoId()
    {
        TDbQuery query(FModule->Connection(), "SELECT MAX(ID) AS N FROM AUTO");
        query.Open();
        query.Next();
        return query.AsInt("N");
    }
    // The declared character length of an AUTO column, from the database itself.
    int ColumnLength(const QString &column)
    {
        TDbQuery query(FModule->Connection(),
                       "SELECT F.RDB$CHARACTER_LENGTH AS LEN FROM RDB$RELATION_FIELDS R "
                       "JOIN RDB$FIELDS F ON F.RDB$FIELD_NAME = R.RDB$FIELD_SOURCE "
                       "WHERE R.RDB$RELATION_NAME = 'AUTO' AND R.RDB$FIELD_NAME = '" + column + "'");
        query.Open();
        query.Next();
        return query.AsInt("LEN");
    }
    int InsertAuto(const QString &gosnomer, const QString &model, const QString &color)
    {
        FModule->Connection().ExecuteSql(
            QString("INSERT INTO AUTO (GOSNOMER, MODEL, COLOR, OWNER_FIO, OWNER_SERNO, BOOLPASSPORT, DATAVIDAN, "
                    "BOOLPRISHEP, NUMPRISHEP, COMMENTS, CREATED_TIME) VALUES ('%1', '%2', '%3', 'Иванов И.И.', "
                    "'4510', 1, '2010-03-15', 1, 'АВ1234', 'Постоянный', CURRENT_TIMESTAMP)")
                .arg(gosnomer, model, color));
        return LastAutoId();
    }

private slots:
    void init()
    {
        FDb = std::make_unique<TTestDb>();
        FModule = FDb->OpenDataModule();
        FormMain = new TFormMain(FDb->ProgramPath());
        CurrentAuto = TAuto();
    }
    void cleanup()
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(FormAuto, nullptr);
        delete FormMain;
        FDb.reset();
    }

    void newVehicleIsStoredAndBecomesCurrent()
    {
        TModalAnswer answer;
        answer.Do(FillAndPress([](TFormAuto *card) {
            QCOMPARE(card->windowTitle(), QString("Транспортное средство"));
            QVERIFY(card->EditGosnomer->text().isEmpty());
            QVERIFY(card->rdNoPassport->isChecked());
            QVERIFY(!card->chPrishep->isChecked());
            QVERIFY(!card->edNumPrishep->isEnabled());
            QVERIFY(card->edDataVidan->text().trimmed().isEmpty());
            Type(card->EditGosnomer, "А123ВС77");
            Type(card->EditModel, "Лада");
            Type(card->EditColor, "Белый");
            card->chPrishep->setChecked(true);
            QVERIFY(card->edNumPrishep->isEnabled());
            Type(card->edNumPrishep, "ВХ4455");
            Type(card->EditFIO, "Петров П.П.");
            Type(card->EditPhone, "+7 900 000-00-00");
            Type(card->EditAddress, "ул. Ленина, 1");
            Type(card->EditDocument, "Водительское удостоверение 77 01 123456");
            card->MemoComment->insertPlainText("Ночует по чётным");
        }, "btnSave"));
        QVERIFY(TFormAuto::ExecuteCard(0));
        QCOMPARE(answer.Pending(), 0);

        const int id = LastAutoId();
        QVERIFY(id > 0);
        QCOMPARE(Column(id, "GOSNOMER"), QString("А123ВС77"));
        QCOMPARE(Column(id, "MODEL"), QString("Лада"));
        QCOMPARE(Column(id, "COLOR"), QString("Белый"));
        QCOMPARE(Column(id, "BOOLPRISHEP"), QString("1"));
        QCOMPARE(Column(id, "NUMPRISHEP"), QString("ВХ4455"));
        QCOMPARE(Column(id, "OWNER_FIO"), QString("Петров П.П."));
        QCOMPARE(Column(id, "OWNER_PHONE"), QString("+7 900 000-00-00"));
        QCOMPARE(Column(id, "OWNER_ADDRESS"), QString("ул. Ленина, 1"));
        QCOMPARE(Column(id, "OWNER_DOCUMENT"), QString("Водительское удостоверение 77 01 123456"));
        QCOMPARE(Column(id, "BOOLPASSPORT"), QString("0"));
        QCOMPARE(Column(id, "COMMENTS"), QString("Ночует по чётным"));

        QCOMPARE(CurrentAuto.Id, id);
        QCOMPARE(FormMain->LabelAutoSelected->text(), QString("А123ВС77 Лада Белый"));
        QVERIFY(FormMain->ActionAutoIn->isEnabled());
        QVERIFY(!FormMain->ActionAutoOut->isEnabled());
    }

    void existingVehicleIsShownAndUpdated()
    {
        const int id = InsertAuto("В777ОР77", "Volvo", "Синий");
        CurrentAuto = FModule->GetAutoById(id);
        FormMain->SetNewCurrentAuto(CurrentAuto);
        TModalAnswer answer;
        answer.Do(FillAndPress([](TFormAuto *card) {
            QCOMPARE(card->EditGosnomer->text(), QString("В777ОР77"));
            QCOMPARE(card->EditFIO->text(), QString("Иванов И.И."));
            QVERIFY(card->rdPassport->isChecked());
            QCOMPARE(card->edSerPassport->text(), QString("4510"));
            QVERIFY(card->edSerPassport->isVisible());
            QVERIFY(!card->EditDocument->isVisible());
            QCOMPARE(card->edDataVidan->text(), QString("15.03.2010"));
            QVERIFY(card->chPrishep->isChecked());
            QCOMPARE(card->edNumPrishep->text(), QString("АВ1234"));
            QCOMPARE(card->MemoComment->toPlainText(), QString("Постоянный"));
            Type(card->EditColor, "Чёрный");
            card->chPrishep->setChecked(false);
        }, "btnSave"));
        QVERIFY(TFormAuto::ExecuteCard(id));
        QCOMPARE(Column(id, "COLOR"), QString("Чёрный"));
        QCOMPARE(Column(id, "BOOLPRISHEP"), QString("0"));
        QCOMPARE(Column(id, "NUMPRISHEP"), QString("АВ1234"));
        QCOMPARE(Column(id, "OWNER_SERNO"), QString("4510"));
        QCOMPARE(Column(id, "DATAVIDAN"), QString("2010-03-15"));
        QCOMPARE(AutoCount(), 1);
        // Editing does not reload the current vehicle.
        QCOMPARE(CurrentAuto.Color, QString("Синий"));
    }

    void closeStoresNothing()
    {
        const int id = InsertAuto("В777ОР77", "Volvo", "Синий");
        TModalAnswer answer;
        answer.Do(FillAndPress([](TFormAuto *card) { Type(card->EditColor, "Чёрный"); }, "btnClose"));
        answer.Do([](QWidget *modal) {
            Type(Card(modal)->EditGosnomer, "Х001ХХ");
            modal->close();
        });
        QVERIFY(!TFormAuto::ExecuteCard(id));
        QVERIFY(!TFormAuto::ExecuteCard(0));
        QCOMPARE(Column(id, "COLOR"), QString("Синий"));
        QCOMPARE(AutoCount(), 1);
        QCOMPARE(CurrentAuto.Id, 0);
    }

    void threeMainFields_data()
    {
        QTest::addColumn<QString>("gosnomer");
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("color");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("all empty") << "" << "" << "" << false;
        QTest::newRow("single blank number") << " " << "" << "" << true;
        QTest::newRow("colour only") << "" << "" << "Зелёный" << true;
        QTest::newRow("model only") << "" << "ГАЗель" << "" << true;
    }
    void threeMainFields()
    {
        QFETCH(QString, gosnomer);
        QFETCH(QString, model);
        QFETCH(QString, color);
        QFETCH(bool, accepted);
        TModalAnswer answer;
        answer.Do(FillAndPress([&](TFormAuto *card) {
            Type(card->EditGosnomer, gosnomer);
            Type(card->EditModel, model);
            Type(card->EditColor, color);
            Type(card->EditFIO, "Сидоров");
        }, "btnSave"));
        if (!accepted) {
            answer.Press("Cancel");
            // The refused card is still open with what was typed.
            answer.Do([](QWidget *modal) {
                QCOMPARE(Card(modal)->EditFIO->text(), QString("Сидоров"));
                QTest::mouseClick(Card(modal)->btnClose, Qt::LeftButton);
            });
        }
        QCOMPARE(TFormAuto::ExecuteCard(0), accepted);
        QCOMPARE(answer.Pending(), 0);
        if (!accepted) {
            QCOMPARE(answer.Seen().at(1).Text, NotFilled);
            QCOMPARE(answer.Seen().at(1).Buttons, QStringList({"Cancel"}));
            QCOMPARE(AutoCount(), 0);
            return;
        }
        const int id = LastAutoId();
        QCOMPARE(Column(id, "GOSNOMER"), gosnomer);
        QCOMPARE(Column(id, "COLOR"), color);
    }

    void documentSwitchKeepsThePassport()
    {
        TModalAnswer answer;
        answer.Do(FillAndPress([](TFormAuto *card) {
            Type(card->EditGosnomer, "Е555КХ99");
            QTest::mouseClick(card->rdPassport, Qt::LeftButton);
            QVERIFY(card->edSerPassport->isVisible());
            QVERIFY(card->edDataVidan->isVisible());
            QVERIFY(!card->EditDocument->isVisible());
            Type(card->edSerPassport, "4510");
            Type(card->edNumPassport, "123456");
            Type(card->edVidanPassport, "ОВД Тверской");
            card->edDataVidan->setDate(QDate(2012, 7, 1));
            QTest::mouseClick(card->rdNoPassport, Qt::LeftButton);
            QVERIFY(!card->edSerPassport->isVisible());
            QVERIFY(!card->edDataVidan->isVisible());
            QVERIFY(card->EditDocument->isVisible());
            Type(card->EditDocument, "Вид на жительство");
        }, "btnSave"));
        QVERIFY(TFormAuto::ExecuteCard(0));
        const int id = LastAutoId();
        QCOMPARE(Column(id, "BOOLPASSPORT"), QString("0"));
        QCOMPARE(Column(id, "OWNER_DOCUMENT"), QString("Вид на жительство"));
        QCOMPARE(Column(id, "OWNER_SERNO"), QString("4510"));
        QCOMPARE(Column(id, "OWNER_NUMPASSPORT"), QString("123456"));
        QCOMPARE(Column(id, "OWNER_VIDANPASSPORT"), QString("ОВД Тверской"));
        QCOMPARE(Column(id, "DATAVIDAN"), QString("2012-07-01"));
    }

    void emptyIssueDateIsStoredAsZero()
    {
        TModalAnswer answer;
        answer.Do(FillAndPress([](TFormAuto *card) {
            Type(card->EditGosnomer, "К100КК");
            QTest::mouseClick(card->rdPassport, Qt::LeftButton);
            card->edDataVidan->setDate(QDate(2015, 1, 20));
            // Delete empties the date again.
            card->edDataVidan->setFocus();
            QTest::keyClick(card->edDataVidan, Qt::Key_Delete);
            QVERIFY(card->edDataVidan->text().trimmed().isEmpty());
        }, "btnSave"));
        QVERIFY(TFormAuto::ExecuteCard(0));
        const int id = LastAutoId();
        QCOMPARE(FModule->GetAutoById(id).DATAVIDAN, 0.0);

        QString shownDate = "<not shown>";
        answer.Do([&shownDate](QWidget *modal) {
            shownDate = Card(modal)->edDataVidan->text();
            QTest::mouseClick(Card(modal)->btnClose, Qt::LeftButton);
        });
        QVERIFY(!TFormAuto::ExecuteCard(id));
        QCOMPARE(shownDate.trimmed(), QString());
    }

    void tooLongTextsAreCutToTheColumns()
    {
        const QString tooLong(1200, QChar(0x0416)); // "Ж", a two-byte letter in UTF-8
        TModalAnswer answer;
        answer.Do(FillAndPress([&](TFormAuto *card) {
            for (QLineEdit *edit : card->findChildren<QLineEdit *>()) {
                if (card->edDataVidan->isAncestorOf(edit))
                    continue;
                edit->setFocus();
                edit->selectAll();
                edit->insert(tooLong);
            }
            card->MemoComment->setFocus();
            card->MemoComment->insertPlainText(tooLong);
            card->chPrishep->setChecked(true);
        }, "btnSave"));
        QVERIFY(TFormAuto::ExecuteCard(0));
        const int id = LastAutoId();
        QVERIFY(id > 0);
        for (const QString column : {"GOSNOMER", "MODEL", "COLOR", "OWNER_PHONE", "OWNER_FIO", "OWNER_ADDRESS",
                                     "OWNER_DOCUMENT", "OWNER_SERNO", "OWNER_NUMPASSPORT", "OWNER_VIDANPASSPORT",
                                     "NUMPRISHEP", "COMMENTS"}) {
            const int length = ColumnLength(column);
            QVERIFY(length > 0);
            QCOMPARE(Column(id, column), QString(length, QChar(0x0416)));
        }
    }

    void saveAndCheckInFollowsTheCheckInRule()
    {
        QSignalSpy checkIns(FormMain->ActionAutoIn, &QAction::triggered);
        TModalAnswer answer;
        answer.Do(FillAndPress([](TFormAuto *card) { Type(card->EditGosnomer, "Н001НН"); }, "btnSaveIn"));
        QVERIFY(TFormAuto::ExecuteCard(0));
        // The new vehicle is current before the check-in runs for it.
        QCOMPARE(CurrentAuto.Gosnomer, QString("Н001НН"));
        QCOMPARE(checkIns.size(), 1);

        // A vehicle on a place is saved, but no check-in opens for it.
        const int id = InsertAuto("В777ОР77", "Volvo", "Синий");
        FModule->Connection().ExecuteSql("INSERT INTO PLACES (ID, NAME) VALUES (1, 'A-01')");
        FModule->Connection().ExecuteSql(
            QString("INSERT INTO AUTO_ACTION (ID_AUTO, ACTION_TYPE, ACTION_TYPE2, IN_TIME, ID_PLACE, CREATED_TIME) "
                    "VALUES (%1, 1, 0, CURRENT_TIMESTAMP, 1, CURRENT_TIMESTAMP)").arg(id));
        CurrentAuto = FModule->GetAutoById(id);
        FormMain->SetNewCurrentAuto(CurrentAuto);
        answer.Do(FillAndPress([](TFormAuto *card) { Type(card->EditColor, "Чёрный"); }, "btnSaveIn"));
        QVERIFY(TFormAuto::ExecuteCard(id));
        QCOMPARE(Column(id, "COLOR"), QString("Чёрный"));
        QCOMPARE(checkIns.size(), 1);
    }

    void missingVehicleIsReported()
    {
        TModalAnswer answer;
        answer.Press("Cancel");
        QVERIFY(!TFormAuto::ExecuteCard(4242));
        QCOMPARE(answer.Pending(), 0);
        QCOMPARE(answer.Seen().size(), 1);
        QCOMPARE(answer.Seen().at(0).Text, QString("Транспортное средство не найдено!\nПовторите операцию."));
    }
};

QTEST_MAIN(TestAutosCard)
#include "test_autos_card.moc"
