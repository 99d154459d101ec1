#include "shell/UnitAutos.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>

#include "data/UnitData.h"
#include "operations/UnitAutoHistory.h"
#include "operations/UnitAutoPaymentsForm.h"
#include "operations/UnitAutoVisitsForm.h"
#include "platform/ErrorBox.h"
#include "platform/DataGrid.h"
#include "platform/MemTable.h"
#include "shell/UnitAutoForm.h"
#include "shell/UnitMain.h"

QPointer<TFormAutos> FormAutos;

namespace {

enum TPresence { AnyPresence = 0, PresentOnly = 1, AbsentOnly = 2 };

const QString NoValueText = QStringLiteral("--");
const QColor PresentColor(0, 128, 0);

// The text condition of the list: a substring of the vehicle's own columns.
// The typed text is escaped, so quotes, "%" and "_" in it match themselves.
QString TextFilterSQL(const QString &typed)
{
    const QString pattern = QStringLiteral("'%") + LikeLiteral(typed) + QStringLiteral("%'") + LikeEscapeClause();
    QStringList conditions;
    for (const char *column : {"AUTO.GOSNOMER", "AUTO.MODEL", "AUTO.COLOR", "AUTO.OWNER_FIO", "AUTO.COMMENTS"})
        conditions << QStringLiteral("(%1 LIKE %2)").arg(QLatin1String(column), pattern);
    return QStringLiteral(" AND (") + conditions.join(QStringLiteral("OR")) + QStringLiteral(") ");
}

bool PresenceKeeps(int presence, const TAuto &autoRecord)
{
    const bool present = autoRecord.Place.Id != 0;
    if (presence == PresentOnly)
        return present;
    if (presence == AbsentOnly)
        return !present;
    return true;
}

} // namespace

TFormAutos::TFormAutos(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("FormAutos"));
    setWindowTitle(QStringLiteral("Список ТС"));
    setAttribute(Qt::WA_DeleteOnClose);

    auto *layout = new QVBoxLayout(this);
    BuildFilterFrame(layout);
    BuildTable();
    BuildGrid(layout);
    BuildPopupMenu();
    if (FormMain)
        FormMain->RegisterOpenList(TListKind::Autos, this, [this] { RefreshTable(); });
}

TFormAutos::~TFormAutos() = default;

void TFormAutos::BuildFilterFrame(QBoxLayout *layout)
{
    auto *top = new QHBoxLayout;
    ButtonNew = new QToolButton;
    ButtonNew->setObjectName(QStringLiteral("ButtonNew"));
    ButtonNew->setToolButtonStyle(Qt::ToolButtonIconOnly);
    if (FormMain)
        ButtonNew->setDefaultAction(FormMain->ActionAutoNew);
    ButtonNew->setToolTip(QStringLiteral("Зарегистрировать новое ТС"));
    top->addWidget(ButtonNew);

    auto *frame = new QGroupBox(QStringLiteral(" Фильтрация "));
    auto *filters = new QHBoxLayout(frame);
    EditStringFilter = new QLineEdit;
    EditStringFilter->setObjectName(QStringLiteral("EditStringFilter"));
    EditStringFilter->setToolTip(QStringLiteral("Фильтрация по части строки"));
    ComboBoxStatus = new QComboBox;
    ComboBoxStatus->setObjectName(QStringLiteral("ComboBoxStatus"));
    ComboBoxStatus->setToolTip(QStringLiteral("Фильтрация по нахождению ТС на парковке"));
    ComboBoxStatus->addItems({QStringLiteral("Все"), QStringLiteral("Сейчас на парковке"),
                              QStringLiteral("Нет на парковке")});
    // A new list starts with no presence chosen, which keeps every vehicle.
    ComboBoxStatus->setCurrentIndex(-1);
    ButtonFilter = new QPushButton(QStringLiteral("Фильтр"));
    ButtonFilter->setObjectName(QStringLiteral("ButtonFilter"));
    ButtonFilter->setToolTip(QStringLiteral("Применить фильтр"));
    ButtonFilterClear = new QPushButton(QStringLiteral("Все"));
    ButtonFilterClear->setObjectName(QStringLiteral("ButtonFilterClear"));
    ButtonFilterClear->setToolTip(QStringLiteral("Показать все ТС"));
    filters->addWidget(new QLabel(QStringLiteral("Строка: ")));
    filters->addWidget(EditStringFilter, 1);
    filters->addWidget(new QLabel(QStringLiteral("Местонахождение:")));
    filters->addWidget(ComboBoxStatus);
    filters->addWidget(ButtonFilter);
    filters->addWidget(ButtonFilterClear);
    top->addWidget(frame, 1);
    layout->addLayout(top);

    connect(ButtonFilter, &QPushButton::clicked, this, [this] { GuardedCall([this] { ButtonFilterClick(); }); });
    connect(ButtonFilterClear, &QPushButton::clicked, this,
            [this] { GuardedCall([this] { ButtonFilterClearClick(); }); });
    connect(EditStringFilter, &QLineEdit::returnPressed, ButtonFilter, &QPushButton::click);
}

void TFormAutos::BuildTable()
{
    Table = new TMemTable(this);
    Table->AddField({QStringLiteral("ID"), TFieldKind::Integer, 0, QStringLiteral("ID")});
    Table->AddField({QStringLiteral("GOSNOMER"), TFieldKind::Text, 20, QStringLiteral("Госномер")});
    Table->AddField({QStringLiteral("MODEL"), TFieldKind::Text, 100, QStringLiteral("Модель")});
    Table->AddField({QStringLiteral("COLOR"), TFieldKind::Text, 30, QStringLiteral("Цвет")});
    Table->AddField({QStringLiteral("NAME"), TFieldKind::Text, 30, QStringLiteral("ФИО")});
    Table->AddField({QStringLiteral("STATUS_STR"), TFieldKind::Text, 20, QStringLiteral("Место")});
    Table->AddField({QStringLiteral("LAST_ENTRY_TIME_STR"), TFieldKind::Text, 20, QStringLiteral("Послед. въезд")});
    Table->AddField({QStringLiteral("STATUS"), TFieldKind::Integer, 0, QString(), false});
    Table->AddField({QStringLiteral("LAST_ENTRY_TIME"), TFieldKind::DateTime, 0, QString(), false});
}

void TFormAutos::BuildGrid(QBoxLayout *layout)
{
    Grid = new TDataGrid(Table);
    Grid->setObjectName(QStringLiteral("Grid"));
    Grid->SetKeyField(QStringLiteral("ID"));
    Grid->SetGroupingBoxVisible(true);
    // Present vehicles are drawn green and bold, every cell of their row.
    Grid->SetPainter([this](int row, int, QFont &font, QColor &color) {
        const bool present = Table->Value(row, QStringLiteral("STATUS")).toInt() == 1;
        color = present ? PresentColor : QColor(Qt::black);
        font.setBold(present);
    });
    connect(Grid, &TDataGrid::RowClicked, this,
            [this](const QVariant &key, int row, const QString &, Qt::MouseButton button) {
                const bool read = GuardedCall([this, &key, row] { RowClick(key.toInt(), row); });
                FMenuAllowed = read && button == Qt::RightButton && CurrentAuto.Id > 0;
            });
    connect(Grid, &TDataGrid::RowContextMenu, this, [this](const QVariant &, int, const QPoint &globalPos) {
        if (FMenuAllowed)
            PopupMenu->popup(globalPos);
        FMenuAllowed = false;
    });
    connect(Grid, &TDataGrid::RowDoubleClicked, this, [this](const QVariant &key, int, const QString &) {
        GuardedCall([this, &key] { RowDoubleClick(key.toInt()); });
    });
    layout->addWidget(Grid, 1);
}

void TFormAutos::BuildPopupMenu()
{
    PopupMenu = new QMenu(this);
    PopupMenu->setObjectName(QStringLiteral("PopupMenu"));
    connect(PopupMenu->addAction(QStringLiteral("Сведения")), &QAction::triggered, this,
            [this] { GuardedCall([this] { MenuInfoClick(); }); });
    connect(PopupMenu->addAction(QStringLiteral("Въезды-выезды")), &QAction::triggered, this,
            [this] { GuardedCall([this] { MenuVisitsClick(); }); });
    connect(PopupMenu->addAction(QStringLiteral("Платежи")), &QAction::triggered, this,
            [this] { GuardedCall([this] { MenuPaymentsClick(); }); });
}

void TFormAutos::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // Filters start empty once per window; later shows only bring it forward.
    if (FShownOnce)
        return;
    FShownOnce = true;
    FFilterSQL.clear();
    EditStringFilter->clear();
    FSelectedId = -1;
    GuardedCall([this] { RefreshTable(); });
}

void TFormAutos::RefreshTable()
{
    const int presence = ComboBoxStatus->currentIndex();
    // Read first: a failing read leaves the previous rows in place.
    const TAutoList autos = DModule->GetAutoList(FFilterSQL, QString());
    Table->BeginUpdate();
    Table->Clear();
    for (const TAuto &autoRecord : autos) {
        if (!PresenceKeeps(presence, autoRecord))
            continue;
        const bool present = autoRecord.Place.Id != 0;
        Table->Append({autoRecord.Id, autoRecord.Gosnomer, autoRecord.Model, autoRecord.Color,
                       autoRecord.OwnerFIO, present ? autoRecord.Place.Name : NoValueText,
                       autoRecord.InTime != 0 ? DateTimeText(autoRecord.InTime) : NoValueText,
                       present ? 1 : 0, autoRecord.InTime});
    }
    Table->EndUpdate();
    // The remembered position, not the vehicle: past the last row nothing is focused.
    if (FSelectedId >= 0)
        Grid->FocusPosition(FSelectedId);
}

void TFormAutos::ButtonFilterClick()
{
    const QString typed = EditStringFilter->text();
    FFilterSQL = typed.isEmpty() ? QString() : TextFilterSQL(typed);
    RefreshTable();
}

void TFormAutos::ButtonFilterClearClick()
{
    FFilterSQL.clear();
    EditStringFilter->clear();
    ComboBoxStatus->setCurrentIndex(AnyPresence);
    RefreshTable();
}

void TFormAutos::RowClick(int id, int row)
{
    CurrentAuto = DModule->GetAutoById(id);
    FSelectedId = Grid->ShownRows().indexOf(row);
    FormMain->SetNewCurrentAuto(CurrentAuto);
}

void TFormAutos::RowDoubleClick(int id)
{
    if (!TFormAuto::ExecuteCard(id))
        return;
    const TAuto fresh = DModule->GetAutoById(id);
    if (fresh.Id == 0)
        return;
    // Found again by id: "Сохранить и Въезд" may have rebuilt the whole list meanwhile.
    const int row = Table->Locate(QStringLiteral("ID"), id);
    if (row < 0)
        return;
    Table->SetValue(row, QStringLiteral("NAME"), fresh.OwnerFIO);
    Table->SetValue(row, QStringLiteral("GOSNOMER"), fresh.Gosnomer);
    Table->SetValue(row, QStringLiteral("MODEL"), fresh.Model);
    Table->SetValue(row, QStringLiteral("COLOR"), fresh.Color);
}

void TFormAutos::MenuInfoClick()
{
    if (CurrentAuto.Id > 0)
        TFormAuto::ExecuteCard(CurrentAuto.Id);
}

void TFormAutos::MenuVisitsClick()
{
    if (CurrentAuto.Id <= 0)
        return;
    if (!FormAutoVisits)
        FormAutoVisits = new TFormAutoVisits(FormMain);
    FormAutoVisits->Execute(&CurrentAuto);
}

void TFormAutos::MenuPaymentsClick()
{
    if (CurrentAuto.Id <= 0)
        return;
    if (!FormAutoPayments)
        FormAutoPayments = new TFormAutoPayments(FormMain);
    FormAutoPayments->Execute(&CurrentAuto);
}
