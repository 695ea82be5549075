// SPDX-License-Identifier: GPL-3.0-or-later
// Data safety: a save that cannot be completed (read-only folder, full disk,
// a file size limit) leaves the old file whole and says why; a codeplug file
// cut short anywhere loads wholly or not at all; the password and
// company-name files are replaced the same safe way.
//
// The failing writes run in a child process: it may mount a tiny or a
// read-only file system in a mount namespace of its own (when run as root,
// who ignores folder permissions) or lower its file size limit, and none of
// that reaches the test process.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QString>

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

#include "app/data_folder.h"
#include "codeplug/memory_map.h"
#include "codeplug/write_check.h"
#include "files/codeplug_file.h"
#include "files/file_lock.h"
#include "tools/radio_sim/radio_sim.h"

namespace pellaro {
namespace {

namespace fs = std::filesystem;

std::string hexText(const std::uint8_t* p, std::size_t n) {
    static const char* const digits = "0123456789ABCDEF";
    std::string out;
    for (std::size_t i = 0; i < n; ++i) {
        out += digits[p[i] >> 4];
        out += digits[p[i] & 15];
    }
    return out;
}

// A codeplug as read from a radio: every block holds something.
Document readDocument() {
    const sim::Memory memory = sim::freshCodeplug();
    Document doc;
    for (int b = 0; b < kBlockCount; ++b) {
        const BlockInfo info = blockInfo(b);
        dispatchReply(doc, b, hexText(memory.data() + info.address, info.length));
    }
    // The last field of the file holds more than one character.
    doc.sy[8] = "12345";
    return doc;
}

std::string savedBytes(const Document& doc) {
    std::string bytes;
    const FileResult r = saveCodeplug(doc, bytes);
    if (!r.ok()) ADD_FAILURE() << r.error;
    return bytes;
}

std::string fileText(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void putFile(const fs::path& p, const std::string& text) {
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out << text;
}

// Files in `dir` other than the ones named: a failed write must leave no
// temporary file behind.
std::string strayFiles(const fs::path& dir, std::initializer_list<std::string> expected) {
    std::string stray;
    for (const auto& e : fs::directory_iterator(dir)) {
        const std::string name = e.path().filename().string();
        if (std::find(expected.begin(), expected.end(), name) == expected.end()) stray += name + " ";
    }
    return stray;
}

class TempDir {
public:
    TempDir() {
        char tmpl[] = "/tmp/pellaro-safety-XXXXXX";
        if (!::mkdtemp(tmpl)) throw std::runtime_error("mkdtemp failed");
        path_ = tmpl;
    }
    ~TempDir() {
        std::error_code ec;
        fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(path_, ec);
    }
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

// Runs `body` in a child process. The body returns "" when all is well,
// "skip: why" when the check cannot be made here, or what went wrong.
void inChild(const std::function<std::string()>& body) {
    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0);
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        ::close(pipeFds[0]);
        const std::string verdict = body();
        (void)!::write(pipeFds[1], verdict.data(), verdict.size());
        ::_exit(0);
    }
    ::close(pipeFds[1]);
    std::string verdict;
    char buf[512];
    ssize_t n;
    while ((n = ::read(pipeFds[0], buf, sizeof buf)) > 0) verdict.append(buf, static_cast<std::size_t>(n));
    ::close(pipeFds[0]);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the child process died";
    if (verdict.rfind("skip: ", 0) == 0) GTEST_SKIP() << verdict.substr(6);
    EXPECT_EQ(verdict, "");
}

// In the child: a mount namespace of its own with a tmpfs of `sizeKb` on
// `dir`. Returns why not when that cannot be had.
std::string privateTmpfs(const fs::path& dir, int sizeKb) {
    if (::geteuid() != 0) return "needs root to mount a file system";
    if (::unshare(CLONE_NEWNS) != 0) return std::string("cannot make a mount namespace: ") + std::strerror(errno);
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        return std::string("cannot make mounts private: ") + std::strerror(errno);
    const std::string options = "size=" + std::to_string(sizeKb) + "k";
    if (::mount("tmpfs", dir.c_str(), "tmpfs", 0, options.c_str()) != 0)
        return std::string("cannot mount a tmpfs: ") + std::strerror(errno);
    return {};
}

// The writers under test, each replacing `path` with `bytes`.
struct Writer {
    const char* name;
    std::function<std::string(const std::string& path, const std::string& bytes)> write;   // error text
};

const Writer kWriters[] = {
    {"codeplug file",
     [](const std::string& path, const std::string& bytes) { return writeFileAtomically(path, bytes).error; }},
    {"password file",
     [](const std::string& path, const std::string& bytes) {
         QString error;
         if (writeSingleLine(QString::fromStdString(path), QString::fromStdString(bytes), &error)) return std::string();
         return error.isEmpty() ? std::string("(failed without a reason)") : error.toStdString();
     }},
    {"company-name file",
     [](const std::string& path, const std::string& bytes) {
         QString error;
         if (replaceFile(QString::fromStdString(path), QByteArray::fromStdString(bytes + "\r\n"), &error))
             return std::string();
         return error.isEmpty() ? std::string("(failed without a reason)") : error.toStdString();
     }},
};

// Checks in the child that a write refused by the file system reports an
// error and leaves the old file and nothing else.
std::string expectRefused(const Writer& w, const fs::path& dir, const std::string& newBytes) {
    const fs::path target = dir / "target.bc";
    const std::string old = fileText(target);
    const std::string error = w.write(target.string(), newBytes);
    if (error.empty()) return std::string(w.name) + ": the write was reported as done";
    if (fileText(target) != old) return std::string(w.name) + ": the old file was changed";
    if (const std::string stray = strayFiles(dir, {"target.bc", "filler"}); !stray.empty())
        return std::string(w.name) + ": left behind " + stray;
    return {};
}

class SafeWrites : public testing::TestWithParam<Writer> {};

TEST_P(SafeWrites, ReadOnlyFolderKeepsTheOldFile) {
    const Writer w = GetParam();
    TempDir dir;
    const std::string newBytes = std::string(2000, 'N');
    inChild([&]() -> std::string {
        if (::geteuid() == 0) {
            if (std::string why = privateTmpfs(dir.path(), 256); !why.empty()) return "skip: " + why;
            putFile(dir.path() / "target.bc", "OLD CONTENT\r\n");
            if (::mount(nullptr, dir.path().c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) != 0)
                return std::string("skip: cannot remount read-only: ") + std::strerror(errno);
        } else {
            putFile(dir.path() / "target.bc", "OLD CONTENT\r\n");
            ::chmod(dir.path().c_str(), 0555);
        }
        return expectRefused(w, dir.path(), newBytes);
    });
}

TEST_P(SafeWrites, FullDiskKeepsTheOldFile) {
    const Writer w = GetParam();
    TempDir dir;
    inChild([&]() -> std::string {
        if (std::string why = privateTmpfs(dir.path(), 64); !why.empty()) return "skip: " + why;
        putFile(dir.path() / "target.bc", "OLD CONTENT\r\n");
        // Fill every page that is left.
        {
            std::ofstream filler(dir.path() / "filler", std::ios::binary);
            const std::string block(4096, 'x');
            for (int i = 0; i < 64 && filler; ++i) filler << block << std::flush;
        }
        return expectRefused(w, dir.path(), std::string(9000, 'N'));
    });
}

// A file size limit makes the write itself fail part way, as a full disk
// does, on any machine and for any user.
TEST_P(SafeWrites, WriteFailingPartWayKeepsTheOldFile) {
    const Writer w = GetParam();
    TempDir dir;
    putFile(dir.path() / "target.bc", "OLD CONTENT\r\n");
    inChild([&]() -> std::string {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{1024, 1024};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) return "skip: cannot set a file size limit";
        return expectRefused(w, dir.path(), std::string(9000, 'N'));
    });
}

INSTANTIATE_TEST_SUITE_P(Writers, SafeWrites, testing::ValuesIn(kWriters),
                         [](const testing::TestParamInfo<Writer>& info) {
                             std::string n = info.param.name;
                             std::replace(n.begin(), n.end(), ' ', '_');
                             std::replace(n.begin(), n.end(), '-', '_');
                             return n;
                         });

// A good write replaces the file by renaming a new one over it: a reader
// holding the old file keeps the old bytes, nothing is rewritten in place.
TEST(SafeWrites, ReplacingGivesANewFileNotARewrittenOne) {
    for (const Writer& w : kWriters) {
        TempDir dir;
        const fs::path target = dir.path() / "target.bc";
        putFile(target, "OLD CONTENT\r\n");
        const int held = ::open(target.c_str(), O_RDONLY);
        ASSERT_GE(held, 0);
        EXPECT_EQ(w.write(target.string(), "NEW"), "") << w.name;
        char buf[64] = {};
        const ssize_t n = ::pread(held, buf, sizeof buf, 0);
        ::close(held);
        EXPECT_EQ(std::string(buf, n > 0 ? static_cast<std::size_t>(n) : 0), "OLD CONTENT\r\n") << w.name;
        EXPECT_EQ(fileText(target).substr(0, 3), "NEW") << w.name;
        EXPECT_EQ(strayFiles(dir.path(), {"target.bc"}), "") << w.name;
    }
}

// A save onto something that is not a plain file (a pipe here; /dev/null
// for a root user alike) is refused and leaves it as it was.
TEST(SafeWrites, NoPlainFileReplacesAPipe) {
    TempDir dir;
    const fs::path pipe = dir.path() / "radio.bc";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const FileResult r = writeFileAtomically(pipe.string(), "NEW");
    EXPECT_FALSE(r.ok());
    EXPECT_NE(r.error.find("not a regular file"), std::string::npos) << r.error;
    EXPECT_TRUE(fs::is_fifo(pipe));
    EXPECT_EQ(strayFiles(dir.path(), {"radio.bc"}), "");
}

// A file cut short at any length either loads as the whole file does or is
// refused with the document untouched: an interrupted copy never loads
// half a codeplug.
TEST(TruncatedFile, LoadsWhollyOrNotAtAll) {
    const Document source = readDocument();
    const std::string bytes = savedBytes(source);
    Document whole;
    ASSERT_TRUE(loadCodeplug(bytes, whole).ok());
    ASSERT_TRUE(whole == source);

    const Document before;   // what the window held
    std::size_t loaded = 0, partial = 0;
    for (std::size_t len = 0; len < bytes.size(); ++len) {
        Document doc = before;
        const FileResult r = loadCodeplug(std::string_view(bytes).substr(0, len), doc);
        if (r.ok()) {
            ++loaded;
            if (!(doc == whole) && ++partial <= 3)
                ADD_FAILURE() << "cut at " << len << " of " << bytes.size() << " loaded a different codeplug";
        } else {
            EXPECT_FALSE(r.error.empty());
            if (!(doc == before)) ADD_FAILURE() << "cut at " << len << ": refused but the document changed";
        }
    }
    EXPECT_EQ(partial, 0u);
    // Only the line ends after the last field may be missing.
    EXPECT_LE(loaded, 3u);
}

// What a save must not replace, and what it must still manage. Each case
// makes its target in a fresh folder; a refused save leaves it as it was.
TEST(SafeWrites, RefusesWhatARenameWouldSpoilAndSavesTheRest) {
    struct Case {
        const char* what;
        std::function<fs::path(const fs::path& dir)> make;   // the path to save to
        const char* refusal;                                 // part of the error; nullptr: saved
    };
    const Case cases[] = {
        {"a file with a second name",
         [](const fs::path& d) {
             putFile(d / "a.bc", "OLD");
             fs::create_hard_link(d / "a.bc", d / "b.bc");
             return d / "a.bc";
         },
         "2 names (hard links)"},
        {"a link to nothing",
         [](const fs::path& d) {
             fs::create_symlink(d / "gone.bc", d / "a.bc");
             return d / "a.bc";
         },
         "symbolic link to a file that does not exist"},
        {"a link to a file",
         [](const fs::path& d) {
             putFile(d / "real.bc", "OLD");
             fs::create_symlink("real.bc", d / "a.bc");
             return d / "a.bc";
         },
         nullptr},
        {"a name of 255 bytes",
         [](const fs::path& d) {
             putFile(d / std::string(255, 'n'), "OLD");
             return d / std::string(255, 'n');
         },
         nullptr},
    };
    for (const Case& c : cases) {
        TempDir dir;
        const fs::path target = c.make(dir.path());
        const bool wasLink = fs::is_symlink(target);
        const std::string before = fs::exists(target) ? fileText(target) : "";
        const FileResult r = writeFileAtomically(target.string(), "NEW");
        EXPECT_EQ(fs::is_symlink(target), wasLink) << c.what;
        if (c.refusal) {
            EXPECT_NE(r.error.find(c.refusal), std::string::npos) << c.what << ": " << r.error;
            EXPECT_EQ(fs::exists(target) ? fileText(target) : "", before) << c.what;
            EXPECT_EQ(checkWritable(target.string()).error, r.error) << c.what;
        } else {
            EXPECT_TRUE(r.ok()) << c.what << ": " << r.error;
            EXPECT_EQ(fileText(target), "NEW") << c.what;
        }
    }
}

// Run as root (sudo, for a port the user may not open), a save keeps the
// file its user's; and the user may not replace another's read-only file.
TEST(SafeWrites, AReplacedFileKeepsItsOwnerAndAnotherUsersReadOnlyFileIsRefused) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to give files to other users";
    TempDir dir;
    ::chmod(dir.path().c_str(), 0777);
    const fs::path mine = dir.path() / "mine.bc";
    putFile(mine, "OLD");
    ASSERT_EQ(::chown(mine.c_str(), 4321, 8765), 0);
    ASSERT_EQ(::chmod(mine.c_str(), 0600), 0);
    ASSERT_TRUE(writeFileAtomically(mine.string(), "NEW").ok());
    struct stat st {};
    ASSERT_EQ(::stat(mine.c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, 4321u);
    EXPECT_EQ(st.st_gid, 8765u);
    EXPECT_EQ(st.st_mode & 07777, 0600u);

    const fs::path theirs = dir.path() / "theirs.bc";
    putFile(theirs, "OLD");
    ASSERT_EQ(::chown(theirs.c_str(), 4321, 4321), 0);
    ASSERT_EQ(::chmod(theirs.c_str(), 0444), 0);
    inChild([&]() -> std::string {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0) return "skip: cannot become another user";
        const FileResult r = writeFileAtomically(theirs.string(), "NEW");
        if (r.ok() || fileText(theirs) != "OLD") return "another user's read-only file was replaced";
        if (r.error.find("you may not change this file") == std::string::npos) return "refused as: " + r.error;
        return {};
    });
}

// A check before long work finds what would make its save fail.
TEST(SafeWrites, TheCheckBeforeLongWorkFindsAMissingFolderAndAFullDisk) {
    TempDir dir;
    EXPECT_NE(checkWritable((dir.path() / "missing" / "x.bc").string()).error.find("No such file"), std::string::npos);
    EXPECT_TRUE(checkWritable((dir.path() / "x.bc").string()).ok());
    EXPECT_EQ(strayFiles(dir.path(), {}), "");
    inChild([&]() -> std::string {
        if (std::string why = privateTmpfs(dir.path(), 64); !why.empty()) return "skip: " + why;
        {
            std::ofstream filler(dir.path() / "filler", std::ios::binary);
            const std::string block(4096, 'x');
            for (int i = 0; i < 64 && filler; ++i) filler << block << std::flush;
        }
        const FileResult r = checkWritable((dir.path() / "x.bc").string());
        if (r.ok()) return "a full disk passed the check";
        return strayFiles(dir.path(), {"filler"});
    });
}

// A second holder waits, then gives up naming the file; once the first lets
// go, the file is to be had again.
TEST(FileLocks, ASecondHolderWaitsThenRefuses) {
    TempDir dir;
    const fs::path file = dir.path() / "radio.bc";
    putFile(file, "OLD");
    FileLock first, second;
    ASSERT_TRUE(first.acquire(file.string()).ok());
    const FileResult refused = second.acquire(file.string(), 200);
    EXPECT_NE(refused.error.find("another program is changing it"), std::string::npos) << refused.error;
    EXPECT_FALSE(second.held());
    first.release();
    EXPECT_TRUE(second.acquire(file.string(), 200).ok());
}

// A codeplug as a radio holds it may be written back as it is.
TEST(WriteCheck, ARadiosOwnCodeplugPasses) {
    for (const ReportItem& item : checkForWrite(readDocument())) ADD_FAILURE() << itemText(item);
}

}   // namespace
}   // namespace pellaro
