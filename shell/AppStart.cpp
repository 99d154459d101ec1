#include "shell/AppStart.h"

#include "data/UnitData.h"
#include "platform/MessDlgs.h"
#include "shell/UnitLogin.h"
#include "shell/UnitMain.h"
#include "shell/UnitUserForm.h"

namespace {

void InstallDataHooks()
{
    DataHooks.ShowMessage = [](const QString &text, TMsgDlgType kind, TMsgDlgButtons buttons) {
        return ShowMessageDialog(text, kind, buttons);
    };
    DataHooks.CloseMainWindow = [] {
        if (FormMain)
            FormMain->close();
    };
}

} // namespace

TApplicationRun::TApplicationRun(const QString &AProgramPath)
    : FMain(new TFormMain(AProgramPath)), FModule(new TDModule)
{
    FormMain = FMain.get();
    InstallDataHooks();
    DModule = FModule.get();
}

TApplicationRun::~TApplicationRun()
{
    // The windows may still read through the module while they close.
    FMain.reset();
    DModule = nullptr;
    FModule.reset();
}

bool TApplicationRun::Start()
{
    if (!FModule->DataModuleCreate())
        return false;
    FormLogin = new TFormLogin(FMain.get());
    // The vehicles list is open from the start.
    FMain->ActionAutoList->trigger();
    FormUser = new TFormUser(FMain.get());
    FMain->showMaximized();
    return true;
}
