#include "shell/UnitLogin.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "data/UnitData.h"

QPointer<TFormLogin> FormLogin;

namespace {

// Column lengths of USERS.LOGIN and USERS.PASSWORD.
constexpr int LoginLength = 50;
constexpr int PasswordLength = 50;

} // namespace

TFormLogin::TFormLogin(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
                          | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("FormLogin"));
    setWindowTitle(QStringLiteral("Вход пользователя"));

    EditLogin = new QComboBox(this);
    EditLogin->setObjectName(QStringLiteral("EditLogin"));
    EditLogin->setEditable(true);
    EditLogin->setInsertPolicy(QComboBox::NoInsert);
    EditLogin->lineEdit()->setMaxLength(LoginLength);
    EditLogin->setToolTip(QStringLiteral("Логин пользователя программы"));

    EditPassword = new QLineEdit(this);
    EditPassword->setObjectName(QStringLiteral("EditPassword"));
    EditPassword->setEchoMode(QLineEdit::Password);
    EditPassword->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
    EditPassword->setMaxLength(PasswordLength);
    EditPassword->setToolTip(QStringLiteral("Пароль для входа в программу"));

    btnOk = new QPushButton(QStringLiteral("Войти"), this);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    btnOk->setToolTip(QStringLiteral("Войти в программу"));
    btnOk->setDefault(true);
    connect(btnOk, &QPushButton::clicked, this, &QDialog::accept);

    btnClose = new QPushButton(QStringLiteral("Закрыть"), this);
    btnClose->setObjectName(QStringLiteral("btnClose"));
    btnClose->setToolTip(QStringLiteral("Закрыть программу"));
    connect(btnClose, &QPushButton::clicked, this, &QDialog::reject);

    auto *fields = new QGridLayout;
    auto *labelLogin = new QLabel(QStringLiteral("Логин:"), this);
    labelLogin->setBuddy(EditLogin);
    auto *labelPassword = new QLabel(QStringLiteral("Пароль (по умолчанию 123):"), this);
    labelPassword->setBuddy(EditPassword);
    fields->addWidget(labelLogin, 0, 0);
    fields->addWidget(EditLogin, 0, 1);
    fields->addWidget(labelPassword, 1, 0);
    fields->addWidget(EditPassword, 1, 1);
    fields->setColumnMinimumWidth(1, 180);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOk);
    buttons->addWidget(btnClose);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

bool TFormLogin::Execute()
{
    EditPassword->clear();
    EditLogin->clear();
    EditLogin->setEditText(QString());
    for (const TUser &user : DModule->GetUserLoginList())
        EditLogin->addItem(user.Login);
    if (EditLogin->count() > 0)
        EditLogin->setCurrentIndex(0);

    adjustSize();
    if (QScreen *screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
    EditPassword->setFocus();
    if (exec() != QDialog::Accepted)
        return false;
    CurrentUser = DModule->LoginUser(EditLogin->currentText(), EditPassword->text());
    return true;
}
