#pragma once
// The options dialog: the car park's requisites and the pay-at-exit switch.
// Created when needed and freed after use.
#include <QDialog>
#include <QPointer>

class QCheckBox;
class QLineEdit;
class QPushButton;

class TFormOptions : public QDialog {
    Q_OBJECT
public:
    explicit TFormOptions(QWidget *parent = nullptr);

    // On "Сохранить" the values go to ConfigData and the settings table.
    bool Execute();
    // Creates FormOptions, runs its Execute and frees it (FormOptions is cleared).
    static bool ExecuteDialog();

    QLineEdit *EditClubName;
    QLineEdit *EditClubAddress;
    QLineEdit *EditClubPhone;
    QLineEdit *EditClubEmail;
    QLineEdit *EditClubSite;
    QCheckBox *CheckBoxUsePostPay;
    QPushButton *btnSave;
};

extern QPointer<TFormOptions> FormOptions;
