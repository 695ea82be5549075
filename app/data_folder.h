// SPDX-License-Identifier: GPL-3.0-or-later
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

// What the choice of the data folder rests on, gathered once at start; tests
// give their own.
struct ProgramPlace {
    QString programDir;                // the folder that holds the program file
    bool programDirWritable = false;   // see programDirCountsAsWritable()
    QString dataHome;                  // $XDG_DATA_HOME, may be empty
    QString home;                      // the user's home folder

    // This process: the program's own folder, its environment and user.
    static ProgramPlace ofThisProgram();
};

// The data folder chosen, and where its files come from at its first start.
struct DataFolderChoice {
    QString folder;     // the `image` folder
    QString defaults;   // fill `folder` from here when it does not exist yet; empty: never
};

// The data folder when no --data-dir is given:
//  1. the folder `image` beside the program, when it is there (the build
//     folder, a copied tree);
//  2. else, when the program is installed (its defaults are in
//     <program dir>/../share/pellaro/image), the user's own folder
//     perUserDataFolder(), filled from the defaults at its first start;
//  3. else the folder `image` beside the program when that folder can be
//     written, as always (nothing is made there);
//  4. else the user's own folder, with nothing to fill it from.
// The program never makes a folder beside itself, so an installed program
// run by root leaves the system's folders alone.
DataFolderChoice chooseDataFolder(const ProgramPlace& place);

// $XDG_DATA_HOME/pellaro/image, or ~/.local/share/pellaro/image when
// XDG_DATA_HOME is unset, empty or not an absolute path.
QString perUserDataFolder(const QString& dataHome, const QString& home);

// Whether a data folder beside the program may be used without being there
// already: the folder can be written by this user, and the user is not root
// (root can write every folder, the package's own included).
bool programDirCountsAsWritable(const QString& programDir, unsigned effectiveUid);

// Fills the data folder `folder` from `defaults` (the password, company-name
// and picture files found there) when `folder` does not exist yet. The files
// are copied into a new private folder beside it, which is then renamed into
// place without replacing anything: the folder appears whole or not at all,
// and a folder that is there already, even an empty one, is never touched,
// so a file its user deleted stays deleted. Returns false with `error` set
// when the folder could not be made.
bool fillDataFolderOnce(const QString& folder, const QString& defaults, QString* error);

// The first line of a data text file, or why it could not be had.
struct FirstLine {
    bool ok = false;
    QString text;    // the whole first line, spaces kept, without its line end
    QString error;   // a sentence for the user when !ok
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

}   // namespace pellaro
