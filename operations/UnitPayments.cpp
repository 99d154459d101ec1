#include "operations/UnitPayments.h"

#include <QDateEdit>
#include <QDoubleValidator>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <climits>

#include "data/UnitData.h"
#include "operations/OpsTexts.h"
#include "operations/Receipt.h"
#include "platform/DataGrid.h"
#include "platform/ErrorBox.h"
#include "platform/MemTable.h"
#include "platform/MessDlgs.h"

TFormPayments *FormPayments = nullptr;

namespace {
// A date field at its minimum shows nothing and sets no bound.
const QDate NoDate(1900, 1, 1);
constexpr int GosnomerLength = 50;
// Amounts are compared to the kopeck.
constexpr double AmountTolerance = 0.005;

QDateEdit *FilterDateField(QWidget *parent, const char *name, const QString &hint)
{
    auto *field = new QDateEdit(parent);
    field->setObjectName(name);
    field->setCalendarPopup(true);
    field->setDisplayFormat("dd.MM.yyyy");
    field->setMinimumDate(NoDate);
    field->setSpecialValueText(" ");
    field->setToolTip(hint);
    return field;
}

QPushButton *Button(QWidget *parent, const char *name, const QString &caption, const QString &hint)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setToolTip(hint);
    return button;
}

QString SqlDate(const QDate &date)
{
    return "'" + date.toString("yyyy-MM-dd") + "'";
}
}

TFormPayments::TFormPayments(QWidget *parent) : QWidget(parent)
{
    FormPayments = this;
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle("Платежи за ТС");
    FTable = new TMemTable(this);
    DefineFields();
    BuildLayout();
}

TFormPayments::~TFormPayments()
{
    if (FormPayments == this)
        FormPayments = nullptr;
}

void TFormPayments::DefineFields()
{
    const auto add = [this](const char *name, TFieldKind kind, const char *caption, int width = 0,
                            bool visible = true) {
        TFieldDef def;
        def.Name = name;
        def.Kind = kind;
        def.Caption = caption;
        def.Width = width;
        def.Visible = visible;
        FTable->AddField(def);
    };
    add("ID", TFieldKind::Integer, "ID платежа");
    add("PAYMENT_TIME", TFieldKind::DateTime, "Время");
    add("GOSNOMER", TFieldKind::Text, "Госномер ТС", 20);
    add("MODEL", TFieldKind::Text, "Модель", 20);
    add("COLOR", TFieldKind::Text, "Цвет", 20);
    add("SUMMA", TFieldKind::Currency, "Сумма");
    add("TARIF_NAME", TFieldKind::Text, "Тариф", 20);
    add("PRICE", TFieldKind::Currency, "Цена");
    add("VOLUME", TFieldKind::Integer, "Колич.", 0, false);
    add("PERIOD_NAME", TFieldKind::Text, "Период", 20);
    add("COMMENTS", TFieldKind::Text, "Примечания", 250);
    add("AUTO_ID", TFieldKind::Integer, "ID ТС", 0, false);
    add("TARIF_ID", TFieldKind::Integer, "ID тарифа", 0, false);
    add("PERIOD", TFieldKind::Integer, "Период", 0, false);
    add("PERIOD_TYPE", TFieldKind::Integer, "Тип периода", 0, false);
}

void TFormPayments::BuildLayout()
{
    DateFrom = FilterDateField(this, "DateFrom", "Дата начала отображаемого периода");
    DateTo = FilterDateField(this, "DateTo", "Дата окончания отображаемого периода");
    EditSumma = new QLineEdit(this);
    EditSumma->setObjectName("EditSumma");
    EditSumma->setToolTip("Сумма платежа для фильтрации");
    auto *amount = new QDoubleValidator(0, 999999999.0, 2, EditSumma);
    amount->setNotation(QDoubleValidator::StandardNotation);
    amount->setLocale(DeskLocale());
    EditSumma->setValidator(amount);
    SpinAutoId = new QSpinBox(this);
    SpinAutoId->setObjectName("SpinAutoId");
    SpinAutoId->setRange(0, INT_MAX);
    SpinAutoId->setSpecialValueText(" ");
    SpinAutoId->setToolTip("ID ТС для фильтрации");
    EditGosnomer = new QLineEdit(this);
    EditGosnomer->setObjectName("EditGosnomer");
    EditGosnomer->setMaxLength(GosnomerLength);
    EditGosnomer->setToolTip("Фильтрация платежей по госномеру ТС");
    ButtonFilter = Button(this, "ButtonFilter", "Фильтр", "Применить фильтрацию к платежам");
    ButtonAll = Button(this, "ButtonAll", "Все", "Вывести все платежи");
    ButtonPrint = Button(this, "ButtonPrint", "Печать чека", "Напечатать чек");
    connect(ButtonFilter, &QPushButton::clicked, this, &TFormPayments::ApplyFilter);
    connect(ButtonAll, &QPushButton::clicked, this, &TFormPayments::ShowAll);
    connect(ButtonPrint, &QPushButton::clicked, this, &TFormPayments::PrintCheck);

    auto *filterBox = new QGroupBox(" Фильтрация ", this);
    auto *filters = new QHBoxLayout(filterBox);
    filters->addWidget(new QLabel("Дата:", filterBox));
    filters->addWidget(DateFrom);
    filters->addWidget(new QLabel("...", filterBox));
    filters->addWidget(DateTo);
    filters->addWidget(new QLabel("Сумма:", filterBox));
    filters->addWidget(EditSumma);
    filters->addWidget(new QLabel("ID ТС:", filterBox));
    filters->addWidget(SpinAutoId);
    filters->addWidget(new QLabel("Госномер ТС:", filterBox));
    filters->addWidget(EditGosnomer);
    filters->addWidget(ButtonFilter);
    filters->addWidget(ButtonAll);
    filters->addStretch();
    auto *top = new QHBoxLayout;
    top->addWidget(filterBox, 1);
    top->addWidget(ButtonPrint);

    GridPayments = new TDataGrid(FTable, this);
    GridPayments->setObjectName("GridPayments");
    GridPayments->SetKeyField("ID");
    GridPayments->SetGroupingBoxVisible(true);
    connect(GridPayments, &TDataGrid::RowClicked, this,
            [this](const QVariant &key) { RowClicked(key); });

    auto *main = new QVBoxLayout(this);
    main->addLayout(top);
    main->addWidget(GridPayments, 1);
}

void TFormPayments::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // Restoring a minimized window shows it again; only the opening starts afresh.
    if (FOpened)
        return;
    FOpened = true;
    FFilterSQL.clear();
    ClearFilterFields();
    FPayment.Id = 0;
    GuardedCall([this] { RefreshTable(); });
}

void TFormPayments::ClearFilterFields()
{
    DateFrom->setDate(NoDate);
    DateTo->setDate(NoDate);
    EditSumma->clear();
    SpinAutoId->setValue(0);
    EditGosnomer->clear();
}

QString TFormPayments::BuildFilterSQL() const
{
    QString filter;
    if (DateFrom->date() != NoDate)
        filter += " AND (PAYMENTS.CREATED_TIME >= " + SqlDate(DateFrom->date()) + ")";
    // The end date counts as a whole day.
    if (DateTo->date() != NoDate)
        filter += " AND (PAYMENTS.CREATED_TIME < " + SqlDate(DateTo->date().addDays(1)) + ")";
    bool isAmount = false;
    const double amount = DeskLocale().toDouble(EditSumma->text().trimmed(), &isAmount);
    if (isAmount)
        filter += " AND (ABS(PAYMENTS.SUMMA - " + QString::number(amount, 'f', 2) + ") < "
                  + QString::number(AmountTolerance) + ")";
    if (SpinAutoId->value() > 0)
        filter += " AND (PAYMENTS.ID_AUTO = " + QString::number(SpinAutoId->value()) + ")";
    const QString gosnomer = EditGosnomer->text().trimmed();
    if (!gosnomer.isEmpty())
        filter += " AND (UPPER(AUTO.GOSNOMER) LIKE UPPER('%" + LikeLiteral(gosnomer) + "%')"
                  + LikeEscapeClause() + ")";
    return filter;
}

void TFormPayments::RefreshTable()
{
    const TPaymentList payments = DModule->GetPaymentList(FFilterSQL);
    FTable->BeginUpdate();
    FTable->Clear();
    for (const TPayment &p : payments)
        FTable->Append({p.Id, p.PayTime, p.Gosnomer, p.Model, p.Color, p.Summa, p.Tarif.Name,
                        p.Tarif.Price, p.Count, GetPeriodCountStr(p.Count, p.Tarif.PeriodType),
                        p.Comments, p.AutoId, p.Tarif.Id, p.Tarif.Period, p.Tarif.PeriodType});
    FTable->EndUpdate();
}

void TFormPayments::ApplyFilter()
{
    FFilterSQL = BuildFilterSQL();
    GuardedCall([this] { RefreshTable(); });
}

void TFormPayments::ShowAll()
{
    FFilterSQL.clear();
    ClearFilterFields();
    GuardedCall([this] { RefreshTable(); });
}

void TFormPayments::RowClicked(const QVariant &AKey)
{
    GuardedCall([&] { FPayment = DModule->GetPaymentById(AKey.toInt()); });
}

void TFormPayments::PrintCheck()
{
    if (FPayment.Id <= 0) {
        ShowWarning("Не выбран платеж!\r\nВыберите требуемый платеж и повторите операцию.");
        return;
    }
    PrintReceipt(FPayment);
}
