#include "data/UnitDataSql.h"

#include <algorithm>

QString NewestStayIdOfPlace(const QString &placeAlias, bool withVehicle)
{
    // The vehicle's row is tested with EXISTS rather than joined, so that the
    // engine walks the place's stays newest first on the descending index and
    // stops at the first match instead of sorting them all.
    return QString("(SELECT FIRST 1 NX.ID FROM AUTO_ACTION NX "
                   "WHERE NX.ID_PLACE = %1.ID AND NX.ACTION_TYPE = 1%2 "
                   "ORDER BY NX.CREATED_TIME DESC, NX.ID DESC)")
        .arg(placeAlias, withVehicle ? " AND EXISTS (SELECT 1 FROM AUTO NXA WHERE NXA.ID = NX.ID_AUTO)" : "");
}

QString PlaceColumns(const QString &placeAlias)
{
    return QString("%1.ID AS PLACE_ID, %1.NAME AS PLACE_NAME, %1.COMMENTS AS PLACE_COMMENTS, "
                   "%1.IS_ACTIVE AS PLACE_IS_ACTIVE, "
                   "CASE WHEN NEWEST.ID IS NOT NULL AND COALESCE(NEWEST.ACTION_TYPE2, 0) <> 2 "
                   "THEN 1 ELSE 0 END AS PLACE_IS_BUSY, "
                   "CASE WHEN NEWEST.ID IS NOT NULL AND COALESCE(NEWEST.ACTION_TYPE2, 0) <> 2 "
                   "THEN NEWEST_AUTO.GOSNOMER END AS PLACE_GOSNOMER")
        .arg(placeAlias);
}

QString PlaceOccupancyJoins(const QString &placeAlias)
{
    // Without a place row (a vehicle that is not parked) the newest stay is
    // not looked for at all.
    return QString("LEFT JOIN AUTO_ACTION NEWEST ON NEWEST.ID = CASE WHEN %1.ID IS NOT NULL THEN %2 END\n"
                   "LEFT JOIN AUTO NEWEST_AUTO ON NEWEST_AUTO.ID = NEWEST.ID_AUTO\n")
        .arg(placeAlias, NewestStayIdOfPlace(placeAlias, true));
}

TPlace ReadPlace(const TDbQuery &query)
{
    TPlace place;
    if (query.IsNull("PLACE_ID"))
        return place;
    place.Id = query.AsInt("PLACE_ID");
    place.Name = query.AsString("PLACE_NAME");
    place.Comments = query.AsString("PLACE_COMMENTS");
    place.IsActive = query.AsInt("PLACE_IS_ACTIVE") > 0;
    place.IsBusy = query.AsInt("PLACE_IS_BUSY") == 1;
    place.Gosnomer = query.AsString("PLACE_GOSNOMER");
    return place;
}

QString StayIsOpen(const QString &stayAlias)
{
    return QString("(%1.ACTION_TYPE2 < 2 OR %1.ACTION_TYPE2 > 2)").arg(stayAlias);
}

QString OrderClause(const QString &AOrder, const QString &defaultOrder)
{
    return "ORDER BY " + (AOrder.trimmed().isEmpty() ? defaultOrder : AOrder);
}

namespace {

// UTF-16 units remapped so that comparing them compares code points: the
// surrogates of characters beyond U+FFFF go above U+E000..U+FFFF.
int CodePointRank(QChar c)
{
    const int u = c.unicode();
    return u >= 0xD800 && u <= 0xDFFF ? u + 0x2000 : u >= 0xE000 ? u - 0x800 : u;
}

} // namespace

namespace {

// The length of a text without its trailing spaces, which the index ignores.
qsizetype IndexedLength(const QString &text)
{
    qsizetype length = text.size();
    while (length > 0 && text[length - 1] == QChar(' '))
        --length;
    return length;
}

} // namespace

int CompareAsColumn(const QString &a, const QString &b)
{
    if (a.isNull() || b.isNull())
        return int(b.isNull()) - int(a.isNull());
    const qsizetype la = IndexedLength(a);
    const qsizetype lb = IndexedLength(b);
    const QChar *pa = a.constData();
    const QChar *pb = b.constData();
    const qsizetype common = std::min(la, lb);
    qsizetype i = 0;
    while (i < common && pa[i] == pb[i])
        ++i;
    if (i < common)
        return CodePointRank(pa[i]) < CodePointRank(pb[i]) ? -1 : 1;
    return la < lb ? -1 : la > lb ? 1 : 0;
}

quint64 ColumnSortPrefix(const QString &text)
{
    // Three characters of 17 bits: their rank plus one, 0 past the end.
    const qsizetype length = text.isNull() ? 0 : IndexedLength(text);
    quint64 prefix = 0;
    for (qsizetype i = 0; i < 3; ++i)
        prefix = prefix << 17 | (i < length ? quint64(CodePointRank(text[i])) + 1 : 0);
    return prefix;
}

QVariant OptionalDate(TDateTime value)
{
    return value == 0 ? QVariant() : QVariant(DateToQt(value));
}
