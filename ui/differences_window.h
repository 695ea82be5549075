// SPDX-License-Identifier: GPL-3.0-or-later
// The list of differences between the open codeplug and another one (a ".bc"
// file, or what the radio holds), shared by "Compare with File…" and
// "Compare with Radio…": one non-modal window, reused, titled with what was
// compared. Each line is one difference as the tables and pages name it;
// activating a line (double-click, Enter) asks to show where it is. Refresh
// compares again. The window only reads; nothing in it commits.
#pragma once

#include <QDialog>
#include <QPoint>
#include <QRect>
#include <QString>

#include <functional>
#include <vector>

#include "codeplug/compare.h"

class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace pellaro {

// The outcome of one comparison: the differences, or why there are none to show.
struct Comparison {
    std::vector<Difference> differences;
    QString error;   // non-empty: the other codeplug could not be had
};

// What the window compares the open codeplug with.
struct ComparisonSource {
    QString title;   // the window's title: "Compare with File: plan.bc"
    QString other;   // the other side, for the heading: "/home/me/plan.bc"
    std::function<Comparison()> compare;
};

class DifferencesWindow : public QDialog {
    Q_OBJECT
public:
    explicit DifferencesWindow(QWidget* parent);

    // Shows `outcome` of `source` (compared already) and brings the window up.
    void showComparison(ComparisonSource source, Comparison outcome);
    // Compares again with the same source.
    void refresh();

    // Where a window of `size` goes so that it hides as little as possible
    // of `main` on `screen`: beside it on the right, else on the left, else
    // below, else above; where none fits, the place that overlaps it least.
    static QPoint placeBeside(const QRect& main, const QSize& size, const QRect& screen);

    const std::vector<Difference>& differences() const { return differences_; }
    QListWidget* list() const { return list_; }
    QLabel* heading() const { return heading_; }
    QPushButton* refreshButton() const { return refresh_; }

signals:
    // The user activated the line of `difference`.
    void activated(const Difference& difference);

private:
    void display(const Comparison& outcome);
    void activate(QListWidgetItem* item);

    ComparisonSource source_;
    std::vector<Difference> differences_;
    QLabel* heading_ = nullptr;
    QListWidget* list_ = nullptr;
    QPushButton* refresh_ = nullptr;
};

}   // namespace pellaro
