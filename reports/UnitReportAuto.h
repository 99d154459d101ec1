#pragma once
// The vehicle entries report: stays of a period, optionally of matching vehicles.
#include <QPointer>

#include "data/Records.h"
#include "reports/ReportFrame.h"

class QLineEdit;

class TFormReportAuto : public TReportFrame {
    Q_OBJECT
public:
    explicit TFormReportAuto(QWidget *parent = nullptr);

    TDateFilterEdit *EditDateStartFilter;
    TDateFilterEdit *EditDateEndFilter;
    QLineEdit *EditStringFilter;
    TVisitList FVisitList;

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

private:
    // The last two days, proposed until "Фильтр" applies them.
    void ProposeRecentDays();
};

extern QPointer<TFormReportAuto> FormReportAuto;
