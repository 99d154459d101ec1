#include "shell/UnitAbout.h"

#include <QLabel>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>

TFormAbout *FormAbout = nullptr;

namespace {

constexpr int AboutWidth = 409;
constexpr int AboutHeight = 237;
const QColor GradientBottom(224, 237, 222);

QFont FontOfHeight(int pixels)
{
    QFont font;
    font.setPixelSize(pixels);
    return font;
}

} // namespace

QString AboutVersionText(const QString &version)
{
    QStringList numbers = version.split(QLatin1Char('.'), Qt::SkipEmptyParts);
    while (numbers.size() < 4)
        numbers << QStringLiteral("0");
    return QStringLiteral("Версия ") + numbers.mid(0, 4).join(QLatin1Char('.'));
}

TFormAbout::TFormAbout(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
                          | Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("FormAbout"));
    setWindowTitle(QStringLiteral("О программе"));
    setFixedSize(AboutWidth, AboutHeight);

    LabelTitle = new QLabel(QStringLiteral("Программа управления авто-паркингом Tollvane"), this);
    LabelTitle->setObjectName(QStringLiteral("LabelTitle"));
    LabelTitle->setFont(FontOfHeight(25));
    LabelTitle->setWordWrap(true);
    LabelTitle->setAlignment(Qt::AlignCenter);
    LabelTitle->setGeometry(16, 16, AboutWidth - 32, 96);

    LabelVersion = new QLabel(this);
    LabelVersion->setObjectName(QStringLiteral("LabelVersion"));
    LabelVersion->setFont(FontOfHeight(15));
    LabelVersion->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    LabelVersion->setGeometry(AboutWidth / 2, 124, AboutWidth / 2 - 24, 24);

    ButtonOK = new QPushButton(QStringLiteral("OK"), this);
    ButtonOK->setObjectName(QStringLiteral("ButtonOK"));
    ButtonOK->setDefault(true);
    ButtonOK->setGeometry((AboutWidth - 75) / 2, AboutHeight - 25 - 20, 75, 25);
    connect(ButtonOK, &QPushButton::clicked, this, &QWidget::hide);
}

// Freed with its owner: the next use creates it again.
TFormAbout::~TFormAbout()
{
    if (FormAbout == this)
        FormAbout = nullptr;
}

void TFormAbout::ShowAbout(QWidget *owner)
{
    if (!FormAbout)
        FormAbout = new TFormAbout(owner);
    if (owner) {
        const QRect area = owner->frameGeometry();
        FormAbout->move(area.center() - QPoint(AboutWidth / 2, AboutHeight / 2));
    }
    FormAbout->show();
    FormAbout->raise();
    FormAbout->activateWindow();
}

void TFormAbout::showEvent(QShowEvent *event)
{
    LabelVersion->setText(AboutVersionText(QStringLiteral(TOLLVANE_VERSION)));
    QDialog::showEvent(event);
}

void TFormAbout::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    QLinearGradient gradient(0, 0, 0, height());
    gradient.setColorAt(0, Qt::white);
    gradient.setColorAt(1, GradientBottom);
    painter.fillRect(rect(), gradient);
}

// The labels leave clicks to the box, so a click on either text lands here too.
void TFormAbout::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        hide();
    else
        QDialog::mouseReleaseEvent(event);
}
