#include "tests/rules/CMigrationChecker.h"

CMigrationChecker::CMigrationChecker() = default;

CMigrationChecker::~CMigrationChecker() = default;

std::string CMigrationChecker::getTestDescription() const
{
    return "Test checks migration status";
}

std::string CMigrationChecker::getTestName() const
{
    return "Migration status";
}

std::string CMigrationChecker::getTestShortName() const
{
    return "MigrationStatus";
}

TestStatus CMigrationChecker::runTest(bool)
{
    raiseStatus(TESTING);
    m_statusString.clear();

    // The holder is emptied before each read, so an attribute that cannot be read is empty and
    // never carries the text of the attribute before it.
    Lumo::String value;
    auto read = [&](const char* attribute) {
        value = Lumo::String();
        m_snapshot->GetAttribute(attribute, value);
        return value.str();
    };
    const std::string status = read("NORV_MIGRATION_STATUS");
    const std::string log = read("NORV_MIGRATION_LOG");
    const std::string date = read("NORV_MIGRATION_DATE");

    if (!log.empty())
        raiseError(CDICErrors::T56_MIGRATIONLOGFILENAME, log);
    if (!date.empty())
        raiseError(CDICErrors::T56_MIGRATIONDATE, date);
    if (!status.empty() && status.substr(0, status.find(':')) != "0")
        return raiseError(CDICErrors::T56_MIGRATIONPROCESSFAILEDSTATUS, status);

    raiseError(CDICErrors::T56_MIGRATIONPROCESSSUCCEEDED);
    raiseStatus(OK);
    return m_status;
}
