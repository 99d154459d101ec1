#include "shell/UnitServices.h"

#include <QToolButton>

#include "data/UnitData.h"
#include "platform/ErrorBox.h"
#include "platform/MessDlgs.h"
#include "shell/UnitMain.h"
#include "shell/UnitServiceForm.h"

QPointer<TFormServices> FormServices;

namespace {

QString DateOrPlaceholder(TDateTime AValue, const QString &ANoLimit)
{
    const QString text = FormatDateTime(QStringLiteral("DD.MM.YY"), AValue);
    return text == ANoLimit ? QStringLiteral("--.--.--") : text;
}

} // namespace

QString TarifStartDateText(TDateTime AValue)
{
    return DateOrPlaceholder(AValue, QStringLiteral("01.01.10"));
}

QString TarifStopDateText(TDateTime AValue)
{
    return DateOrPlaceholder(AValue, QStringLiteral("01.01.30"));
}

QString TarifTimeText(TDateTime AValue)
{
    const QString text = FormatDateTime(QStringLiteral("HH:NN"), AValue);
    return text == QStringLiteral("00:00") ? QStringLiteral("--:--") : text;
}

TFormServices::TFormServices(QWidget *parent)
    : TListWindow(QStringLiteral("FormServices"), QStringLiteral("Тарифы"), parent)
{
    Table->AddField(Field("ID", TFieldKind::Integer, "ID"));
    Table->AddField(Field("NAME", TFieldKind::Text, "Название", 30));
    Table->AddField(Field("PRICE", TFieldKind::Currency, "Стоимость"));
    Table->AddField(Field("IS_ACTIVE", TFieldKind::Boolean, "Активен"));
    Table->AddField(Field("START_DATE", TFieldKind::Text, "Дата начала", 20));
    Table->AddField(Field("START_TIME", TFieldKind::Text, "Время начала", 20));
    Table->AddField(Field("END_DATE", TFieldKind::Text, "Дата окончания", 20));
    Table->AddField(Field("END_TIME", TFieldKind::Text, "Время окончания", 20));
    Table->AddField(Field("PERIOD", TFieldKind::Integer, "Период"));
    Table->AddField(Field("PERIOD_TYPE", TFieldKind::Text, "Тип периода", 20));
    Table->AddField(Field("COMMENTS", TFieldKind::Text, "Описание", 250));
    Grid->SetKeyField("ID");
    Grid->SetGroupingBoxVisible(false);

    ButtonNew = AddCommandButton(FormMain->ActionServiceNew);
    ButtonDelete = AddButton("ButtonDelete", "Удалить", "Удалить выбранный тариф", "ButtonDelete", true);
    connect(ButtonDelete, &QToolButton::clicked, this, [this] { GuardedCall([this] { DeleteSelected(); }); });
    connect(Grid, &TDataGrid::RowDoubleClicked, this, [this](const QVariant &key) {
        GuardedCall([this, key] { EditRow(key.toInt()); });
    });
    FormMain->RegisterOpenList(TListKind::Services, this, [this] { RefreshTable(); });
}

void TFormServices::FillRow(int ARow, const TTarif &ATarif)
{
    Table->SetValue(ARow, "NAME", ATarif.Name);
    Table->SetValue(ARow, "PRICE", ATarif.Price);
    Table->SetValue(ARow, "IS_ACTIVE", ATarif.IsActive);
    Table->SetValue(ARow, "START_DATE", TarifStartDateText(ATarif.StartDate));
    Table->SetValue(ARow, "START_TIME", TarifTimeText(ATarif.StartTime));
    Table->SetValue(ARow, "END_DATE", TarifStopDateText(ATarif.StopDate));
    Table->SetValue(ARow, "END_TIME", TarifTimeText(ATarif.StopTime));
    Table->SetValue(ARow, "PERIOD", ATarif.Period);
    Table->SetValue(ARow, "PERIOD_TYPE", DModule->GetPeriodTypeStr(ATarif.PeriodType));
    Table->SetValue(ARow, "COMMENTS", ATarif.Comments);
}

void TFormServices::RefreshTable()
{
    const TTarifList tarifs = DModule->GetTarifList(false);
    Table->BeginUpdate();
    Table->Clear();
    for (const TTarif &tarif : tarifs)
        FillRow(Table->Append({tarif.Id}), tarif);
    Table->EndUpdate();
    Grid->FocusPosition(0);
}

void TFormServices::EditRow(int ATarifId)
{
    if (!TFormService::ExecuteCard(ATarifId))
        return;
    const TTarif tarif = DModule->GetTarifById(ATarifId);
    const int row = Table->Locate("ID", ATarifId);
    if (tarif.Id != 0 && row >= 0)
        FillRow(row, tarif);
}

void TFormServices::DeleteSelected()
{
    const int row = Grid->FocusedRow();
    if (row < 0)
        return;
    if (!AskYesNo(QStringLiteral("Вы хотите удалить выбранный элемент?")))
        return;
    DModule->DeleteTarifById(Table->Value(row, "ID").toInt());
    RefreshTable();
}
