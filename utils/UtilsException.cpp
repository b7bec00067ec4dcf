#include "utils/UtilsException.h"

#include <sstream>

namespace LumoUtils {

namespace {

struct CodeText {
    const char* name;
    const char* description;
};

const CodeText kCodeTexts[] = {
    {"NoError", "No error"},
    {"Unknown", "Unknown error"},
    {"NoMemory", "No memory available"},
    {"NoMutex", "No mutex available"},
    {"MutexLockFailed", "Could not lock mutex"},
    {"MutexOperationFailed", "Mutex operation failed"},
    {"NoSemaphore", "No semaphore available"},
    {"SemaphoreWaitFailed", "Could not wait for semaphore"},
    {"SemaphorePostFailed", "Could not post semaphore"},
    {"SemaphoreOperationFailed", "Semaphore operation failed"},
    {"NoThread", "No thread available"},
    {"ThreadWaitFailed", "Could not wait for thread finish"},
};

const CodeText* findCode(int code)
{
    const int count = static_cast<int>(sizeof(kCodeTexts) / sizeof(kCodeTexts[0]));
    return (code >= 0 && code < count) ? &kCodeTexts[code] : nullptr;
}

} // namespace

UtilsException::UtilsException(int code) : m_code(code) {}

UtilsException::UtilsException(int code, const std::string& message) : m_code(code), m_message(message) {}

UtilsException::~UtilsException() = default;

int UtilsException::getErrorCode() const
{
    return m_code;
}

std::string UtilsException::getErrorString() const
{
    return codeDescription(m_code);
}

const std::string& UtilsException::getMessage() const
{
    return m_message;
}

std::string UtilsException::getFullMessage() const
{
    return getErrorString() + " (" + getMessage() + ")";
}

std::string UtilsException::toString() const
{
    std::ostringstream out;
    out << "Utils Exception: Error[" << m_code << "," << codeName(m_code) << "] Message[" << m_message << "]";
    return out.str();
}

const char* UtilsException::codeName(int code)
{
    const CodeText* text = findCode(code);
    return text ? text->name : "INVALID";
}

const char* UtilsException::codeDescription(int code)
{
    const CodeText* text = findCode(code);
    return text ? text->description : "INVALID";
}

} // namespace LumoUtils
