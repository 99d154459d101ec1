#pragma once
// The operator's working list of vehicles with the place each stands on now.
// A click on a row makes that vehicle the current one of the main window.
#include <QPointer>
#include <QWidget>

class QComboBox;
class QLineEdit;
class QMenu;
class QModelIndex;
class QPushButton;
class QTableView;
class QToolButton;
class TGridFilterModel;
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
    QTableView *Grid;
    TMemTable *Table;
    QMenu *PopupMenu;

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void BuildFilterFrame(class QBoxLayout *layout);
    void BuildTable();
    void BuildGrid(QBoxLayout *layout);
    void BuildPopupMenu();

    void ButtonFilterClick();
    void ButtonFilterClearClick();
    void RowClick(const QModelIndex &index, Qt::MouseButton button, const QPoint &globalPos);
    void RowDoubleClick(const QModelIndex &index);
    void MenuInfoClick();
    void MenuVisitsClick();
    void MenuPaymentsClick();
    int RowId(const QModelIndex &index) const;

    TGridFilterModel *FView;
    QString FFilterSQL;
    int FSelectedId = -1;
    bool FShownOnce = false;
};

extern QPointer<TFormAutos> FormAutos;
