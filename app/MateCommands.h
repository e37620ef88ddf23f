#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>

class Desktop;
class Launcher;
class MateTree;
class QuillonPubStats;
class QWidget;
class RosterCommands;
class SightingsSource;
class TfAddEditMate;

// What the buttons, menus and keys do with the node the user chose in the mate tree:
// the roster's commands, the double click, undo and "Join mate". A
// command whose node was lost in a rebuild beeps and does nothing.
class MateCommands : public QObject {
    Q_OBJECT
public:
    struct Parts {
        MateTree* tree = nullptr;
        RosterCommands* roster = nullptr;
        Launcher* launcher = nullptr;
        QuillonPubStats* stats = nullptr;
        const SightingsSource* sightings = nullptr;
        Desktop* desktop = nullptr;
        QWidget* window = nullptr; // the dialogs' parent
    };

    MateCommands(Parts parts, QObject* parent = nullptr);
    ~MateCommands() override;

    void bAddGroupClick();
    void bDelGroupClick();
    void bAddMateClick();
    void bDelMateClick();
    void bEditMateClick();
    void tvMatesDblClick(); // the double click on the tree
    void joinMate(bool alwaysAskPassword);
    // Joins a mate's host as "Join mate" does (the tray's list); nothing for none.
    void joinMateHost(const QByteArray& host);
    void undo();
    // "Add mate" / "Edit mate", made when first opened: most runs open it seldom, if ever.
    TfAddEditMate* addEditMateDialog();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    template <typename Body> void guarded(Body&& body);
    bool chosenNodeGone();
    QByteArray chosenMateHost() const;

    Parts m_parts;
    QPointer<TfAddEditMate> m_addEditMate;
};
