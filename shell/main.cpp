#include <QDir>

#include "data/UnitData.h"
#include "platform/ErrorBox.h"
#include "platform/MessDlgs.h"
#include "shell/UnitLogin.h"
#include "shell/UnitMain.h"

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

int main(int argc, char **argv)
{
    TApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tollvane"));
    QApplication::setApplicationDisplayName(QStringLiteral("Tollvane"));
    QApplication::setApplicationVersion(QStringLiteral(TOLLVANE_VERSION));

    TFormMain main(QApplication::applicationDirPath());
    FormMain = &main;

    InstallDataHooks();
    TDModule module;
    DModule = &module;
    if (!module.DataModuleCreate())
        return 1;

    FormLogin = new TFormLogin(&main);

    main.showMaximized();
    const int result = app.exec();
    DModule = nullptr;
    return result;
}
