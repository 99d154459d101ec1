#include "platform/XlsxWorkbook.h"

#include "platform/XlsxPackage.h"
#include "platform/TDateTime.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

#include <algorithm>
#include <charconv>
#include <cstring>
#include <set>
#include <unordered_map>

namespace {

const char *const MainNs = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
const char *const RelNs = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
const char *const PackageRelNs = "http://schemas.openxmlformats.org/package/2006/relationships";
const std::string RelType = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/";
const char *const SheetContentType = "application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml";
const char *const SharedStringsContentType =
    "application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml";
const char *const CommentsContentType = "application/vnd.openxmlformats-officedocument.spreadsheetml.comments+xml";
const char *const VmlContentType = "application/vnd.openxmlformats-officedocument.vmlDrawing";
const char *const SheetDataMarker = "TOLLVANE-SHEETDATA";

QString Utf8(const char *text)
{
    return QString::fromUtf8(text);
}

QString BuiltinNumberFormat(int id)
{
    switch (id) {
    case 0: return QStringLiteral("General");
    case 1: return QStringLiteral("0");
    case 2: return QStringLiteral("0.00");
    case 3: return QStringLiteral("#,##0");
    case 4: return QStringLiteral("#,##0.00");
    case 9: return QStringLiteral("0%");
    case 10: return QStringLiteral("0.00%");
    case 11: return QStringLiteral("0.00E+00");
    case 14: return QStringLiteral("mm-dd-yy");
    case 15: return QStringLiteral("d-mmm-yy");
    case 16: return QStringLiteral("d-mmm");
    case 17: return QStringLiteral("mmm-yy");
    case 18: return QStringLiteral("h:mm AM/PM");
    case 19: return QStringLiteral("h:mm:ss AM/PM");
    case 20: return QStringLiteral("h:mm");
    case 21: return QStringLiteral("h:mm:ss");
    case 22: return QStringLiteral("m/d/yy h:mm");
    case 49: return QStringLiteral("@");
    default: return QStringLiteral("General");
    }
}

// A whole text that reads as a number with the locale's decimal separator:
// an optional sign, digits, and optionally the separator and more digits.
bool ParseLocaleNumber(const QString &raw, QChar point, double &value)
{
    const QString text = raw.trimmed();
    if (text.isEmpty() || text.size() > 40)
        return false;
    std::string ascii;
    int digits = 0;
    bool seenPoint = false;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c >= '0' && c <= '9') {
            ascii += char(c.unicode());
            ++digits;
        } else if (i == 0 && (c == '-' || c == '+')) {
            if (c == '-')
                ascii += '-';
        } else if (!seenPoint && c == point) {
            seenPoint = true;
            ascii += '.';
        } else {
            return false;
        }
    }
    if (digits == 0)
        return false;
    const auto result = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
    return result.ec == std::errc() && result.ptr == ascii.data() + ascii.size();
}

bool TakeNumber(const QString &text, int &pos, int minDigits, int maxDigits, int &value)
{
    int digits = 0;
    value = 0;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9' && digits < maxDigits) {
        value = value * 10 + (text[pos].unicode() - '0');
        ++pos;
        ++digits;
    }
    return digits >= minDigits;
}

// "DD.MM.YYYY", optionally followed by " HH:MM" or " HH:MM:SS".
bool ParseDateText(const QString &raw, double &serial, QString &format)
{
    const QString text = raw.trimmed();
    int pos = 0, day, month, year, hour = 0, minute = 0, second = 0;
    if (!TakeNumber(text, pos, 1, 2, day) || pos >= text.size() || text[pos++] != '.'
        || !TakeNumber(text, pos, 1, 2, month) || pos >= text.size() || text[pos++] != '.'
        || !TakeNumber(text, pos, 4, 4, year))
        return false;
    format = QStringLiteral("dd.mm.yyyy");
    if (pos < text.size()) {
        if (text[pos++] != ' ' || !TakeNumber(text, pos, 1, 2, hour) || pos >= text.size()
            || text[pos++] != ':' || !TakeNumber(text, pos, 2, 2, minute))
            return false;
        format += QStringLiteral(" hh:mm");
        if (pos < text.size()) {
            if (text[pos++] != ':' || !TakeNumber(text, pos, 2, 2, second) || pos != text.size())
                return false;
            format += QStringLiteral(":ss");
        }
    }
    const QDate date(year, month, day);
    const QTime time(hour, minute, second);
    if (!date.isValid() || !time.isValid())
        return false;
    serial = DateFromQt(date) + TimeFromQt(time);
    return true;
}

std::string NodeXml(const pugi::xml_node &node)
{
    struct TWriter : pugi::xml_writer {
        std::string Out;
        void write(const void *data, size_t size) override { Out.append(static_cast<const char *>(data), size); }
    } writer;
    node.print(writer, "", pugi::format_raw);
    return writer.Out;
}

std::string Std(const QString &text)
{
    return text.toUtf8().toStdString();
}

pugi::xml_node ChildOrCreate(pugi::xml_node parent, const char *name)
{
    pugi::xml_node child = parent.child(name);
    return child ? child : parent.append_child(name);
}

void SetCount(pugi::xml_node list)
{
    int count = 0;
    for (pugi::xml_node child = list.first_child(); child; child = child.next_sibling())
        if (child.type() == pugi::node_element)
            ++count;
    if (pugi::xml_attribute attr = list.attribute("count"))
        attr.set_value(count);
    else
        list.prepend_attribute("count").set_value(count);
}

int ElementIndex(pugi::xml_node list, pugi::xml_node element)
{
    int index = 0;
    for (pugi::xml_node child = list.first_child(); child && child != element; child = child.next_sibling())
        if (child.type() == pugi::node_element)
            ++index;
    return index;
}

pugi::xml_node AddRelationship(pugi::xml_document &rels, const std::string &type, const std::string &target)
{
    pugi::xml_node root = rels.child("Relationships");
    if (!root) {
        root = rels.append_child("Relationships");
        root.append_attribute("xmlns") = PackageRelNs;
    }
    std::set<std::string> ids;
    for (pugi::xml_node r : root.children("Relationship"))
        ids.insert(r.attribute("Id").value());
    int n = 1;
    while (ids.count("rId" + std::to_string(n)))
        ++n;
    pugi::xml_node rel = root.append_child("Relationship");
    rel.append_attribute("Id") = ("rId" + std::to_string(n)).c_str();
    rel.append_attribute("Type") = (RelType + type).c_str();
    rel.append_attribute("Target") = target.c_str();
    return rel;
}

bool IsRelType(const pugi::xml_node &rel, const char *type)
{
    const std::string value = rel.attribute("Type").value();
    const std::string suffix = std::string("/") + type;
    return value.size() >= suffix.size() && value.compare(value.size() - suffix.size(), suffix.size(), suffix) == 0;
}

const char *const EmptyWorkbookParts[][2] = {
    {"[Content_Types].xml",
     "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
     "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
     "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
     "<Override PartName=\"/xl/workbook.xml\" "
     "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/>"
     "<Override PartName=\"/xl/styles.xml\" "
     "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml\"/>"
     "</Types>"},
    {"_rels/.rels",
     "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
     "<Relationship Id=\"rId1\" "
     "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" "
     "Target=\"xl/workbook.xml\"/></Relationships>"},
    {"xl/workbook.xml",
     "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
     "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
     "<bookViews><workbookView/></bookViews><sheets/><calcPr calcId=\"191029\"/></workbook>"},
    {"xl/_rels/workbook.xml.rels",
     "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
     "<Relationship Id=\"rId1\" "
     "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles\" "
     "Target=\"styles.xml\"/></Relationships>"},
    {"xl/styles.xml",
     "<styleSheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
     "<fonts count=\"1\"><font><sz val=\"10\"/><name val=\"Arial\"/><family val=\"2\"/></font></fonts>"
     "<fills count=\"2\"><fill><patternFill patternType=\"none\"/></fill>"
     "<fill><patternFill patternType=\"gray125\"/></fill></fills>"
     "<borders count=\"1\"><border><left/><right/><top/><bottom/><diagonal/></border></borders>"
     "<cellStyleXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\"/></cellStyleXfs>"
     "<cellXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\"/></cellXfs>"
     "<cellStyles count=\"1\"><cellStyle name=\"Normal\" xfId=\"0\" builtinId=\"0\"/></cellStyles>"
     "</styleSheet>"}};

const char *const EmptySheetXml =
    "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
    "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
    "<dimension ref=\"A1\"/><sheetViews><sheetView workbookViewId=\"0\"/></sheetViews>"
    "<sheetFormatPr defaultRowHeight=\"12.75\"/><sheetData/>"
    "<pageMargins left=\"0.7\" right=\"0.7\" top=\"0.75\" bottom=\"0.75\" header=\"0.3\" footer=\"0.3\"/>"
    "</worksheet>";

}  // namespace

TWorkbookError::TWorkbookError(const QString &message)
    : std::runtime_error(message.toStdString()), FMessage(message)
{
}

// ---------------------------------------------------------------- sheet

TXlsxSheet::TXlsxSheet(TXlsxWorkbook *book, const QString &name, const std::string &partName)
    : FBook(book), FName(name), FPartName(partName), FDoc(std::make_unique<pugi::xml_document>())
{
}

void TXlsxSheet::Load(const std::string &xml)
{
    XlsxParseXml(*FDoc, xml, FPartName);
    pugi::xml_node root = FDoc->child("worksheet");
    if (!root)
        throw TWorkbookError(QStringLiteral("Книга повреждена: лист %1 не читается").arg(FName));
    pugi::xml_node data = root.child("sheetData");
    if (!data)
        data = XlsxInsertOrdered(root, "sheetData", XlsxWorksheetOrder());
    std::map<int, TSharedFormula> sharedMasters;
    int rowNumber = 0;
    for (pugi::xml_node rowNode : data.children("row")) {
        const int r = rowNode.attribute("r").as_int(0);
        rowNumber = r > 0 ? r : rowNumber + 1;
        LoadRow(rowNode, rowNumber, sharedMasters);
    }
    while (data.first_child())
        data.remove_child(data.first_child());
    data.append_child(pugi::node_pcdata).set_value(SheetDataMarker);

    if (pugi::xml_node merges = root.child("mergeCells")) {
        for (pugi::xml_node m : merges.children("mergeCell")) {
            TXlsxArea area;
            if (XlsxParseArea(Utf8(m.attribute("ref").value()), area) && area.HasRows() && area.HasCols())
                FMerges.push_back({area.Row1, area.Col1, area.IsRange ? area.Row2 : area.Row1,
                                   area.IsRange ? area.Col2 : area.Col1});
        }
        root.remove_child(merges);
        std::stable_sort(FMerges.begin(), FMerges.end(),
                         [](const TXlsxRange &a, const TXlsxRange &b) { return a.Row2 < b.Row2; });
    }
    for (pugi::xml_node cf : root.children("conditionalFormatting")) {
        FAdjustables.push_back({cf, "sqref"});
        for (pugi::xml_node rule : cf.children("cfRule"))
            for (pugi::xml_node f : rule.children("formula"))
                FAdjustables.push_back({f, nullptr});
    }
    for (pugi::xml_node dv : root.child("dataValidations").children("dataValidation")) {
        FAdjustables.push_back({dv, "sqref"});
        for (const char *name : {"formula1", "formula2"})
            if (pugi::xml_node f = dv.child(name))
                FAdjustables.push_back({f, nullptr});
    }
    for (pugi::xml_node link : root.child("hyperlinks").children("hyperlink"))
        FAdjustables.push_back({link, "ref"});
    if (pugi::xml_node filter = root.child("autoFilter"))
        FAdjustables.push_back({filter, "ref"});
    for (pugi::xml_node brk : root.child("rowBreaks").children("brk"))
        FAdjustables.push_back({brk, "id", true});
}

void TXlsxSheet::LoadRow(const pugi::xml_node &rowNode, int rowNumber,
                         std::map<int, TSharedFormula> &sharedMasters)
{
    if (rowNumber < 1 || rowNumber > XlsxMaxRow)
        throw TWorkbookError(QStringLiteral("Книга повреждена: строка %1 на листе %2").arg(rowNumber).arg(FName));
    TRow &row = EnsureRow(rowNumber);
    if (pugi::xml_attribute ht = rowNode.attribute("ht"))
        row.Height = ht.as_double();
    row.CustomHeight = rowNode.attribute("customHeight").as_bool();
    if (rowNode.attribute("customFormat").as_bool())
        row.Style = rowNode.attribute("s").as_int(0);
    row.Hidden = rowNode.attribute("hidden").as_bool();
    row.OutlineLevel = rowNode.attribute("outlineLevel").as_int(0);
    int col = 0;
    for (pugi::xml_node c : rowNode.children("c")) {
        int r = 0;
        if (!XlsxParseCellName(Utf8(c.attribute("r").value()), col, r))
            ++col;
        TCell &cell = EnsureCell(rowNumber, col);
        cell.Style = c.attribute("s").as_int(0);
        const std::string type = c.attribute("t").value();
        const pugi::xml_node f = c.child("f");
        const char *value = c.child_value("v");
        if (f) {
            QString text = Utf8(f.child_value());
            const std::string kind = f.attribute("t").value();
            int arrayRows = 0, arrayCols = 0;
            if (kind == "shared") {
                const int si = f.attribute("si").as_int();
                if (f.attribute("ref")) {
                    sharedMasters[si] = {rowNumber, col, text};
                } else {
                    auto master = sharedMasters.find(si);
                    if (master != sharedMasters.end())
                        text = XlsxRewriteFormula(master->second.Text, [&](const QString &, TXlsxArea &area) {
                            return XlsxTranslateArea(area, rowNumber - master->second.Row,
                                                     col - master->second.Col);
                        });
                }
            } else if (kind == "array") {
                TXlsxArea area;
                if (XlsxParseArea(Utf8(f.attribute("ref").value()), area) && area.IsRange) {
                    arrayRows = area.Row2 - area.Row1 + 1;
                    arrayCols = area.Col2 - area.Col1 + 1;
                }
            }
            if (!text.isEmpty()) {
                cell.Kind = TCell::Formula;
                cell.V.Formula = AddFormula(text, arrayRows, arrayCols);
            }
            continue;
        }
        if (type == "s") {
            const int index = c.child("v").text().as_int(-1);
            if (index >= 0 && index < int(FBook->FTexts.size())) {
                cell.Kind = TCell::Text;
                cell.V.Text = index;
            }
        } else if (type == "inlineStr") {
            cell.Kind = TCell::Text;
            cell.V.Text = FBook->AddText(FBook->ParseText(c.child("is")));
        } else if (type == "str") {
            cell.Kind = TCell::Text;
            cell.V.Text = FBook->AddPlainText(XlsxDecodeText(value));
        } else if (type == "b") {
            cell.Kind = TCell::Bool;
            cell.V.Number = c.child("v").text().as_int() != 0 ? 1 : 0;
        } else if (type == "e") {
            cell.Kind = TCell::Error;
            cell.V.Text = FBook->AddPlainText(Utf8(value));
        } else if (type == "d") {
            const QDateTime moment = QDateTime::fromString(Utf8(value), Qt::ISODate);
            if (moment.isValid()) {
                cell.Kind = TCell::Number;
                cell.V.Number = DateTimeFromQt(moment);
            }
        } else if (c.child("v")) {
            cell.Kind = TCell::Number;
            cell.V.Number = c.child("v").text().as_double();
        }
    }
}

TXlsxSheet::TRow *TXlsxSheet::RowAt(int row) const
{
    return row >= 1 && row <= int(FRows.size()) ? FRows[size_t(row - 1)].get() : nullptr;
}

TXlsxSheet::TRow &TXlsxSheet::EnsureRow(int row)
{
    if (row > int(FRows.size()))
        FRows.resize(size_t(row));
    std::unique_ptr<TRow> &slot = FRows[size_t(row - 1)];
    if (!slot)
        slot = std::make_unique<TRow>();
    return *slot;
}

const TXlsxSheet::TCell *TXlsxSheet::CellAt(int row, int col) const
{
    const TRow *r = RowAt(row);
    if (!r)
        return nullptr;
    auto it = std::lower_bound(r->Cells.begin(), r->Cells.end(), col,
                               [](const TCell &c, int value) { return c.Col < value; });
    return it != r->Cells.end() && it->Col == col ? &*it : nullptr;
}

TXlsxSheet::TCell &TXlsxSheet::EnsureCell(int row, int col)
{
    TRow &r = EnsureRow(row);
    if (r.Cells.empty() || r.Cells.back().Col < col) {
        r.Cells.push_back(TCell());
        r.Cells.back().Col = col;
        return r.Cells.back();
    }
    auto it = std::lower_bound(r.Cells.begin(), r.Cells.end(), col,
                               [](const TCell &c, int value) { return c.Col < value; });
    if (it == r.Cells.end() || it->Col != col) {
        it = r.Cells.insert(it, TCell());
        it->Col = col;
        if (r.Style >= 0)
            it->Style = r.Style;
    }
    return *it;
}

void TXlsxSheet::CheckPosition(int row, int col) const
{
    if (row < 1 || row > XlsxMaxRow || col < 1 || col > XlsxMaxColumn)
        throw TWorkbookError(QStringLiteral("Недопустимая ячейка: строка %1, столбец %2").arg(row).arg(col));
}

void TXlsxSheet::CheckRows(int first, int last) const
{
    if (first < 1 || last < first || last > XlsxMaxRow)
        throw TWorkbookError(QStringLiteral("Недопустимый диапазон строк: %1:%2").arg(first).arg(last));
}

int TXlsxSheet::UsedColumnCount() const
{
    int minCol = 0, maxCol = 0;
    for (const auto &row : FRows) {
        if (!row || row->Cells.empty())
            continue;
        const int first = row->Cells.front().Col;
        const int last = row->Cells.back().Col;
        minCol = minCol == 0 ? first : std::min(minCol, first);
        maxCol = std::max(maxCol, last);
    }
    return maxCol == 0 ? 1 : maxCol - minCol + 1;
}

QVariant TXlsxSheet::Value(int row, int col) const
{
    CheckPosition(row, col);
    const TCell *cell = CellAt(row, col);
    if (!cell)
        return QVariant();
    switch (cell->Kind) {
    case TCell::Number: return cell->V.Number;
    case TCell::Text:
    case TCell::Error: return FBook->FTexts[size_t(cell->V.Text)].Plain;
    case TCell::Bool: return cell->V.Number != 0;
    default: return QVariant();
    }
}

bool TXlsxSheet::IsText(int row, int col) const
{
    CheckPosition(row, col);
    const TCell *cell = CellAt(row, col);
    return cell && cell->Kind == TCell::Text;
}

QString TXlsxSheet::Text(int row, int col) const
{
    return IsText(row, col) ? FBook->FTexts[size_t(CellAt(row, col)->V.Text)].Plain : QString();
}

QString TXlsxSheet::Formula(int row, int col) const
{
    CheckPosition(row, col);
    const TCell *cell = CellAt(row, col);
    if (!cell || cell->Kind != TCell::Formula)
        return QString();
    return '=' + FFormulas[size_t(cell->V.Formula)].Text;
}

int TXlsxSheet::StyleIndex(int row, int col) const
{
    CheckPosition(row, col);
    const TCell *cell = CellAt(row, col);
    return cell ? cell->Style : 0;
}

QString TXlsxSheet::NumberFormat(int row, int col) const
{
    return FBook->NumberFormatOfStyle(StyleIndex(row, col));
}

void TXlsxSheet::ReleaseCell(TCell &cell)
{
    if (cell.Kind == TCell::Formula)
        FFormulas[size_t(cell.V.Formula)].Live = false;
    cell.Kind = TCell::Blank;
    cell.V.Number = 0;
}

QChar TXlsxSheet::DecimalPoint()
{
    const QString point = QLocale().decimalPoint();
    return point.isEmpty() ? QChar('.') : point[0];
}

void TXlsxSheet::EnterText(TCell &cell, const QString &text, QChar decimalPoint)
{
    ReleaseCell(cell);
    if (text.isEmpty())
        return;
    if (!FBook->IsTextStyle(cell.Style)) {
        double number = 0;
        QString dateFormat;
        if (text.size() > 1 && text[0] == '=') {
            cell.Kind = TCell::Formula;
            cell.V.Formula = AddFormula(text.mid(1));
            return;
        }
        if (ParseLocaleNumber(text, decimalPoint, number)) {
            cell.Kind = TCell::Number;
            cell.V.Number = number;
            return;
        }
        if (ParseDateText(text, number, dateFormat)) {
            cell.Kind = TCell::Number;
            cell.V.Number = number;
            if (FBook->IsGeneralStyle(cell.Style))
                cell.Style = FBook->StyleWithNumberFormat(cell.Style, dateFormat);
            return;
        }
    }
    cell.Kind = TCell::Text;
    cell.V.Text = FBook->AddPlainText(text);
}

void TXlsxSheet::SetValue(int row, int col, const QVariant &value)
{
    CheckPosition(row, col);
    TCell &cell = EnsureCell(row, col);
    if (value.isNull()) {
        ReleaseCell(cell);
        return;
    }
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        ReleaseCell(cell);
        cell.Kind = TCell::Number;
        cell.V.Number = value.toDouble();
        break;
    case QMetaType::Bool:
        ReleaseCell(cell);
        cell.Kind = TCell::Bool;
        cell.V.Number = value.toBool() ? 1 : 0;
        break;
    case QMetaType::QDate:
    case QMetaType::QDateTime: {
        const bool withTime = value.typeId() == QMetaType::QDateTime;
        ReleaseCell(cell);
        cell.Kind = TCell::Number;
        cell.V.Number = withTime ? DateTimeFromQt(value.toDateTime()) : DateFromQt(value.toDate());
        if (FBook->IsGeneralStyle(cell.Style))
            cell.Style = FBook->StyleWithNumberFormat(
                cell.Style, withTime ? QStringLiteral("dd.mm.yyyy hh:mm:ss") : QStringLiteral("dd.mm.yyyy"));
        break;
    }
    default:
        EnterText(cell, value.toString(), DecimalPoint());
    }
}

void TXlsxSheet::SetText(int row, int col, const QString &text)
{
    CheckPosition(row, col);
    TCell &cell = EnsureCell(row, col);
    ReleaseCell(cell);
    if (text.isEmpty())
        return;
    cell.Kind = TCell::Text;
    cell.V.Text = FBook->AddPlainText(text);
}

void TXlsxSheet::SetNumber(int row, int col, double value)
{
    SetValue(row, col, value);
}

void TXlsxSheet::SetFormula(int row, int col, const QString &formula)
{
    CheckPosition(row, col);
    TCell &cell = EnsureCell(row, col);
    ReleaseCell(cell);
    const QString text = formula.startsWith('=') ? formula.mid(1) : formula;
    if (text.isEmpty())
        return;
    cell.Kind = TCell::Formula;
    cell.V.Formula = AddFormula(text);
}

void TXlsxSheet::Clear(int row, int col)
{
    CheckPosition(row, col);
    if (CellAt(row, col))
        ReleaseCell(EnsureCell(row, col));
}

void TXlsxSheet::SetStyle(int row, int col, int style)
{
    CheckPosition(row, col);
    if (style < 0 || style >= FBook->XfCount())
        throw TWorkbookError(QStringLiteral("Недопустимый формат ячейки: %1").arg(style));
    EnsureCell(row, col).Style = style;
}

void TXlsxSheet::SetNumberFormat(int row, int col, const QString &code)
{
    CheckPosition(row, col);
    TCell &cell = EnsureCell(row, col);
    cell.Style = FBook->StyleWithNumberFormat(cell.Style, code);
}

QList<TXlsxRun> TXlsxSheet::RichText(int row, int col) const
{
    QList<TXlsxRun> runs;
    if (!IsText(row, col))
        return runs;
    const TXlsxWorkbook::TText &text = FBook->FTexts[size_t(CellAt(row, col)->V.Text)];
    if (text.Runs.empty()) {
        runs.append(TXlsxRun{text.Plain, TXlsxFont(), false});
        return runs;
    }
    for (const auto &run : text.Runs)
        runs.append(TXlsxRun{run.Text, TXlsxWorkbook::ParseFont(run.Props), !run.Props.empty()});
    return runs;
}

void TXlsxSheet::SetRichText(int row, int col, const QList<TXlsxRun> &runs)
{
    CheckPosition(row, col);
    TXlsxWorkbook::TText text;
    for (const TXlsxRun &run : runs) {
        text.Plain += run.Text;
        text.Runs.push_back({run.Text, run.HasFont ? FBook->FontXml(run.Font, "rPr") : std::string()});
    }
    TCell &cell = EnsureCell(row, col);
    ReleaseCell(cell);
    cell.Kind = TCell::Text;
    cell.V.Text = FBook->AddText(std::move(text));
}

void TXlsxSheet::ReplaceCharacters(int row, int col, int start, int length, const QString &insert)
{
    CheckPosition(row, col);
    const QString current = Value(row, col).toString();
    if (start < 1 || length < 0 || start - 1 + length > current.size())
        throw TWorkbookError(QStringLiteral("Недопустимые знаки %1-%2 в ячейке %3")
                                 .arg(start).arg(start + length - 1).arg(XlsxCellName(col, row)));
    TXlsxWorkbook::TText source;
    if (IsText(row, col))
        source = FBook->FTexts[size_t(CellAt(row, col)->V.Text)];
    else
        source.Plain = current;
    const int from = start - 1;
    const int to = from + length;
    TXlsxWorkbook::TText result;
    result.Plain = current.left(from) + insert + current.mid(to);
    if (!source.Runs.empty()) {
        int pos = 0;
        bool inserted = false;
        for (size_t i = 0; i < source.Runs.size(); ++i) {
            const auto &run = source.Runs[i];
            const int runEnd = pos + run.Text.size();
            QString piece = run.Text.left(std::max(0, std::min(runEnd, from) - pos));
            const bool holdsStart = !inserted && ((from >= pos && from < runEnd)
                                                  || (i + 1 == source.Runs.size() && from == runEnd));
            if (holdsStart) {
                piece += insert;
                inserted = true;
            }
            if (runEnd > to)
                piece += run.Text.mid(std::max(0, to - pos));
            if (!piece.isEmpty())
                result.Runs.push_back({piece, run.Props});
            pos = runEnd;
        }
    }
    TCell &cell = EnsureCell(row, col);
    ReleaseCell(cell);
    cell.Kind = TCell::Text;
    cell.V.Text = FBook->AddText(std::move(result));
}

int TXlsxSheet::Replace(int firstRow, int lastRow, const QString &what, const QString &with)
{
    CheckRows(firstRow, lastRow);
    if (what.isEmpty())
        return 0;
    const QChar point = DecimalPoint();
    // Most cells of a band hold no variable any more: a search for the
    // first character, when it has no letter case, turns them away cheaply.
    const QChar first = what[0];
    const bool caseless = first.toLower() == first.toUpper();
    auto holds = [&](const QString &text) {
        return (!caseless || text.contains(first)) && text.contains(what, Qt::CaseInsensitive);
    };
    int changed = 0;
    const int last = std::min(lastRow, LastRow());
    for (int r = firstRow; r <= last; ++r) {
        TRow *row = RowAt(r);
        if (!row)
            continue;
        for (TCell &cell : row->Cells) {
            QString text;
            if (cell.Kind == TCell::Text && holds(FBook->FTexts[size_t(cell.V.Text)].Plain))
                text = FBook->FTexts[size_t(cell.V.Text)].Plain;
            else if (cell.Kind == TCell::Formula && holds(FFormulas[size_t(cell.V.Formula)].Text))
                text = '=' + FFormulas[size_t(cell.V.Formula)].Text;
            else
                continue;
            text.replace(what, with, Qt::CaseInsensitive);
            EnterText(cell, text, point);
            ++changed;
        }
    }
    return changed;
}

bool TXlsxSheet::Find(int firstRow, int lastRow, const QString &what, int &row, int &col,
                      int fromRow, int fromCol) const
{
    CheckRows(firstRow, lastRow);
    const int last = std::min(lastRow, LastRow());
    for (int r = std::max(firstRow, fromRow); r <= last; ++r) {
        const TRow *current = RowAt(r);
        if (!current)
            continue;
        for (const TCell &cell : current->Cells) {
            if (r == fromRow && cell.Col < fromCol)
                continue;
            if (cell.Kind == TCell::Text
                && FBook->FTexts[size_t(cell.V.Text)].Plain.contains(what, Qt::CaseInsensitive)) {
                row = r;
                col = cell.Col;
                return true;
            }
        }
    }
    row = -1;
    col = -1;
    return false;
}

bool TXlsxSheet::HasComment(int row, int col) const
{
    CheckPosition(row, col);
    const TCell *cell = CellAt(row, col);
    return cell && cell->Comment >= 0;
}

QString TXlsxSheet::Comment(int row, int col) const
{
    if (!HasComment(row, col))
        throw TWorkbookError(QStringLiteral("В ячейке %1 нет примечания").arg(XlsxCellName(col, row)));
    return FBook->FNotes[size_t(CellAt(row, col)->Comment)].Text;
}

void TXlsxSheet::SetComment(int row, int col, const QString &text)
{
    CheckPosition(row, col);
    EnsureCell(row, col).Comment = FBook->AddNote(text, QString());
}

void TXlsxSheet::ClearComment(int row, int col)
{
    CheckPosition(row, col);
    if (CellAt(row, col))
        EnsureCell(row, col).Comment = -1;
}

// ---------------------------------------------------------------- formulas

int TXlsxSheet::AddFormula(const QString &text, int arrayRows, int arrayCols)
{
    TFormula formula;
    formula.Text = text;
    formula.ArrayRows = arrayRows;
    formula.ArrayCols = arrayCols;
    FFormulas.push_back(std::move(formula));
    const int id = int(FFormulas.size()) - 1;
    UpdateFormulaRows(id);
    IndexFormula(id);
    if (FFormulas.back().Qualified)
        FQualified.push_back(id);
    return id;
}

void TXlsxSheet::UpdateFormulaRows(int id)
{
    TFormula &formula = FFormulas[size_t(id)];
    int maxRow = 0;
    bool qualified = false;
    XlsxRewriteFormula(formula.Text, [&](const QString &sheet, TXlsxArea &area) {
        qualified = qualified || !sheet.isEmpty();
        if (sheet.isEmpty() || XlsxSameSheet(sheet, FName))
            maxRow = std::max(maxRow, area.IsRange ? area.Row2 : area.Row1);
        return true;
    });
    formula.MaxRow = maxRow;
    formula.Qualified = qualified;
}

void TXlsxSheet::IndexFormula(int id)
{
    const int maxRow = FFormulas[size_t(id)].MaxRow;
    if (maxRow <= 0)
        return;
    auto at = std::upper_bound(FFormulaOrder.begin(), FFormulaOrder.end(), maxRow,
                               [&](int value, int other) { return value < FFormulas[size_t(other)].MaxRow; });
    FFormulaOrder.insert(at, id);
}

QString TXlsxSheet::ShiftedFormula(const QString &text, const QString &sheet, bool own,
                                   const TXlsxRowShift &shift) const
{
    return XlsxRewriteFormula(text, [&](const QString &named, TXlsxArea &area) {
        const bool applies = named.isEmpty() ? own : XlsxSameSheet(named, sheet);
        return !applies || XlsxShiftArea(area, shift);
    });
}

void TXlsxSheet::ShiftFormulas(const TXlsxRowShift &shift)
{
    auto byMaxRow = [&](int a, int b) { return FFormulas[size_t(a)].MaxRow < FFormulas[size_t(b)].MaxRow; };
    auto tail = std::lower_bound(FFormulaOrder.begin(), FFormulaOrder.end(), shift.At,
                                 [&](int id, int value) { return FFormulas[size_t(id)].MaxRow < value; });
    const size_t start = size_t(tail - FFormulaOrder.begin());
    std::vector<int> moved;
    for (size_t i = start; i < FFormulaOrder.size(); ++i) {
        const int id = FFormulaOrder[i];
        TFormula &formula = FFormulas[size_t(id)];
        if (!formula.Live)
            continue;
        formula.Text = ShiftedFormula(formula.Text, FName, true, shift);
        UpdateFormulaRows(id);
        if (formula.MaxRow > 0)
            moved.push_back(id);
    }
    FFormulaOrder.resize(start);
    std::stable_sort(moved.begin(), moved.end(), byMaxRow);
    FFormulaOrder.insert(FFormulaOrder.end(), moved.begin(), moved.end());
    if (start > 0 && start < FFormulaOrder.size() && byMaxRow(FFormulaOrder[start], FFormulaOrder[start - 1]))
        std::inplace_merge(FFormulaOrder.begin(), FFormulaOrder.begin() + long(start), FFormulaOrder.end(), byMaxRow);
}

void TXlsxSheet::ShiftMerges(const TXlsxRowShift &shift)
{
    auto byRow2 = [](const TXlsxRange &a, const TXlsxRange &b) { return a.Row2 < b.Row2; };
    auto tail = std::lower_bound(FMerges.begin(), FMerges.end(), shift.At,
                                 [](const TXlsxRange &m, int value) { return m.Row2 < value; });
    const size_t start = size_t(tail - FMerges.begin());
    std::vector<TXlsxRange> moved;
    for (size_t i = start; i < FMerges.size(); ++i) {
        TXlsxRange m = FMerges[i];
        TXlsxArea area;
        area.Row1 = m.Row1;
        area.Row2 = m.Row2;
        area.Col1 = m.Col1;
        area.Col2 = m.Col2;
        area.IsRange = true;
        if (!XlsxShiftArea(area, shift))
            continue;
        m.Row1 = area.Row1;
        m.Row2 = area.Row2;
        if (m.Row1 != m.Row2 || m.Col1 != m.Col2)
            moved.push_back(m);
    }
    FMerges.resize(start);
    std::stable_sort(moved.begin(), moved.end(), byRow2);
    FMerges.insert(FMerges.end(), moved.begin(), moved.end());
    if (start > 0 && start < FMerges.size() && byRow2(FMerges[start], FMerges[start - 1]))
        std::inplace_merge(FMerges.begin(), FMerges.begin() + long(start), FMerges.end(), byRow2);
}

void TXlsxSheet::ShiftEverything(const TXlsxRowShift &shift)
{
    ShiftFormulas(shift);
    ShiftMerges(shift);
    for (TAdjustable &item : FAdjustables) {
        if (!item.Node)
            continue;
        if (!item.Attribute) {
            const QString text = ShiftedFormula(Utf8(item.Node.child_value()), FName, true, shift);
            item.Node.text().set(Std(text).c_str());
            continue;
        }
        pugi::xml_attribute attr = item.Node.attribute(item.Attribute);
        if (item.RowNumber) {
            // A page break sits below the row it names (0-based "id" after it).
            const int row = attr.as_int();
            if (row >= shift.At)
                attr.set_value(shift.Delete ? std::max(shift.At - 1, row - shift.Count) : row + shift.Count);
            continue;
        }
        const QString list = XlsxShiftAreaList(Utf8(attr.value()), shift);
        if (list.isEmpty()) {
            item.Node.parent().remove_child(item.Node);
            item.Node = pugi::xml_node();
        } else {
            attr.set_value(Std(list).c_str());
        }
    }
    FBook->ShiftNames(*this, shift);
    FBook->ShiftForeignFormulas(*this, shift);
}

// ---------------------------------------------------------------- rows

void TXlsxSheet::InsertRows(int at, int count)
{
    CheckRows(at, at);
    if (count <= 0)
        return;
    if (LastRow() + count > XlsxMaxRow)
        throw TWorkbookError(QStringLiteral("Нельзя вставить строки: лист %1 заполнен до конца").arg(FName));
    if (at <= LastRow()) {
        const size_t oldSize = FRows.size();
        FRows.resize(oldSize + size_t(count));
        std::move_backward(FRows.begin() + (at - 1), FRows.begin() + long(oldSize), FRows.end());
    }
    ShiftEverything({at, count, false});
}

void TXlsxSheet::DeleteRows(int first, int last)
{
    CheckRows(first, last);
    const int end = std::min(last, LastRow());
    for (int r = first; r <= end; ++r)
        if (TRow *row = RowAt(r))
            for (TCell &cell : row->Cells)
                ReleaseCell(cell);
    if (first <= end)
        FRows.erase(FRows.begin() + (first - 1), FRows.begin() + end);
    ShiftEverything({first, last - first + 1, true});
}

void TXlsxSheet::InsertCopiedRows(int first, int last, int at)
{
    CheckRows(first, last);
    CheckRows(at, at);
    if (at > first && at <= last)
        throw TWorkbookError(QStringLiteral("Строки %1:%2 нельзя вставить внутрь самих себя (строка %3)")
                                 .arg(first).arg(last).arg(at));
    const int count = last - first + 1;
    InsertRows(at, count);
    const int source = first >= at ? first + count : first;
    const int offset = at - source;
    for (int i = 0; i < count; ++i) {
        const TRow *from = RowAt(source + i);
        if (!from)
            continue;
        auto copy = std::make_unique<TRow>(*from);
        for (TCell &cell : copy->Cells) {
            if (cell.Kind != TCell::Formula)
                continue;
            const TFormula &original = FFormulas[size_t(cell.V.Formula)];
            const QString text = XlsxRewriteFormula(original.Text, [&](const QString &, TXlsxArea &area) {
                return XlsxTranslateArea(area, offset, 0);
            });
            cell.V.Formula = AddFormula(text, original.ArrayRows, original.ArrayCols);
        }
        if (at + i > int(FRows.size()))
            FRows.resize(size_t(at + i));
        FRows[size_t(at + i - 1)] = std::move(copy);
    }
    auto byRow2 = [](const TXlsxRange &a, const TXlsxRange &b) { return a.Row2 < b.Row2; };
    auto lo = std::lower_bound(FMerges.begin(), FMerges.end(), TXlsxRange{0, 0, source, 0}, byRow2);
    auto hi = std::upper_bound(lo, FMerges.end(), TXlsxRange{0, 0, source + count - 1, 0}, byRow2);
    std::vector<TXlsxRange> copies;
    for (auto it = lo; it != hi; ++it)
        if (it->Row1 >= source)
            copies.push_back({it->Row1 + offset, it->Col1, it->Row2 + offset, it->Col2});
    for (const TXlsxRange &m : copies)
        FMerges.insert(std::upper_bound(FMerges.begin(), FMerges.end(), m, byRow2), m);
}

double TXlsxSheet::RowHeight(int row) const
{
    CheckPosition(row, 1);
    const TRow *r = RowAt(row);
    return r ? r->Height : 0;
}

void TXlsxSheet::SetRowHeight(int row, double points)
{
    CheckPosition(row, 1);
    TRow &r = EnsureRow(row);
    r.Height = points;
    r.CustomHeight = points > 0;
}

void TXlsxSheet::MergeCells(const TXlsxRange &range)
{
    CheckPosition(range.Row1, range.Col1);
    CheckPosition(range.Row2, range.Col2);
    if (range.Row2 < range.Row1 || range.Col2 < range.Col1)
        throw TWorkbookError(QStringLiteral("Недопустимый диапазон объединения"));
    auto byRow2 = [](const TXlsxRange &a, const TXlsxRange &b) { return a.Row2 < b.Row2; };
    FMerges.insert(std::upper_bound(FMerges.begin(), FMerges.end(), range, byRow2), range);
}

QList<TXlsxRange> TXlsxSheet::MergedRanges() const
{
    QList<TXlsxRange> ranges(FMerges.begin(), FMerges.end());
    std::sort(ranges.begin(), ranges.end(), [](const TXlsxRange &a, const TXlsxRange &b) {
        return std::tie(a.Row1, a.Col1) < std::tie(b.Row1, b.Col1);
    });
    return ranges;
}

pugi::xml_node TXlsxSheet::SheetChild(const char *name, bool create)
{
    pugi::xml_node root = FDoc->child("worksheet");
    pugi::xml_node node = root.child(name);
    if (!node && create)
        node = XlsxInsertOrdered(root, name, XlsxWorksheetOrder());
    return node;
}

pugi::xml_node TXlsxSheet::ColumnNode(int col)
{
    CheckPosition(1, col);
    pugi::xml_node cols = SheetChild("cols", true);
    for (pugi::xml_node c : cols.children("col")) {
        const int min = c.attribute("min").as_int(), max = c.attribute("max").as_int();
        if (col < min || col > max)
            continue;
        // Split a span so that only this column changes.
        if (min < col)
            cols.insert_copy_before(c, c).attribute("max").set_value(col - 1);
        if (max > col)
            cols.insert_copy_after(c, c).attribute("min").set_value(col + 1);
        c.attribute("min").set_value(col);
        c.attribute("max").set_value(col);
        return c;
    }
    pugi::xml_node next;
    for (pugi::xml_node c : cols.children("col"))
        if (c.attribute("min").as_int() > col) {
            next = c;
            break;
        }
    pugi::xml_node node = next ? cols.insert_child_before("col", next) : cols.append_child("col");
    node.append_attribute("min") = col;
    node.append_attribute("max") = col;
    node.append_attribute("width") = 9.140625;
    return node;
}

void TXlsxSheet::SetColumnWidth(int col, double width)
{
    pugi::xml_node node = ColumnNode(col);
    for (const char *name : {"width", "customWidth"})
        if (!node.attribute(name))
            node.append_attribute(name);
    node.attribute("width") = width;
    node.attribute("customWidth") = 1;
}

void TXlsxSheet::SetColumnHidden(int col, bool hidden)
{
    pugi::xml_node node = ColumnNode(col);
    if (!node.attribute("hidden"))
        node.append_attribute("hidden");
    node.attribute("hidden") = hidden ? 1 : 0;
}

void TXlsxSheet::SetLandscape(bool landscape)
{
    pugi::xml_node setup = SheetChild("pageSetup", true);
    if (!setup.attribute("paperSize"))
        setup.append_attribute("paperSize") = 9;
    if (!setup.attribute("orientation"))
        setup.append_attribute("orientation");
    setup.attribute("orientation") = landscape ? "landscape" : "portrait";
}

void TXlsxSheet::SetFitToWidth(bool fit)
{
    pugi::xml_node props = ChildOrCreate(SheetChild("sheetPr", true), "pageSetUpPr");
    if (!props.attribute("fitToPage"))
        props.append_attribute("fitToPage");
    props.attribute("fitToPage") = fit ? 1 : 0;
    pugi::xml_node setup = SheetChild("pageSetup", true);
    for (const char *name : {"fitToWidth", "fitToHeight"})
        if (!setup.attribute(name))
            setup.append_attribute(name);
    setup.attribute("fitToWidth") = 1;
    setup.attribute("fitToHeight") = 0;
}

void TXlsxSheet::WriteSheetData(std::string &out, const std::vector<int> &textIndex) const
{
    for (size_t i = 0; i < FRows.size(); ++i) {
        const TRow *row = FRows[i].get();
        if (!row || (row->Cells.empty() && row->Height <= 0 && row->Style < 0 && !row->Hidden))
            continue;
        const int r = int(i) + 1;
        out += "<row r=\"";
        XlsxAppendInt(out, r);
        out += '"';
        if (row->Style >= 0) {
            out += " s=\"";
            XlsxAppendInt(out, row->Style);
            out += "\" customFormat=\"1\"";
        }
        if (row->Height > 0) {
            out += " ht=\"";
            XlsxAppendDouble(out, row->Height);
            out += row->CustomHeight ? "\" customHeight=\"1\"" : "\"";
        }
        if (row->Hidden)
            out += " hidden=\"1\"";
        if (row->OutlineLevel > 0) {
            out += " outlineLevel=\"";
            XlsxAppendInt(out, row->OutlineLevel);
            out += '"';
        }
        out += '>';
        for (const TCell &cell : row->Cells) {
            if (cell.Kind == TCell::Blank && cell.Style == 0)
                continue;
            out += "<c r=\"";
            XlsxAppendCellName(out, cell.Col, r);
            out += '"';
            if (cell.Style != 0) {
                out += " s=\"";
                XlsxAppendInt(out, cell.Style);
                out += '"';
            }
            switch (cell.Kind) {
            case TCell::Blank:
                out += "/>";
                break;
            case TCell::Number:
                out += "><v>";
                XlsxAppendDouble(out, cell.V.Number);
                out += "</v></c>";
                break;
            case TCell::Text:
                out += " t=\"s\"><v>";
                XlsxAppendInt(out, textIndex[size_t(cell.V.Text)]);
                out += "</v></c>";
                break;
            case TCell::Bool:
                out += cell.V.Number != 0 ? " t=\"b\"><v>1</v></c>" : " t=\"b\"><v>0</v></c>";
                break;
            case TCell::Error:
                out += " t=\"e\"><v>";
                XlsxAppendEscaped(out, FBook->FTexts[size_t(cell.V.Text)].Plain);
                out += "</v></c>";
                break;
            case TCell::Formula: {
                const TFormula &formula = FFormulas[size_t(cell.V.Formula)];
                out += "><f";
                if (formula.ArrayRows > 0) {
                    out += " t=\"array\" ref=\"";
                    XlsxAppendCellName(out, cell.Col, r);
                    out += ':';
                    XlsxAppendCellName(out, cell.Col + formula.ArrayCols - 1, r + formula.ArrayRows - 1);
                    out += '"';
                }
                out += '>';
                XlsxAppendEscaped(out, formula.Text);
                out += "</f></c>";
                break;
            }
            }
        }
        out += "</row>";
    }
}

std::string TXlsxSheet::Save(const std::vector<int> &textIndex, const std::string &legacyDrawingRelId) const
{
    pugi::xml_document doc;
    doc.reset(*FDoc);
    pugi::xml_node root = doc.child("worksheet");
    int lastCol = 1, lastRow = 1;
    for (size_t i = 0; i < FRows.size(); ++i)
        if (FRows[i] && !FRows[i]->Cells.empty()) {
            lastRow = int(i) + 1;
            lastCol = std::max(lastCol, FRows[i]->Cells.back().Col);
        }
    pugi::xml_node dimension = root.child("dimension");
    if (!dimension)
        dimension = XlsxInsertOrdered(root, "dimension", XlsxWorksheetOrder());
    if (!dimension.attribute("ref"))
        dimension.append_attribute("ref");
    dimension.attribute("ref") = Std("A1:" + XlsxCellName(lastCol, lastRow)).c_str();
    if (!FMerges.empty()) {
        pugi::xml_node merges = XlsxInsertOrdered(root, "mergeCells", XlsxWorksheetOrder());
        merges.append_attribute("count") = int(FMerges.size());
        for (const TXlsxRange &m : MergedRanges()) {
            const QString ref = XlsxCellName(m.Col1, m.Row1) + ':' + XlsxCellName(m.Col2, m.Row2);
            merges.append_child("mergeCell").append_attribute("ref") = Std(ref).c_str();
        }
    }
    if (!legacyDrawingRelId.empty()) {
        if (!root.attribute("xmlns:r"))
            root.append_attribute("xmlns:r") = RelNs;
        XlsxInsertOrdered(root, "legacyDrawing", XlsxWorksheetOrder())
            .append_attribute("r:id") = legacyDrawingRelId.c_str();
    }
    const std::string shell = XlsxXmlText(doc);
    const size_t marker = shell.find(SheetDataMarker);
    std::string out;
    out.reserve(shell.size() + FRows.size() * 64);
    out.append(shell, 0, marker);
    WriteSheetData(out, textIndex);
    out.append(shell, marker + std::strlen(SheetDataMarker), std::string::npos);
    return out;
}

// ---------------------------------------------------------------- workbook

TXlsxWorkbook::TXlsxWorkbook() = default;
TXlsxWorkbook::~TXlsxWorkbook() = default;

std::unique_ptr<TXlsxWorkbook> TXlsxWorkbook::Open(const QString &fileName)
{
    std::unique_ptr<TXlsxWorkbook> book(new TXlsxWorkbook());
    book->FFileName = QFileInfo(fileName).absoluteFilePath();
    for (auto &part : XlsxReadPackage(fileName)) {
        book->FPartOrder.push_back(part.first);
        book->FParts[part.first] = std::move(part.second);
    }
    book->Load(fileName);
    return book;
}

std::unique_ptr<TXlsxWorkbook> TXlsxWorkbook::Create(const QString &sheetName)
{
    std::unique_ptr<TXlsxWorkbook> book(new TXlsxWorkbook());
    for (const auto &part : EmptyWorkbookParts) {
        book->FPartOrder.push_back(part[0]);
        book->FParts[part[0]] = part[1];
    }
    book->Load(QString());
    book->AddSheet(sheetName);
    return book;
}

std::string TXlsxWorkbook::ReadPart(const std::string &name) const
{
    auto it = FParts.find(name);
    if (it == FParts.end())
        throw TWorkbookError(QStringLiteral("Книга %1 повреждена: нет части %2")
                                 .arg(FFileName, QString::fromStdString(name)));
    return it->second;
}

void TXlsxWorkbook::Load(const QString &fileName)
{
    if (!FParts.count("[Content_Types].xml") || !FParts.count("_rels/.rels"))
        throw TWorkbookError(QStringLiteral("Файл %1 не является книгой .xlsx").arg(fileName));
    FContentTypes = std::make_unique<pugi::xml_document>();
    XlsxParseXml(*FContentTypes, ReadPart("[Content_Types].xml"), "[Content_Types].xml");
    pugi::xml_document rootRels;
    XlsxParseXml(rootRels, ReadPart("_rels/.rels"), "_rels/.rels");
    for (pugi::xml_node rel : rootRels.child("Relationships").children("Relationship"))
        if (IsRelType(rel, "officeDocument"))
            FWorkbookPart = XlsxResolveTarget("", rel.attribute("Target").value());
    if (FWorkbookPart.empty() || !FParts.count(FWorkbookPart))
        throw TWorkbookError(QStringLiteral("Файл %1 не является книгой .xlsx").arg(fileName));
    FWorkbookDoc = std::make_unique<pugi::xml_document>();
    XlsxParseXml(*FWorkbookDoc, ReadPart(FWorkbookPart), FWorkbookPart);
    FWorkbookRels = std::make_unique<pugi::xml_document>();
    const std::string relsPart = XlsxRelsPartOf(FWorkbookPart);
    if (FParts.count(relsPart))
        XlsxParseXml(*FWorkbookRels, ReadPart(relsPart), relsPart);
    for (pugi::xml_node rel : FWorkbookRels->child("Relationships").children("Relationship")) {
        const std::string target = XlsxResolveTarget(FWorkbookPart, rel.attribute("Target").value());
        if (IsRelType(rel, "styles"))
            FStylesPart = target;
        else if (IsRelType(rel, "sharedStrings"))
            FSharedStringsPart = target;
    }
    LoadStyles();
    LoadSharedStrings();
    LoadWorkbook();
    for (const std::string &generated : {FWorkbookPart, relsPart, FStylesPart, FSharedStringsPart,
                                         std::string("[Content_Types].xml")})
        FParts.erase(generated);
    for (auto it = FParts.begin(); it != FParts.end();)
        it = it->first.find("calcChain") != std::string::npos ? FParts.erase(it) : std::next(it);
}

void TXlsxWorkbook::LoadStyles()
{
    FStyles = std::make_unique<pugi::xml_document>();
    if (FStylesPart.empty()) {
        FStylesPart = XlsxResolveTarget(FWorkbookPart, "styles.xml");
        AddRelationship(*FWorkbookRels, "styles", "styles.xml");
        XlsxParseXml(*FStyles, EmptyWorkbookParts[4][1], FStylesPart);
        pugi::xml_node types = FContentTypes->child("Types");
        pugi::xml_node o = types.append_child("Override");
        o.append_attribute("PartName") = ("/" + FStylesPart).c_str();
        o.append_attribute("ContentType") = "application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml";
    } else {
        XlsxParseXml(*FStyles, ReadPart(FStylesPart), FStylesPart);
    }
    pugi::xml_node sheet = FStyles->child("styleSheet");
    for (pugi::xml_node f : sheet.child("numFmts").children("numFmt")) {
        const int id = f.attribute("numFmtId").as_int();
        FNumberFormatIds[Utf8(f.attribute("formatCode").value())] = id;
        FCustomFormats[id] = Utf8(f.attribute("formatCode").value());
    }
    for (pugi::xml_node xf : sheet.child("cellXfs").children("xf")) {
        const int id = xf.attribute("numFmtId").as_int();
        auto custom = FCustomFormats.find(id);
        FXfNumberFormats.push_back(custom != FCustomFormats.end() ? custom->second : BuiltinNumberFormat(id));
    }
    if (FXfNumberFormats.empty())
        throw TWorkbookError(QStringLiteral("Книга %1 повреждена: нет форматов ячеек").arg(FFileName));
}

TXlsxWorkbook::TText TXlsxWorkbook::ParseText(const pugi::xml_node &node) const
{
    TText text;
    for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
        if (std::strcmp(child.name(), "t") == 0) {
            text.Plain += XlsxDecodeText(child.child_value());
        } else if (std::strcmp(child.name(), "r") == 0) {
            TRunData run;
            run.Text = XlsxDecodeText(child.child_value("t"));
            if (pugi::xml_node props = child.child("rPr"))
                run.Props = NodeXml(props);
            text.Plain += run.Text;
            text.Runs.push_back(std::move(run));
        }
    }
    return text;
}

void TXlsxWorkbook::LoadSharedStrings()
{
    if (FSharedStringsPart.empty() || !FParts.count(FSharedStringsPart))
        return;
    pugi::xml_document doc;
    XlsxParseXml(doc, ReadPart(FSharedStringsPart), FSharedStringsPart);
    for (pugi::xml_node si : doc.child("sst").children("si"))
        FTexts.push_back(ParseText(si));
}

void TXlsxWorkbook::LoadWorkbook()
{
    pugi::xml_node root = FWorkbookDoc->child("workbook");
    for (pugi::xml_node s : root.child("sheets").children("sheet")) {
        const std::string id = s.attribute("r:id").value();
        std::string part;
        for (pugi::xml_node rel : FWorkbookRels->child("Relationships").children("Relationship"))
            if (id == rel.attribute("Id").value())
                part = XlsxResolveTarget(FWorkbookPart, rel.attribute("Target").value());
        if (part.empty() || !FParts.count(part))
            throw TWorkbookError(QStringLiteral("Книга %1 повреждена: нет листа %2")
                                     .arg(FFileName, Utf8(s.attribute("name").value())));
        auto sheet = std::unique_ptr<TXlsxSheet>(new TXlsxSheet(this, Utf8(s.attribute("name").value()), part));
        sheet->Load(ReadPart(part));
        FParts.erase(part);
        LoadComments(*sheet, part);
        FSheets.push_back(std::move(sheet));
    }
    if (pugi::xml_node names = root.child("definedNames")) {
        for (pugi::xml_node n : names.children("definedName")) {
            TName name;
            name.Name = Utf8(n.attribute("name").value());
            name.Formula = Utf8(n.child_value());
            name.LocalSheet = n.attribute("localSheetId") ? n.attribute("localSheetId").as_int() : -1;
            for (pugi::xml_attribute a : n.attributes())
                if (std::strcmp(a.name(), "name") != 0 && std::strcmp(a.name(), "localSheetId") != 0)
                    name.Attributes.emplace_back(a.name(), a.value());
            FNames.push_back(std::move(name));
        }
        root.remove_child(names);
    }
}

void TXlsxWorkbook::LoadComments(TXlsxSheet &sheet, const std::string &sheetPart)
{
    auto rels = std::make_unique<pugi::xml_document>();
    const std::string relsPart = XlsxRelsPartOf(sheetPart);
    if (FParts.count(relsPart)) {
        XlsxParseXml(*rels, ReadPart(relsPart), relsPart);
        FParts.erase(relsPart);
    }
    pugi::xml_node root = sheet.FDoc->child("worksheet");
    const std::string legacyId = root.child("legacyDrawing").attribute("r:id").value();
    pugi::xml_node list = rels->child("Relationships");
    for (pugi::xml_node rel = list.first_child(); rel;) {
        pugi::xml_node next = rel.next_sibling();
        const std::string target = XlsxResolveTarget(sheetPart, rel.attribute("Target").value());
        if (IsRelType(rel, "comments") && FParts.count(target)) {
            pugi::xml_document doc;
            XlsxParseXml(doc, ReadPart(target), target);
            std::vector<QString> authors;
            for (pugi::xml_node a : doc.child("comments").child("authors").children("author"))
                authors.push_back(Utf8(a.child_value()));
            for (pugi::xml_node c : doc.child("comments").child("commentList").children("comment")) {
                int col = 0, row = 0;
                if (!XlsxParseCellName(Utf8(c.attribute("ref").value()), col, row))
                    continue;
                const size_t author = c.attribute("authorId").as_uint();
                sheet.EnsureCell(row, col).Comment =
                    AddNote(ParseText(c.child("text")).Plain, author < authors.size() ? authors[author] : QString());
            }
            FParts.erase(target);
            list.remove_child(rel);
        } else if (IsRelType(rel, "vmlDrawing") && legacyId == rel.attribute("Id").value()) {
            FParts.erase(target);
            list.remove_child(rel);
        }
        rel = next;
    }
    root.remove_child("legacyDrawing");
    FSheetRels[sheetPart] = std::move(rels);
}

int TXlsxWorkbook::AddText(TText text)
{
    FTexts.push_back(std::move(text));
    return int(FTexts.size()) - 1;
}

int TXlsxWorkbook::AddPlainText(const QString &text)
{
    TText item;
    item.Plain = text;
    return AddText(std::move(item));
}

int TXlsxWorkbook::AddNote(const QString &text, const QString &author)
{
    FNotes.push_back({text, author});
    return int(FNotes.size()) - 1;
}

TXlsxSheet *TXlsxWorkbook::Sheet(int index) const
{
    if (index < 1 || index > SheetCount())
        throw TWorkbookError(QStringLiteral("В книге нет листа номер %1").arg(index));
    return FSheets[size_t(index - 1)].get();
}

TXlsxSheet *TXlsxWorkbook::SheetByName(const QString &name) const
{
    for (const auto &sheet : FSheets)
        if (XlsxSameSheet(sheet->Name(), name))
            return sheet.get();
    return nullptr;
}

TXlsxSheet *TXlsxWorkbook::AddSheet(const QString &name)
{
    if (name.isEmpty() || SheetByName(name))
        throw TWorkbookError(QStringLiteral("Недопустимое имя листа: %1").arg(name));
    int n = 1;
    std::string part;
    auto taken = [&](const std::string &p) {
        if (FParts.count(p))
            return true;
        for (const auto &s : FSheets)
            if (s->FPartName == p)
                return true;
        return false;
    };
    do
        part = XlsxResolveTarget(FWorkbookPart, "worksheets/sheet" + std::to_string(n++) + ".xml");
    while (taken(part));
    pugi::xml_node rel = AddRelationship(*FWorkbookRels, "worksheet", XlsxAbsoluteTarget(part));
    pugi::xml_node sheets = FWorkbookDoc->child("workbook").child("sheets");
    int sheetId = 1;
    for (pugi::xml_node s : sheets.children("sheet"))
        sheetId = std::max(sheetId, s.attribute("sheetId").as_int() + 1);
    pugi::xml_node entry = sheets.append_child("sheet");
    entry.append_attribute("name") = Std(name).c_str();
    entry.append_attribute("sheetId") = sheetId;
    entry.append_attribute("r:id") = rel.attribute("Id").value();
    pugi::xml_node o = FContentTypes->child("Types").append_child("Override");
    o.append_attribute("PartName") = ("/" + part).c_str();
    o.append_attribute("ContentType") = SheetContentType;
    auto sheet = std::unique_ptr<TXlsxSheet>(new TXlsxSheet(this, name, part));
    sheet->Load(EmptySheetXml);
    FSheetRels[part] = std::make_unique<pugi::xml_document>();
    FSheets.push_back(std::move(sheet));
    return FSheets.back().get();
}

int TXlsxWorkbook::XfCount() const
{
    return int(FXfNumberFormats.size());
}

QString TXlsxWorkbook::NumberFormatOfStyle(int style) const
{
    return style >= 0 && style < XfCount() ? FXfNumberFormats[size_t(style)] : QStringLiteral("General");
}

bool TXlsxWorkbook::IsTextStyle(int style) const
{
    return NumberFormatOfStyle(style) == QLatin1String("@");
}

bool TXlsxWorkbook::IsGeneralStyle(int style) const
{
    return NumberFormatOfStyle(style).compare(QLatin1String("General"), Qt::CaseInsensitive) == 0;
}

int TXlsxWorkbook::NumberFormatId(const QString &code)
{
    if (code.isEmpty() || code.compare(QLatin1String("General"), Qt::CaseInsensitive) == 0)
        return 0;
    if (code == QLatin1String("@"))
        return 49;
    auto known = FNumberFormatIds.find(code);
    if (known != FNumberFormatIds.end())
        return known->second;
    int id = 164;
    for (const auto &entry : FCustomFormats)
        id = std::max(id, entry.first + 1);
    pugi::xml_node sheet = FStyles->child("styleSheet");
    pugi::xml_node formats = sheet.child("numFmts");
    if (!formats)
        formats = sheet.prepend_child("numFmts");
    pugi::xml_node f = formats.append_child("numFmt");
    f.append_attribute("numFmtId") = id;
    f.append_attribute("formatCode") = Std(code).c_str();
    SetCount(formats);
    FNumberFormatIds[code] = id;
    FCustomFormats[id] = code;
    return id;
}

int TXlsxWorkbook::StyleWithNumberFormat(int style, const QString &code)
{
    const auto key = std::make_pair(style, code);
    auto known = FDerivedStyles.find(key);
    if (known != FDerivedStyles.end())
        return known->second;
    const int formatId = NumberFormatId(code);
    pugi::xml_node xfs = FStyles->child("styleSheet").child("cellXfs");
    pugi::xml_node base;
    int index = 0;
    for (pugi::xml_node xf : xfs.children("xf"))
        if (index++ == style)
            base = xf;
    pugi::xml_node xf = base ? xfs.append_copy(base) : xfs.append_child("xf");
    for (const char *name : {"numFmtId", "applyNumberFormat"})
        if (!xf.attribute(name))
            xf.append_attribute(name);
    xf.attribute("numFmtId") = formatId;
    xf.attribute("applyNumberFormat") = 1;
    SetCount(xfs);
    FXfNumberFormats.push_back(code);
    const int derived = XfCount() - 1;
    FDerivedStyles[key] = derived;
    return derived;
}

std::string TXlsxWorkbook::FontXml(const TXlsxFont &font, const char *element) const
{
    const bool run = std::strcmp(element, "rPr") == 0;
    std::string xml = std::string("<") + element + ">";
    if (font.Bold)
        xml += "<b/>";
    if (font.Italic)
        xml += "<i/>";
    if (font.Underline)
        xml += "<u/>";
    if (font.Size > 0) {
        xml += "<sz val=\"";
        XlsxAppendDouble(xml, font.Size);
        xml += "\"/>";
    }
    if (!font.Color.isEmpty()) {
        xml += "<color rgb=\"";
        XlsxAppendEscaped(xml, font.Color);
        xml += "\"/>";
    }
    if (!font.Name.isEmpty()) {
        xml += run ? "<rFont val=\"" : "<name val=\"";
        XlsxAppendEscaped(xml, font.Name);
        xml += "\"/><family val=\"2\"/>";
    }
    return xml + "</" + element + ">";
}

TXlsxFont TXlsxWorkbook::ParseFont(const std::string &props)
{
    TXlsxFont font;
    pugi::xml_document doc;
    if (props.empty() || !doc.load_buffer(props.data(), props.size()))
        return font;
    const pugi::xml_node node = doc.first_child();
    font.Bold = node.child("b") && node.child("b").attribute("val").as_bool(true);
    font.Italic = node.child("i") && node.child("i").attribute("val").as_bool(true);
    font.Underline = bool(node.child("u"));
    font.Size = node.child("sz").attribute("val").as_double();
    font.Color = Utf8(node.child("color").attribute("rgb").value());
    font.Name = Utf8((node.child("rFont") ? node.child("rFont") : node.child("name")).attribute("val").value());
    return font;
}

int TXlsxWorkbook::AddStyle(const TXlsxStyle &style)
{
    pugi::xml_node sheet = FStyles->child("styleSheet");
    auto append = [&](const char *listName, const std::string &xml) {
        pugi::xml_node list = sheet.child(listName);
        pugi::xml_document piece;
        piece.load_buffer(xml.data(), xml.size());
        pugi::xml_node added = list.append_copy(piece.first_child());
        SetCount(list);
        return ElementIndex(list, added);
    };
    const int fontId = append("fonts", FontXml(style.Font, "font"));
    int fillId = 0;
    if (!style.FillColor.isEmpty())
        fillId = append("fills", "<fill><patternFill patternType=\"solid\"><fgColor rgb=\"" + Std(style.FillColor)
                                     + "\"/><bgColor indexed=\"64\"/></patternFill></fill>");
    int borderId = 0;
    if (style.Border) {
        std::string xml = "<border>";
        for (const char *side : {"left", "right", "top", "bottom"})
            xml += std::string("<") + side + " style=\"thin\"><color indexed=\"64\"/></" + side + ">";
        borderId = append("borders", xml + "<diagonal/></border>");
    }
    const int formatId = NumberFormatId(style.NumberFormat);
    std::string xf = "<xf numFmtId=\"" + std::to_string(formatId) + "\" fontId=\"" + std::to_string(fontId)
        + "\" fillId=\"" + std::to_string(fillId) + "\" borderId=\"" + std::to_string(borderId)
        + "\" xfId=\"0\" applyNumberFormat=\"1\" applyFont=\"1\" applyFill=\"1\" applyBorder=\"1\""
          " applyAlignment=\"1\"><alignment";
    static const char *const horizontal[] = {nullptr, "left", "center", "right"};
    static const char *const vertical[] = {"bottom", "center", "top"};
    if (horizontal[int(style.HAlign)])
        xf += std::string(" horizontal=\"") + horizontal[int(style.HAlign)] + "\"";
    xf += std::string(" vertical=\"") + vertical[int(style.VAlign)] + "\"";
    if (style.Wrap)
        xf += " wrapText=\"1\"";
    xf += "/></xf>";
    const int index = append("cellXfs", xf);
    FXfNumberFormats.push_back(style.NumberFormat.isEmpty() ? QStringLiteral("General") : style.NumberFormat);
    return index;
}

void TXlsxWorkbook::SetDefinedName(const QString &name, const QString &formula, int localSheet)
{
    const int local = localSheet - 1;
    for (TName &n : FNames)
        if (n.LocalSheet == local && n.Name.compare(name, Qt::CaseInsensitive) == 0) {
            n.Formula = formula;
            return;
        }
    TName n;
    n.Name = name;
    n.Formula = formula;
    n.LocalSheet = local;
    FNames.push_back(n);
}

QString TXlsxWorkbook::DefinedName(const QString &name, int localSheet) const
{
    for (const TName &n : FNames)
        if (n.LocalSheet == localSheet - 1 && n.Name.compare(name, Qt::CaseInsensitive) == 0)
            return n.Formula;
    return QString();
}

void TXlsxWorkbook::ShiftNames(const TXlsxSheet &sheet, const TXlsxRowShift &shift)
{
    for (TName &n : FNames)
        n.Formula = sheet.ShiftedFormula(n.Formula, sheet.Name(), false, shift);
}

void TXlsxWorkbook::ShiftForeignFormulas(const TXlsxSheet &sheet, const TXlsxRowShift &shift)
{
    for (const auto &other : FSheets) {
        if (other.get() == &sheet)
            continue;
        for (int id : other->FQualified) {
            TXlsxSheet::TFormula &formula = other->FFormulas[size_t(id)];
            if (formula.Live)
                formula.Text = sheet.ShiftedFormula(formula.Text, sheet.Name(), false, shift);
        }
    }
}

namespace {

std::string TextItemXml(const QString &plain, const std::vector<std::pair<QString, std::string>> &runs)
{
    std::string xml = "<si>";
    auto appendT = [&](const QString &text) {
        const bool preserve = !text.isEmpty() && (text[0].isSpace() || text[text.size() - 1].isSpace());
        xml += preserve ? "<t xml:space=\"preserve\">" : "<t>";
        XlsxAppendEscaped(xml, text);
        xml += "</t>";
    };
    if (runs.empty()) {
        appendT(plain);
    } else {
        for (const auto &run : runs) {
            xml += "<r>";
            xml += run.second;
            appendT(run.first);
            xml += "</r>";
        }
    }
    return xml + "</si>";
}

std::string VmlShape(int shapeId, int row, int col)
{
    std::string xml = "<v:shape id=\"_x0000_s" + std::to_string(shapeId)
        + "\" type=\"#_x0000_t202\" style=\"position:absolute;margin-left:80pt;margin-top:2pt;"
          "width:120pt;height:60pt;z-index:1;visibility:hidden\" fillcolor=\"#ffffe1\" o:insetmode=\"auto\">"
          "<v:fill color2=\"#ffffe1\"/><v:shadow on=\"t\" color=\"black\" obscured=\"t\"/>"
          "<v:path o:connecttype=\"none\"/><v:textbox style=\"mso-direction-alt:auto\">"
          "<div style=\"text-align:left\"></div></v:textbox><x:ClientData ObjectType=\"Note\">"
          "<x:MoveWithCells/><x:SizeWithCells/><x:Anchor>";
    xml += std::to_string(col) + ", 15, " + std::to_string(std::max(0, row - 2)) + ", 10, "
        + std::to_string(col + 2) + ", 15, " + std::to_string(row + 2) + ", 4</x:Anchor>";
    xml += "<x:AutoFill>False</x:AutoFill><x:Row>" + std::to_string(row - 1) + "</x:Row><x:Column>"
        + std::to_string(col - 1) + "</x:Column></x:ClientData></v:shape>";
    return xml;
}

}  // namespace

void TXlsxWorkbook::SaveAs(const QString &fileName) const
{
    const QFileInfo target(fileName);
    if (!FFileName.isEmpty()
        && (target.absoluteFilePath() == FFileName
            || (target.exists() && target.canonicalFilePath() == QFileInfo(FFileName).canonicalFilePath())))
        throw TWorkbookError(QStringLiteral("Книга %1 открыта только для чтения и не перезаписывается").arg(FFileName));

    // Shared strings: every text in use, each distinct one written once.
    std::vector<int> textIndex(FTexts.size(), -1);
    std::unordered_map<std::string, int> distinct;
    std::string sst;
    long long total = 0;
    for (const auto &sheet : FSheets)
        for (const auto &row : sheet->FRows) {
            if (!row)
                continue;
            for (const TXlsxSheet::TCell &cell : row->Cells) {
                if (cell.Kind != TXlsxSheet::TCell::Text)
                    continue;
                ++total;
                int &index = textIndex[size_t(cell.V.Text)];
                if (index >= 0)
                    continue;
                const TText &text = FTexts[size_t(cell.V.Text)];
                std::vector<std::pair<QString, std::string>> runs;
                for (const TRunData &run : text.Runs)
                    runs.emplace_back(run.Text, run.Props);
                auto inserted = distinct.emplace(TextItemXml(text.Plain, runs), int(distinct.size()));
                if (inserted.second)
                    sst += inserted.first->first;
                index = inserted.first->second;
            }
        }

    TXlsxParts out;
    pugi::xml_document types;
    types.reset(*FContentTypes);
    pugi::xml_document workbookRels;
    workbookRels.reset(*FWorkbookRels);
    pugi::xml_document workbook;
    workbook.reset(*FWorkbookDoc);
    std::set<std::string> commentParts;

    std::vector<std::pair<std::string, std::string>> generated;
    for (size_t k = 0; k < FSheets.size(); ++k) {
        const TXlsxSheet &sheet = *FSheets[k];
        pugi::xml_document rels;
        auto known = FSheetRels.find(sheet.FPartName);
        if (known != FSheetRels.end())
            rels.reset(*known->second);
        std::string legacyId;
        std::vector<std::tuple<int, int, int>> notes;
        for (size_t i = 0; i < sheet.FRows.size(); ++i)
            if (sheet.FRows[i])
                for (const TXlsxSheet::TCell &cell : sheet.FRows[i]->Cells)
                    if (cell.Comment >= 0)
                        notes.emplace_back(int(i) + 1, cell.Col, cell.Comment);
        if (!notes.empty()) {
            const std::string number = std::to_string(k + 1);
            std::string commentsPart = XlsxResolveTarget(FWorkbookPart, "comments" + number + ".xml");
            std::string vmlPart = XlsxResolveTarget(FWorkbookPart, "drawings/vmlDrawing" + number + ".vml");
            std::vector<QString> authors;
            std::string list;
            for (const auto &[row, col, note] : notes) {
                const TNote &n = FNotes[size_t(note)];
                auto found = std::find(authors.begin(), authors.end(), n.Author);
                const size_t author = size_t(found - authors.begin());
                if (found == authors.end())
                    authors.push_back(n.Author);
                list += "<comment ref=\"";
                XlsxAppendCellName(list, col, row);
                list += "\" authorId=\"" + std::to_string(author) + "\"><text>";
                list += TextItemXml(n.Text, {}).substr(4);
                list.resize(list.size() - 5);
                list += "</text></comment>";
            }
            std::string comments = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                                   "<comments xmlns=\"" + std::string(MainNs) + "\"><authors>";
            for (const QString &author : authors) {
                comments += "<author>";
                XlsxAppendEscaped(comments, author);
                comments += "</author>";
            }
            comments += "</authors><commentList>" + list + "</commentList></comments>";
            std::string vml = "<xml xmlns:v=\"urn:schemas-microsoft-com:vml\" "
                              "xmlns:o=\"urn:schemas-microsoft-com:office:office\" "
                              "xmlns:x=\"urn:schemas-microsoft-com:office:excel\">"
                              "<o:shapelayout v:ext=\"edit\"><o:idmap v:ext=\"edit\" data=\"" + number
                + "\"/></o:shapelayout><v:shapetype id=\"_x0000_t202\" coordsize=\"21600,21600\" o:spt=\"202\" "
                  "path=\"m,l,21600r21600,l21600,xe\"><v:stroke joinstyle=\"miter\"/>"
                  "<v:path gradientshapeok=\"t\" o:connecttype=\"rect\"/></v:shapetype>";
            int shape = int(k + 1) * 1024 + 1;
            for (const auto &[row, col, note] : notes)
                vml += VmlShape(shape++, row, col);
            vml += "</xml>";
            AddRelationship(rels, "comments", XlsxAbsoluteTarget(commentsPart));
            legacyId = AddRelationship(rels, "vmlDrawing", XlsxAbsoluteTarget(vmlPart)).attribute("Id").value();
            commentParts.insert(commentsPart);
            generated.emplace_back(commentsPart, std::move(comments));
            generated.emplace_back(vmlPart, std::move(vml));
        }
        generated.emplace_back(sheet.FPartName, sheet.Save(textIndex, legacyId));
        if (rels.child("Relationships").first_child())
            generated.emplace_back(XlsxRelsPartOf(sheet.FPartName), XlsxXmlText(rels));
    }

    const std::string sstPart =
        FSharedStringsPart.empty() ? XlsxResolveTarget(FWorkbookPart, "sharedStrings.xml") : FSharedStringsPart;
    generated.emplace_back(sstPart, "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<sst xmlns=\""
                                        + std::string(MainNs) + "\" count=\"" + std::to_string(total)
                                        + "\" uniqueCount=\"" + std::to_string(distinct.size()) + "\">" + sst
                                        + "</sst>");
    pugi::xml_node relList = workbookRels.child("Relationships");
    bool hasSst = false;
    for (pugi::xml_node rel = relList.first_child(); rel;) {
        pugi::xml_node next = rel.next_sibling();
        if (IsRelType(rel, "calcChain"))
            relList.remove_child(rel);
        else if (IsRelType(rel, "sharedStrings"))
            hasSst = true;
        rel = next;
    }
    if (!hasSst)
        AddRelationship(workbookRels, "sharedStrings", XlsxAbsoluteTarget(sstPart));

    pugi::xml_node root = workbook.child("workbook");
    if (!FNames.empty()) {
        pugi::xml_node names = XlsxInsertOrdered(root, "definedNames", XlsxWorkbookOrder());
        for (const TName &n : FNames) {
            pugi::xml_node node = names.append_child("definedName");
            node.append_attribute("name") = Std(n.Name).c_str();
            if (n.LocalSheet >= 0)
                node.append_attribute("localSheetId") = n.LocalSheet;
            for (const auto &attr : n.Attributes)
                node.append_attribute(attr.first.c_str()) = attr.second.c_str();
            node.text().set(Std(n.Formula).c_str());
        }
    }
    // Formulas were moved and written without results: have them computed on opening.
    pugi::xml_node calc = root.child("calcPr");
    if (!calc)
        calc = XlsxInsertOrdered(root, "calcPr", XlsxWorkbookOrder());
    if (!calc.attribute("fullCalcOnLoad"))
        calc.append_attribute("fullCalcOnLoad");
    calc.attribute("fullCalcOnLoad") = 1;

    generated.emplace_back(FWorkbookPart, XlsxXmlText(workbook));
    generated.emplace_back(XlsxRelsPartOf(FWorkbookPart), XlsxXmlText(workbookRels));
    generated.emplace_back(FStylesPart, XlsxXmlText(*FStyles));

    std::set<std::string> present;
    for (const auto &part : FParts)
        present.insert(part.first);
    for (const auto &part : generated)
        present.insert(part.first);
    pugi::xml_node typeList = types.child("Types");
    bool hasVml = false;
    std::set<std::string> overridden;
    for (pugi::xml_node t = typeList.first_child(); t;) {
        pugi::xml_node next = t.next_sibling();
        if (std::strcmp(t.name(), "Override") == 0) {
            const std::string part = XlsxResolveTarget("", t.attribute("PartName").value());
            if (!present.count(part))
                typeList.remove_child(t);
            else
                overridden.insert(part);
        } else if (std::strcmp(t.name(), "Default") == 0
                   && std::strcmp(t.attribute("Extension").value(), "vml") == 0) {
            hasVml = true;
        }
        t = next;
    }
    auto addOverride = [&](const std::string &part, const char *type) {
        if (overridden.count(part))
            return;
        pugi::xml_node o = typeList.append_child("Override");
        o.append_attribute("PartName") = ("/" + part).c_str();
        o.append_attribute("ContentType") = type;
    };
    addOverride(sstPart, SharedStringsContentType);
    for (const std::string &part : commentParts)
        addOverride(part, CommentsContentType);
    if (!hasVml && !commentParts.empty()) {
        pugi::xml_node d = typeList.prepend_child("Default");
        d.append_attribute("Extension") = "vml";
        d.append_attribute("ContentType") = VmlContentType;
    }

    out.emplace_back("[Content_Types].xml", XlsxXmlText(types));
    for (auto &part : generated)
        out.push_back(std::move(part));
    for (const std::string &name : FPartOrder) {
        auto it = FParts.find(name);
        if (it != FParts.end())
            out.emplace_back(it->first, it->second);
    }

    const QString temporary = target.absoluteFilePath() + QStringLiteral(".part");
    XlsxWritePackage(temporary, out);
    QFile::remove(target.absoluteFilePath());
    if (!QFile::rename(temporary, target.absoluteFilePath())) {
        QFile::remove(temporary);
        throw TWorkbookError(QStringLiteral("Не удалось записать книгу %1").arg(target.absoluteFilePath()));
    }
}
