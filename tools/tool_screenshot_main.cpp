// Renders the main window as an administrator sees it, with a few places and
// tariffs, into a PNG (docs/screenshot-main.png):
//   xvfb-run -s "-screen 0 1280x800x24" build/tools/tool_screenshot_main docs/screenshot-main.png
// It makes its own database in a temporary program folder.
#include <QApplication>
#include <QDir>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>

#include "data/UnitData.h"
#include "platform/MessDlgs.h"
#include "shell/UnitMain.h"
#include "shell/UnitServices.h"

namespace {

bool CreateDatabase(const QString &AProgramPath)
{
    QDir(AProgramPath).mkpath("db");
    QProcess create;
    create.start("sh", {QStringLiteral(TOLLVANE_SOURCE_DIR) + "/tools/create-database.sh",
                        AProgramPath + "db/database.fdb", QStringLiteral(TOLLVANE_SOURCE_DIR) + "/data/schema.sql"});
    return create.waitForFinished(120000) && create.exitCode() == 0;
}

void AddSamples()
{
    for (const char *name : {"A-01", "A-02", "A-03", "B-01", "B-02"}) {
        TPlace place;
        place.Name = QString::fromLatin1(name);
        place.IsActive = true;
        DModule->AddPlace(&place);
    }
    const struct {
        const char *Name;
        double Price;
        int Period;
        int PeriodType;
    } tarifs[] = {{"Час", 100, 1, 2}, {"Сутки", 600, 1, 5}, {"Ночь", 300, 1, 4}, {"Месяц", 9000, 1, 7}};
    for (const auto &sample : tarifs) {
        TTarif tarif;
        tarif.Name = QString::fromUtf8(sample.Name);
        tarif.Price = sample.Price;
        tarif.Period = sample.Period;
        tarif.PeriodType = sample.PeriodType;
        tarif.StartDate = DateFromQt(QDate(2010, 1, 1));
        tarif.StopDate = DateFromQt(QDate(2030, 1, 1));
        tarif.IsActive = true;
        DModule->AddTarif(&tarif);
    }
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("Tollvane"));
    if (argc < 2) {
        qWarning("usage: tool_screenshot_main OUTPUT.png");
        return 2;
    }
    const QString output = QString::fromLocal8Bit(argv[1]);
    QTemporaryDir folder;
    const QString programPath = folder.path() + "/";
    if (!CreateDatabase(programPath)) {
        qWarning("cannot create the database");
        return 1;
    }

    TFormMain main(programPath);
    FormMain = &main;
    DataHooks.ShowMessage = [](const QString &text, TMsgDlgType kind, TMsgDlgButtons buttons) {
        return ShowMessageDialog(text, kind, buttons);
    };
    TDModule module;
    DModule = &module;
    if (!module.DataModuleCreate())
        return 1;
    CurrentUser = module.LoginUser("admin", "Gates908");
    main.SetNewCurrentUser(CurrentUser);
    AddSamples();
    CurrentAuto.Id = 1;
    CurrentAuto.Gosnomer = QStringLiteral("А123ВС 77");
    CurrentAuto.Model = QStringLiteral("Lada Vesta");
    CurrentAuto.Color = QStringLiteral("серый");
    main.SetNewCurrentAuto(CurrentAuto);

    // A bare X server has no window manager to maximize the window.
    main.setGeometry(main.screen()->availableGeometry());
    main.showMaximized();
    main.ActionPlacesList->trigger();
    main.ActionServicesList->trigger();
    int result = 1;
    QTimer::singleShot(1500, &app, [&] {
        result = main.grab().save(output) ? 0 : 1;
        app.quit();
    });
    app.exec();
    DModule = nullptr;
    return result;
}
