#include "operations/UnitAutoInForm.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
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

TFormAutoIn *FormAutoIn = nullptr;

namespace {
const char *const PaymentChoiceRefused = "Неверно выбрана оплата парковки!";
const char *const PaymentFailed =
    "При проведении оплаты возникла ошибка\r\nПовторите операцию или обратитесь к администратору!";
constexpr int DayMinutes = 1440;
enum TPaymentColumn { ColTime, ColSumma, ColTarif, ColRest, ColId };
}

TFormAutoIn::TFormAutoIn(QWidget *parent) : TTarifPaymentDialog(parent)
{
    FormAutoIn = this;
    setWindowTitle("Въезд ТС");
    BuildLayout();
}

TFormAutoIn::~TFormAutoIn()
{
    if (FormAutoIn == this)
        FormAutoIn = nullptr;
}

void TFormAutoIn::BuildLayout()
{
    EditAuto = new QLineEdit(this);
    EditAuto->setObjectName("EditAuto");
    EditAuto->setReadOnly(true);
    EditAuto->setToolTip("Выбранное ТС");
    ComboPlace = new QComboBox(this);
    ComboPlace->setObjectName("ComboPlace");
    ComboPlace->setToolTip("Место для парковки");
    DateIn = new QDateEdit(this);
    DateIn->setObjectName("DateIn");
    DateIn->setCalendarPopup(true);
    DateIn->setToolTip("Дата въезда ТС");
    TimeIn = new QTimeEdit(this);
    TimeIn->setObjectName("TimeIn");
    TimeIn->setDisplayFormat("HH:mm");
    TimeIn->setToolTip("Время въезда ТС");

    auto *top = new QFormLayout;
    top->addRow("ТС:", EditAuto);
    top->addRow("Место:", ComboPlace);
    auto *moment = new QHBoxLayout;
    moment->addWidget(DateIn);
    moment->addWidget(TimeIn);
    moment->addStretch();
    top->addRow("Время въезда:", moment);

    CreateTarifFields("Количество", "Сумма платежа клиента");
    GroupPayment = new QGroupBox(" Платеж ", this);
    RadioNewPayment = new QRadioButton("Новый платеж", GroupPayment);
    RadioNewPayment->setObjectName("RadioNewPayment");
    RadioExistingPayment = new QRadioButton("Существующий платеж", GroupPayment);
    RadioExistingPayment->setObjectName("RadioExistingPayment");
    RadioCredit = new QRadioButton("Оплата при выезде", GroupPayment);
    RadioCredit->setObjectName("RadioCredit");
    LabelTarif = new QLabel("Тариф:", GroupPayment);
    LabelCount = new QLabel("Количество:", GroupPayment);
    LabelSumma = new QLabel("Сумма:", GroupPayment);
    ListPayments = new QTreeWidget(GroupPayment);
    ListPayments->setObjectName("ListPayments");
    ListPayments->setToolTip("Выбрать выполненный платеж");
    ListPayments->setRootIsDecorated(false);
    ListPayments->setSelectionMode(QAbstractItemView::SingleSelection);
    ListPayments->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListPayments->setHeaderLabels({"Время платежа", "Сумма", "Тариф", "Остаток", "ID"});
    ListPayments->setColumnHidden(ColId, true);

    auto *newPayment = new QFormLayout;
    newPayment->addRow(LabelTarif, ComboTarif);
    newPayment->addRow(LabelCount, SpinCount);
    newPayment->addRow(LabelSumma, EditSumma);
    auto *group = new QVBoxLayout(GroupPayment);
    group->addWidget(RadioNewPayment);
    group->addLayout(newPayment);
    group->addWidget(RadioExistingPayment);
    group->addWidget(ListPayments);
    group->addWidget(RadioCredit);
    for (QRadioButton *radio : {RadioNewPayment, RadioExistingPayment, RadioCredit})
        connect(radio, &QRadioButton::clicked, this, &TFormAutoIn::ApplyChoiceRule);

    MemoComment = new QPlainTextEdit(this);
    MemoComment->setObjectName("MemoComment");
    MemoComment->setToolTip("Вы можете указать комментарий к данному ТС");
    SetMaxLength(MemoComment, CommentLength);
    MemoComment->setMaximumHeight(60);

    QHBoxLayout *buttons = CreateButtonRow("Въезд ТС", "Зарегистрировать въезд ТС");
    ButtonSave->setDefault(true);
    connect(ButtonSave, &QPushButton::clicked, this, &TFormAutoIn::ValidateAndClose);

    auto *main = new QVBoxLayout(this);
    main->addLayout(top);
    main->addWidget(GroupPayment);
    main->addWidget(new QLabel("Служебная информация:", this));
    main->addWidget(MemoComment);
    main->addLayout(buttons);
}

bool TFormAutoIn::Execute(PAuto AAuto)
{
    FPayment = TPayment();
    SpinCount->setValue(0);
    EditSumma->setValue(0);
    MemoComment->clear();
    if (!AAuto || AAuto->Id == 0)
        return false;
    FAuto = AAuto;
    EditAuto->setText(AutoTitle(*FAuto));
    const bool filled = GuardedCall([this] {
        FillPlaceList();
        FillTarifList();
        FillPaymentList();
    });
    if (!filled)
        return false;
    DateIn->setDate(QDate::currentDate());
    TimeIn->setTime(QTime::currentTime());
    RadioNewPayment->setChecked(true);
    ApplyChoiceRule();
    RadioCredit->setVisible(ConfigData.IsAllowCredit);
    if (exec() != QDialog::Accepted)
        return false;
    return Save();
}

void TFormAutoIn::FillPlaceList()
{
    FPlaceFreeList = DModule->GetPlaceFreeList();
    ComboPlace->clear();
    ComboPlace->addItem("Выберите место");
    for (const TPlace &place : FPlaceFreeList)
        ComboPlace->addItem(place.Name);
    ComboPlace->setCurrentIndex(0);
}

void TFormAutoIn::FillPaymentList()
{
    const QString filter = " AND (AUTO.ID = " + QString::number(FAuto->Id) + ") "
                           + " AND (PAYMENTS.MINUTES > 0)";
    const TPaymentList payments = DModule->GetPaymentList(filter);
    ListPayments->clear();
    for (const TPayment &payment : payments) {
        auto *row = new QTreeWidgetItem(ListPayments);
        row->setText(ColTime, PaymentTimeText(payment.PayTime));
        row->setText(ColSumma, PlainNumberText(payment.Summa));
        row->setText(ColTarif, payment.Tarif.Name);
        row->setText(ColRest, GetMinutesStr(payment.Minutes));
        row->setText(ColId, QString::number(payment.Id));
    }
}

void TFormAutoIn::ApplyChoiceRule()
{
    const bool isNew = RadioNewPayment->isChecked();
    for (QWidget *field : {static_cast<QWidget *>(ComboTarif), static_cast<QWidget *>(SpinCount),
                           static_cast<QWidget *>(EditSumma), static_cast<QWidget *>(LabelTarif),
                           static_cast<QWidget *>(LabelCount), static_cast<QWidget *>(LabelSumma)})
        field->setEnabled(isNew);
    ListPayments->setEnabled(RadioExistingPayment->isChecked());
}

int TFormAutoIn::SelectedPaymentId() const
{
    for (int i = 0; i < ListPayments->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *row = ListPayments->topLevelItem(i);
        if (row->isSelected())
            return row->text(ColId).toInt();
    }
    return 0;
}

// A new payment must carry an amount and buy parking time; a payment that
// buys none would be stored without starting any stay.
bool TFormAutoIn::IsNewPaymentAcceptable()
{
    return EditSumma->value() > 0 && ChosenTarifMinutes() > 0;
}

void TFormAutoIn::ValidateAndClose()
{
    FPaymentId = 0;
    FNewPlacePtr = nullptr;
    const int placeEntry = ComboPlace->currentIndex();
    if (placeEntry > 0 && placeEntry <= FPlaceFreeList.size())
        FNewPlacePtr = &FPlaceFreeList[placeEntry - 1];
    if (!FNewPlacePtr) {
        ShowWarning("Выберите место стоянки ТС!");
        ComboPlace->setFocus();
        return;
    }
    bool acceptable = false;
    if (RadioNewPayment->isChecked()) {
        acceptable = IsNewPaymentAcceptable();
    } else if (RadioExistingPayment->isChecked()) {
        FPaymentId = SelectedPaymentId();
        acceptable = FPaymentId > 0;
    } else if (RadioCredit->isChecked()) {
        acceptable = ConfigData.IsAllowCredit;
    }
    if (!acceptable) {
        ShowWarning(PaymentChoiceRefused);
        return;
    }
    accept();
}

bool TFormAutoIn::TakeNewPayment()
{
    FPayment = BuildPayment(FAuto->Id, FTarif, SpinCount->value(), EditSumma->value(), QString(), false);
    FPayment.Id = DModule->AddPayment(&FPayment);
    if (FPayment.Id <= 0) {
        ShowWarning(PaymentFailed);
        return false;
    }
    return true;
}

bool TFormAutoIn::Save()
{
    int minutesPaied = 0;
    // The payment record StartVisit draws on. A new payment is spent on this
    // stay as a whole, so nothing of it is left to credit a later stay again.
    TPayment drawn;
    if (RadioNewPayment->isChecked()) {
        if (!TakeNewPayment())
            return false;
        minutesPaied = FPayment.Minutes;
        drawn = FPayment;
        drawn.Minutes = 0;
    } else if (RadioExistingPayment->isChecked()) {
        const int paymentId = SelectedPaymentId();
        if (paymentId > 0 && !GuardedCall([&] { FPayment = DModule->GetPaymentById(paymentId); }))
            return false;
        // The stay gets the day StartVisit draws from the payment, or nothing
        // when less than a day is left (then the stay is settled at exit).
        minutesPaied = FPayment.Minutes >= DayMinutes ? DayMinutes : 0;
        drawn = FPayment;
    }
    const bool canStart = (FPayment.Id > 0 && FPayment.Minutes > 0)
                          || (ConfigData.IsAllowCredit && RadioCredit->isChecked());
    if (!canStart)
        return false;
    if (!DModule->StartVisit(FAuto, FNewPlacePtr, &drawn, minutesPaied)) {
        ShowWarning("При регистрации въезда ТС произошла ошибка!\r\nПовторите операцию");
        return false;
    }
    ReportStarted();
    return true;
}

void TFormAutoIn::ReportStarted()
{
    if (FPayment.Id <= 0) {
        ShowInfo("Въезд ТС зафиксирован");
        return;
    }
    if (AskYesNo("Въезд ТС зафиксирован, оплата проведена успешно.\r\nНапечатать чек?", mtInformation))
        PrintReceipt(FPayment);
}
