#pragma once
// A thin layer over the Firebird 3 client's object interface: one attachment,
// explicit or per-statement transactions, statements with named parameters
// (":autoId_") and typed reads. Every failure is raised as TDbError.
#include <QAnyStringView>
#include <QString>
#include <QVariant>
#include <QVector>

#include <memory>
#include <stdexcept>

#include "platform/TDateTime.h"

namespace Firebird {
class IAttachment;
class ITransaction;
class IStatement;
class IResultSet;
class IMessageMetadata;
}

class TDbError : public std::runtime_error {
public:
    TDbError(const QString &typeName, const QString &message, int sqlCode = 0);
    QString TypeName() const { return FTypeName; }
    QString Message() const { return FMessage; }
    int SqlCode() const { return FSqlCode; }
    // True for a lock conflict or update conflict with another transaction.
    bool IsConflict() const;

private:
    QString FTypeName;
    QString FMessage;
    int FSqlCode;
};

class TDbConnection;

// A transaction that several statements share; rolled back unless committed.
class TDbTransaction {
public:
    explicit TDbTransaction(TDbConnection &connection, bool readOnly = false, bool noWait = true);
    ~TDbTransaction();
    TDbTransaction(const TDbTransaction &) = delete;
    TDbTransaction &operator=(const TDbTransaction &) = delete;
    void Commit();
    void Rollback();
    Firebird::ITransaction *Handle() const { return FHandle; }

private:
    TDbConnection &FConnection;
    Firebird::ITransaction *FHandle = nullptr;
};

// One statement with its own cursor. Without an outer transaction a read runs
// in a read-only transaction of its own and a write commits at once.
class TDbQuery {
public:
    TDbQuery(TDbConnection &connection, const QString &sql, TDbTransaction *transaction = nullptr);
    ~TDbQuery();
    TDbQuery(const TDbQuery &) = delete;
    TDbQuery &operator=(const TDbQuery &) = delete;

    // Values by parameter name (without the colon). An invalid QVariant is NULL.
    TDbQuery &Bind(const QString &name, const QVariant &value);
    TDbQuery &BindDateTime(const QString &name, TDateTime value);
    TDbQuery &BindNull(const QString &name);

    // Runs a statement without a result set (or a returning one: see Next()).
    // Returns the number of rows changed.
    int Execute();
    // Opens the cursor of a select; Next() then moves through the rows.
    void Open();
    bool Next();
    void Close();

    int FieldCount() const;
    QString FieldName(int index) const;
    // Field names match case-insensitively; the first of equal names counts.
    int FieldIndex(QAnyStringView name) const; // -1 when absent
    bool IsNull(QAnyStringView name) const;
    int AsInt(QAnyStringView name) const;
    qint64 AsInt64(QAnyStringView name) const;
    double AsDouble(QAnyStringView name) const;
    QString AsString(QAnyStringView name) const;
    TDateTime AsDateTime(QAnyStringView name) const;
    QVariant Value(int index) const;

    // Statements run by every query of the process since it started.
    static qint64 ExecutedCount();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

class TDbConnection {
public:
    TDbConnection();
    ~TDbConnection();
    TDbConnection(const TDbConnection &) = delete;
    TDbConnection &operator=(const TDbConnection &) = delete;

    // A plain path opens the file with the embedded engine; "host:/path" or
    // "host/port:/path" reaches a server.
    void Open(const QString &database, const QString &user, const QString &password);
    void Close();
    bool IsOpen() const { return FAttachment != nullptr; }
    QString DatabaseName() const { return FDatabase; }

    // Convenience for one statement: runs it and returns the changed rows.
    int ExecuteSql(const QString &sql);

    Firebird::IAttachment *Handle() const { return FAttachment; }

private:
    Firebird::IAttachment *FAttachment = nullptr;
    QString FDatabase;
};
