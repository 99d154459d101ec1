#include "tests/support/ShellFixture.h"

#include <QApplication>
#include <QTest>
#include <QTreeView>

#include "data/UnitData.h"
#include "platform/DataGrid.h"
#include "shell/UnitLogin.h"
#include "shell/UnitMain.h"
#include "shell/UnitUserForm.h"

namespace {

class TQuitFilter : public QObject {
public:
    int Requests = 0;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Quit) {
            ++Requests;
            return true;
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

TShellFixture::TShellFixture() : FQuitFilter(new TQuitFilter)
{
    qApp->installEventFilter(FQuitFilter);
    CurrentUser = TUser();
    CurrentAuto = TAuto();
    FormMain = new TFormMain(Db.ProgramPath());
    FormMain->resize(1000, 700);
    Db.OpenDataModule();
    FormLogin = new TFormLogin(FormMain);
    FormUser = new TFormUser(FormMain);
}

TShellFixture::~TShellFixture()
{
    delete FormMain;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    Db.CloseDataModule();
    CurrentUser = TUser();
    CurrentAuto = TAuto();
    delete FQuitFilter;
}

int TShellFixture::QuitRequests() const
{
    QCoreApplication::sendPostedEvents(qApp, QEvent::Quit);
    return static_cast<TQuitFilter *>(FQuitFilter)->Requests;
}

void TShellFixture::Login(const QString &ALogin, const QString &APassword)
{
    CurrentUser = DModule->LoginUser(ALogin, APassword);
    QVERIFY(CurrentUser.Id > 0);
    FormMain->SetNewCurrentUser(CurrentUser);
}

namespace {

QPoint CellCenter(TDataGrid *AGrid, int APosition, const QString &AField)
{
    QTreeView *view = AGrid->View();
    const QModelIndex index = view->model()->index(APosition, AGrid->Table()->FieldIndex(AField));
    view->scrollTo(index);
    return view->visualRect(index).center();
}

} // namespace

void ClickCell(TDataGrid *AGrid, int APosition, const QString &AField)
{
    QTest::mouseClick(AGrid->View()->viewport(), Qt::LeftButton, {}, CellCenter(AGrid, APosition, AField));
}

void DoubleClickCell(TDataGrid *AGrid, int APosition, const QString &AField)
{
    const QPoint cell = CellCenter(AGrid, APosition, AField);
    QTest::mouseClick(AGrid->View()->viewport(), Qt::LeftButton, {}, cell);
    QTest::mouseDClick(AGrid->View()->viewport(), Qt::LeftButton, {}, cell);
}
