#pragma once
// Statement pieces shared by the store's lists, so that every list that shows
// a place computes its occupancy by the same rule in the same statement.
#include <QString>

#include <algorithm>
#include <numeric>
#include <utility>
#include <vector>

#include "data/Records.h"
#include "platform/FbDatabase.h"

// Occupancy of a place: only the place's newest stay counts (newest by
// CREATED_TIME, then by ID), among the stays whose vehicle row exists. The
// place is busy when that stay is not closed; a null state reads as 0 (open).
//
// PlaceColumns() names the place columns as PLACE_ID, PLACE_NAME,
// PLACE_COMMENTS, PLACE_IS_ACTIVE, PLACE_IS_BUSY, PLACE_GOSNOMER, read back by
// ReadPlace(). PlaceOccupancyJoins() joins the newest stay of the place whose
// row is reachable as `placeAlias` (PLACES or its alias).
QString PlaceColumns(const QString &placeAlias);
QString PlaceOccupancyJoins(const QString &placeAlias);
TPlace ReadPlace(const TDbQuery &query);

// The same newest stay, without the join with the vehicle: the rule of the
// free-places list. Gives the newest stay's ID for a place alias.
QString NewestStayIdOfPlace(const QString &placeAlias, bool withVehicle);

// The test for a stay that is still open, written as two ranges so that the
// index on (ID_AUTO, ACTION_TYPE, ACTION_TYPE2) skips the closed stays; it is
// false for a null state, exactly like "<> 2".
QString StayIsOpen(const QString &stayAlias);

// ORDER BY clause: the caller's order when given, else the default.
QString OrderClause(const QString &AOrder, const QString &defaultOrder);

// Compares two texts as an ascending index on a UTF8 column orders them:
// null first, trailing spaces not counting ("A" equals "A "), then by code
// point, a text before every longer one it starts. Negative, zero or positive.
int CompareAsColumn(const QString &a, const QString &b);
// The first characters of a text as CompareAsColumn ranks them, in one
// number: of two texts with different numbers the smaller number is the
// smaller text; equal numbers need CompareAsColumn. A null text gives 0.
quint64 ColumnSortPrefix(const QString &text);

// A date field as a statement value: 0 (no date) is stored as null.
QVariant OptionalDate(TDateTime value);

// Sorts read rows by `less`, which compares two row positions (mostly
// through keys the caller took from the rows beforehand: comparing in a small
// key array stays in the cache). A permutation is sorted and each row, a large
// record, is then moved once.
template <typename T, typename Less>
void SortRows(QList<T> &rows, Less less)
{
    std::vector<qsizetype> order(size_t(rows.size()));
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), less);
    QList<T> sorted;
    sorted.reserve(rows.size());
    for (qsizetype i : order)
        sorted.append(std::move(rows[i]));
    rows = std::move(sorted);
}

// Orders read rows by their moment, then by ID, as "ORDER BY moment, ID" (or
// both DESC) would, an absent moment (0) counting as the earliest. The wide
// lists sort here instead of in the engine: the engine's sort carries each
// row's text columns at their full declared width and spills to disk at
// report sizes, while this only moves the rows already read.
template <typename T, typename Moment>
void SortByMoment(QList<T> &rows, Moment moment, bool newestFirst)
{
    std::vector<std::pair<TDateTime, int>> keys;
    keys.reserve(size_t(rows.size()));
    for (const T &row : rows)
        keys.emplace_back(moment(row), row.Id);
    SortRows(rows, [&](qsizetype a, qsizetype b) { return newestFirst ? keys[b] < keys[a] : keys[a] < keys[b]; });
}
