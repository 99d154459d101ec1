// Options store and the start-up schema upgrade.
#include "data/UnitData.h"

namespace {

struct TColumnUpgrade {
    const char *Name;
    const char *Statement;
};

const TColumnUpgrade AutoColumnUpgrades[] = {
    {"OWNER_SERNO", "ALTER TABLE AUTO ADD OWNER_SERNO VARCHAR(5)"},
    {"OWNER_NUMPASSPORT", "ALTER TABLE AUTO ADD OWNER_NUMPASSPORT VARCHAR(10)"},
    {"OWNER_VIDANPASSPORT", "ALTER TABLE AUTO ADD OWNER_VIDANPASSPORT VARCHAR(250)"},
    {"BOOLPASSPORT", "ALTER TABLE AUTO ADD BOOLPASSPORT SMALLINT DEFAULT 0"},
    {"BOOLPRISHEP", "ALTER TABLE AUTO ADD BOOLPRISHEP SMALLINT DEFAULT 0"},
    {"NUMPRISHEP", "ALTER TABLE AUTO ADD NUMPRISHEP VARCHAR(50)"},
    {"DATAVIDAN", "ALTER TABLE AUTO ADD DATAVIDAN DATE"},
};

} // namespace

// Names and values travel as parameters, so an apostrophe in either is
// stored as typed and can never alter the statement.
QString TDModule::GetOption(const QString &AName)
{
    try {
        TDbQuery query(FConnection, "SELECT \"VAL\" FROM OPTIONS WHERE \"NAME\" = :name_");
        query.Bind("name_", AName).Open();
        return query.Next() ? query.AsString("VAL") : QString();
    } catch (const TDbError &) {
        DataShowMessage(QStringLiteral("Ошибка открытия базы данных! Код=1 ") + AName, mtCustom, MsgButton(mbOK));
        RequestEnd();
        return QString();
    }
}

bool TDModule::SetOption(const QString &AName, const QString &AValue)
{
    try {
        TDbQuery update(FConnection, "UPDATE OPTIONS  SET \"VAL\" = :value_ WHERE \"NAME\" = :name_");
        if (update.Bind("value_", AValue).Bind("name_", AName).Execute() > 0)
            return true;
    } catch (const TDbError &) {
    }
    try {
        TDbQuery insert(FConnection, "INSERT INTO OPTIONS  (\"NAME\", \"VAL\")  VALUES (:name_, :value_)");
        insert.Bind("name_", AName).Bind("value_", AValue).Execute();
        return true;
    } catch (const TDbError &) {
        DataShowMessage(QStringLiteral("Ошибка открытия базы данных! Код ошибки=2"), mtCustom, MsgButton(mbOK));
        RequestEnd();
        return false;
    }
}

int TDModule::GetDBVersion()
{
    bool ok = false;
    const int version = GetOption("DB_VERSION").trimmed().toInt(&ok);
    // A version text that is not a number counts as no version at all.
    return ok ? version : 0;
}

int TDModule::UpdateDBStructure(int ADBVer)
{
    return ADBVer == 0 ? 1 : 0;
}

bool TDModule::ColumnExists(const QString &AName)
{
    TDbQuery query(FConnection, "SELECT * FROM AUTO");
    for (int i = 0; i < query.FieldCount(); ++i)
        if (query.FieldName(i) == AName)
            return true;
    return false;
}

void TDModule::UpgradeAutoColumns()
{
    for (const TColumnUpgrade &column : AutoColumnUpgrades) {
        try {
            if (!ColumnExists(column.Name))
                FConnection.ExecuteSql(column.Statement);
        } catch (const TDbError &) {
            // A column that cannot be added leaves its statements failing later.
        }
    }
}
