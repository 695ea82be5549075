// SPDX-License-Identifier: GPL-3.0-or-later
// The native channel CSV import with arbitrary text (see fuzz_channel_csv.h).
#include "tests/fuzz/fuzz_channel_csv.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return pellaro::fuzz::fuzzChannelCsv(pellaro::CsvFormat::Native, data, size);
}
