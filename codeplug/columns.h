// SPDX-License-Identifier: GPL-3.0-or-later
// The columns of the channel tables, one row each: the heading and width the
// tables show, the editor a cell takes, the channel side it belongs to, the
// list it offers, where it lies in the channel record and what a new
// frequency writes into it. The tables, the cell rules, the record codec,
// the comparison, the channel files and the command line read them here.
#pragma once

#include <array>
#include <cstddef>

#include "codeplug/memory_layout.h"

namespace pellaro {

enum class Column : int {
    Number,   // the channel number; not data of the record
    RxFrequency,
    RxTone,
    RxMode,
    TxFrequency,
    TxTone,
    Launch,
    End,
    Power,
    Bandwidth,
    Compandor,
    Scrambler,
    Name,
};

constexpr int kColumns = static_cast<int>(Column::Name) + 1;
constexpr int kNumberColumn = static_cast<int>(Column::Number);
constexpr int kFirstCellColumn = kNumberColumn + 1;   // columns kFirstCellColumn..kColumns-1 hold cells

constexpr int colOf(Column c) { return static_cast<int>(c); }

enum class CellEditor { None, Frequency, List, Name };
// The side of the channel a cell belongs to: the cell is offered only while
// that side's frequency is set, and emptying the frequency empties it.
enum class CellSide { None, Receive, Transmit };
enum class CellList { None, Tones, Mode, Signals, LowHigh, NarrowWide, OffOn };
// How the cell's field is written in the record.
enum class RecordCode {
    None,
    Frequency,   // 8 characters, BCD of 10 Hz units
    Tone,        // 4 characters, CTCSS / DCS code
    ListIndex,   // 2 characters, the entry's place in the column's list; FF none
    Flag,        // one bit of the flags byte: set is the list's second entry
    Name,        // 16 characters, 7 name characters and a pad
};

struct ColumnInfo {
    Column column;
    const char* heading;
    int width;   // pixels in the tables
    CellEditor editor;
    CellSide side;
    CellList list;
    RecordCode code;
    int at, length;        // record characters (hex) of the field, from 0
    unsigned flagBit;      // the bit of the flags byte; 0 for a field of its own
    const char* newText;   // what a new frequency writes here; nullptr: nothing
};

constexpr std::array<ColumnInfo, kColumns> kColumnTable = {{
    {Column::Number, "Channel", 55, CellEditor::None, CellSide::None, CellList::None, RecordCode::None, 0, 0, 0,
     nullptr},
    {Column::RxFrequency, "Receiving Frequency", 75, CellEditor::Frequency, CellSide::Receive, CellList::None,
     RecordCode::Frequency, 0, 8, 0, nullptr},
    {Column::RxTone, "Receiving CTCSS", 80, CellEditor::List, CellSide::Receive, CellList::Tones, RecordCode::Tone, 8,
     4, 0, "0FF"},
    {Column::RxMode, "Receiving Mode", 130, CellEditor::List, CellSide::Receive, CellList::Mode, RecordCode::ListIndex,
     12, 2, 0, "OFF"},
    {Column::TxFrequency, "Transmission Frequency", 95, CellEditor::Frequency, CellSide::Transmit, CellList::None,
     RecordCode::Frequency, 14, 8, 0, nullptr},
    {Column::TxTone, "Transmission CTCSS", 90, CellEditor::List, CellSide::Transmit, CellList::Tones, RecordCode::Tone,
     22, 4, 0, "0FF"},
    {Column::Launch, "Launch Signaling", 130, CellEditor::List, CellSide::Transmit, CellList::Signals,
     RecordCode::ListIndex, 26, 2, 0, "OFF"},
    {Column::End, "Transmit end Signaling", 130, CellEditor::List, CellSide::Transmit, CellList::Signals,
     RecordCode::ListIndex, 28, 2, 0, "OFF"},
    {Column::Power, "Power", 60, CellEditor::List, CellSide::Receive, CellList::LowHigh, RecordCode::Flag, 30, 2, 0x80,
     "High"},
    {Column::Bandwidth, "Wide / Narrow", 75, CellEditor::List, CellSide::Receive, CellList::NarrowWide,
     RecordCode::Flag, 30, 2, 0x40, "Wide"},
    {Column::Compandor, "Compandor", 75, CellEditor::List, CellSide::Receive, CellList::OffOn, RecordCode::Flag, 30, 2,
     0x20, "OFF"},
    {Column::Scrambler, "Scrambler", 75, CellEditor::List, CellSide::Receive, CellList::OffOn, RecordCode::Flag, 30, 2,
     0x10, "OFF"},
    {Column::Name, "Channel Name", 80, CellEditor::Name, CellSide::Receive, CellList::None, RecordCode::Name, 32, 16, 0,
     nullptr},
}};

// The row of column `c` (0..kColumns-1).
constexpr const ColumnInfo& columnInfo(int c) { return kColumnTable[static_cast<std::size_t>(c)]; }
constexpr const ColumnInfo& columnInfo(Column c) { return columnInfo(colOf(c)); }

constexpr bool isCellColumn(int c) { return c >= kFirstCellColumn && c < kColumns; }
constexpr CellEditor columnEditor(int c) { return isCellColumn(c) ? columnInfo(c).editor : CellEditor::None; }
constexpr CellSide columnSide(int c) { return isCellColumn(c) ? columnInfo(c).side : CellSide::None; }
// The frequency column of the side of column `c`.
constexpr int sideFrequencyColumn(CellSide side) {
    return side == CellSide::Transmit ? colOf(Column::TxFrequency) : colOf(Column::RxFrequency);
}

}   // namespace pellaro
