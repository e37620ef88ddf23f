#include "MainCommands.h"

#include <QAbstractButton>
#include <QAction>
#include <QKeySequence>
#include <QToolButton>
#include <QWidget>

namespace {

// The tooltip is set even where it equals the text: Qt's default one drops the "..." that
// the buttons' hints keep.
QAction* command(QObject* parent, const QString& text, const QString& caption = {}) {
    auto* action = new QAction(text, parent);
    action->setToolTip(caption.isEmpty() ? text : caption);
    return action;
}

QAction* withShortcut(QAction* action, const QKeySequence& keys) {
    action->setShortcut(keys);
    action->setShortcutContext(Qt::WindowShortcut);
    return action;
}

} // namespace

MainCommands::MainCommands(QWidget* window)
    : QObject(window),
      refresh(withShortcut(command(this, QStringLiteral("Refresh now")), Qt::Key_F5)),
      quit(withShortcut(command(this, QStringLiteral("Quit")), QKeySequence(Qt::CTRL | Qt::Key_Q))),
      join(command(this, QStringLiteral("Join"), QStringLiteral("Join mate"))),
      joinWithPassword(command(this, QStringLiteral("Join with password..."),
                               QStringLiteral("Join mate with server password"))),
      joinHostByName(command(this, QStringLiteral("Join host by name..."))),
      joinMate(command(this, QStringLiteral("Join mate"))),
      joinMateWithPassword(command(this, QStringLiteral("Join mate with server password..."))),
      addGroup(command(this, QStringLiteral("Create group..."))),
      deleteGroup(command(this, QStringLiteral("Delete group"))),
      addMate(command(this, QStringLiteral("Add mate..."))),
      deleteMate(command(this, QStringLiteral("Delete mate"))),
      editMate(command(this, QStringLiteral("Edit mate..."))),
      onOffline(command(this, QStringLiteral("Switch between online and on/offline mates"))),
      settings(command(this, QStringLiteral("Settings..."))),
      startGame(command(this, QStringLiteral("Start LFS"))),
      legends(command(this, QStringLiteral("Show legends"))),
      undo(withShortcut(command(this, QStringLiteral("Undo")), QKeySequence::Undo)),
      find(withShortcut(command(this, QStringLiteral("Filter the server list")),
                        QKeySequence::Find)) {
    undo->setEnabled(false);       // nothing changed yet
    onOffline->setCheckable(true); // checked: the tree shows all mates
    for (QAction* action : all()) {
        if (!action->shortcut().isEmpty())
            window->addAction(action);
    }
}

QList<QAction*> MainCommands::all() const {
    return {refresh,  quit,
            join,     joinWithPassword,
            joinMate, joinMateWithPassword,
            addGroup, deleteGroup,
            addMate,  deleteMate,
            editMate, onOffline,
            settings, startGame,
            legends,  undo,
            find,     joinHostByName};
}

void MainCommands::drive(QAbstractButton* button, QAction* action) {
    if (qobject_cast<QToolButton*>(button)) {
        button->setToolTip(action->toolTip());
        button->setAccessibleName(action->toolTip());
    } else {
        button->setText(action->text());
    }
    button->setEnabled(action->isEnabled());
    connect(action, &QAction::enabledChanged, button, &QWidget::setEnabled);
    connect(button, &QAbstractButton::clicked, action, &QAction::trigger);
}
