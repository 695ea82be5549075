// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/document_history.h"

#include <QUndoCommand>

#include <utility>

namespace pellaro {

namespace {

// Enough steps for a long editing session; each one keeps one document.
constexpr int kUndoLimit = 200;
// Every step may be asked to join the top one; the history says whether it may.
constexpr int kStepId = 1;

}   // namespace

// One user action: the document before and after it.
class SnapshotStep : public QUndoCommand {
public:
    SnapshotStep(DocumentHistory& history, const QString& name, const StepPlace& place,
                 DocumentHistory::Snapshot before, DocumentHistory::Snapshot after)
        : QUndoCommand(name), history_(history), place_(place), before_(std::move(before)), after_(std::move(after))
    {
    }

    int id() const override { return kStepId; }

    bool mergeWith(const QUndoCommand* other) override
    {
        const auto* next = static_cast<const SnapshotStep*>(other);
        if (!history_.joining_ || next->text() != text())
            return false;
        after_ = next->after_;
        // Typing that ends where it began is no step at all.
        if (*before_ == *after_) {
            setObsolete(true);
            history_.typing_.clear();
        }
        return true;
    }

    void undo() override
    {
        history_.restore(before_);
        emit history_.placeShown(place_);
    }

    void redo() override
    {
        // Pushing a step runs redo(); the document is in that state already.
        if (pushed_) {
            pushed_ = false;
            return;
        }
        history_.restore(after_);
        emit history_.placeShown(place_);
    }

private:
    DocumentHistory& history_;
    StepPlace place_;
    DocumentHistory::Snapshot before_;
    DocumentHistory::Snapshot after_;
    bool pushed_ = true;
};

DocumentHistory::DocumentHistory(Document& doc, QObject* parent)
    : QObject(parent), doc_(doc), current_(std::make_shared<const Document>(doc))
{
    stack_.setUndoLimit(kUndoLimit);
}

void DocumentHistory::commit(const QString& step, const StepPlace& place)
{
    record(step, place, Join::Closing);
}

void DocumentHistory::typed(const QString& step, const StepPlace& place)
{
    record(step, place, Join::Typing);
}

bool DocumentHistory::perform(const std::function<QString(Document&)>& operation,
                              const std::function<StepPlace()>& place)
{
    const QString name = operation(doc_);
    if (*current_ == doc_)
        return false;
    record(name, place ? place() : StepPlace{}, Join::No);
    emit documentSet();
    return true;
}

void DocumentHistory::reset()
{
    stack_.clear();
    typing_.clear();
    current_ = std::make_shared<const Document>(doc_);
}

void DocumentHistory::record(const QString& step, const StepPlace& place, Join join)
{
    if (*current_ == doc_) {
        // Nothing changed: no step, but leaving the editor still ends its typing.
        if (join == Join::Closing && typing_ == step)
            typing_.clear();
        return;
    }
    const bool joins = join != Join::No && !typing_.isEmpty() && typing_ == step;
    typing_ = join == Join::Typing ? step : QString();
    Snapshot after = std::make_shared<const Document>(doc_);
    Snapshot before = std::exchange(current_, after);
    joining_ = joins;
    stack_.push(new SnapshotStep(*this, step, place, std::move(before), std::move(after)));
    joining_ = false;
}

void DocumentHistory::restore(const Snapshot& snapshot)
{
    typing_.clear();
    doc_ = *snapshot;
    current_ = snapshot;
    emit documentSet();
}

}   // namespace pellaro
