#include "platform/XlsxReferences.h"

#include <QStringList>

namespace {

bool IsAsciiLetter(QChar c)
{
    const ushort u = c.unicode();
    return (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z');
}

bool IsAsciiDigit(QChar c)
{
    const ushort u = c.unicode();
    return u >= '0' && u <= '9';
}

bool IsNameChar(QChar c)
{
    return c.isLetterOrNumber() || c == '_' || c == '.' || c == '\\' || c == '$' || c == '?';
}

enum class TPartKind { None, Cell, ColumnOnly, RowOnly };

struct TPart {
    int Col = 0, Row = 0;
    bool AbsCol = false, AbsRow = false;
};

// One side of a reference at position i: [$]letters[$]digits, letters alone
// or digits alone.
TPartKind ParsePart(const QString &s, int i, TPart &part, int &end)
{
    const int n = s.size();
    int j = i;
    bool firstDollar = false;
    if (j < n && s[j] == '$') {
        firstDollar = true;
        ++j;
    }
    int letters = 0;
    int col = 0;
    while (j < n && IsAsciiLetter(s[j])) {
        if (++letters > 3)
            return TPartKind::None;
        col = col * 26 + (s[j].toUpper().unicode() - 'A' + 1);
        ++j;
    }
    int k = j;
    bool rowDollar = false;
    if (letters > 0 && k < n && s[k] == '$') {
        rowDollar = true;
        ++k;
    }
    int digits = 0;
    qint64 row = 0;
    while (k < n && IsAsciiDigit(s[k])) {
        if (++digits > 7)
            return TPartKind::None;
        row = row * 10 + (s[k].unicode() - '0');
        ++k;
    }
    if (letters > 0 && digits > 0) {
        if (col > XlsxMaxColumn || row < 1 || row > XlsxMaxRow)
            return TPartKind::None;
        part = {col, int(row), firstDollar, rowDollar};
        end = k;
        return TPartKind::Cell;
    }
    if (letters > 0 && !rowDollar) {
        if (col > XlsxMaxColumn)
            return TPartKind::None;
        part = {col, 0, firstDollar, false};
        end = j;
        return TPartKind::ColumnOnly;
    }
    if (letters == 0 && digits > 0) {
        if (row < 1 || row > XlsxMaxRow)
            return TPartKind::None;
        part = {0, int(row), false, firstDollar};
        end = k;
        return TPartKind::RowOnly;
    }
    return TPartKind::None;
}

// A whole reference at position i; the text after it must not continue a
// name or open a function call.
bool ParseReference(const QString &s, int i, TXlsxArea &area, int &end)
{
    TPart first;
    int e1 = 0;
    const TPartKind kind = ParsePart(s, i, first, e1);
    if (kind == TPartKind::None)
        return false;
    TPart second = first;
    int e = e1;
    bool isRange = false;
    if (e1 < s.size() && s[e1] == ':') {
        int e2 = 0;
        if (ParsePart(s, e1 + 1, second, e2) == kind) {
            isRange = true;
            e = e2;
        }
    }
    if (!isRange && kind != TPartKind::Cell)
        return false;
    if (e < s.size() && (IsNameChar(s[e]) || s[e] == '(' || s[e] == '!'))
        return false;
    area.Col1 = first.Col;
    area.Row1 = first.Row;
    area.AbsCol1 = first.AbsCol;
    area.AbsRow1 = first.AbsRow;
    area.Col2 = second.Col;
    area.Row2 = second.Row;
    area.AbsCol2 = second.AbsCol;
    area.AbsRow2 = second.AbsRow;
    area.IsRange = isRange;
    end = e;
    return true;
}

QString PartText(int col, int row, bool absCol, bool absRow)
{
    QString text;
    if (col > 0) {
        if (absCol)
            text += '$';
        text += XlsxColumnName(col);
    }
    if (row > 0) {
        if (absRow)
            text += '$';
        text += QString::number(row);
    }
    return text;
}

int ShiftRow(int row, const TXlsxRowShift &shift)
{
    if (row < shift.At)
        return row;
    return shift.Delete ? row - shift.Count : row + shift.Count;
}

}  // namespace

QString XlsxColumnName(int col)
{
    QString name;
    while (col > 0) {
        const int rest = (col - 1) % 26;
        name.prepend(QChar('A' + rest));
        col = (col - 1) / 26;
    }
    return name;
}

QString XlsxCellName(int col, int row)
{
    return XlsxColumnName(col) + QString::number(row);
}

bool XlsxParseCellName(const QString &text, int &col, int &row)
{
    TPart part;
    int end = 0;
    if (ParsePart(text, 0, part, end) != TPartKind::Cell || end != text.size())
        return false;
    col = part.Col;
    row = part.Row;
    return true;
}

QString XlsxAreaText(const TXlsxArea &area)
{
    QString text = PartText(area.Col1, area.Row1, area.AbsCol1, area.AbsRow1);
    if (area.IsRange)
        text += ':' + PartText(area.Col2, area.Row2, area.AbsCol2, area.AbsRow2);
    return text;
}

bool XlsxParseArea(const QString &text, TXlsxArea &area)
{
    int end = 0;
    return ParseReference(text, 0, area, end) && end == text.size();
}

bool XlsxShiftArea(TXlsxArea &area, const TXlsxRowShift &shift)
{
    if (!area.HasRows() || shift.Count <= 0)
        return true;
    const int r1 = area.Row1;
    const int r2 = area.IsRange ? area.Row2 : area.Row1;
    int n1, n2;
    if (!shift.Delete) {
        n1 = ShiftRow(r1, shift);
        n2 = ShiftRow(r2, shift);
        if (n2 > XlsxMaxRow)
            return false;
    } else {
        const int last = shift.At + shift.Count - 1;
        if (r1 >= shift.At && r2 <= last)
            return false;
        n1 = r1 < shift.At ? r1 : (r1 <= last ? shift.At : r1 - shift.Count);
        n2 = r2 < shift.At ? r2 : (r2 <= last ? shift.At - 1 : r2 - shift.Count);
    }
    area.Row1 = n1;
    if (area.IsRange)
        area.Row2 = n2;
    return true;
}

bool XlsxTranslateArea(TXlsxArea &area, int rowOffset, int colOffset)
{
    auto move = [](int &value, bool absolute, int offset, int limit) {
        if (value == 0 || absolute)
            return true;
        value += offset;
        return value >= 1 && value <= limit;
    };
    bool ok = move(area.Row1, area.AbsRow1, rowOffset, XlsxMaxRow)
        && move(area.Col1, area.AbsCol1, colOffset, XlsxMaxColumn);
    if (area.IsRange)
        ok = ok && move(area.Row2, area.AbsRow2, rowOffset, XlsxMaxRow)
            && move(area.Col2, area.AbsCol2, colOffset, XlsxMaxColumn);
    return ok;
}

QString XlsxRewriteFormula(const QString &s, const TXlsxRefMapper &mapper)
{
    QString out;
    out.reserve(s.size() + 8);
    const int n = s.size();
    int i = 0;
    auto emitReference = [&](const QString &sheet, int at) {
        TXlsxArea area;
        int end = 0;
        if (!ParseReference(s, at, area, end))
            return at;
        out += mapper(sheet, area) ? XlsxAreaText(area) : QStringLiteral("#REF!");
        return end;
    };
    while (i < n) {
        const QChar c = s[i];
        if (c == '"') {
            int j = i + 1;
            while (j < n) {
                if (s[j] == '"') {
                    if (j + 1 < n && s[j + 1] == '"') {
                        j += 2;
                        continue;
                    }
                    break;
                }
                ++j;
            }
            j = qMin(j + 1, n);
            out += s.mid(i, j - i);
            i = j;
        } else if (c == '[') {
            int j = s.indexOf(']', i);
            j = j < 0 ? n : j + 1;
            out += s.mid(i, j - i);
            i = j;
        } else if (c == '\'') {
            int j = i + 1;
            QString sheet;
            while (j < n) {
                if (s[j] == '\'') {
                    if (j + 1 < n && s[j + 1] == '\'') {
                        sheet += '\'';
                        j += 2;
                        continue;
                    }
                    break;
                }
                sheet += s[j++];
            }
            if (j + 1 < n && s[j + 1] == '!') {
                out += s.mid(i, j + 2 - i);
                const int after = j + 2;
                const int next = emitReference(sheet, after);
                i = next;
            } else {
                j = qMin(j + 1, n);
                out += s.mid(i, j - i);
                i = j;
            }
        } else if (IsNameChar(c)) {
            int j = i;
            while (j < n && IsNameChar(s[j]))
                ++j;
            if (j < n && s[j] == '!') {
                out += s.mid(i, j + 1 - i);
                i = emitReference(s.mid(i, j - i), j + 1);
                continue;
            }
            const int next = emitReference(QString(), i);
            if (next == i) {
                out += s.mid(i, j - i);
                i = j;
            } else {
                i = next;
            }
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}

QString XlsxShiftAreaList(const QString &list, const TXlsxRowShift &shift)
{
    QStringList kept;
    for (const QString &item : list.split(' ', Qt::SkipEmptyParts)) {
        TXlsxArea area;
        if (!XlsxParseArea(item, area)) {
            kept << item;
            continue;
        }
        if (XlsxShiftArea(area, shift))
            kept << XlsxAreaText(area);
    }
    return kept.join(' ');
}

bool XlsxSameSheet(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}
