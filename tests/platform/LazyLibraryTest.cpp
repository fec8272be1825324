// Libraries opened on first use: a function found, a missing function or
// library told by name.
#include "platform/LazyLibrary.h"

#include <sqlite3.h>

#include <gtest/gtest.h>

TEST(LazyLibrary, FindsFunctionsAndTellsWhatIsMissing)
{
    const struct {
        const char* library;
        const char* function;
        bool found;
        const char* errorHolds;
    } cases[] = {
        {"libsqlite3.so.0", "sqlite3_libversion_number", true, ""},
        {"libsqlite3.so.0", "sqlite3_no_such_function", false, "sqlite3_no_such_function"},
        {"libq7-no-such-library.so.1", "sqlite3_libversion_number", false, "libq7-no-such-library.so.1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.library) + " " + c.function);
        q7::LazyLibrary library(c.library);
        using Version = int();
        Version* const function = library.function<Version>(c.function);
        EXPECT_EQ(function != nullptr, c.found);
        if (function) {
            EXPECT_EQ(function(), sqlite3_libversion_number()); // the library the program links, not a second copy
        }
        EXPECT_TRUE(library.error().contains(QString::fromLatin1(c.errorHolds))) << library.error().toStdString();
    }
}

TEST(LazyLibrary, AMissingLibraryStaysMissingOnLaterCalls)
{
    q7::LazyLibrary library("libq7-no-such-library.so.1");
    EXPECT_EQ(library.function<void()>("first"), nullptr);
    EXPECT_EQ(library.function<void()>("second"), nullptr);
    EXPECT_TRUE(library.error().contains(QLatin1String("libq7-no-such-library.so.1")));
}

TEST(LazyLibrary, TakeFillsEverySlotAndKeepsTheLastMissingName)
{
    q7::LazyLibrary library("libsqlite3.so.0");
    int (*version)() = nullptr;
    const char* (*missing)() = reinterpret_cast<const char* (*)()>(&sqlite3_libversion);
    library.take(version, "sqlite3_libversion_number");
    EXPECT_TRUE(library.error().isEmpty());
    library.take(missing, "sqlite3_gone");
    ASSERT_NE(version, nullptr);
    EXPECT_EQ(version(), sqlite3_libversion_number());
    EXPECT_EQ(missing, nullptr); // overwritten, not left as it was
    EXPECT_TRUE(library.error().contains(QLatin1String("sqlite3_gone")));
}
