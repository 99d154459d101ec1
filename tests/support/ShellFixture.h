#pragma once
// The main window over a fresh test database, as the application builds it
// at start: FormMain (program folder = the database's folder), DModule,
// FormLogin and FormUser. Freed with everything it opened.
#include <QObject>
#include <QString>

#include "tests/support/TestDb.h"

class TDataGrid;
class QPoint;

class TShellFixture {
public:
    // Requests to end the application (the main window closed) since the
    // fixture was made; they are kept from ending the test's own loops.
    int QuitRequests() const;

    TShellFixture();
    ~TShellFixture();

    // Logs in as the login loop does after a successful attempt.
    void Login(const QString &ALogin, const QString &APassword);

    TTestDb Db;

private:
    QObject *FQuitFilter;
};

// The seeded accounts.
inline const char *AdminLogin = "admin";
inline const char *AdminPassword = "Gates908";
inline const char *ManagerLogin = "manager";
inline const char *ManagerPassword = "DeskOfficer";

// Clicks and double clicks on the shown data row at APosition, in the field's column.
void ClickCell(TDataGrid *AGrid, int APosition, const QString &AField);
void DoubleClickCell(TDataGrid *AGrid, int APosition, const QString &AField);
