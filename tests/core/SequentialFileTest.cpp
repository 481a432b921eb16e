#include "core/SequentialFile.h"

#include <gtest/gtest.h>

using namespace core;

TEST(SequentialWriter, writesTheNotation) {
    SequentialWriter out;
    out.field(QString("\\Table.cat")).field(std::int32_t{-5}).field(200.0f).field(true);
    out.endRecord().field(0.5f).field(false).endRecord();
    EXPECT_EQ(out.bytes(), QByteArray("\"\\Table.cat\",-5,200,#TRUE#\r\n.5,#FALSE#\r\n"));

    // A quote or a line break would end the string when read back: left out.
    SequentialWriter text;
    text.field(QString("a \"b\"\r\nc")).field(1);
    EXPECT_EQ(text.bytes(), QByteArray("\"a bc\",1"));
}

TEST(SequentialReader, lineEndsOfEveryKindEndAField) {
    for (const char* data : {"1,2\r\n3\r\n", "1,2\n3\n", "1,2\r3\r", "1\r\n2\n3"}) {
        SequentialReader in(data);
        EXPECT_EQ(in.readLong(), 1) << data;
        EXPECT_EQ(in.readLong(), 2) << data;
        EXPECT_EQ(in.readLong(), 3) << data;
        EXPECT_TRUE(in.atEnd()) << data;
    }
}

TEST(SequentialReader, aFieldOfTheWrongTypeIsRefusedAndNotConsumed) {
    SequentialReader in("abc,\"5\",40000,3000000000,7\r\n");
    EXPECT_FALSE(in.readLong().has_value());
    EXPECT_EQ(in.readString(), "abc");
    EXPECT_FALSE(in.readLong().has_value()); // a quoted text is no number
    EXPECT_EQ(in.readString(), "5");
    EXPECT_FALSE(in.readInteger().has_value()); // beyond 16 bits
    EXPECT_EQ(in.readLong(), 40000);
    EXPECT_FALSE(in.readLong().has_value()); // beyond 32 bits
    EXPECT_EQ(in.readNumber(), 3000000000.0);
    EXPECT_EQ(in.line(), 1);
    EXPECT_EQ(in.readLong(), 7);
}

TEST(SequentialReader, damagedQuotingAndEmptyFields) {
    SequentialReader in("\"no closing quote\r\n\"x\"junk,,#true#,2.5\r\n");
    EXPECT_EQ(in.readString(), "no closing quote");
    EXPECT_EQ(in.readString(), "x");
    EXPECT_EQ(in.readLong(), 0); // an empty field is 0
    EXPECT_EQ(in.readBoolean(), true);
    EXPECT_EQ(in.readLong(), 2); // halves to even
    EXPECT_EQ(in.line(), 3);
}
