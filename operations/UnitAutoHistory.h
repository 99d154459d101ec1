#pragma once
// What the two history windows of a vehicle share: the vehicle's text at the
// top, a read-only list of rows below it and a row of buttons.
#include <QDialog>

#include "data/Records.h"

class QHBoxLayout;
class QLineEdit;
class QPushButton;
class QTableWidget;


class TAutoHistoryForm : public QDialog {
    Q_OBJECT
protected:
    TAutoHistoryForm(const QString &name, const QString &caption, const QStringList &columns,
                     QWidget *parent);

    // Empties the list; false (nothing to show) when no vehicle is given.
    bool StartFor(PAuto AAuto);
    void AppendRow(const QStringList &cells);
    QPushButton *AddButton(const QString &name, const QString &caption, const QString &hint);

    PAuto FAuto = nullptr;
    QLineEdit *EditAuto;
    QTableWidget *Grid;

private:
    QHBoxLayout *FButtons;
};
