// Channel CSV: round trips of both formats, the generic mapping row by row,
// the forms a CSV file comes in, and files that must change nothing.
#include <gtest/gtest.h>

#include <random>

#include "codeplug/cell_entry.h"
#include "codeplug/rules.h"
#include "files/channel_csv.h"

using namespace pellaro;
using IssueKind = ImportIssue::Kind;

namespace {

const char* const kGenericHeader =
    "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,RxDtcsCode,CrossMode,"
    "Mode,TStep,Skip,Power,Comment\r\n";

// A document filled the way a user fills it: random channels entered through
// the editors' rules, on both bands.
Document randomDocument(unsigned seed) {
    std::mt19937 rng(seed);
    auto pick = [&](const std::vector<std::string>& list) { return list[rng() % list.size()]; };
    auto frequency = [&] {
        const bool uhf = rng() % 2;
        const unsigned lo = uhf ? 40000000 : 13600000, span = uhf ? 9000000 : 4000000;
        return std::to_string((lo + rng() % span) / 100000) + "." + std::to_string(10000 + rng() % 90000).substr(1);
    };
    const std::string nameCharacters = "ABCxyz019 -_.!()[]";
    Document d;
    for (Band band : {Band::A, Band::B}) {
        for (int n = 0; n < 40; ++n) {
            const int row = 1 + static_cast<int>(rng() % kRows);
            if (rng() % 6) enterChannelCell(d, band, 1, row, frequency());
            if (rng() % 3) enterChannelCell(d, band, 4, row, frequency());
            for (int col : {2, 3, 5, 6, 7, 8, 9, 10, 11})
                if (rng() % 2) enterChannelCell(d, band, col, row, pick(channelListEntries(col)));
            std::string name;
            for (unsigned i = rng() % 8; i > 0; --i) name += nameCharacters[rng() % nameCharacters.size()];
            enterChannelCell(d, band, 12, row, name);
        }
    }
    return d;
}

ImportReport import(Document& d, const std::string& csv, CsvFormat format, std::optional<Band> band = {},
                    bool replace = false) {
    return importChannels(d, csv, ImportOptions{format, band, replace});
}

bool toneOff(const std::string& t) { return t.empty() || t == "OFF" || t == "0FF"; }

}  // namespace

TEST(ChannelCsv, NativeExportImportsBackIdentically) {
    for (unsigned seed = 1; seed <= 6; ++seed) {
        const Document source = randomDocument(seed);
        const CsvExport out = exportChannels(source, CsvFormat::Native, std::nullopt);
        ASSERT_TRUE(out.ok());
        // Into any document: a fresh one and another random one.
        for (Document target : {Document(), randomDocument(seed + 100)}) {
            const ImportReport r = import(target, out.csv, CsvFormat::Native, std::nullopt, true);
            ASSERT_TRUE(r.usable) << r.error;
            EXPECT_TRUE(r.issues.empty()) << r.lines().front();
            EXPECT_EQ(r.rowsTaken, out.rows);
            EXPECT_EQ(target.grid, source.grid) << "seed " << seed;
        }
        // One band, merged: the other band stays as it was.
        Document target = randomDocument(seed + 200);
        const Document before = target;
        const CsvExport b = exportChannels(source, CsvFormat::Native, Band::B);
        ASSERT_TRUE(import(target, b.csv, CsvFormat::Native, Band::B, true).usable);
        EXPECT_EQ(target.table(Band::B), source.table(Band::B));
        EXPECT_EQ(target.table(Band::A), before.table(Band::A));
    }
}

TEST(ChannelCsv, GenericExportImportsBackEveryFieldItCarries) {
    for (unsigned seed = 1; seed <= 6; ++seed) {
        const Document source = randomDocument(seed);
        const CsvExport out = exportChannels(source, CsvFormat::Generic, Band::A);
        ASSERT_TRUE(out.ok());
        EXPECT_EQ(out.csv.substr(0, std::string(kGenericHeader).size()), kGenericHeader);
        Document target = randomDocument(seed + 100);
        const ImportReport r = import(target, out.csv, CsvFormat::Generic, Band::A, true);
        ASSERT_TRUE(r.usable) << r.error;
        EXPECT_FALSE(r.anyRefused()) << r.lines().front();
        for (int row = 1; row <= kRows; ++row) {
            const ChannelTable &s = source.table(Band::A), &t = target.table(Band::A);
            for (int col : {1, 4, 8, 9, 12}) EXPECT_EQ(t.at(col, row), s.at(col, row)) << row << "/" << col;
            for (int col : {2, 5}) {
                const bool carried = col == 2 || !s.at(4, row).empty();
                if (!carried) continue;
                if (toneOff(s.at(col, row))) EXPECT_TRUE(toneOff(t.at(col, row))) << row << "/" << col;
                else EXPECT_EQ(t.at(col, row), s.at(col, row)) << row << "/" << col;
            }
        }
    }
    EXPECT_FALSE(exportChannels(Document(), CsvFormat::Generic, std::nullopt).ok());   // one band only
}

TEST(ChannelCsv, GenericMappingRowByRow) {
    struct Case {
        const char* row;   // after "Location," in the generic columns
        // Cells 1, 2, 4, 5, 8, 9, 12 afterwards; "-" for a row left out.
        std::array<const char*, 7> cells;
        std::vector<IssueKind> issues;
    };
    const Case cases[] = {
        {"Home,145.500000,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,FM,5.00,,High,",
         {"145.50000", "0FF", "145.50000", "0FF", "High", "Wide", "Home"}, {}},
        {"R1,145.000000,+,0.600000,Tone,88.5,88.5,023,NN,023,Tone->Tone,NFM,,,Low,",
         {"145.00000", "0FF", "145.60000", "88.5HZ", "Low", "Narrow", "R1"}, {}},
        {"R2,439.250000,-,5.000000,TSQL,67.0,100.0,023,NN,023,,FM,,,,",
         {"439.25000", "100.0HZ", "434.25000", "100.0HZ", "High", "Wide", "R2"}, {}},
        {"X,145.500000,split,435.000000,DTCS,88.5,88.5,023,NR,023,,FM,,,,",
         {"145.50000", "D023I", "435.00000", "D023N", "High", "Wide", "X"}, {}},
        {"L,145.500000,off,0.000000,Cross,88.5,94.8,023,NR,754,->Tone,FM,,,,",
         {"145.50000", "94.8HZ", "", "", "High", "Wide", "L"}, {}},
        {"C,145.500000,,0,Cross,77.0,88.5,023,NR,754,Tone->DTCS,FM,,,,",
         {"145.50000", "D754I", "145.50000", "77.0HZ", "High", "Wide", "C"}, {}},
        {"D,145.500000,,0,Cross,77.0,88.5,025,RN,754,DTCS->,FM,,,,",
         {"145.50000", "0FF", "145.50000", "D025I", "High", "Wide", "D"}, {}},
        // Values the radio cannot hold: said, and the cell left as the rules leave it.
        {"Odd,145.500000,,0,Tone,69.4,88.5,023,NN,023,,AM,,,Mid,",
         {"145.50000", "0FF", "145.50000", "0FF", "High", "Wide", "Odd"},
         {IssueKind::Refused, IssueKind::Refused, IssueKind::Refused}},
        {"Tx off,145.500000,off,0,Tone,88.5,88.5,023,NN,023,,FM,,,,",
         {"145.50000", "0FF", "", "", "High", "Wide", "Tx off"}, {IssueKind::Note}},
        {"Repeater1,145.012300,,0,,,,,,,,,,,,",
         {"145.01250", "0FF", "145.01250", "0FF", "High", "Wide", "Repeate"},
         {IssueKind::Adjusted, IssueKind::Adjusted, IssueKind::Adjusted}},
        {"K\xC3\xB6ln \xE2\x82\xAC,145.500000,,,,,,,,,,,,,,",
         {"145.50000", "0FF", "145.50000", "0FF", "High", "Wide", ""}, {IssueKind::Refused}},
        {"Up,175.500000,+,1.000000,,,,,,,,,,,,", {"175.50000", "0FF", "", "", "High", "Wide", "Up"},
         {IssueKind::Refused}},
        {"Air,118.000000,,,,,,,,,,AM,,,,", {"-", "", "", "", "", "", ""}, {IssueKind::Refused}},
    };
    for (const Case& c : cases) {
        Document d;
        const ImportReport r = import(d, std::string(kGenericHeader) + "7," + c.row + "\r\n", CsvFormat::Generic, Band::B);
        ASSERT_TRUE(r.usable) << r.error;
        std::vector<IssueKind> kinds;
        for (const ImportIssue& i : r.issues) kinds.push_back(i.kind);
        EXPECT_EQ(kinds, c.issues) << c.row << (r.issues.empty() ? "" : "\n" + r.lines().front());
        const ChannelTable& t = d.table(Band::B);
        const int cols[] = {1, 2, 4, 5, 8, 9, 12};
        if (std::string(c.cells[0]) == "-") {
            EXPECT_EQ(r.rowsRefused, 1);
            EXPECT_EQ(t, Document().table(Band::B)) << c.row;
            continue;
        }
        for (std::size_t i = 0; i < 7; ++i) EXPECT_EQ(t.at(cols[i], 7), c.cells[i]) << c.row << " column " << cols[i];
    }
}

TEST(ChannelCsv, GenericPowerInWattsAndLocations) {
    Document d;
    const ImportReport r = import(d, std::string(kGenericHeader) +
                                         "1,,145.5,,,,,,,,,,,,,5.0W,\n2,,145.6,,,,,,,,,,,,,1W,\n"
                                         "0,,145.7,,,,,,,,,,,,,,\n129,,145.8,,,,,,,,,,,,S,,\n",
                                CsvFormat::Generic);
    EXPECT_EQ(d.table(Band::A).at(8, 1), "High");
    EXPECT_EQ(d.table(Band::A).at(8, 2), "Low");
    EXPECT_EQ(r.rowsTaken, 2);
    EXPECT_EQ(r.rowsRefused, 2);   // Locations 0 and 129
    ASSERT_EQ(r.issues.size(), 3u);
    EXPECT_EQ(r.issues[0].kind, IssueKind::Note);   // Skip: no scan skip here
    EXPECT_EQ(r.lines()[1].substr(0, 8), "line 4: ");
}

TEST(ChannelCsv, FormsOfTheFile) {
    // A byte-order mark, CR LF, comment lines, a quoted field with commas and
    // a line break, reordered and missing columns, unknown columns.
    const std::string csv =
        "\xEF\xBB\xBF# exported for the club\r\n"
        "Comment,URCALL,Frequency,Location,Name\r\n"
        "\"north, on the hill\nsecond line\",,145.5,3,\"Hill \"\"N\"\"\"\r\n"
        "# a comment between rows\r\n"
        ",,500,4,Far\r\n";
    Document d;
    const ImportReport r = import(d, csv, CsvFormat::Generic);
    ASSERT_TRUE(r.usable) << r.error;
    const ChannelTable& t = d.table(Band::A);
    EXPECT_EQ(t.at(1, 3), "145.50000");
    EXPECT_EQ(t.at(4, 3), "145.50000");   // no Duplex column: simplex
    EXPECT_EQ(t.at(12, 3), "Hill N");   // quotes are not name characters
    EXPECT_EQ(t.at(1, 4), "");
    ASSERT_EQ(r.lines().size(), 3u);
    EXPECT_EQ(r.lines()[0], "line 2: columns this radio has no place for, ignored: URCALL");
    EXPECT_EQ(r.issues[1].kind, IssueKind::Adjusted);
    EXPECT_EQ(r.issues[1].line, 3);
    EXPECT_EQ(r.issues[2].line, 6);     // 500 MHz, after a two-line record and a comment
    EXPECT_EQ(r.issues[2].kind, IssueKind::Refused);
    EXPECT_EQ(detectCsvFormat(csv), CsvFormat::Generic);
}

TEST(ChannelCsv, NativeRows) {
    Document d;
    enterChannelCell(d, Band::A, 1, 9, "146");
    enterChannelCell(d, Band::A, 12, 9, "Keep");
    d.table(Band::A).at(3, 9).clear();   // a radio's channel with no receiving mode: stores as OFF does
    const Document before = d;
    const CsvExport out = exportChannels(d, CsvFormat::Native, Band::A);
    EXPECT_EQ(out.csv.substr(0, out.csv.find('\r')),
              "Band,Channel,Receiving Frequency,Receiving CTCSS,Receiving Mode,Transmission Frequency,"
              "Transmission CTCSS,Launch Signaling,Transmit end Signaling,Power,Wide / Narrow,Compandor,Scrambler,"
              "Channel Name");
    EXPECT_FALSE(import(d, out.csv, CsvFormat::Native).anyRefused());

    // Merge: a refused receiving frequency leaves its channel as it was; the
    // other rows go in; a row of the other band is left out when one band is asked for.
    const ImportReport r = import(d,
                                  "Channel,Band,Receiving Frequency,Channel Name\n"
                                  "9,A,600,Gone\n"
                                  "10,a,433.5,New\n"
                                  "11,B,145,Other\n"
                                  "x,A,145,Bad\n",
                                  CsvFormat::Native, Band::A);
    EXPECT_EQ(d.table(Band::A).cells[9], before.table(Band::A).cells[9]);
    EXPECT_EQ(d.table(Band::A).at(12, 10), "New");
    EXPECT_EQ(d.table(Band::B).at(1, 11), "");
    EXPECT_EQ(r.rowsTaken, 1);
    EXPECT_EQ(r.rowsRefused, 2);
    ASSERT_EQ(r.issues.size(), 3u);
    EXPECT_EQ(r.issues[1].kind, IssueKind::Note);
}

TEST(ChannelCsv, UnusableFilesChangeNothing) {
    const Document start = randomDocument(7);
    const struct {
        const char* csv;
        CsvFormat format;
    } cases[] = {
        {"", CsvFormat::Native},
        {"# only a comment\n", CsvFormat::Generic},
        {"Location,Frequency\n1,\"145.5\n", CsvFormat::Generic},        // a quote never closed
        {"Location,Frequency\n1,14\"5.5\n", CsvFormat::Generic},        // a quote inside a field
        {"Name,Frequency\nA,145.5\n", CsvFormat::Generic},              // no Location
        {"Location,Frequency\n1,145.5\n", CsvFormat::Native},           // the other format
        {"Channel,Receiving Frequency\n1,145.5\n", CsvFormat::Native},  // no Band and none chosen
        {"\x89PNG\r\n\x1A\n\0\0", CsvFormat::Native},
    };
    for (const auto& c : cases) {
        Document d = start;
        const ImportReport r = importChannels(d, c.csv, ImportOptions{c.format, std::nullopt, true});
        EXPECT_FALSE(r.usable) << c.csv;
        EXPECT_FALSE(r.error.empty()) << c.csv;
        EXPECT_EQ(d, start) << c.csv;
    }
    EXPECT_EQ(detectCsvFormat("Location,Frequency\n"), CsvFormat::Generic);
    EXPECT_EQ(detectCsvFormat("Band,Channel,Channel Name\n"), CsvFormat::Native);
    EXPECT_EQ(detectCsvFormat("a,b\n"), std::nullopt);
}
