// SPDX-License-Identifier: GPL-3.0-or-later
// Codeplug files: exact bytes, round trips, line ends, the splitter, refusal
// of bad input on both sides, and the file helpers.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "files/codeplug_file.h"

namespace pellaro {
namespace {

std::string save(const Document& d) {
    std::string bytes;
    const FileResult r = saveCodeplug(d, bytes);
    EXPECT_TRUE(r.ok()) << r.error;
    return bytes;
}

// The file's lines without their ends (the file uses CR, the last CR LF).
std::vector<std::string> fileLines(const std::string& bytes) {
    std::vector<std::string> out;
    std::string cur;
    for (char c : bytes) {
        if (c == '\r') {
            out.push_back(cur);
            cur.clear();
        } else if (c != '\n') {
            cur += c;
        }
    }
    return out;
}

std::string joinLines(const std::vector<std::string>& lines, const std::string& end) {
    std::string s;
    for (const auto& l : lines) s += l + end;
    return s;
}

// A document touching every kind of field, with values that survive a file.
Document variedDocument() {
    Document d;
    ChannelTable& a = d.table(Band::A);
    a.at(1, 1) = "145.50000";
    a.at(2, 1) = "67.0HZ";
    a.at(3, 1) = "QT/DQT+Signaling";
    a.at(4, 1) = "145.50000";
    a.at(5, 1) = "D023I";
    a.at(6, 1) = "DTMF1";
    a.at(8, 1) = "High";
    a.at(12, 1) = "AB CD";         // channel names keep inner blanks
    a.at(12, 2) = " X";            // and leading ones
    a.at(12, 128) = "\xC9t\xE9";   // Latin-1 bytes
    ChannelTable& b = d.table(Band::B);
    b.at(1, 64) = "435.02500";
    b.at(9, 64) = "Narrow";
    b.at(12, 127) = "Z";
    d.vfo(Band::A).sel = {0, 1, 127, 0, 205, 17, 1, 3, 2, 0, 0, 0, 1, 1, 2, 0, 6};
    d.vfo(Band::A).rxFreq = "150.05";
    d.vfo(Band::A).offset = "0.6";
    d.vfo(Band::B).sel[2] = -1;
    d.vfo(Band::B).sel[14] = 1;
    d.vfo(Band::B).offset.clear();
    d.gn = {0, 1, 20, 0, 0, 3, 1, 1, 0, 9, 1, 20, 3, 0, 9, 1};
    d.gn3 = "101.5";
    for (int n = 1; n <= 8; ++n) {
        d.sy[n] = std::to_string(n) + "*#";
        d.sypz[n] = "D" + std::to_string(n);
    }
    d.sypz9 = 2;
    d.kaiji1 = "AB CD";
    d.kaiji2 = " HI  ";
    d.xp = {"", "136", "174", "400", "470"};
    d.xp5 = 0;
    d.k[1] = "000200E4F548FFFF0000FFFF00000101";
    d.k[5] = "010F0370010203000102000406D600320300";
    d.k[12] = "0301020300FFFFFF00FFFFFFFFFFFFFF";
    d.k[15] = "05ab0c0d0eFF00FFFFFFFFFF";   // lower case comes back as it was
    return d;
}

TEST(CodeplugFile, NewDocumentGivesTheExactBytes) {
    const std::string bytes = save(Document());

    std::string expected;
    for (int band = 0; band < 2; ++band) {
        for (int row = 1; row <= 128; ++row) {
            expected += std::to_string(row) + ",";
            for (int col = 1; col <= 13; ++col) expected += " ,";
            expected += "\r";
        }
        expected += "0,0, ,0,0,0,0,0,1,1,0,0,0,10 ,5,\r";
    }
    expected += "0,15, ,1,2,3,0,1,2,0,4,2,2,3,0,\r";
    expected += " , , , , , ,1,\r";
    expected +=
        "0000FFFFFFFFFFFF00FFFFFF00000101,000000000F424009C4FFFFFFFFFFFFFF,"
        "0000FFFFFFFFFFFF00FFFFFF00000101,000000000F424009C4FFFFFFFFFFFFFF,"
        "000FFFFF010203000102000406D600320300,"
        "00FFFFFFFFFFFFFF00FFFFFFFFFFFFFF,00FFFFFFFFFFFFFF00FFFFFFFFFFFFFF,"
        "00FFFFFFFFFFFFFF00FFFFFFFFFFFFFF,00FFFFFFFFFFFFFF00FFFFFFFFFFFFFF,"
        "00FFFFFFFFFFFFFF00FFFFFFFFFFFFFF,FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF01,"
        "00FFFFFFFFFFFFFF00FFFFFFFFFFFFFF,00FFFFFFFFFF00FFFFFFFFFF,"
        "00FFFFFFFFFF00FFFFFFFFFF,00FFFFFFFFFF00FFFFFFFFFF,\r";
    expected += " , , , , , , , ,0, , , , , , , , ,\r\n";
    EXPECT_EQ(bytes, expected);
}

TEST(CodeplugFile, SaveThenLoadGivesTheSameDocument) {
    const Document original = variedDocument();
    Document loaded;
    loaded.table(Band::A).at(7, 50) = "left over";   // overwritten: the file holds " " there
    const FileResult r = loadCodeplug(save(original), loaded);
    ASSERT_TRUE(r.ok()) << r.error;
    EXPECT_EQ(loaded, original);
}

TEST(CodeplugFile, NewSavedLoadsBackExactly) {
    Document loaded = variedDocument();
    ASSERT_TRUE(loadCodeplug(save(Document()), loaded).ok());
    EXPECT_EQ(loaded, Document());
}

TEST(CodeplugFile, LineEndsAndEmptyLinesLoadTheSame) {
    const Document original = variedDocument();
    const std::vector<std::string> lines = fileLines(save(original));
    ASSERT_EQ(lines.size(), 262u);
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"CR", joinLines(lines, "\r")},
        {"LF", joinLines(lines, "\n")},
        {"CR LF", joinLines(lines, "\r\n")},
        {"LF without a last end", joinLines(lines, "\n").substr(0, joinLines(lines, "\n").size() - 1)},
        {"empty lines between", "\r\n\n" + joinLines(lines, "\n\r\n")},
    };
    for (const auto& c : cases) {
        Document d;
        const FileResult r = loadCodeplug(c.bytes, d);
        ASSERT_TRUE(r.ok()) << c.name << ": " << r.error;
        EXPECT_EQ(d, original) << c.name;
    }
}

TEST(CodeplugFile, LoadingTextsRemovesBlanksExceptInPowerOnMessages) {
    Document d;
    d.vfo(Band::A).rxFreq = "14 5.5";
    d.gn3 = " 99 ";
    d.xp[1] = "1 36";
    d.sy[3] = "1 2";
    d.kaiji1 = "AB CD";
    d.kaiji2 = " ";
    Document loaded;
    ASSERT_TRUE(loadCodeplug(save(d), loaded).ok());
    EXPECT_EQ(loaded.vfo(Band::A).rxFreq, "145.5");
    EXPECT_EQ(loaded.gn3, "99");
    EXPECT_EQ(loaded.xp[1], "136");
    EXPECT_EQ(loaded.sy[3], "12");
    EXPECT_EQ(loaded.kaiji1, "AB CD");
    EXPECT_EQ(loaded.kaiji2, " ");
}

TEST(CodeplugFile, IndexOutsideItsListMeansNoSelection) {
    struct Case {
        int line;            // 1-based
        std::size_t field;   // 0-based
        const char* value;
        int expected;
        int (*get)(const Document&);
    };
    const Case cases[] = {
        {129, 1, "127", 127, [](const Document& d) { return d.vfo(Band::A).sel[2]; }},
        {129, 1, "128", -1, [](const Document& d) { return d.vfo(Band::A).sel[2]; }},
        {129, 3, "205", 205, [](const Document& d) { return d.vfo(Band::A).sel[4]; }},
        {129, 3, "206", -1, [](const Document& d) { return d.vfo(Band::A).sel[4]; }},
        {258, 14, "7", -1, [](const Document& d) { return d.vfo(Band::B).sel[16]; }},
        {258, 14, "+6", 6, [](const Document& d) { return d.vfo(Band::B).sel[16]; }},
        {259, 1, "20", 20, [](const Document& d) { return d.gn[2]; }},
        {259, 1, " 7 ", 7, [](const Document& d) { return d.gn[2]; }},
        {259, 1, "21", -1, [](const Document& d) { return d.gn[2]; }},
        {259, 12, "-5", -1, [](const Document& d) { return d.gn[13]; }},
        {260, 6, "2", -1, [](const Document& d) { return d.xp5; }},
        {262, 8, "3", -1, [](const Document& d) { return d.sypz9; }},
        {262, 8, "2", 2, [](const Document& d) { return d.sypz9; }},
    };
    for (const Case& c : cases) {
        std::vector<std::string> lines = fileLines(save(Document()));
        std::vector<std::string> fields = splitItems(lines[c.line - 1], ",", ",");
        fields[c.field] = c.value;
        lines[c.line - 1] = joinLines(fields, ",");
        Document d;
        const FileResult r = loadCodeplug(joinLines(lines, "\r"), d);
        ASSERT_TRUE(r.ok()) << r.error;
        EXPECT_EQ(c.get(d), c.expected) << "line " << c.line << " value " << c.value;
    }
}

TEST(CodeplugFile, MalformedFileChangesNothingAndNamesTheLine) {
    struct Case {
        const char* name;
        void (*mutate)(std::vector<std::string>&);
        const char* mention;
    };
    const Case cases[] = {
        {"too few lines", [](std::vector<std::string>& l) { l.pop_back(); },
         "261 lines, a codeplug file has 262 (line 262 is missing)"},
        {"grid line short", [](std::vector<std::string>& l) { l[4] = "5, , , , , , , , , , , , ,"; }, "line 5 "},
        {"band B grid line short", [](std::vector<std::string>& l) { l[200] = "71,"; }, "line 201 "},
        {"set-up line short", [](std::vector<std::string>& l) { l[128] = "0,0, ,0,"; }, "line 129 "},
        {"index not a number", [](std::vector<std::string>& l) { l[257] = "0,x, ,0,0,0,0,0,1,1,0,0,0,10 ,5,"; },
         "line 258,"},
        {"index with decimals", [](std::vector<std::string>& l) { l[258] = "0,1.5, ,1,2,3,0,1,2,0,4,2,2,3,0,"; },
         "line 259,"},
        {"mirror too short", [](std::vector<std::string>& l) { l[260].replace(l[260].find("000FFFFF"), 8, "000FFFF"); },
         "line 261,"},
        {"mirror not hex", [](std::vector<std::string>& l) { l[260][0] = 'G'; }, "line 261,"},
        {"state not a number", [](std::vector<std::string>& l) { l[261] = " , , , , , , , ,Kill, , , , , , , , ,"; },
         "line 262,"},
        {"tilde splits a line", [](std::vector<std::string>& l) { l[9] = "10,1~2, , , , , , , , , , , , ,"; },
         "line 10 "},
    };
    const Document original = variedDocument();
    for (const Case& c : cases) {
        std::vector<std::string> lines = fileLines(save(Document()));
        c.mutate(lines);
        Document d = original;
        const FileResult r = loadCodeplug(joinLines(lines, "\r"), d);
        EXPECT_FALSE(r.ok()) << c.name;
        EXPECT_NE(r.error.find(c.mention), std::string::npos) << c.name << ": " << r.error;
        EXPECT_EQ(d, original) << c.name;
    }
    Document d = original;
    EXPECT_FALSE(loadCodeplug("", d).ok());
    EXPECT_EQ(d, original);
}

TEST(CodeplugFile, LineNumbersCountTheFileAsShown) {
    // An empty line shifts what follows: the message names the line as an
    // editor shows it, and the codeplug line it was taken for.
    std::vector<std::string> lines = fileLines(save(Document()));
    lines[5] = "6,";
    const std::string bytes = "\r" + joinLines(lines, "\r");
    Document d;
    const FileResult r = loadCodeplug(bytes, d);
    EXPECT_NE(r.error.find("line 7 (codeplug line 6)"), std::string::npos) << r.error;
}

TEST(CodeplugFile, UnstorableCharactersAreRefusedAndNothingIsWritten) {
    struct Case {
        const char* name;
        void (*mutate)(Document&);
        const char* mention;
    };
    const Case cases[] = {
        {"comma in a band B name", [](Document& d) { d.table(Band::B).at(12, 7) = "A,B"; },
         "B/Under Band channel 7, column \"Channel Name\" holds \",\""},
        {"tilde in a band A cell", [](Document& d) { d.table(Band::A).at(2, 128) = "~"; },
         "A/Upper Band channel 128, column \"Receiving CTCSS\""},
        {"quote in a power-on message", [](Document& d) { d.kaiji2 = "it's"; }, "kaiji2 holds \"'\""},
        {"double quote in a DTMF group", [](Document& d) { d.sy[8] = "1\"2"; }, "sy8"},
        {"tab in the receiving frequency", [](Document& d) { d.vfo(Band::B).rxFreq = "1\t"; },
         "right3 holds a control character (code 9)"},
        {"CR in a limit", [](Document& d) { d.xp[4] = "4\r"; }, "xp4"},
        {"LF in the FM frequency", [](Document& d) { d.gn3 = "\n"; }, "gn3"},
        {"DEL in a code", [](Document& d) { d.sypz[5] = "\x7f"; }, "code 127"},
        {"a name of one blank, which loads back empty", [](Document& d) { d.table(Band::A).at(12, 23) = " "; },
         "A/Upper Band channel 23, column \"Channel Name\" holds a single blank"},
        {"mirror of wrong length", [](Document& d) { d.k[4] += "F"; }, "k4"},
        {"mirror not hex", [](Document& d) { d.k[13][3] = 'x'; }, "k13"},
    };
    for (const Case& c : cases) {
        Document d;
        c.mutate(d);
        std::string bytes = "untouched";
        const FileResult r = saveCodeplug(d, bytes);
        EXPECT_FALSE(r.ok()) << c.name;
        EXPECT_NE(r.error.find(c.mention), std::string::npos) << c.name << ": " << r.error;
        EXPECT_EQ(bytes, "untouched") << c.name;
    }
}

TEST(Splitter, SeparatorsSkippedCharactersAndQuotes) {
    struct Case {
        std::string text;
        std::string separators;
        std::string skipped;
        std::vector<std::string> items;
    };
    const Case cases[] = {
        {"a,b,,c,", ",", ",", {"a", "b", "c"}},
        {",,a", ",", ",", {"a"}},
        {"1, ,x ,", ",", ",", {"1", " ", "x "}},
        {"'a,b',c", ",", ",", {"'a,b'", "c"}},
        {"x\"y,z\"w,v", ",", ",", {"x\"y,z\"w", "v"}},
        {"\"a'b,c\",d", ",", ",", {"\"a'b,c\"", "d"}},
        {"'open,to the end", ",", ",", {"'open,to the end"}},
        {"a\r\nb\rc\nd", "~", "", {"a", "b", "c", "d"}},
        {"a~b~~c\r\n\r\n", "~", "", {"a", "b", "c"}},
        {"'a\r\nb'\r\nc", "~", "", {"'a\r\nb'", "c"}},
        {"", ",", ",", {}},
    };
    for (const Case& c : cases) EXPECT_EQ(splitItems(c.text, c.separators, c.skipped), c.items) << c.text;
}

class FileHelpers : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/pellaro_files_XXXXXX";
        ASSERT_NE(::mkdtemp(tmpl), nullptr);
        dir = tmpl;
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
    std::string dir;
};

TEST_F(FileHelpers, AtomicWriteReplacesAndLeavesNoTemporaryFile) {
    const std::string path = dir + "/radio.bc";
    ASSERT_TRUE(writeFileAtomically(path, "old").ok());
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    const std::string bytes("new\0\xff\r\n", 7);
    ASSERT_TRUE(writeFileAtomically(path, bytes).ok());
    std::string back;
    ASSERT_TRUE(readWholeFile(path, back).ok());
    EXPECT_EQ(back, bytes);
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    int entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir)) ++entries;
    EXPECT_EQ(entries, 1);
}

TEST_F(FileHelpers, WritingThroughALinkKeepsTheLink) {
    const std::string target = dir + "/real.bc";
    const std::string link = dir + "/link.bc";
    ASSERT_TRUE(writeFileAtomically(target, "old").ok());
    std::filesystem::create_symlink(target, link);
    ASSERT_TRUE(writeFileAtomically(link, "new").ok());
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    std::string back;
    ASSERT_TRUE(readWholeFile(target, back).ok());
    EXPECT_EQ(back, "new");
}

TEST_F(FileHelpers, FailuresAreReportedAndLeaveOldFiles) {
    const std::string missingFolder = dir + "/no/such/radio.bc";
    FileResult r = writeFileAtomically(missingFolder, "x");
    EXPECT_FALSE(r.ok());
    EXPECT_NE(r.error.find(missingFolder), std::string::npos) << r.error;

    EXPECT_FALSE(writeFileAtomically(dir, "x").ok());   // a folder is not replaced
    EXPECT_TRUE(std::filesystem::is_directory(dir));

    std::string bytes = "kept";
    r = readWholeFile(dir + "/missing.bc", bytes);
    EXPECT_FALSE(r.ok());
    EXPECT_NE(r.error.find("missing.bc"), std::string::npos);
    EXPECT_EQ(bytes, "kept");
    EXPECT_FALSE(readWholeFile(dir, bytes).ok());
}

}   // namespace
}   // namespace pellaro
