#pragma once
// The login dialog: a login picked from the users that may log in (or typed)
// and a password. Created once at start and reused for every login.
#include <QDialog>
#include <QPointer>

class QComboBox;
class QLineEdit;
class QPushButton;

class TFormLogin : public QDialog {
    Q_OBJECT
public:
    explicit TFormLogin(QWidget *parent = nullptr);

    // False when the dialog was closed without "Войти"; true after an attempt,
    // whatever its outcome, with the outcome in CurrentUser. A database error
    // is let through and leaves CurrentUser as it was.
    bool Execute();

    QComboBox *EditLogin;
    QLineEdit *EditPassword;
    QPushButton *btnOk;
    QPushButton *btnClose;
};

extern QPointer<TFormLogin> FormLogin;
