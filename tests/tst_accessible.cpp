#include "EmptyListNote.h"
#include "FreshnessLabel.h"
#include "MainCommands.h"
#include "MainWindowFixture.h"
#include "MatePresence.h"
#include "MateTray.h"
#include "PelmarkApp.h"
#include "Pictures.h"
#include "PlainText.h"
#include "ServerFinder.h"
#include "uAddEditMate.h"
#include "uSettings.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QTextDocumentFragment>
#include <QToolButton>
#include <QTreeView>

namespace {

QString accessibleText(QObject* object, QAccessible::Text kind = QAccessible::Name) {
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(object);
    return iface ? iface->text(kind) : QStringLiteral("<no interface>");
}

// Qt tells of changes only while a screen reader's bus listens, which it does when the
// suite runs as tst_accessible_bus: on Xvfb, with a session bus of its own that starts
// the accessibility bus.
bool screenReaderListens() {
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return false;
    if (QDBusConnectionInterface* bus = QDBusConnection::sessionBus().interface())
        bus->startService(QStringLiteral("org.a11y.Bus"));
    return QTest::qWaitFor([] { return QAccessible::isActive(); }, 10000);
}

// What the bus is told while a Listener lives, with the name of what each event names
// as it is read at that moment.
struct Heard {
    QAccessible::Event kind;
    QObject* object;
    QString name;
};
QList<Heard> heard;

void hear(QAccessibleEvent* event) {
    QAccessibleInterface* iface = event->accessibleInterface();
    heard.append(
        {event->type(), event->object(), iface ? iface->text(QAccessible::Name) : QString()});
}

struct Listener {
    QAccessible::UpdateHandler before;
    Listener() : before(QAccessible::installUpdateHandler(&hear)) { heard.clear(); }
    ~Listener() { QAccessible::installUpdateHandler(before); }
    Listener(const Listener&) = delete;
    Listener& operator=(const Listener&) = delete;

    static QStringList focusedNames(QObject* view) {
        QStringList names;
        for (const Heard& e : heard) {
            if (e.object == view && e.kind == QAccessible::Focus)
                names.append(e.name);
        }
        return names;
    }
    static bool told(QObject* object, QAccessible::Event kind) {
        return std::any_of(heard.begin(), heard.end(),
                           [&](const Heard& e) { return e.object == object && e.kind == kind; });
    }
};

QString clock(const QTime& time) {
    return QLocale::c().toString(time, QStringLiteral("HH:mm"));
}

QStringList menuTexts(const QMenu* menu) {
    QStringList texts;
    for (const QAction* action : menu->actions())
        texts.append(action->text());
    return texts;
}

void writeFriendsAndWork(MainWindowFixture& f) {
    f.writeFile("data/groups/Friends.profile", MateRecord::make("a", "", "", "").bytes() +
                                                   MateRecord::make("b", "", "", "").bytes());
    f.writeFile("data/groups/Work.profile", MateRecord::make("c", "", "", "").bytes());
    f.hostsReply = PackHosts({FakeHost("Busy S2").limit(24).with({"a"}),
                              FakeHost("Empty S2").limit(24), FakeHost("Other S2").limit(24)});
}

QImage imageAt(const QIcon& icon, qreal ratio) {
    return icon.pixmap(QSize(16, 16), ratio).toImage().convertToFormat(QImage::Format_ARGB32);
}

} // namespace

// What a screen reader gets from the main window, and the pictures at a pixel ratio of 2.
class TestAccessible : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void toolBar_readsEachButtonByItsHint_data() {
        QTest::addColumn<QString>("member");
        QTest::addColumn<QString>("name");
        QTest::newRow("bAddGroup") << "bAddGroup"
                                   << "Create group...";
        QTest::newRow("bDelGroup") << "bDelGroup"
                                   << "Delete group";
        QTest::newRow("bAddMate") << "bAddMate"
                                  << "Add mate...";
        QTest::newRow("bDelMate") << "bDelMate"
                                  << "Delete mate";
        QTest::newRow("bEditMate") << "bEditMate"
                                   << "Edit mate...";
        QTest::newRow("bSettings") << "bSettings"
                                   << "Settings...";
        QTest::newRow("bStartLFS") << "bStartLFS"
                                   << "Start LFS";
        QTest::newRow("bOnOffline") << "bOnOffline"
                                    << "Switch between online and on/offline mates";
        QTest::newRow("bJoinMate") << "bJoinMate"
                                   << "Join mate";
        QTest::newRow("bJoinPW") << "bJoinPW"
                                 << "Join mate with server password...";
        QTest::newRow("bJoinSvr") << "bJoinSvr"
                                  << "Join mate";
        QTest::newRow("bJoinSvrPW") << "bJoinSvrPW"
                                    << "Join mate with server password";
    }
    void toolBar_readsEachButtonByItsHint() {
        QFETCH(QString, member);
        QFETCH(QString, name);
        MainWindowFixture f;
        TfMain& w = f.create();
        const QMap<QString, QToolButton*> buttons{
            {"bAddGroup", w.bAddGroup}, {"bDelGroup", w.bDelGroup},   {"bAddMate", w.bAddMate},
            {"bDelMate", w.bDelMate},   {"bEditMate", w.bEditMate},   {"bSettings", w.bSettings},
            {"bStartLFS", w.bStartLFS}, {"bOnOffline", w.bOnOffline}, {"bJoinMate", w.bJoinMate},
            {"bJoinPW", w.bJoinPW},     {"bJoinSvr", w.bJoinSvr},     {"bJoinSvrPW", w.bJoinSvrPW}};
        QToolButton* button = buttons.value(member);
        QVERIFY(button);
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(button);
        QVERIFY(iface);
        QCOMPARE(iface->role(), QAccessible::Button);
        QCOMPARE(iface->text(QAccessible::Name), name);
        QVERIFY(iface->text(QAccessible::Description).size() > 10);
        QVERIFY(iface->actionInterface() && iface->actionInterface()->actionNames().contains(
                                                QAccessibleActionInterface::pressAction()));
    }

    // The window by its caption; rows, nodes and the ticker by their texts; nothing that
    // takes a click is without a name.
    void mainWindow_readsAsItsTexts() {
        MainWindowFixture f;
        f.hostsReply = PackHosts({FakeHost("Blue Sky").limit(24).with({"a"})});
        f.highlightsReply = "Lap record at Blackwood\r\n";
        TfMain& w = f.start();
        QCOMPARE(f.desktop.errors, QStringList());
        w.show(); // a list reads its rows once it is laid out
        QVERIFY(QTest::qWaitForWindowExposed(&w));

        QAccessibleInterface* window = QAccessible::queryAccessibleInterface(&w);
        QVERIFY(window);
        QCOMPARE(window->role(), QAccessible::Window);
        QCOMPARE(window->text(QAccessible::Name), QStringLiteral("Pelmark II"));

        QAccessibleInterface* list = QAccessible::queryAccessibleInterface(w.lvServer);
        QVERIFY(list && list->tableInterface());
        QCOMPARE(w.lvServer->rowCount(), 1);
        QCOMPARE(list->text(QAccessible::Name), QStringLiteral("Server list"));
        QAccessibleInterface* cell = list->tableInterface()->cellAt(0, 0);
        QVERIFY(cell);
        QCOMPARE(cell->text(QAccessible::Name), QStringLiteral("Blue Sky"));

        QVERIFY(accessibleText(w.lHighlights).contains(QLatin1String("Lap record at Blackwood")));
        QCOMPARE(accessibleText(w.lCountry), w.lCountry->text());

        for (QAbstractButton* button : w.findChildren<QAbstractButton*>())
            QVERIFY2(!accessibleText(button).isEmpty(), qPrintable(button->toolTip()));
    }

    // Beside the count: when the list came, or since when the refreshes fail and why; the
    // first failure of a run keeps its time. The tray says the same.
    void freshness_updatedThenOfflineSinceTheFirstFailure_trayAgrees() {
        MainWindowFixture f;
        f.hostsReply = PackHosts({FakeHost("Blue Sky").limit(24)});
        const QTime started = QTime::currentTime();
        TfMain& w = f.start();
        const QTime startedUp = QTime::currentTime();
        FreshnessLabel* line = w.finder().lFreshness;
        MateTray* tray = w.presence().tray();
        QVERIFY2(line->text() == "Updated " + clock(started) ||
                     line->text() == "Updated " + clock(startedUp),
                 qPrintable(line->text()));
        QCOMPARE(accessibleText(line), line->text());
        QCOMPARE(tray->toolTip(), "Pelmark II: " + line->text() + "\n" + w.lMateInfo->text());
        QVERIFY(menuTexts(tray->menu()).contains(line->text()));

        f.serviceDown = true;
        const QTime failed = QTime::currentTime();
        QVERIFY(Refresh(w));
        const QTime firstFailure = tray->freshness().offlineSince();
        QVERIFY(firstFailure >= failed && firstFailure <= QTime::currentTime());
        const QString offline = line->text();
        QCOMPARE(offline,
                 "Offline since " + clock(firstFailure) + ": " + tray->freshness().reason());
        QVERIFY2(f.desktop.errors.value(0).startsWith(tray->freshness().reason()),
                 qPrintable(f.desktop.errors.value(0)));
        QVERIFY(line->showsOffline());
        QCOMPARE(tray->toolTip(), "Pelmark II: " + offline);
        QVERIFY(menuTexts(tray->menu()).contains(MenuText(offline)));
        // Shown as written: the tooltip holds the whole line, escaped.
        QCOMPARE(QTextDocumentFragment::fromHtml(line->toolTip()).toPlainText(), offline);

        QTest::qWait(20);
        QVERIFY(Refresh(w));
        QCOMPARE(f.desktop.errors.size(), 2);
        QCOMPARE(tray->freshness().offlineSince(), firstFailure);
        QCOMPARE(line->text(), offline);
        QCOMPARE(tray->toolTip(), "Pelmark II: " + offline);

        f.serviceDown = false;
        QVERIFY(Refresh(w));
        QVERIFY(line->text().startsWith(QLatin1String("Updated ")));
        QVERIFY(!line->showsOffline());
        QVERIFY(!tray->isOffline());
        QCOMPARE(tray->toolTip(), "Pelmark II: " + line->text() + "\n" + w.lMateInfo->text());
    }

    // The line over the empty list is on its viewport, where a screen reader does not
    // look: the list's description says it, and once rows show, how fresh they are.
    void emptyList_saysWhyInTheListsDescription() {
        MainWindowFixture f;
        f.serviceDown = true;
        TfMain& w = f.create();
        QAccessibleInterface* list = QAccessible::queryAccessibleInterface(w.lvServer);
        QVERIFY(list);
        QCOMPARE(list->text(QAccessible::Description),
                 QStringLiteral("Fetching the list of hosts..."));
        StartUp(w);
        QVERIFY(list->text(QAccessible::Description).contains(QLatin1String(" Next try at ")));
        QCOMPARE(list->text(QAccessible::Description), w.emptyListNote().shownText());

        f.serviceDown = false;
        f.hostsReply = "Please set an ident key\n";
        QVERIFY(Refresh(w));
        QCOMPARE(list->text(QAccessible::Description),
                 QStringLiteral("The statistics service answered: Please set an ident key\n"
                                "Enter your ident key..."));
        QCOMPARE(accessibleText(w.emptyListNote().linkLabel()),
                 QStringLiteral("Enter your ident key..."));

        f.hostsReply = PackHosts({FakeHost("Blue Sky").limit(24)});
        QVERIFY(Refresh(w));
        QCOMPARE(w.lvServer->rowCount(), 1);
        QCOMPARE(list->text(QAccessible::Description), w.finder().lFreshness->text());
    }

    // A mate's node reads as its tooltip; a group's says how many of its mates race.
    void mateNodes_describeWhereTheMateRaces() {
        MainWindowFixture f;
        writeFriendsAndWork(f);
        TfMain& w = f.start();
        w.commands().onOffline->trigger(); // all mates
        w.tvMates->expandAll();
        w.show(); // a tree reads its nodes once it is laid out
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QAccessibleInterface* tree = QAccessible::queryAccessibleInterface(w.tvMates);
        QVERIFY(tree);
        QMap<QString, QString> described;
        for (int i = 0; i < tree->childCount(); ++i) {
            QAccessibleInterface* node = tree->child(i);
            described[node->text(QAccessible::Name)] = node->text(QAccessible::Description);
        }
        QCOMPARE(described.value("Friends"), QStringLiteral("1 of 2 mates online"));
        QCOMPARE(described.value("Work"), QStringLiteral("0 of 1 mates online"));
        QVERIFY2(described.value("a").startsWith(QLatin1String("Online on Busy S2 ")),
                 qPrintable(described.value("a")));
        QCOMPARE(described.value("b"), QStringLiteral("Not seen online yet"));
        const QModelIndex b = w.tvMates->model()->index(1, 0, w.tvMates->model()->index(0, 0));
        QCOMPARE(b.data().toString(), QStringLiteral("b"));
        QCOMPARE(described.value("b"), w.presence().nodeToolTip(b));
    }

    // Every move in the tree names the node that is now current, also when a refresh or
    // the view switch has made all nodes anew (a tree not laid out by then, or a current
    // node in a collapsed group, named the hidden header); the lines' changes are told.
    void changes_areTold_eachTreeMoveNamesItsNode() {
        if (!screenReaderListens()) {
            if (qEnvironmentVariableIsSet("PELMARK_A11Y_BUS"))
                QFAIL("the accessibility bus did not come up");
            QSKIP("no accessibility bus: tst_accessible_bus runs this");
        }
        MainWindowFixture f;
        writeFriendsAndWork(f);
        TfMain& w = f.start();
        w.commands().onOffline->trigger(); // all mates
        w.tvMates->expandAll();
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.tvMates->setFocus();
        w.tvMates->setCurrentIndex(w.tvMates->model()->index(0, 0));

        Listener listener;
        const auto current = [&] { return w.tvMates->currentIndex().data().toString(); };
        for (const char* node : {"a", "b", "Work", "c"}) {
            heard.clear();
            QTest::keyClick(w.tvMates, Qt::Key_Down);
            QCOMPARE(current(), QString::fromLatin1(node));
            QCOMPARE(Listener::focusedNames(w.tvMates), QStringList{current()});
        }
        heard.clear();
        QVERIFY(Refresh(w)); // c stays current inside its collapsed group
        QCOMPARE(current(), QStringLiteral("c"));
        for (const QString& name : Listener::focusedNames(w.tvMates))
            QCOMPARE(name, current());
        heard.clear();
        QTest::keyClick(w.tvMates, Qt::Key_Up);
        QCOMPARE(Listener::focusedNames(w.tvMates), QStringList{current()});
        const QString group = current();
        QVERIFY(!w.tvMates->currentIndex().parent().isValid());
        for (const auto& makeAnew : std::initializer_list<std::function<void()>>{
                 [&] { QVERIFY(Refresh(w)); }, [&] { w.commands().onOffline->trigger(); }}) {
            heard.clear();
            makeAnew();
            QCOMPARE(current(), group);
            QCOMPARE(Listener::focusedNames(w.tvMates), QStringList{group});
        }

        heard.clear();
        w.finder().eFilter->setText(QStringLiteral("Busy"));
        QCOMPARE(w.finder().lShowing->text(), QStringLiteral("Showing 1 of 3"));
        QVERIFY(Listener::told(w.finder().lShowing, QAccessible::NameChanged));
        f.serviceDown = true;
        QVERIFY(Refresh(w));
        QVERIFY(Listener::told(w.finder().lFreshness, QAccessible::NameChanged));
        QVERIFY(Listener::told(w.lvServer, QAccessible::DescriptionChanged));
    }

    // Fields read by their labels, the picture-only Browse button by its hint.
    void dialogs_everyFieldAndButtonHasAName() {
        MainWindowFixture f;
        TfMain& w = f.create();
        TfSettings settings(w.config, f.desktop, &w);
        TfAddEditMate mate(w.stats(), w.rosterCommands(), f.desktop, &w);
        for (QWidget* dialog : {static_cast<QWidget*>(&settings), static_cast<QWidget*>(&mate)}) {
            const QList<QWidget*> controls = dialog->findChildren<QWidget*>();
            int named = 0;
            for (QWidget* control : controls) {
                if (control->window() != dialog ||
                    (!qobject_cast<QLineEdit*>(control) && !qobject_cast<QComboBox*>(control) &&
                     !qobject_cast<QAbstractButton*>(control)))
                    continue;
                QVERIFY2(!accessibleText(control).isEmpty(), qPrintable(control->objectName()));
                ++named;
            }
            QVERIFY(named >= 5);
        }
        QCOMPARE(accessibleText(settings.findChild<QLineEdit*>(QStringLiteral("eInterval"))),
                 QStringLiteral("Interval:"));
    }

    // The banner only took mouse clicks; the keyboard reaches it now.
    void banner_opensTheHomePageFromTheKeyboard() {
        MainWindowFixture f;
        TfMain& w = f.create();
        QVERIFY(w.Image2->focusPolicy() & Qt::TabFocus);
        QCOMPARE(accessibleText(w.Image2), w.Image2->toolTip());
        QTest::keyClick(w.Image2, Qt::Key_Return);
        QCOMPARE(f.desktop.urls.size(), 1);
        QCOMPARE(f.desktop.urls.first().host(), QStringLiteral("www.pelmark.org"));
    }

    // At a ratio of 2 the icons are drawn with four times the pixels, not blown up.
    void pictures_atRatioTwo_areDrawnSharp() {
        const QIcon icons[] = {Pictures::GlyphIcon(Pictures::Glyph::AddGroup),
                               Pictures::ServerStatusImages().at(2), Pictures::AppIcon()};
        for (const QIcon& icon : icons) {
            const QImage sharp = imageAt(icon, 2.0);
            QCOMPARE(sharp.size(), QSize(32, 32));
            const QImage blownUp =
                imageAt(icon, 1.0).scaled(32, 32, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            QVERIFY(sharp != blownUp);
        }
    }

    void application_windowIconIsTheProgramsIcon() {
        SetUpApplication();
        const QIcon icon = QApplication::windowIcon();
        QVERIFY(icon.availableSizes().contains(QSize(16, 16)));
        QVERIFY(icon.availableSizes().contains(QSize(256, 256)));
        QCOMPARE(icon.pixmap(64, 64).toImage().convertToFormat(QImage::Format_ARGB32),
                 Pictures::AppIconImage(64).convertToFormat(QImage::Format_ARGB32));
    }
};

QTEST_MAIN(TestAccessible)
#include "tst_accessible.moc"
