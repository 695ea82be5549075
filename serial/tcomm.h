// SPDX-License-Identifier: GPL-3.0-or-later
// TComm: the program's serial port component. It owns one open port, a
// receive thread and a transmit thread. Callers on the main thread open and
// close the port, queue bytes with SendData and get received bytes through
// OnReceiveData, which always runs on the main thread (the thread that
// created the component), from its Qt event queue.
//
// POSIX termios underneath; the port is opened exclusively, set to raw binary
// mode and restored to its previous terminal settings when closed.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

namespace pellaro {

// Ordinals are those of the component's published enumerations.
enum class TByteSize : std::uint8_t { _5 = 0, _6 = 1, _7 = 2, _8 = 3 };   // data bits = ordinal + 5
enum class TParity : std::uint8_t { None = 0, Odd = 1, Even = 2, Mark = 3, Space = 4 };
enum class TStopBits : std::uint8_t { _1 = 0, _1_5 = 1, _2 = 2 };   // 1.5 is sent as 2
enum class TDtrControl : std::uint8_t { DtrEnable = 0, DtrDisable = 1, DtrHandshake = 2 };
enum class TRtsControl : std::uint8_t { RtsEnable = 0, RtsDisable = 1, RtsHandshake = 2, RtsTransmissionAvailable = 3 };

// Line error flags passed to OnReceiveError (where the port driver counts them).
constexpr std::uint32_t kLineErrorOverrun = 0x0002;
constexpr std::uint32_t kLineErrorParity = 0x0004;
constexpr std::uint32_t kLineErrorFraming = 0x0008;
constexpr std::uint32_t kLineErrorBreak = 0x0010;
constexpr std::uint32_t kLineErrorBufferOverrun = 0x0001;
// Modem event bits passed to OnModemStateChange.
constexpr std::uint32_t kModemRing = 4;
constexpr std::uint32_t kModemCarrier = 8;

// Raised by OpenPort; what() is exactly one of the messages below.
class ECommsError : public std::runtime_error {
public:
    explicit ECommsError(const std::string& message) : std::runtime_error(message) {}
};

inline constexpr const char* kMsgAlreadyOpened = "This serial port already opened";
inline constexpr const char* kMsgErrorOpening = "Error opening serial port";
inline constexpr const char* kMsgNotCommHandle = "File handle is not a comm handle ";
inline constexpr const char* kMsgCannotSetupBuffer = "Cannot setup comm buffer";
inline constexpr const char* kMsgUnableCreateEvent = "Unable to create event";
inline constexpr const char* kMsgUnableCreateReadThread = "Unable to create read thread";
inline constexpr const char* kMsgUnableCreateWriteThread = "Unable to create write thread";

// How long a caller about to close waits for the last frame to leave: a
// closing word takes 2 ms at 19200 baud, a whole write request 30 ms.
inline constexpr int kSendDrainTimeoutMs = 500;

class TComm;
using TReceiveDataEvent = std::function<void(TComm* sender, const std::uint8_t* buffer, std::uint16_t length)>;
using TReceiveErrorEvent = std::function<void(TComm* sender, std::uint32_t eventMask)>;
using TModemStateChangeEvent = std::function<void(TComm* sender, std::uint32_t modemEvent)>;
using TNotifyEvent = std::function<void(TComm* sender)>;
using TSendDataEmptyEvent = std::function<void(TComm* sender)>;

class TComm {
public:
    TComm();
    ~TComm();   // closes the port (stops both threads) first
    TComm(const TComm&) = delete;
    TComm& operator=(const TComm&) = delete;

    // Opens CommName, applies all settings, starts both threads.
    // Throws ECommsError; a failed open leaves the component closed.
    void OpenPort();
    // Stops the receive thread, then the transmit thread, restores the saved
    // terminal settings and closes the port. Does nothing when closed.
    void ClosePort();
    bool isOpen() const;

    // Copies `count` bytes into the transmit queue and returns at once.
    // False when count is 0 or the port is closed.
    bool SendData(const void* buffer, std::uint16_t count);

    // For whoever closes the port right after sending (closing purges what
    // is still queued): waits, without busy waiting, until the transmit
    // queue has run empty and the driver has sent the last byte out of the
    // line, at most `timeoutMs` ms. True when everything left; false on
    // time-out or when the transmit thread met a port error. On time-out
    // what is still in the driver is discarded, as closing would. A closed
    // port has nothing waiting: true.
    bool waitUntilSent(int timeoutMs);

    // After a failed OpenPort: the reason in plain words ("permission
    // denied", "busy", "no such device", "not a terminal", ...); empty after
    // a successful open. lastOpenErrno() is the errno behind it (0 if none).
    std::string lastOpenErrorDetail() const;
    int lastOpenErrno() const;

    // Events, called on the main thread only when assigned.
    TReceiveDataEvent OnReceiveData;             // notice 1025
    TReceiveErrorEvent OnReceiveError;           // notice 1026
    TNotifyEvent OnRequestHangup;                // notice 1027
    TModemStateChangeEvent OnModemStateChange;   // notice 1028
    TSendDataEmptyEvent OnSendDataEmpty;         // notice 1029

    // Published properties (getter = property name, setter = set + name).
    // Setters store only a changed value; while open, the line properties
    // re-apply the line settings and the time-outs take effect at once.
    // CommName and Parity take effect at the next open.
    const std::string& CommName() const;   // default "COM2"
    void setCommName(const std::string& value);
    std::uint32_t BaudRate() const;   // 9600
    void setBaudRate(std::uint32_t value);
    bool ParityCheck() const;   // false
    void setParityCheck(bool value);
    bool Outx_CtsFlow() const;   // false
    void setOutx_CtsFlow(bool value);
    bool Outx_DsrFlow() const;   // false
    void setOutx_DsrFlow(bool value);
    TDtrControl DtrControl() const;   // DtrEnable
    void setDtrControl(TDtrControl value);
    bool DsrSensitivity() const;   // false
    void setDsrSensitivity(bool value);
    bool TxContinueOnXoff() const;   // true
    void setTxContinueOnXoff(bool value);
    bool Outx_XonXoffFlow() const;   // true
    void setOutx_XonXoffFlow(bool value);
    bool Inx_XonXoffFlow() const;   // true
    void setInx_XonXoffFlow(bool value);
    bool ReplaceWhenParityError() const;   // false
    void setReplaceWhenParityError(bool value);
    bool IgnoreNullChar() const;   // false
    void setIgnoreNullChar(bool value);
    TRtsControl RtsControl() const;   // RtsEnable
    void setRtsControl(TRtsControl value);
    std::uint16_t XonLimit() const;   // 500
    void setXonLimit(std::uint16_t value);
    std::uint16_t XoffLimit() const;   // 500
    void setXoffLimit(std::uint16_t value);
    TByteSize ByteSize() const;   // _8
    void setByteSize(TByteSize value);
    TParity Parity() const;   // None
    void setParity(TParity value);
    TStopBits StopBits() const;   // _1
    void setStopBits(TStopBits value);
    std::uint8_t XonChar() const;   // 0x11
    void setXonChar(std::uint8_t value);
    std::uint8_t XoffChar() const;   // 0x13
    void setXoffChar(std::uint8_t value);
    std::uint8_t ReplacedChar() const;   // 0x00
    void setReplacedChar(std::uint8_t value);
    std::uint32_t ReadIntervalTimeout() const;   // 100 ms
    void setReadIntervalTimeout(std::uint32_t value);
    std::uint32_t ReadTotalTimeoutMultiplier() const;   // 0
    void setReadTotalTimeoutMultiplier(std::uint32_t value);
    std::uint32_t ReadTotalTimeoutConstant() const;   // 0
    void setReadTotalTimeoutConstant(std::uint32_t value);
    std::uint32_t WriteTotalTimeoutMultiplier() const;   // 0
    void setWriteTotalTimeoutMultiplier(std::uint32_t value);
    std::uint32_t WriteTotalTimeoutConstant() const;   // 0
    void setWriteTotalTimeoutConstant(std::uint32_t value);

    // Fast transfers: while true, the receive thread hands each read over as
    // soon as it completes, instead of after ReadIntervalTimeout of silence.
    // False at construction; a change takes effect at once.
    bool ReceiveAtOnce() const;
    void setReceiveAtOnce(bool value);

    struct Impl;

private:
    std::unique_ptr<Impl> d_;
};

// The stored values of the main window's Comm1: CommName "COM1" (replaced by
// the chosen port before opening) and 19200 baud; everything else as the
// component's defaults (8N1, DTR and RTS on, XON/XOFF on). The main window
// switches both XON/XOFF properties off after the first open, so the port
// ends up without flow control and 0x11 / 0x13 pass unaltered; callers that
// are not the main window (the command-line tool) use setComm1Line instead.
void setComm1Values(TComm& comm);
// The line as the main window leaves Comm1 after its start-up: the stored
// values with both XON/XOFF properties off, for callers that open a port
// without the main window (command line, benchmark, tests).
void setComm1Line(TComm& comm);

}   // namespace pellaro
