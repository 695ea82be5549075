// SPDX-License-Identifier: GPL-3.0-or-later
// Tab-separated text as spreadsheets exchange it: reading every line end and
// quoting form, and writing what reads back.
#include <gtest/gtest.h>

#include "files/tsv.h"

using namespace pellaro;

TEST(Tsv, Reads) {
    struct Case {
        const char* text;
        TextGrid rows;
    };
    const Case cases[] = {
        {"", {}},
        {"\n", {{""}}},   // one empty cell
        {"a\tb\n", {{"a", "b"}}},
        {"a\tb", {{"a", "b"}}},   // no line end after the last row
        {"a\r\nb\r\n", {{"a"}, {"b"}}},
        {"a\rb", {{"a"}, {"b"}}},
        {"a\n\nb\n", {{"a"}, {""}, {"b"}}},   // an empty line is an empty cell
        {"a\n\n", {{"a"}, {""}}},             // only one line end is no row
        {"\t\n", {{"", ""}}},
        {" a \t b\n", {{" a ", " b"}}},   // blanks are kept
        {"\"x\ty\"\t\"q\"\"\"\n", {{"x\ty", "q\""}}},
        {"\"two\r\nlines\"\tz", {{"two\r\nlines", "z"}}},
        {"\"\"\n", {{""}}},
        {"\"ab\"cd\tx", {{"abcd", "x"}}},     // text after the closing quote is kept
        {"\"open\tx\n", {{"\"open", "x"}}},   // never closed: an ordinary quote
        {"mid\"quote\t\"\n", {{"mid\"quote", "\""}}},
    };
    for (const Case& c : cases) EXPECT_EQ(readTsv(c.text), c.rows) << c.text;
}

TEST(Tsv, WritesWhatReadsBack) {
    const TextGrid rows = {{"a", "b"}, {"c\td", "e\"f"}, {""}, {"x\ny", "", "\r"}};
    const std::string text = writeTsv(rows);
    EXPECT_EQ(text, "a\tb\n\"c\td\"\t\"e\"\"f\"\n\n\"x\ny\"\t\t\"\r\"\n");
    EXPECT_EQ(readTsv(text), rows);

    // Every byte, alone and around a quote, as a name read from a radio may hold.
    TextGrid bytes(1);
    for (int b = 0; b < 256; ++b) {
        bytes[0].push_back(std::string(1, static_cast<char>(b)));
        bytes[0].push_back("\"" + std::string(1, static_cast<char>(b)) + "\"x");
    }
    EXPECT_EQ(readTsv(writeTsv(bytes)), bytes);
}
