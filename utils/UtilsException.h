// UtilsException: the exception the utility library's thread and lock classes throw (by value).
// A numbered code with a fixed name and description, plus a free-form message.
// A plain value type; safe to copy across threads.
#pragma once

#include <string>

namespace LumoUtils {

class UtilsException {
public:
    enum Code {
        NoError = 0,
        Unknown = 1,
        NoMemory = 2,
        NoMutex = 3,
        MutexLockFailed = 4,
        MutexOperationFailed = 5,
        NoSemaphore = 6,
        SemaphoreWaitFailed = 7,
        SemaphorePostFailed = 8,
        SemaphoreOperationFailed = 9,
        NoThread = 10,
        ThreadWaitFailed = 11
    };

    explicit UtilsException(int code);
    UtilsException(int code, const std::string& message);
    UtilsException(const UtilsException& other) = default;
    UtilsException& operator=(const UtilsException& other) = default;
    virtual ~UtilsException();

    virtual int getErrorCode() const;
    // The description of the code.
    virtual std::string getErrorString() const;
    virtual const std::string& getMessage() const;
    // "<description> (<message>)".
    virtual std::string getFullMessage() const;
    // "Utils Exception: Error[<code>,<name>] Message[<message>]".
    virtual std::string toString() const;

    // "INVALID" for a code outside 0..11.
    static const char* codeName(int code);
    static const char* codeDescription(int code);

private:
    int m_code;
    std::string m_message;
};

} // namespace LumoUtils
