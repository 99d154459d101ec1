#pragma once
// One run of the desk from the creation of the main window to the start of
// the message loop, in the order the application needs: the main window
// (which reads config.xml), the data module (archive, connection, accounts,
// settings), the login dialog, the vehicles list and the user card. main() starts every run
// this way, and so do the tests that try the whole application.
#include <QString>

#include <memory>

class TDModule;
class TFormMain;

class TApplicationRun {
public:
    // Creates the main window and the data module, not yet connected; the
    // data module's messages go to the message box, its request to end the
    // run closes the main window.
    explicit TApplicationRun(const QString &AProgramPath);
    ~TApplicationRun();
    TApplicationRun(const TApplicationRun &) = delete;
    TApplicationRun &operator=(const TApplicationRun &) = delete;

    // Runs the data module's start-up; when it succeeds, creates the login
    // dialog, opens the vehicles list, creates the user card and shows the
    // main window maximized
    // (its first show asks for the login). False when the run must end: the
    // data module has told the operator why and closed the main window.
    bool Start();

    TFormMain &Main() const { return *FMain; }
    TDModule &Module() const { return *FModule; }

private:
    std::unique_ptr<TFormMain> FMain;
    std::unique_ptr<TDModule> FModule;
};
