#include "annotation/setfile.h"
#include "annotation/treaderror.h"

#include <QBuffer>
#include <QTextStream>
#include <QtTest>

// A set file of twelve empty sections around the given image list.
static QByteArray setFile(const QByteArray& imageList, int sections = 12)
{
    QByteArray text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<dermatoglyphset>\r\n"
                      "  <images>\r\n" + imageList + "  </images>\r\n";
    for (int i = 0; i < sections; ++i)
        text += "<dermatoglyph>\r\n</dermatoglyph>\r\n";
    return text + "</dermatoglyphset>\r\n";
}

static setfile::Contents read(QByteArray text)
{
    QBuffer buffer(&text);
    buffer.open(QIODevice::ReadOnly);
    return setfile::read(buffer);
}

static QString readError(const QByteArray& text)
{
    try {
        read(text);
    } catch (const TReadError& e) {
        return e.message();
    }
    return QString();
}

class TestSetFile : public QObject
{
    Q_OBJECT
private slots:
    void imageListIsWrittenToTheByte()
    {
        QVector<setfile::SlotImage> images(setfile::slotCount);
        images[0] = {"a.jpg", 500, 500};
        images[1] = {"R&D \"scan\".tif", 600, 601};
        QVector<QSize> sizes(setfile::slotCount);
        sizes[0] = QSize(800, 600);
        sizes[1] = QSize(10, 20);
        QString text;
        QTextStream out(&text);
        setfile::writeImageList(out, images, sizes);
        out.flush();
        const QStringList lines = text.split("\r\n");
        QCOMPARE(lines.size(), 16);
        QCOMPARE(lines[0], QString("<dermatoglyphset>"));
        QCOMPARE(lines[1], QString("  <images>"));
        QCOMPARE(lines[2], QString("    <image src=\"a.jpg\" xdpi=\"500\" ydpi=\"500\" width=\"800\" height=\"600\" />"));
        QCOMPARE(lines[3], QString("    <image src=\"R&amp;D &quot;scan&quot;.tif\" xdpi=\"600\" ydpi=\"601\" width=\"10\" height=\"20\" />"));
        for (int i = 4; i < 14; ++i)
            QCOMPARE(lines[i], QString("    <image src=\"\" xdpi=\"0\" ydpi=\"0\" width=\"0\" height=\"0\" />"));
        QCOMPARE(lines[14], QString("  </images>"));
        QCOMPARE(lines[15], QString());

        // The escaped name reads back as it was given.
        QByteArray whole = setFile(text.section("\r\n", 2, 13).toUtf8() + "\r\n");
        const setfile::Contents c = read(whole);
        QCOMPARE(c.images[1].src, QString("R&D \"scan\".tif"));
        QCOMPARE(c.images[1].yPpi, 601);
    }

    void imageListReadsMoreThanItWrites()
    {
        // No size attributes, a foreign element with children, a non-numeric PPI,
        // and fourteen images for twelve slots.
        QByteArray list = "    <note><image src=\"inside.jpg\" /></note>\r\n"
                          "    <image src=\"a.jpg\" xdpi=\"x\" ydpi=\"300\" />\r\n";
        for (int i = 1; i < 14; ++i)
            list += "    <image src=\"" + QByteArray::number(i) + ".jpg\" xdpi=\"7\" ydpi=\"8\" />\r\n";
        const setfile::Contents c = read(setFile(list));
        QCOMPARE(c.images.size(), 12);
        QCOMPARE(c.images[0].src, QString("a.jpg"));
        QCOMPARE(c.images[0].xPpi, 0);
        QCOMPARE(c.images[0].yPpi, 300);
        QCOMPARE(c.images[11].src, QString("11.jpg"));

        // Fewer images than slots: the rest are empty.
        const setfile::Contents few = read(setFile("    <image src=\"a.jpg\" xdpi=\"1\" ydpi=\"2\" />\r\n"));
        for (int i = 1; i < 12; ++i) {
            QVERIFY(few.images[i].src.isEmpty());
            QCOMPARE(few.images[i].xPpi, 0);
        }
    }

    void structuralErrorsAreRefusedWithTheirReason()
    {
        QVERIFY(readError(setFile("")).isEmpty());
        QCOMPARE(readError("<dermatoglyph>\r\n</dermatoglyph>\r\n"),
                 QString("Error reading XML file: the first element is not \"dermatoglyphset\"."));
        QCOMPARE(readError("<dermatoglyphset><image/></dermatoglyphset>"),
                 QString("Error reading XML file: the second element is not \"images\"."));
        QVERIFY(readError(setFile("", 11)).contains("after 11 of the twelve prints"));

        QByteArray foreignSection = setFile("");
        foreignSection.replace(foreignSection.indexOf("<dermatoglyph>"), 14, "<fingerprint>");
        foreignSection.replace(foreignSection.indexOf("</dermatoglyph>"), 15, "</fingerprint>");
        QVERIFY(!readError(foreignSection).isEmpty());

        QVERIFY(readError("").startsWith("Error reading XML file"));
        QVERIFY(readError("not xml at all").startsWith("Error reading XML file"));
        QVERIFY(readError(setFile("    <image src=\"a.jpg\" \r\n")).contains("line"));
    }

    void everyCutOfAWrittenFileIsRefused()
    {
        QByteArray list = "    <image src=\"a.jpg\" xdpi=\"500\" ydpi=\"500\" width=\"8\" height=\"6\" />\r\n";
        const QByteArray whole = setFile(list.repeated(12));
        // Up to the last section's end the file is incomplete; only the root's own
        // end tag may be missing.
        const int lastSection = whole.lastIndexOf("</dermatoglyph>");
        for (int cut = 0; cut < lastSection; cut += 7)
            QVERIFY2(!readError(whole.left(cut)).isEmpty(), qPrintable(QString::number(cut)));
    }
};

QTEST_GUILESS_MAIN(TestSetFile)
#include "tst_setfile.moc"
