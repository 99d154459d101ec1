#pragma once
// The user card: names, contacts, login, password, role, active flag and
// comment of an account. Created at start and kept hidden between uses.
#include <QDialog>
#include <QPointer>

#include "data/Records.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

class TFormUser : public QDialog {
    Q_OBJECT
public:
    explicit TFormUser(QWidget *parent = nullptr);

    // AUserId <= 0: a new user. True when the user was saved.
    bool Execute(int AUserId);
    // Creates FormUser when it is empty and runs its Execute.
    static bool ExecuteCard(int AUserId);

    QLineEdit *EditLastName;
    QLineEdit *EditFirstName;
    QLineEdit *EditMiddleName;
    QLineEdit *EditLogin;
    QLineEdit *EditPassword1;
    QLineEdit *EditPassword2;
    QLineEdit *EditPhone;
    QLineEdit *EditEmail;
    QPlainTextEdit *MemoComment;
    QComboBox *ComboBoxRole;
    QCheckBox *CheckBoxIsActive;
    QPushButton *btnSave;

private:
    void SaveClicked();
    bool PasswordsMatch() const;

    TUser FUser;
};

extern QPointer<TFormUser> FormUser;
