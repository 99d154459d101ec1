#pragma once
// The vehicles and places lists computed row by row, one lookup per row: the
// reference the single-statement lists are measured against and compared
// with.
#include "data/UnitData.h"

TAutoList PerRowAutoList(TDbConnection &connection, const QString &AFilter);
TPlaceList PerRowPlaceList(TDbConnection &connection, bool AActiveOnly);

// Field-by-field equality of the filled fields; the first difference found
// is described in `difference`.
bool SameAutos(const TAutoList &a, const TAutoList &b, QString &difference);
bool SamePlaces(const TPlaceList &a, const TPlaceList &b, QString &difference);
