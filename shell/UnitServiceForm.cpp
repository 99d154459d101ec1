#include "shell/UnitServiceForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QSpinBox>
#include <QTimeEdit>
#include <QVBoxLayout>

#include "data/UnitData.h"
#include "platform/MessDlgs.h"
#include "platform/TextLimit.h"
#include "shell/CardLayout.h"
#include "shell/UnitMain.h"

QPointer<TFormService> FormService;

namespace {

// Column lengths of TARIFS.NAME and TARIFS.COMMENTS.
constexpr int NameLength = 100;
constexpr int CommentsLength = 1000;

const QDate EarliestDate(1900, 1, 1);
const QDate NewStartDate(2010, 1, 1);
const QDate NewStopDate(2030, 1, 1);

QDateEdit *DateField(QWidget *AParent, const char *AName, const QString &AHint)
{
    auto *edit = new QDateEdit(AParent);
    edit->setObjectName(QString::fromLatin1(AName));
    edit->setToolTip(AHint);
    edit->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    edit->setCalendarPopup(true);
    edit->setMinimumDate(EarliestDate);
    return edit;
}

QTimeEdit *TimeField(QWidget *AParent, const char *AName, const QString &AHint)
{
    auto *edit = new QTimeEdit(AParent);
    edit->setObjectName(QString::fromLatin1(AName));
    edit->setToolTip(AHint);
    edit->setDisplayFormat(QStringLiteral("HH:mm"));
    return edit;
}

} // namespace

TFormService::TFormService(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FormService"));
    setWindowTitle(QStringLiteral("Тариф"));

    EditName = new QLineEdit(this);
    EditName->setObjectName(QStringLiteral("EditName"));
    EditName->setToolTip(QStringLiteral("Название тарифа"));
    EditName->setMaxLength(NameLength);

    EditPrice = new QDoubleSpinBox(this);
    EditPrice->setObjectName(QStringLiteral("EditPrice"));
    EditPrice->setToolTip(QStringLiteral("Цена по тарифу"));
    EditPrice->setDecimals(2);
    EditPrice->setRange(0, 1e9);
    EditPrice->setSuffix(QStringLiteral(" ₽"));
    EditPrice->setButtonSymbols(QAbstractSpinBox::NoButtons);

    MemoComment = new QPlainTextEdit(this);
    MemoComment->setObjectName(QStringLiteral("MemoComment"));
    MemoComment->setToolTip(QStringLiteral("Описание тарифа"));
    MemoComment->setTabChangesFocus(true);
    SetMaxLength(MemoComment, CommentsLength);

    CheckBoxIsActive = CaptionFirstCheckBox(this, QStringLiteral("CheckBoxIsActive"), QStringLiteral("Активен:"),
                                            QStringLiteral("Активность тарифа"));

    EditPeriod = new QSpinBox(this);
    EditPeriod->setObjectName(QStringLiteral("EditPeriod"));
    EditPeriod->setToolTip(QStringLiteral("Длительность периода предоставления услуги"));
    EditPeriod->setRange(0, 1000000);

    ComboBoxPeriodType = new QComboBox(this);
    ComboBoxPeriodType->setObjectName(QStringLiteral("ComboBoxPeriodType"));
    ComboBoxPeriodType->setToolTip(QStringLiteral("Длительность (тип) периода"));
    ComboBoxPeriodType->addItems({"Разово", "Минута", "Час", "День", "Ночь", "Сутки", "Неделя", "Месяц", "Год"});

    EditStartDate = DateField(this, "EditStartDate", QStringLiteral("Дата начала периода оказания услуги"));
    EditStopDate = DateField(this, "EditStopDate", QStringLiteral("Дата окончания периода оказания услуги"));
    EditStartTime = TimeField(this, "EditStartTime", QStringLiteral("Время начала периода оказания услуги"));
    EditStopTime = TimeField(this, "EditStopTime", QStringLiteral("Время окончания периода оказания услуги"));

    QFormLayout *rows = nullptr;
    QGroupBox *general = CardGroup(this, QStringLiteral(" Общие данные "), &rows);
    rows->addRow(QStringLiteral("Название:"), EditName);
    rows->addRow(QStringLiteral("Стоимость:"), EditPrice);
    rows->addRow(QStringLiteral("Описание:"), MemoComment);
    QGroupBox *service = CardGroup(this, QStringLiteral(" Служебная информация "), &rows);
    rows->addRow(CheckBoxIsActive);
    QGroupBox *period = CardGroup(this, QStringLiteral(" Период оказания  "), &rows);
    rows->addRow(QStringLiteral("Период:"), EditPeriod);
    rows->addRow(QStringLiteral("Длительность периода:"), ComboBoxPeriodType);
    rows->addRow(QStringLiteral("Дата начала:"), EditStartDate);
    rows->addRow(QStringLiteral("Дата окончания:"), EditStopDate);
    rows->addRow(QStringLiteral("Время начала:"), EditStartTime);
    rows->addRow(QStringLiteral("Время окончания:"), EditStopTime);

    auto *left = new QVBoxLayout;
    left->addWidget(general);
    left->addWidget(service);
    auto *columns = new QHBoxLayout;
    columns->addLayout(left, 1);
    columns->addWidget(period);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addLayout(CardButtons(this, QStringLiteral("Сохранить данные"), &btnSave));
    connect(btnSave, &QPushButton::clicked, this, &QDialog::accept);
}

bool TFormService::ExecuteCard(int AItemId)
{
    if (!FormService)
        FormService = new TFormService(FormMain);
    // Freed after every use, whatever the outcome.
    const auto free = qScopeGuard([] { delete FormService; });
    return FormService->Execute(AItemId);
}

bool TFormService::Execute(int AItemId)
{
    if (AItemId < 1) {
        FTarif = TTarif();
        FTarif.PeriodType = -1;
        FTarif.StartDate = DateFromQt(NewStartDate);
        FTarif.StopDate = DateFromQt(NewStopDate);
    } else {
        FTarif = DModule->GetTarifById(AItemId);
        if (FTarif.Id == 0) {
            ShowWarning(QStringLiteral("Тариф не найден!\r\nПовторите операцию."));
            return false;
        }
    }
    FillControls();
    if (exec() != QDialog::Accepted)
        return false;
    ReadControls();
    if (FTarif.Id > 0)
        return DModule->UpdateTarif(&FTarif);
    FTarif.Id = DModule->AddTarif(&FTarif);
    return FTarif.Id > 0;
}

void TFormService::FillControls()
{
    EditName->setText(FTarif.Name);
    EditPrice->setValue(FTarif.Price);
    MemoComment->setPlainText(FTarif.Comments);
    CheckBoxIsActive->setChecked(FTarif.IsActive);
    EditPeriod->setValue(FTarif.Period);
    ComboBoxPeriodType->setCurrentIndex(FTarif.PeriodType);
    EditStartDate->setDate(DateToQt(FTarif.StartDate));
    EditStopDate->setDate(DateToQt(FTarif.StopDate));
    EditStartTime->setTime(TimeToQt(FTarif.StartTime));
    EditStopTime->setTime(TimeToQt(FTarif.StopTime));
    EditName->setFocus();
}

void TFormService::ReadControls()
{
    FTarif.Name = EditName->text();
    FTarif.Comments = MemoComment->toPlainText();
    FTarif.Price = EditPrice->value();
    FTarif.Period = EditPeriod->value();
    FTarif.PeriodType = ComboBoxPeriodType->currentIndex();
    FTarif.StartDate = DateFromQt(EditStartDate->date());
    FTarif.StopDate = DateFromQt(EditStopDate->date());
    FTarif.StartTime = TimeFromQt(EditStartTime->time());
    FTarif.StopTime = TimeFromQt(EditStopTime->time());
    FTarif.IsActive = CheckBoxIsActive->isChecked();
}
