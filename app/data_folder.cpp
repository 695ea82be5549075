// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/data_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryDir>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

namespace pellaro {

namespace {

// The data text files hold one short line; a larger file is read only as far
// as this, which still finds any sensible first line.
constexpr qint64 kMaxTextFileRead = 1 << 20;

// Where an installed program finds the defaults its package installs,
// relative to the program's folder ("../share/pellaro/image").
#ifndef PELLARO_DEFAULTS_FROM_PROGRAM
#define PELLARO_DEFAULTS_FROM_PROGRAM "../share/pellaro/image"
#endif

QString nativePath(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

// Renames `from` to `to` only when nothing is at `to`.
bool renameWithoutReplacing(const QString& from, const QString& to, int* error)
{
    const QByteArray a = QFile::encodeName(from);
    const QByteArray b = QFile::encodeName(to);
    if (::renameat2(AT_FDCWD, a.constData(), AT_FDCWD, b.constData(), RENAME_NOREPLACE) == 0)
        return true;
    *error = errno;
    // A file system that cannot promise this: rename() still refuses a
    // folder that holds anything, and nothing else is at `to` here.
    if (*error == EINVAL || *error == ENOSYS) {
        if (QFileInfo::exists(to)) {
            *error = EEXIST;
            return false;
        }
        if (::rename(a.constData(), b.constData()) == 0)
            return true;
        *error = errno;
    }
    return false;
}

}   // namespace

ProgramPlace ProgramPlace::ofThisProgram()
{
    ProgramPlace place;
    place.programDir = QCoreApplication::applicationDirPath();
    place.programDirWritable = programDirCountsAsWritable(place.programDir, ::geteuid());
    place.dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    place.home = QDir::homePath();
    return place;
}

QString perUserDataFolder(const QString& dataHome, const QString& home)
{
    const QString base =
        !dataHome.isEmpty() && QDir::isAbsolutePath(dataHome) ? dataHome : home + QStringLiteral("/.local/share");
    return QDir::cleanPath(base + QStringLiteral("/pellaro/image"));
}

bool programDirCountsAsWritable(const QString& programDir, unsigned effectiveUid)
{
    if (effectiveUid == 0)
        return false;
    return ::access(QFile::encodeName(programDir).constData(), W_OK) == 0;
}

DataFolderChoice chooseDataFolder(const ProgramPlace& place)
{
    const QString beside = QDir::cleanPath(place.programDir + QStringLiteral("/image"));
    if (QFileInfo(beside).isDir())
        return {beside, {}};
    const QString perUser = perUserDataFolder(place.dataHome, place.home);
    const QString defaults =
        QDir::cleanPath(place.programDir + QLatin1Char('/') + QStringLiteral(PELLARO_DEFAULTS_FROM_PROGRAM));
    if (QFileInfo(defaults).isDir())
        return {perUser, defaults};
    if (place.programDirWritable)
        return {beside, {}};
    return {perUser, {}};
}

bool fillDataFolderOnce(const QString& folder, const QString& defaults, QString* error)
{
    const QFileInfo target(folder);
    if (target.exists() || target.isSymLink())
        return true;
    auto fail = [&](const QString& why) {
        if (error)
            *error = QStringLiteral("The data folder %1 cannot be made from %2: %3.")
                         .arg(nativePath(folder), nativePath(defaults), why);
        return false;
    };
    const QString parent = target.absolutePath();
    if (!QDir().mkpath(parent))
        return fail(QStringLiteral("the folder %1 cannot be made").arg(nativePath(parent)));
    // Made private (0700): the password file is plain text.
    QTemporaryDir staging(parent + QStringLiteral("/.image-XXXXXX"));
    if (!staging.isValid())
        return fail(staging.errorString());
    const DataFolder from(defaults);
    const DataFolder into(staging.path());
    const std::pair<QString, QString> files[] = {{from.passwordFile(), into.passwordFile()},
                                                 {from.companyNameFile(), into.companyNameFile()},
                                                 {from.pictureFile(), into.pictureFile()}};
    for (const auto& [source, copy] : files) {
        // A default the package lacks stays missing, and is named as such
        // at the login.
        if (!QFileInfo::exists(source))
            continue;
        QFile file(source);
        if (!file.copy(copy))
            return fail(QStringLiteral("%1 cannot be copied: %2").arg(nativePath(source), file.errorString()));
    }
    int renameError = 0;
    if (!renameWithoutReplacing(staging.path(), folder, &renameError)) {
        // Another start of the program made it meanwhile: theirs stays.
        if (renameError == EEXIST || renameError == ENOTEMPTY)
            return true;
        return fail(QString::fromLocal8Bit(std::strerror(renameError)));
    }
    staging.setAutoRemove(false);
    return true;
}

DataFolder DataFolder::under(const QString& dir)
{
    return DataFolder(QDir::cleanPath(dir) + QStringLiteral("/image"));
}

QString DataFolder::passwordFileHolds()
{
    return QStringLiteral(
        "It holds the login password on its first line (an empty line for none); "
        "nobody can log in without it.");
}

QString DataFolder::companyNameFileHolds()
{
    return QStringLiteral("It holds the company name, the caption of the windows, on its first line.");
}

QString DataFolder::pictureFileHolds()
{
    return QStringLiteral("It holds the JPEG picture behind the login window's controls.");
}

FirstLine firstLineOf(const QByteArray& bytes)
{
    FirstLine result;
    if (bytes.isEmpty()) {
        result.error = QStringLiteral("The file is empty: it holds no line.");
        return result;
    }
    qsizetype end = 0;
    while (end < bytes.size() && bytes[end] != '\r' && bytes[end] != '\n')
        ++end;
    result.ok = true;
    result.text = QString::fromUtf8(bytes.constData(), end);
    return result;
}

FirstLine readFirstLine(const QString& path, const QString& what)
{
    QFile file(path);
    if (!file.exists()) {
        FirstLine missing;
        missing.error = QStringLiteral("The %1 %2 is missing.").arg(what, nativePath(path));
        return missing;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        FirstLine unreadable;
        unreadable.error =
            QStringLiteral("The %1 %2 cannot be read: %3.").arg(what, nativePath(path), file.errorString());
        return unreadable;
    }
    const QByteArray bytes = file.read(kMaxTextFileRead);
    if (file.error() != QFileDevice::NoError) {
        FirstLine unreadable;
        unreadable.error =
            QStringLiteral("The %1 %2 cannot be read: %3.").arg(what, nativePath(path), file.errorString());
        return unreadable;
    }
    FirstLine result = firstLineOf(bytes);
    if (!result.ok)
        result.error = QStringLiteral("The %1 %2 is empty: it holds no line.").arg(what, nativePath(path));
    return result;
}

bool replaceFile(const QString& path, const QByteArray& bytes, QString* error)
{
    // QSaveFile writes a temporary file in the same folder and renames it
    // over the target only when everything was written.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = QStringLiteral("The file %1 cannot be written: %2.").arg(nativePath(path), file.errorString());
        return false;
    }
    // QSaveFile::commit() renames the file over the target even when the
    // final flush of its buffer failed (a full disk, a size limit); flush
    // first, so a short write never replaces the old file.
    if (file.write(bytes) != bytes.size() || !file.flush() || !file.commit()) {
        if (error)
            *error = QStringLiteral("The file %1 cannot be written: %2.").arg(nativePath(path), file.errorString());
        file.cancelWriting();
        return false;
    }
    return true;
}

bool writeSingleLine(const QString& path, const QString& text, QString* error)
{
    if (text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n'))) {
        if (error)
            *error = QStringLiteral("The text holds a line break; only one line can be stored.");
        return false;
    }
    return replaceFile(path, text.toUtf8() + QByteArrayLiteral("\r\n"), error);
}

}   // namespace pellaro
