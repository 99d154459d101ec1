#pragma once
// The tariff card: name, price, period and unit, validity dates, daily time
// window, description, active flag. Created when needed and freed after use.
#include <QDialog>
#include <QPointer>

#include "data/Records.h"

class QCheckBox;
class QComboBox;
class QDateEdit;
class QDoubleSpinBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QTimeEdit;

class TFormService : public QDialog {
    Q_OBJECT
public:
    explicit TFormService(QWidget *parent = nullptr);

    // AItemId < 1: a new tariff. True when the tariff was saved.
    bool Execute(int AItemId);
    // Creates FormService, runs its Execute and frees it (FormService is cleared).
    static bool ExecuteCard(int AItemId);

    QLineEdit *EditName;
    QDoubleSpinBox *EditPrice;
    QPlainTextEdit *MemoComment;
    QCheckBox *CheckBoxIsActive;
    QSpinBox *EditPeriod;
    QComboBox *ComboBoxPeriodType;
    QDateEdit *EditStartDate;
    QDateEdit *EditStopDate;
    QTimeEdit *EditStartTime;
    QTimeEdit *EditStopTime;
    QPushButton *btnSave;

private:
    void FillControls();
    void ReadControls();

    TTarif FTarif;
};

extern QPointer<TFormService> FormService;
