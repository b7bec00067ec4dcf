// CTemplatesValid: checks the inside of each constraint template ("TOPOTMPL" generic component
// objects): every net of a topology template has an order type, a net that is not "Complex"
// holds no pin set whose pin names that net, such a pin has a pin net, and every pin set holds
// exactly one generic object with a pin-set type. Runs on the thread of the check; owns nothing.
#pragma once

#include "framework/CNorvDetailChecker.h"
#include "framework/PathGuard.h"

#include <string>

class CTemplatesValid : public CNorvDetailChecker
{
public:
    CTemplatesValid();
    ~CTemplatesValid() override;

    std::string getTestDescription() const override;
    std::string getTestName() const override;
    std::string getTestShortName() const override;
    TestStatus runTest(bool runArg) override;

    // Checks one template (a differential-pair template: each template it holds).
    void checkTemplate(const Lumo::ContainerT<const Lumo::INorvGenCompObj>& templ);
    // The text of the object's constraint of that name; false, value unchanged, when it cannot be read.
    bool getConstraintValue(const Lumo::IObjectNorv* object, const char* name, std::string& value);

private:
    void checkTopologyTemplate(const Lumo::ContainerT<const Lumo::INorvGenCompObj>& templ, const Lumo::Index& index,
                               const Lumo::String& name);

    // Templates being checked on the current path of differential-pair templates, so a template
    // that contains itself ends.
    PathGuard m_templatePath;
};
