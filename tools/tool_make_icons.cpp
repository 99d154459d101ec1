// Draws the 24x24 command icons into shell/icons/ and writes shell/icons.qrc.
// Run after changing a drawing:  tool_make_icons [source folder]
// One drawing style for all: a dark outline of 1.5 units, a flat fill in the
// colour of the command's group, and a small badge (plus, arrow, sign) where
// a command acts on an object.
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QTextStream>

#include <functional>
#include <map>

namespace {

const QColor Outline(0x2b, 0x3a, 0x4a);
const QColor Vehicle(0x3d, 0x7e, 0xd6);
const QColor Money(0x3f, 0xa3, 0x4d);
const QColor Place(0xf0, 0x9a, 0x22);
const QColor Tariff(0x8e, 0x5b, 0xc8);
const QColor Person(0x2a, 0xa1, 0x98);
const QColor Report(0xb0, 0x7a, 0x4a);
const QColor Sheet(0xfb, 0xfb, 0xf7);
const QColor Window(0x9a, 0xb0, 0xc8);
const QColor Go(0x2e, 0xa0, 0x43);
const QColor Stop(0xd9, 0x3a, 0x32);

void Style(QPainter &p, const QColor &fill, qreal width = 1.5)
{
    p.setPen(QPen(Outline, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(fill);
}

void Car(QPainter &p, qreal x, qreal y, qreal s = 1)
{
    p.save();
    p.translate(x, y);
    p.scale(s, s);
    QPainterPath body;
    body.moveTo(1, 12);
    body.lineTo(1, 9);
    body.lineTo(4, 8.5);
    body.lineTo(7, 4.5);
    body.lineTo(14, 4.5);
    body.lineTo(17.5, 8.5);
    body.lineTo(20, 9);
    body.lineTo(20, 12);
    body.closeSubpath();
    Style(p, Vehicle);
    p.drawPath(body);
    Style(p, Sheet, 1);
    p.drawRect(QRectF(8, 6, 2.8, 2.5));
    p.drawRect(QRectF(11.8, 6, 2.8, 2.5));
    Style(p, Outline);
    p.drawEllipse(QPointF(5.5, 12.5), 2.2, 2.2);
    p.drawEllipse(QPointF(15.5, 12.5), 2.2, 2.2);
    p.restore();
}

void SheetWithLines(QPainter &p, const QRectF &r, int lines = 3)
{
    Style(p, Sheet);
    p.drawRoundedRect(r, 1.5, 1.5);
    p.setPen(QPen(Outline, 1.2, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < lines; ++i) {
        const qreal y = r.top() + 4 + i * 3.5;
        p.drawLine(QPointF(r.left() + 3, y), QPointF(r.right() - 3, y));
    }
}

void Plus(QPainter &p, qreal cx = 18, qreal cy = 18)
{
    Style(p, Go, 1.2);
    p.drawEllipse(QPointF(cx, cy), 5, 5);
    p.setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(cx - 2.6, cy), QPointF(cx + 2.6, cy));
    p.drawLine(QPointF(cx, cy - 2.6), QPointF(cx, cy + 2.6));
}

void Arrow(QPainter &p, QPointF from, QPointF to, const QColor &color)
{
    const QLineF line(from, to);
    QLineF back = QLineF(to, from);
    back.setLength(4.5);
    QPainterPath head;
    head.moveTo(to);
    head.lineTo(back.p2() + QPointF(-back.dy(), back.dx()) * 0.8);
    head.lineTo(back.p2() - QPointF(-back.dy(), back.dx()) * 0.8);
    head.closeSubpath();
    p.setPen(QPen(Outline, 4.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(line.p1(), back.p2());
    p.setPen(QPen(color, 2.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(line.p1(), back.p2());
    Style(p, color, 1.2);
    p.drawPath(head);
}

void TextBadge(QPainter &p, const QRectF &r, const QColor &fill, const QString &text, bool round = true)
{
    Style(p, fill, 1.2);
    if (round)
        p.drawEllipse(r);
    else
        p.drawRoundedRect(r, 1.5, 1.5);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setBold(true);
    font.setPixelSize(int(r.height() * 0.75));
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(r, Qt::AlignCenter, text);
}

void PlaceSign(QPainter &p, const QRectF &r)
{
    TextBadge(p, r, Place, QStringLiteral("P"), false);
}

void Coin(QPainter &p, const QRectF &r)
{
    TextBadge(p, r, Money, QStringLiteral("₽"));
}

void Tag(QPainter &p)
{
    QPainterPath tag;
    tag.moveTo(3, 11);
    tag.lineTo(11, 3);
    tag.lineTo(20, 3);
    tag.lineTo(20, 12);
    tag.lineTo(12, 20);
    tag.closeSubpath();
    Style(p, Tariff);
    p.drawPath(tag);
    Style(p, Sheet, 1.2);
    p.drawEllipse(QPointF(16, 7), 1.6, 1.6);
}

void User(QPainter &p, qreal x = 0, qreal y = 0, const QColor &fill = Person)
{
    p.save();
    p.translate(x, y);
    Style(p, fill);
    QPainterPath shoulders;
    shoulders.moveTo(3, 21);
    shoulders.cubicTo(3, 14, 17, 14, 17, 21);
    shoulders.closeSubpath();
    p.drawPath(shoulders);
    p.drawEllipse(QPointF(10, 8), 4, 4);
    p.restore();
}

void Gear(QPainter &p)
{
    QPainterPath gear;
    const QPointF c(12, 12);
    for (int i = 0; i < 16; ++i) {
        const qreal r = (i % 2 == 0) ? 10 : 7.5;
        const qreal a = i * M_PI / 8;
        const QPointF pt = c + QPointF(std::cos(a) * r, std::sin(a) * r);
        const QPointF pt2 = c + QPointF(std::cos(a + M_PI / 8 * 0.6) * r, std::sin(a + M_PI / 8 * 0.6) * r);
        if (i == 0)
            gear.moveTo(pt);
        else
            gear.lineTo(pt);
        gear.lineTo(pt2);
    }
    gear.closeSubpath();
    Style(p, Window.darker(115));
    p.drawPath(gear);
    Style(p, Sheet);
    p.drawEllipse(c, 3, 3);
}

void ReportSheet(QPainter &p)
{
    Style(p, Sheet);
    p.drawRoundedRect(QRectF(3, 2, 14, 19), 1.5, 1.5);
    Style(p, Report, 1);
    p.drawRect(QRectF(5.5, 12, 2.5, 6));
    p.drawRect(QRectF(9, 8, 2.5, 10));
    p.drawRect(QRectF(12.5, 10, 2.5, 8));
}

void Win(QPainter &p, const QRectF &r)
{
    Style(p, Sheet, 1.2);
    p.drawRect(r);
    Style(p, Window, 1.2);
    p.drawRect(QRectF(r.left(), r.top(), r.width(), std::min<qreal>(3, r.height() / 3)));
}

void Cross(QPainter &p, QPointF c, qreal r, const QColor &color = Stop)
{
    p.setPen(QPen(Outline, 4.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c + QPointF(-r, -r), c + QPointF(r, r));
    p.drawLine(c + QPointF(-r, r), c + QPointF(r, -r));
    p.setPen(QPen(color, 2.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c + QPointF(-r, -r), c + QPointF(r, r));
    p.drawLine(c + QPointF(-r, r), c + QPointF(r, -r));
}

using TDrawing = std::function<void(QPainter &)>;

const std::map<QString, TDrawing> &Drawings()
{
    static const std::map<QString, TDrawing> drawings = {
        {"ActionAutoIn", [](QPainter &p) { Car(p, 0, 6, 0.8); PlaceSign(p, QRectF(15, 2, 8, 8)); Arrow(p, {2, 4}, {11, 4}, Go); }},
        {"ActionAutoOut", [](QPainter &p) { Car(p, 6, 6, 0.8); PlaceSign(p, QRectF(1, 2, 8, 8)); Arrow(p, {12, 4}, {22, 4}, Stop); }},
        {"ActionPaymentNew", [](QPainter &p) { Coin(p, QRectF(2, 2, 15, 15)); Plus(p); }},
        {"ActionPaymentsList", [](QPainter &p) { SheetWithLines(p, QRectF(3, 2, 14, 19), 4); Coin(p, QRectF(12, 12, 10, 10)); }},
        {"ActionAutoList", [](QPainter &p) { SheetWithLines(p, QRectF(3, 1, 15, 14), 3); Car(p, 3, 9, 0.9); }},
        {"ActionAutoNew", [](QPainter &p) { Car(p, 0, 3, 1); Plus(p); }},
        {"ActionPlacesList", [](QPainter &p) { SheetWithLines(p, QRectF(3, 2, 14, 19), 4); PlaceSign(p, QRectF(12, 12, 10, 10)); }},
        {"ActionPlaceNew", [](QPainter &p) { PlaceSign(p, QRectF(2, 2, 15, 15)); Plus(p); }},
        {"ActionServicesList", [](QPainter &p) { SheetWithLines(p, QRectF(3, 2, 14, 19), 4); p.save(); p.translate(11, 11); p.scale(0.55, 0.55); Tag(p); p.restore(); }},
        {"ActionServiceNew", [](QPainter &p) { p.save(); p.scale(0.85, 0.85); Tag(p); p.restore(); Plus(p); }},
        {"ActionUserList", [](QPainter &p) { User(p, 6, -1, Person.lighter(130)); User(p, 0, 2); }},
        {"ActionUserNew", [](QPainter &p) { User(p, 0, 0); Plus(p); }},
        {"ActionOptions", [](QPainter &p) { Gear(p); }},
        {"ActionReportAuto", [](QPainter &p) { ReportSheet(p); p.save(); p.translate(9, 13); p.scale(0.65, 0.65); Car(p, 0, 0); p.restore(); }},
        {"ActionReportSumma", [](QPainter &p) { ReportSheet(p); Coin(p, QRectF(12, 12, 10, 10)); }},
        {"ActionReportService", [](QPainter &p) { ReportSheet(p); PlaceSign(p, QRectF(12, 12, 10, 10)); }},
        {"ActionAbout", [](QPainter &p) { TextBadge(p, QRectF(2, 2, 20, 20), Vehicle, QStringLiteral("i")); }},
        {"ActionUserLogin", [](QPainter &p) {
             Style(p, Place); p.drawEllipse(QPointF(7, 12), 5, 5);
             p.setPen(QPen(Outline, 4.2, Qt::SolidLine, Qt::RoundCap)); p.drawLine(QPointF(12, 12), QPointF(21, 12));
             p.drawLine(QPointF(18, 12), QPointF(18, 16)); p.drawLine(QPointF(21, 12), QPointF(21, 15));
             p.setPen(QPen(Place, 2.2, Qt::SolidLine, Qt::RoundCap)); p.drawLine(QPointF(12, 12), QPointF(21, 12));
             p.drawLine(QPointF(18, 12), QPointF(18, 16)); p.drawLine(QPointF(21, 12), QPointF(21, 15));
             Style(p, Sheet, 1); p.drawEllipse(QPointF(6, 12), 1.6, 1.6); }},
        {"ActionChangeUser", [](QPainter &p) { User(p, -2, 2); Arrow(p, {13, 5}, {22, 5}, Go); Arrow(p, {22, 11}, {13, 11}, Vehicle); }},
        {"ActionFileExit", [](QPainter &p) {
             Style(p, Report); p.drawRect(QRectF(3, 2, 11, 20));
             Style(p, Outline); p.drawEllipse(QPointF(11, 12), 0.8, 0.8);
             Arrow(p, {11, 12}, {22, 12}, Stop); }},
        {"EditCopy1", [](QPainter &p) { SheetWithLines(p, QRectF(3, 2, 12, 15), 2); SheetWithLines(p, QRectF(9, 7, 12, 15), 3); }},
        {"EditCut1", [](QPainter &p) {
             p.setPen(QPen(Outline, 1.8, Qt::SolidLine, Qt::RoundCap)); p.drawLine(QPointF(7, 3), QPointF(15, 15)); p.drawLine(QPointF(17, 3), QPointF(9, 15));
             Style(p, Stop); p.drawEllipse(QPointF(7, 18), 3.2, 3.2); p.drawEllipse(QPointF(17, 18), 3.2, 3.2); }},
        {"EditPaste1", [](QPainter &p) {
             Style(p, Report); p.drawRoundedRect(QRectF(3, 3, 14, 18), 1.5, 1.5);
             Style(p, Window); p.drawRoundedRect(QRectF(7, 1.5, 6, 4), 1, 1);
             SheetWithLines(p, QRectF(10, 9, 11, 13), 3); }},
        {"EditDelete1", [](QPainter &p) { Cross(p, {12, 12}, 7); }},
        {"EditUndo1", [](QPainter &p) {
             QPainterPath arc; arc.moveTo(7, 9); arc.cubicTo(14, 4, 22, 9, 19, 17); arc.lineTo(16, 20);
             p.setBrush(Qt::NoBrush); p.setPen(QPen(Outline, 4.2, Qt::SolidLine, Qt::RoundCap)); p.drawPath(arc);
             p.setPen(QPen(Vehicle, 2.4, Qt::SolidLine, Qt::RoundCap)); p.drawPath(arc);
             QPainterPath head; head.moveTo(3, 11); head.lineTo(9, 4); head.lineTo(10, 13); head.closeSubpath();
             Style(p, Vehicle, 1.2); p.drawPath(head); }},
        {"WindowCascade1", [](QPainter &p) { Win(p, QRectF(2, 2, 12, 10)); Win(p, QRectF(6, 6, 12, 10)); Win(p, QRectF(10, 10, 12, 10)); }},
        {"WindowTileHorizontal1", [](QPainter &p) { Win(p, QRectF(2, 2, 20, 9)); Win(p, QRectF(2, 13, 20, 9)); }},
        {"WindowTileVertical1", [](QPainter &p) { Win(p, QRectF(2, 2, 9, 20)); Win(p, QRectF(13, 2, 9, 20)); }},
        {"WindowArrange1", [](QPainter &p) { for (int i = 0; i < 3; ++i) Win(p, QRectF(2 + i * 7, 16, 6, 5)); Win(p, QRectF(2, 2, 20, 11)); }},
        {"WindowMinimizeAll1", [](QPainter &p) {
             Win(p, QRectF(2, 2, 13, 10)); Win(p, QRectF(8, 6, 13, 10));
             Style(p, Vehicle, 1.2); p.drawRoundedRect(QRectF(3, 18, 18, 3.5), 1, 1); }},
        {"WindowClose1", [](QPainter &p) { Win(p, QRectF(2, 2, 20, 17)); Cross(p, {12, 13}, 3.5); }},
        {"ButtonDelete", [](QPainter &p) { SheetWithLines(p, QRectF(3, 2, 14, 19), 4); Cross(p, {17, 17}, 3.5); }},
        {"ButtonPrintCheck", [](QPainter &p) {
             Style(p, Sheet); p.drawRect(QRectF(6, 2, 12, 8));
             Style(p, Window); p.drawRoundedRect(QRectF(2, 9, 20, 9), 2, 2);
             SheetWithLines(p, QRectF(6, 14, 12, 8), 1); }},
        {"ButtonExportExcel", [](QPainter &p) { SheetWithLines(p, QRectF(7, 2, 14, 19), 4); TextBadge(p, QRectF(2, 8, 11, 11), Money.darker(120), QStringLiteral("X"), false); }},
    };
    return drawings;
}

QImage Draw(const TDrawing &drawing)
{
    // Drawn four times larger and scaled down, for smooth edges at 24 pixels.
    QImage big(96, 96, QImage::Format_ARGB32_Premultiplied);
    big.fill(Qt::transparent);
    QPainter p(&big);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(4, 4);
    drawing(p);
    p.end();
    return big.scaled(24, 24, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString source = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(TOLLVANE_SOURCE_DIR);
    QDir dir(source + QStringLiteral("/shell/icons"));
    if (!dir.mkpath(QStringLiteral(".")))
        return 1;
    QFile qrc(source + QStringLiteral("/shell/icons.qrc"));
    if (!qrc.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return 1;
    QTextStream out(&qrc);
    out << "<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n<qresource prefix=\"/icons\">\n";
    for (const auto &[name, drawing] : Drawings()) {
        if (!Draw(drawing).save(dir.filePath(name + QStringLiteral(".png"))))
            return 1;
        out << "    <file alias=\"" << name << ".png\">icons/" << name << ".png</file>\n";
    }
    out << "</qresource>\n</RCC>\n";
    return 0;
}
