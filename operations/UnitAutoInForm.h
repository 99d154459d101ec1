#pragma once
// Check-in: puts the vehicle on a free place and starts its stay against a new
// payment, an earlier payment with time left, or (when allowed) payment on exit.
#include "operations/TarifPaymentDialog.h"

class QComboBox;
class QDateEdit;
class QTimeEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTreeWidget;

class TFormAutoIn : public TTarifPaymentDialog {
    Q_OBJECT
public:
    explicit TFormAutoIn(QWidget *parent = nullptr);
    ~TFormAutoIn() override;

    // True exactly when the stay was started.
    bool Execute(PAuto AAuto);

private:
    void BuildLayout();
    void FillPlaceList();
    void FillPaymentList();
    void ApplyChoiceRule();
    void ValidateAndClose();
    int SelectedPaymentId() const;
    bool IsNewPaymentAcceptable();
    bool Save();
    bool TakeNewPayment();
    void ReportStarted();

    TPayment FPayment;
    TPlaceList FPlaceFreeList;
    PPlace FNewPlacePtr = nullptr;
    PAuto FAuto = nullptr;
    int FPaymentId = 0;

    QLineEdit *EditAuto = nullptr;
    QComboBox *ComboPlace = nullptr;
    QDateEdit *DateIn = nullptr;
    QTimeEdit *TimeIn = nullptr;
    QGroupBox *GroupPayment = nullptr;
    QRadioButton *RadioNewPayment = nullptr;
    QRadioButton *RadioExistingPayment = nullptr;
    QRadioButton *RadioCredit = nullptr;
    QLabel *LabelTarif = nullptr;
    QLabel *LabelCount = nullptr;
    QLabel *LabelSumma = nullptr;
    QTreeWidget *ListPayments = nullptr;
    QPlainTextEdit *MemoComment = nullptr;
};

extern TFormAutoIn *FormAutoIn;
