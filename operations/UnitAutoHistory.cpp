#include "operations/UnitAutoHistory.h"

#include <QBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

TAutoHistoryForm::TAutoHistoryForm(const QString &name, const QString &caption,
                                   const QStringList &columns, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
                          | Qt::WindowCloseButtonHint)
{
    setObjectName(name);
    setWindowTitle(caption);
    setFixedSize(640, 420);

    auto *layout = new QVBoxLayout(this);
    auto *top = new QHBoxLayout;
    EditAuto = new QLineEdit;
    EditAuto->setObjectName(QStringLiteral("EditAuto"));
    EditAuto->setReadOnly(true);
    EditAuto->setToolTip(QStringLiteral("Выбранный клиент"));
    top->addWidget(new QLabel(QStringLiteral("ТС:")));
    top->addWidget(EditAuto);
    layout->addLayout(top);

    Grid = new QTableWidget(0, int(columns.size()));
    Grid->setObjectName(QStringLiteral("Grid"));
    Grid->setHorizontalHeaderLabels(columns);
    Grid->horizontalHeader()->setSectionsMovable(false);
    Grid->horizontalHeader()->setStretchLastSection(true);
    Grid->verticalHeader()->hide();
    Grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    layout->addWidget(Grid);

    FButtons = new QHBoxLayout;
    FButtons->addStretch();
    layout->addLayout(FButtons);
}

bool TAutoHistoryForm::StartFor(PAuto AAuto)
{
    Grid->setRowCount(0);
    if (!AAuto || AAuto->Id == 0)
        return false;
    FAuto = AAuto;
    EditAuto->setText((AAuto->Gosnomer + QLatin1Char(' ') + AAuto->Model + QLatin1Char(' ') + AAuto->Color)
                          .trimmed());
    return true;
}

void TAutoHistoryForm::AppendRow(const QStringList &cells)
{
    const int row = Grid->rowCount();
    Grid->insertRow(row);
    for (int column = 0; column < cells.size(); ++column)
        Grid->setItem(row, column, new QTableWidgetItem(cells.at(column)));
}

QPushButton *TAutoHistoryForm::AddButton(const QString &name, const QString &caption, const QString &hint)
{
    auto *button = new QPushButton(caption);
    button->setObjectName(name);
    button->setToolTip(hint);
    button->setAutoDefault(false);
    FButtons->addWidget(button);
    return button;
}
