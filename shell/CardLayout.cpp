#include "shell/CardLayout.h"

#include <QCheckBox>
#include <QDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>

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
    auto *close = new QPushButton(QStringLiteral("Закрыть"), ACard);
    close->setObjectName(QStringLiteral("btnClose"));
    close->setToolTip(QStringLiteral("Закрыть окно без сохранения данных"));
    close->setAutoDefault(false);
    QObject::connect(close, &QPushButton::clicked, ACard, &QDialog::reject);

    *ASave = new QPushButton(QStringLiteral("Сохранить"), ACard);
    (*ASave)->setObjectName(QStringLiteral("btnSave"));
    (*ASave)->setToolTip(ASaveHint);
    (*ASave)->setAutoDefault(false);

    auto *row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(close);
    row->addWidget(*ASave);
    return row;
}
