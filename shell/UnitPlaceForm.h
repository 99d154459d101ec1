#pragma once
// The place card: name, description and whether the place is in use.
// Created on first use and kept hidden between uses.
#include <QDialog>
#include <QPointer>

#include "data/Records.h"

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

class TFormPlace : public QDialog {
    Q_OBJECT
public:
    explicit TFormPlace(QWidget *parent = nullptr);

    // APlaceId <= 0: a new place. True when the place was saved.
    bool Execute(int APlaceId);
    // Creates FormPlace when it is empty and runs its Execute.
    static bool ExecuteCard(int APlaceId);

    QLineEdit *EditName;
    QPlainTextEdit *MemoComment;
    QCheckBox *CheckBoxIsActive;
    QPushButton *btnSave;

private:
    TPlace FPlace;
};

extern QPointer<TFormPlace> FormPlace;
