#include "platform/MessDlgs.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

#include <array>
#include <memory>
#include <cmath>

int MessageLanguage = 1;

namespace {

constexpr int KindCount = 4;       // kinds with a caption of their own; kind 4 takes the title
constexpr int ButtonCount = 12;

struct TMessageLanguage {
    std::array<const char *, KindCount> Kinds;
    std::array<const char *, ButtonCount> Buttons;
};

const std::array<TMessageLanguage, 2> Languages = {{
    {{"Warning", "Error", "Information", "Confirm"},
     {"Yes", "No", "OK", "Cancel", "Abort", "Retry", "Ignore", "All", "No to All",
      "Yes to All", "Help", ""}},
    {{"Предупреждение", "Ошибка", "Информация", "Подтверждение"},
     {"Да", "Нет", "OK", "Отмена", "Стоп", "Повтор", "Пропустить", "Все", "Нет для всех",
      "Да для всех", "Справка", ""}},
}};

// mbClose has no name: nobody looks it up.
const std::array<const char *, ButtonCount> ButtonNames = {
    "Yes", "No", "OK", "Cancel", "Abort", "Retry", "Ignore", "All", "NoToAll", "YesToAll",
    "Help", ""};

// A result of 0 leaves the box open (the help button and the empty close button).
const std::array<int, ButtonCount> ButtonResults = {
    mrYes, mrNo, mrOk, mrCancel, mrAbort, mrRetry, mrIgnore, mrAll, mrNoToAll, mrYesToAll,
    mrNone, mrNone};

const TMessageLanguage &LanguageTable(int language)
{
    return language >= 0 && language < int(Languages.size()) ? Languages[language] : Languages[1];
}

int MulDivRound(int a, int b, int c)
{
    return int(std::lround(double(a) * b / c));
}

bool HasButton(TMsgDlgButtons buttons, TMsgDlgBtn b)
{
    return (buttons & MsgButton(b)) != 0;
}

QStyle::StandardPixmap KindIcon(TMsgDlgType kind)
{
    switch (kind) {
    case mtWarning: return QStyle::SP_MessageBoxWarning;
    case mtError: return QStyle::SP_MessageBoxCritical;
    case mtInformation: return QStyle::SP_MessageBoxInformation;
    default: return QStyle::SP_MessageBoxQuestion;
    }
}

bool KindHasIcon(TMsgDlgType kind)
{
    return kind >= mtWarning && kind <= mtConfirmation;
}

TMsgDlgBtn DefaultButtonOf(TMsgDlgButtons buttons)
{
    if (HasButton(buttons, mbOK)) return mbOK;
    if (HasButton(buttons, mbYes)) return mbYes;
    return mbRetry;
}

TMsgDlgBtn CancelButtonOf(TMsgDlgButtons buttons)
{
    if (HasButton(buttons, mbCancel)) return mbCancel;
    if (HasButton(buttons, mbNo)) return mbNo;
    return mbOK;
}

int ButtonCountIn(TMsgDlgButtons buttons)
{
    int n = 0;
    for (int b = 0; b < ButtonCount; ++b)
        n += HasButton(buttons, TMsgDlgBtn(b)) ? 1 : 0;
    return n;
}

// Sizes of the box in the units of the form font.
struct TMessageLayout {
    int HorzMargin, VertMargin, HorzSpacing, VertSpacing;
    int ButtonWidth, ButtonHeight, ButtonSpacing;
};

TMessageLayout LayoutFor(const QFont &formFont)
{
    const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    const QFontMetrics fm(formFont);
    const int w = fm.horizontalAdvance(letters) / 52;
    const int h = fm.height();
    return {MulDivRound(8, w, 4),  MulDivRound(8, h, 8),  MulDivRound(10, w, 4),
            MulDivRound(10, h, 8), MulDivRound(50, w, 4), MulDivRound(14, h, 8),
            MulDivRound(4, w, 4)};
}

QString DisplayText(const QString &text)
{
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}

} // namespace

QFont MessageTextFont()
{
    const QString family = QFontDatabase::hasFamily(QStringLiteral("Verdana"))
                               ? QStringLiteral("Verdana")
                               : QStringLiteral("DejaVu Sans");
    QFont font(family, 10);
    font.setStyleStrategy(QFont::PreferMatch);
    return font;
}

TMessageForm::TMessageForm(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
                          | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
{
}

void TMessageForm::reject()
{
    // Esc presses the cancel button; without one it does nothing.
    if (CancelButton)
        CancelButton->click();
}

void TMessageForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (DefaultButton)
        DefaultButton->setFocus(Qt::OtherFocusReason);
}

void TMessageForm::closeEvent(QCloseEvent *event)
{
    // The window's close box answers as "Отмена" does, whatever the buttons.
    if (isVisible())
        done(mrCancel);
    event->accept();
}

TMessageForm *BuildMessageForm(const QString &AText, TMsgDlgType AKind, TMsgDlgButtons AButtons,
                               int ALanguage)
{
    const TMessageLanguage &language = LanguageTable(ALanguage);
    auto *form = new TMessageForm;
    form->setFont(QApplication::font("QMessageBox"));
    const TMessageLayout lay = LayoutFor(form->font());

    const QString text = DisplayText(AText);
    const QFont textFont = MessageTextFont();
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    // Measured in the font the text is drawn in, so that the wrap the label
    // makes is the wrap the box was sized for.
    const QRect textRect = QFontMetrics(textFont).boundingRect(
        QRect(0, 0, screen.width() / 2, 0), Qt::AlignLeft | Qt::TextWordWrap, text);

    const bool withIcon = KindHasIcon(AKind);
    constexpr int IconSize = 32;
    const int iconTextWidth = withIcon ? textRect.width() + lay.HorzSpacing + IconSize : textRect.width();
    const int iconTextHeight = withIcon ? std::max(textRect.height(), IconSize) : textRect.height();

    const int n = ButtonCountIn(AButtons);
    const int groupWidth = n > 0 ? n * lay.ButtonWidth + (n - 1) * lay.ButtonSpacing : 0;
    const int clientWidth = std::max(iconTextWidth, groupWidth) + 2 * lay.HorzMargin;
    const int clientHeight = iconTextHeight + lay.ButtonHeight + lay.VertSpacing + 2 * lay.VertMargin;
    form->setFixedSize(clientWidth, clientHeight);
    form->move(screen.width() / 2 - clientWidth / 2, screen.height() / 2 - clientHeight / 2);

    form->setWindowTitle(AKind == mtCustom ? QGuiApplication::applicationDisplayName()
                                           : QString::fromUtf8(language.Kinds[AKind]));

    if (withIcon) {
        auto *icon = new QLabel(form);
        icon->setObjectName(QStringLiteral("Image"));
        icon->setPixmap(form->style()->standardIcon(KindIcon(AKind), nullptr, form).pixmap(IconSize, IconSize));
        icon->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        icon->setGeometry(lay.HorzMargin, lay.VertMargin, 40, 40);
    }

    auto *message = new QLabel(form);
    message->setObjectName(QStringLiteral("Message"));
    message->setTextFormat(Qt::PlainText);
    message->setWordWrap(true);
    message->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    message->setFont(textFont);
    message->setText(text);
    message->setGeometry(iconTextWidth - textRect.width() + lay.HorzMargin, lay.VertMargin,
                         textRect.width(), 2 * textRect.height());

    const TMsgDlgBtn defaultBtn = DefaultButtonOf(AButtons);
    const TMsgDlgBtn cancelBtn = CancelButtonOf(AButtons);
    int x = (clientWidth - groupWidth) / 2;
    const int y = iconTextHeight + lay.VertMargin + lay.VertSpacing;
    for (int b = 0; b < ButtonCount; ++b) {
        if (!HasButton(AButtons, TMsgDlgBtn(b)))
            continue;
        auto *button = new QPushButton(QString::fromUtf8(language.Buttons[b]), form);
        button->setObjectName(QString::fromLatin1(ButtonNames[b]));
        button->setGeometry(x, y, lay.ButtonWidth, lay.ButtonHeight);
        const int result = ButtonResults[b];
        QObject::connect(button, &QPushButton::clicked, form, [form, result] {
            if (result != mrNone)
                form->done(result);
        });
        if (b == defaultBtn) {
            button->setDefault(true);
            form->DefaultButton = button;
        }
        if (b == cancelBtn)
            form->CancelButton = button;
        x += lay.ButtonWidth + lay.ButtonSpacing;
    }
    return form;
}

int ShowMessageDialog(const QString &AText, TMsgDlgType AKind, TMsgDlgButtons AButtons,
                      int AHelpContext)
{
    std::unique_ptr<TMessageForm> form(BuildMessageForm(AText, AKind, AButtons, MessageLanguage));
    form->HelpContext = AHelpContext;
    return form->exec();
}

void ShowWarning(const QString &AText)
{
    ShowMessageDialog(AText, mtWarning, MsgButton(mbCancel));
}

void ShowError(const QString &AText)
{
    ShowMessageDialog(AText, mtError, MsgButton(mbCancel));
}

void ShowInfo(const QString &AText)
{
    ShowMessageDialog(AText, mtInformation, MsgButton(mbOK));
}

bool AskYesNo(const QString &AText, TMsgDlgType AKind)
{
    return ShowMessageDialog(AText, AKind, MsgButton(mbYes) | MsgButton(mbNo)) == mrYes;
}
