// The main window's arrangement and the splash screen, checked on real widgets offscreen.
#include "EmptyListNote.h"
#include "FakeDesktop.h"
#include "MainCommands.h"
#include "MateTree.h"
#include "ServerFinder.h"
#include "uMain.h"
#include "uSplashScreen.h"

#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <memory>

namespace {

constexpr int ClientWidth = 667;
constexpr int RightWidth = 202;

// A program file carrying the version block that ReadFileVersionInfo looks for.
void writeProgramWithVersion(const QString& path, const QByteArray& version,
                             const QByteArray& copyright) {
    QByteArray bytes("\x7f"
                     "ELF padding ");
    bytes += "\x01PELMARK-VERSIONINFO\x01";
    bytes += QByteArray("FileVersion") + '\0' + version + '\0';
    bytes += QByteArray("LegalCopyRight") + '\0' + copyright + '\0';
    bytes += "\x01PELMARK-VERSIONEND\x01";
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

int rightEdge(const QWidget* w) {
    return w->x() + w->width();
}

} // namespace

class LayoutTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    FakeDesktop m_desktop;
    std::unique_ptr<TfMain> m_main;

    void settle() {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
    void resizeBy(int dw, int dh) {
        m_main->resize(873 + dw, 570 + dh);
        settle();
    }
    QToolButton* toolButton(const QString& name) const {
        const QHash<QString, QToolButton*> buttons{
            {QStringLiteral("bAddGroup"), m_main->bAddGroup},
            {QStringLiteral("bDelGroup"), m_main->bDelGroup},
            {QStringLiteral("bAddMate"), m_main->bAddMate},
            {QStringLiteral("bDelMate"), m_main->bDelMate},
            {QStringLiteral("bEditMate"), m_main->bEditMate},
            {QStringLiteral("bSettings"), m_main->bSettings},
            {QStringLiteral("bStartLFS"), m_main->bStartLFS},
            {QStringLiteral("bOnOffline"), m_main->bOnOffline},
            {QStringLiteral("bJoinMate"), m_main->bJoinMate},
            {QStringLiteral("bJoinPW"), m_main->bJoinPW},
        };
        return buttons.value(name);
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void init() {
        m_main = std::make_unique<TfMain>(m_desktop, m_dir.filePath(QStringLiteral("Pelmark2")));
        m_main->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_main.get()));
        settle();
    }
    void cleanup() { m_main.reset(); }

    void startSize_regionsHaveTheirDesignSizes() {
        QCOMPARE(m_main->windowTitle(), QStringLiteral("Pelmark II"));
        QCOMPARE(m_main->size(), QSize(873, 570));
        QCOMPARE(m_main->pClient->size(), QSize(ClientWidth, 570));
        QCOMPARE(m_main->pRight->size(), QSize(RightWidth, 570));
        QCOMPARE(m_main->spLeft->handleWidth(), 4);
        QCOMPARE(m_main->pMainTop->size(), QSize(ClientWidth, 115));
        QCOMPARE(m_main->Label4->height(), 13);
        QCOMPARE(m_main->lvServer->size(), QSize(ClientWidth, 332));
        QCOMPARE(m_main->pClientBottom->size(), QSize(ClientWidth, 110));
        QCOMPARE(m_main->pStatus->geometry(), QRect(0, 0, ClientWidth, 20));
        QCOMPARE(m_main->pRightTop->size(), QSize(RightWidth, 115));
        QCOMPARE(m_main->tvMates->size(), QSize(RightWidth, 440));
        QCOMPARE(m_main->pRightBottom->size(), QSize(RightWidth, 15));
        QCOMPARE(m_main->sHighlights->geometry(), QRect(-6, 76, ClientWidth + 10, 26));
        QCOMPARE(m_main->Image2->geometry(), QRect(339, 24, 328, 42));
        QCOMPARE(m_main->Image1->geometry(), QRect(2, 2, 88, 31));
        QCOMPARE(m_main->lHighlights->geometry(), QRect(0, 82, 58, 13));
        QCOMPARE(m_main->bJoinSvr->geometry(), QRect(6, 25, 25, 25));
        QCOMPARE(m_main->bJoinSvrPW->geometry(), QRect(36, 25, 25, 25));
        QCOMPARE(m_main->bLegends->geometry(), QRect(6, 72, 97, 25));
    }

    void resize_extraGoesToTheListsAndTheHeaderWidth_data() {
        QTest::addColumn<int>("dw");
        QTest::addColumn<int>("dh");
        QTest::newRow("wider and taller") << 300 << 200;
        QTest::newRow("only taller") << 0 << 120;
        QTest::newRow("only wider") << 150 << 0;
        QTest::newRow("only lower") << 0 << -60;
    }
    void resize_extraGoesToTheListsAndTheHeaderWidth() {
        QFETCH(int, dw);
        QFETCH(int, dh);
        resizeBy(dw, dh);
        QCOMPARE(m_main->pRight->width(), RightWidth);
        QCOMPARE(m_main->lvServer->size(), QSize(ClientWidth + dw, 332 + dh));
        QCOMPARE(m_main->tvMates->size(), QSize(RightWidth, 440 + dh));
        QCOMPARE(m_main->pMainTop->size(), QSize(ClientWidth + dw, 115));
        QCOMPARE(m_main->pClientBottom->height(), 110);
        QCOMPARE(m_main->pStatus->size(), QSize(ClientWidth + dw, 20));
        QCOMPARE(m_main->pRightTop->height(), 115);
        QCOMPARE(m_main->pRightBottom->height(), 15);
        // The ticker band reaches 4 pixels past the header's right edge.
        QCOMPARE(rightEdge(m_main->sHighlights), m_main->pMainTop->width() + 4);
        // Right-anchored controls move with the edge, the rest stays.
        QCOMPARE(rightEdge(m_main->Image2), m_main->pMainTop->width());
        QCOMPARE(rightEdge(m_main->lCopyright), m_main->pMainTop->width() - 3);
        QCOMPARE(m_main->bJoinSvr->pos(), QPoint(6 + dw, 25));
        QCOMPARE(m_main->bJoinSvrPW->pos(), QPoint(36 + dw, 25));
        QCOMPARE(m_main->bLegends->pos(), QPoint(6, 72));
        QCOMPARE(rightEdge(m_main->lVersion), 326);
        QCOMPARE(m_main->Label1->pos(), QPoint(96, 7));
    }

    void splitterDrag_movesRightAnchoredButtonsOnly_data() {
        QTest::addColumn<int>("delta");
        QTest::newRow("right column wider") << 120;
        QTest::newRow("right column narrower") << -40;
    }
    void splitterDrag_movesRightAnchoredButtonsOnly() {
        QFETCH(int, delta);
        QHash<QToolButton*, QPoint> before;
        for (QToolButton* b : m_main->pRightTop->findChildren<QToolButton*>())
            before.insert(b, b->pos());
        m_main->spLeft->setSizes({ClientWidth - delta, RightWidth + delta});
        settle();
        QCOMPARE(m_main->pRight->width(), RightWidth + delta);
        QCOMPARE(m_main->pRightTop->width(), RightWidth + delta);
        QCOMPARE(m_main->tvMates->width(), RightWidth + delta);
        QCOMPARE(m_main->lvServer->width(), ClientWidth - delta);
        QCOMPARE(rightEdge(m_main->sHighlights), m_main->pMainTop->width() + 4);
        const QList<QToolButton*> rightAnchored{m_main->bSettings, m_main->bStartLFS,
                                                m_main->bJoinMate, m_main->bJoinPW};
        for (auto it = before.cbegin(); it != before.cend(); ++it) {
            const int dx = rightAnchored.contains(it.key()) ? delta : 0;
            QCOMPARE(it.key()->pos(), it.value() + QPoint(dx, 0));
        }
    }

    void splitter_rightColumnCannotCollapse() {
        m_main->spLeft->setSizes({ClientWidth + RightWidth, 0});
        settle();
        QVERIFY(m_main->pRight->width() > 0);
        QVERIFY(m_main->bSettings->x() >= rightEdge(m_main->bEditMate));
    }

    void toolBar_buttonsHavePlacesHintsAndPictures_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QPoint>("pos");
        QTest::addColumn<QString>("hint");
        const auto row = [](const char* name, QPoint pos, const char* hint) {
            QTest::newRow(name) << QString::fromLatin1(name) << pos << QString::fromLatin1(hint);
        };
        row("bAddGroup", {12, 12}, "Create group...");
        row("bDelGroup", {42, 12}, "Delete group");
        row("bAddMate", {12, 42}, "Add mate...");
        row("bDelMate", {42, 42}, "Delete mate");
        row("bEditMate", {72, 42}, "Edit mate...");
        row("bSettings", {168, 12}, "Settings...");
        row("bStartLFS", {168, 42}, "Start LFS");
        row("bOnOffline", {12, 93}, "Switch between online and on/offline mates");
        row("bJoinMate", {138, 93}, "Join mate");
        row("bJoinPW", {168, 93}, "Join mate with server password...");
    }
    void toolBar_buttonsHavePlacesHintsAndPictures() {
        QFETCH(QString, name);
        QFETCH(QPoint, pos);
        QFETCH(QString, hint);
        QToolButton* b = toolButton(name);
        QVERIFY(b);
        QCOMPARE(b->parentWidget(), m_main->pRightTop);
        QCOMPARE(b->geometry(), QRect(pos, QSize(25, 25)));
        QCOMPARE(b->toolTip(), hint);
        QCOMPARE(b->iconSize(), QSize(16, 16));
        QVERIFY(!b->icon().isNull());
    }

    // The roster's buttons in the order they stand, row by row from the left.
    void toolBar_tabOrderFollowsTheButtonsPlaces() {
        const QList<QWidget*> order{m_main->bAddGroup, m_main->bDelGroup, m_main->bAddMate,
                                    m_main->bDelMate,  m_main->bEditMate, m_main->bOnOffline,
                                    m_main->bJoinMate, m_main->bJoinPW};
        for (qsizetype i = 1; i < order.size(); ++i) {
            QWidget* next = order[i - 1]->nextInFocusChain();
            while (next && next->focusPolicy() == Qt::NoFocus)
                next = next->nextInFocusChain();
            QCOMPARE(next, order[i]);
        }
    }

    // Tab from the tree goes through the roster buttons, the list, its filter, the join
    // buttons and the window's own buttons to the banner, and back to the tree.
    void tabOrder_goesThroughTheWindowInItsOrder() {
        const QHash<const QWidget*, QString> names{
            {m_main->tvMates, "tvMates"},
            {m_main->bAddGroup, "bAddGroup"},
            {m_main->bDelGroup, "bDelGroup"},
            {m_main->bAddMate, "bAddMate"},
            {m_main->bDelMate, "bDelMate"},
            {m_main->bEditMate, "bEditMate"},
            {m_main->bOnOffline, "bOnOffline"},
            {m_main->bJoinMate, "bJoinMate"},
            {m_main->bJoinPW, "bJoinPW"},
            {m_main->lvServer, "lvServer"},
            {m_main->finder().eFilter, "eFilter"},
            {m_main->finder().bFilters, "bFilters"},
            {m_main->bJoinSvr, "bJoinSvr"},
            {m_main->bJoinSvrPW, "bJoinSvrPW"},
            {m_main->bSettings, "bSettings"},
            {m_main->bStartLFS, "bStartLFS"},
            {m_main->bLegends, "bLegends"},
            {m_main->Image2, "Image2"},
            {m_main->emptyListNote().linkLabel(), "identKeyLink"}};
        QStringList order;
        QWidget* w = m_main->tvMates;
        do {
            if ((w->focusPolicy() & Qt::TabFocus) && w->window() == m_main.get() &&
                w->isVisibleTo(m_main.get()))
                order << names.value(w, QString::fromLatin1(w->metaObject()->className()));
            w = w->nextInFocusChain();
        } while (w != m_main->tvMates && order.size() < 40);
        QCOMPARE(order, QStringList({"tvMates", "bAddGroup", "bDelGroup", "bAddMate", "bDelMate",
                                     "bEditMate", "bOnOffline", "bJoinMate", "bJoinPW", "lvServer",
                                     "eFilter", "bFilters", "bJoinSvr", "bJoinSvrPW", "bSettings",
                                     "bStartLFS", "bLegends", "Image2"}));
    }

    // The banner takes the focus by Tab like a button, and shows it like one; so do the
    // lists while they have no row to draw the focus on.
    void focus_showsOnTheBannerAndTheEmptyLists_data() {
        QTest::addColumn<QString>("control");
        QTest::newRow("banner") << QStringLiteral("Image2");
        QTest::newRow("server list") << QStringLiteral("lvServer");
        QTest::newRow("mate tree") << QStringLiteral("tvMates");
    }
    void focus_showsOnTheBannerAndTheEmptyLists() {
        QFETCH(QString, control);
        const QHash<QString, QWidget*> controls{{QStringLiteral("Image2"), m_main->Image2},
                                                {QStringLiteral("lvServer"), m_main->lvServer},
                                                {QStringLiteral("tvMates"), m_main->tvMates}};
        QWidget* target = controls.value(control);
        m_main->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_main.get()));
        QWidget* before = target->previousInFocusChain();
        while (!(before->focusPolicy() & Qt::TabFocus) || !before->isEnabled() ||
               !before->isVisibleTo(m_main.get()))
            before = before->previousInFocusChain();
        before->setFocus();
        const QImage plain = target->grab().toImage();
        QTest::keyClick(before, Qt::Key_Tab);
        QVERIFY(target->hasFocus());
        const QImage focused = target->grab().toImage();
        QTest::keyClick(target, Qt::Key_Tab);
        QVERIFY(!target->hasFocus());
        QVERIFY(focused != plain);
        QCOMPARE(target->grab().toImage(), plain);
    }

    void onOfflineButton_startsInOnlineViewWithDisabledPicture() {
        QVERIFY(!m_main->commands().onOffline->isChecked());
        QVERIFY(!m_main->mateTree().allMates());
        const QIcon icon = m_main->bOnOffline->icon();
        const QImage normal = icon.pixmap(16, 16, QIcon::Normal).toImage();
        const QImage disabled = icon.pixmap(16, 16, QIcon::Disabled).toImage();
        QVERIFY(normal != disabled);
    }

    void serverList_hasDesignColumnsAndLeavesSortingToTheProgram() {
        const QStringList captions{QStringLiteral("Name"),  QStringLiteral("Ver"),
                                   QStringLiteral("Track"), QStringLiteral("Rules*"),
                                   QStringLiteral("Cars*"), QStringLiteral("Players"),
                                   QStringLiteral("Laps"),  QStringLiteral("Quali")};
        const QList<int> widths{120, 33, 120, 60, 150, 50, 50, 50};
        QTreeView* list = m_main->lvServer;
        QCOMPARE(list->model()->columnCount(), 8);
        for (int i = 0; i < 8; ++i) {
            QCOMPARE(list->model()->headerData(i, Qt::Horizontal).toString(), captions[i]);
            QCOMPARE(list->header()->sectionSize(i), widths[i]);
        }
        // Wider than at the design size, the last column reaches the right edge; the
        // others keep their widths, and back at the design size it has its own again.
        resizeBy(300, 0);
        QCOMPARE(list->header()->sectionPosition(7) + list->header()->sectionSize(7),
                 list->header()->width());
        for (int i = 0; i < 7; ++i)
            QCOMPARE(list->header()->sectionSize(i), widths[i]);
        resizeBy(0, 0);
        QCOMPARE(list->header()->sectionSize(7), 50);
        QVERIFY(list->header()->sectionsClickable());
        QVERIFY(!list->isSortingEnabled());
    }

    void views_keepTheSelectionHighlightedWithoutFocus_data() {
        QTest::addColumn<QString>("view");
        QTest::newRow("server list") << QStringLiteral("lvServer");
        QTest::newRow("mate tree") << QStringLiteral("tvMates");
    }
    void views_keepTheSelectionHighlightedWithoutFocus() {
        QFETCH(QString, view);
        QAbstractItemView* w = view == QLatin1String("lvServer")
                                   ? static_cast<QAbstractItemView*>(m_main->lvServer)
                                   : m_main->tvMates;
        const QPalette p = w->palette();
        QCOMPARE(p.color(QPalette::Inactive, QPalette::Highlight),
                 p.color(QPalette::Active, QPalette::Highlight));
        QCOMPARE(p.color(QPalette::Inactive, QPalette::HighlightedText),
                 p.color(QPalette::Active, QPalette::HighlightedText));
    }

    void imageListsAndTimers_areCreatedButTimersLeftToStartUp() {
        QCOMPARE(m_main->ilServerStatus.size(), 4);
        QCOMPARE(m_main->ilMateStatus.size(), 6);
        for (const QIcon& icon : m_main->ilServerStatus + m_main->ilMateStatus)
            QVERIFY(!icon.isNull());
        QCOMPARE(m_main->tScrollHighlights->interval(), 120);
        QCOMPARE(m_main->tCheckLFS->interval(), 1000);
        QVERIFY(!m_main->tScrollHighlights->isActive());
        QVERIFY(m_main->IdHTTP && m_main->IdHTTPHighlights);
        QVERIFY(m_main->IdHTTP != m_main->IdHTTPHighlights);
    }

    void labels_showDesignTextsAsPlainText() {
        const QList<std::pair<QLabel*, const char*>> labels{
            {m_main->lVersion, "lVersion"},
            {m_main->lCopyright, "lCopyright"},
            {m_main->lCountry, "lCountry"},
            {m_main->lHighlights, "lHighlights"},
            {m_main->lSvrCount, "lSvrCount"},
            {m_main->lOccupied, "lOccupied"},
            {m_main->lSvrMates, "lSvrMates"},
            {m_main->lPlayersOnline, "lPlayersOnline"},
            {m_main->lMateInfo, "Ready"},
            {m_main->Label4, "Server list:"},
            {m_main->Label3, "LFS Highlight-Ticker:"}};
        for (const auto& [label, text] : labels) {
            QCOMPARE(label->text(), QString::fromLatin1(text));
            QCOMPARE(label->textFormat(), Qt::PlainText);
        }
        QVERIFY(!m_main->lHighlights->wordWrap());
    }

    void versionLabel_keepsItsRightEdgeAsTheTextChanges_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty version") << QStringLiteral("v ");
        QTest::newRow("usual") << QStringLiteral("v 2.0.0.0");
        QTest::newRow("long") << QStringLiteral("v 12.345.678.9012");
    }
    void versionLabel_keepsItsRightEdgeAsTheTextChanges() {
        QFETCH(QString, text);
        m_main->lVersion->setText(text);
        settle();
        QCOMPARE(rightEdge(m_main->lVersion), 326);
        QVERIFY(m_main->lVersion->alignment() & Qt::AlignRight);
        QVERIFY(m_main->lVersion->sizeHint().width() <= m_main->lVersion->width());
    }

    void statusBar_separatorsFollowTheLabelWidths() {
        const auto separatorsBetween = [&](QWidget* left, QWidget* right) {
            int n = 0;
            for (QFrame* line :
                 m_main->pStatus->findChildren<QFrame*>(QString(), Qt::FindDirectChildrenOnly))
                if (line->frameShape() == QFrame::VLine && line->x() >= rightEdge(left) &&
                    rightEdge(line) <= right->x())
                    ++n;
            return n;
        };
        m_main->lSvrCount->setText(QStringLiteral("Servers online: 1234567"));
        m_main->lOccupied->setText(QStringLiteral("Servers occupied: 89"));
        settle();
        QCOMPARE(m_main->lSvrCount->x(), m_main->pStatus->contentsRect().left() + 5);
        QVERIFY(m_main->lSvrCount->width() >= m_main->lSvrCount->sizeHint().width());
        QCOMPARE(m_main->lOccupied->x(), rightEdge(m_main->lSvrCount) + 12);
        QCOMPARE(separatorsBetween(m_main->lSvrCount, m_main->lOccupied), 1);
        QCOMPARE(separatorsBetween(m_main->lOccupied, m_main->lSvrMates), 1);
        QCOMPARE(separatorsBetween(m_main->lSvrMates, m_main->lPlayersOnline), 2);
        QCOMPARE(m_main->lPlayersOnline->x(), rightEdge(m_main->lSvrMates) + 14);
    }

    void splash_showsVersionAndNoticeFromTheProgramFile_data() {
        QTest::addColumn<QByteArray>("version");
        QTest::addColumn<QByteArray>("copyright");
        QTest::addColumn<QString>("versionText");
        QTest::newRow("with version block")
            << QByteArray("1.2.3.4") << QByteArray("(C) 2026 Somebody") << "v 1.2.3.4";
        QTest::newRow("without version") << QByteArray() << QByteArray() << "v ";
    }
    void splash_showsVersionAndNoticeFromTheProgramFile() {
        QFETCH(QByteArray, version);
        QFETCH(QByteArray, copyright);
        QFETCH(QString, versionText);
        const QString exe = m_dir.filePath(QStringLiteral("splash-program"));
        QFile::remove(exe);
        if (!version.isEmpty())
            writeProgramWithVersion(exe, version, copyright);
        TfSplashScreen splash(exe);
        splash.show();
        QVERIFY(QTest::qWaitForWindowExposed(&splash));
        QCOMPARE(splash.size(), QSize(428, 181));
        QVERIFY(splash.windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(splash.lVersion->text(), versionText);
        QCOMPARE(splash.lCopyright->text(), QString::fromLatin1(copyright));
        QCOMPARE(splash.lCopyright->pos(), QPoint(12, 156));
        QCOMPARE(splash.lVersion->y(), 156);
        QCOMPARE(rightEdge(splash.lVersion), 412);
        // The light-blue panel has its thin black outline on all four edges.
        const QImage shot = splash.grab().toImage();
        const QColor panel(166, 210, 255);
        for (const QPoint& edge :
             {QPoint(6, 90), QPoint(420, 90), QPoint(200, 6), QPoint(200, 174)})
            QCOMPARE(shot.pixelColor(edge), QColor(Qt::black));
        for (const QPoint& inside :
             {QPoint(7, 90), QPoint(419, 90), QPoint(200, 7), QPoint(200, 173)})
            QCOMPARE(shot.pixelColor(inside), panel);
        QStringList texts;
        for (const QLabel* label : splash.findChildren<QLabel*>())
            texts << label->text();
        for (const char* text :
             {"Pelmark II, for LFS S2", "online racer status", "Please wait, loading..."})
            QVERIFY2(texts.contains(QString::fromLatin1(text)), text);
    }
};

QTEST_MAIN(LayoutTest)
#include "tst_layout.moc"
