// Loading the PostgreSQL client library when a shared database is first named: a library that is
// missing, or that lacks a function the records use, is refused with its name and the reason.
#include <gtest/gtest.h>

#include <string>

#include "records/libpq_library.h"

namespace {

TEST(LibPqLibrary, AMissingOrForeignLibraryIsRefusedWithItsNameAndTheReason) {
    std::string error;
    EXPECT_FALSE(records::LoadLibPqFrom("libmarlinq-test-none.so.5", &error).has_value());
    EXPECT_EQ(error.rfind("cannot load libmarlinq-test-none.so.5 (the PostgreSQL client library, package "
                          "libpq5): ",
                          0),
              0u)
        << error;

    // The C library loads, but holds none of the client's functions.
    error.clear();
    EXPECT_FALSE(records::LoadLibPqFrom("libc.so.6", &error).has_value());
    EXPECT_EQ(error, "libc.so.6 has no PQconnectStartParams");
}

TEST(LibPqLibrary, TheClientLibraryIsLoadedOnceWithEveryFunction) {
    std::string error;
    const records::LibPq* first = records::LoadLibPq(&error);
    ASSERT_NE(first, nullptr) << error;
    EXPECT_TRUE(error.empty());
    EXPECT_EQ(records::LoadLibPq(&error), first);
    EXPECT_NE(first->connectStartParams, nullptr);
    EXPECT_NE(first->connectPoll, nullptr);
    EXPECT_NE(first->freemem, nullptr);
    // A connection string it cannot read comes back as its reason, through the loaded library.
    char* why = nullptr;
    EXPECT_EQ(first->conninfoParse("host", &why), nullptr);
    EXPECT_NE(why, nullptr);
    first->freemem(why);
}

}  // namespace
