#pragma once
// The payments list: a child window of the main window with every payment,
// limited by the filter fields, and the receipt of the payment chosen.
#include <QWidget>

#include "data/Records.h"

class QDateEdit;
class QLineEdit;
class QPushButton;
class QSpinBox;
class TDataGrid;
class TMemTable;

class TFormPayments : public QWidget {
    Q_OBJECT
public:
    explicit TFormPayments(QWidget *parent = nullptr);
    ~TFormPayments() override;

    void RefreshTable();
    // The " AND (...)" conditions of the filled filter fields.
    QString BuildFilterSQL() const;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void BuildLayout();
    void DefineFields();
    void ClearFilterFields();
    void ApplyFilter();
    void ShowAll();
    void RowClicked(const QVariant &AKey);
    void PrintCheck();

    QString FFilterSQL;
    TPayment FPayment;
    bool FOpened = false;

    TMemTable *FTable = nullptr;
    TDataGrid *GridPayments = nullptr;
    QDateEdit *DateFrom = nullptr;
    QDateEdit *DateTo = nullptr;
    QLineEdit *EditSumma = nullptr;
    QSpinBox *SpinAutoId = nullptr;
    QLineEdit *EditGosnomer = nullptr;
    QPushButton *ButtonFilter = nullptr;
    QPushButton *ButtonAll = nullptr;
    QPushButton *ButtonPrint = nullptr;
};

extern TFormPayments *FormPayments;
