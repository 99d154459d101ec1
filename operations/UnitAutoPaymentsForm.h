#pragma once
// Every payment of one vehicle, oldest first. Read-only as far as the
// database goes; created on first use and kept hidden between openings.
#include "operations/UnitAutoHistory.h"

class TFormAutoPayments : public TAutoHistoryForm {
    Q_OBJECT
public:
    explicit TFormAutoPayments(QWidget *parent = nullptr);
    ~TFormAutoPayments() override;

    // Shows the payments of AAuto; nothing when it is absent or has Id 0.
    // There is no choice to return: always false.
    bool Execute(PAuto AAuto);

private:
    TPaymentList FPaymentList;
};

extern TFormAutoPayments *FormAutoPayments;
