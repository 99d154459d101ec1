#include "shell/UnitUserForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "data/UnitData.h"
#include "platform/MessDlgs.h"
#include "platform/TextLimit.h"
#include "shell/CardLayout.h"
#include "shell/UnitMain.h"

QPointer<TFormUser> FormUser;

namespace {

// Column lengths of the USERS table.
constexpr int NameLength = 100;
constexpr int LoginLength = 50;
constexpr int PasswordLength = 50;
constexpr int PhoneLength = 50;
constexpr int EmailLength = 100;
constexpr int CommentsLength = 1000;

QLineEdit *PasswordField(QWidget *AParent, const char *AName, const QString &AHint)
{
    QLineEdit *edit = LimitedLineEdit(AParent, AName, AHint, PasswordLength);
    edit->setEchoMode(QLineEdit::Password);
    edit->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
    return edit;
}

const QString PasswordsDiffer = QStringLiteral("Пароли не одинаковые!");

} // namespace

TFormUser::TFormUser(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FormUser"));
    setWindowTitle(QStringLiteral("Пользователь программы"));

    EditLastName = LimitedLineEdit(this, "EditLastName", "Фамилия пользователя программы", NameLength);
    EditFirstName = LimitedLineEdit(this, "EditFirstName", "Имя пользователя программы", NameLength);
    EditMiddleName = LimitedLineEdit(this, "EditMiddleName", "Отчество пользователя программы", NameLength);
    EditLogin = LimitedLineEdit(this, "EditLogin", "Логин пользователя", LoginLength);
    EditPassword1 = PasswordField(this, "EditPassword1", "Пароль пользователя");
    EditPassword2 = PasswordField(this, "EditPassword2", "Повторный ввод пароля");
    EditPhone = LimitedLineEdit(this, "EditPhone", "Телефон пользователя", PhoneLength);
    EditEmail = LimitedLineEdit(this, "EditEmail", "Email пользователя", EmailLength);

    MemoComment = new QPlainTextEdit(this);
    MemoComment->setObjectName(QStringLiteral("MemoComment"));
    MemoComment->setToolTip(QStringLiteral("Комментарий к пользователю"));
    MemoComment->setTabChangesFocus(true);
    SetMaxLength(MemoComment, CommentsLength);

    ComboBoxRole = new QComboBox(this);
    ComboBoxRole->setObjectName(QStringLiteral("ComboBoxRole"));
    ComboBoxRole->setToolTip(QStringLiteral("Роль пользователя"));
    ComboBoxRole->addItems({QStringLiteral("Менеджер"), QStringLiteral("Администратор")});

    CheckBoxIsActive = CaptionFirstCheckBox(this, QStringLiteral("CheckBoxIsActive"), QStringLiteral("Активен:"),
                                            QStringLiteral("Активность пользователя"));

    QFormLayout *rows = nullptr;
    QGroupBox *personal = CardGroup(this, QStringLiteral(" Персональные данные "), &rows);
    rows->addRow(QStringLiteral("Фамилия:"), EditLastName);
    rows->addRow(QStringLiteral("Имя:"), EditFirstName);
    rows->addRow(QStringLiteral("Отчество:"), EditMiddleName);
    rows->addRow(QStringLiteral("Логин:"), EditLogin);
    rows->addRow(QStringLiteral("Пароль:"), EditPassword1);
    rows->addRow(QStringLiteral("Повтор пароля:"), EditPassword2);
    QGroupBox *contacts = CardGroup(this, QStringLiteral(" Контактные данные "), &rows);
    rows->addRow(QStringLiteral("Телефон:"), EditPhone);
    rows->addRow(QStringLiteral("Email:"), EditEmail);
    QGroupBox *service = CardGroup(this, QStringLiteral(" Служебная информация "), &rows);
    rows->addRow(QStringLiteral("Комментарий:"), MemoComment);
    rows->addRow(QStringLiteral("Роль:"), ComboBoxRole);
    rows->addRow(CheckBoxIsActive);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(personal);
    layout->addWidget(contacts);
    layout->addWidget(service);
    layout->addLayout(CardButtons(this, QStringLiteral("Сохранить данные пользователя"), &btnSave));
    connect(btnSave, &QPushButton::clicked, this, &TFormUser::SaveClicked);
    resize(420, 520);
}

bool TFormUser::ExecuteCard(int AUserId)
{
    if (!FormUser)
        FormUser = new TFormUser(FormMain);
    return FormUser->Execute(AUserId);
}

bool TFormUser::PasswordsMatch() const
{
    return EditPassword1->text() == EditPassword2->text();
}

// The card stays open until the two password fields agree.
void TFormUser::SaveClicked()
{
    if (!PasswordsMatch()) {
        ShowError(PasswordsDiffer);
        return;
    }
    accept();
}

bool TFormUser::Execute(int AUserId)
{
    if (AUserId <= 0) {
        // A new account starts as an inactive manager.
        FUser = TUser();
    } else {
        FUser = DModule->GetUserById(AUserId);
        if (FUser.Id == 0) {
            ShowWarning(QStringLiteral("Пользователь не найден!\r\nПовторите операцию."));
            return false;
        }
    }
    EditLastName->setText(FUser.LastName);
    EditFirstName->setText(FUser.FirstName);
    EditMiddleName->setText(FUser.MiddleName);
    EditLogin->setText(FUser.Login);
    EditPassword1->clear();
    EditPassword2->clear();
    EditPhone->setText(FUser.Phone);
    EditEmail->setText(FUser.Email);
    MemoComment->setPlainText(FUser.Comments);
    ComboBoxRole->setCurrentIndex(FUser.Role == 1 ? 1 : 0);
    CheckBoxIsActive->setChecked(FUser.IsActive);
    EditLastName->setFocus();

    if (exec() != QDialog::Accepted)
        return false;
    FUser.LastName = EditLastName->text();
    FUser.FirstName = EditFirstName->text();
    FUser.MiddleName = EditMiddleName->text();
    FUser.Login = EditLogin->text();
    FUser.Phone = EditPhone->text();
    FUser.Email = EditEmail->text();
    FUser.Comments = MemoComment->toPlainText();
    FUser.IsActive = CheckBoxIsActive->isChecked();
    FUser.Role = ComboBoxRole->currentIndex();
    FUser.Password.clear();
    if (!EditPassword1->text().isEmpty() || !EditPassword2->text().isEmpty()) {
        if (!PasswordsMatch()) {
            ShowError(PasswordsDiffer);
            return false;
        }
        FUser.Password = EditPassword1->text();
    }
    if (FUser.Id > 0)
        return DModule->UpdateUser(&FUser);
    FUser.Id = DModule->AddUser(&FUser);
    return FUser.Id > 0;
}
