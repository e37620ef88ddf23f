// The main window's arrangement: regions, controls, fonts, image lists and timers.
#include "ColumnMemory.h"
#include "MainLook.h"
#include "TickerLabel.h"
#include "Widgets.h"
#include "WindowMinimum.h"
#include "uMain.h"

#include <QAccessibleWidget>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

using namespace MainLook;
using Pictures::Glyph;

// The right column's width at which its right-anchored controls were placed.
constexpr int RightDesignWidth = 202;
constexpr int HeaderHeight = 115;

// The ticker band starts left of the header and reaches past its right edge.
constexpr int BandLeft = -6;
constexpr int BandExtraWidth = 10;

// Right-anchored header labels: wide, right-aligned boxes whose right edge stays put
// whatever text they get later.
constexpr int VersionRight = 326;
constexpr int VersionBoxWidth = 100;
constexpr int CopyrightRight = 664;
constexpr int CopyrightBoxWidth = 325;

// Narrower than this, the right-anchored tool-bar buttons would run into the left ones.
constexpr int RightMinimumWidth = 136;

const QColor SplitterColour(166, 202, 240);
const QColor TickerBandColour(166, 210, 255);

} // namespace

void TfMain::CreateControls() {
    static const bool accessibleAsWindow = [] {
        QAccessible::installFactory(mainWindowAccessible);
        return true;
    }();
    Q_UNUSED(accessibleAsWindow);
    setWindowTitle(QStringLiteral("Pelmark II"));
    setFont(fontOf(QStringLiteral("MS Sans Serif"), 11));
    setBackgroundRole(QPalette::Button);
    setAutoFillBackground(true);

    ilServerStatus = Pictures::ServerStatusImages();
    ilMateStatus = Pictures::MateStatusImages();

    auto* spColour = new ColouredSplitter(Qt::Horizontal, SplitterColour, this);
    spLeft = spColour;
    spLeft->setHandleWidth(4);
    spLeft->setChildrenCollapsible(false);
    columnLayout(this)->addWidget(spLeft);

    // ---- main area ----
    pClient = new QWidget(spLeft);
    QVBoxLayout* clientColumn = columnLayout(pClient);

    pMainTop = fixedHeightPanel(pClient, HeaderHeight);
    pMainTop->resize(ClientDesignWidth, HeaderHeight);
    pMainTop->setFont(verdana(16));
    sHighlights =
        shape(pMainTop, TickerBandColour, BandLeft, 76, ClientDesignWidth + BandExtraWidth, 26);
    Image1 = pictureLabel(pMainTop, Pictures::GameLogo(), 2, 2);
    Label1 =
        placedLabel(pMainTop, QStringLiteral("Pelmark II, for LFS S2"), verdana(16, true), 96, 7);
    Label2 =
        placedLabel(pMainTop, QStringLiteral("online racer status"), verdana(11, true), 97, 26);
    Shape1 = shape(pMainTop, Qt::red, 27, 29, 19, 9);
    Shape2 = shape(pMainTop, Qt::green, 51, 29, 19, 9);
    Shape4 = shape(pMainTop, Qt::red, 75, 29, 19, 9);
    lVersion = rightEdgeLabel(pMainTop, QStringLiteral("lVersion"), verdana(9), VersionRight, 27,
                              VersionBoxWidth);
    lCopyright = rightEdgeLabel(pMainTop, QStringLiteral("lCopyright"), verdana(11), CopyrightRight,
                                6, CopyrightBoxWidth);
    Image2 = pictureLabel(pMainTop, Pictures::Banner(), 339, 24);
    Image2->setCursor(Qt::PointingHandCursor);
    Image2->setToolTip(QStringLiteral("Visit the Pelmark II home page"));
    Image2->setAccessibleName(Image2->toolTip());
    new KeyActivation(Image2, [this] { Image2Click(); });
    Label3 = placedLabel(pMainTop, QStringLiteral("LFS Highlight-Ticker:"), verdana(13), 6, 56);
    lCountry = placedLabel(pMainTop, QStringLiteral("lCountry"), verdana(11), 148, 58);
    // Country names can be long; the label reaches to the header's edge (pMainTopResize)
    // and lets clicks through to the banner beneath it.
    lCountry->setAttribute(Qt::WA_TransparentForMouseEvents);
    lHighlights =
        new TickerLabel(QStringLiteral("lHighlights"), TickerBandColour, verdana(11), pMainTop);
    lHighlights->setGeometry(0, 82, 58, 13);
    sHighlights->lower();
    auto* headerAnchors = new RightAnchors(pMainTop, ClientDesignWidth);
    headerAnchors->add(lCopyright);
    headerAnchors->add(Image2, RightAnchors::Narrower::StayPut);
    pMainTop->installEventFilter(this);
    clientColumn->addWidget(pMainTop);

    Label4 = plainLabel(pClient, QStringLiteral("Server list:"));
    Label4->setFixedHeight(13);
    clientColumn->addWidget(Label4);

    lvServer = new ServerListView(pClient);
    lvServer->setImages(ilServerStatus);
    setUpServerList(lvServer);
    m_columns = new ColumnMemory(lvServer->header(), ClientDesignWidth, config, m_desktop, this);
    lvServer->setAccessibleName(QStringLiteral("Server list"));
    clientColumn->addWidget(lvServer, 1);

    pClientBottom = fixedHeightPanel(pClient, 110);
    pClientBottom->resize(ClientDesignWidth, 110);
    auto* pStatusFrame = new QFrame(pClientBottom);
    pStatus = pStatusFrame;
    pStatusFrame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    pStatusFrame->setLineWidth(1);
    pStatusFrame->setFixedHeight(20);
    QVBoxLayout* statusColumn = columnLayout(pStatus);
    Panel2 = fixedHeightPanel(pStatus, 2);
    statusColumn->addWidget(Panel2);
    auto* statusRow = new QHBoxLayout;
    statusRow->setContentsMargins(0, 0, 0, 0);
    statusRow->setSpacing(0);
    statusColumn->addLayout(statusRow, 1);
    lSvrCount = plainLabel(pStatus, QStringLiteral("lSvrCount"));
    lOccupied = plainLabel(pStatus, QStringLiteral("lOccupied"));
    lSvrMates = plainLabel(pStatus, QStringLiteral("lSvrMates"));
    lPlayersOnline = plainLabel(pStatus, QStringLiteral("lPlayersOnline"));
    statusRow->addSpacing(5);
    statusRow->addWidget(lSvrCount);
    for (QLabel* counter : {lOccupied, lSvrMates, lPlayersOnline}) {
        statusRow->addSpacing(5);
        statusRow->addWidget(statusSeparator(pStatus));
        if (counter == lPlayersOnline) // two bevels stand before the players' count
            statusRow->addWidget(statusSeparator(pStatus));
        statusRow->addSpacing(5);
        statusRow->addWidget(counter);
    }
    statusRow->addStretch(1);
    QVBoxLayout* bottomColumn = columnLayout(pClientBottom);
    bottomColumn->addWidget(pStatus);
    bottomColumn->addStretch(1);
    bJoinSvr =
        pictureButton(pClientBottom, Glyph::JoinSvr, 6, 25,
                      QStringLiteral("Starts the game on the host selected in the server list"));
    bJoinSvrPW = pictureButton(pClientBottom, Glyph::JoinSvrPW, 36, 25,
                               QStringLiteral("Asks for the host's password, then starts the game "
                                              "on the host selected in the server list"));
    auto* bottomAnchors = new RightAnchors(pClientBottom, ClientDesignWidth);
    bottomAnchors->add(bJoinSvr, RightAnchors::Narrower::StayPut);
    bottomAnchors->add(bJoinSvrPW, RightAnchors::Narrower::StayPut);
    bLegends = new QPushButton(Pictures::GlyphIcon(Glyph::Legends), QString(), pClientBottom);
    bLegends->setIconSize(QSize(16, 16));
    bLegends->setGeometry(6, 72, 97, 25);
    clientColumn->addWidget(pClientBottom);

    // ---- right column ----
    pRight = new QWidget(spLeft);
    pRight->setMinimumWidth(RightMinimumWidth);
    QVBoxLayout* rightColumn = columnLayout(pRight);

    pRightTop = fixedHeightPanel(pRight, HeaderHeight);
    pRightTop->resize(RightDesignWidth, HeaderHeight);
    bAddGroup = pictureButton(pRightTop, Glyph::AddGroup, 12, 12,
                              QStringLiteral("Asks for the name of a new group of mates"));
    bDelGroup = pictureButton(pRightTop, Glyph::DelGroup, 42, 12,
                              QStringLiteral("Deletes the chosen group with all its mates"));
    bAddMate =
        pictureButton(pRightTop, Glyph::AddMate, 12, 42, QStringLiteral("Adds a mate to a group"));
    bDelMate = pictureButton(pRightTop, Glyph::DelMate, 42, 42,
                             QStringLiteral("Deletes the chosen mate from its group"));
    bEditMate = pictureButton(pRightTop, Glyph::EditMate, 72, 42,
                              QStringLiteral("Changes the chosen mate's name, nick, team or "
                                             "home page"));
    bSettings = pictureButton(pRightTop, Glyph::Settings, 168, 12,
                              QStringLiteral("Game path, refresh interval and ticker country"));
    bStartLFS = pictureButton(pRightTop, Glyph::StartLFS, 168, 42,
                              QStringLiteral("Starts the game without joining a host"));
    bOnOffline = pictureButton(pRightTop, Glyph::OnOffline, 12, 93,
                               QStringLiteral("Shows only the mates who race now, or all mates"));
    bJoinMate = pictureButton(pRightTop, Glyph::JoinMate, 138, 93,
                              QStringLiteral("Starts the game on the host of the chosen mate"));
    bJoinPW = pictureButton(pRightTop, Glyph::JoinPW, 168, 93,
                            QStringLiteral("Asks for the host's password, then starts the game "
                                           "on the host of the chosen mate"));
    auto* toolAnchors = new RightAnchors(pRightTop, RightDesignWidth);
    for (QWidget* button : {bSettings, bStartLFS, bJoinMate, bJoinPW})
        toolAnchors->add(button);
    rightColumn->addWidget(pRightTop);

    tvMates = new FocusTreeView(pRight);
    setUpMateTree(tvMates);
    tvMates->setAccessibleName(QStringLiteral("Mates"));
    rightColumn->addWidget(tvMates, 1);

    pRightBottom = fixedHeightPanel(pRight, 15);
    auto* mateInfoRow = new QHBoxLayout(pRightBottom);
    mateInfoRow->setContentsMargins(0, 0, 0, 0);
    mateInfoRow->setSpacing(0);
    Panel1 = new QWidget(pRightBottom);
    Panel1->setFixedWidth(2);
    mateInfoRow->addWidget(Panel1);
    lMateInfo = plainLabel(pRightBottom, QStringLiteral("Ready"));
    mateInfoRow->addWidget(lMateInfo, 1);
    rightColumn->addWidget(pRightBottom);

    // The right column keeps its width; the main area takes what the window gains.
    spLeft->addWidget(pClient);
    spLeft->addWidget(pRight);
    spLeft->setStretchFactor(0, 1);
    spLeft->setStretchFactor(1, 0);
    spLeft->setSizes({ClientDesignWidth, RightDesignWidth});

    new WindowMinimum({spLeft, Image2, {Label1, Label2, lVersion, lCountry}, pStatus},
                      ClientDesignWidth);
    resize(873, 570);
    move(192, 113);
    pMainTopResize();
}

void TfMain::pMainTopResize() {
    const int width = pMainTop->width();
    sHighlights->setGeometry(BandLeft, sHighlights->y(), width + BandExtraWidth,
                             sHighlights->height());
    lCountry->resize(qMax(lCountry->sizeHint().width(), width - lCountry->x()), lCountry->height());
    if (auto* anchors = pMainTop->findChild<RightAnchors*>(QString(), Qt::FindDirectChildrenOnly))
        anchors->apply();
}
