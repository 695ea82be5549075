// SPDX-License-Identifier: GPL-3.0-or-later
// "Raw Memory" (Edit menu): a read-only look for experts at the fifteen raw
// mirror fields k1..k15, the hex text a write sends for every record that is
// not a channel. One row per mirror: its name, the memory range it holds as
// the range captions write it ("0X0300--0X030F"), its length in bytes and its
// bytes as hex grouped by byte. Nothing in the view can be edited and nothing
// in it commits; it only reads the document.
#pragma once

#include <QDialog>
#include <QString>

#include <string>

class QTableWidget;

namespace pellaro {

struct Document;

class RawMemoryView : public QDialog {
    Q_OBJECT
public:
    explicit RawMemoryView(const Document& doc, QWidget* parent = nullptr);

    // Shows the document's mirrors as they stand now.
    void refresh();

    QTableWidget* table() const { return table_; }
    // Selects the row of mirror n (1..15) and scrolls to it.
    void showMirror(int n);
    // As showMirror(), and marks `count` bytes of it from memory address
    // `address` (outside the mirror: none).
    void showBytes(int n, unsigned address, int count);
    // The marked bytes: mirror, first byte within it (0..), count; {0, 0, 0} for none.
    struct Marked {
        int mirror = 0;
        int first = 0;
        int count = 0;
        bool operator==(const Marked&) const = default;
    };
    const Marked& marked() const { return marked_; }

    // The memory range of mirror n (1..15) as the range captions write it;
    // k11 runs one byte past its caption's range, to the mode byte at 0x02F0.
    static QString rangeText(int n);
    // "000FFF" -> "00 0F FF"; a stray last character stands on its own.
    static QString groupedHex(const std::string& hex);

protected:
    void showEvent(QShowEvent* event) override;
    // A commit on a settings page happens while another window is active, so
    // the view reads the document again whenever it becomes active.
    void changeEvent(QEvent* event) override;

private:
    const Document& doc_;
    QTableWidget* table_ = nullptr;
    Marked marked_;
};

}   // namespace pellaro
