// SPDX-License-Identifier: GPL-3.0-or-later
// The simulated radio's memory: a fresh codeplug, and raw image files.
#include "tools/radio_sim/radio_sim.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string_view>

namespace pellaro::sim {

namespace {

// Writes big-endian values and length-prefixed texts into the memory.
class Writer {
public:
    explicit Writer(Memory& memory) : memory_(memory) {}

    void u8(std::size_t at, std::uint8_t v) { memory_[at] = v; }
    void u16(std::size_t at, std::uint16_t v) {
        memory_[at] = static_cast<std::uint8_t>(v >> 8);
        memory_[at + 1] = static_cast<std::uint8_t>(v);
    }
    void u32(std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) memory_[at + i] = static_cast<std::uint8_t>(v >> (24 - 8 * i));
    }
    void bytes(std::size_t at, std::initializer_list<std::uint8_t> list) {
        for (std::uint8_t b : list) memory_[at++] = b;
    }
    // Count byte, then the characters, then FF to the end of the field
    // (channel names and power-on messages: 8 bytes, at most 7 characters).
    void text(std::size_t at, std::string_view s, std::size_t field = 8) {
        memory_[at] = static_cast<std::uint8_t>(s.size());
        for (std::size_t i = 0; i + 1 < field; ++i)
            memory_[at + 1 + i] = i < s.size() ? static_cast<std::uint8_t>(s[i]) : 0xFF;
    }
    // A DTMF group: count, digit codes, FF to the end (8 or 6 bytes).
    void dtmf(std::size_t at, std::string_view digits, std::size_t field) {
        memory_[at] = static_cast<std::uint8_t>(digits.size());
        for (std::size_t i = 0; i + 1 < field; ++i)
            memory_[at + 1 + i] = i < digits.size() ? dtmfCode(digits[i]) : 0xFF;
    }

private:
    static std::uint8_t dtmfCode(char c) {
        switch (c) {
            case '0':
                return 0x0A;
            case '*':
                return 0x0B;
            case '#':
                return 0x0C;
            case 'A':
                return 0x0D;
            case 'B':
                return 0x0E;
            case 'C':
                return 0x0F;
            case 'D':
                return 0x00;
            default:
                return static_cast<std::uint8_t>(c - '0');
        }
    }

    Memory& memory_;
};

// Frequencies are counts of 10 Hz units.
constexpr std::uint32_t khz(std::uint32_t k) { return k * 100; }

constexpr std::uint16_t kToneOff = 0xFFFF;
constexpr std::uint8_t kFlagsHigh = 0x80, kFlagsWide = 0x40;

struct Channel {
    std::uint32_t rx, tx;   // 10 Hz units
    std::uint16_t rxTone, txTone;
    std::uint8_t launch;   // signalling code, 00 = OFF
    std::uint8_t flags;
    std::string_view name;
};

void putChannel(Writer& w, std::size_t at, const Channel& c) {
    w.u32(at, c.rx);
    w.u16(at + 4, c.rxTone);
    w.u8(at + 6, 0x00);   // QT/DQT
    w.u32(at + 7, c.tx);
    w.u16(at + 11, c.txTone);
    w.u8(at + 13, c.launch);
    w.u8(at + 14, 0x00);   // transmit end signalling OFF
    w.u8(at + 15, c.flags);
    w.text(at + 16, c.name);
}

// An unprogrammed channel as the programming tool writes it: 16 bytes FF,
// then an empty name (count 00, FF). Holding the same form here keeps a
// read followed by a write from changing any byte of the radio.
void putEmptyChannel(Writer& w, std::size_t at) {
    for (std::size_t i = 0; i < 16; ++i) w.u8(at + i, 0xFF);
    w.text(at + 16, "");
}

void putVfo(Writer& w, std::size_t at, std::uint32_t rx, std::uint32_t offset) {
    w.bytes(at, {0x00, 0x00});   // frequency mode, channel 1
    w.u32(at + 2, rx);
    w.u16(at + 6, kToneOff);
    w.bytes(at + 8, {0x00, 0xFF});   // QT/DQT; byte 9 not interpreted
    w.u16(at + 10, kToneOff);
    w.bytes(at + 12, {0x00, 0x00, 0x01, 0x01, 0x00, 0x00,
                      0x00});   // signalling off, High, Wide, compandor, scrambler, offset direction
    w.u32(at + 19, offset);
    w.u16(at + 23, 0x04E2);   // step 12.5K
}

}   // namespace

Memory freshCodeplug() {
    Memory m;
    m.fill(0xFF);
    Writer w(m);

    // Channels on a 12.5 kHz raster inside 136-176 MHz and 400-490 MHz.
    const Channel bandA[] = {
        {khz(145500), khz(145500), kToneOff, kToneOff, 0x00, kFlagsHigh | kFlagsWide, "CALL V"},
        {khz(146525), khz(146525), kToneOff, kToneOff, 0x00, kFlagsHigh | kFlagsWide, "SIMPLEX"},
        {khz(145700), khz(145100), kToneOff, 0x0375, 0x00, kFlagsHigh | kFlagsWide, "RPT 1"},   // 88.5 Hz
        {khz(151812) + 50, khz(151812) + 50, 0x8023, 0x8023, 0x01, 0x00, "WORK"},               // D023N, DTMF1
    };
    const Channel bandB[] = {
        {khz(433500), khz(433500), kToneOff, kToneOff, 0x00, kFlagsHigh | kFlagsWide, "CALL U"},
        {khz(446012) + 50, khz(446012) + 50, 0x029E, 0x029E, 0x00, 0x00, "PMR 2"},      // 67.0 Hz
        {khz(439100), khz(431500), 0xC754, 0xC754, 0x11, kFlagsHigh | 0x20, "RPT U"},   // D754I, Identity Code
    };
    for (std::size_t n = 0; n < 128; ++n) {
        putEmptyChannel(w, 0x0400 + n * 0x18);
        putEmptyChannel(w, 0x1000 + n * 0x18);
    }
    for (std::size_t n = 0; n < std::size(bandA); ++n) putChannel(w, 0x0400 + n * 0x18, bandA[n]);
    for (std::size_t n = 0; n < std::size(bandB); ++n) putChannel(w, 0x1000 + n * 0x18, bandB[n]);

    putVfo(w, 0x0300, khz(145500), khz(600));
    putVfo(w, 0x0380, khz(433500), khz(5000));

    // Settings: main band A, volume 15, FM 98.0 MHz, backlights Orange / Blue
    // / Purple, Automatic, beep ON, vibration 2, busy lock OFF, time-out 120,
    // 1750 Hz, 50 ms, squelch 3, repeater OFF.
    w.bytes(0x0200, {0x00, 0x0F, 0x03, 0xD4, 0x01, 0x02, 0x03, 0x00, 0x01, 0x02, 0x00, 0x04, 0x06, 0xD6, 0x00, 0x32,
                     0x03, 0x00});

    static constexpr std::string_view kDtmf[8] = {"123", "A0#", "", "", "", "", "", "*D"};
    for (std::size_t g = 0; g < 8; ++g) w.dtmf(0x0240 + g * 8, kDtmf[g], 8);
    w.dtmf(0x0280, "101", 8);   // native ID
    w.dtmf(0x0288, "100", 8);   // master control ID
    static constexpr std::string_view kShort[6] = {"999", "101", "", "2222", "3333", ""};
    for (std::size_t g = 0; g < 6; ++g) w.dtmf(0x0290 + g * 6, kShort[g], 6);

    w.u8(0x02C0, 0x00);   // state Normal

    w.text(0x02D0, "PELLARO");
    w.text(0x02D8, "DUAL");
    w.u32(0x02E0, khz(136000));
    w.u32(0x02E4, khz(174000));
    w.u32(0x02E8, khz(400000));
    w.u32(0x02EC, khz(480000));
    w.u8(0x02F0, 0x01);   // limit mode ON
    return m;
}

std::optional<Memory> loadImage(const std::string& path, std::string& error) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        error = "cannot open image " + path + ": " + std::strerror(errno);
        return std::nullopt;
    }
    Memory m;
    const std::size_t got = std::fread(m.data(), 1, m.size(), f);
    const bool readError = std::ferror(f) != 0;
    const bool extra = !readError && got == m.size() && std::fgetc(f) != EOF;
    std::fclose(f);
    if (readError) {
        error = "cannot read image " + path;
        return std::nullopt;
    }
    if (got != m.size() || extra) {
        error = "image " + path + " is not a radio memory image (expected exactly 7168 bytes)";
        return std::nullopt;
    }
    return m;
}

bool saveImage(const std::string& path, const Memory& memory, std::string& error) {
    const std::string temp = path + ".tmp-" + std::to_string(::getpid());
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        error = "cannot write " + temp + ": " + std::strerror(errno);
        return false;
    }
    std::size_t done = 0;
    while (done < memory.size()) {
        const ssize_t n = ::write(fd, memory.data() + done, memory.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
    }
    const bool ok = done == memory.size() && ::fsync(fd) == 0;
    const int savedErrno = errno;
    ::close(fd);
    if (!ok || ::rename(temp.c_str(), path.c_str()) != 0) {
        error = "cannot write " + path + ": " + std::strerror(ok ? errno : savedErrno);
        ::unlink(temp.c_str());
        return false;
    }
    return true;
}

}   // namespace pellaro::sim
