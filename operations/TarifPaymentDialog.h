#pragma once
// The tariff, count and amount fields that the check-in, check-out and payment
// dialogs share: the tariff is read again on every choice, and a change of the
// count suggests count × price as the amount.
#include <QDialog>

#include "data/Records.h"

// Comments are stored in columns of 1000 characters.
constexpr int CommentLength = 1000;

class QComboBox;
class QDoubleSpinBox;
class QHBoxLayout;
class QPushButton;
class QSpinBox;

class TTarifPaymentDialog : public QDialog {
    Q_OBJECT
public:
    explicit TTarifPaymentDialog(QWidget *parent = nullptr);

protected:
    // Builds the three fields; the dialog places them.
    void CreateTarifFields(const QString &ACountHint, const QString &ASummaHint);
    // "Без тарифа" followed by every active tariff; entry 0 chosen.
    void FillTarifList();
    // Chooses the list entry of the tariff (entry 0 when it is not offered).
    void SelectTarif(int ATarifId);
    // Minutes one period of the chosen tariff buys (0 without a tariff).
    int ChosenTarifMinutes() const;
    // "Закрыть" (closes without saving) and the dialog's save button, which
    // the dialog connects, right-aligned in the returned row.
    QHBoxLayout *CreateButtonRow(const QString &ASaveCaption, const QString &ASaveHint);

    TTarif FTarif;
    TTarifList FTarifs;
    QComboBox *ComboTarif = nullptr;
    QSpinBox *SpinCount = nullptr;
    QDoubleSpinBox *EditSumma = nullptr;
    QPushButton *ButtonClose = nullptr;
    QPushButton *ButtonSave = nullptr;

private:
    void TarifChanged(int AIndex);
    void CountChanged(int ACount);
};

// The amount field of the operation dialogs: roubles in the desk's locale.
QDoubleSpinBox *CreateMoneyField(QWidget *AParent, const QString &AHint);
