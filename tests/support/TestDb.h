#pragma once
// Fresh Firebird database files for tests: the schema is run once per test
// process with isql-fb, and every test case gets its own copy of that file.
#include <QString>
#include <QTemporaryDir>

#include <memory>

class TDModule;

class TTestDb {
public:
    // Copies the schema-made database into a new temporary folder laid out as
    // a program folder: <folder>/db/database.fdb.
    TTestDb();
    ~TTestDb();

    QString ProgramPath() const;  // with a trailing separator
    QString DatabaseFile() const; // <ProgramPath>db/database.fdb

    // Points ConfigData at this folder, installs recording hooks, creates
    // DModule and connects it (start-up steps included). Fails the test when
    // the start-up does not succeed.
    TDModule *OpenDataModule();
    void CloseDataModule();

    // Runs SQL through isql-fb (not through our own layer), returning its output.
    // The data module must be closed first: the embedded engine holds the
    // file for one process.
    QString Isql(const QString &sql) const;
    // The first value a query prints, without headings, trimmed.
    QString IsqlValue(const QString &sql) const;

    static QString TemplateDatabase();

private:
    QTemporaryDir FDir;
    std::unique_ptr<TDModule> FModule;
};

// Messages the data module asked to show, and whether it asked to close the
// main window; installed by TTestDb::OpenDataModule or on its own.
struct TDataHookRecorder {
    struct TMessage {
        QString Text;
        int Kind;
        unsigned Buttons;
    };
    QList<TMessage> Messages;
    int CloseRequests = 0;
    void Install();
    static TDataHookRecorder &Instance();
};
