// SPDX-License-Identifier: GPL-3.0-or-later
// A seam that records every box and answers file dialogs from a queue, so
// the windows' flows run headless.
#pragma once

#include <QStringList>

#include "ui/seam.h"

namespace pellaro::test {

class QueuedSeam : public UiSeam {
public:
    QStringList messages;
    QStringList openAnswers;   // taken in order; empty answer = cancelled
    QStringList openTitles;
    QStringList openFilters;

    void message(QWidget*, const QString& text) override { messages << text; }
    bool confirm(QWidget*, const QString& text) override
    {
        messages << text;
        return true;
    }
    QString openFileName(QWidget*, const QString& title, const QString& filter) override
    {
        openTitles << title;
        openFilters << filter;
        return openAnswers.isEmpty() ? QString() : openAnswers.takeFirst();
    }
    QString saveFileName(QWidget*, const QString&, const QString&) override { return {}; }
};

}   // namespace pellaro::test
