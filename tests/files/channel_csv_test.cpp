// SPDX-License-Identifier: GPL-3.0-or-later
// Channel CSV: round trips of both formats, the generic mapping row by row,
// the forms a CSV file comes in, and files that must change nothing.
#include <gtest/gtest.h>

#include <random>

#include "codeplug/cell_entry.h"
#include "codeplug/rules.h"
#include "files/channel_csv.h"

using namespace pellaro;
using IssueKind = Severity;

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

}   // namespace

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
                if (toneOff(s.at(col, row)))
                    EXPECT_TRUE(toneOff(t.at(col, row))) << row << "/" << col;
                else
                    EXPECT_EQ(t.at(col, row), s.at(col, row)) << row << "/" << col;
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
         {"145.50000", "0FF", "145.50000", "0FF", "High", "Wide", "Home"},
         {}},
        {"R1,145.000000,+,0.600000,Tone,88.5,88.5,023,NN,023,Tone->Tone,NFM,,,Low,",
         {"145.00000", "0FF", "145.60000", "88.5HZ", "Low", "Narrow", "R1"},
         {}},
        {"R2,439.250000,-,5.000000,TSQL,67.0,100.0,023,NN,023,,FM,,,,",
         {"439.25000", "100.0HZ", "434.25000", "100.0HZ", "High", "Wide", "R2"},
         {}},
        {"X,145.500000,split,435.000000,DTCS,88.5,88.5,023,NR,023,,FM,,,,",
         {"145.50000", "D023I", "435.00000", "D023N", "High", "Wide", "X"},
         {}},
        {"L,145.500000,off,0.000000,Cross,88.5,94.8,023,NR,754,->Tone,FM,,,,",
         {"145.50000", "94.8HZ", "", "", "High", "Wide", "L"},
         {}},
        {"C,145.500000,,0,Cross,77.0,88.5,023,NR,754,Tone->DTCS,FM,,,,",
         {"145.50000", "D754I", "145.50000", "77.0HZ", "High", "Wide", "C"},
         {}},
        {"D,145.500000,,0,Cross,77.0,88.5,025,RN,754,DTCS->,FM,,,,",
         {"145.50000", "0FF", "145.50000", "D025I", "High", "Wide", "D"},
         {}},
        // Values the radio cannot hold: said, and the cell left as the rules leave it.
        {"Odd,145.500000,,0,Tone,69.4,88.5,023,NN,023,,AM,,,Mid,",
         {"145.50000", "0FF", "145.50000", "0FF", "High", "Wide", "Odd"},
         {IssueKind::Refused, IssueKind::Refused, IssueKind::Refused}},
        {"Tx off,145.500000,off,0,Tone,88.5,88.5,023,NN,023,,FM,,,,",
         {"145.50000", "0FF", "", "", "High", "Wide", "Tx off"},
         {IssueKind::Note}},
        {"Repeater1,145.012300,,0,,,,,,,,,,,,",
         {"145.01250", "0FF", "145.01250", "0FF", "High", "Wide", "Repeate"},
         {IssueKind::Changed, IssueKind::Changed, IssueKind::Changed}},
        {"K\xC3\xB6ln \xE2\x82\xAC,145.500000,,,,,,,,,,,,,,",
         {"145.50000", "0FF", "145.50000", "0FF", "High", "Wide", ""},
         {IssueKind::Refused}},
        {"Up,175.500000,+,1.000000,,,,,,,,,,,,",
         {"175.50000", "0FF", "", "", "High", "Wide", "Up"},
         {IssueKind::Refused}},
        {"Air,118.000000,,,,,,,,,,AM,,,,", {"-", "", "", "", "", "", ""}, {IssueKind::Refused}},
    };
    for (const Case& c : cases) {
        Document d;
        const ImportReport r =
            import(d, std::string(kGenericHeader) + "7," + c.row + "\r\n", CsvFormat::Generic, Band::B);
        // A file whose only row is left out is not taken at all.
        ASSERT_EQ(r.usable, std::string(c.cells[0]) != "-") << r.error;
        std::vector<IssueKind> kinds;
        for (const ReportItem& i : r.issues) kinds.push_back(i.severity);
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
    const ImportReport r = import(d,
                                  std::string(kGenericHeader) +
                                      "1,,145.5,,,,,,,,,,,,,5.0W,\n2,,145.6,,,,,,,,,,,,,1W,\n"
                                      "0,,145.7,,,,,,,,,,,,,,\n129,,145.8,,,,,,,,,,,,S,,\n",
                                  CsvFormat::Generic);
    EXPECT_EQ(d.table(Band::A).at(8, 1), "High");
    EXPECT_EQ(d.table(Band::A).at(8, 2), "Low");
    EXPECT_EQ(r.rowsTaken, 2);
    EXPECT_EQ(r.rowsRefused, 2);   // Locations 0 and 129
    ASSERT_EQ(r.issues.size(), 3u);
    EXPECT_EQ(r.issues[0].severity, IssueKind::Note);   // Skip: no scan skip here
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
    EXPECT_EQ(t.at(12, 3), "Hill N");     // quotes are not name characters
    EXPECT_EQ(t.at(1, 4), "");
    ASSERT_EQ(r.lines().size(), 3u);
    EXPECT_EQ(r.lines()[0], "line 2: columns this radio has no place for, ignored: \"URCALL\"");
    EXPECT_EQ(r.issues[1].severity, IssueKind::Changed);
    EXPECT_EQ(r.issues[1].place.line, 3);
    EXPECT_EQ(r.issues[2].place.line, 6);   // 500 MHz, after a two-line record and a comment
    EXPECT_EQ(r.issues[2].severity, IssueKind::Refused);
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
    EXPECT_EQ(r.issues[1].severity, IssueKind::Note);
}

TEST(ChannelCsv, UnusableFilesChangeNothingAndSayWhyInTheirOwnTerms) {
    const Document start = randomDocument(7);
    const std::string header = kGenericHeader;
    const struct {
        std::string csv;
        CsvFormat format;
        const char* error;   // the reason, exactly
    } cases[] = {
        {"", CsvFormat::Native, "the file holds no header line"},
        {"# only a comment\n", CsvFormat::Generic, "the file holds no header line"},
        {"Location,Frequency\n1,\"145.5\n", CsvFormat::Generic,
         "line 2: a quoted field starts here and is never closed"},
        {"Location,Frequency\n1,14\"5.5\n", CsvFormat::Generic,
         "line 2: a quote inside a field that does not start with one (quote the whole field and write its quotes "
         "twice)"},
        {"Location,Name\n1,\"Hill\" N\n", CsvFormat::Generic,
         "line 2: text after the closing quote of a field (a quote inside a quoted field is written twice)"},
        {"Name,Frequency\nA,145.5\n", CsvFormat::Generic,
         "line 1: not a generic channel CSV (the header names no Location column)"},
        {"Location,Frequency\n1,145.5\n", CsvFormat::Native,
         "line 1: not a native channel CSV (the header names no Channel column and no channel heading)"},
        {"Channel,Receiving Frequency\n1,145.5\n", CsvFormat::Native,
         "the file has no Band column: choose the band its channels go into"},
        {"\x89PNG\r\n\x1A\n\0\0", CsvFormat::Native, "line 1 is not UTF-8 text; save the file as UTF-8 (CSV UTF-8)"},
        // Windows-1252 "Äpfel" on line 4.
        {header + "1,A,145.5\r\n2,B,145.6\r\n3,\xC4pfel,145.7\r\n", CsvFormat::Generic,
         "line 4 is not UTF-8 text; save the file as UTF-8 (CSV UTF-8)"},
        {std::string("\xFF\xFEL\0o\0", 6), CsvFormat::Generic, "the file is UTF-16; save it as UTF-8"},
        {std::string("L\0o\0c\0", 6), CsvFormat::Generic, "the file is UTF-16; save it as UTF-8"},
        {"# from a spreadsheet\nLocation;Name;Frequency\n1;\"A, B\";145,5\n", CsvFormat::Generic,
         "line 2: the header is separated by ';', not ','; save the file with ',' as the field separator"},
        {"Location\tName\tFrequency\n1\tA\t145.5\n", CsvFormat::Generic,
         "line 1: the header is separated by tabs, not ','; save the file with ',' as the field separator"},
        // No row at all can be taken: nothing changes in either mode.
        {header + "1,,600,,,,,,,,,,,,,,\r\n", CsvFormat::Generic,
         "no row of the file can be taken (1 row(s) left out)"},
        {header, CsvFormat::Generic, "the file holds no channel rows, only its header"},
        {std::string(kLargestChannelCsv + 1, '#'), CsvFormat::Generic,
         "the file is too large for a channel plan (at most 8 MiB)"},
    };
    for (const auto& c : cases) {
        for (bool replace : {false, true}) {
            Document d = start;
            const ImportReport r = importChannels(d, c.csv, ImportOptions{c.format, std::nullopt, replace});
            EXPECT_FALSE(r.usable) << c.csv.substr(0, 80);
            EXPECT_EQ(r.error, c.error);
            EXPECT_EQ(d, start) << c.csv.substr(0, 80);
        }
    }
    Document d = start;
    EXPECT_FALSE(import(d, "Band,Channel,Receiving Frequency\nB,1,145.5\n", CsvFormat::Native, Band::A).usable);
    EXPECT_EQ(detectCsvFormat("Location,Frequency\n"), CsvFormat::Generic);
    EXPECT_EQ(detectCsvFormat("Band,Channel,Channel Name\n"), CsvFormat::Native);
    EXPECT_EQ(detectCsvFormat("a,b\n"), std::nullopt);
}

TEST(ChannelCsv, ReplaceTakesEveryRowOrNone) {
    // A plan with one refused row and one refused value: Merge takes the
    // rest, Replace changes nothing and says what it would have refused.
    const std::string csv = std::string(kGenericHeader) +
                            "1,Keep,145.500000,,,,,,,,,,,,,,\r\n"
                            "2,Far,600.000000,,,,,,,,,,,,,,\r\n"
                            "3,Odd,145.600000,,,,,,,,,,AM,,,,\r\n";
    const Document start = randomDocument(3);
    Document merged = start, replaced = start;
    const ImportReport m = import(merged, csv, CsvFormat::Generic, Band::A, false);
    EXPECT_TRUE(m.usable && m.applied);
    EXPECT_EQ(merged.table(Band::A).at(12, 1), "Keep");
    const ImportReport r = import(replaced, csv, CsvFormat::Generic, Band::A, true);
    EXPECT_TRUE(r.usable);
    EXPECT_FALSE(r.applied);
    EXPECT_EQ(replaced, start);
    EXPECT_EQ(r.rowsRefused, 1);
    EXPECT_EQ(r.valuesRefused(), 1);
    EXPECT_TRUE(r.anyRefused());
}

TEST(ChannelCsv, DecimalCommaIsReadAsAPointAndSaidSo) {
    struct Case {
        const char* row;      // after "7," in the generic columns
        const char* rx;       // Receiving Frequency afterwards ("-": row left out)
        const char* tx;       // Transmission Frequency afterwards
        const char* tone;     // Transmission CTCSS afterwards
        std::size_t commas;   // "decimal comma read as a point" lines
    };
    const Case cases[] = {
        {"A,\"145,5\",,,,,,,,,,,,,,", "145.50000", "145.50000", "0FF", 1},
        {"A,\"145,5\",-,\"0,6\",Tone,\"88,5\",\"88,5\",,,,,,,,,", "145.50000", "144.90000", "88.5HZ", 3},
        {"A,\"145,5\",split,\"435,025\",,,,,,,,,,,,", "145.50000", "435.02500", "0FF", 2},
        {"A,\"1,45,5\",,,,,,,,,,,,,,", "-", "", "", 0},    // two commas: not a number
        {"A,\"145,5.0\",,,,,,,,,,,,,,", "-", "", "", 0},   // comma and point
        {"A,\",5\",,,,,,,,,,,,,,", "-", "", "", 0},        // no digit before it
    };
    for (const Case& c : cases) {
        Document d;
        const ImportReport r = import(d, std::string(kGenericHeader) + "7," + c.row + "\r\n", CsvFormat::Generic);
        const ChannelTable& t = d.table(Band::A);
        std::size_t commas = 0;
        for (const ReportItem& i : r.issues)
            if (i.reason.find("decimal comma read as a point") != std::string::npos) {
                EXPECT_EQ(i.severity, Severity::Changed);
                ++commas;
            }
        EXPECT_EQ(commas, c.commas) << c.row;
        if (std::string(c.rx) == "-") {
            EXPECT_FALSE(r.usable) << c.row;
            continue;
        }
        EXPECT_EQ(t.at(1, 7), c.rx) << c.row;
        EXPECT_EQ(t.at(4, 7), c.tx) << c.row;
        EXPECT_EQ(t.at(5, 7), c.tone) << c.row;
    }
    // The native frequencies the same.
    Document d;
    const ImportReport r = import(d, "Band,Channel,Receiving Frequency\nA,2,\"433,5\"\n", CsvFormat::Native);
    EXPECT_EQ(d.table(Band::A).at(1, 2), "433.50000");
    ASSERT_EQ(r.lines().size(), 1u);
    EXPECT_EQ(r.lines()[0], "line 2: A 2 Receiving Frequency: \"433,5\": decimal comma read as a point");
}

TEST(ChannelCsv, RowsThatEmptyOrRepeatAChannelAreSaid) {
    Document d;
    enterChannelCell(d, Band::A, 1, 2, "145.5");
    enterChannelCell(d, Band::A, 1, 1, "146");
    const ImportReport r = import(d,
                                  std::string(kGenericHeader) +
                                      "2,,,,,,,,,,,,,,,,\r\n"                // line 2: empties A 2
                                      "1,One,145.000000,,,,,,,,,,,,,,\r\n"   // line 3
                                      "5,,,,,,,,,,,,,,,,\r\n"                // already empty: nothing to say
                                      "1,Two,145.100000,,,,,,,,,,,,,,\r\n"
                                      "1,Three,145.200000,,,,,,,,,,,,,,\r\n",   // line 6: taken
                                  CsvFormat::Generic);
    EXPECT_EQ(r.lines(), (std::vector<std::string>{"line 2: A 2 emptied: the row has no Frequency",
                                                   "line 6: A 1 was already given on line 3; the later row is taken"}));
    EXPECT_EQ(r.channelsEmptied, 1);
    EXPECT_EQ(r.rowsTaken, 3);
    EXPECT_FALSE(r.anyRefused());
    EXPECT_EQ(d.table(Band::A).at(12, 1), "Three");
    EXPECT_EQ(d.table(Band::A).at(1, 2), "");
}

TEST(ChannelCsv, QuotedTextsAreCut) {
    // A huge value gives a short line.
    const std::string huge(1 << 20, 'x');
    Document d;
    const ImportReport r = import(
        d, std::string(kGenericHeader) + huge + ",,145.5,,,,,,,,,,,,,,\r\n1,,145.5," + huge + ",,,,,,,,,,,,,\r\n",
        CsvFormat::Generic);
    ASSERT_EQ(r.lines().size(), 2u);
    for (const std::string& line : r.lines()) EXPECT_LT(line.size(), 200u) << line.substr(0, 200);
    EXPECT_NE(r.lines()[0].find("\"" + std::string(40, 'x') + "…\""), std::string::npos) << r.lines()[0].substr(0, 200);
}

TEST(ChannelCsv, GenericFrequencyWithSixDecimalsIsReadAsItsValue) {
    // As the generic export writes frequencies: six decimals, more than a
    // cell holds. Read as its value, raised onto the step raster, said.
    Document d;
    const ImportReport r =
        import(d, std::string(kGenericHeader) + "1,,446.103125,,,,,,,,,,,,,,\r\n", CsvFormat::Generic);
    if (d.table(Band::A).at(1, 1).empty())
        GTEST_SKIP() << "needs the frequency rule that reads every decimal: "
                     << (r.usable ? r.lines().front() : r.error);
    EXPECT_EQ(d.table(Band::A).at(1, 1), "446.10500");
    ASSERT_FALSE(r.issues.empty());
    EXPECT_EQ(r.issues.front().severity, Severity::Changed);
    EXPECT_NE(r.lines().front().find("rounded"), std::string::npos) << r.lines().front();
}
