#pragma once
// The ZIP package and XML plumbing under the workbook layer.
#include <QString>

#include <pugixml.hpp>

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

using TXlsxParts = std::vector<std::pair<std::string, std::string>>;  // name, bytes

// Reads every entry of a ZIP file; raises TWorkbookError when it cannot.
TXlsxParts XlsxReadPackage(const QString &fileName);
// Writes the entries as a new ZIP file (deflated).
void XlsxWritePackage(const QString &fileName, const TXlsxParts &parts);

// Parses XML text, keeping single whitespace texts such as "<t> </t>".
void XlsxParseXml(pugi::xml_document &doc, const std::string &xml, const std::string &partName);
// The document as compact text with the usual workbook declaration.
std::string XlsxXmlText(const pugi::xml_document &doc);

// Appends text as UTF-8 with XML escapes; a carriage return is kept as a
// character reference so that it survives reading.
void XlsxAppendEscaped(std::string &out, const QString &text);
void XlsxAppendEscaped(std::string &out, const std::string &utf8);
// Decodes the "_x000D_" escapes that spreadsheet files use in texts.
QString XlsxDecodeText(const char *utf8);

// Adds a child element so that the children keep the order in `order`.
pugi::xml_node XlsxInsertOrdered(pugi::xml_node parent, const char *name,
                                 const std::vector<const char *> &order);
// Child elements of a worksheet and of a workbook, in the order the format requires.
const std::vector<const char *> &XlsxWorksheetOrder();
const std::vector<const char *> &XlsxWorkbookOrder();

// Resolves a relationship target against the part that holds the relationship.
std::string XlsxResolveTarget(const std::string &sourcePart, const std::string &target);
// "xl/worksheets/_rels/sheet1.xml.rels" for "xl/worksheets/sheet1.xml".
std::string XlsxRelsPartOf(const std::string &part);
// The target of `part` as written in a relationship (absolute within the package).
std::string XlsxAbsoluteTarget(const std::string &part);

void XlsxAppendInt(std::string &out, long long value);
void XlsxAppendDouble(std::string &out, double value);
void XlsxAppendCellName(std::string &out, int col, int row);
