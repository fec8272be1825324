// A file read a window at a time gives the records the whole text gives, wherever the window's edges
// fall; a file shortened or rewritten while it is read is noticed, not read past its end.
#include "app/BomCsv.h"
#include "app/FileWindow.h"
#include "platform/AutomationError.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace q7::app;

namespace {

QString writeFile(const QTemporaryDir& dir, const QByteArray& bytes)
{
    const QString path = dir.filePath(QStringLiteral("f.csv"));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
    return path;
}

struct Read {
    QList<CsvRecord> records;
    QList<qsizetype> ends; // where each record's reading stopped
    QString error;
};

Read readWhole(const QByteArray& text)
{
    Read read;
    CsvReader reader(text);
    try {
        for (CsvRecord record; reader.next(record);) {
            read.records.append(record);
            read.ends.append(reader.position().offset);
        }
    } catch (const q7::AutomationError& error) {
        read.error = error.description();
    }
    return read;
}

Read readWindowed(const QString& path, qsizetype window)
{
    Read read;
    FileWindow file(path, window);
    CsvReader::Position at;
    try {
        for (CsvRecord record; nextRecord(file, at, record);) {
            read.records.append(record);
            read.ends.append(at.offset);
        }
    } catch (const q7::AutomationError& error) {
        read.error = error.description();
    }
    return read;
}

TEST(FileWindow, RecordsAreThoseOfTheWholeTextWhereverTheWindowEnds)
{
    const QList<QByteArray> texts{
        "a,b,c\n1,2,3\n",
        "a,b\r\n1,2\r\n\r\n3,4", // CRLF, a blank line, no line end at the end
        "h\n\"x\ny\",\"say \"\"hi\"\"\"\n\"\",\n",
        "h,r\n1,\"" + QByteArray(300, 'x') + "\"\n2," + QByteArray(250, 'y') + "\n", // records longer than the window
        "h\n\xe8\xaf\x95\xe5\x88\xb6,\xe4\xb8\xbb\n", // UTF-8 cut anywhere
        "h\n\"open\n", // unclosed quote at the end: the same error however it is read
        "h\n\"a\"b\n", // text after a closing quote
        "\n\n\nh\n",
    };
    QTemporaryDir dir;
    for (const QByteArray& text : texts) {
        const Read whole = readWhole(text);
        const QString path = writeFile(dir, text);
        for (qsizetype window = 1; window <= text.size() + 1; ++window) {
            const Read windowed = readWindowed(path, window);
            SCOPED_TRACE(text.left(20).toStdString() + " window " + std::to_string(window));
            ASSERT_EQ(windowed.records.size(), whole.records.size());
            for (qsizetype r = 0; r < whole.records.size(); ++r) {
                EXPECT_EQ(windowed.records[r].line, whole.records[r].line);
                EXPECT_EQ(windowed.records[r].fields, whole.records[r].fields);
                EXPECT_EQ(windowed.ends[r], whole.ends[r]);
            }
            EXPECT_EQ(windowed.error, whole.error);
        }
    }
}

TEST(FileWindow, SpansAreReadAsTheFileHoldsThem)
{
    QTemporaryDir dir;
    const QByteArray text = "0123456789abcdefghij";
    FileWindow file(writeFile(dir, text), 4);
    ASSERT_TRUE(file.isOpen());
    const QList<std::pair<qsizetype, qsizetype>> spans{{12, 5}, {0, 3}, {18, 10}, {13, 2}, {20, 1}, {5, 0}};
    for (const auto& [offset, length] : spans)
        EXPECT_EQ(file.span(offset, length).first(std::min(length, text.size() - offset)).toByteArray(), text.mid(offset, length)) << offset;
    EXPECT_TRUE(file.from(20).isEmpty());
}

TEST(FileWindow, AFileShortenedOrRewrittenWhileReadIsNoticed)
{
    QTemporaryDir dir;
    const QString path = writeFile(dir, QByteArray(100, 'a'));
    FileWindow file(path, 10);
    ASSERT_TRUE(file.isOpen());
    EXPECT_EQ(file.from(0).size(), 10);
    EXPECT_TRUE(file.unchanged());
    QFile::resize(path, 40);
    EXPECT_THROW(file.from(50), FileChanged); // past the new end
    EXPECT_FALSE(file.unchanged());

    const QString same = writeFile(dir, QByteArray(100, 'a'));
    FileWindow again(same, 10);
    QFile rewrite(same);
    ASSERT_TRUE(rewrite.open(QIODevice::ReadWrite));
    rewrite.write(QByteArray(100, 'b'));
    rewrite.flush();
    ASSERT_TRUE(rewrite.setFileTime(QDateTime::currentDateTime().addSecs(5), QFileDevice::FileModificationTime));
    rewrite.close();
    EXPECT_FALSE(again.unchanged()); // same size, written again
}

TEST(FileWindow, WhatCannotBeReadAsAFileIsNotOpen)
{
    EXPECT_FALSE(FileWindow(QStringLiteral("/nonexistent/f.csv")).isOpen());
    QTemporaryDir dir;
    EXPECT_FALSE(FileWindow(dir.path()).isOpen()); // a directory
}

} // namespace
