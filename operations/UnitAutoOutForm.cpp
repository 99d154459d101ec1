#include "operations/UnitAutoOutForm.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTimeEdit>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "data/UnitData.h"
#include "platform/ErrorBox.h"
#include "operations/OpsTexts.h"
#include "operations/PaidTime.h"
#include "operations/Receipt.h"
#include "platform/MessDlgs.h"
#include "platform/TextLimit.h"

TFormAutoOut *FormAutoOut = nullptr;

namespace {
const char *const PaymentFailed =
    "При проведении оплаты возникла ошибка\r\nПовторите операцию или обратитесь к администратору!";
enum TPaymentColumn { ColTime, ColCost, ColTarif, ColRest, ColId };

QLineEdit *ReadOnlyField(QWidget *parent, const char *name, const QString &hint)
{
    auto *field = new QLineEdit(parent);
    field->setObjectName(name);
    field->setReadOnly(true);
    field->setToolTip(hint);
    return field;
}
}

TFormAutoOut::TFormAutoOut(QWidget *parent) : TTarifPaymentDialog(parent)
{
    FormAutoOut = this;
    setWindowTitle("Выезд ТС");
    BuildLayout();
}

TFormAutoOut::~TFormAutoOut()
{
    if (FormAutoOut == this)
        FormAutoOut = nullptr;
}

void TFormAutoOut::BuildLayout()
{
    EditAuto = ReadOnlyField(this, "EditAuto", "Выбранное ТС");
    EditInTime = ReadOnlyField(this, "EditInTime", "Время въезда");
    EditPlace = ReadOnlyField(this, "EditPlace", "Занимаемое парковочное место");
    DateOut = new QDateEdit(this);
    DateOut->setObjectName("DateOut");
    DateOut->setCalendarPopup(true);
    DateOut->setToolTip("Дата выезда ТС");
    TimeOut = new QTimeEdit(this);
    TimeOut->setObjectName("TimeOut");
    TimeOut->setDisplayFormat("HH:mm");
    TimeOut->setToolTip("Время выезда ТС");
    MemoComment = new QPlainTextEdit(this);
    MemoComment->setObjectName("MemoComment");
    MemoComment->setToolTip("Вы можете оставить комментарий к данному действию");
    SetMaxLength(MemoComment, CommentLength);
    MemoComment->setMaximumHeight(60);
    EditTotalTime = ReadOnlyField(this, "EditTotalTime", "Всего времени на парковке");
    EditPaiedTime = ReadOnlyField(this, "EditPaiedTime", "Оплаченное время");
    EditPaiedSumma = ReadOnlyField(this, "EditPaiedSumma", "Оплачено сумма");
    EditDebt = ReadOnlyField(this, "EditDebt", "Неоплаченное время");

    auto *top = new QFormLayout;
    top->addRow("ТС:", EditAuto);
    top->addRow("Время въезда:", EditInTime);
    top->addRow("Место:", EditPlace);
    auto *moment = new QHBoxLayout;
    moment->addWidget(DateOut);
    moment->addWidget(TimeOut);
    moment->addStretch();
    top->addRow("Время выезда:", moment);
    top->addRow("Коммент.:", MemoComment);
    top->addRow("Всего времени:", EditTotalTime);
    top->addRow("Оплачено:", EditPaiedTime);
    top->addRow("Оплачено, руб:", EditPaiedSumma);
    top->addRow("Долг:", EditDebt);

    CreateTarifFields("Количество тарифных единиц", "Сумма платежа клиента");
    ButtonPayDebt = new QPushButton("Оплатить долг", this);
    ButtonPayDebt->setObjectName("ButtonPayDebt");
    connect(ButtonPayDebt, &QPushButton::clicked, this, &TFormAutoOut::PayDebt);
    auto *debtBox = new QGroupBox("Оплата долга:", this);
    auto *debt = new QFormLayout(debtBox);
    debt->addRow("Тариф:", ComboTarif);
    debt->addRow("Количество:", SpinCount);
    debt->addRow("Сумма:", EditSumma);
    debt->addRow(QString(), ButtonPayDebt);

    ListPayments = new QTreeWidget(this);
    ListPayments->setObjectName("ListPayments");
    ListPayments->setToolTip("Учтенные платежи");
    ListPayments->setRootIsDecorated(false);
    ListPayments->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListPayments->setHeaderLabels({"Время платежа", "Стоимость", "Тариф", "Остаток", "ID"});
    ListPayments->setColumnHidden(ColRest, true);
    ListPayments->setColumnHidden(ColId, true);
    ListPayments->setMaximumHeight(90);

    QHBoxLayout *buttons = CreateButtonRow("Выезд ТС", "Зарегистрировать выезд ТС");
    connect(ButtonSave, &QPushButton::clicked, this, &QDialog::accept);

    auto *main = new QVBoxLayout(this);
    main->addLayout(top);
    main->addWidget(debtBox);
    main->addWidget(new QLabel("Учтенные платежи:", this));
    main->addWidget(ListPayments);
    main->addLayout(buttons);
}

bool TFormAutoOut::Execute(PAuto AAuto)
{
    if (!AAuto || AAuto->Id == 0)
        return false;
    FAuto = AAuto;
    EditAuto->setText(AutoTitle(*FAuto));
    EditPlace->setText(FAuto->Place.Name);
    if (!GuardedCall([this] {
            FillTarifList();
            FillCountedPayments();
        }))
        return false;
    DateOut->setDate(QDate::currentDate());
    TimeOut->setTime(QTime::currentTime());
    RefreshFigures();
    if (exec() != QDialog::Accepted)
        return false;
    return RegisterExit();
}

void TFormAutoOut::RefreshFigures()
{
    int elapsed = 0;
    if (FAuto->InTime == 0) {
        EditInTime->setText("Въезд не зарегистрирован!");
        EditTotalTime->setText("Въезд не зарегистрирован");
    } else {
        EditInTime->setText(DateTimeText(FAuto->InTime));
        elapsed = GetStayMinutes(FAuto->InTime, Now());
        EditTotalTime->setText(GetDurationStr(elapsed));
    }
    EditPaiedTime->setText(FAuto->MinutesPaied != 0 ? GetDurationStr(FAuto->MinutesPaied) : "0");
    EditPaiedSumma->setText(FAuto->SummaPaied > 0 ? MoneyTextHash(FAuto->SummaPaied) + " руб." : QString());
    const int debt = elapsed - FAuto->MinutesPaied;
    EditDebt->setText(debt <= 0 ? QStringLiteral("0") : GetDurationStr(debt));
    ButtonPayDebt->setEnabled(debt > 0);
    ButtonSave->setEnabled(debt <= 0);
}

void TFormAutoOut::FillCountedPayments()
{
    ListPayments->clear();
    if (FAuto->PaimentId <= 0)
        return;
    const TPayment payment = DModule->GetPaymentById(FAuto->PaimentId);
    if (payment.Id <= 0)
        return;
    auto *row = new QTreeWidgetItem(ListPayments);
    row->setText(ColTime, PaymentTimeText(payment.PayTime));
    row->setText(ColCost, MoneyText00(payment.Summa));
    row->setText(ColTarif, payment.Tarif.Name);
    row->setText(ColRest, GetMinutesStr(payment.Minutes));
    row->setText(ColId, QString::number(payment.Id));
}

void TFormAutoOut::PayDebt()
{
    if (EditSumma->value() <= 0) {
        ShowWarning("Введите сумму оплаты или выберите тариф и количество!");
        return;
    }
    if (!StoreDebtPayment()) {
        ShowWarning(PaymentFailed);
        return;
    }
    RefreshFigures();
    if (AskYesNo("Оплата проведена успешно.\r\nНапечатать чек?", mtInformation))
        PrintReceipt(FPayment);
}

// Stores the payment and adds it to the stay. Nothing is linked or credited
// for a payment that was not stored.
bool TFormAutoOut::StoreDebtPayment()
{
    FPayment = BuildPayment(FAuto->Id, FTarif, SpinCount->value(), EditSumma->value(), QString(), true);
    FPayment.Id = DModule->AddPayment(&FPayment);
    if (FPayment.Id <= 0)
        return false;
    if (!DModule->AddDebtPaymentToStay(FAuto->Id, FPayment.Id, FAuto->ActionId, FPayment.Minutes,
                                       FPayment.Summa))
        return false;
    FAuto->MinutesPaied += FPayment.Minutes;
    FAuto->SummaPaied += FPayment.Summa;
    return true;
}

bool TFormAutoOut::RegisterExit()
{
    if (!DModule->StopVisit(FAuto, MemoComment->toPlainText())) {
        ShowWarning("При регистрации выезда ТС произошла ошибка!\r\nПовторите операцию");
        return false;
    }
    ShowInfo("Выезд ТС зарегистрирован");
    return true;
}
