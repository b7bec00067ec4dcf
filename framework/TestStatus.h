// The status of one test. The values are ordered: a test's status is only ever raised, so the
// highest status reached during a run is the one reported.
#pragma once

enum TestStatus
{
    NOT_TESTED = 0,
    TESTING = 1,
    OK = 2,
    WARNINGS = 3,
    FAILED = 4
};
