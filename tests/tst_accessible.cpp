#include "MainWindowFixture.h"
#include "PelmarkApp.h"
#include "Pictures.h"
#include "uAddEditMate.h"
#include "uSettings.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>

namespace {

QString accessibleText(QObject* object, QAccessible::Text kind = QAccessible::Name) {
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(object);
    return iface ? iface->text(kind) : QStringLiteral("<no interface>");
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
