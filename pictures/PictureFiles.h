#pragma once

// Every picture of the program is an SVG file of pictures.qrc; code asks for one by these
// names. LoadPictureFiles() makes them readable and must run before the first is opened.
namespace PictureFile {

inline constexpr char BallRed[] = ":/pictures/ball-red.svg";
inline constexpr char BallGreen[] = ":/pictures/ball-green.svg";
inline constexpr char BallGreenPerson[] = ":/pictures/ball-green-person.svg";
inline constexpr char BallGrey[] = ":/pictures/ball-grey.svg";
inline constexpr char BallGreenRed[] = ":/pictures/ball-green-red.svg";
inline constexpr char PersonListGrey[] = ":/pictures/person-list-grey.svg";
inline constexpr char PersonListRed[] = ":/pictures/person-list-red.svg";
inline constexpr char PersonListGreen[] = ":/pictures/person-list-green.svg";
inline constexpr char PersonListBlue[] = ":/pictures/person-list-blue.svg";
inline constexpr char PersonListCrossed[] = ":/pictures/person-list-crossed.svg";
inline constexpr char PersonStar[] = ":/pictures/person-star.svg";
inline constexpr char PersonNoEntry[] = ":/pictures/person-no-entry.svg";
inline constexpr char PersonForm[] = ":/pictures/person-form.svg";
inline constexpr char PersonArrow[] = ":/pictures/person-arrow.svg";
inline constexpr char PersonKey[] = ":/pictures/person-key.svg";
inline constexpr char PersonText[] = ":/pictures/person-text.svg";
inline constexpr char GroupOfPeople[] = ":/pictures/group-of-people.svg";
inline constexpr char ComputerArrow[] = ":/pictures/computer-arrow.svg";
inline constexpr char ComputerKey[] = ":/pictures/computer-key.svg";
inline constexpr char FormTick[] = ":/pictures/form-tick.svg";
inline constexpr char SheetBalls[] = ":/pictures/sheet-balls.svg";
inline constexpr char Folder[] = ":/pictures/folder.svg";
inline constexpr char Tick[] = ":/pictures/tick.svg";
inline constexpr char Cross[] = ":/pictures/cross.svg";
inline constexpr char Plus[] = ":/pictures/plus.svg";
inline constexpr char Hourglass[] = ":/pictures/hourglass.svg";
inline constexpr char RacingEmblem[] = ":/pictures/racing-emblem.svg";
inline constexpr char GameLogo[] = ":/pictures/game-logo.svg";
inline constexpr char Banner[] = ":/pictures/banner.svg";
inline constexpr char ProgramIcon[] = ":/pictures/program-icon.svg";

} // namespace PictureFile

void LoadPictureFiles();
