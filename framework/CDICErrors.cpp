#include "framework/CDICErrors.h"

#include <iterator>
#include <stdexcept>
#include <utility>

namespace
{

const std::pair<unsigned, CDICErrors::ErrorCase> kErrorTable[] = {
#include "framework/CDICErrorsTable.inc"
};

} // namespace

const std::map<unsigned, CDICErrors::ErrorCase>& CDICErrors::errorMap()
{
    // Built once, on the first lookup from whichever thread; the language
    // guarantees other threads wait until it is complete.
    static const std::map<unsigned, ErrorCase> s_mapErrors(std::begin(kErrorTable), std::end(kErrorTable));
    return s_mapErrors;
}

const CDICErrors::ErrorCase* CDICErrors::find(unsigned code)
{
    const std::map<unsigned, ErrorCase>& errors = errorMap();
    auto it = errors.find(code);
    return it == errors.end() ? nullptr : &it->second;
}

void CDICErrors::InitErrorMap()
{
    errorMap();
}

const char* CDICErrors::GetInText(unsigned code)
{
    const ErrorCase* record = find(code);
    return record ? record->inText : nullptr;
}

const char* CDICErrors::GetOutText(unsigned code)
{
    const ErrorCase* record = find(code);
    return record ? record->outText : nullptr;
}

int CDICErrors::GetOutLogging(unsigned code)
{
    const ErrorCase* record = find(code);
    return record ? record->outLogging : 0;
}

int CDICErrors::GetNumArgs(unsigned code)
{
    const ErrorCase* record = find(code);
    return record ? record->numArgs : 0;
}

DICSeverity CDICErrors::GetSeverity(unsigned code)
{
    const ErrorCase* record = find(code);
    return record ? record->severity : DIC_NONE;
}

const CDICErrors::ErrorCase& CDICErrors::GetErrorCase(unsigned code)
{
    const ErrorCase* record = find(code);
    if (!record)
        throw std::runtime_error("Cannot find error description!");
    return *record;
}
