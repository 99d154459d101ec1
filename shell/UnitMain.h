#pragma once
// The main window: a maximized multiple-document frame with the menu, two
// toolbar bands, the navigation pane and the status bar around the area in
// which every list window opens as a child window. It owns the one command
// table (one QAction per command) that the menu, the toolbar, the pane and the
// lists' "new" buttons share.
//
// Adding a list window (a child window):
//   - keep one global reference to it, a QPointer so that it clears itself
//     when the window is freed:        QPointer<TFormPlaces> FormPlaces;
//   - give the window Qt::WA_DeleteOnClose and let it load its rows when it is
//     first shown (inside GuardedCall, so a database error leaves it empty);
//   - open it from its command handler with
//         if (!FormPlaces) FormPlaces = new TFormPlaces;
//         FormMain->ShowChildWindow(FormPlaces);
//     which adds it maximized on first use and brings it forward afterwards;
//   - register it for the refresh after commands, in its constructor:
//         FormMain->RegisterOpenList(TListKind::Places, this, [this] { RefreshTable(); });
//     The registration ends by itself when the window is freed.
//   - a "new" button of the list shows the shared command:
//         button->setDefaultAction(FormMain->ActionPlaceNew);
//
// Command handlers are the ActionXxxExecute functions below, one per command;
// each runs inside GuardedCall, so a database error a read lets through stops
// the command and is shown in the error box.
#include <QList>
#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <initializer_list>

#include "data/Records.h"

class QAction;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolBar;
class QToolBox;

// The list windows the main window refreshes after a command.
enum class TListKind { Autos, Places, Services, Payments };

class TFormMain : public QMainWindow {
    Q_OBJECT
public:
    // Fixes the run's paths from the program folder (with the executable in
    // it) and reads config.xml there; touches no database.
    explicit TFormMain(const QString &AProgramPath, QWidget *parent = nullptr);
    ~TFormMain() override;

    // Shows AAuto as the current vehicle and enables the check-in, check-out
    // and payment commands from its state. Callers pass CurrentAuto.
    void SetNewCurrentAuto(const TAuto &AAuto);
    // Shows AUser in the status bar and shows the administrator commands to an
    // administrator only. Callers pass CurrentUser.
    void SetNewCurrentUser(const TUser &AUser);
    // Prints the receipt of a payment.
    void ShowCheck(const TPayment &APayment);

    // Adds AWindow to the window area as a maximized child window on first
    // use; afterwards brings it to the front without reloading it.
    void ShowChildWindow(QWidget *AWindow);
    QMdiArea *MdiArea() const { return FMdiArea; }

    // A list window takes part in RefreshOpenLists while it exists.
    void RegisterOpenList(TListKind AKind, QWidget *AWindow, std::function<void()> ARefresh);
    // Refreshes those of the lists that are open.
    void RefreshOpenLists(std::initializer_list<TListKind> AKinds);

    // The command table. A command run from code (trigger()) runs its handler
    // only while it is enabled, exactly as a click does.
    QAction *ActionAutoIn;
    QAction *ActionAutoOut;
    QAction *ActionPaymentNew;
    QAction *ActionAutoList;
    QAction *ActionAutoNew;
    QAction *ActionPaymentsList;
    QAction *ActionPlacesList;
    QAction *ActionPlaceNew;
    QAction *ActionServicesList;
    QAction *ActionServiceNew;
    QAction *ActionUserList;
    QAction *ActionOptions;
    QAction *ActionReportAuto;
    QAction *ActionReportSumma;
    QAction *ActionReportService;
    QAction *ActionAbout;
    QAction *ActionUserLogin;
    QAction *ActionChangeUser;
    QAction *ActionFileExit;
    QAction *EditCopy1;
    QAction *EditCut1;
    QAction *EditPaste1;
    QAction *EditDelete1;
    QAction *EditUndo1;
    QAction *WindowCascade1;
    QAction *WindowTileHorizontal1;
    QAction *WindowTileVertical1;
    QAction *WindowArrange1;
    QAction *WindowMinimizeAll1;
    QAction *WindowClose1;

    QLabel *LabelAutoSelected;

    // Status bar panel 0 (current user) and panel 1 (kept empty).
    QLabel *StatusPanel(int AIndex) const;

    // Command handlers.
    void ActionAutoInExecute();
    void ActionAutoOutExecute();
    void ActionPaymentNewExecute();
    void ActionAutoListExecute();
    void ActionAutoNewExecute();
    void ActionPaymentsListExecute();
    void ActionPlacesListExecute();
    void ActionPlaceNewExecute();
    void ActionServicesListExecute();
    void ActionServiceNewExecute();
    void ActionUserListExecute();
    void ActionOptionsExecute();
    void ActionReportAutoExecute();
    void ActionReportSummaExecute();
    void ActionReportServiceExecute();
    void ActionAboutExecute();
    void ActionUserLoginExecute();
    void ActionChangeUserExecute();

protected:
    void showEvent(QShowEvent *event) override;
    // Closing the main window ends the application, whatever other top-level
    // windows (receipts, reports) are still open.
    void closeEvent(QCloseEvent *event) override;

private:
    QAction *MakeAction(const char *AName, const QString &ACaption, const QString &AHint,
                        void (TFormMain::*AHandler)());
    void CreateCommands();
    void CreateEditCommands();
    void CreateWindowCommands();
    void CreateMenus();
    void CreateToolBars();
    void CreateNavigationPane();
    void CreateStatusBar();
    void UpdateEditCommands();
    void UpdateWindowCommands();
    void TileSubWindows(Qt::Orientation AOrientation);
    void ArrangeMinimized();
    void RunLoginLoop();

    struct TOpenList {
        TListKind Kind;
        QPointer<QWidget> Window;
        std::function<void()> Refresh;
    };

    QMdiArea *FMdiArea;
    QToolBox *FNavBar;
    QList<QLabel *> FStatusPanels;
    QList<TOpenList> FOpenLists;
    bool FShownOnce = false;
};

extern QPointer<TFormMain> FormMain;
