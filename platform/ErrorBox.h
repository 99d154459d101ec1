#pragma once
// The general error box: an error that a read lets through stops the command
// that was running and is shown to the operator; the window keeps its state
// and the application goes on.
#include <QApplication>
#include <QString>

#include <exception>
#include <functional>

// The text the operator sees for an error (its message).
QString ErrorBoxText(const std::exception &AError);

// Shows the error in the message box (kind error, single button "Отмена").
void ShowErrorBox(const std::exception &AError);

// Runs AAction; an exception it throws is shown by ShowErrorBox. Returns
// false when the action was stopped by an error.
//   GuardedCall([&] { RefreshTable(); });
bool GuardedCall(const std::function<void()> &AAction);

// The application object: whatever escapes an event handler ends up in the
// error box instead of ending the program.
class TApplication : public QApplication {
public:
    TApplication(int &argc, char **argv);
    bool notify(QObject *receiver, QEvent *event) override;
};
