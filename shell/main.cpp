#include <QLocale>

#include "platform/ErrorBox.h"
#include "shell/AppStart.h"

int main(int argc, char **argv)
{
    TApplication app(argc, argv);
    // Amounts and dates read the Russian way whatever the system's locale.
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    QApplication::setApplicationName(QStringLiteral("Tollvane"));
    QApplication::setApplicationDisplayName(QStringLiteral("Tollvane"));
    QApplication::setApplicationVersion(QStringLiteral(TOLLVANE_VERSION));

    TApplicationRun run(QApplication::applicationDirPath());
    if (!run.Start())
        return 1;
    return app.exec();
}
