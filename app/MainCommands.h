#pragma once

#include <QList>
#include <QObject>

class QAbstractButton;
class QAction;
class QWidget;

// The main window's commands. Each is one QAction, shared by its button, its menu items,
// the tray's menu and its shortcut, so that a command has one text, one shortcut and one
// enabled state wherever it is offered. What each one does the window connects.
//
// An action's text is what menus show; its tooltip is its button's caption, which for
// the join buttons below the server list differs from the row menu's words.
class MainCommands : public QObject {
    Q_OBJECT
public:
    // The actions with a shortcut are added to the window, so their keys work anywhere in
    // it while it is the active window.
    explicit MainCommands(QWidget* window);

    // The button runs the action and is enabled while it is. A picture-only tool button
    // takes the action's tooltip as its hint and accessible name; any other button shows
    // the action's text.
    static void drive(QAbstractButton* button, QAction* action);

    QAction* const refresh;          // F5
    QAction* const quit;             // Ctrl+Q
    QAction* const join;             // the host selected in the server list
    QAction* const joinWithPassword; // that host, asking for its password
    QAction* const joinHostByName;   // a host the user names, listed or not
    QAction* const joinMate;         // the host of the chosen mate
    QAction* const joinMateWithPassword;
    QAction* const addGroup;
    QAction* const deleteGroup;
    QAction* const addMate;
    QAction* const deleteMate;
    QAction* const editMate;
    QAction* const onOffline; // checked: all mates in the tree; not checked: online only
    QAction* const settings;
    QAction* const startGame;
    QAction* const legends;
    QAction* const undo; // Ctrl+Z; enabled while a roster change can be undone
    QAction* const find; // Ctrl+F, to the server list's filter field

    QList<QAction*> all() const;
};
