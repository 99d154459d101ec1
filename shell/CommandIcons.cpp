#include "shell/CommandIcons.h"

#include <QDir>
#include <QFile>

// The resource lives in a static library: register it before the first use.
static void EnsureIconResource()
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(icons);
        return true;
    }();
    Q_UNUSED(registered);
}

QStringList CommandIconNames()
{
    EnsureIconResource();
    QStringList names;
    for (const QString &file : QDir(QStringLiteral(":/icons")).entryList({QStringLiteral("*.png")}))
        names << file.chopped(4);
    return names;
}

QIcon CommandIcon(const QString &name)
{
    EnsureIconResource();
    const QString path = QStringLiteral(":/icons/") + name + QStringLiteral(".png");
    return QFile::exists(path) ? QIcon(path) : QIcon();
}
