#include "operations/UnitPaymentForm.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "data/UnitData.h"
#include "platform/ErrorBox.h"
#include "operations/OpsTexts.h"
#include "operations/PaidTime.h"
#include "operations/Receipt.h"
#include "platform/MessDlgs.h"
#include "platform/TextLimit.h"

TFormPayment *FormPayment = nullptr;

TFormPayment::TFormPayment(QWidget *parent) : TTarifPaymentDialog(parent)
{
    FormPayment = this;
    setWindowTitle("Платеж за ТС");
    BuildLayout();
    setFixedSize(sizeHint());
}

TFormPayment::~TFormPayment()
{
    if (FormPayment == this)
        FormPayment = nullptr;
}

void TFormPayment::BuildLayout()
{
    EditAuto = new QLineEdit(this);
    EditAuto->setObjectName("EditAuto");
    EditAuto->setReadOnly(true);
    EditAuto->setToolTip("Выбранное ТС");
    CreateTarifFields("Количество тарифных единиц", "Сумма платежа");
    MemoComment = new QPlainTextEdit(this);
    MemoComment->setObjectName("MemoComment");
    MemoComment->setToolTip("Вы можете указать комментарий к данному платежу");
    SetMaxLength(MemoComment, CommentLength);
    MemoComment->setMaximumHeight(80);

    auto *frame = new QGroupBox(this);
    auto *fields = new QFormLayout(frame);
    fields->addRow("ТС:", EditAuto);
    fields->addRow("Тариф:", ComboTarif);
    fields->addRow("Количество:", SpinCount);
    fields->addRow("Сумма:", EditSumma);
    fields->addRow("Комментарий:", MemoComment);

    QHBoxLayout *buttons = CreateButtonRow("Сохранить", "Сохранить платеж");
    ButtonSavePrint = new QPushButton("Сохранить и Печать", this);
    ButtonSavePrint->setObjectName("ButtonSavePrint");
    ButtonSavePrint->setToolTip("Сохранить платеж и напечатать чек");
    connect(ButtonSave, &QPushButton::clicked, this, [this] {
        FPrintAfterSave = false;
        accept();
    });
    connect(ButtonSavePrint, &QPushButton::clicked, this, [this] {
        FPrintAfterSave = true;
        accept();
    });
    buttons->addWidget(ButtonSavePrint);

    auto *main = new QVBoxLayout(this);
    main->addWidget(frame);
    main->addLayout(buttons);
}

bool TFormPayment::Execute(int APaymentId)
{
    FTarif = TTarif();
    SpinCount->setValue(0);
    EditSumma->setValue(0);
    MemoComment->clear();
    FPrintAfterSave = false;
    if (CurrentAuto.Id == 0)
        return false;
    EditAuto->setText(AutoTitle(CurrentAuto));
    if (!GuardedCall([this] { FillTarifList(); }))
        return false;
    FPayment = TPayment();
    if (APaymentId > 0 && !LoadPayment(APaymentId))
        return false;
    EditSumma->setValue(FPayment.Summa);
    MemoComment->setPlainText(FPayment.Comments);
    if (exec() != QDialog::Accepted)
        return false;
    if (!Save())
        return false;
    if (FPrintAfterSave)
        PrintReceipt(FPayment);
    return true;
}

bool TFormPayment::LoadPayment(int APaymentId)
{
    if (!GuardedCall([&] { FPayment = DModule->GetPaymentById(APaymentId); }))
        return false;
    if (FPayment.Id == 0) {
        ShowWarning("Объект не найден!\r\nПовторите операцию.");
        return false;
    }
    SelectTarif(FPayment.Tarif.Id);
    const QSignalBlocker keepAmount(SpinCount);
    SpinCount->setValue(FPayment.Count);
    return true;
}

bool TFormPayment::Save()
{
    const int paymentId = FPayment.Id;
    FPayment = BuildPayment(CurrentAuto.Id, FTarif, SpinCount->value(), EditSumma->value(),
                            MemoComment->toPlainText(), false);
    FPayment.Id = paymentId;
    if (FPayment.Id == 0) {
        FPayment.Id = DModule->AddPayment(&FPayment);
        return FPayment.Id > 0;
    }
    return DModule->UpdatePayment(&FPayment);
}
