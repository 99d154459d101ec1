#pragma once
// Helpers of the operation window tests: seeded vehicles, places and tariffs,
// reads of the stored rows, and driving a modal dialog from TModalAnswer.
#include <QMetaObject>
#include <QPushButton>
#include <QString>
#include <QVariant>
#include <QWidget>

#include "data/Records.h"

namespace OpsKit {

int SeedAuto(const QString &AGosnomer, const QString &AModel = "Лада", const QString &AColor = "белый");
int SeedPlace(const QString &AName);
// An active tariff; returns it as read back.
TTarif SeedTarif(const QString &AName, double APrice, int APeriod, int APeriodType);

// One value of the first row of a select through the data module's connection.
QVariant Scalar(const QString &ASql);
int ScalarInt(const QString &ASql);
double ScalarDouble(const QString &ASql);
void Exec(const QString &ASql);

// Moves the check-in of a stay back by the minutes (plus a few seconds, so
// that the whole minutes elapsed are exactly AMinutes while the test runs).
void BackdateStay(int AActionId, int AMinutes);

// A child of the dialog by object name; fails the test (QVERIFY style) when absent.
template <typename T>
T *Child(QWidget *AModal, const char *AName)
{
    T *child = AModal->findChild<T *>(QString::fromLatin1(AName));
    if (!child)
        qFatal("no child %s in %s", AName, AModal->metaObject()->className());
    return child;
}

// Clicks the button from the dialog's own event loop, so that a message box it
// opens is answered by the next queued answer instead of nesting in this one.
inline void ClickLater(QWidget *AModal, const char *AButton)
{
    QPushButton *button = Child<QPushButton>(AModal, AButton);
    QMetaObject::invokeMethod(button, &QPushButton::click, Qt::QueuedConnection);
}

// Line breaks of a message as the box shows them.
QString Lines(const QString &AText);

} // namespace OpsKit
