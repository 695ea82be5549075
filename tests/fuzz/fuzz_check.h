// SPDX-License-Identifier: GPL-3.0-or-later
// Invariants every fuzz target checks after each step. A broken invariant
// prints what broke and aborts, so libFuzzer keeps the input as a crash.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

#include "codeplug/codes.h"
#include "codeplug/document.h"
#include "codeplug/memory_map.h"
#include "files/codeplug_file.h"

namespace pellaro::fuzz {

[[noreturn]] inline void broken(const std::string& what) {
    std::fprintf(stderr, "invariant broken: %s\n", what.c_str());
    std::fflush(stderr);
    std::abort();
}

#define FUZZ_REQUIRE(cond, what)                    \
    do {                                            \
        if (!(cond)) ::pellaro::fuzz::broken(what); \
    } while (0)

// Every raw mirror holds exactly its length of hex digits.
inline void checkMirrors(const Document& doc) {
    for (int n = 1; n <= 15; ++n) {
        const std::string& m = doc.k[static_cast<std::size_t>(n)];
        FUZZ_REQUIRE(static_cast<int>(m.size()) == kMirrorLength[static_cast<std::size_t>(n)],
                     "mirror k" + std::to_string(n) + " has " + std::to_string(m.size()) + " characters");
        FUZZ_REQUIRE(isHexText(m), "mirror k" + std::to_string(n) + " is not hex text: " + m);
    }
}

// Every block the full write would send carries exactly its length of data.
inline void checkWriteData(const Document& doc) {
    for (int n = 0; n < kBlockCount; ++n) {
        const std::string data = writeData(doc, n);
        FUZZ_REQUIRE(data.size() == 2u * blockInfo(n).length, "write data of block " + std::to_string(n) + " has " +
                                                                  std::to_string(data.size()) + " characters");
        FUZZ_REQUIRE(isHexText(data), "write data of block " + std::to_string(n) + " is not hex text: " + data);
    }
}

// The first value in which two documents differ, for the report.
inline std::string firstDifference(const Document& a, const Document& b) {
    auto show = [](const std::string& name, const std::string& x, const std::string& y) {
        return name + ": [" + x + "] became [" + y + "]";
    };
    for (int band = 0; band < 2; ++band) {
        for (int row = 1; row <= kRows; ++row)
            for (int col = 0; col < kColumns; ++col)
                if (a.grid[band].at(col, row) != b.grid[band].at(col, row))
                    return show("band " + std::to_string(band) + " row " + std::to_string(row) + " column " +
                                    std::to_string(col),
                                a.grid[band].at(col, row), b.grid[band].at(col, row));
        const BandSetup &x = a.setup[band], &y = b.setup[band];
        if (x.rxFreq != y.rxFreq) return show("set-up frequency", x.rxFreq, y.rxFreq);
        if (x.offset != y.offset) return show("set-up offset", x.offset, y.offset);
        for (std::size_t i = 0; i < x.sel.size(); ++i)
            if (x.sel[i] != y.sel[i])
                return show("set-up list " + std::to_string(i), std::to_string(x.sel[i]), std::to_string(y.sel[i]));
    }
    for (std::size_t i = 0; i < a.gn.size(); ++i)
        if (a.gn[i] != b.gn[i]) return show("gn" + std::to_string(i), std::to_string(a.gn[i]), std::to_string(b.gn[i]));
    if (a.gn3 != b.gn3) return show("gn3", a.gn3, b.gn3);
    for (std::size_t i = 1; i < 9; ++i) {
        if (a.sy[i] != b.sy[i]) return show("sy" + std::to_string(i), a.sy[i], b.sy[i]);
        if (a.sypz[i] != b.sypz[i]) return show("sypz" + std::to_string(i), a.sypz[i], b.sypz[i]);
    }
    if (a.sypz9 != b.sypz9) return show("sypz9", std::to_string(a.sypz9), std::to_string(b.sypz9));
    if (a.kaiji1 != b.kaiji1) return show("kaiji1", a.kaiji1, b.kaiji1);
    if (a.kaiji2 != b.kaiji2) return show("kaiji2", a.kaiji2, b.kaiji2);
    for (std::size_t i = 1; i < 5; ++i)
        if (a.xp[i] != b.xp[i]) return show("xp" + std::to_string(i), a.xp[i], b.xp[i]);
    if (a.xp5 != b.xp5) return show("xp5", std::to_string(a.xp5), std::to_string(b.xp5));
    for (std::size_t i = 1; i < 16; ++i)
        if (a.k[i] != b.k[i]) return show("k" + std::to_string(i), a.k[i], b.k[i]);
    return "no visible difference";
}

// What a document is after a save and a load: the file keeps every value
// except the blanks inside the set-up, settings, limit and code texts, which
// loading removes by design (the editors' keys never type them).
inline Document afterFile(Document doc) {
    auto strip = [](std::string& t) { std::erase(t, ' '); };
    for (BandSetup& s : doc.setup) {
        strip(s.rxFreq);
        strip(s.offset);
    }
    strip(doc.gn3);
    for (std::size_t i = 1; i < 5; ++i) strip(doc.xp[i]);
    for (std::size_t i = 1; i < 9; ++i) {
        strip(doc.sy[i]);
        strip(doc.sypz[i]);
    }
    return doc;
}

// A document that saves loads back as the same document (but for the
// blanks above) and saves to the same bytes; one that does not save says why
// and gives no bytes.
inline void checkSaveLoad(const Document& doc) {
    std::string bytes;
    const FileResult saved = saveCodeplug(doc, bytes);
    if (!saved.ok()) {
        FUZZ_REQUIRE(bytes.empty(), "a refused save still gave bytes");
        FUZZ_REQUIRE(!saved.error.empty(), "a refused save gave no reason");
        return;
    }
    Document again;
    const FileResult loaded = loadCodeplug(bytes, again);
    FUZZ_REQUIRE(loaded.ok(), "a saved document does not load: " + loaded.error);
    const Document expected = afterFile(doc);
    FUZZ_REQUIRE(again == expected, "a saved document loads back different: " + firstDifference(expected, again));
    std::string twice;
    FUZZ_REQUIRE(saveCodeplug(again, twice).ok(), "a loaded document does not save again");
    if (expected == doc) FUZZ_REQUIRE(twice == bytes, "saving again gives other bytes");
}

}   // namespace pellaro::fuzz
