#include "shell/UnitMain.h"

#include <QAction>
#include <QCloseEvent>
#include <QApplication>
#include <QComboBox>
#include <QDockWidget>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTextEdit>
#include <QTimer>
#include <QToolBar>
#include <QToolBox>
#include <QToolButton>
#include <QVBoxLayout>

#include "data/UnitData.h"
#include "operations/Receipt.h"
#include "operations/UnitAutoInForm.h"
#include "operations/UnitAutoOutForm.h"
#include "operations/UnitPaymentForm.h"
#include "operations/UnitPayments.h"
#include "platform/ErrorBox.h"
#include "platform/MessDlgs.h"
#include "reports/UnitReportAuto.h"
#include "reports/UnitReportService.h"
#include "reports/UnitReportSumma.h"
#include "shell/CommandIcons.h"
#include "shell/UnitAbout.h"
#include "shell/UnitAutoForm.h"
#include "shell/UnitAutos.h"
#include "shell/UnitLogin.h"
#include "shell/UnitOptions.h"
#include "shell/UnitPlaceForm.h"
#include "shell/UnitPlaces.h"
#include "shell/UnitServiceForm.h"
#include "shell/UnitServices.h"
#include "shell/UnitUserForm.h"
#include "shell/UnitUsers.h"

QPointer<TFormMain> FormMain;

namespace {

constexpr int LabelAutoWidth = 300;
constexpr int LabelAutoFontHeight = 16;
constexpr int NavBarWidth = 164;
constexpr int UserPanelWidth = 300;
constexpr int SecondPanelWidth = 50;

QString FullName(const TUser &AUser)
{
    return (AUser.LastName + " " + AUser.FirstName + " " + AUser.MiddleName).trimmed();
}

} // namespace

TFormMain::TFormMain(const QString &AProgramPath, QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("FormMain"));
    setWindowTitle(QStringLiteral("Tollvane"));

    FMdiArea = new QMdiArea(this);
    FMdiArea->setObjectName(QStringLiteral("MdiArea"));
    setCentralWidget(FMdiArea);

    CreateCommands();
    CreateMenus();
    CreateToolBars();
    CreateNavigationPane();
    CreateStatusBar();

    connect(FMdiArea, &QMdiArea::subWindowActivated, this, &TFormMain::UpdateWindowCommands);
    connect(qApp, &QApplication::focusChanged, this, &TFormMain::UpdateEditCommands);
    UpdateWindowCommands();
    UpdateEditCommands();

    InitConfigPaths(AProgramPath);
    ReadConfigFile(ConfigData.XMLConfigFilePath + ConfigData.XMLConfigFileName);
    CurrentAuto.Id = 0;
    SetNewCurrentAuto(CurrentAuto);
}

TFormMain::~TFormMain() = default;

// ------------------------------------------------------------ command table

QAction *TFormMain::MakeAction(const char *AName, const QString &ACaption, const QString &AHint,
                               void (TFormMain::*AHandler)())
{
    auto *action = new QAction(ACaption, this);
    action->setObjectName(QString::fromLatin1(AName));
    action->setIcon(CommandIcon(action->objectName()));
    action->setToolTip(AHint.isEmpty() ? ACaption : AHint);
    action->setStatusTip(AHint);
    if (AHandler)
        connect(action, &QAction::triggered, this, [this, AHandler] { GuardedCall([&] { (this->*AHandler)(); }); });
    return action;
}

void TFormMain::CreateCommands()
{
    ActionAutoIn = MakeAction("ActionAutoIn", "Въезд авто", "Регистрация въезда автомобиля",
                              &TFormMain::ActionAutoInExecute);
    ActionAutoOut = MakeAction("ActionAutoOut", "Выезд авто", "Регистрация выезда автомобиля",
                               &TFormMain::ActionAutoOutExecute);
    ActionPaymentNew = MakeAction("ActionPaymentNew", "Новая оплата", "Новая оплата",
                                  &TFormMain::ActionPaymentNewExecute);
    ActionAutoList = MakeAction("ActionAutoList", "Список ТС", "Список зарегистрированных ТС",
                                &TFormMain::ActionAutoListExecute);
    ActionAutoNew = MakeAction("ActionAutoNew", "Новое ТС", "Зарегистрировать новое ТС",
                               &TFormMain::ActionAutoNewExecute);
    ActionPaymentsList = MakeAction("ActionPaymentsList", "Список платежей", "Список платежей",
                                    &TFormMain::ActionPaymentsListExecute);
    ActionPlacesList = MakeAction("ActionPlacesList", "Список парковочных мест", "Список парковочных мест",
                                  &TFormMain::ActionPlacesListExecute);
    ActionPlaceNew = MakeAction("ActionPlaceNew", "Новое парковочное место", "Новое парковочное место",
                                &TFormMain::ActionPlaceNewExecute);
    ActionServicesList = MakeAction("ActionServicesList", "Тарифы", "Список тарифов",
                                    &TFormMain::ActionServicesListExecute);
    ActionServiceNew = MakeAction("ActionServiceNew", "Новый тариф", "Новый тариф",
                                  &TFormMain::ActionServiceNewExecute);
    ActionUserList = MakeAction("ActionUserList", "Список пользователей", "Список пользователей",
                                &TFormMain::ActionUserListExecute);
    ActionOptions = MakeAction("ActionOptions", "Параметры", "Параметры", &TFormMain::ActionOptionsExecute);
    ActionReportAuto = MakeAction("ActionReportAuto", "Учет въездов", "Учет въездов",
                                  &TFormMain::ActionReportAutoExecute);
    ActionReportSumma = MakeAction("ActionReportSumma", "Отчет о выручке", "Отчет о выручке",
                                   &TFormMain::ActionReportSummaExecute);
    ActionReportService = MakeAction("ActionReportService", "Отчет о ТС на парковке",
                                     "Отчет о наличие ТС на парковке", &TFormMain::ActionReportServiceExecute);
    ActionAbout = MakeAction("ActionAbout", "О программе", "О программе", &TFormMain::ActionAboutExecute);
    // The login runs its own guard: an error there decides whether the run goes on.
    ActionUserLogin = MakeAction("ActionUserLogin", "Вход пользователя", QString(), nullptr);
    connect(ActionUserLogin, &QAction::triggered, this, &TFormMain::ActionUserLoginExecute);
    ActionChangeUser = MakeAction("ActionChangeUser", "Сменить пользователя", QString(), nullptr);
    connect(ActionChangeUser, &QAction::triggered, this, &TFormMain::ActionChangeUserExecute);
    ActionFileExit = MakeAction("ActionFileExit", "Выход", "Закрыть программу", nullptr);
    connect(ActionFileExit, &QAction::triggered, this, &QWidget::close);

    CreateEditCommands();
    CreateWindowCommands();
}

namespace {

// The text field that has the focus, as a line edit or a multi-line edit.
struct TFocusedText {
    QLineEdit *Line = nullptr;
    QPlainTextEdit *Plain = nullptr;
    QTextEdit *Rich = nullptr;
    bool Any() const { return Line || Plain || Rich; }
    bool ReadOnly() const
    {
        return (Line && Line->isReadOnly()) || (Plain && Plain->isReadOnly()) || (Rich && Rich->isReadOnly());
    }
};

TFocusedText FocusedText()
{
    TFocusedText focused;
    QWidget *widget = QApplication::focusWidget();
    if (auto *combo = qobject_cast<QComboBox *>(widget))
        focused.Line = combo->lineEdit();
    else
        focused.Line = qobject_cast<QLineEdit *>(widget);
    focused.Plain = qobject_cast<QPlainTextEdit *>(widget);
    focused.Rich = qobject_cast<QTextEdit *>(widget);
    return focused;
}

template <class TLine, class TPlain>
void OnFocusedText(TLine ALine, TPlain AText)
{
    const TFocusedText focused = FocusedText();
    if (focused.Line)
        ALine(focused.Line);
    else if (focused.Plain)
        AText(focused.Plain);
    else if (focused.Rich)
        AText(focused.Rich);
}

} // namespace

void TFormMain::CreateEditCommands()
{
    EditCopy1 = MakeAction("EditCopy1", "Копировать", QString(), nullptr);
    EditCut1 = MakeAction("EditCut1", "Вырезать", QString(), nullptr);
    EditPaste1 = MakeAction("EditPaste1", "Вставить", QString(), nullptr);
    EditDelete1 = MakeAction("EditDelete1", "Удалить", QString(), nullptr);
    EditUndo1 = MakeAction("EditUndo1", "Отменить", QString(), nullptr);
    EditCopy1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    EditCut1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_X));
    EditPaste1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_V));
    EditDelete1->setShortcut(QKeySequence(Qt::Key_Delete));
    EditUndo1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));

    connect(EditCopy1, &QAction::triggered, this, [] {
        OnFocusedText([](QLineEdit *e) { e->copy(); }, [](auto *e) { e->copy(); });
    });
    connect(EditCut1, &QAction::triggered, this, [] {
        OnFocusedText([](QLineEdit *e) { e->cut(); }, [](auto *e) { e->cut(); });
    });
    connect(EditPaste1, &QAction::triggered, this, [] {
        OnFocusedText([](QLineEdit *e) { e->paste(); }, [](auto *e) { e->paste(); });
    });
    connect(EditDelete1, &QAction::triggered, this, [] {
        OnFocusedText([](QLineEdit *e) { e->del(); }, [](auto *e) { e->textCursor().removeSelectedText(); });
    });
    connect(EditUndo1, &QAction::triggered, this, [] {
        OnFocusedText([](QLineEdit *e) { e->undo(); }, [](auto *e) { e->undo(); });
    });
}

void TFormMain::UpdateEditCommands()
{
    const TFocusedText focused = FocusedText();
    const bool writable = focused.Any() && !focused.ReadOnly();
    EditCopy1->setEnabled(focused.Any());
    EditCut1->setEnabled(writable);
    EditPaste1->setEnabled(writable);
    EditDelete1->setEnabled(writable);
    EditUndo1->setEnabled(writable);
}

void TFormMain::CreateWindowCommands()
{
    WindowCascade1 = MakeAction("WindowCascade1", "Каскадом", QString(), nullptr);
    WindowTileHorizontal1 = MakeAction("WindowTileHorizontal1", "Горизонтально", QString(), nullptr);
    WindowTileVertical1 = MakeAction("WindowTileVertical1", "Вертикально", QString(), nullptr);
    WindowArrange1 = MakeAction("WindowArrange1", "Упорядочить", QString(), nullptr);
    WindowMinimizeAll1 = MakeAction("WindowMinimizeAll1", "Свернуть все", QString(), nullptr);
    WindowClose1 = MakeAction("WindowClose1", "Закрыть окно", QString(), nullptr);

    connect(WindowCascade1, &QAction::triggered, FMdiArea, &QMdiArea::cascadeSubWindows);
    connect(WindowTileHorizontal1, &QAction::triggered, this, [this] { TileSubWindows(Qt::Horizontal); });
    connect(WindowTileVertical1, &QAction::triggered, this, [this] { TileSubWindows(Qt::Vertical); });
    connect(WindowArrange1, &QAction::triggered, this, &TFormMain::ArrangeMinimized);
    connect(WindowMinimizeAll1, &QAction::triggered, this, [this] {
        for (QMdiSubWindow *window : FMdiArea->subWindowList())
            window->showMinimized();
    });
    connect(WindowClose1, &QAction::triggered, FMdiArea, &QMdiArea::closeActiveSubWindow);
}

void TFormMain::UpdateWindowCommands()
{
    const bool any = !FMdiArea->subWindowList().isEmpty();
    for (QAction *action : {WindowCascade1, WindowTileHorizontal1, WindowTileVertical1, WindowArrange1,
                            WindowMinimizeAll1, WindowClose1})
        action->setEnabled(any);
}

// Horizontally: the windows lie one below the other, each as wide as the
// area; vertically: side by side, each as high as the area.
void TFormMain::TileSubWindows(Qt::Orientation AOrientation)
{
    QList<QMdiSubWindow *> windows;
    for (QMdiSubWindow *window : FMdiArea->subWindowList())
        if (!window->isMinimized())
            windows << window;
    if (windows.isEmpty())
        return;
    const QRect area = FMdiArea->viewport()->rect();
    const int count = int(windows.size());
    for (int i = 0; i < count; ++i) {
        QMdiSubWindow *window = windows.at(i);
        window->showNormal();
        if (AOrientation == Qt::Horizontal) {
            const int top = area.height() * i / count;
            window->setGeometry(0, top, area.width(), area.height() * (i + 1) / count - top);
        } else {
            const int left = area.width() * i / count;
            window->setGeometry(left, 0, area.width() * (i + 1) / count - left, area.height());
        }
    }
}

// Lines the minimized windows up along the bottom edge of the area.
void TFormMain::ArrangeMinimized()
{
    const QRect area = FMdiArea->viewport()->rect();
    int left = 0;
    for (QMdiSubWindow *window : FMdiArea->subWindowList()) {
        if (!window->isMinimized())
            continue;
        window->move(left, area.height() - window->height());
        left += window->width();
    }
}

// ------------------------------------------------------------ frame

void TFormMain::CreateMenus()
{
    QMenuBar *menu = menuBar();
    menu->setObjectName(QStringLiteral("AdvMainMenu1"));

    QMenu *file = menu->addMenu(QStringLiteral("Файл"));
    file->addAction(ActionChangeUser);
    file->addSeparator();
    file->addAction(ActionFileExit);

    QMenu *edit = menu->addMenu(QStringLiteral("Правка"));
    edit->addActions({EditCopy1, EditCut1, EditPaste1, EditDelete1});
    edit->addSeparator();
    edit->addAction(EditUndo1);

    QMenu *autos = menu->addMenu(QStringLiteral("ТС"));
    autos->addActions({ActionAutoIn, ActionAutoOut});
    autos->addSeparator();
    autos->addActions({ActionAutoNew, ActionAutoList});

    QMenu *payments = menu->addMenu(QStringLiteral("Оплаты"));
    payments->addActions({ActionPaymentNew, ActionPaymentsList});

    QMenu *reports = menu->addMenu(QStringLiteral("Отчеты"));
    reports->addActions({ActionReportAuto, ActionReportSumma, ActionReportService});

    QMenu *settings = menu->addMenu(QStringLiteral("Настройка"));
    settings->addActions({ActionPlacesList, ActionUserList});
    settings->addSeparator();
    settings->addActions({ActionServicesList, ActionOptions});

    QMenu *windows = menu->addMenu(QStringLiteral("Окно"));
    windows->addActions({WindowCascade1, WindowTileHorizontal1, WindowTileVertical1, WindowArrange1,
                         WindowMinimizeAll1, WindowClose1});

    QMenu *help = menu->addMenu(QStringLiteral("Помощь"));
    help->addAction(ActionAbout);

    for (QMenu *each : menu->findChildren<QMenu *>())
        each->setToolTipsVisible(true);
}

void TFormMain::CreateToolBars()
{
    QToolBar *first = addToolBar(QStringLiteral("ТС"));
    first->setObjectName(QStringLiteral("ToolBar1"));
    first->setMovable(false);
    first->setIconSize(QSize(24, 24));
    first->setToolButtonStyle(Qt::ToolButtonIconOnly);
    first->addActions({ActionAutoList, ActionAutoNew});

    QToolBar *second = addToolBar(QStringLiteral("Операции"));
    second->setObjectName(QStringLiteral("ToolBar1Band2"));
    second->setMovable(false);
    second->setIconSize(QSize(24, 24));
    second->setToolButtonStyle(Qt::ToolButtonIconOnly);
    for (QAction *action : {ActionAutoIn, ActionAutoOut}) {
        second->addAction(action);
        if (auto *button = qobject_cast<QToolButton *>(second->widgetForAction(action)))
            button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    }
    second->addSeparator();
    second->addAction(ActionPaymentNew);
    second->addSeparator();

    LabelAutoSelected = new QLabel(second);
    LabelAutoSelected->setObjectName(QStringLiteral("LabelAutoSelected"));
    LabelAutoSelected->setFixedWidth(LabelAutoWidth);
    LabelAutoSelected->setAlignment(Qt::AlignCenter);
    QFont font = LabelAutoSelected->font();
    font.setPixelSize(LabelAutoFontHeight);
    LabelAutoSelected->setFont(font);
    LabelAutoSelected->setToolTip(QStringLiteral("Выбранный автомобиль"));
    second->addWidget(LabelAutoSelected);
}

void TFormMain::CreateNavigationPane()
{
    FNavBar = new QToolBox;
    FNavBar->setObjectName(QStringLiteral("dxNavBar1"));
    const struct {
        QString Caption;
        QList<QAction *> Items;
    } groups[] = {
        {QStringLiteral("ТС"), {ActionAutoIn, ActionAutoOut, ActionAutoList, ActionAutoNew}},
        {QStringLiteral("Оплаты"), {ActionPaymentsList}},
        {QStringLiteral("Отчеты"), {ActionReportAuto, ActionReportSumma, ActionReportService}},
    };
    for (const auto &group : groups) {
        auto *page = new QWidget;
        auto *layout = new QVBoxLayout(page);
        layout->setContentsMargins(4, 4, 4, 4);
        for (QAction *action : group.Items) {
            auto *item = new QToolButton(page);
            item->setDefaultAction(action);
            item->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
            item->setIconSize(QSize(24, 24));
            item->setAutoRaise(true);
            item->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
            layout->addWidget(item);
        }
        layout->addStretch();
        FNavBar->addItem(page, group.Caption);
    }
    FNavBar->setCurrentIndex(0);

    auto *dock = new QDockWidget(this);
    dock->setObjectName(QStringLiteral("DockNavBar"));
    dock->setFeatures(QDockWidget::NoDockWidgetFeatures);
    dock->setTitleBarWidget(new QWidget(dock));
    dock->setWidget(FNavBar);
    dock->setFixedWidth(NavBarWidth);
    addDockWidget(Qt::LeftDockWidgetArea, dock);
}

void TFormMain::CreateStatusBar()
{
    QStatusBar *status = statusBar();
    status->setObjectName(QStringLiteral("StatusBarMain"));
    status->setSizeGripEnabled(false);
    for (int width : {UserPanelWidth, SecondPanelWidth}) {
        auto *panel = new QLabel(status);
        panel->setFixedWidth(width);
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
        status->addWidget(panel);
        FStatusPanels << panel;
    }
}

QLabel *TFormMain::StatusPanel(int AIndex) const
{
    return FStatusPanels.at(AIndex);
}

// ------------------------------------------------------------ state

void TFormMain::SetNewCurrentAuto(const TAuto &AAuto)
{
    if (AAuto.Id <= 0) {
        LabelAutoSelected->setText(QStringLiteral("ТС не выбрано"));
        LabelAutoSelected->setEnabled(false);
        ActionAutoIn->setEnabled(false);
        ActionAutoOut->setEnabled(false);
        ActionPaymentNew->setEnabled(false);
        return;
    }
    LabelAutoSelected->setText((AAuto.Gosnomer + " " + AAuto.Model + " " + AAuto.Color).trimmed());
    LabelAutoSelected->setEnabled(true);
    ActionPaymentNew->setEnabled(true);
    const bool onPlace = AAuto.Place.Id != 0;
    ActionAutoIn->setEnabled(!onPlace);
    ActionAutoOut->setEnabled(onPlace);
}

void TFormMain::SetNewCurrentUser(const TUser &AUser)
{
    const bool loggedIn = AUser.Id > 0;
    StatusPanel(0)->setText(loggedIn ? FullName(AUser) : QStringLiteral("< Нет пользователя >"));
    const bool administrator = loggedIn && AUser.Role == 1;
    ActionUserList->setVisible(administrator);
    ActionOptions->setVisible(administrator);
}

void TFormMain::ShowCheck(const TPayment &APayment)
{
    ShowReceipt(APayment);
}

// ------------------------------------------------------------ child windows

void TFormMain::ShowChildWindow(QWidget *AWindow)
{
    for (QMdiSubWindow *window : FMdiArea->subWindowList()) {
        if (window->widget() == AWindow) {
            if (window->isMinimized())
                window->showMaximized();
            FMdiArea->setActiveSubWindow(window);
            return;
        }
    }
    QMdiSubWindow *window = FMdiArea->addSubWindow(AWindow);
    window->setWindowTitle(AWindow->windowTitle());
    window->setWindowIcon(AWindow->windowIcon());
    // The list of windows shrinks only after the closed one is gone.
    connect(window, &QObject::destroyed, this, &TFormMain::UpdateWindowCommands, Qt::QueuedConnection);
    window->showMaximized();
    FMdiArea->setActiveSubWindow(window);
    UpdateWindowCommands();
}

void TFormMain::RegisterOpenList(TListKind AKind, QWidget *AWindow, std::function<void()> ARefresh)
{
    FOpenLists.append({AKind, AWindow, std::move(ARefresh)});
}

void TFormMain::RefreshOpenLists(std::initializer_list<TListKind> AKinds)
{
    // Freed windows leave the table first; a refresh may open nothing new.
    FOpenLists.erase(std::remove_if(FOpenLists.begin(), FOpenLists.end(),
                                    [](const TOpenList &list) { return list.Window.isNull(); }),
                     FOpenLists.end());
    const QList<TOpenList> lists = FOpenLists;
    for (const TOpenList &list : lists)
        if (std::find(AKinds.begin(), AKinds.end(), list.Kind) != AKinds.end() && list.Window)
            list.Refresh();
}

// ------------------------------------------------------------ login

void TFormMain::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (FShownOnce)
        return;
    FShownOnce = true;
    // After the frame has been painted, so the login dialog stands on it.
    QTimer::singleShot(0, this, [this] {
        if (CurrentUser.Id == 0)
            ActionUserLogin->trigger();
    });
}

void TFormMain::closeEvent(QCloseEvent *event)
{
    QMainWindow::closeEvent(event);
    if (event->isAccepted())
        QCoreApplication::postEvent(qApp, new QEvent(QEvent::Quit));
}

void TFormMain::RunLoginLoop()
{
    for (;;) {
        if (!FormLogin->Execute()) {
            close();
            return;
        }
        SetNewCurrentUser(CurrentUser);
        if (CurrentUser.Id > 0)
            return;
        ShowWarning(QStringLiteral("Пользователь не найден"));
    }
}

// At start nobody is logged in yet: a database error there ends the run.
void TFormMain::ActionUserLoginExecute()
{
    if (!GuardedCall([this] { RunLoginLoop(); }))
        close();
}

// A database error here leaves the previous user logged in.
void TFormMain::ActionChangeUserExecute()
{
    GuardedCall([this] { RunLoginLoop(); });
}

// ------------------------------------------------------------ command handlers

void TFormMain::ActionAutoInExecute()
{
    TFormAutoIn form(this);
    if (form.Execute(&CurrentAuto))
        RefreshOpenLists({TListKind::Autos, TListKind::Places});
}

void TFormMain::ActionAutoOutExecute()
{
    TFormAutoOut form(this);
    if (form.Execute(&CurrentAuto))
        RefreshOpenLists({TListKind::Autos, TListKind::Places});
}

void TFormMain::ActionPaymentNewExecute()
{
    if (CurrentAuto.Id <= 0) {
        ShowWarning(QStringLiteral("ТС не выбрано!"));
        return;
    }
    TFormPayment form(this);
    if (form.Execute(0))
        RefreshOpenLists({TListKind::Payments, TListKind::Autos});
}

void TFormMain::ActionAutoListExecute()
{
    if (!FormAutos)
        FormAutos = new TFormAutos;
    ShowChildWindow(FormAutos);
}

void TFormMain::ActionAutoNewExecute()
{
    if (TFormAuto::ExecuteCard(0))
        RefreshOpenLists({TListKind::Autos});
}

void TFormMain::ActionPaymentsListExecute()
{
    if (!FormPayments) {
        auto *list = new TFormPayments;
        RegisterOpenList(TListKind::Payments, list, [list] { list->RefreshTable(); });
    }
    ShowChildWindow(FormPayments);
}

void TFormMain::ActionPlacesListExecute()
{
    if (!FormPlaces)
        FormPlaces = new TFormPlaces;
    ShowChildWindow(FormPlaces);
}

void TFormMain::ActionPlaceNewExecute()
{
    if (TFormPlace::ExecuteCard(0))
        RefreshOpenLists({TListKind::Places});
}

void TFormMain::ActionServicesListExecute()
{
    if (!FormServices)
        FormServices = new TFormServices;
    ShowChildWindow(FormServices);
}

void TFormMain::ActionServiceNewExecute()
{
    if (TFormService::ExecuteCard(0))
        RefreshOpenLists({TListKind::Services});
}

void TFormMain::ActionUserListExecute()
{
    if (!FormUsers)
        FormUsers = new TFormUsers;
    ShowChildWindow(FormUsers);
}

void TFormMain::ActionOptionsExecute()
{
    TFormOptions::ExecuteDialog();
}

// Opens the vehicle entries report.
void TFormMain::ActionReportAutoExecute()
{
    if (!FormReportAuto)
        FormReportAuto = new TFormReportAuto;
    ShowChildWindow(FormReportAuto);
}

// Opens the revenue report.
void TFormMain::ActionReportSummaExecute()
{
    if (!FormReportSumma)
        FormReportSumma = new TFormReportSumma;
    ShowChildWindow(FormReportSumma);
}

// Opens the report of the vehicles on the car park.
void TFormMain::ActionReportServiceExecute()
{
    if (!FormReportService)
        FormReportService = new TFormReportService;
    ShowChildWindow(FormReportService);
}

void TFormMain::ActionAboutExecute()
{
    TFormAbout::ShowAbout(this);
}
