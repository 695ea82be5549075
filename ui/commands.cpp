// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/commands.h"

#include <QAction>
#include <QMenu>

#include <utility>

namespace pellaro {

Commands::Commands(std::function<void()> endCellEdit, QObject* parent)
    : QObject(parent), endCellEdit_(std::move(endCellEdit))
{
}

QAction* Commands::make(QObject* owner, Command command)
{
    auto* action = new QAction(command.text, owner);
    action->setObjectName(QString::fromLatin1(command.name));
    if (!command.keys.isEmpty()) {
        action->setShortcuts(command.keys);
        action->setShortcutContext(Qt::WindowShortcut);
    }
    action->setCheckable(bool(command.checked));
    if (command.run)
        connect(action, &QAction::triggered, this, [this, uses = command.usesDocument, run = std::move(command.run)] {
            if (uses)
                endCellEdit_();
            run();
        });
    if (command.enabled || command.label || command.checked)
        rules_.push_back({action, std::move(command.enabled), std::move(command.label), std::move(command.checked)});
    return action;
}

QAction* Commands::add(QMenu* menu, Command command)
{
    QAction* action = make(menu, std::move(command));
    menu->addAction(action);
    return action;
}

QAction* Commands::addDivider(QMenu* menu, const char* name)
{
    QAction* action = menu->addAction(QStringLiteral("-------"));
    action->setObjectName(QString::fromLatin1(name));
    action->setEnabled(false);
    return action;
}

void Commands::update()
{
    for (const Rules& r : rules_) {
        if (!r.action)
            continue;
        if (r.enabled)
            r.action->setEnabled(r.enabled());
        if (r.label)
            r.action->setText(r.label());
        if (r.checked)
            r.action->setChecked(r.checked());
    }
}

}   // namespace pellaro
