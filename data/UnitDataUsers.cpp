// User accounts and login.
#include "data/UnitData.h"

namespace {

const char *const UserColumns =
    "ID, FIRST_NAME, LAST_NAME, MIDDLE_NAME, LOGIN, PHONE, EMAIL, ROLE, ACCESS_RIGHTS, COMMENTS, IS_ACTIVE";

TUser ReadUser(const TDbQuery &query)
{
    TUser user;
    user.Id = query.AsInt("ID");
    user.FirstName = query.AsString("FIRST_NAME");
    user.LastName = query.AsString("LAST_NAME");
    user.MiddleName = query.AsString("MIDDLE_NAME");
    user.Login = query.AsString("LOGIN");
    user.Phone = query.AsString("PHONE");
    user.Email = query.AsString("EMAIL");
    user.Role = query.AsInt("ROLE");
    user.AccessRights = query.AsInt("ACCESS_RIGHTS");
    user.Comments = query.AsString("COMMENTS");
    user.IsActive = query.AsInt("IS_ACTIVE") > 0;
    return user;
}

TUserList ReadUsers(TDbQuery &query)
{
    TUserList users;
    query.Open();
    while (query.Next())
        users.append(ReadUser(query));
    return users;
}

struct TSeedAccount {
    const char *Login;
    const char *Password;
    int Role;
    const char *FirstName;
};

// The user's own fields that adding and updating both write (the password
// only when given: see UpdateUser).
void BindUserValues(TDbQuery &query, const TUser &user)
{
    query.Bind("lastName_", user.LastName)
        .Bind("firstName_", user.FirstName)
        .Bind("middleName_", user.MiddleName)
        .Bind("login_", user.Login)
        .Bind("phone_", user.Phone)
        .Bind("email_", user.Email)
        .Bind("role_", user.Role)
        .Bind("accessRights_", user.AccessRights)
        .Bind("comments_", user.Comments)
        .Bind("isActive_", user.IsActive ? 1 : 0);
}

} // namespace

TUser TDModule::LoginUser(const QString &ALogin, const QString &APassword)
{
    TDbQuery query(FConnection,
                   "SELECT ID, ROLE, ACCESS_RIGHTS, FIRST_NAME, LAST_NAME, MIDDLE_NAME, PHONE, EMAIL FROM USERS "
                   "WHERE LOGIN = :login_ AND PASSWORD = :password_ AND IS_ACTIVE = 1 AND IS_DELETED = 0");
    query.Bind("login_", ALogin).Bind("password_", APassword).Open();
    TUser user;
    if (query.Next()) {
        user.Id = query.AsInt("ID");
        user.Role = query.AsInt("ROLE");
        user.AccessRights = query.AsInt("ACCESS_RIGHTS");
        user.FirstName = query.AsString("FIRST_NAME");
        user.LastName = query.AsString("LAST_NAME");
        user.MiddleName = query.AsString("MIDDLE_NAME");
        user.Phone = query.AsString("PHONE");
        user.Email = query.AsString("EMAIL");
    }
    return user;
}

void TDModule::CheckUserTable()
{
    static const TSeedAccount Seeds[] = {
        {"admin", "Gates908", 1, "Администратор"},
        {"manager", "DeskOfficer", 0, "Менеджер"},
    };
    try {
        TDbQuery active(FConnection, "SELECT FIRST 1 ID FROM USERS WHERE IS_ACTIVE = 1 AND IS_DELETED = 0");
        active.Open();
        if (active.Next())
            return;
        for (const TSeedAccount &seed : Seeds) {
            TDbQuery insert(FConnection,
                            "INSERT INTO USERS (LOGIN, PASSWORD, ROLE, ACCESS_RIGHTS, FIRST_NAME, IS_ACTIVE, "
                            "CREATED_BY, CREATED_TIME) "
                            "VALUES (:login_, :password_, :role_, 0, :firstName_, 1, 0, :createdTime_)");
            insert.Bind("login_", seed.Login)
                .Bind("password_", seed.Password)
                .Bind("role_", seed.Role)
                .Bind("firstName_", QString::fromUtf8(seed.FirstName))
                .BindDateTime("createdTime_", Now())
                .Execute();
        }
    } catch (const TDbError &) {
    }
}

int TDModule::AddUser(PUser AUser)
{
    try {
        TDbQuery insert(FConnection,
                        "INSERT INTO USERS (LAST_NAME, FIRST_NAME, MIDDLE_NAME, PASSWORD, LOGIN, PHONE, EMAIL, "
                        "ROLE, ACCESS_RIGHTS, COMMENTS, IS_ACTIVE, CREATED_TIME, CREATED_BY) "
                        "VALUES (:lastName_, :firstName_, :middleName_, :password_, :login_, :phone_, :email_, "
                        ":role_, :accessRights_, :comments_, :isActive_, :createdTime_, :createdBy_) RETURNING ID");
        BindUserValues(insert, *AUser);
        insert.Bind("password_", AUser->Password)
            .BindDateTime("createdTime_", Now())
            .Bind("createdBy_", CurrentUser.Id)
            .Execute();
        return insert.AsInt("ID");
    } catch (const TDbError &) {
        return 0;
    }
}

bool TDModule::UpdateUser(PUser AUser)
{
    const bool newPassword = !AUser->Password.isEmpty();
    try {
        TDbQuery update(FConnection,
                        QString("UPDATE USERS SET LAST_NAME = :lastName_, FIRST_NAME = :firstName_, "
                                "MIDDLE_NAME = :middleName_, LOGIN = :login_, %1"
                                "PHONE = :phone_, EMAIL = :email_, ROLE = :role_, ACCESS_RIGHTS = :accessRights_, "
                                "COMMENTS = :comments_, IS_ACTIVE = :isActive_, UPDATED_TIME = :updatedTime_, "
                                "UPDATED_BY = :updatedBy_ WHERE ID = :userId_")
                            .arg(newPassword ? "PASSWORD = :password_, " : ""));
        BindUserValues(update, *AUser);
        update.BindDateTime("updatedTime_", Now())
            .Bind("updatedBy_", CurrentUser.Id)
            .Bind("userId_", AUser->Id);
        if (newPassword)
            update.Bind("password_", AUser->Password);
        update.Execute();
        return true;
    } catch (const TDbError &) {
        return false;
    }
}

bool TDModule::DeleteUser(PUser AUser)
{
    try {
        TDbQuery update(FConnection,
                        "UPDATE USERS SET IS_DELETED = 1, IS_ACTIVE = 0, DELETED_TIME = :deletedTime_, "
                        "DELETED_BY = :deletedBy_ WHERE ID = :userId_");
        update.BindDateTime("deletedTime_", Now()).Bind("deletedBy_", CurrentUser.Id).Bind("userId_", AUser->Id);
        return update.Execute() > 0;
    } catch (const TDbError &) {
        return false;
    }
}

TUser TDModule::GetUserById(int AUserId)
{
    TDbQuery query(FConnection, QString("SELECT %1 FROM USERS WHERE ID = %2 AND IS_DELETED = 0")
                                    .arg(UserColumns)
                                    .arg(AUserId));
    query.Open();
    return query.Next() ? ReadUser(query) : TUser();
}

TUserList TDModule::GetUserList(bool AActiveOnly, const QString &AFilter)
{
    TDbQuery query(FConnection, QString("SELECT %1 FROM USERS WHERE IS_DELETED = 0 %2\n%3\n"
                                        "ORDER BY LAST_NAME, FIRST_NAME, MIDDLE_NAME")
                                    .arg(UserColumns, AActiveOnly ? "AND IS_ACTIVE > 0" : "", AFilter));
    return ReadUsers(query);
}

TUserList TDModule::GetUserLoginList()
{
    TDbQuery query(FConnection, QString("SELECT %1 FROM USERS WHERE IS_DELETED = 0 AND IS_ACTIVE > 0 ORDER BY LOGIN")
                                    .arg(UserColumns));
    return ReadUsers(query);
}

QString TDModule::GetRoleName(int ARole)
{
    switch (ARole) {
    case 1:
        return QStringLiteral("Администратор");
    case 0:
        return QStringLiteral("Менеджер");
    default:
        return QString();
    }
}
