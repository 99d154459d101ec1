#pragma once
// The button row that closes the cards and operation dialogs.
#include <QString>

#include <initializer_list>

class QDialog;
class QHBoxLayout;
class QPushButton;

// "Закрыть": closes the dialog without saving anything (rejects it).
QPushButton *CreateCloseButton(QDialog *ADialog, const QString &AObjectName);
// The buttons right-aligned in one row, in the order given.
QHBoxLayout *ButtonRow(std::initializer_list<QPushButton *> AButtons);
