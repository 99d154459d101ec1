#include "platform/FbDatabase.h"

#include <firebird/Interface.h>
#include <ibase.h>

#include <QHash>
#include <QRegularExpression>

#include <atomic>
#include <cmath>
#include <cstring>
#include <vector>

using namespace Firebird;

namespace {

IMaster *Master()
{
    static IMaster *master = fb_get_master_interface();
    return master;
}

std::atomic<qint64> ExecutedStatements{0};

// Firebird counts days from 1858-11-17 and time in 1/10000 s; TDateTime counts
// days from 1899-12-30.
constexpr int FirebirdDayOffset = 15018;
constexpr qint64 TimeUnitsPerDay = 864000000;

TDateTime FromFirebird(ISC_DATE date, ISC_TIME time)
{
    return double(int(date) - FirebirdDayOffset) + double(time) / double(TimeUnitsPerDay);
}

void ToFirebird(TDateTime value, ISC_DATE &date, ISC_TIME &time)
{
    // Round to whole milliseconds first, so a value read back compares equal.
    const qint64 ms = std::llround(value * 86400000.0);
    qint64 days = ms / 86400000;
    qint64 rest = ms % 86400000;
    if (rest < 0) {
        rest += 86400000;
        --days;
    }
    date = ISC_DATE(days + FirebirdDayOffset);
    time = ISC_TIME(rest * 10);
}

bool HasCode(const IStatus *status, ISC_STATUS code)
{
    const ISC_STATUS *v = status->getErrors();
    while (v && v[0] != isc_arg_end) {
        if (v[0] == isc_arg_gds && v[1] == code)
            return true;
        if (v[0] == isc_arg_cstring)
            v += 3;
        else
            v += 2;
    }
    return false;
}

[[noreturn]] void Raise(IStatus *status)
{
    char buffer[2048];
    Master()->getUtilInterface()->formatStatus(buffer, sizeof buffer, status);
    int code = 0;
    for (ISC_STATUS c : {ISC_STATUS(isc_lock_conflict), ISC_STATUS(isc_update_conflict), ISC_STATUS(isc_deadlock)})
        if (HasCode(status, c))
            code = int(c);
    const ISC_STATUS *v = status->getErrors();
    if (!code && v && v[0] == isc_arg_gds)
        code = int(v[1]);
    throw TDbError("TDbError", QString::fromUtf8(buffer).trimmed(), code);
}

// Owns a status object and turns an error into TDbError.
class TStatus {
public:
    TStatus() : FRaw(Master()->getStatus()), FWrapper(FRaw) {}
    ~TStatus() { FRaw->dispose(); }
    CheckStatusWrapper *operator&() { return &FWrapper; }
    bool Failed() { return FWrapper.getState() & IStatus::STATE_ERRORS; }
    void Check()
    {
        if (Failed())
            Raise(&FWrapper);
    }

private:
    IStatus *FRaw;
    CheckStatusWrapper FWrapper;
};

std::vector<unsigned char> TransactionParameters(bool readOnly, bool noWait)
{
    // A read sees one consistent snapshot (cheaper per row than read
    // committed); a write sees what other desks committed.
    std::vector<unsigned char> tpb = {isc_tpb_version3};
    if (readOnly) {
        tpb.push_back(isc_tpb_concurrency);
        tpb.push_back(isc_tpb_read);
    } else {
        tpb.push_back(isc_tpb_read_committed);
        tpb.push_back(isc_tpb_rec_version);
        tpb.push_back(isc_tpb_write);
    }
    if (noWait || readOnly) {
        tpb.push_back(isc_tpb_nowait);
    } else {
        // A write waits a little for a row another desk holds, then fails.
        tpb.push_back(isc_tpb_wait);
        tpb.push_back(isc_tpb_lock_timeout);
        tpb.push_back(1);
        tpb.push_back(10);
    }
    return tpb;
}

ITransaction *StartTransaction(IAttachment *attachment, bool readOnly, bool noWait)
{
    if (!attachment)
        throw TDbError("TDbError", QStringLiteral("Нет подключения к базе данных"));
    const auto tpb = TransactionParameters(readOnly, noWait);
    TStatus status;
    ITransaction *tra = attachment->startTransaction(&status, unsigned(tpb.size()), tpb.data());
    status.Check();
    return tra;
}

// Replaces ":name" parameters by "?" outside string literals, quoted
// identifiers and comments; returns the names in order of appearance.
QByteArray TranslateParameters(const QString &sql, QStringList &names)
{
    QString out;
    out.reserve(sql.size());
    const int n = sql.size();
    for (int i = 0; i < n; ++i) {
        const QChar c = sql[i];
        if (c == '\'' || c == '"') {
            int j = i + 1;
            while (j < n) {
                if (sql[j] == c) {
                    if (j + 1 < n && sql[j + 1] == c) {
                        j += 2;
                        continue;
                    }
                    break;
                }
                ++j;
            }
            out += sql.mid(i, j - i + 1);
            i = j;
        } else if (c == '-' && i + 1 < n && sql[i + 1] == '-') {
            int j = sql.indexOf('\n', i);
            if (j < 0)
                j = n - 1;
            out += sql.mid(i, j - i + 1);
            i = j;
        } else if (c == '/' && i + 1 < n && sql[i + 1] == '*') {
            int j = sql.indexOf("*/", i + 2);
            j = j < 0 ? n - 1 : j + 1;
            out += sql.mid(i, j - i + 1);
            i = j;
        } else if (c == ':' && i + 1 < n && (sql[i + 1].isLetter() || sql[i + 1] == '_')) {
            int j = i + 1;
            while (j < n && (sql[j].isLetterOrNumber() || sql[j] == '_'))
                ++j;
            names << sql.mid(i + 1, j - i - 1);
            out += '?';
            i = j - 1;
        } else {
            out += c;
        }
    }
    return out.toUtf8();
}

enum class TParamKind { Null, Integer, Double, Text, Moment };

struct TParamValue {
    TParamKind Kind = TParamKind::Null;
    qint64 Int = 0;
    double Real = 0;
    QByteArray Text;
};

} // namespace

TDbError::TDbError(const QString &typeName, const QString &message, int sqlCode)
    : std::runtime_error(message.toStdString()), FTypeName(typeName), FMessage(message), FSqlCode(sqlCode)
{
}

bool TDbError::IsConflict() const
{
    return FSqlCode == isc_lock_conflict || FSqlCode == isc_update_conflict || FSqlCode == isc_deadlock;
}

// ---------------------------------------------------------------- transaction

TDbTransaction::TDbTransaction(TDbConnection &connection, bool readOnly, bool noWait)
    : FConnection(connection), FHandle(StartTransaction(connection.Handle(), readOnly, noWait))
{
}

TDbTransaction::~TDbTransaction()
{
    if (FHandle) {
        TStatus status;
        FHandle->rollback(&status);
        if (status.Failed())
            FHandle->release();
    }
}

void TDbTransaction::Commit()
{
    if (!FHandle)
        return;
    TStatus status;
    FHandle->commit(&status);
    status.Check();
    FHandle = nullptr;
}

void TDbTransaction::Rollback()
{
    if (!FHandle)
        return;
    TStatus status;
    FHandle->rollback(&status);
    FHandle = nullptr;
    status.Check();
}

// ---------------------------------------------------------------- query

struct TDbQuery::Impl {
    TDbConnection &Connection;
    TDbTransaction *Outer;
    QStringList ParamNames;
    QByteArray Sql;
    QHash<QString, TParamValue> Values;
    IStatement *Statement = nullptr;
    IResultSet *Cursor = nullptr;
    ITransaction *Own = nullptr;
    IMessageMetadata *OutMeta = nullptr;
    std::vector<unsigned char> Row;
    bool HasRow = false;

    struct TColumn {
        QString Name;
        unsigned Type, Offset, NullOffset, Length;
        int Scale;
        bool FirstOfName; // a later column of an equal name is never found by name
    };
    std::vector<TColumn> Columns;
    // Where the next lookup by name starts: a row is mostly read in the
    // order of its columns, so each lookup then costs one comparison.
    mutable size_t NextLookup = 0;

    Impl(TDbConnection &c, TDbTransaction *t) : Connection(c), Outer(t) {}

    ITransaction *Transaction(bool readOnly)
    {
        if (Outer)
            return Outer->Handle();
        if (!Own)
            Own = StartTransaction(Connection.Handle(), readOnly, false);
        return Own;
    }

    void FinishOwn(bool commit)
    {
        if (!Own)
            return;
        TStatus status;
        if (commit)
            Own->commit(&status);
        else
            Own->rollback(&status);
        if (status.Failed()) {
            Own->release();
            Own = nullptr;
            if (commit)
                status.Check();
            return;
        }
        Own = nullptr;
    }

    // Prepared on first use inside the transaction that will run it, so a
    // read never holds a write transaction open.
    void EnsurePrepared(bool readOnly)
    {
        if (Statement)
            return;
        TStatus status;
        Statement = Connection.Handle()->prepare(&status, Transaction(readOnly), 0, Sql.constData(), 3,
                                                 IStatement::PREPARE_PREFETCH_METADATA);
        status.Check();
        DescribeOutput();
    }

    void DescribeOutput()
    {
        TStatus status;
        OutMeta = Statement->getOutputMetadata(&status);
        status.Check();
        const unsigned count = OutMeta->getCount(&status);
        Columns.reserve(count);
        for (unsigned i = 0; i < count; ++i) {
            TColumn col;
            col.Name = QString::fromUtf8(OutMeta->getAlias(&status, i)).toUpper();
            col.Type = OutMeta->getType(&status, i) & ~1u;
            col.Offset = OutMeta->getOffset(&status, i);
            col.NullOffset = OutMeta->getNullOffset(&status, i);
            col.Length = OutMeta->getLength(&status, i);
            col.Scale = OutMeta->getScale(&status, i);
            col.FirstOfName = FindColumn(col.Name) < 0;
            Columns.push_back(col);
        }
        NextLookup = 0;
        status.Check();
        Row.assign(OutMeta->getMessageLength(&status), 0);
        status.Check();
    }

    // Builds an input message whose types follow the bound values; the engine
    // converts them to the parameters' own types.
    IMessageMetadata *BuildInput(std::vector<unsigned char> &buffer)
    {
        const unsigned count = unsigned(ParamNames.size());
        if (count == 0)
            return nullptr;
        TStatus status;
        IMessageMetadata *declared = Statement->getInputMetadata(&status);
        status.Check();
        IMetadataBuilder *builder = Master()->getMetadataBuilder(&status, count);
        status.Check();
        std::vector<const TParamValue *> values(count);
        static const TParamValue Null;
        for (unsigned i = 0; i < count; ++i) {
            auto it = Values.constFind(ParamNames[int(i)]);
            if (it == Values.constEnd()) {
                builder->release();
                declared->release();
                throw TDbError("TDbError", QStringLiteral("Не задан параметр :%1").arg(ParamNames[int(i)]));
            }
            values[i] = &it.value();
            const unsigned declaredType = declared->getType(&status, i) & ~1u;
            switch (values[i]->Kind) {
            case TParamKind::Null:
                builder->setType(&status, i, SQL_VARYING + 1);
                builder->setLength(&status, i, 1);
                break;
            case TParamKind::Integer:
                builder->setType(&status, i, SQL_INT64 + 1);
                builder->setScale(&status, i, 0);
                break;
            case TParamKind::Double:
                builder->setType(&status, i, SQL_DOUBLE + 1);
                break;
            case TParamKind::Text:
                builder->setType(&status, i, SQL_VARYING + 1);
                builder->setCharSet(&status, i, 4 /* UTF8 */);
                builder->setLength(&status, i, unsigned(std::max<int>(1, values[i]->Text.size())));
                break;
            case TParamKind::Moment:
                if (declaredType == SQL_TYPE_DATE || declaredType == SQL_TYPE_TIME)
                    builder->setType(&status, i, declaredType + 1);
                else
                    builder->setType(&status, i, SQL_TIMESTAMP + 1);
                break;
            }
        }
        status.Check();
        declared->release();
        IMessageMetadata *meta = builder->getMetadata(&status);
        builder->release();
        status.Check();
        buffer.assign(meta->getMessageLength(&status), 0);
        for (unsigned i = 0; i < count; ++i) {
            unsigned char *field = buffer.data() + meta->getOffset(&status, i);
            auto *nullFlag = reinterpret_cast<short *>(buffer.data() + meta->getNullOffset(&status, i));
            const TParamValue &v = *values[i];
            *nullFlag = v.Kind == TParamKind::Null ? -1 : 0;
            switch (v.Kind) {
            case TParamKind::Null:
                break;
            case TParamKind::Integer:
                std::memcpy(field, &v.Int, sizeof(qint64));
                break;
            case TParamKind::Double:
                std::memcpy(field, &v.Real, sizeof(double));
                break;
            case TParamKind::Text: {
                const unsigned short len = (unsigned short)v.Text.size();
                std::memcpy(field, &len, sizeof len);
                std::memcpy(field + 2, v.Text.constData(), len);
                break;
            }
            case TParamKind::Moment: {
                ISC_DATE date;
                ISC_TIME time;
                ToFirebird(v.Real, date, time);
                const unsigned type = meta->getType(&status, i) & ~1u;
                if (type == SQL_TYPE_DATE)
                    std::memcpy(field, &date, sizeof date);
                else if (type == SQL_TYPE_TIME)
                    std::memcpy(field, &time, sizeof time);
                else {
                    ISC_TIMESTAMP ts{date, time};
                    std::memcpy(field, &ts, sizeof ts);
                }
                break;
            }
            }
        }
        status.Check();
        return meta;
    }

    // Column names of a statement that has not run yet.
    void Describe()
    {
        if (Statement)
            return;
        EnsurePrepared(true);
        FinishOwn(true);
    }

    int FindColumn(QAnyStringView name) const
    {
        const size_t count = Columns.size();
        for (size_t step = 0; step < count; ++step) {
            const size_t i = (NextLookup + step) % count;
            if (Columns[i].FirstOfName && QAnyStringView::compare(name, Columns[i].Name) == 0) {
                NextLookup = i + 1;
                return int(i);
            }
        }
        for (size_t i = 0; i < count; ++i)
            if (Columns[i].FirstOfName && QAnyStringView::compare(name, Columns[i].Name, Qt::CaseInsensitive) == 0)
                return int(i);
        return -1;
    }

    const TColumn &Column(QAnyStringView name) const
    {
        const int index = FindColumn(name);
        if (index < 0)
            throw TDbError("TDbError", QStringLiteral("Поле %1 не найдено").arg(name.toString()));
        return Columns[size_t(index)];
    }

    const TColumn &ColumnAt(int index) const
    {
        if (index < 0 || size_t(index) >= Columns.size())
            throw TDbError("TDbError", QStringLiteral("Нет поля с номером %1").arg(index));
        return Columns[size_t(index)];
    }

    void RequireRow() const
    {
        if (!HasRow)
            throw TDbError("TDbError", QStringLiteral("Нет текущей записи"));
    }

    bool IsNull(const TColumn &c) const
    {
        RequireRow();
        return *reinterpret_cast<const short *>(Row.data() + c.NullOffset) != 0;
    }

    // Typed reads of the common column types without boxing in a QVariant;
    // any other type goes through Read() and its conversions.
    qint64 ReadInt64(const TColumn &c) const
    {
        if (IsNull(c))
            return 0;
        const unsigned char *p = Row.data() + c.Offset;
        if (c.Scale == 0) {
            switch (c.Type) {
            case SQL_SHORT:
                return Load<short>(p);
            case SQL_LONG:
                return Load<ISC_LONG>(p);
            case SQL_INT64:
                return Load<ISC_INT64>(p);
            default:
                break;
            }
        }
        const QVariant v = Read(c);
        if (v.metaType().id() == QMetaType::Double)
            return qint64(std::llround(v.toDouble()));
        return v.toLongLong();
    }

    double ReadDouble(const TColumn &c) const
    {
        if (IsNull(c))
            return 0;
        const unsigned char *p = Row.data() + c.Offset;
        switch (c.Type) {
        case SQL_DOUBLE:
        case SQL_D_FLOAT:
            return Load<double>(p);
        case SQL_TIMESTAMP: {
            const auto ts = Load<ISC_TIMESTAMP>(p);
            return FromFirebird(ts.timestamp_date, ts.timestamp_time);
        }
        default:
            return Read(c).toDouble();
        }
    }

    QString ReadString(const TColumn &c) const
    {
        if (c.Type != SQL_VARYING)
            return Read(c).toString();
        if (IsNull(c))
            return QString();
        const unsigned char *p = Row.data() + c.Offset;
        return QString::fromUtf8(reinterpret_cast<const char *>(p + 2), Load<unsigned short>(p));
    }

    template <typename T>
    static T Load(const unsigned char *p)
    {
        T v;
        std::memcpy(&v, p, sizeof v);
        return v;
    }

    QVariant Read(const TColumn &c) const
    {
        if (IsNull(c))
            return QVariant();
        const unsigned char *p = Row.data() + c.Offset;
        auto scaled = [&](qint64 v) -> QVariant {
            if (c.Scale == 0)
                return QVariant(v);
            return QVariant(double(v) * std::pow(10.0, c.Scale));
        };
        switch (c.Type) {
        case SQL_SHORT:
            return scaled(Load<short>(p));
        case SQL_LONG:
            return scaled(Load<ISC_LONG>(p));
        case SQL_INT64:
            return scaled(Load<ISC_INT64>(p));
        case SQL_FLOAT:
            return double(Load<float>(p));
        case SQL_DOUBLE:
        case SQL_D_FLOAT:
        case SQL_TIMESTAMP:
            return ReadDouble(c);
        case SQL_BOOLEAN:
            return bool(*p);
        case SQL_VARYING:
            return ReadString(c);
        case SQL_TEXT: {
            QByteArray raw(reinterpret_cast<const char *>(p), int(c.Length));
            while (raw.endsWith(' '))
                raw.chop(1);
            return QString::fromUtf8(raw);
        }
        case SQL_TYPE_DATE:
            return FromFirebird(Load<ISC_DATE>(p), 0);
        case SQL_TYPE_TIME:
            return double(Load<ISC_TIME>(p)) / double(TimeUnitsPerDay);
        case SQL_BLOB:
            return ReadTextBlob(Load<ISC_QUAD>(p));
        default:
            throw TDbError("TDbError", QStringLiteral("Неподдерживаемый тип поля %1").arg(c.Name));
        }
    }

    QString ReadTextBlob(ISC_QUAD id) const
    {
        TStatus status;
        ITransaction *tra = Outer ? Outer->Handle() : Own;
        IBlob *blob = Connection.Handle()->openBlob(&status, tra, &id, 0, nullptr);
        status.Check();
        QByteArray data;
        char chunk[16384];
        for (;;) {
            unsigned got = 0;
            const int rc = blob->getSegment(&status, sizeof chunk, chunk, &got);
            if (rc != IStatus::RESULT_OK && rc != IStatus::RESULT_SEGMENT)
                break;
            data.append(chunk, int(got));
        }
        blob->close(&status);
        return QString::fromUtf8(data);
    }

    ~Impl()
    {
        TStatus status;
        if (Cursor) {
            Cursor->close(&status);
            if (status.Failed())
                Cursor->release();
        }
        if (OutMeta)
            OutMeta->release();
        if (Statement) {
            TStatus s2;
            Statement->free(&s2);
            if (s2.Failed())
                Statement->release();
        }
        if (Own) {
            TStatus s3;
            Own->commit(&s3);
            if (s3.Failed()) {
                TStatus s4;
                Own->rollback(&s4);
                if (s4.Failed())
                    Own->release();
            }
        }
    }
};

TDbQuery::TDbQuery(TDbConnection &connection, const QString &sql, TDbTransaction *transaction)
    : d(new Impl(connection, transaction))
{
    d->Sql = TranslateParameters(sql, d->ParamNames);
}

TDbQuery::~TDbQuery() = default;

TDbQuery &TDbQuery::Bind(const QString &name, const QVariant &value)
{
    TParamValue v;
    if (!value.isValid() || value.isNull()) {
        v.Kind = TParamKind::Null;
    } else {
        switch (value.metaType().id()) {
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Short:
        case QMetaType::Long:
            v.Kind = TParamKind::Integer;
            v.Int = value.toLongLong();
            break;
        case QMetaType::Bool:
            v.Kind = TParamKind::Integer;
            v.Int = value.toBool() ? 1 : 0;
            break;
        case QMetaType::Double:
        case QMetaType::Float:
            v.Kind = TParamKind::Double;
            v.Real = value.toDouble();
            break;
        case QMetaType::QDateTime:
            v.Kind = TParamKind::Moment;
            v.Real = DateTimeFromQt(value.toDateTime());
            break;
        case QMetaType::QDate:
            v.Kind = TParamKind::Moment;
            v.Real = DateFromQt(value.toDate());
            break;
        default:
            v.Kind = TParamKind::Text;
            v.Text = value.toString().toUtf8();
            break;
        }
    }
    d->Values.insert(name.startsWith(':') ? name.mid(1) : name, v);
    return *this;
}

TDbQuery &TDbQuery::BindDateTime(const QString &name, TDateTime value)
{
    TParamValue v;
    v.Kind = TParamKind::Moment;
    v.Real = value;
    d->Values.insert(name.startsWith(':') ? name.mid(1) : name, v);
    return *this;
}

TDbQuery &TDbQuery::BindNull(const QString &name)
{
    return Bind(name, QVariant());
}

int TDbQuery::Execute()
{
    Close();
    d->EnsurePrepared(false);
    std::vector<unsigned char> input;
    IMessageMetadata *inMeta = d->BuildInput(input);
    TStatus status;
    ITransaction *tra = d->Transaction(false);
    ++ExecutedStatements;
    const bool returns = !d->Columns.empty();
    d->Statement->execute(&status, tra, inMeta, inMeta ? input.data() : nullptr,
                          returns ? d->OutMeta : nullptr, returns ? d->Row.data() : nullptr);
    if (inMeta)
        inMeta->release();
    if (status.Failed()) {
        d->FinishOwn(false);
        status.Check();
    }
    const int changed = int(d->Statement->getAffectedRecords(&status));
    d->HasRow = returns;
    d->FinishOwn(true);
    return changed;
}

void TDbQuery::Open()
{
    Close();
    d->EnsurePrepared(true);
    std::vector<unsigned char> input;
    IMessageMetadata *inMeta = d->BuildInput(input);
    TStatus status;
    ITransaction *tra = d->Transaction(true);
    ++ExecutedStatements;
    d->Cursor = d->Statement->openCursor(&status, tra, inMeta, inMeta ? input.data() : nullptr, d->OutMeta, 0);
    if (inMeta)
        inMeta->release();
    if (status.Failed()) {
        d->Cursor = nullptr;
        d->FinishOwn(false);
        status.Check();
    }
}

bool TDbQuery::Next()
{
    if (!d->Cursor) {
        d->HasRow = false;
        return false;
    }
    TStatus status;
    const int rc = d->Cursor->fetchNext(&status, d->Row.data());
    status.Check();
    d->HasRow = rc == IStatus::RESULT_OK;
    if (!d->HasRow)
        Close();
    return d->HasRow;
}

void TDbQuery::Close()
{
    if (d->Cursor) {
        TStatus status;
        d->Cursor->close(&status);
        if (status.Failed())
            d->Cursor->release();
        d->Cursor = nullptr;
    }
    d->FinishOwn(true);
}

int TDbQuery::FieldCount() const
{
    d->Describe();
    return int(d->Columns.size());
}

QString TDbQuery::FieldName(int index) const
{
    d->Describe();
    return d->ColumnAt(index).Name;
}

int TDbQuery::FieldIndex(QAnyStringView name) const
{
    return d->FindColumn(name);
}

bool TDbQuery::IsNull(QAnyStringView name) const { return d->IsNull(d->Column(name)); }
int TDbQuery::AsInt(QAnyStringView name) const { return int(AsInt64(name)); }

qint64 TDbQuery::AsInt64(QAnyStringView name) const { return d->ReadInt64(d->Column(name)); }
double TDbQuery::AsDouble(QAnyStringView name) const { return d->ReadDouble(d->Column(name)); }
QString TDbQuery::AsString(QAnyStringView name) const { return d->ReadString(d->Column(name)); }
TDateTime TDbQuery::AsDateTime(QAnyStringView name) const { return d->ReadDouble(d->Column(name)); }
QVariant TDbQuery::Value(int index) const { return d->Read(d->ColumnAt(index)); }
qint64 TDbQuery::ExecutedCount() { return ExecutedStatements.load(); }

// ---------------------------------------------------------------- connection

TDbConnection::TDbConnection() = default;

TDbConnection::~TDbConnection()
{
    Close();
}

void TDbConnection::Open(const QString &database, const QString &user, const QString &password)
{
    Close();
    TStatus status;
    IUtil *util = Master()->getUtilInterface();
    IXpbBuilder *dpb = util->getXpbBuilder(&status, IXpbBuilder::DPB, nullptr, 0);
    status.Check();
    dpb->insertString(&status, isc_dpb_user_name, user.toUtf8().constData());
    dpb->insertString(&status, isc_dpb_password, password.toUtf8().constData());
    dpb->insertString(&status, isc_dpb_lc_ctype, "UTF8");
    dpb->insertInt(&status, isc_dpb_sql_dialect, 3);
    if (status.Failed()) {
        dpb->dispose();
        status.Check();
    }
    IProvider *provider = Master()->getDispatcher();
    const QByteArray name = database.toUtf8();
    IAttachment *att = provider->attachDatabase(&status, name.constData(), dpb->getBufferLength(&status),
                                                dpb->getBuffer(&status));
    dpb->dispose();
    provider->release();
    status.Check();
    FAttachment = att;
    FDatabase = database;
}

void TDbConnection::Close()
{
    if (!FAttachment)
        return;
    TStatus status;
    FAttachment->detach(&status);
    if (status.Failed())
        FAttachment->release();
    FAttachment = nullptr;
}

int TDbConnection::ExecuteSql(const QString &sql)
{
    TDbQuery query(*this, sql);
    return query.Execute();
}
