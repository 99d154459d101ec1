#pragma once
// Check-out: shows elapsed, paid and unpaid time of the vehicle's stay, takes
// debt payments until nothing is unpaid, then registers the exit.
#include "operations/TarifPaymentDialog.h"

class QDateEdit;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTimeEdit;
class QTreeWidget;

class TFormAutoOut : public TTarifPaymentDialog {
    Q_OBJECT
public:
    explicit TFormAutoOut(QWidget *parent = nullptr);
    ~TFormAutoOut() override;

    // True exactly when the exit was registered. Debt payments raise
    // MinutesPaied and SummaPaied of the record whatever the result.
    bool Execute(PAuto AAuto);

private:
    void BuildLayout();
    void RefreshFigures();
    void FillCountedPayments();
    void PayDebt();
    bool StoreDebtPayment();
    bool RegisterExit();

    PAuto FAuto = nullptr;
    TPayment FPayment;

    QLineEdit *EditAuto = nullptr;
    QLineEdit *EditInTime = nullptr;
    QLineEdit *EditPlace = nullptr;
    QDateEdit *DateOut = nullptr;
    QTimeEdit *TimeOut = nullptr;
    QPlainTextEdit *MemoComment = nullptr;
    QLineEdit *EditTotalTime = nullptr;
    QLineEdit *EditPaiedTime = nullptr;
    QLineEdit *EditPaiedSumma = nullptr;
    QLineEdit *EditDebt = nullptr;
    QPushButton *ButtonPayDebt = nullptr;
    QTreeWidget *ListPayments = nullptr;
};

extern TFormAutoOut *FormAutoOut;
