#pragma once
// "Пользовательский фильтр": up to two conditions on one column, joined by
// "И" or "ИЛИ".
#include <QDialog>

#include "platform/GridFilter.h"

class QComboBox;
class QRadioButton;

class TFormCustomFilter : public QDialog {
    Q_OBJECT
public:
    TFormCustomFilter(const TFieldDef &field, const QString &caption, const QStringList &valueTexts,
                      QWidget *parent = nullptr);

    // Shows the dialog with `filter` filled in; on "ОК" stores the new filter
    // (no condition chosen: no filter) and returns true.
    bool Execute(TColumnFilter &filter);

    void accept() override;

private:
    struct TConditionRow {
        QComboBox *Operator;
        QComboBox *Value;
    };
    TConditionRow AddConditionRow(const QString &suffix, const QStringList &valueTexts);
    void Fill(const TColumnFilter &filter);
    // False when a typed value is no value of the field.
    bool Read(TColumnFilter &filter) const;

    TFieldDef FField;
    TConditionRow FRows[2];
    QRadioButton *RadioAnd;
    QRadioButton *RadioOr;
    TColumnFilter FResult;
};
