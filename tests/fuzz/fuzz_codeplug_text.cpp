// SPDX-License-Identifier: GPL-3.0-or-later
// The codeplug text loader with arbitrary text: a text either loads whole or
// leaves the document as it was, every mirror keeps its length, and what
// loads dumps to a text that loads back to the same document.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "files/codeplug_text.h"
#include "tests/fuzz/fuzz_check.h"

using namespace pellaro;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const Document fresh;
    Document doc = fresh;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const TextLoadReport report = loadCodeplugText(text, doc);
    fuzz::checkMirrors(doc);
    if (!report.ok()) {
        FUZZ_REQUIRE(doc == fresh, "a refused text changed the document");
        FUZZ_REQUIRE(report.usable || !report.error.empty(), "an unusable text without a reason");
        return 0;
    }
    fuzz::checkWriteData(doc);
    const CodeplugText dumped = dumpCodeplugText(doc);
    if (dumped.notes.empty()) {
        Document again = fresh;
        FUZZ_REQUIRE(loadCodeplugText(dumped.text, again).ok(), "a dump without notes does not load");
        FUZZ_REQUIRE(again == doc, "a dump loads back to another document");
    }
    return 0;
}
