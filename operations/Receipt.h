#pragma once
// The receipt of one payment: the template "ШаблонЧек.xlsx" filled with the
// payment, its tariff, its vehicle and the car park's heading, then shown.
#include <QString>

#include "data/Records.h"

// <program folder>/Templates/ШаблонЧек.xlsx
QString ReceiptTemplateFileName();
// The car park's name, then one line for each of address, phone, e-mail and
// web site that is set; lines end with "\r\n".
QString ParkingTitle(const TConfigData &AConfig);

// Fills and shows the receipt; an error of the template (a missing one
// included) or of the engine is raised to the caller. Nothing is stored.
void ShowReceipt(const TPayment &APayment);
// The same for a dialog: an error goes to the error box. True when shown.
bool PrintReceipt(const TPayment &APayment);
