#pragma once
// The revenue report: payments of a period, optionally of matching vehicles,
// with their total.
#include <QPointer>

#include "data/Records.h"
#include "reports/ReportFrame.h"

class QLabel;
class QLineEdit;

class TFormReportSumma : public TReportFrame {
    Q_OBJECT
public:
    explicit TFormReportSumma(QWidget *parent = nullptr);

    TDateFilterEdit *EditDateStartFilter;
    TDateFilterEdit *EditDateStopFilter;
    QLineEdit *EditGosnomerFilter;
    QLabel *LabelSumma;

protected:
    void SetDefaultInputs() override;
    void BuildFilter() override;
    void ResetInputs() override;
    void FetchList() override;
    void AppendRecords() override;
    QString TemplateFileName() const override;
    QString PeriodStartText() const override;
    QString PeriodEndText() const override;
    void FillRangeBand(int row) override;
    void PasteClosingBand() override;

private:
    void ClearInputs();

    TPaymentList FPaymentList;
};

extern QPointer<TFormReportSumma> FormReportSumma;
