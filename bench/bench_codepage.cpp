// Times the code page conversion both ways on 1 MB of text: plain ASCII, and a guide-like mix
// where every fourth byte lies above 0x7F (the bytes 0x80 to 0x9F among them).
#include "codepage.h"

#include <QtTest>

namespace {

QByteArray textOf(qsizetype size, bool high)
{
    QByteArray out;
    out.reserve(size);
    for (qsizetype i = 0; i < size; ++i)
        out += (high && i % 4 == 3) ? char(0x80 + (i / 4) % 128) : char('a' + i % 26);
    return out;
}

} // namespace

class BenchCodePage : public QObject
{
    Q_OBJECT

private slots:
    void convert_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        constexpr qsizetype oneMB = 1024 * 1024;
        QTest::newRow("ASCII, 1 MB") << textOf(oneMB, false);
        QTest::newRow("a quarter above 0x7F, 1 MB") << textOf(oneMB, true);
    }

    void convert()
    {
        QFETCH(QByteArray, bytes);
        QString unicode;
        QBENCHMARK {
            unicode = text::toUnicode(bytes);
        }
        QCOMPARE(unicode.size(), bytes.size());
    }

    void convertBack_data() { convert_data(); }
    void convertBack()
    {
        QFETCH(QByteArray, bytes);
        const QString unicode = text::toUnicode(bytes);
        QByteArray back;
        QBENCHMARK {
            back = text::fromUnicode(unicode);
        }
        QCOMPARE(back, bytes);
    }
};

QTEST_APPLESS_MAIN(BenchCodePage)
#include "bench_codepage.moc"
