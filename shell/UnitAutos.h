#pragma once
// The operator's working list of vehicles with the place each stands on now.
// A click on a row makes that vehicle the current one of the main window.
#include <QPointer>
#include <QWidget>

class QComboBox;
class QLineEdit;
class QMenu;
class QPushButton;
class QToolButton;
class TDataGrid;
class TMemTable;

class TFormAutos : public QWidget {
    Q_OBJECT
public:
    explicit TFormAutos(QWidget *parent = nullptr);
    ~TFormAutos() override;

    // Rebuilds the rows from the database with the current filters.
    void RefreshTable();

    QToolButton *ButtonNew;
    QLineEdit *EditStringFilter;
    QComboBox *ComboBoxStatus;
    QPushButton *ButtonFilter;
    QPushButton *ButtonFilterClear;
    TDataGrid *Grid;
    TMemTable *Table;
    QMenu *PopupMenu;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void BuildFilterFrame(class QBoxLayout *layout);
    void BuildTable();
    void BuildGrid(QBoxLayout *layout);
    void BuildPopupMenu();

    void ButtonFilterClick();
    void ButtonFilterClearClick();
    void RowClick(int id, int row);
    void RowDoubleClick(int id);
    void MenuInfoClick();
    void MenuVisitsClick();
    void MenuPaymentsClick();

    QString FFilterSQL;
    int FSelectedId = -1;
    bool FShownOnce = false;
    // The last right click made a vehicle current: its menu may open.
    bool FMenuAllowed = false;
};

extern QPointer<TFormAutos> FormAutos;
