#pragma once
// The users list ("Список пользователей"): every account that is not
// deleted; inactive ones in grey; "Удалить" on every row but one's own.
#include <QPointer>

#include "shell/UnitListWindow.h"

class QToolButton;

class TFormUsers : public TListWindow {
    Q_OBJECT
public:
    explicit TFormUsers(QWidget *parent = nullptr);

    void RefreshTable() override;

    QToolButton *ButtonNew;

private:
    void RowClicked(int AUserId, const QString &AField);
    void EditRow(int AUserId);
    void NewUser();

    int FSelectedId = 0;   // position of the last clicked row
};

extern QPointer<TFormUsers> FormUsers;
