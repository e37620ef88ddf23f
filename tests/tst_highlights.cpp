#include "Highlights.h"

#include <QTest>

class TestHighlights : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void fileNames() {
        QCOMPARE(HighlightsFileName(QStringLiteral("All countries")),
                 QStringLiteral("highlights.txt"));
        QCOMPARE(HighlightsFileName(QStringLiteral("Germany")),
                 QStringLiteral("highlights_Germany.txt"));
        QCOMPARE(HighlightsFileName(QStringLiteral("United Kingdom")),
                 QStringLiteral("highlights_United_Kingdom.txt"));
        QCOMPARE(HighlightsFileName(QStringLiteral("all countries")),
                 QStringLiteral("highlights_all_countries.txt"));
    }

    void tickerText_data() {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<int>("lines");
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("two of three") << QByteArray("a\nb\nc\n") << 2 << QByteArray("a || b");
        QTest::newRow("five of three")
            << QByteArray("a\nb\nc\n") << 5 << QByteArray("a || b || c ||  || ");
        QTest::newRow("no line feed") << QByteArray("just one line") << 3 << QByteArray();
        QTest::newRow("none wanted") << QByteArray("a\nb\n") << 0 << QByteArray();
        QTest::newRow("negative") << QByteArray("a\nb\n") << -4 << QByteArray();
        QTest::newRow("tags") << QByteArray("<b>Fast</b> lap\nx") << 1 << QByteArray("Fast lap");
        QTest::newRow("CRLF kept on the last line")
            << QByteArray("one\r\ntwo\r\nthree\r\n") << 2 << QByteArray("one || two\r");
        QTest::newRow("unclosed tag stays")
            << QByteArray("a <b>x</b> < 5 laps\n") << 1 << QByteArray("a x < 5 laps");
        QTest::newRow("tag spanning nothing") << QByteArray("<>x<i>\n") << 1 << QByteArray("x");
    }
    void tickerText() {
        QFETCH(QByteArray, reply);
        QFETCH(int, lines);
        QFETCH(QByteArray, text);
        QCOMPARE(BuildTickerText(reply, lines), text);
    }

    void hugeLineCountIsCapped() {
        const QByteArray text = BuildTickerText("a\n", 2147483647);
        QCOMPARE(text.count("||"), MaxTickerLines - 1);
    }

    void fallbackMessage() {
        QCOMPARE(FallbackMessage(QStringLiteral("Germany")),
                 QByteArray("County highligts of  \"Germany\" not availabe, using \"All countries\""
                            " instead:        "));
    }
};

QTEST_GUILESS_MAIN(TestHighlights)
#include "tst_highlights.moc"
