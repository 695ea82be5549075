// SPDX-License-Identifier: GPL-3.0-or-later
// Shared pieces of the main window tests: a seam that records every box and
// answers every dialog, and a pseudo-terminal that stands in for a free port.
#pragma once

#include <QString>
#include <QStringList>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include "ui/seam.h"

namespace pellaro::test {

class FakeSeam : public UiSeam {
public:
    QStringList messages;
    QStringList confirmations;
    QStringList dialogTitles;
    QStringList dialogFilters;
    bool answerYes = true;
    QString openAnswer;
    QString saveAnswer;

    void message(QWidget*, const QString& text) override { messages << text; }
    bool confirm(QWidget*, const QString& text) override
    {
        confirmations << text;
        return answerYes;
    }
    QString openFileName(QWidget*, const QString& title, const QString& filter) override
    {
        dialogTitles << title;
        dialogFilters << filter;
        return openAnswer;
    }
    QString saveFileName(QWidget*, const QString& title, const QString& filter) override
    {
        dialogTitles << title;
        dialogFilters << filter;
        return saveAnswer;
    }
};

// The master side of a pseudo-terminal, held open for the test; its slave
// device opens like a free serial port.
class PseudoTerminal {
public:
    PseudoTerminal()
    {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ >= 0 && ::grantpt(master_) == 0 && ::unlockpt(master_) == 0)
            path_ = QString::fromLocal8Bit(::ptsname(master_));
    }
    ~PseudoTerminal()
    {
        if (master_ >= 0)
            ::close(master_);
    }
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    const QString& path() const { return path_; }

private:
    int master_ = -1;
    QString path_;
};

}   // namespace pellaro::test
