#pragma once
// The tariffs list ("Тарифы"): new, edit by double click, delete.
#include <QPointer>

#include "data/Records.h"
#include "shell/UnitListWindow.h"

class QToolButton;

// The list's texts of a tariff's dates and times: "DD.MM.YY" and "HH:NN",
// with placeholders for the no-limit values of a new tariff.
QString TarifStartDateText(TDateTime AValue);
QString TarifStopDateText(TDateTime AValue);
QString TarifTimeText(TDateTime AValue);

class TFormServices : public TListWindow {
    Q_OBJECT
public:
    explicit TFormServices(QWidget *parent = nullptr);

    void RefreshTable() override;

    QToolButton *ButtonNew;
    QToolButton *ButtonDelete;

private:
    void FillRow(int ARow, const TTarif &ATarif);
    void EditRow(int ATarifId);
    void DeleteSelected();
};

extern QPointer<TFormServices> FormServices;
