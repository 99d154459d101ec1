#include "platform/XlsxPackage.h"

#include "platform/XlsxWorkbook.h"

#include <QFile>
#include <QFileInfo>

#include <zip.h>

#include <charconv>
#include <cmath>
#include <cstring>

namespace {

QString ZipErrorText(int code)
{
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    const QString text = QString::fromUtf8(zip_error_strerror(&error));
    zip_error_fini(&error);
    return text;
}

struct TStringWriter : pugi::xml_writer {
    std::string Out;
    void write(const void *data, size_t size) override
    {
        Out.append(static_cast<const char *>(data), size);
    }
};

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

}  // namespace

TXlsxParts XlsxReadPackage(const QString &fileName)
{
    if (!QFileInfo(fileName).isFile())
        throw TWorkbookError(QStringLiteral("Файл книги не найден: %1").arg(fileName));
    int code = 0;
    zip_t *archive = zip_open(QFile::encodeName(fileName).constData(), ZIP_RDONLY, &code);
    if (!archive)
        throw TWorkbookError(QStringLiteral("Не удалось прочитать книгу %1: %2")
                                 .arg(fileName, ZipErrorText(code)));
    TXlsxParts parts;
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t stat;
        zip_file_t *file = nullptr;
        std::string bytes;
        bool ok = zip_stat_index(archive, zip_uint64_t(i), 0, &stat) == 0
            && (file = zip_fopen_index(archive, zip_uint64_t(i), 0)) != nullptr;
        if (ok) {
            bytes.resize(size_t(stat.size));
            ok = zip_fread(file, bytes.data(), stat.size) == zip_int64_t(stat.size);
        }
        if (file)
            zip_fclose(file);
        if (!ok) {
            const QString reason = QString::fromUtf8(zip_strerror(archive));
            zip_discard(archive);
            throw TWorkbookError(QStringLiteral("Не удалось прочитать книгу %1: %2")
                                     .arg(fileName, reason));
        }
        const size_t nameLength = std::strlen(stat.name);
        if (nameLength > 0 && stat.name[nameLength - 1] != '/')  // folders are no parts
            parts.emplace_back(stat.name, std::move(bytes));
    }
    zip_discard(archive);
    return parts;
}

void XlsxWritePackage(const QString &fileName, const TXlsxParts &parts)
{
    int code = 0;
    zip_t *archive = zip_open(QFile::encodeName(fileName).constData(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    if (!archive)
        throw TWorkbookError(QStringLiteral("Не удалось записать книгу %1: %2")
                                 .arg(fileName, ZipErrorText(code)));
    auto fail = [&]() {
        const QString reason = QString::fromUtf8(zip_strerror(archive));
        zip_discard(archive);
        QFile::remove(fileName);
        throw TWorkbookError(QStringLiteral("Не удалось записать книгу %1: %2").arg(fileName, reason));
    };
    for (const auto &part : parts) {
        zip_source_t *source = zip_source_buffer(archive, part.second.data(), part.second.size(), 0);
        if (!source)
            fail();
        const zip_int64_t index = zip_file_add(archive, part.first.c_str(), source,
                                               ZIP_FL_OVERWRITE | ZIP_FL_ENC_UTF_8);
        if (index < 0) {
            zip_source_free(source);
            fail();
        }
        // The fastest deflate level: report sheets are large and repetitive,
        // so the files stay small while saving stays quick.
        if (zip_set_file_compression(archive, zip_uint64_t(index), ZIP_CM_DEFLATE, 1) != 0)
            fail();
    }
    if (zip_close(archive) != 0)
        fail();
}

void XlsxParseXml(pugi::xml_document &doc, const std::string &xml, const std::string &partName)
{
    const pugi::xml_parse_result result =
        doc.load_buffer(xml.data(), xml.size(), pugi::parse_default | pugi::parse_ws_pcdata_single);
    if (!result)
        throw TWorkbookError(QStringLiteral("Книга повреждена: часть %1 не читается (%2)")
                                 .arg(QString::fromStdString(partName), QString::fromUtf8(result.description())));
}

std::string XlsxXmlText(const pugi::xml_document &doc)
{
    TStringWriter writer;
    writer.Out = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
    doc.save(writer, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
    return std::move(writer.Out);
}

void XlsxAppendEscaped(std::string &out, const std::string &utf8)
{
    for (const char c : utf8) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\r': out += "&#13;"; break;
        default:
            if (static_cast<unsigned char>(c) >= 0x20 || c == '\t' || c == '\n')
                out += c;
        }
    }
}

void XlsxAppendEscaped(std::string &out, const QString &text)
{
    XlsxAppendEscaped(out, text.toUtf8().toStdString());
}

QString XlsxDecodeText(const char *utf8)
{
    QString text = QString::fromUtf8(utf8);
    if (!text.contains(QLatin1String("_x")))
        return text;
    QString out;
    out.reserve(text.size());
    for (int i = 0; i < text.size(); ++i) {
        if (text[i] == '_' && i + 6 < text.size() && text[i + 1] == 'x' && text[i + 6] == '_') {
            int value = 0;
            bool hex = true;
            for (int k = 2; k < 6 && hex; ++k) {
                const int digit = HexValue(char(text[i + k].unicode()));
                hex = digit >= 0;
                value = value * 16 + digit;
            }
            if (hex) {
                out += QChar(value);
                i += 6;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

pugi::xml_node XlsxInsertOrdered(pugi::xml_node parent, const char *name,
                                 const std::vector<const char *> &order)
{
    auto rank = [&](const char *element) {
        for (size_t i = 0; i < order.size(); ++i)
            if (std::strcmp(order[i], element) == 0)
                return int(i);
        return int(order.size());
    };
    const int own = rank(name);
    for (pugi::xml_node child = parent.first_child(); child; child = child.next_sibling())
        if (child.type() == pugi::node_element && rank(child.name()) > own)
            return parent.insert_child_before(name, child);
    return parent.append_child(name);
}

const std::vector<const char *> &XlsxWorksheetOrder()
{
    static const std::vector<const char *> order = {
        "sheetPr", "dimension", "sheetViews", "sheetFormatPr", "cols", "sheetData", "sheetCalcPr",
        "sheetProtection", "protectedRanges", "scenarios", "autoFilter", "sortState",
        "dataConsolidate", "customSheetViews", "mergeCells", "phoneticPr", "conditionalFormatting",
        "dataValidations", "hyperlinks", "printOptions", "pageMargins", "pageSetup", "headerFooter",
        "rowBreaks", "colBreaks", "customProperties", "cellWatches", "ignoredErrors", "smartTags",
        "drawing", "legacyDrawing", "legacyDrawingHF", "drawingHF", "picture", "oleObjects",
        "controls", "webPublishItems", "tableParts", "extLst"};
    return order;
}

const std::vector<const char *> &XlsxWorkbookOrder()
{
    static const std::vector<const char *> order = {
        "fileVersion", "fileSharing", "workbookPr", "workbookProtection", "bookViews", "sheets",
        "functionGroups", "externalReferences", "definedNames", "calcPr", "oleSize",
        "customWorkbookViews", "pivotCaches", "smartTagPr", "smartTagTypes", "webPublishing",
        "fileRecoveryPr", "webPublishObjects", "extLst"};
    return order;
}

std::string XlsxResolveTarget(const std::string &sourcePart, const std::string &target)
{
    if (!target.empty() && target[0] == '/')
        return target.substr(1);
    std::vector<std::string> pieces;
    const size_t slash = sourcePart.rfind('/');
    std::string path = (slash == std::string::npos ? std::string() : sourcePart.substr(0, slash + 1)) + target;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('/', start);
        if (end == std::string::npos)
            end = path.size();
        const std::string piece = path.substr(start, end - start);
        if (piece == "..") {
            if (!pieces.empty())
                pieces.pop_back();
        } else if (!piece.empty() && piece != ".") {
            pieces.push_back(piece);
        }
        start = end + 1;
    }
    std::string result;
    for (const std::string &piece : pieces)
        result += (result.empty() ? "" : "/") + piece;
    return result;
}

std::string XlsxRelsPartOf(const std::string &part)
{
    const size_t slash = part.rfind('/');
    const std::string dir = slash == std::string::npos ? std::string() : part.substr(0, slash + 1);
    const std::string file = slash == std::string::npos ? part : part.substr(slash + 1);
    return dir + "_rels/" + file + ".rels";
}

std::string XlsxAbsoluteTarget(const std::string &part)
{
    return "/" + part;
}

void XlsxAppendInt(std::string &out, long long value)
{
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

void XlsxAppendDouble(std::string &out, double value)
{
    if (!std::isfinite(value))
        value = 0;
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

void XlsxAppendCellName(std::string &out, int col, int row)
{
    char letters[4];
    int n = 0;
    while (col > 0 && n < 4) {
        letters[n++] = char('A' + (col - 1) % 26);
        col = (col - 1) / 26;
    }
    while (n > 0)
        out += letters[--n];
    XlsxAppendInt(out, row);
}
