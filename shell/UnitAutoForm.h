#pragma once
// The vehicle card: registers a new vehicle or edits one, with its owner and
// the owner's identity document. Created when needed, freed after each use.
#include <QDialog>

#include "data/Records.h"

class QDateEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

class TFormAuto : public QDialog {
    Q_OBJECT
public:
    explicit TFormAuto(QWidget *parent = nullptr);
    ~TFormAuto() override;

    // AAutoId < 1: a new vehicle. True when the vehicle was saved. The card
    // frees itself afterwards (FormAuto is cleared).
    bool Execute(int AAutoId);

    // Creates FormAuto when it is empty and runs its Execute.
    static bool ExecuteCard(int AAutoId);

    QLineEdit *EditGosnomer;
    QLineEdit *EditModel;
    QLineEdit *EditColor;
    QGroupBox *chPrishep;
    QLineEdit *edNumPrishep;
    QLineEdit *EditFIO;
    QLineEdit *EditPhone;
    QLineEdit *EditAddress;
    QRadioButton *rdPassport;
    QRadioButton *rdNoPassport;
    QLineEdit *EditDocument;
    QLineEdit *edSerPassport;
    QLineEdit *edNumPassport;
    QLineEdit *edVidanPassport;
    QDateEdit *edDataVidan;
    QPlainTextEdit *MemoComment;
    QPushButton *btnClose;
    QPushButton *btnSave;
    QPushButton *btnSaveIn;

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QGroupBox *BuildAutoFrame();
    QGroupBox *BuildOwnerFrame();
    QGroupBox *BuildDocumentFrame();
    QGroupBox *BuildServiceFrame();
    void BuildButtons(class QBoxLayout *layout);

    void ApplyDocumentRule();
    void CloseIfFilled(int result);
    void PutAutoToControls();
    void TakeAutoFromControls();
    bool SaveAuto();

    TAuto FAuto;
    QList<QWidget *> FPassportWidgets;
};

extern TFormAuto *FormAuto;
