#pragma once
// The report of vehicles present at the car park at a chosen moment.
#include <QPointer>

#include "data/Records.h"
#include "reports/ReportFrame.h"

class QTimeEdit;

class TFormReportService : public TReportFrame {
    Q_OBJECT
public:
    explicit TFormReportService(QWidget *parent = nullptr);

    TDateFilterEdit *EditDateStartFilter;
    QTimeEdit *EditStartTime;
    TAutoList FAutoList;

    // The moment the inputs show, as the list operation takes it:
    // "YYYY-MM-DD HH:NN:00". Raises an error when the date input is empty.
    QString MomentText() const;

protected:
    void SetDefaultInputs() override;
    void ResetInputs() override;
    void FetchList() override;
    void AppendRecords() override;
    QString TemplateFileName() const override;
    QString PeriodStartText() const override;
    QString PeriodEndText() const override;
    void FillRangeBand(int row) override;

private:
    void ShowPresentMoment();
    void AddFastStepButton(const QString &caption, const QString &hint, int minutes);
};

extern QPointer<TFormReportService> FormReportService;
