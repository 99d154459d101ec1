#include "shell/UnitAutoForm.h"

#include <QBoxLayout>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>

#include "data/UnitData.h"
#include "platform/DialogButtons.h"
#include "platform/MessDlgs.h"
#include "platform/TextLimit.h"
#include "shell/UnitMain.h"

TFormAuto *FormAuto = nullptr;

namespace {

// Column lengths of the AUTO table: a longer text could not be stored.
constexpr int GosnomerLength = 50;
constexpr int ModelLength = 100;
constexpr int ColorLength = 50;
constexpr int PhoneLength = 50;
constexpr int FioLength = 250;
constexpr int AddressLength = 250;
constexpr int DocumentLength = 250;
constexpr int SerNoLength = 5;
constexpr int NumPassportLength = 10;
constexpr int VidanLength = 250;
constexpr int NumPrishepLength = 50;
constexpr int CommentsLength = 1000;

// The date field shows its minimum as an empty text: that is "no date".
const QDate NoDate(1899, 12, 30);

QPushButton *NewButton(const QString &name, const QString &caption, const QString &hint)
{
    auto *button = new QPushButton(caption);
    button->setObjectName(name);
    button->setToolTip(hint);
    button->setAutoDefault(false);
    return button;
}

} // namespace

TFormAuto::TFormAuto(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("FormAuto"));
    setWindowTitle(QStringLiteral("Транспортное средство"));

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(BuildAutoFrame());
    layout->addWidget(BuildOwnerFrame());
    layout->addWidget(BuildServiceFrame());
    BuildButtons(layout);
    resize(520, sizeHint().height());
}

TFormAuto::~TFormAuto()
{
    if (FormAuto == this)
        FormAuto = nullptr;
}

QGroupBox *TFormAuto::BuildAutoFrame()
{
    auto *frame = new QGroupBox(QStringLiteral(" Данные транспортного средства "));
    auto *grid = new QGridLayout(frame);
    EditGosnomer = LimitedLineEdit(this, QStringLiteral("EditGosnomer"), QStringLiteral("Госномер ТС"), GosnomerLength);
    EditModel = LimitedLineEdit(this, QStringLiteral("EditModel"), QStringLiteral("Марка ТС"), ModelLength);
    EditColor = LimitedLineEdit(this, QStringLiteral("EditColor"), QStringLiteral("Цвет ТС"), ColorLength);
    grid->addWidget(new QLabel(QStringLiteral("Госномер:")), 0, 0);
    grid->addWidget(EditGosnomer, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Марка:")), 1, 0);
    grid->addWidget(EditModel, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("Цвет:")), 2, 0);
    grid->addWidget(EditColor, 2, 1);

    // The tick in the frame's title enables the trailer's number.
    chPrishep = new QGroupBox(QStringLiteral("Прицеп"));
    chPrishep->setObjectName(QStringLiteral("chPrishep"));
    chPrishep->setCheckable(true);
    auto *trailer = new QHBoxLayout(chPrishep);
    edNumPrishep = LimitedLineEdit(this, QStringLiteral("edNumPrishep"), QStringLiteral("Госномер ТС"), NumPrishepLength);
    trailer->addWidget(new QLabel(QStringLiteral("Госномер:")));
    trailer->addWidget(edNumPrishep);
    grid->addWidget(chPrishep, 3, 0, 1, 2);
    return frame;
}

QGroupBox *TFormAuto::BuildOwnerFrame()
{
    auto *frame = new QGroupBox(QStringLiteral(" Данные владельца "));
    auto *grid = new QGridLayout(frame);
    EditFIO = LimitedLineEdit(this, QStringLiteral("EditFIO"), QStringLiteral("ФИО владельца ТС"), FioLength);
    EditPhone = LimitedLineEdit(this, QStringLiteral("EditPhone"), QStringLiteral("Телефон владельца ТС"), PhoneLength);
    EditAddress = LimitedLineEdit(this, QStringLiteral("EditAddress"),
                          QStringLiteral("Адрес места жительства владельца ТС"), AddressLength);
    grid->addWidget(new QLabel(QStringLiteral("ФИО:")), 0, 0);
    grid->addWidget(EditFIO, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Телефон:")), 1, 0);
    grid->addWidget(EditPhone, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("Адрес:")), 2, 0);
    grid->addWidget(EditAddress, 2, 1);
    grid->addWidget(BuildDocumentFrame(), 3, 0, 1, 2);
    return frame;
}

QGroupBox *TFormAuto::BuildDocumentFrame()
{
    auto *frame = new QGroupBox(QStringLiteral("Документ"));
    auto *grid = new QGridLayout(frame);

    rdPassport = new QRadioButton(QStringLiteral("Паспорт"));
    rdPassport->setObjectName(QStringLiteral("rdPassport"));
    rdNoPassport = new QRadioButton(QStringLiteral("Иной документ"));
    rdNoPassport->setObjectName(QStringLiteral("rdNoPassport"));
    auto *kinds = new QHBoxLayout;
    kinds->addWidget(rdPassport);
    kinds->addWidget(rdNoPassport);
    kinds->addStretch();
    grid->addLayout(kinds, 0, 0, 1, 4);
    connect(rdPassport, &QRadioButton::clicked, this, &TFormAuto::ApplyDocumentRule);
    connect(rdNoPassport, &QRadioButton::clicked, this, &TFormAuto::ApplyDocumentRule);

    EditDocument = LimitedLineEdit(this, QStringLiteral("EditDocument"),
                           QStringLiteral("Документ, удостоверяющий личность владельца ТС"), DocumentLength);
    grid->addWidget(EditDocument, 1, 0, 1, 4);

    edSerPassport = LimitedLineEdit(this, QStringLiteral("edSerPassport"), QStringLiteral("Серия"), SerNoLength);
    edNumPassport = LimitedLineEdit(this, QStringLiteral("edNumPassport"), QStringLiteral("Номер"), NumPassportLength);
    edVidanPassport = LimitedLineEdit(this, QStringLiteral("edVidanPassport"), QStringLiteral("Кем выдан"), VidanLength);
    edDataVidan = new QDateEdit;
    edDataVidan->setObjectName(QStringLiteral("edDataVidan"));
    edDataVidan->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    edDataVidan->setCalendarPopup(true);
    edDataVidan->setMinimumDate(NoDate);
    edDataVidan->setSpecialValueText(QStringLiteral(" "));
    edDataVidan->installEventFilter(this);

    auto *labelSer = new QLabel(QStringLiteral("Серия:"));
    auto *labelNum = new QLabel(QStringLiteral("Номер:"));
    auto *labelVidan = new QLabel(QStringLiteral("Кем выдан:"));
    auto *labelData = new QLabel(QStringLiteral("Когда выдан:"));
    grid->addWidget(labelSer, 2, 0);
    grid->addWidget(edSerPassport, 2, 1);
    grid->addWidget(labelNum, 2, 2);
    grid->addWidget(edNumPassport, 2, 3);
    grid->addWidget(labelVidan, 3, 0);
    grid->addWidget(edVidanPassport, 3, 1, 1, 3);
    grid->addWidget(labelData, 4, 0);
    grid->addWidget(edDataVidan, 4, 1);
    FPassportWidgets = {labelSer, edSerPassport, labelNum, edNumPassport,
                        labelVidan, edVidanPassport, labelData, edDataVidan};
    return frame;
}

QGroupBox *TFormAuto::BuildServiceFrame()
{
    auto *frame = new QGroupBox(QStringLiteral(" Служебная информация "));
    auto *box = new QVBoxLayout(frame);
    MemoComment = new QPlainTextEdit;
    MemoComment->setObjectName(QStringLiteral("MemoComment"));
    MemoComment->setToolTip(QStringLiteral("Комментарий к транспортному средству или владельцу"));
    MemoComment->setTabChangesFocus(true);
    MemoComment->setFixedHeight(80);
    SetMaxLength(MemoComment, CommentsLength);
    box->addWidget(MemoComment);
    return frame;
}

void TFormAuto::BuildButtons(QBoxLayout *layout)
{
    btnClose = CreateCloseButton(this, QStringLiteral("btnClose"));
    btnClose->setAutoDefault(false);
    btnSave = NewButton(QStringLiteral("btnSave"), QStringLiteral("Сохранить"),
                        QStringLiteral("Сохранить данные и закрыть окно"));
    btnSaveIn = NewButton(QStringLiteral("btnSaveIn"), QStringLiteral("Сохранить и Въезд"),
                          QStringLiteral("Сохранить данные и закрыть окно"));
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(btnClose);
    buttons->addStretch();
    buttons->addWidget(btnSave);
    buttons->addWidget(btnSaveIn);
    layout->addLayout(buttons);
    connect(btnSave, &QPushButton::clicked, this, [this] { CloseIfFilled(mrOk); });
    connect(btnSaveIn, &QPushButton::clicked, this, [this] { CloseIfFilled(mrYes); });
}

bool TFormAuto::eventFilter(QObject *watched, QEvent *event)
{
    // Delete empties the issue date: the date field has no other way back to "no date".
    if (watched == edDataVidan && event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Delete) {
        edDataVidan->setDate(NoDate);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TFormAuto::showEvent(QShowEvent *event)
{
    ApplyDocumentRule();
    QDialog::showEvent(event);
}

void TFormAuto::ApplyDocumentRule()
{
    const bool passport = rdPassport->isChecked();
    for (QWidget *widget : std::as_const(FPassportWidgets))
        widget->setVisible(passport);
    EditDocument->setVisible(!passport);
}

void TFormAuto::CloseIfFilled(int result)
{
    // A single blank counts as content: only three truly empty fields are refused.
    if (EditGosnomer->text().isEmpty() && EditModel->text().isEmpty() && EditColor->text().isEmpty()) {
        ShowWarning(QStringLiteral("Не указан госномер ТС, марка и цвет!\r\n"
                                   "Введите нужную информацию и повторите операцию."));
        return;
    }
    done(result);
}

void TFormAuto::PutAutoToControls()
{
    EditGosnomer->setText(FAuto.Gosnomer);
    EditModel->setText(FAuto.Model);
    EditColor->setText(FAuto.Color);
    chPrishep->setChecked(FAuto.BOOLPRISHEP);
    edNumPrishep->setText(FAuto.NUMPRISHEP);
    EditFIO->setText(FAuto.OwnerFIO);
    EditPhone->setText(FAuto.OwnerPhone);
    EditAddress->setText(FAuto.OwnerAddress);
    rdPassport->setChecked(FAuto.BOOLPASSPORT);
    rdNoPassport->setChecked(!FAuto.BOOLPASSPORT);
    EditDocument->setText(FAuto.OwnerDocument);
    edSerPassport->setText(FAuto.OWNER_SERNO);
    edNumPassport->setText(FAuto.OWNER_NUMPASSPORT);
    edVidanPassport->setText(FAuto.OWNER_VIDANPASSPORT);
    edDataVidan->setDate(FAuto.DATAVIDAN != 0 ? DateToQt(FAuto.DATAVIDAN) : NoDate);
    MemoComment->setPlainText(FAuto.Comments);
}

void TFormAuto::TakeAutoFromControls()
{
    // Hidden fields are taken too: switching the document kind keeps the other kind's data.
    FAuto.Gosnomer = EditGosnomer->text();
    FAuto.Model = EditModel->text();
    FAuto.Color = EditColor->text();
    FAuto.BOOLPRISHEP = chPrishep->isChecked();
    FAuto.NUMPRISHEP = edNumPrishep->text();
    FAuto.OwnerFIO = EditFIO->text();
    FAuto.OwnerPhone = EditPhone->text();
    FAuto.OwnerAddress = EditAddress->text();
    FAuto.BOOLPASSPORT = rdPassport->isChecked();
    FAuto.OwnerDocument = EditDocument->text();
    FAuto.OWNER_SERNO = edSerPassport->text();
    FAuto.OWNER_NUMPASSPORT = edNumPassport->text();
    FAuto.OWNER_VIDANPASSPORT = edVidanPassport->text();
    FAuto.DATAVIDAN = edDataVidan->text().trimmed().isEmpty() ? 0 : DateFromQt(edDataVidan->date());
    FAuto.Comments = MemoComment->toPlainText();
}

bool TFormAuto::SaveAuto()
{
    if (FAuto.Id > 0)
        return DModule->UpdateAuto(&FAuto);
    FAuto.Id = DModule->AddAuto(&FAuto);
    CurrentAuto = DModule->GetAutoById(FAuto.Id);
    FormMain->SetNewCurrentAuto(CurrentAuto);
    return FAuto.Id > 0;
}

bool TFormAuto::Execute(int AAutoId)
{
    const auto freeAfterUse = qScopeGuard([this] {
        if (FormAuto == this)
            FormAuto = nullptr;
        deleteLater();
    });
    if (AAutoId < 1) {
        FAuto = TAuto();
    } else {
        FAuto = DModule->GetAutoById(AAutoId);
        if (FAuto.Id == 0) {
            ShowWarning(QStringLiteral("Транспортное средство не найдено!\r\nПовторите операцию."));
            return false;
        }
    }
    PutAutoToControls();
    const int closedWith = exec();
    if (closedWith != mrOk && closedWith != mrYes)
        return false;
    TakeAutoFromControls();
    const bool saved = SaveAuto();
    // A failed save goes no further: the check-in would follow a save that did not happen.
    if (saved && closedWith == mrYes)
        FormMain->ActionAutoIn->trigger();
    return saved;
}

bool TFormAuto::ExecuteCard(int AAutoId)
{
    if (!FormAuto)
        FormAuto = new TFormAuto(FormMain);
    return FormAuto->Execute(AAutoId);
}
