#include "shell/UnitListWindow.h"

#include <QAction>
#include <QHBoxLayout>
#include <QToolButton>
#include <QVBoxLayout>

#include "platform/ErrorBox.h"
#include "shell/CommandIcons.h"

TListWindow::TListWindow(const QString &AObjectName, const QString &ACaption, QWidget *parent)
    : QWidget(parent)
{
    setObjectName(AObjectName);
    setWindowTitle(ACaption);
    setAttribute(Qt::WA_DeleteOnClose);

    Table = new TMemTable(this);
    Grid = new TDataGrid(Table, this);
    Grid->setObjectName(QStringLiteral("Grid"));

    FButtons = new QHBoxLayout;
    FButtons->setContentsMargins(0, 0, 0, 0);
    FButtons->addStretch();

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(FButtons);
    layout->addWidget(Grid, 1);
}

QToolButton *TListWindow::AddCommandButton(QAction *AAction)
{
    auto *button = new QToolButton(this);
    button->setObjectName(QStringLiteral("Button") + AAction->objectName());
    button->setDefaultAction(AAction);
    button->setIconSize(QSize(24, 24));
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    FButtons->insertWidget(FButtons->count() - 1, button);
    return button;
}

QToolButton *TListWindow::AddButton(const QString &AName, const QString &ACaption, const QString &AHint,
                                    const QString &AIconName, bool ACaptionShown)
{
    auto *button = new QToolButton(this);
    button->setObjectName(AName);
    button->setText(ACaption);
    button->setToolTip(AHint);
    button->setIcon(CommandIcon(AIconName));
    button->setIconSize(QSize(24, 24));
    button->setToolButtonStyle(ACaptionShown ? Qt::ToolButtonTextBesideIcon : Qt::ToolButtonIconOnly);
    FButtons->insertWidget(FButtons->count() - 1, button);
    return button;
}

TFieldDef TListWindow::Field(const QString &AName, TFieldKind AKind, const QString &ACaption, int AWidth)
{
    TFieldDef def;
    def.Name = AName;
    def.Kind = AKind;
    def.Caption = ACaption;
    def.Width = AWidth;
    return def;
}

void TListWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (FLoaded)
        return;
    FLoaded = true;
    GuardedCall([this] { RefreshTable(); });
}
