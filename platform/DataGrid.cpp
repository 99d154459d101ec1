#include "platform/DataGrid.h"

#include <QApplication>
#include <QDrag>
#include <QDragEnterEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>
#include <unordered_map>
#include <vector>

#include "platform/GridFilterDialog.h"

namespace {

// A header dragged towards the grouping box, and a group dragged back.
const char *const ColumnMime = "application/x-tollvane-grid-column";
const char *const GroupMime = "application/x-tollvane-grid-group";

QMimeData *FieldMime(const char *type, int field)
{
    auto *mime = new QMimeData;
    mime->setData(QString::fromLatin1(type), QByteArray::number(field));
    return mime;
}

int MimeField(const QMimeData *mime, const char *type)
{
    return mime && mime->hasFormat(QString::fromLatin1(type))
               ? mime->data(QString::fromLatin1(type)).toInt() : -1;
}

} // namespace

// ---------------------------------------------------------------------------
// The rows as the view shows them: data rows, or group rows holding them.

struct TGroupNode {
    TGroupNode *Parent = nullptr;
    int Row = 0;          // position under the parent
    int TableRow = -1;    // data rows; -1 for group rows
    int Field = -1;       // group rows: the grouped field
    QString Text;         // group rows: the value's display text
    QString Path;         // group rows: identifies the group across rebuilds
    int Count = 0;        // group rows: data rows inside
    std::vector<std::unique_ptr<TGroupNode>> Children;
    bool IsGroup() const { return TableRow < 0; }
};

class TGridGroupModel : public QAbstractItemModel {
public:
    explicit TGridGroupModel(TGridFilterModel *filter) : FFilter(filter), FTable(filter->Table())
    {
        Build();
        connect(filter, &QAbstractItemModel::modelAboutToBeReset, this, [this] {
            if (!FBatch)
                beginResetModel();
        });
        connect(filter, &QAbstractItemModel::modelReset, this, [this] {
            if (!FBatch) {
                Build();
                endResetModel();
            }
        });
        connect(filter, &QAbstractItemModel::layoutChanged, this, [this] { Refresh(); });
        connect(filter, &QAbstractItemModel::rowsInserted, this, [this] { Refresh(); });
        connect(filter, &QAbstractItemModel::rowsRemoved, this, [this] { Refresh(); });
        connect(filter, &QAbstractItemModel::dataChanged, this,
                [this](const QModelIndex &from, const QModelIndex &to) {
                    if (FBatch)
                        return;
                    if (!FGroupFields.isEmpty())
                        return Refresh();
                    emit dataChanged(index(from.row(), from.column()), index(to.row(), to.column()));
                });
    }

    QList<int> GroupFields() const { return FGroupFields; }
    TRowPainter Painter;

    // Runs a change of the filter model as one reset of the view.
    void Change(const std::function<void()> &change)
    {
        beginResetModel();
        FBatch = true;
        change();
        FBatch = false;
        Build();
        endResetModel();
    }

    void SetGroupFields(const QList<int> &fields)
    {
        Change([&] { FGroupFields = fields; });
    }

    TGroupNode *Node(const QModelIndex &index) const
    {
        return index.isValid() ? static_cast<TGroupNode *>(index.internalPointer()) : FRoot.get();
    }

    int TableRow(const QModelIndex &index) const
    {
        return index.isValid() ? Node(index)->TableRow : -1;
    }

    QModelIndex IndexOfRow(int tableRow) const
    {
        const auto it = FNodeOfRow.find(tableRow);
        return it == FNodeOfRow.end() ? QModelIndex() : createIndex(it->second->Row, 0, it->second);
    }

    QModelIndex IndexOfNode(TGroupNode *node) const
    {
        return node == FRoot.get() ? QModelIndex() : createIndex(node->Row, 0, node);
    }

    const std::vector<int> &DisplayRows() const { return FDisplayRows; }

    void ForEachGroup(const std::function<void(TGroupNode *)> &visit) const
    {
        std::function<void(TGroupNode *)> walk = [&](TGroupNode *node) {
            for (auto &child : node->Children)
                if (child->IsGroup()) {
                    visit(child.get());
                    walk(child.get());
                }
        };
        walk(FRoot.get());
    }

    int TopRowCount() const { return int(FRoot->Children.size()); }

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override
    {
        TGroupNode *node = Node(parent);
        if (row < 0 || row >= int(node->Children.size()) || column < 0 || column >= columnCount())
            return {};
        return createIndex(row, column, node->Children[row].get());
    }

    QModelIndex parent(const QModelIndex &child) const override
    {
        if (!child.isValid())
            return {};
        TGroupNode *parent = Node(child)->Parent;
        return IndexOfNode(parent);
    }

    int rowCount(const QModelIndex &parent = {}) const override
    {
        if (parent.isValid() && parent.column() != 0)
            return 0;
        return int(Node(parent)->Children.size());
    }

    int columnCount(const QModelIndex & = {}) const override { return FTable->FieldCount(); }

    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!index.isValid())
            return {};
        const TGroupNode *node = Node(index);
        if (node->IsGroup())
            return GroupData(node, role);
        if ((role == Qt::FontRole || role == Qt::ForegroundRole) && Painter) {
            QFont font = QApplication::font("QAbstractItemView");
            QColor color = QApplication::palette().color(QPalette::Text);
            Painter(node->TableRow, index.column(), font, color);
            return role == Qt::FontRole ? QVariant(font) : QVariant(color);
        }
        return FTable->data(FTable->index(node->TableRow, index.column()), role);
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        return FTable->headerData(section, orientation, role);
    }

    Qt::ItemFlags flags(const QModelIndex &index) const override
    {
        return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
    }

    void sort(int column, Qt::SortOrder order) override
    {
        Change([&] { FFilter->sort(column, order); });
    }

private:
    void Refresh()
    {
        if (FBatch)
            return;
        beginResetModel();
        Build();
        endResetModel();
    }

    QVariant GroupData(const TGroupNode *node, int role) const
    {
        // Every column answers, so the spanned text shows whichever column is first.
        if (role == Qt::DisplayRole)
            return FTable->headerData(node->Field, Qt::Horizontal, Qt::DisplayRole).toString()
                   + QStringLiteral(" : ") + node->Text + QStringLiteral(" (%1)").arg(node->Count);
        if (role == Qt::FontRole) {
            QFont font = QApplication::font("QAbstractItemView");
            font.setBold(true);
            return font;
        }
        return {};
    }

    void Build()
    {
        FRoot = std::make_unique<TGroupNode>();
        FNodeOfRow.clear();
        FDisplayRows.clear();
        std::vector<int> rows;
        rows.reserve(FFilter->rowCount());
        for (int i = 0; i < FFilter->rowCount(); ++i)
            rows.push_back(FFilter->mapToSource(FFilter->index(i, 0)).row());
        BuildLevel(FRoot.get(), rows, 0);
    }

    void BuildLevel(TGroupNode *node, std::vector<int> rows, int level)
    {
        if (level == FGroupFields.size()) {
            for (int row : rows) {
                auto child = std::make_unique<TGroupNode>();
                child->Parent = node;
                child->Row = int(node->Children.size());
                child->TableRow = row;
                FNodeOfRow[row] = child.get();
                FDisplayRows.push_back(row);
                node->Children.push_back(std::move(child));
            }
            return;
        }
        const int field = FGroupFields[level];
        const TFieldKind kind = FTable->Field(field).Kind;
        const bool descending = FFilter->sortColumn() == field && FFilter->sortOrder() == Qt::DescendingOrder;
        const auto order = [&](int a, int b) {
            const int c = CompareValues(kind, FTable->Value(a, field), FTable->Value(b, field));
            return descending ? c > 0 : c < 0;
        };
        std::stable_sort(rows.begin(), rows.end(), order);
        for (size_t from = 0; from < rows.size();) {
            size_t to = from + 1;
            while (to < rows.size() && !order(rows[from], rows[to]))
                ++to;
            auto group = std::make_unique<TGroupNode>();
            group->Parent = node;
            group->Row = int(node->Children.size());
            group->Field = field;
            group->Text = FTable->DisplayText(rows[from], field);
            group->Path = node->Path + QLatin1Char('/') + QString::number(field) + QLatin1Char('=') + group->Text;
            group->Count = int(to - from);
            BuildLevel(group.get(), std::vector<int>(rows.begin() + from, rows.begin() + to), level + 1);
            node->Children.push_back(std::move(group));
            from = to;
        }
    }

    TGridFilterModel *FFilter;
    TMemTable *FTable;
    QList<int> FGroupFields;
    std::unique_ptr<TGroupNode> FRoot;
    std::unordered_map<int, TGroupNode *> FNodeOfRow;
    std::vector<int> FDisplayRows;
    bool FBatch = false;
};

// ---------------------------------------------------------------------------
// The view: the tree with the empty-list text.

class TGridView : public QTreeView {
public:
    using QTreeView::QTreeView;

protected:
    void paintEvent(QPaintEvent *event) override
    {
        QTreeView::paintEvent(event);
        if (model() && model()->rowCount() == 0) {
            QPainter painter(viewport());
            painter.setPen(palette().color(QPalette::Text));
            painter.drawText(viewport()->rect().adjusted(4, 8, -4, -4), Qt::AlignHCenter | Qt::AlignTop,
                             TDataGrid::EmptyText());
        }
    }
};

// ---------------------------------------------------------------------------
// The header: a filter button in each section, and a section dragged out of it
// to the grouping box.

class TGridHeader : public QHeaderView {
public:
    std::function<bool(int)> FilterAllowed;
    std::function<bool(int)> Filtered;
    std::function<bool(int)> DragAllowed;
    std::function<void(int, QPoint)> FilterButtonClicked;
    std::function<void(int)> GroupDroppedBack;

    TGridHeader() : QHeaderView(Qt::Horizontal)
    {
        setAcceptDrops(true);
        viewport()->setAcceptDrops(true);
    }

    QRect FilterButtonRect(int logical) const
    {
        const int x = sectionViewportPosition(logical);
        const int width = sectionSize(logical);
        return QRect(x + width - ButtonWidth - 1, 1, ButtonWidth, height() - 2);
    }

protected:
    static constexpr int ButtonWidth = 16;

    void paintSection(QPainter *painter, const QRect &rect, int logical) const override
    {
        if (!FilterAllowed || !FilterAllowed(logical)) {
            QHeaderView::paintSection(painter, rect, logical);
            return;
        }
        painter->save();
        QHeaderView::paintSection(painter, rect.adjusted(0, 0, -ButtonWidth, 0), logical);
        painter->restore();
        const QRect button(rect.right() - ButtonWidth + 1, rect.top(), ButtonWidth, rect.height());
        QStyleOptionHeader option;
        initStyleOption(&option);
        option.rect = button;
        option.section = logical;
        style()->drawControl(QStyle::CE_HeaderSection, &option, painter, this);
        const bool filtered = Filtered && Filtered(logical);
        if (filtered)
            painter->fillRect(button.adjusted(2, 2, -2, -2), palette().color(QPalette::Highlight).lighter(160));
        QStyleOption arrow;
        arrow.initFrom(this);
        arrow.rect = button.adjusted(3, button.height() / 2 - 4, -3, -(button.height() / 2 - 4));
        if (filtered)
            arrow.palette.setColor(QPalette::ButtonText, palette().color(QPalette::Highlight).darker(150));
        style()->drawPrimitive(QStyle::PE_IndicatorArrowDown, &arrow, painter, this);
    }

    QSize sectionSizeFromContents(int logical) const override
    {
        return QHeaderView::sectionSizeFromContents(logical) + QSize(ButtonWidth, 0);
    }

    void mousePressEvent(QMouseEvent *event) override
    {
        const QPoint pos = event->position().toPoint();
        const int logical = logicalIndexAt(pos);
        if (event->button() == Qt::LeftButton && logical >= 0 && FilterAllowed && FilterAllowed(logical)
            && FilterButtonRect(logical).contains(pos)) {
            if (FilterButtonClicked)
                FilterButtonClicked(logical, mapToGlobal(FilterButtonRect(logical).bottomLeft()));
            return;
        }
        FPressSection = -1;
        if (event->button() == Qt::LeftButton && logical >= 0 && !OnGrip(pos, logical)) {
            FPressSection = logical;
            FPressPos = pos;
        }
        QHeaderView::mousePressEvent(event);
    }

    void mouseMoveEvent(QMouseEvent *event) override
    {
        const QPoint pos = event->position().toPoint();
        if (FPressSection >= 0 && (event->buttons() & Qt::LeftButton) && DragAllowed && DragAllowed(FPressSection)
            && (pos - FPressPos).manhattanLength() >= QApplication::startDragDistance()) {
            const int field = FPressSection;
            FPressSection = -1;
            auto *drag = new QDrag(this);
            drag->setMimeData(FieldMime(ColumnMime, field));
            drag->setPixmap(grab(QRect(sectionViewportPosition(field), 0, sectionSize(field), height())));
            drag->exec(Qt::MoveAction);
            // The drag took the release; end the header's own press away from any section.
            QMouseEvent release(QEvent::MouseButtonRelease, QPointF(-10, -10), mapToGlobal(QPointF(-10, -10)),
                                Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
            QHeaderView::mouseReleaseEvent(&release);
            return;
        }
        QHeaderView::mouseMoveEvent(event);
    }

    void mouseReleaseEvent(QMouseEvent *event) override
    {
        FPressSection = -1;
        QHeaderView::mouseReleaseEvent(event);
    }

    void dragEnterEvent(QDragEnterEvent *event) override
    {
        if (MimeField(event->mimeData(), GroupMime) >= 0)
            event->acceptProposedAction();
    }

    void dragMoveEvent(QDragMoveEvent *event) override
    {
        if (MimeField(event->mimeData(), GroupMime) >= 0)
            event->acceptProposedAction();
    }

    void dropEvent(QDropEvent *event) override
    {
        const int field = MimeField(event->mimeData(), GroupMime);
        if (field >= 0 && GroupDroppedBack) {
            event->acceptProposedAction();
            GroupDroppedBack(field);
        }
    }

private:
    bool OnGrip(const QPoint &pos, int logical) const
    {
        const int margin = style()->pixelMetric(QStyle::PM_HeaderGripMargin, nullptr, this) + 1;
        const int left = sectionViewportPosition(logical);
        const int right = left + sectionSize(logical);
        return pos.x() - left < margin || right - pos.x() < margin;
    }

    int FPressSection = -1;
    QPoint FPressPos;
};

// ---------------------------------------------------------------------------
// The grouping box: the prompt, or one chip per grouped column.

class TGridGroupChip : public QLabel {
public:
    TGridGroupChip(int field, const QString &caption, QWidget *parent) : QLabel(caption, parent), FField(field)
    {
        setObjectName(QStringLiteral("GroupChip"));
        setFrameShape(QFrame::Panel);
        setFrameShadow(QFrame::Raised);
        setMargin(3);
        setContextMenuPolicy(Qt::NoContextMenu);
    }
    std::function<void(int)> UngroupRequested;

protected:
    void mousePressEvent(QMouseEvent *event) override
    {
        FPressPos = event->position().toPoint();
        if (event->button() == Qt::RightButton) {
            QMenu menu;
            QAction *ungroup = menu.addAction(QStringLiteral("Разгруппировать"));
            if (menu.exec(event->globalPosition().toPoint()) == ungroup && UngroupRequested)
                UngroupRequested(FField);
        }
    }

    void mouseMoveEvent(QMouseEvent *event) override
    {
        if ((event->buttons() & Qt::LeftButton)
            && (event->position().toPoint() - FPressPos).manhattanLength() >= QApplication::startDragDistance()) {
            auto *drag = new QDrag(this);
            drag->setMimeData(FieldMime(GroupMime, FField));
            drag->setPixmap(grab());
            drag->exec(Qt::MoveAction);
        }
    }

private:
    int FField;
    QPoint FPressPos;
};

class TGridGroupPanel : public QFrame {
public:
    std::function<void(int)> GroupDropped;
    std::function<void(int)> UngroupRequested;

    explicit TGridGroupPanel(QWidget *parent) : QFrame(parent)
    {
        setObjectName(QStringLiteral("GroupPanel"));
        setAcceptDrops(true);
        setFrameShape(QFrame::StyledPanel);
        setBackgroundRole(QPalette::Mid);
        setAutoFillBackground(true);
        setMinimumHeight(36);
        FLayout = new QHBoxLayout(this);
        FLayout->setContentsMargins(6, 4, 6, 4);
        Show({}, {});
    }

    void Show(const QList<int> &fields, const QStringList &captions)
    {
        while (QLayoutItem *item = FLayout->takeAt(0)) {
            delete item->widget();
            delete item;
        }
        if (fields.isEmpty()) {
            auto *prompt = new QLabel(TDataGrid::GroupPrompt(), this);
            prompt->setObjectName(QStringLiteral("GroupPrompt"));
            prompt->setForegroundRole(QPalette::Light);
            FLayout->addWidget(prompt);
        }
        for (int i = 0; i < fields.size(); ++i) {
            auto *chip = new TGridGroupChip(fields[i], captions[i], this);
            chip->UngroupRequested = [this](int field) { UngroupRequested(field); };
            FLayout->addWidget(chip);
        }
        FLayout->addStretch();
    }

protected:
    void dragEnterEvent(QDragEnterEvent *event) override
    {
        if (MimeField(event->mimeData(), ColumnMime) >= 0)
            event->acceptProposedAction();
    }

    void dragMoveEvent(QDragMoveEvent *event) override
    {
        if (MimeField(event->mimeData(), ColumnMime) >= 0)
            event->acceptProposedAction();
    }

    void dropEvent(QDropEvent *event) override
    {
        const int field = MimeField(event->mimeData(), ColumnMime);
        if (field >= 0) {
            event->acceptProposedAction();
            GroupDropped(field);
        }
    }

private:
    QHBoxLayout *FLayout;
};

// ---------------------------------------------------------------------------

TDataGrid::TDataGrid(TMemTable *table, QWidget *parent)
    : QWidget(parent), FTable(table), FFilter(std::make_unique<TGridFilterModel>(table)),
      FGroups(std::make_unique<TGridGroupModel>(FFilter.get()))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    FGroupPanel = new TGridGroupPanel(this);
    FGroupPanel->GroupDropped = [this](int field) { GroupBy(FTable->Field(field).Name); };
    FGroupPanel->UngroupRequested = [this](int field) { Ungroup(FTable->Field(field).Name); };
    FGroupPanel->hide();
    layout->addWidget(FGroupPanel);

    FView = new TGridView(this);
    FView->setObjectName(QStringLiteral("GridView"));
    FHeader = new TGridHeader;
    FView->setHeader(FHeader);
    FView->setModel(FGroups.get());
    FView->setSelectionBehavior(QAbstractItemView::SelectRows);
    FView->setSelectionMode(QAbstractItemView::SingleSelection);
    FView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    FView->setRootIsDecorated(false);
    FView->setUniformRowHeights(true);
    FView->setAllColumnsShowFocus(true);
    FHeader->setSectionsMovable(false);
    FHeader->setSectionsClickable(true);
    FHeader->setSortIndicatorShown(true);
    FHeader->setSortIndicator(-1, Qt::AscendingOrder);
    FHeader->setStretchLastSection(true);
    FHeader->setContextMenuPolicy(Qt::CustomContextMenu);
    FView->setSortingEnabled(true);
    layout->addWidget(FView, 1);

    FHeader->FilterAllowed = [this](int field) { return !FNoFilter.contains(field); };
    FHeader->Filtered = [this](int field) { return FFilter->Filter(field).IsActive(); };
    FHeader->DragAllowed = [this](int field) { return FGroupPanel->isVisible() && !FNoGroup.contains(field); };
    FHeader->FilterButtonClicked = [this](int field, QPoint at) { ShowFilterMenu(field, at); };
    FHeader->GroupDroppedBack = [this](int field) { Ungroup(FTable->Field(field).Name); };
    connect(FHeader, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        const int field = FHeader->logicalIndexAt(pos);
        if (field >= 0)
            ShowHeaderMenu(field, FHeader->mapToGlobal(pos));
    });

    FFilterBar = new QWidget(this);
    FFilterBar->setObjectName(QStringLiteral("FilterBar"));
    auto *bar = new QHBoxLayout(FFilterBar);
    bar->setContentsMargins(4, 2, 4, 2);
    auto *clear = new QToolButton(FFilterBar);
    clear->setObjectName(QStringLiteral("ButtonFilterClear"));
    clear->setText(QStringLiteral("✕"));
    clear->setToolTip(QStringLiteral("Снять фильтр"));
    connect(clear, &QToolButton::clicked, this, &TDataGrid::ClearFilters);
    FFilterLabel = new QLabel(FFilterBar);
    FFilterLabel->setObjectName(QStringLiteral("FilterText"));
    bar->addWidget(clear);
    bar->addWidget(FFilterLabel, 1);
    FFilterBar->hide();
    layout->addWidget(FFilterBar);

    connect(FGroups.get(), &QAbstractItemModel::modelAboutToBeReset, this, &TDataGrid::SaveState);
    connect(FGroups.get(), &QAbstractItemModel::modelReset, this, &TDataGrid::RestoreState);
    connect(FTable, &QAbstractItemModel::columnsInserted, this, [this] { ApplyColumnVisibility(); });
    connect(FView, &QTreeView::expanded, this, [this](const QModelIndex &index) {
        FExpanded.insert(FGroups->Node(index)->Path);
    });
    connect(FView, &QTreeView::collapsed, this, [this](const QModelIndex &index) {
        FExpanded.remove(FGroups->Node(index)->Path);
    });
    connect(FView, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex &index) {
        const int row = FGroups->TableRow(index);
        if (row >= 0)
            emit RowDoubleClicked(KeyOf(row), row, FTable->Field(index.column()).Name);
    });
    FView->viewport()->installEventFilter(this);
    ApplyColumnVisibility();
}

TDataGrid::~TDataGrid()
{
    // The view goes before the models it shows.
    delete FView;
}

QTreeView *TDataGrid::View() const
{
    return FView;
}

int TDataGrid::FieldOf(const QString &name) const
{
    const int field = FTable->FieldIndex(name);
    if (field < 0)
        qFatal("TDataGrid: no field \"%s\"", qPrintable(name));
    return field;
}

QVariant TDataGrid::KeyOf(int row) const
{
    return row >= 0 && row < FTable->RecordCount() ? FTable->Value(row, FKeyField) : QVariant();
}

void TDataGrid::SetKeyField(const QString &field)
{
    FKeyField = FieldOf(field);
}

void TDataGrid::SetGroupingBoxVisible(bool visible)
{
    FGroupPanel->setVisible(visible);
}

bool TDataGrid::GroupingBoxVisible() const
{
    return !FGroupPanel->isHidden();
}

void TDataGrid::SetFilterAllowed(const QString &field, bool allowed)
{
    const int f = FieldOf(field);
    if (allowed)
        FNoFilter.remove(f);
    else
        FNoFilter.insert(f);
    FHeader->viewport()->update();
}

void TDataGrid::SetGroupAllowed(const QString &field, bool allowed)
{
    const int f = FieldOf(field);
    if (allowed)
        FNoGroup.remove(f);
    else
        FNoGroup.insert(f);
}

void TDataGrid::SetColumnWidth(const QString &field, int width)
{
    FWidthsSet = true;
    FView->setColumnWidth(FieldOf(field), width);
}

void TDataGrid::SetPainter(TRowPainter painter)
{
    FGroups->Painter = std::move(painter);
    FView->viewport()->update();
}

void TDataGrid::ApplyColumnVisibility()
{
    const QList<int> grouped = FGroups->GroupFields();
    for (int f = 0; f < FTable->FieldCount(); ++f)
        FView->setColumnHidden(f, !FTable->Field(f).Visible || grouped.contains(f));
    InitialWidths();
}

// Widths from the fields until a window sets its own.
void TDataGrid::InitialWidths()
{
    if (FWidthsSet)
        return;
    const QFontMetrics fm(FView->font());
    for (int f = 0; f < FTable->FieldCount(); ++f) {
        const TFieldDef &def = FTable->Field(f);
        int chars = 10;
        switch (def.Kind) {
        case TFieldKind::Text: chars = std::clamp(def.Width, 6, 30); break;
        case TFieldKind::DateTime: chars = 18; break;
        case TFieldKind::Boolean: chars = 6; break;
        default: break;
        }
        const int caption = fm.horizontalAdvance(FTable->headerData(f, Qt::Horizontal).toString()) + 40;
        FView->setColumnWidth(f, std::max(chars * fm.averageCharWidth() + 12, caption));
    }
}

int TDataGrid::FocusedRow() const
{
    return FGroups->TableRow(FView->currentIndex());
}

QVariant TDataGrid::FocusedKey() const
{
    return KeyOf(FocusedRow());
}

bool TDataGrid::FocusRow(int row)
{
    const QModelIndex index = FGroups->IndexOfRow(row);
    if (!index.isValid())
        return false;
    for (QModelIndex p = index.parent(); p.isValid(); p = p.parent())
        FView->expand(p);
    FView->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    FView->scrollTo(index);
    return true;
}

bool TDataGrid::FocusKey(const QVariant &key)
{
    if (!key.isValid() || key.isNull())
        return false;
    for (int row : FGroups->DisplayRows())
        if (FTable->Value(row, FKeyField) == key)
            return FocusRow(row);
    return false;
}

int TDataGrid::FocusedPosition() const
{
    const int row = FocusedRow();
    const auto &rows = FGroups->DisplayRows();
    const auto it = std::find(rows.begin(), rows.end(), row);
    return row < 0 || it == rows.end() ? -1 : int(it - rows.begin());
}

bool TDataGrid::FocusPosition(int position)
{
    const auto &rows = FGroups->DisplayRows();
    if (position < 0 || position >= int(rows.size())) {
        FView->selectionModel()->clear();
        return false;
    }
    return FocusRow(rows[position]);
}

int TDataGrid::ShownRowCount() const
{
    return int(FGroups->DisplayRows().size());
}

QList<int> TDataGrid::ShownRows() const
{
    const auto &rows = FGroups->DisplayRows();
    return QList<int>(rows.begin(), rows.end());
}

void TDataGrid::SortBy(const QString &field, Qt::SortOrder order)
{
    // The header's indicator drives the view's sorting, as a click does.
    FHeader->setSortIndicator(field.isEmpty() ? -1 : FieldOf(field), order);
}

void TDataGrid::SetColumnFilter(const QString &field, const TColumnFilter &filter)
{
    const int f = FieldOf(field);
    FGroups->Change([&] { FFilter->SetFilter(f, filter); });
    UpdateFilterBar();
}

TColumnFilter TDataGrid::ColumnFilter(const QString &field) const
{
    return FFilter->Filter(FieldOf(field));
}

void TDataGrid::ClearFilters()
{
    FGroups->Change([&] { FFilter->ClearFilters(); });
    UpdateFilterBar();
}

QString TDataGrid::FilterText() const
{
    QStringList parts;
    for (int f : FFilter->FilteredFields()) {
        const QString caption = FTable->headerData(f, Qt::Horizontal).toString();
        parts << QStringLiteral("(") + FFilter->Filter(f).Describe(caption, FTable->Field(f)) + QStringLiteral(")");
    }
    return parts.join(QStringLiteral(" И "));
}

void TDataGrid::UpdateFilterBar()
{
    FFilterLabel->setText(FilterText());
    FFilterBar->setVisible(FFilter->HasFilters());
    FHeader->viewport()->update();
}

QMenu *TDataGrid::CreateFilterMenu(const QString &field, QWidget *parent)
{
    const int f = FieldOf(field);
    const TFieldDef &def = FTable->Field(f);
    const TColumnFilter current = FFilter->Filter(f);
    auto *menu = new QMenu(parent);
    menu->setObjectName(QStringLiteral("FilterMenu"));
    const auto add = [&](const QString &text, bool checked, std::function<void()> choose) {
        QAction *action = menu->addAction(text);
        action->setCheckable(true);
        action->setChecked(checked);
        connect(action, &QAction::triggered, this, std::move(choose));
    };
    add(QStringLiteral("(Все)"), !current.IsActive(), [this, field] { SetColumnFilter(field, {}); });
    add(QStringLiteral("(Условие)"), current.Mode == TColumnFilter::Custom, [this, field] { EditCustomFilter(field); });
    TColumnFilter blanks, nonBlanks;
    blanks.Mode = TColumnFilter::Blanks;
    nonBlanks.Mode = TColumnFilter::NonBlanks;
    add(QStringLiteral("(Пустые)"), current.Mode == TColumnFilter::Blanks, [this, field, blanks] { SetColumnFilter(field, blanks); });
    add(QStringLiteral("(Не пустые)"), current.Mode == TColumnFilter::NonBlanks,
        [this, field, nonBlanks] { SetColumnFilter(field, nonBlanks); });
    menu->addSeparator();
    for (const QVariant &value : FFilter->DistinctValues(f)) {
        const QString text = def.Format ? def.Format(value) : TMemTable::DefaultText(def.Kind, value);
        const bool chosen = current.Mode == TColumnFilter::ByValues && current.Matches(def.Kind, value);
        add(text, chosen, [this, field, value] { SetColumnFilter(field, TColumnFilter::ValueFilter(value)); });
    }
    return menu;
}

void TDataGrid::ShowFilterMenu(int field, const QPoint &globalPos)
{
    std::unique_ptr<QMenu> menu(CreateFilterMenu(FTable->Field(field).Name, this));
    menu->exec(globalPos);
}

bool TDataGrid::EditCustomFilter(const QString &field)
{
    const int f = FieldOf(field);
    const TFieldDef &def = FTable->Field(f);
    QStringList texts;
    for (const QVariant &value : FFilter->DistinctValues(f))
        texts << (def.Format ? def.Format(value) : TMemTable::DefaultText(def.Kind, value));
    TFormCustomFilter dialog(def, FTable->headerData(f, Qt::Horizontal).toString(), texts, this);
    TColumnFilter filter = FFilter->Filter(f);
    if (!dialog.Execute(filter))
        return false;
    SetColumnFilter(field, filter);
    return true;
}

void TDataGrid::ShowHeaderMenu(int field, const QPoint &globalPos)
{
    const QString name = FTable->Field(field).Name;
    QMenu menu;
    if (GroupingBoxVisible() && !FNoGroup.contains(field) && !FGroups->GroupFields().contains(field))
        connect(menu.addAction(QStringLiteral("Группировать по этой колонке")), &QAction::triggered, this,
                [this, name] { GroupBy(name); });
    if (!FGroups->GroupFields().isEmpty())
        connect(menu.addAction(QStringLiteral("Разгруппировать")), &QAction::triggered, this, [this] {
            for (const QString &grouped : GroupFields())
                Ungroup(grouped);
        });
    if (FFilter->Filter(field).IsActive())
        connect(menu.addAction(QStringLiteral("Снять фильтр")), &QAction::triggered, this,
                [this, name] { SetColumnFilter(name, {}); });
    if (!menu.isEmpty())
        menu.exec(globalPos);
}

void TDataGrid::GroupBy(const QString &field)
{
    const int f = FieldOf(field);
    QList<int> fields = FGroups->GroupFields();
    if (fields.contains(f) || FNoGroup.contains(f))
        return;
    fields << f;
    FGroups->SetGroupFields(fields);
    ApplyColumnVisibility();
    QStringList captions;
    for (int g : fields)
        captions << FTable->headerData(g, Qt::Horizontal).toString();
    FGroupPanel->Show(fields, captions);
    FView->setRootIsDecorated(true);
}

void TDataGrid::Ungroup(const QString &field)
{
    QList<int> fields = FGroups->GroupFields();
    if (!fields.removeOne(FieldOf(field)))
        return;
    FGroups->SetGroupFields(fields);
    ApplyColumnVisibility();
    QStringList captions;
    for (int g : fields)
        captions << FTable->headerData(g, Qt::Horizontal).toString();
    FGroupPanel->Show(fields, captions);
    FView->setRootIsDecorated(!fields.isEmpty());
}

QStringList TDataGrid::GroupFields() const
{
    QStringList names;
    for (int f : FGroups->GroupFields())
        names << FTable->Field(f).Name;
    return names;
}

void TDataGrid::ExpandAll()
{
    FView->expandAll();
}

int TDataGrid::GroupRowCount() const
{
    return FGroups->GroupFields().isEmpty() ? 0 : FGroups->TopRowCount();
}

void TDataGrid::SaveState()
{
    FSavedKey = FocusedKey();
    FSavedScroll = FView->verticalScrollBar()->value();
}

void TDataGrid::RestoreState()
{
    FGroups->ForEachGroup([this](TGroupNode *group) {
        const QModelIndex index = FGroups->IndexOfNode(group);
        FView->setFirstColumnSpanned(group->Row, index.parent(), true);
        if (FExpanded.contains(group->Path))
            FView->expand(index);
    });
    FView->verticalScrollBar()->setValue(FSavedScroll);
    if (!FSavedKey.isValid() || FSavedKey.isNull())
        return;
    for (int row : FGroups->DisplayRows()) {
        if (FTable->Value(row, FKeyField) != FSavedKey)
            continue;
        // A row inside a collapsed group leaves the focus on that group, closed.
        QModelIndex shown = FGroups->IndexOfRow(row);
        for (QModelIndex p = shown.parent(); p.isValid(); p = p.parent())
            if (!FView->isExpanded(p))
                shown = p;
        FView->selectionModel()->setCurrentIndex(shown, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        return;
    }
}

bool TDataGrid::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == FView->viewport()
        && (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonRelease)) {
        auto *mouse = static_cast<QMouseEvent *>(event);
        const QModelIndex index = FView->indexAt(mouse->position().toPoint());
        const int row = FGroups->TableRow(index);
        if (event->type() == QEvent::MouseButtonPress) {
            FPressedRow = row;
        } else if (row >= 0 && row == FPressedRow
                   && (mouse->button() == Qt::LeftButton || mouse->button() == Qt::RightButton)) {
            FPressedRow = -1;
            const QVariant key = KeyOf(row);
            emit RowClicked(key, row, FTable->Field(index.column()).Name, mouse->button());
            if (mouse->button() == Qt::RightButton)
                emit RowContextMenu(key, row, mouse->globalPosition().toPoint());
        }
    }
    return QWidget::eventFilter(watched, event);
}
