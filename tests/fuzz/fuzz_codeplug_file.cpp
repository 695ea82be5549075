// SPDX-License-Identifier: GPL-3.0-or-later
// The codeplug file loader with arbitrary file bytes: a file either loads
// whole or leaves the document as it was, every mirror keeps its length, and
// a loaded document that saves gives the same document again.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "tests/fuzz/fuzz_check.h"

using namespace pellaro;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const Document fresh;
    Document doc = fresh;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const FileResult result = loadCodeplug(bytes, doc);
    fuzz::checkMirrors(doc);
    if (!result.ok()) {
        FUZZ_REQUIRE(doc == fresh, "a refused file changed the document");
        return 0;
    }
    fuzz::checkWriteData(doc);
    fuzz::checkSaveLoad(doc);
    return 0;
}
