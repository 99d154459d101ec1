#include "shell/UnitUsers.h"

#include <QToolButton>

#include "data/UnitData.h"
#include "platform/ErrorBox.h"
#include "platform/MessDlgs.h"
#include "shell/UnitMain.h"
#include "shell/UnitUserForm.h"

QPointer<TFormUsers> FormUsers;

namespace {

const QColor InactiveColor(128, 128, 128);

QString UserName(const TUser &AUser)
{
    return (AUser.LastName + " " + AUser.FirstName + " " + AUser.MiddleName).trimmed();
}

} // namespace

TFormUsers::TFormUsers(QWidget *parent)
    : TListWindow(QStringLiteral("FormUsers"), QStringLiteral("Список пользователей"), parent)
{
    // Fields in the order of the visible columns; the hidden ones last.
    Table->AddField(Field("ID", TFieldKind::Integer, "ID"));
    Table->AddField(Field("NAME", TFieldKind::Text, "ФИО", 30));
    Table->AddField(Field("IS_ACTIVE", TFieldKind::Boolean, "Активен"));
    Table->AddField(Field("ROLE_NAME", TFieldKind::Text, "Роль", 20));
    Table->AddField(Field("LOGIN", TFieldKind::Text, "Логин", 20));
    Table->AddField(Field("ACTION", TFieldKind::Text, " ", 20));
    TFieldDef lastLogin = Field("LAST_LOGIN", TFieldKind::DateTime, "Последний вход");
    lastLogin.Visible = false;
    Table->AddField(lastLogin);
    TFieldDef role = Field("ROLE", TFieldKind::Integer, "Роль");
    role.Visible = false;
    Table->AddField(role);

    Grid->SetKeyField("ID");
    Grid->SetGroupingBoxVisible(true);
    Grid->SetFilterAllowed("ACTION", false);
    Grid->SetGroupAllowed("ACTION", false);
    Grid->SetPainter([this](int row, int, QFont &font, QColor &color) {
        font.setBold(false);
        color = Table->Value(row, "IS_ACTIVE").toBool() ? QColor(Qt::black) : InactiveColor;
    });

    ButtonNew = AddButton("ButtonNew", "Новый пользователь", "Создать нового пользователя программы",
                          "ActionUserNew", false);
    connect(ButtonNew, &QToolButton::clicked, this, [this] { GuardedCall([this] { NewUser(); }); });
    connect(Grid, &TDataGrid::RowClicked, this,
            [this](const QVariant &key, int, const QString &field, Qt::MouseButton button) {
                if (button == Qt::LeftButton)
                    GuardedCall([&] { RowClicked(key.toInt(), field); });
            });
    connect(Grid, &TDataGrid::RowDoubleClicked, this, [this](const QVariant &key) {
        GuardedCall([this, key] { EditRow(key.toInt()); });
    });
}

void TFormUsers::RefreshTable()
{
    const TUserList users = DModule->GetUserList(false, QString());
    Table->BeginUpdate();
    Table->Clear();
    for (const TUser &user : users) {
        const QString action = user.Id == CurrentUser.Id ? QString() : QStringLiteral("Удалить");
        Table->Append({user.Id, UserName(user), user.IsActive, DModule->GetRoleName(user.Role), user.Login,
                       action, QVariant(), user.Role});
    }
    Table->EndUpdate();
    if (FSelectedId >= 0)
        Grid->FocusPosition(FSelectedId);
}

void TFormUsers::RowClicked(int AUserId, const QString &AField)
{
    FSelectedId = Grid->FocusedPosition();
    if (AField != QStringLiteral("ACTION") || AUserId == CurrentUser.Id)
        return;
    const int row = Table->Locate("ID", AUserId);
    const QString name = Table->Value(row, "NAME").toString();
    if (!AskYesNo(QStringLiteral("Вы хотите удалить пользователя \"") + name + QStringLiteral("\"?")))
        return;
    TUser user = DModule->GetUserById(AUserId);
    if (user.Id == 0)
        return;
    DModule->DeleteUser(&user);
    RefreshTable();
}

// Role and role name stay as they were until the next full refresh.
void TFormUsers::EditRow(int AUserId)
{
    if (!TFormUser::ExecuteCard(AUserId))
        return;
    const TUser user = DModule->GetUserById(AUserId);
    const int row = Table->Locate("ID", AUserId);
    if (user.Id == 0 || row < 0)
        return;
    Table->SetValue(row, "NAME", UserName(user));
    Table->SetValue(row, "IS_ACTIVE", user.IsActive);
    Table->SetValue(row, "LOGIN", user.Login);
}

void TFormUsers::NewUser()
{
    if (TFormUser::ExecuteCard(0))
        RefreshTable();
}
