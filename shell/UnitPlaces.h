#pragma once
// The places list: every place with its occupancy; new, edit by double
// click, delete while no vehicle stands on it.
#include <QPointer>

#include "shell/UnitListWindow.h"

class QToolButton;

class TFormPlaces : public TListWindow {
    Q_OBJECT
public:
    explicit TFormPlaces(QWidget *parent = nullptr);

    void RefreshTable() override;

    QToolButton *ButtonNew;
    QToolButton *ButtonDelete;

private:
    void EditRow(int APlaceId);
    void DeleteSelected();
};

extern QPointer<TFormPlaces> FormPlaces;
