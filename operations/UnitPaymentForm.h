#pragma once
// Payment entry: a payment by tariff (or without one) for the current vehicle,
// linked to no stay; a later check-in may draw on it.
#include "operations/TarifPaymentDialog.h"

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

class TFormPayment : public TTarifPaymentDialog {
    Q_OBJECT
public:
    explicit TFormPayment(QWidget *parent = nullptr);
    ~TFormPayment() override;

    // 0 enters a new payment for CurrentAuto, a positive id edits that payment.
    // True when the payment was stored.
    bool Execute(int APaymentId);

private:
    void BuildLayout();
    bool LoadPayment(int APaymentId);
    bool Save();

    TPayment FPayment;
    bool FPrintAfterSave = false;

    QLineEdit *EditAuto = nullptr;
    QPlainTextEdit *MemoComment = nullptr;
    QPushButton *ButtonSavePrint = nullptr;
};

extern TFormPayment *FormPayment;
