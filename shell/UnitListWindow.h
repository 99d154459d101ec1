#pragma once
// Common frame of the list windows: a row of buttons above a read-only grid
// over an in-memory table. The window is a child window of the main window,
// frees itself when closed and loads its rows when it is first shown.
#include <QWidget>

#include "platform/DataGrid.h"
#include "platform/MemTable.h"

class QAction;
class QHBoxLayout;
class QToolButton;

class TListWindow : public QWidget {
    Q_OBJECT
public:
    TListWindow(const QString &AObjectName, const QString &ACaption, QWidget *parent = nullptr);

    // Rebuilds the rows from the database. A read error is let through before
    // the rows are touched, so the grid keeps what it showed.
    virtual void RefreshTable() = 0;

    TMemTable *Table;
    TDataGrid *Grid;

protected:
    // A button of the row above the grid that shows and runs a shared command.
    QToolButton *AddCommandButton(QAction *AAction);
    // An icon button of the window's own.
    QToolButton *AddButton(const QString &AName, const QString &ACaption, const QString &AHint,
                           const QString &AIconName, bool ACaptionShown);
    // The text field of the table with Caption and Width.
    static TFieldDef Field(const QString &AName, TFieldKind AKind, const QString &ACaption, int AWidth = 0);

    void showEvent(QShowEvent *event) override;

private:
    QHBoxLayout *FButtons;
    bool FLoaded = false;
};
