#pragma once
// The application's one modal message box. Every warning, error, question and
// note goes through ShowMessageDialog (or the short helpers below it).
#include <QDialog>
#include <QFont>
#include <QString>

#include "platform/MsgTypes.h"

class QPushButton;

// Language of captions of the box: 0 English, 1 Russian. The application keeps 1.
extern int MessageLanguage;

// The font the message text is drawn in, whatever the system's message font:
// Verdana 10, or DejaVu Sans 10 where Verdana is not installed.
QFont MessageTextFont();

class TMessageForm : public QDialog {
    Q_OBJECT
public:
    explicit TMessageForm(QWidget *parent = nullptr);

    int HelpContext = 0;
    // Pressed by Enter when the focus is on no button (nullptr: none).
    QPushButton *DefaultButton = nullptr;
    // Pressed by Esc (nullptr: Esc does nothing).
    QPushButton *CancelButton = nullptr;

    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
};

// Builds the box (not shown): caption and icon by kind, the buttons of the set
// in bit order with their captions in ALanguage, sizes from the form font.
TMessageForm *BuildMessageForm(const QString &AText, TMsgDlgType AKind, TMsgDlgButtons AButtons,
                               int ALanguage = MessageLanguage);

// Shows the box modally and returns the result of the pressed button
// (TModalResult values; the window's close box gives 2).
int ShowMessageDialog(const QString &AText, TMsgDlgType AKind, TMsgDlgButtons AButtons,
                      int AHelpContext = 0);

// The combinations the application uses.
void ShowWarning(const QString &AText);                 // warning, "Отмена"
void ShowError(const QString &AText);                   // error, "Отмена"
void ShowInfo(const QString &AText);                    // information, "OK"
// "Да" / "Нет"; true only for "Да".
bool AskYesNo(const QString &AText, TMsgDlgType AKind = mtConfirmation);
