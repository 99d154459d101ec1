#include "reports/ReportFrame.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

#include "platform/ErrorBox.h"

namespace {
// The empty state of a date input is its minimum, shown as blank text.
const QDate EmptyDay(1899, 12, 30);
}

TDateFilterEdit::TDateFilterEdit(QWidget *parent) : QDateEdit(parent)
{
    setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    setCalendarPopup(true);
    setMinimumDate(EmptyDay);
    setSpecialValueText(QStringLiteral(" "));
    Clear();
}

bool TDateFilterEdit::IsEmpty() const
{
    return date() == EmptyDay;
}

void TDateFilterEdit::Clear()
{
    setDate(EmptyDay);
}

void TDateFilterEdit::SetDay(const QDate &day)
{
    setDate(day);
}

QDate TDateFilterEdit::Day() const
{
    return IsEmpty() ? QDate() : date();
}

void TDateFilterEdit::keyPressEvent(QKeyEvent *event)
{
    const bool erase = event->key() == Qt::Key_Delete || event->key() == Qt::Key_Backspace;
    if (erase && (IsEmpty() || lineEdit()->selectedText() == lineEdit()->text())) {
        Clear();
        return;
    }
    QDateEdit::keyPressEvent(event);
}

TReportFrame::TReportFrame(const QString &caption, QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(caption);

    FLayout = new QVBoxLayout(this);
    auto *top = new QHBoxLayout;
    GroupBoxFilter = new QGroupBox(QStringLiteral(" Фильтрация "), this);
    FFilterLayout = new QHBoxLayout(GroupBoxFilter);
    top->addWidget(GroupBoxFilter);
    BtnPrint = new QToolButton(this);
    BtnPrint->setObjectName(QStringLiteral("BtnPrint"));
    BtnPrint->setToolTip(QStringLiteral("Вывести таблицу в Excel"));
    BtnPrint->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    BtnPrint->setIconSize(QSize(32, 32));
    BtnPrint->setAutoRaise(true);
    top->addWidget(BtnPrint, 0, Qt::AlignTop);
    top->addStretch(1);
    FLayout->addLayout(top);

    RxMemoryDataExItems = new TMemTable(this);
    auto *sorted = new QSortFilterProxyModel(this);
    sorted->setSourceModel(RxMemoryDataExItems);
    sorted->setSortRole(TMemTable::ValueRole);
    GridItems = new QTableView(this);
    GridItems->setObjectName(QStringLiteral("GridItems"));
    GridItems->setModel(sorted);
    GridItems->setSortingEnabled(true);
    GridItems->setEditTriggers(QAbstractItemView::NoEditTriggers);
    GridItems->setSelectionBehavior(QAbstractItemView::SelectRows);
    FLayout->addWidget(GridItems, 1);
}

void TReportFrame::AddFilterInput(const QString &label, QWidget *input, const QString &hint)
{
    auto *caption = new QLabel(label, GroupBoxFilter);
    caption->setBuddy(input);
    input->setParent(GroupBoxFilter);
    input->setToolTip(hint);
    FFilterLayout->addWidget(caption);
    FFilterLayout->addWidget(input);
}

void TReportFrame::AddFilterWidget(QWidget *widget)
{
    widget->setParent(GroupBoxFilter);
    FFilterLayout->addWidget(widget);
}

void TReportFrame::AddFilterButtons(const QString &resetCaption, const QString &resetHint)
{
    ButtonFilter = new QPushButton(QStringLiteral("Фильтр"), GroupBoxFilter);
    ButtonFilter->setObjectName(QStringLiteral("ButtonFilter"));
    ButtonFilter->setToolTip(QStringLiteral("Применить фильтрацию"));
    ButtonFilterClear = new QPushButton(resetCaption, GroupBoxFilter);
    ButtonFilterClear->setObjectName(QStringLiteral("ButtonFilterClear"));
    ButtonFilterClear->setToolTip(resetHint);
    FFilterLayout->addWidget(ButtonFilter);
    FFilterLayout->addWidget(ButtonFilterClear);
    connect(ButtonFilter, &QPushButton::clicked, this, [this] { GuardedCall([this] { ButtonFilterClick(); }); });
    connect(ButtonFilterClear, &QPushButton::clicked, this,
            [this] { GuardedCall([this] { ButtonFilterClearClick(); }); });
}

int TReportFrame::AddField(const QString &name, TFieldKind kind, const QString &caption, int width, bool visible)
{
    TFieldDef def;
    def.Name = name;
    def.Kind = kind;
    def.Caption = caption;
    def.Width = kind == TFieldKind::Text ? width : 0;
    def.Visible = visible;
    const int field = RxMemoryDataExItems->AddField(def);
    GridItems->setColumnHidden(field, !visible);
    return field;
}

QHBoxLayout *TReportFrame::AddBottomPanel()
{
    auto *panel = new QHBoxLayout;
    FLayout->addLayout(panel);
    return panel;
}

void TReportFrame::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (FShown)
        return;
    FShown = true;
    GuardedCall([this] { FormShow(); });
}

void TReportFrame::FormShow()
{
    SetDefaultInputs();
    FFilterSQL.clear();
    RefreshTable();
}

void TReportFrame::ButtonFilterClick()
{
    FFilterSQL.clear();
    BuildFilter();
    RefreshTable();
}

void TReportFrame::ButtonFilterClearClick()
{
    FFilterSQL.clear();
    ResetInputs();
    RefreshTable();
}

void TReportFrame::RefreshTable()
{
    FetchList();
    GridItems->setUpdatesEnabled(false);
    RxMemoryDataExItems->BeginUpdate();
    RxMemoryDataExItems->Clear();
    AppendRecords();
    RxMemoryDataExItems->EndUpdate();
    GridItems->setUpdatesEnabled(true);
    if (RxMemoryDataExItems->RecordCount() > 0)
        GridItems->setCurrentIndex(GridItems->model()->index(0, 0));
}
