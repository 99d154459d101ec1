#include "platform/DialogButtons.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>

QPushButton *CreateCloseButton(QDialog *ADialog, const QString &AObjectName)
{
    auto *close = new QPushButton(QStringLiteral("Закрыть"), ADialog);
    close->setObjectName(AObjectName);
    close->setToolTip(QStringLiteral("Закрыть окно без сохранения данных"));
    QObject::connect(close, &QPushButton::clicked, ADialog, &QDialog::reject);
    return close;
}

QHBoxLayout *ButtonRow(std::initializer_list<QPushButton *> AButtons)
{
    auto *row = new QHBoxLayout;
    row->addStretch();
    for (QPushButton *button : AButtons)
        row->addWidget(button);
    return row;
}
