#pragma once
// Every stay of one vehicle, newest first. Read-only; created on first use
// and kept hidden between openings.
#include "operations/UnitAutoHistory.h"

class TFormAutoVisits : public TAutoHistoryForm {
    Q_OBJECT
public:
    explicit TFormAutoVisits(QWidget *parent = nullptr);
    ~TFormAutoVisits() override;

    // Shows the stays of AAuto; nothing when it is absent or has Id 0.
    // No caller takes a choice from it: always false.
    bool Execute(PAuto AAuto);

private:
    TVisitList FVisitList;
};

extern TFormAutoVisits *FormAutoVisits;
