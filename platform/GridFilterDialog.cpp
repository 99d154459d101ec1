#include "platform/GridFilterDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "platform/MessDlgs.h"

TFormCustomFilter::TFormCustomFilter(const TFieldDef &field, const QString &caption,
                                     const QStringList &valueTexts, QWidget *parent)
    : QDialog(parent), FField(field)
{
    setObjectName(QStringLiteral("FormCustomFilter"));
    setWindowTitle(QStringLiteral("Пользовательский фильтр"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Показать строки, для которых:"), this));
    auto *column = new QLabel(caption, this);
    QFont bold = column->font();
    bold.setBold(true);
    column->setFont(bold);
    layout->addWidget(column);

    auto *grid = new QGridLayout;
    layout->addLayout(grid);
    FRows[0] = AddConditionRow(QStringLiteral("1"), valueTexts);
    grid->addWidget(FRows[0].Operator, 0, 0);
    grid->addWidget(FRows[0].Value, 0, 1);

    auto *join = new QHBoxLayout;
    RadioAnd = new QRadioButton(QStringLiteral("И"), this);
    RadioAnd->setObjectName(QStringLiteral("RadioAnd"));
    RadioOr = new QRadioButton(QStringLiteral("ИЛИ"), this);
    RadioOr->setObjectName(QStringLiteral("RadioOr"));
    RadioAnd->setChecked(true);
    join->addSpacing(24);
    join->addWidget(RadioAnd);
    join->addWidget(RadioOr);
    join->addStretch();
    grid->addLayout(join, 1, 0, 1, 2);

    FRows[1] = AddConditionRow(QStringLiteral("2"), valueTexts);
    grid->addWidget(FRows[1].Operator, 2, 0);
    grid->addWidget(FRows[1].Value, 2, 1);
    grid->setColumnStretch(1, 1);

    if (field.Kind == TFieldKind::Text) {
        layout->addWidget(new QLabel(QStringLiteral("_ вместо одиночного символа"), this));
        layout->addWidget(new QLabel(QStringLiteral("% вместо последовательности символов"), this));
    }

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *ok = buttons->addButton(QStringLiteral("ОК"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("ButtonOK"));
    ok->setDefault(true);
    QPushButton *cancel = buttons->addButton(QStringLiteral("Отмена"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("ButtonCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    setMinimumWidth(420);
}

TFormCustomFilter::TConditionRow TFormCustomFilter::AddConditionRow(const QString &suffix,
                                                                    const QStringList &valueTexts)
{
    TConditionRow row;
    row.Operator = new QComboBox(this);
    row.Operator->setObjectName(QStringLiteral("ComboOperator") + suffix);
    row.Operator->addItem(QString(), -1);
    for (TFilterOperator op : FilterOperatorsFor(FField.Kind))
        row.Operator->addItem(FilterOperatorName(op), int(op));
    row.Value = new QComboBox(this);
    row.Value->setObjectName(QStringLiteral("ComboValue") + suffix);
    row.Value->setEditable(true);
    row.Value->addItems(valueTexts);
    row.Value->setCurrentIndex(-1);
    if (FField.Kind == TFieldKind::Text && FField.Width > 0)
        row.Value->lineEdit()->setMaxLength(FField.Width);
    auto follow = [row] {
        const int op = row.Operator->currentData().toInt();
        row.Value->setEnabled(op >= 0 && FilterOperatorTakesValue(TFilterOperator(op)));
    };
    connect(row.Operator, &QComboBox::currentIndexChanged, this, follow);
    follow();
    return row;
}

void TFormCustomFilter::Fill(const TColumnFilter &filter)
{
    if (filter.Mode != TColumnFilter::Custom)
        return;
    for (int i = 0; i < filter.Conditions.size() && i < 2; ++i) {
        const TFilterCondition &c = filter.Conditions[i];
        FRows[i].Operator->setCurrentIndex(FRows[i].Operator->findData(int(c.Operator)));
        const bool typed = FField.Kind == TFieldKind::Text || c.Operator >= TFilterOperator::Like;
        FRows[i].Value->setEditText(typed ? c.Value.toString() : TMemTable::DefaultText(FField.Kind, c.Value));
    }
    (filter.JoinOr ? RadioOr : RadioAnd)->setChecked(true);
}

bool TFormCustomFilter::Read(TColumnFilter &filter) const
{
    QList<TFilterCondition> conditions;
    for (const TConditionRow &row : FRows) {
        const int op = row.Operator->currentData().toInt();
        if (op < 0)
            continue;
        TFilterCondition condition;
        if (!ParseFilterValue(FField.Kind, TFilterOperator(op), row.Value->currentText(), condition))
            return false;
        conditions << condition;
    }
    filter = TColumnFilter();
    if (!conditions.isEmpty()) {
        filter.Mode = TColumnFilter::Custom;
        filter.Conditions = conditions;
        filter.JoinOr = RadioOr->isChecked();
    }
    return true;
}

void TFormCustomFilter::accept()
{
    TColumnFilter filter;
    if (!Read(filter)) {
        ShowWarning(QStringLiteral("Недопустимое значение"));
        return;
    }
    FResult = filter;
    QDialog::accept();
}

bool TFormCustomFilter::Execute(TColumnFilter &filter)
{
    Fill(filter);
    if (exec() != QDialog::Accepted)
        return false;
    filter = FResult;
    return true;
}
