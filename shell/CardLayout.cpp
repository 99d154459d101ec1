#include "shell/CardLayout.h"

#include <QCheckBox>
#include <QDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QPushButton>

#include "platform/DialogButtons.h"

QGroupBox *CardGroup(QWidget *AParent, const QString &ATitle, QFormLayout **ARows)
{
    auto *group = new QGroupBox(ATitle, AParent);
    *ARows = new QFormLayout(group);
    (*ARows)->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    return group;
}

QCheckBox *CaptionFirstCheckBox(QWidget *AParent, const QString &AName, const QString &ACaption,
                                const QString &AHint)
{
    auto *box = new QCheckBox(ACaption, AParent);
    box->setObjectName(AName);
    box->setToolTip(AHint);
    box->setLayoutDirection(Qt::RightToLeft);
    return box;
}

QLayout *CardButtons(QDialog *ACard, const QString &ASaveHint, QPushButton **ASave)
{
    QPushButton *close = CreateCloseButton(ACard, QStringLiteral("btnClose"));
    close->setAutoDefault(false);

    *ASave = new QPushButton(QStringLiteral("Сохранить"), ACard);
    (*ASave)->setObjectName(QStringLiteral("btnSave"));
    (*ASave)->setToolTip(ASaveHint);
    (*ASave)->setAutoDefault(false);

    return ButtonRow({close, *ASave});
}
