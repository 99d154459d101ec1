#include "data/UnitData.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QThread>

#include <pugixml.hpp>

TConfigData ConfigData;
TUser CurrentUser;
TAuto CurrentAuto;
TDataHooks DataHooks;
TDModule *DModule = nullptr;

namespace {
const char *const DbUser = "SYSDBA";
const char *const DbPassword = "gravelpit";
const int SchemaVersion = 1;
}

int DataShowMessage(const QString &text, TMsgDlgType kind, TMsgDlgButtons buttons)
{
    if (DataHooks.ShowMessage)
        return DataHooks.ShowMessage(text, kind, buttons);
    qWarning("%s", qPrintable(text));
    return mrOk;
}

void DataCloseMainWindow()
{
    if (DataHooks.CloseMainWindow)
        DataHooks.CloseMainWindow();
}

// ------------------------------------------------------------ configuration

void InitConfigPaths(const QString &programPath)
{
    QString path = QDir::toNativeSeparators(programPath);
    if (!path.endsWith(QDir::separator()))
        path += QDir::separator();
    ConfigData.ProgramPath = path;
    ConfigData.XMLConfigFileName = "config.xml";
    ConfigData.XMLConfigFilePath = path;
    ConfigData.DataFilePath = path + "db" + QDir::separator();
}

namespace {

bool CreateConfigFile(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray text = "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\r\n<config>\r\n</config>\r\n";
    return file.write(text) == text.size();
}

// pugixml reads UTF-8; a file declared in windows-1251 is recoded first.
QByteArray ConfigAsUtf8(const QByteArray &raw)
{
    static const QRegularExpression declaration(R"(<\?xml[^>]*encoding\s*=\s*["']([^"']+)["'])",
                                                QRegularExpression::CaseInsensitiveOption);
    const auto match = declaration.match(QString::fromLatin1(raw.left(200)));
    const QString encoding = match.hasMatch() ? match.captured(1).toLower() : QString("utf-8");
    if (encoding == "utf-8" || encoding == "utf8")
        return raw;
    QStringDecoder decoder(encoding.toLatin1().constData());
    if (!decoder.isValid())
        decoder = QStringDecoder("windows-1251");
    QString text = decoder.decode(raw);
    text.replace(match.captured(0), QString(match.captured(0)).replace(match.captured(1), "utf-8"));
    return text.toUtf8();
}

} // namespace

void ReadConfigFile(const QString &fileName)
{
    // A folder we cannot write leaves no config.xml; the default folder stays.
    if (!QFile::exists(fileName) && !CreateConfigFile(fileName))
        return;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QByteArray text = ConfigAsUtf8(file.readAll());
    pugi::xml_document doc;
    if (!doc.load_buffer(text.constData(), size_t(text.size()), pugi::parse_default, pugi::encoding_utf8))
        return;
    const pugi::xml_node first = doc.document_element().first_child();
    if (!first || QString::fromUtf8(first.name()) != "data")
        return;
    const pugi::xml_node path = first.child("DataFilePath");
    const QString value = QString::fromUtf8(path.text().get()).trimmed();
    // An empty folder would point at "database.fdb" in the working folder.
    if (path && !value.isEmpty())
        ConfigData.DataFilePath = value;
}

// ------------------------------------------------------------ SQL text

QString SqlLiteral(const QString &text)
{
    return QString(text).replace('\'', "''");
}

QString LikeLiteral(const QString &typed)
{
    QString out;
    out.reserve(typed.size() + 8);
    for (const QChar c : typed) {
        if (c == '\\' || c == '%' || c == '_')
            out += '\\';
        out += c;
    }
    return SqlLiteral(out);
}

QString LikeEscapeClause()
{
    return QStringLiteral(" ESCAPE '\\'");
}

// ------------------------------------------------------------ the module

TDModule::TDModule() = default;
TDModule::~TDModule() = default;

bool TDModule::IsRemoteDatabase() const
{
    // Firebird's server syntax: "host:/path" or "host/port:/path".
    static const QRegularExpression server(R"(^[A-Za-z0-9._\-]+(/\d+)?:[/\\])");
    const QString name = DatabaseFileName.trimmed();
    return server.match(name).hasMatch() && !QRegularExpression(R"(^[A-Za-z]:[/\\])").match(name).hasMatch();
}

bool TDModule::Connect(int attempts)
{
    for (int attempt = 1; attempt <= attempts; ++attempt) {
        QThread::msleep(ulong(ConnectWaitMs));
        try {
            FConnection.Open(DatabaseFileName, DbUser, DbPassword);
            return true;
        } catch (const TDbError &error) {
            if (attempt == attempts) {
                DataShowMessage(QStringLiteral("E1001: Невозможно подключиться к файлу БД!\r\n"
                                               "Работа невозможна!\r\n"
                                               "Обратитесь к системному администратору.\r\n"
                                               "Текст ошибки: ")
                                    + error.TypeName() + " " + error.Message(),
                                mtError, MsgButton(mbCancel));
            }
        }
    }
    return false;
}

bool TDModule::DataModuleCreate()
{
    CurrentUser.Id = 0;
    CurrentAuto.Id = 0;
    DatabaseFileName = ConfigData.DataFilePath.trimmed() + "database.fdb";
    FEndRequested = false;

    if (!IsRemoteDatabase()) {
        if (!QFileInfo(DatabaseFileName).isFile()) {
            DataShowMessage(DatabaseFileName, mtCustom, MsgButton(mbOK));
            DataShowMessage(QStringLiteral("E1000: Не найден файл БД!\r\nРабота не возможна!\r\n") + DatabaseFileName
                                + QStringLiteral("\r\nОбратитесь к системному администратору."),
                            mtError, MsgButton(mbCancel));
            RequestEnd();
            return false;
        }
        ArxivData();
        if (FEndRequested)
            return false;
    }

    if (!Connect()) {
        RequestEnd();
        return false;
    }
    if (GetDBVersion() < SchemaVersion)
        UpdateDBStructure(GetDBVersion());
    CheckUserTable();
    ConfigData.ParkingName = GetOption("PARKING_NAME");
    ConfigData.ParkingAddress = GetOption("PARKING_ADDRESS");
    ConfigData.ParkingPhone = GetOption("PARKING_PHONE");
    ConfigData.ParkingEmail = GetOption("PARKING_EMAIL");
    ConfigData.ParkingSite = GetOption("PARKING_SITE");
    ConfigData.IsAllowCredit = GetOption("ALLOW_CREDIT") == "YES";
    UpgradeAutoColumns();
    return !FEndRequested;
}

void TDModule::RequestEnd()
{
    FEndRequested = true;
    DataCloseMainWindow();
}
