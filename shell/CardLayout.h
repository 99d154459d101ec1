#pragma once
// Building blocks shared by the cards: framed groups of labelled fields and
// the "Закрыть" / "Сохранить" pair.
#include <QString>

class QCheckBox;
class QDialog;
class QFormLayout;
class QGroupBox;
class QLayout;
class QPushButton;
class QWidget;

// A framed group with a form layout for label/field rows.
QGroupBox *CardGroup(QWidget *AParent, const QString &ATitle, QFormLayout **ARows);
// A tick box whose box stands to the right of its caption.
QCheckBox *CaptionFirstCheckBox(QWidget *AParent, const QString &AName, const QString &ACaption,
                                const QString &AHint);
// "Закрыть" (closes with Cancel) and "Сохранить"; the save button is returned
// unconnected so a card can check its input before accepting.
QLayout *CardButtons(QDialog *ACard, const QString &ASaveHint, QPushButton **ASave);
