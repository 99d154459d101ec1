// The grid layer: the typed in-memory table, sorting, value and custom
// filters, the empty-list text, grouping, focus across a reload and the row
// signals, on real widgets.
#include <QAbstractItemModel>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTreeView>
#include <QtTest>

#include <memory>

#include "platform/DataGrid.h"
#include "platform/GridFilterDialog.h"
#include "platform/TDateTime.h"
#include "tests/support/ModalAnswer.h"

namespace {

// ID, GOSNOMER(10), COLOR(30), PRICE, STATUS (hidden)
void DefineFields(TMemTable &table)
{
    table.AddField({"ID", TFieldKind::Integer, 0, "ID"});
    table.AddField({"GOSNOMER", TFieldKind::Text, 10, "Госномер"});
    table.AddField({"COLOR", TFieldKind::Text, 30, "Цвет"});
    table.AddField({"PRICE", TFieldKind::Currency, 0, "Стоимость"});
    table.AddField({"STATUS", TFieldKind::Integer, 0, "", false});
}

void FillRows(TMemTable &table)
{
    table.BeginUpdate();
    table.Clear();
    table.Append({1, "В200ВВ", "Синий", 150.0, 0});
    table.Append({2, "А100АА", "Красный", 90.5, 1});
    table.Append({3, "Е300ЕЕ", "синий", 300.0, 0});
    table.Append({4, "К400КК", "", 90.5, 1});
    table.Append({5, "М500ММ", "Белый", 1200.0, 0});
    table.EndUpdate();
}

QList<int> Keys(const TDataGrid &grid)
{
    QList<int> keys;
    for (int row : grid.ShownRows())
        keys << grid.Table()->Value(row, "ID").toInt();
    return keys;
}

QAction *MenuAction(QMenu *menu, const QString &text)
{
    for (QAction *a : menu->actions())
        if (a->text() == text)
            return a;
    return nullptr;
}

TFilterCondition Cond(TFieldKind kind, TFilterOperator op, const QString &text)
{
    TFilterCondition c;
    if (!ParseFilterValue(kind, op, text, c))
        qFatal("bad test value %s", qPrintable(text));
    return c;
}

// True when something is drawn in the middle of the viewport's top band, where
// an empty grid writes its text (an empty view draws nothing there).
bool TopBandPainted(QTreeView *view)
{
    const QImage image = view->viewport()->grab().toImage();
    const QRgb base = image.pixel(1, image.height() - 2);
    for (int y = 0; y < std::min(40, image.height()); ++y)
        for (int x = image.width() / 2 - 30; x < image.width() / 2 + 30; ++x)
            if (image.pixel(x, y) != base)
                return true;
    return false;
}

} // namespace

class TestGrid : public QObject {
    Q_OBJECT

    std::unique_ptr<TMemTable> FTable;
    std::unique_ptr<TDataGrid> FGrid;

private slots:
    void init()
    {
        FTable = std::make_unique<TMemTable>();
        DefineFields(*FTable);
        FillRows(*FTable);
        FGrid = std::make_unique<TDataGrid>(FTable.get());
        FGrid->resize(700, 400);
        FGrid->show();
        QVERIFY(QTest::qWaitForWindowExposed(FGrid.get()));
    }

    void cleanup()
    {
        FGrid.reset();
        FTable.reset();
    }

    void tableKeepsKindsAndWidths()
    {
        TMemTable table;
        table.AddField({"NAME", TFieldKind::Text, 5});
        table.AddField({"SUMMA", TFieldKind::Integer, 0});
        table.AddField({"WHEN", TFieldKind::DateTime, 0});
        table.AddField({"FLAG", TFieldKind::Boolean, 0});
        const int r = table.Append({"Длинный текст", 150.5});
        table.Append({"abc", 151.5, DateFromQt(QDate(2024, 3, 1)) + 0.5, true});
        table.Append({"x", 2.5});
        QCOMPARE(table.Value(r, "NAME").toString(), QString("Длинн"));
        QCOMPARE(table.Value(0, "SUMMA").toInt(), 150);   // half to even
        QCOMPARE(table.Value(1, "SUMMA").toInt(), 152);
        QCOMPARE(table.Value(2, "SUMMA").toInt(), 2);
        QVERIFY(table.Value(0, "WHEN").isNull());
        QCOMPARE(table.DisplayText(1, 2), QString("01.03.2024 12:00:00"));
        QCOMPARE(table.data(table.index(1, 3), Qt::CheckStateRole).toInt(), int(Qt::Checked));
        table.SetValue(1, "NAME", "замена текста");
        QCOMPARE(table.Value(1, "NAME").toString(), QString("замен"));
        QCOMPARE(table.Locate("NAME", "x"), 2);
        QCOMPARE(table.Locate("NAME", "нет"), -1);
        QCOMPARE(TMemTable::DefaultText(TFieldKind::Currency, 1234.5), QString("1") + QChar(0x00A0) + QString("234,50 ₽"));
    }

    void columnsCaptionsAndHidden()
    {
        QTreeView *view = FGrid->View();
        QCOMPARE(view->model()->headerData(1, Qt::Horizontal).toString(), QString("Госномер"));
        QVERIFY(view->isColumnHidden(4));
        QVERIFY(!view->isColumnHidden(1));
        QCOMPARE(view->selectionBehavior(), QAbstractItemView::SelectRows);
        QCOMPARE(view->editTriggers(), QAbstractItemView::NoEditTriggers);
        QCOMPARE(Keys(*FGrid), (QList<int>{1, 2, 3, 4, 5}));
    }

    void sortByHeaderClick()
    {
        QHeaderView *header = FGrid->View()->header();
        const int x = header->sectionViewportPosition(1) + 12;
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
        QCOMPARE(Keys(*FGrid), (QList<int>{2, 1, 3, 4, 5}));
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
        QCOMPARE(Keys(*FGrid), (QList<int>{5, 4, 3, 1, 2}));
        // Numbers sort as numbers; equal values keep the table's order.
        FGrid->SortBy("PRICE");
        QCOMPARE(Keys(*FGrid), (QList<int>{2, 4, 1, 3, 5}));
        FGrid->SortBy("");
        QCOMPARE(Keys(*FGrid), (QList<int>{1, 2, 3, 4, 5}));
    }

    void valueFilterMenu()
    {
        std::unique_ptr<QMenu> menu(FGrid->CreateFilterMenu("COLOR", nullptr));
        QStringList texts;
        for (QAction *a : menu->actions())
            if (!a->isSeparator())
                texts << a->text();
        // Distinct values, blanks left out, "синий" and "Синий" kept as one value.
        QCOMPARE(texts.mid(0, 4), (QStringList{"(Все)", "(Условие)", "(Пустые)", "(Не пустые)"}));
        QCOMPARE(texts.mid(4), (QStringList{"Белый", "Красный", "Синий"}));

        MenuAction(menu.get(), "Синий")->trigger();
        QCOMPARE(Keys(*FGrid), (QList<int>{1, 3}));
        QVERIFY(FGrid->FilterText().contains("Цвет равно Синий"));
        QVERIFY(FGrid->findChild<QWidget *>("FilterBar")->isVisible());

        std::unique_ptr<QMenu> again(FGrid->CreateFilterMenu("COLOR", nullptr));
        QVERIFY(MenuAction(again.get(), "Синий")->isChecked());
        MenuAction(again.get(), "(Пустые)")->trigger();
        QCOMPARE(Keys(*FGrid), (QList<int>{4}));
        // Another column's menu lists only the values of the rows still shown.
        std::unique_ptr<QMenu> shownPrices(FGrid->CreateFilterMenu("PRICE", nullptr));
        QCOMPARE(shownPrices->actions().size(), 4 + 1 + 1);
        QVERIFY(MenuAction(shownPrices.get(), "90,50 ₽"));
        std::unique_ptr<QMenu> third(FGrid->CreateFilterMenu("COLOR", nullptr));
        MenuAction(third.get(), "(Не пустые)")->trigger();
        QCOMPARE(Keys(*FGrid), (QList<int>{1, 2, 3, 5}));

        FGrid->SetColumnFilter("PRICE", TColumnFilter::ValueFilter(90.5));
        QCOMPARE(Keys(*FGrid), (QList<int>{2}));

        std::unique_ptr<QMenu> all(FGrid->CreateFilterMenu("COLOR", nullptr));
        MenuAction(all.get(), "(Все)")->trigger();
        QCOMPARE(Keys(*FGrid), (QList<int>{2, 4}));
        qobject_cast<QAbstractButton *>(FGrid->findChild<QWidget *>("ButtonFilterClear"))->click();
        QCOMPARE(Keys(*FGrid), (QList<int>{1, 2, 3, 4, 5}));
        QVERIFY(!FGrid->findChild<QWidget *>("FilterBar")->isVisible());
    }

    void customConditions_data()
    {
        using O = TFilterOperator;
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("op1");
        QTest::addColumn<QString>("value1");
        QTest::addColumn<int>("op2");
        QTest::addColumn<QString>("value2");
        QTest::addColumn<bool>("joinOr");
        QTest::addColumn<QList<int>>("keys");
        const int none = -1;
        QTest::newRow("text equals ignores case") << "COLOR" << int(O::Equal) << "СИНИЙ" << none << "" << false << QList<int>{1, 3};
        QTest::newRow("price range И") << "PRICE" << int(O::GreaterOrEqual) << "100" << int(O::Less) << "1 000,00 ₽" << false << QList<int>{1, 3};
        QTest::newRow("price ИЛИ") << "PRICE" << int(O::Less) << "100" << int(O::Greater) << "1000" << true << QList<int>{2, 4, 5};
        QTest::newRow("decimal comma") << "PRICE" << int(O::Equal) << "90,5" << none << "" << false << QList<int>{2, 4};
        QTest::newRow("contains with _") << "GOSNOMER" << int(O::Like) << "0_А" << none << "" << false << QList<int>{2};
        QTest::newRow("contains %") << "GOSNOMER" << int(O::Like) << "1%А" << none << "" << false << QList<int>{2};
        QTest::newRow("not contains") << "COLOR" << int(O::NotLike) << "ий" << none << "" << false << QList<int>{2, 4, 5};
        QTest::newRow("begins ИЛИ ends") << "GOSNOMER" << int(O::BeginsWith) << "а" << int(O::EndsWith) << "ММ" << true << QList<int>{2, 5};
        QTest::newRow("blank ИЛИ equals") << "COLOR" << int(O::Blank) << "" << int(O::Equal) << "Белый" << true << QList<int>{4, 5};
        QTest::newRow("not blank И not equal") << "COLOR" << int(O::NotBlank) << "" << int(O::NotEqual) << "синий" << false << QList<int>{2, 5};
        QTest::newRow("integer less") << "ID" << int(O::LessOrEqual) << "2" << none << "" << false << QList<int>{1, 2};
    }

    void customConditions()
    {
        QFETCH(QString, field);
        QFETCH(int, op1);
        QFETCH(QString, value1);
        QFETCH(int, op2);
        QFETCH(QString, value2);
        QFETCH(bool, joinOr);
        QFETCH(QList<int>, keys);

        TModalAnswer answer;
        answer.Do([&](QWidget *modal) {
            QCOMPARE(modal->windowTitle(), QString("Пользовательский фильтр"));
            auto set = [&](const QString &n, int op, const QString &value) {
                auto *ops = modal->findChild<QComboBox *>("ComboOperator" + n);
                ops->setCurrentIndex(ops->findData(op));
                modal->findChild<QComboBox *>("ComboValue" + n)->setEditText(value);
            };
            set("1", op1, value1);
            if (op2 >= 0)
                set("2", op2, value2);
            modal->findChild<QRadioButton *>(joinOr ? "RadioOr" : "RadioAnd")->setChecked(true);
            modal->findChild<QPushButton *>("ButtonOK")->click();
        });
        QVERIFY(FGrid->EditCustomFilter(field));
        QCOMPARE(answer.Pending(), 0);
        QCOMPARE(Keys(*FGrid), keys);
        QCOMPARE(FGrid->ColumnFilter(field).Mode, TColumnFilter::Custom);
        QCOMPARE(FGrid->ColumnFilter(field).JoinOr, joinOr);
    }

    void customFilterDialogTexts()
    {
        TModalAnswer answer;
        QStringList operators;
        QStringList labels;
        answer.Do([&](QWidget *modal) {
            auto *ops = modal->findChild<QComboBox *>("ComboOperator1");
            for (int i = 0; i < ops->count(); ++i)
                operators << ops->itemText(i);
            for (QLabel *l : modal->findChildren<QLabel *>())
                labels << l->text();
            QCOMPARE(modal->findChild<QRadioButton *>("RadioAnd")->text(), QString("И"));
            QCOMPARE(modal->findChild<QRadioButton *>("RadioOr")->text(), QString("ИЛИ"));
            QCOMPARE(modal->findChild<QPushButton *>("ButtonOK")->text(), QString("ОК"));
            modal->findChild<QPushButton *>("ButtonCancel")->click();
        });
        QVERIFY(!FGrid->EditCustomFilter("COLOR"));
        QCOMPARE(operators, (QStringList{"", "равно", "не равно", "меньше", "меньше или равно", "больше",
                                         "больше или равно", "содержит", "не содержит", "начинается с",
                                         "не начинается с", "заканчивается", "не заканчивается", "пусто",
                                         "не пусто"}));
        QVERIFY(labels.contains("Показать строки, для которых:"));
        QVERIFY(labels.contains("_ вместо одиночного символа"));
        QVERIFY(labels.contains("% вместо последовательности символов"));
        QCOMPARE(Keys(*FGrid).size(), 5);
    }

    void customFilterRefusesInvalidValue()
    {
        TModalAnswer answer;
        bool stayedOpen = false;
        answer.Do([&](QWidget *modal) {
            auto *ops = modal->findChild<QComboBox *>("ComboOperator1");
            ops->setCurrentIndex(ops->findData(int(TFilterOperator::Greater)));
            modal->findChild<QComboBox *>("ComboValue1")->setEditText("сто");
            modal->findChild<QPushButton *>("ButtonOK")->click();   // the warning comes and goes
            stayedOpen = modal->isVisible();
            modal->findChild<QPushButton *>("ButtonCancel")->click();
        });
        answer.Press("Cancel");   // the warning
        QVERIFY(!FGrid->EditCustomFilter("PRICE"));
        QCOMPARE(answer.Pending(), 0);
        QCOMPARE(answer.Seen().at(1).Text, QString("Недопустимое значение"));
        QCOMPARE(answer.Seen().at(1).Caption, QString("Предупреждение"));
        QVERIFY(stayedOpen);
        QCOMPARE(Keys(*FGrid).size(), 5);
    }

    void emptyText()
    {
        QTreeView *view = FGrid->View();
        FGrid->SetColumnFilter("COLOR", TColumnFilter::ValueFilter("нет такого"));
        QCOMPARE(FGrid->ShownRowCount(), 0);
        QVERIFY(TopBandPainted(view));
        FGrid->ClearFilters();
        FTable->Clear();
        QCOMPARE(view->model()->rowCount(), 0);
        QVERIFY(TopBandPainted(view));
        QCOMPARE(TDataGrid::EmptyText(), QString("<Данные не найдены>"));
    }

    void groupingByDrop()
    {
        FGrid->SetGroupingBoxVisible(true);
        QWidget *panel = FGrid->findChild<QWidget *>("GroupPanel");
        QVERIFY(panel->isVisible());
        QCOMPARE(panel->findChild<QLabel *>("GroupPrompt")->text(),
                 QString("Для группировки перетащите сюда заголовок нужной колонки"));

        // A header dropped on the box groups by its column.
        QMimeData mime;
        mime.setData("application/x-tollvane-grid-column", QByteArray::number(3));
        QDragEnterEvent enter(QPoint(10, 10), Qt::MoveAction, &mime, Qt::LeftButton, {});
        QApplication::sendEvent(panel, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(10, 10), Qt::MoveAction, &mime, Qt::LeftButton, {});
        QApplication::sendEvent(panel, &drop);
        QCOMPARE(FGrid->GroupFields(), QStringList{"PRICE"});

        QAbstractItemModel *model = FGrid->View()->model();
        QCOMPARE(model->rowCount(), 4);   // 90,50 / 150 / 300 / 1200
        QCOMPARE(model->index(0, 0).data().toString(), QString("Стоимость : 90,50 ₽ (2)"));
        QCOMPARE(model->rowCount(model->index(0, 0)), 2);
        QVERIFY(FGrid->View()->isColumnHidden(3));
        QCOMPARE(panel->findChild<QLabel *>("GroupChip")->text(), QString("Стоимость"));
        QCOMPARE(Keys(*FGrid), (QList<int>{2, 4, 1, 3, 5}));

        // Grouping inside the group, and the sort order within the groups.
        FGrid->GroupBy("STATUS");
        FGrid->SortBy("ID", Qt::DescendingOrder);
        QCOMPARE(Keys(*FGrid), (QList<int>{4, 2, 1, 3, 5}));
        FGrid->Ungroup("STATUS");

        // A click on a group row is no row click.
        QSignalSpy clicks(FGrid.get(), &TDataGrid::RowClicked);
        const QRect groupRect = FGrid->View()->visualRect(model->index(0, 0));
        QTest::mouseClick(FGrid->View()->viewport(), Qt::LeftButton, {}, groupRect.center());
        QCOMPARE(clicks.size(), 0);

        // Dragging the group back onto the header ungroups.
        QMimeData back;
        back.setData("application/x-tollvane-grid-group", QByteArray::number(3));
        QWidget *header = FGrid->View()->header()->viewport();
        QDragEnterEvent enterHeader(QPoint(5, 5), Qt::MoveAction, &back, Qt::LeftButton, {});
        QApplication::sendEvent(header, &enterHeader);
        QDropEvent dropHeader(QPointF(5, 5), Qt::MoveAction, &back, Qt::LeftButton, {});
        QApplication::sendEvent(header, &dropHeader);
        QVERIFY(FGrid->GroupFields().isEmpty());
        QCOMPARE(model->rowCount(), 5);
        QVERIFY(!FGrid->View()->isColumnHidden(3));
        QVERIFY(panel->findChild<QLabel *>("GroupPrompt"));
    }

    void groupsKeepFiltersAndExpansion()
    {
        FGrid->SetGroupingBoxVisible(true);
        FGrid->GroupBy("STATUS");
        QAbstractItemModel *model = FGrid->View()->model();
        QCOMPARE(model->rowCount(), 2);
        // The focused vehicle sits in the collapsed first group: a reload leaves it collapsed.
        QVERIFY(FGrid->FocusKey(1));
        FGrid->View()->collapse(model->index(0, 0));
        FGrid->View()->expand(model->index(1, 0));
        FGrid->SetColumnFilter("COLOR", TColumnFilter::Condition(Cond(TFieldKind::Text, TFilterOperator::NotBlank, "")));
        QCOMPARE(model->index(1, 0).data().toString().endsWith("(1)"), true);
        QVERIFY(FGrid->View()->isExpanded(model->index(1, 0)));
        QVERIFY(!FGrid->View()->isExpanded(model->index(0, 0)));
        QCOMPARE(Keys(*FGrid), (QList<int>{1, 3, 5, 2}));
    }

    void focusFollowsKeyAcrossReload()
    {
        QVERIFY(FGrid->FocusKey(3));
        QCOMPARE(FGrid->FocusedPosition(), 2);
        // Reloaded in another order: the same vehicle stays focused.
        FTable->BeginUpdate();
        FTable->Clear();
        FTable->Append({3, "Е300ЕЕ", "синий", 300.0, 0});
        FTable->Append({1, "В200ВВ", "Синий", 150.0, 0});
        FTable->EndUpdate();
        QCOMPARE(FGrid->FocusedKey().toInt(), 3);
        QCOMPARE(FGrid->FocusedPosition(), 0);
        // Gone after the next reload: nothing focused.
        FillRows(*FTable);
        FTable->BeginUpdate();
        FTable->Clear();
        FTable->Append({7, "Х700ХХ", "", 1.0, 0});
        FTable->EndUpdate();
        QCOMPARE(FGrid->FocusedRow(), -1);
        QVERIFY(!FGrid->FocusPosition(3));
        QVERIFY(FGrid->FocusPosition(0));
        QCOMPARE(FGrid->FocusedKey().toInt(), 7);
        // A replaced value keeps the row and its focus.
        FTable->SetValue(0, "GOSNOMER", "Х701ХХ");
        QCOMPARE(FGrid->FocusedKey().toInt(), 7);
        QCOMPARE(FGrid->View()->model()->index(0, 1).data().toString(), QString("Х701ХХ"));
    }

    void rowSignals()
    {
        QSignalSpy clicks(FGrid.get(), &TDataGrid::RowClicked);
        QSignalSpy doubles(FGrid.get(), &TDataGrid::RowDoubleClicked);
        QSignalSpy menus(FGrid.get(), &TDataGrid::RowContextMenu);
        QTreeView *view = FGrid->View();
        FGrid->SortBy("GOSNOMER");   // row of key 2 first
        const QPoint cell = view->visualRect(view->model()->index(0, 2)).center();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cell);
        QCOMPARE(clicks.size(), 1);
        QCOMPARE(clicks[0][0].toInt(), 2);
        QCOMPARE(clicks[0][1].toInt(), 1);            // table row
        QCOMPARE(clicks[0][2].toString(), QString("COLOR"));
        QCOMPARE(clicks[0][3].value<Qt::MouseButton>(), Qt::LeftButton);
        QCOMPARE(FGrid->FocusedKey().toInt(), 2);

        const QPoint second = view->visualRect(view->model()->index(1, 1)).center();
        QTest::mouseClick(view->viewport(), Qt::RightButton, {}, second);
        QCOMPARE(clicks.size(), 2);
        QCOMPARE(clicks[1][0].toInt(), 1);
        QCOMPARE(clicks[1][3].value<Qt::MouseButton>(), Qt::RightButton);
        QCOMPARE(menus.size(), 1);
        QCOMPARE(menus[0][0].toInt(), 1);
        QCOMPARE(FGrid->FocusedKey().toInt(), 1);

        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cell);   // a double click's first click
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, cell);
        QCOMPARE(doubles.size(), 1);
        QCOMPARE(doubles[0][0].toInt(), 2);

        // Below the last row: nothing.
        clicks.clear();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, QPoint(10, view->viewport()->height() - 3));
        QCOMPARE(clicks.size(), 0);
    }

    void painterColoursRows()
    {
        FGrid->SetPainter([this](int row, int, QFont &font, QColor &color) {
            if (FTable->Value(row, "STATUS").toInt() == 1) {
                font.setBold(true);
                color = QColor(0, 128, 0);
            }
        });
        QAbstractItemModel *model = FGrid->View()->model();
        QCOMPARE(model->index(1, 2).data(Qt::ForegroundRole).value<QColor>(), QColor(0, 128, 0));
        QVERIFY(model->index(1, 2).data(Qt::FontRole).value<QFont>().bold());
        QVERIFY(!model->index(0, 2).data(Qt::FontRole).value<QFont>().bold());
        QCOMPARE(model->index(0, 2).data(Qt::ForegroundRole).value<QColor>(),
                 QApplication::palette().color(QPalette::Text));
    }

    void filterAndGroupCanBeRefused()
    {
        FGrid->SetGroupingBoxVisible(true);
        FGrid->SetGroupAllowed("COLOR", false);
        FGrid->GroupBy("COLOR");
        QVERIFY(FGrid->GroupFields().isEmpty());
    }
};

QTEST_MAIN(TestGrid)
#include "test_grid.moc"
