#include "operations/TarifPaymentDialog.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QPushButton>
#include <QSpinBox>

#include "data/UnitData.h"
#include "platform/DialogButtons.h"
#include "platform/ErrorBox.h"
#include "operations/OpsTexts.h"
#include "operations/PaidTime.h"

namespace {
constexpr double MaxMoney = 999999999.0;
constexpr int MaxCount = 99999;
}

QDoubleSpinBox *CreateMoneyField(QWidget *AParent, const QString &AHint)
{
    auto *field = new QDoubleSpinBox(AParent);
    field->setLocale(DeskLocale());
    field->setDecimals(2);
    field->setRange(0, MaxMoney);
    field->setGroupSeparatorShown(true);
    field->setSuffix(QStringLiteral(" ₽"));
    field->setToolTip(AHint);
    return field;
}

TTarifPaymentDialog::TTarifPaymentDialog(QWidget *parent) : QDialog(parent)
{
}

void TTarifPaymentDialog::CreateTarifFields(const QString &ACountHint, const QString &ASummaHint)
{
    ComboTarif = new QComboBox(this);
    ComboTarif->setObjectName("ComboTarif");
    ComboTarif->setToolTip("Оплачиваемый тариф");
    SpinCount = new QSpinBox(this);
    SpinCount->setObjectName("SpinCount");
    SpinCount->setRange(0, MaxCount);
    SpinCount->setToolTip(ACountHint);
    EditSumma = CreateMoneyField(this, ASummaHint);
    EditSumma->setObjectName("EditSumma");
    connect(ComboTarif, qOverload<int>(&QComboBox::currentIndexChanged), this,
            &TTarifPaymentDialog::TarifChanged);
    connect(SpinCount, qOverload<int>(&QSpinBox::valueChanged), this,
            &TTarifPaymentDialog::CountChanged);
}

void TTarifPaymentDialog::FillTarifList()
{
    FTarifs = DModule->GetTarifList(true);
    const QSignalBlocker block(ComboTarif);
    ComboTarif->clear();
    ComboTarif->addItem("Без тарифа");
    for (const TTarif &tarif : FTarifs)
        ComboTarif->addItem(TarifEntryText(tarif));
    ComboTarif->setCurrentIndex(0);
    FTarif = TTarif();
}

void TTarifPaymentDialog::SelectTarif(int ATarifId)
{
    int entry = 0;
    for (int i = 0; i < FTarifs.size(); ++i)
        if (FTarifs[i].Id == ATarifId)
            entry = i + 1;
    ComboTarif->setCurrentIndex(entry);
}

int TTarifPaymentDialog::ChosenTarifMinutes() const
{
    return FTarif.Id > 0 ? GetTarifMinutes(FTarif.Period, FTarif.PeriodType) : 0;
}

QHBoxLayout *TTarifPaymentDialog::CreateButtonRow(const QString &ASaveCaption, const QString &ASaveHint)
{
    ButtonClose = CreateCloseButton(this, "ButtonClose");
    ButtonSave = new QPushButton(ASaveCaption, this);
    ButtonSave->setObjectName("ButtonSave");
    ButtonSave->setToolTip(ASaveHint);
    return ButtonRow({ButtonClose, ButtonSave});
}

void TTarifPaymentDialog::TarifChanged(int AIndex)
{
    FTarif = TTarif();
    if (AIndex <= 0 || AIndex > FTarifs.size())
        return;
    const int tarifId = FTarifs[AIndex - 1].Id;
    GuardedCall([&] { FTarif = DModule->GetTarifById(tarifId); });
}

void TTarifPaymentDialog::CountChanged(int ACount)
{
    if (FTarif.Id > 0 && FTarif.Price > 0)
        EditSumma->setValue(double(CalcPaymentSumma(ACount, FTarif.Price)));
}
