#include "shell/UnitPlaceForm.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "data/UnitData.h"
#include "platform/MessDlgs.h"
#include "platform/TextLimit.h"
#include "shell/CardLayout.h"
#include "shell/UnitMain.h"

QPointer<TFormPlace> FormPlace;

namespace {

// Column lengths of PLACES.NAME and PLACES.COMMENTS.
constexpr int NameLength = 100;
constexpr int CommentsLength = 1000;

} // namespace

TFormPlace::TFormPlace(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FormPlace"));
    setWindowTitle(QStringLiteral("Парковочное место"));

    EditName = new QLineEdit(this);
    EditName->setObjectName(QStringLiteral("EditName"));
    EditName->setToolTip(QStringLiteral("Название парковочного места"));
    EditName->setMaxLength(NameLength);

    MemoComment = new QPlainTextEdit(this);
    MemoComment->setObjectName(QStringLiteral("MemoComment"));
    MemoComment->setToolTip(QStringLiteral("Описание парковочного места"));
    MemoComment->setTabChangesFocus(true);
    SetMaxLength(MemoComment, CommentsLength);

    CheckBoxIsActive = CaptionFirstCheckBox(this, QStringLiteral("CheckBoxIsActive"), QStringLiteral("Активен:"),
                                            QStringLiteral("Активность парковочного места"));

    QFormLayout *rows = nullptr;
    QGroupBox *data = CardGroup(this, QStringLiteral(" Регистрационные данные "), &rows);
    rows->addRow(QStringLiteral("Название:"), EditName);
    rows->addRow(QStringLiteral("Описание:"), MemoComment);
    QGroupBox *service = CardGroup(this, QStringLiteral(" Служебная информация "), &rows);
    rows->addRow(CheckBoxIsActive);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(data);
    layout->addWidget(service);
    layout->addLayout(CardButtons(this, QStringLiteral("Сохранить данные"), &btnSave));
    connect(btnSave, &QPushButton::clicked, this, &QDialog::accept);
    resize(420, 300);
}

bool TFormPlace::ExecuteCard(int APlaceId)
{
    if (!FormPlace)
        FormPlace = new TFormPlace(FormMain);
    return FormPlace->Execute(APlaceId);
}

bool TFormPlace::Execute(int APlaceId)
{
    if (APlaceId <= 0) {
        FPlace = TPlace();
        FPlace.IsActive = true;
    } else {
        FPlace = DModule->GetPlaceById(APlaceId);
        if (FPlace.Id == 0) {
            ShowWarning(QStringLiteral("Объект не найден!\r\nПовторите операцию."));
            return false;
        }
    }
    EditName->setText(FPlace.Name);
    MemoComment->setPlainText(FPlace.Comments);
    CheckBoxIsActive->setChecked(FPlace.IsActive);
    EditName->setFocus();

    if (exec() != QDialog::Accepted)
        return false;
    FPlace.Name = EditName->text();
    FPlace.Comments = MemoComment->toPlainText();
    FPlace.IsActive = CheckBoxIsActive->isChecked();
    if (FPlace.Id > 0)
        return DModule->UpdatePlace(&FPlace);
    FPlace.Id = DModule->AddPlace(&FPlace);
    return FPlace.Id > 0;
}
