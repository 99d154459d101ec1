#include "shell/UnitOptions.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QVBoxLayout>

#include "data/UnitData.h"
#include "platform/TextLimit.h"
#include "shell/CardLayout.h"
#include "shell/UnitMain.h"

QPointer<TFormOptions> FormOptions;

namespace {

// Column length of OPTIONS.VAL.
constexpr int ValueLength = 1000;


} // namespace

TFormOptions::TFormOptions(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FormOptions"));
    setWindowTitle(QStringLiteral("Настройки программы"));

    EditClubName = LimitedLineEdit(this, "EditClubName", QStringLiteral("Название парковки"), ValueLength);
    EditClubAddress = LimitedLineEdit(this, "EditClubAddress", QStringLiteral("Адрес парковки"), ValueLength);
    EditClubPhone = LimitedLineEdit(this, "EditClubPhone", QStringLiteral("Телефоны парковки"), ValueLength);
    EditClubEmail = LimitedLineEdit(this, "EditClubEmail", QStringLiteral("Email парковки"), ValueLength);
    EditClubSite = LimitedLineEdit(this, "EditClubSite", QStringLiteral("Web-сайт парковки"), ValueLength);
    CheckBoxUsePostPay = CaptionFirstCheckBox(
        this, QStringLiteral("CheckBoxUsePostPay"), QStringLiteral("Разрешать постоплату:"),
        QStringLiteral("Разрешать въезд ТС без предварительной оплаты (оплата при выезде)"));

    QFormLayout *rows = nullptr;
    QGroupBox *parking = CardGroup(this, QStringLiteral(" Данные парковки "), &rows);
    rows->addRow(QStringLiteral("Название:"), EditClubName);
    rows->addRow(QStringLiteral("Адрес:"), EditClubAddress);
    rows->addRow(QStringLiteral("Телефон:"), EditClubPhone);
    rows->addRow(QStringLiteral("Email:"), EditClubEmail);
    rows->addRow(QStringLiteral("Web-сайт:"), EditClubSite);
    QGroupBox *functions = CardGroup(this, QStringLiteral(" Функции программы "), &rows);
    rows->addRow(CheckBoxUsePostPay);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(parking);
    layout->addWidget(functions);
    layout->addLayout(CardButtons(this, QStringLiteral("Сохранить настройки программы"), &btnSave));
    connect(btnSave, &QPushButton::clicked, this, &QDialog::accept);
    resize(460, 300);
}

bool TFormOptions::ExecuteDialog()
{
    if (!FormOptions)
        FormOptions = new TFormOptions(FormMain);
    // Freed after every use, whatever the outcome.
    const auto free = qScopeGuard([] { delete FormOptions; });
    return FormOptions->Execute();
}

bool TFormOptions::Execute()
{
    EditClubName->setText(ConfigData.ParkingName);
    EditClubAddress->setText(ConfigData.ParkingAddress);
    EditClubPhone->setText(ConfigData.ParkingPhone);
    EditClubEmail->setText(ConfigData.ParkingEmail);
    EditClubSite->setText(ConfigData.ParkingSite);
    CheckBoxUsePostPay->setChecked(ConfigData.IsAllowCredit);
    if (exec() != QDialog::Accepted)
        return false;

    ConfigData.ParkingName = EditClubName->text();
    ConfigData.ParkingAddress = EditClubAddress->text();
    ConfigData.ParkingPhone = EditClubPhone->text();
    ConfigData.ParkingEmail = EditClubEmail->text();
    ConfigData.ParkingSite = EditClubSite->text();
    ConfigData.IsAllowCredit = CheckBoxUsePostPay->isChecked();

    DModule->SetOption("PARKING_NAME", ConfigData.ParkingName);
    DModule->SetOption("PARKING_ADDRESS", ConfigData.ParkingAddress);
    DModule->SetOption("PARKING_PHONE", ConfigData.ParkingPhone);
    DModule->SetOption("PARKING_EMAIL", ConfigData.ParkingEmail);
    DModule->SetOption("PARKING_SITE", ConfigData.ParkingSite);
    DModule->SetOption("ALLOW_CREDIT", ConfigData.IsAllowCredit ? "YES" : "NO");
    return true;
}
