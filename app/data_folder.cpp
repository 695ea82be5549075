#include "app/data_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace pellaro {

namespace {

// The data text files hold one short line; a larger file is read only as far
// as this, which still finds any sensible first line.
constexpr qint64 kMaxTextFileRead = 1 << 20;

QString nativePath(const QString& path) { return QDir::toNativeSeparators(path); }

}  // namespace

DataFolder DataFolder::besideProgram()
{
    return DataFolder(QCoreApplication::applicationDirPath() + QStringLiteral("/image"));
}

DataFolder DataFolder::under(const QString& dir)
{
    return DataFolder(QDir::cleanPath(dir) + QStringLiteral("/image"));
}

QString DataFolder::passwordFileHolds()
{
    return QStringLiteral("It holds the login password on its first line (an empty line for none); "
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
        unreadable.error = QStringLiteral("The %1 %2 cannot be read: %3.")
                               .arg(what, nativePath(path), file.errorString());
        return unreadable;
    }
    const QByteArray bytes = file.read(kMaxTextFileRead);
    if (file.error() != QFileDevice::NoError) {
        FirstLine unreadable;
        unreadable.error = QStringLiteral("The %1 %2 cannot be read: %3.")
                               .arg(what, nativePath(path), file.errorString());
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
            *error = QStringLiteral("The file %1 cannot be written: %2.")
                         .arg(nativePath(path), file.errorString());
        return false;
    }
    // QSaveFile::commit() renames the file over the target even when the
    // final flush of its buffer failed (a full disk, a size limit); flush
    // first, so a short write never replaces the old file.
    if (file.write(bytes) != bytes.size() || !file.flush() || !file.commit()) {
        if (error)
            *error = QStringLiteral("The file %1 cannot be written: %2.")
                         .arg(nativePath(path), file.errorString());
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

}  // namespace pellaro
