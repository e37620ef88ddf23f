#pragma once

#include <QIcon>
#include <QImage>
#include <QList>
#include <QPixmap>

// Every picture of the program, each an SVG file of its own (pictures/), drawn by Qt's SVG
// icon engine for the size and ratio asked. All 16x16 pictures have a transparent background.
namespace Pictures {

// ilServerStatus: 0 red ball, 1 green ball, 2 green ball with a person, 3 grey ball.
QList<QIcon> ServerStatusImages();
// ilMateStatus: 0 person with a grey list, 1 person with a red list, 2 person with a
// green list, 3 red ball, 4 green ball with a person, 5 grey ball.
QList<QIcon> MateStatusImages();

enum class Glyph {
    AddGroup,     // person with a list
    DelGroup,     // person with a crossed-out list
    AddMate,      // person with a star
    DelMate,      // person with a red no-entry sign
    EditMate,     // person with a form
    Settings,     // a form with a tick
    StartLFS,     // the game's emblem
    OnOffline,    // ball half green, half red
    OnOfflineOff, // grey ball (shown while the button is disabled)
    JoinMate,     // person with a green arrow
    JoinPW,       // person with a key
    JoinSvr,      // computer with a green arrow
    JoinSvrPW,    // computer with a key
    Legends,      // for "Show legends"
    Browse,       // folder, for the Settings dialog's Browse button
    Ok,           // tick
    Close,        // cross
    Add,          // plus, for the Add/Edit Mate dialog's Add/Apply
    SlotWatch,    // hourglass, on the status picture of a host a slot watch waits on
};
QPixmap GlyphPixmap(Glyph glyph); // 16x16
QIcon GlyphIcon(Glyph glyph);     // with the disabled picture where one exists

QPixmap GameLogo();       // 88x31
QPixmap Banner();         // 328x42, the maker's banner
QPixmap GroupOfPeople();  // 32x32, Add/Edit Mate dialog
QPixmap PersonWithText(); // 32x32, Add/Edit Mate dialog

// The program's own icon: the window, the tray and the installed icon show the same.
QIcon AppIcon();
QList<int> AppIconSizes(); // the sizes the desktop's icon theme gets as PNG
QImage AppIconImage(int size);

} // namespace Pictures
