#include "shell/UnitPlaces.h"

#include <QToolButton>

#include "data/UnitData.h"
#include "platform/ErrorBox.h"
#include "platform/MessDlgs.h"
#include "shell/UnitMain.h"
#include "shell/UnitPlaceForm.h"

QPointer<TFormPlaces> FormPlaces;

namespace {

void FillRow(TMemTable *ATable, int ARow, const TPlace &APlace)
{
    ATable->SetValue(ARow, "NAME", APlace.Name);
    ATable->SetValue(ARow, "IS_BUSY", APlace.IsBusy);
    ATable->SetValue(ARow, "GOSNOMER", APlace.Gosnomer);
    ATable->SetValue(ARow, "IS_ACTIVE", APlace.IsActive);
    ATable->SetValue(ARow, "COMMENTS", APlace.Comments);
}

} // namespace

TFormPlaces::TFormPlaces(QWidget *parent)
    : TListWindow(QStringLiteral("FormPlaces"), QStringLiteral("Стояночные места"), parent)
{
    Table->AddField(Field("ID", TFieldKind::Integer, "ID"));
    Table->AddField(Field("NAME", TFieldKind::Text, "Название", 30));
    Table->AddField(Field("IS_BUSY", TFieldKind::Boolean, "Занято"));
    Table->AddField(Field("GOSNOMER", TFieldKind::Text, "Госномер", 20));
    Table->AddField(Field("IS_ACTIVE", TFieldKind::Boolean, "Активно"));
    Table->AddField(Field("COMMENTS", TFieldKind::Text, "Описание", 250));
    Grid->SetKeyField("ID");
    Grid->SetGroupingBoxVisible(false);

    ButtonNew = AddCommandButton(FormMain->ActionPlaceNew);
    ButtonDelete = AddButton("ButtonDelete", "Удалить", "Удалить выбранное парковочное место", "ButtonDelete", true);
    connect(ButtonDelete, &QToolButton::clicked, this, [this] { GuardedCall([this] { DeleteSelected(); }); });
    connect(Grid, &TDataGrid::RowDoubleClicked, this, [this](const QVariant &key) {
        GuardedCall([this, key] { EditRow(key.toInt()); });
    });
    FormMain->RegisterOpenList(TListKind::Places, this, [this] { RefreshTable(); });
}

void TFormPlaces::RefreshTable()
{
    const TPlaceList places = DModule->GetPlaceList(false);
    Table->BeginUpdate();
    Table->Clear();
    for (const TPlace &place : places)
        FillRow(Table, Table->Append({place.Id}), place);
    Table->EndUpdate();
    Grid->FocusPosition(0);
}

void TFormPlaces::EditRow(int APlaceId)
{
    if (!TFormPlace::ExecuteCard(APlaceId))
        return;
    const TPlace place = DModule->GetPlaceById(APlaceId);
    const int row = Table->Locate("ID", APlaceId);
    if (place.Id != 0 && row >= 0)
        FillRow(Table, row, place);
}

void TFormPlaces::DeleteSelected()
{
    const int row = Grid->FocusedRow();
    if (row < 0)
        return;
    const int id = Table->Value(row, "ID").toInt();
    const TPlace place = DModule->GetPlaceById(id);
    if (place.Id == 0 || place.IsBusy) {
        ShowWarning(QStringLiteral("Место занято!\r\nОперация невозможна."));
        return;
    }
    if (!AskYesNo(QStringLiteral("Вы хотите удалить выбранный элемент?")))
        return;
    DModule->DeletePlaceById(id);
    RefreshTable();
}
