// SPDX-License-Identifier: GPL-3.0-or-later
// Test doubles and small helpers shared by the settings page tests: the
// window tests' seam, a fake radio link that answers the partial
// transfers, and ways to act on editors as a user would.
#pragma once

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QStringList>
#include <QTest>
#include <QWidget>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "clone/engine.h"
#include "clone/link.h"
#include "codeplug/codes.h"
#include "tests/ui/ui_test_support.h"
#include "ui/seam.h"
#include "ui/transfer_host.h"

namespace pellaro::testing {

// The window tests' seam: records every box, confirms, and cancels file dialogs.
using FakeSeam = pellaro::test::FakeSeam;

// Answers every "READ" or "WRIE" frame with a scripted reply (hex text) that
// arrives during the next port delay; every frame sent is kept as hex text.
class FakeLink : public CloneLink {
public:
    std::string readReply;           // answer to a read request
    std::string writeReply = "06";   // answer to a write request
    std::vector<std::string> sent;

    bool sendBytes(const std::vector<std::uint8_t>& bytes) override
    {
        const std::string hex = toHex(bytes);
        sent.push_back(hex);
        if (hex.rfind("52454144", 0) == 0)
            pending_ = readReply;
        else if (hex.rfind("57524945", 0) == 0)
            pending_ = writeReply;
        return true;
    }
    void portDelay(int) override
    {
        buffer_ += pending_;
        pending_.clear();
    }
    const std::string& receiveBuffer() const override { return buffer_; }
    void clearReceiveBuffer() override { buffer_.clear(); }
    std::int64_t clockMs() override { return now_ += 20; }
    void waitForBytes(int ms) override { portDelay(ms); }
    void setReceiveAtOnce(bool) override {}

private:
    std::int64_t now_ = 0;
    std::string pending_;
    std::string buffer_;
};

class FakeHost : public TransferHost {
public:
    bool ready = true;
    FakeLink link;
    CloneEngine cloneEngine{link};
    FakeSeam fakeSeam;

    bool portReady() const override { return ready; }
    CloneEngine& engine() override { return cloneEngine; }
    UiSeam& seam() override { return fakeSeam; }
};

// Characters first..last (counted from 1, as the record tables count them).
inline std::string chars(const std::string& mirror, int first, int last)
{
    return mirror.substr(static_cast<std::size_t>(first - 1), static_cast<std::size_t>(last - first + 1));
}

// Picks an entry as a user's click in the open list does: the list shows it
// and reports it as activated.
inline void pick(QWidget* page, const char* listName, const QString& entry)
{
    auto* list = page->findChild<QComboBox*>(QString::fromLatin1(listName));
    QVERIFY2(list, listName);
    const int index = list->findText(entry);
    QVERIFY2(index >= 0, qPrintable(entry));
    list->setCurrentIndex(index);
    emit list->activated(index);
}

template <typename W>
W* child(QWidget* page, const char* name)
{
    auto* w = page->findChild<W*>(QString::fromLatin1(name));
    if (!w)
        qFatal("no control %s", name);
    return w;
}

// Shows a page in an active top-level window so that focus and pointer events
// reach its editors.
inline bool showActive(QWidget* page)
{
    page->resize(900, 600);
    page->show();
    QApplication::setActiveWindow(page);
    return QTest::qWaitForWindowActive(page);
}

// Gives an editor the focus as a click into it would.
inline void enter(QLineEdit* editor)
{
    editor->setFocus(Qt::MouseFocusReason);
    QApplication::processEvents();
}

// Moves the pointer over a widget (two positions, so it is a movement).
inline void hover(QWidget* w)
{
    QTest::mouseMove(w, QPoint(4, 4));
    QTest::mouseMove(w, QPoint(8, 5));
}

}   // namespace pellaro::testing
