// The daily ZIP copy of the database file, kept in "backup" beside the program.
#include "data/UnitData.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <zip.h>

#include <algorithm>

namespace {

const int KeptArchives = 2;
const int ShortNameLimit = 16;

QDate ArchiveDay()
{
    return DataHooks.Today ? DataHooks.Today() : QDate::currentDate();
}

void RemoveEntry(const QDir &folder, const QString &name)
{
    const QString path = folder.filePath(name);
    if (QFileInfo(path).isDir())
        QDir(path).removeRecursively();
    else
        QFile::remove(path);
}

// Removes short names at once and all but the newest archives by name.
void PruneArchives(const QDir &folder)
{
    QStringList kept;
    const auto entries = folder.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &name : entries) {
        if (name.size() <= ShortNameLimit)
            RemoveEntry(folder, name);
        else
            kept << name;
    }
    std::sort(kept.begin(), kept.end(),
              [](const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    while (kept.size() > KeptArchives)
        RemoveEntry(folder, kept.takeFirst());
}

// libzip reads the database from disk while it writes the archive, so the
// file is never held in memory whole.
QString WriteArchive(const QString &archivePath, const QString &databasePath)
{
    int error = 0;
    zip_t *archive = zip_open(QFile::encodeName(archivePath).constData(), ZIP_CREATE | ZIP_EXCL, &error);
    if (!archive) {
        zip_error_t ze;
        zip_error_init_with_code(&ze, error);
        const QString message = QString::fromUtf8(zip_error_strerror(&ze));
        zip_error_fini(&ze);
        return message;
    }
    zip_source_t *source = zip_source_file(archive, QFile::encodeName(databasePath).constData(), 0, -1);
    const QByteArray entry = QFileInfo(databasePath).fileName().toUtf8();
    if (!source || zip_file_add(archive, entry.constData(), source, ZIP_FL_ENC_UTF_8) < 0) {
        const QString message = QString::fromUtf8(zip_strerror(archive));
        if (source)
            zip_source_free(source);
        zip_discard(archive);
        return message;
    }
    if (zip_close(archive) != 0) {
        const QString message = QString::fromUtf8(zip_strerror(archive));
        zip_discard(archive);
        QFile::remove(archivePath);
        return message;
    }
    return QString();
}

} // namespace

void TDModule::ArxivData()
{
    const QString folderPath = ConfigData.ProgramPath + "backup";
    QDir folder(folderPath);
    if (!folder.exists())
        QDir().mkpath(folderPath);
    PruneArchives(folder);

    const QString archiveName = "ARX_DB_" + ArchiveDay().toString("yyMMdd") + ".ZIP";
    const QString archivePath = folder.filePath(archiveName);
    if (QFileInfo::exists(archivePath))
        return;
    const QString error = QDir(folderPath).exists() ? WriteArchive(archivePath, DatabaseFileName)
                                                    : QStringLiteral("папка не создана");
    if (error.isEmpty())
        return;
    // Without today's copy the desk must not run unnoticed; say why it stops.
    DataShowMessage(QStringLiteral("Не удалось создать архивную копию базы данных:\r\n") + archivePath
                        + QStringLiteral("\r\nТекст ошибки: ") + error
                        + QStringLiteral("\r\nОбратитесь к системному администратору."),
                    mtError, MsgButton(mbCancel));
    RequestEnd();
}
