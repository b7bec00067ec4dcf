#include "utils/UtilsException.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using LumoUtils::UtilsException;

TEST(UtilsExceptionTest, CodeNamesAndDescriptions)
{
    struct Row {
        int code;
        const char* name;
        const char* description;
    };
    const Row rows[] = {
        {0, "NoError", "No error"},
        {1, "Unknown", "Unknown error"},
        {2, "NoMemory", "No memory available"},
        {3, "NoMutex", "No mutex available"},
        {4, "MutexLockFailed", "Could not lock mutex"},
        {5, "MutexOperationFailed", "Mutex operation failed"},
        {6, "NoSemaphore", "No semaphore available"},
        {7, "SemaphoreWaitFailed", "Could not wait for semaphore"},
        {8, "SemaphorePostFailed", "Could not post semaphore"},
        {9, "SemaphoreOperationFailed", "Semaphore operation failed"},
        {10, "NoThread", "No thread available"},
        {11, "ThreadWaitFailed", "Could not wait for thread finish"},
        {12, "INVALID", "INVALID"},
        {-1, "INVALID", "INVALID"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.code);
        EXPECT_STREQ(row.name, UtilsException::codeName(row.code));
        EXPECT_STREQ(row.description, UtilsException::codeDescription(row.code));
        EXPECT_EQ(row.description, UtilsException(row.code).getErrorString());
    }
}

TEST(UtilsExceptionTest, ToStringWithEmptyMessage)
{
    UtilsException e(10);
    EXPECT_EQ(10, e.getErrorCode());
    EXPECT_EQ("", e.getMessage());
    EXPECT_EQ("Utils Exception: Error[10,NoThread] Message[]", e.toString());
}

TEST(UtilsExceptionTest, FullMessageJoinsDescriptionAndMessage)
{
    UtilsException e(2, "Could not create mutex");
    EXPECT_EQ("No memory available (Could not create mutex)", e.getFullMessage());
    EXPECT_EQ("Utils Exception: Error[2,NoMemory] Message[Could not create mutex]", e.toString());
}

TEST(UtilsExceptionTest, CopyKeepsCodeAndMessage)
{
    const UtilsException original(11, "wait");
    UtilsException copy(original);
    EXPECT_EQ(11, copy.getErrorCode());
    EXPECT_EQ("wait", copy.getMessage());
}

// getFullMessage goes through the overridable accessors.
class RewordedException : public UtilsException {
public:
    RewordedException() : UtilsException(1, "ignored") {}
    std::string getErrorString() const override { return "Custom"; }
    const std::string& getMessage() const override { return m_text; }

private:
    std::string m_text = "detail";
};

TEST(UtilsExceptionTest, FullMessageUsesOverriddenAccessors)
{
    RewordedException e;
    const UtilsException& base = e;
    EXPECT_EQ("Custom (detail)", base.getFullMessage());
}

} // namespace
