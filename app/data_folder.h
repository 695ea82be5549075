// The program data folder `image`: the password file "1.bc", the
// company-name file "2.bc" and the login background picture "1.jpg".
// Plain functions over QtCore, usable without any window.
#pragma once

#include <QByteArray>
#include <QString>

namespace pellaro {

class DataFolder {
public:
    // `folder` is the `image` folder itself.
    explicit DataFolder(QString folder) : folder_(std::move(folder)) {}

    // The folder `image` beside the program file.
    static DataFolder besideProgram();
    // DIR/image, for --data-dir DIR (tests, portable installs).
    static DataFolder under(const QString& dir);

    const QString& folder() const { return folder_; }
    QString passwordFile() const { return folder_ + QStringLiteral("/1.bc"); }
    QString companyNameFile() const { return folder_ + QStringLiteral("/2.bc"); }
    QString pictureFile() const { return folder_ + QStringLiteral("/1.jpg"); }

    // What each file holds, for the message about one that is missing or
    // broken (the file itself is named there by its full path).
    static QString passwordFileHolds();
    static QString companyNameFileHolds();
    static QString pictureFileHolds();

private:
    QString folder_;
};

// The first line of a data text file, or why it could not be had.
struct FirstLine {
    bool ok = false;
    QString text;     // the whole first line, spaces kept, without its line end
    QString error;    // a sentence for the user when !ok
};

// Reads the first line of `path`: a line ends at CR LF, a lone CR or a lone
// LF. A missing or unreadable file, or an empty one (no line at all), is not
// ok. A file holding just CR LF has an empty first line and is ok. The error
// names the file as `what` and its full path ("The password file
// /opt/pellaro/image/1.bc is missing.").
FirstLine readFirstLine(const QString& path, const QString& what = QStringLiteral("file"));

// The first line of `bytes` by the same rules; not ok when `bytes` is empty.
FirstLine firstLineOf(const QByteArray& bytes);

// Replaces `path` with `text` as its only line followed by CR LF. The file is
// written beside the target and renamed over it, so a failure leaves the old
// file whole. A text holding a line break is refused, since only the first
// line would count when read back. Returns false with `error` set on failure.
bool writeSingleLine(const QString& path, const QString& text, QString* error);

// Replaces `path` with `bytes` the same atomic way.
bool replaceFile(const QString& path, const QByteArray& bytes, QString* error);

}  // namespace pellaro
