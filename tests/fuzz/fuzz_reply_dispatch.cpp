// SPDX-License-Identifier: GPL-3.0-or-later
// The reply dispatch of every block with arbitrary reply texts. The input is
// a series of replies, each [block][form][length][bytes]: the first byte picks
// the block (0..135), the form says how the bytes become the reply text (as
// they are, as hex text, as hex text of an accepted length, in lower case).
// After each reply every mirror keeps its length; at the end every write
// block is whole and the document saves and loads back the same.
#include <cstddef>
#include <cstdint>
#include <string>

#include "tests/fuzz/fuzz_check.h"

using namespace pellaro;

namespace {

std::string hexOf(const std::uint8_t* p, std::size_t n, bool lower) {
    static const char* const upper = "0123456789ABCDEF";
    static const char* const small = "0123456789abcdef";
    const char* digits = lower ? small : upper;
    std::string out;
    out.reserve(2 * n);
    for (std::size_t i = 0; i < n; ++i) {
        out += digits[p[i] >> 4];
        out += digits[p[i] & 15];
    }
    return out;
}

}   // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Document doc;
    std::size_t at = 0;
    int replies = 0;
    while (at + 3 <= size && replies < 64) {
        const int block = data[at] % kBlockCount;
        const int form = data[at + 1] & 3;
        std::size_t len = data[at + 2];
        at += 3;
        if (len > size - at) len = size - at;
        const std::uint8_t* p = data + at;
        at += len;
        ++replies;

        std::string reply;
        switch (form) {
            case 0:   // any text at all
                reply.assign(reinterpret_cast<const char*>(p), len);
                break;
            case 1:   // hex text of any length
                reply = hexOf(p, len, false);
                break;
            case 2: {   // hex text of the expected length, or of the 48 bytes always taken
                const std::size_t want = (len & 1) ? 48 : blockInfo(block).length;
                reply = hexOf(p, len, false);
                reply.resize(2 * want, 'F');
                break;
            }
            default:   // lower-case hex digits
                reply = hexOf(p, len, true);
                break;
        }
        dispatchReply(doc, block, reply);
        fuzz::checkMirrors(doc);
        FUZZ_REQUIRE(doc.sypz9 >= 0 && doc.sypz9 <= 2, "the current state left its list");
    }
    fuzz::checkWriteData(doc);
    fuzz::checkSaveLoad(doc);
    return 0;
}
