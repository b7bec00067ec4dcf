// CTemplatesUnique: checks the constraint templates (generic component objects of the type
// "TOPOTMPL"): readable names and indexes, valid characters, no two templates of one name, and no
// electrical net or differential pair naming a template that does not exist.
// Runs on the thread of the check; owns nothing.
#pragma once

#include "framework/CNorvDetailChecker.h"

#include <string>
#include <unordered_map>

class CTemplatesUnique : public CNorvDetailChecker
{
public:
    CTemplatesUnique();
    ~CTemplatesUnique() override;

    std::string getTestDescription() const override;
    std::string getTestName() const override;
    std::string getTestShortName() const override;
    TestStatus runTest(bool runArg) override;

    // The text of the object's constraint of that name; false, value unchanged, when it cannot be read.
    bool getConstraintValue(const Lumo::IObjectNorv* object, const char* name, std::string& value);

private:
    using TemplateMap = std::unordered_map<std::string, Lumo::Index>;

    // Checks the templates of the type and the nets and pairs naming them; false when a failed
    // read ended the test.
    bool checkTemplates(const Lumo::ContainerT<const Lumo::INorvGenObjType>& type);
    template <class T>
    bool checkReferences(Lumo::Result queried, Lumo::IteratorT<const T>& objects, const TemplateMap& templates,
                         unsigned iterCode, unsigned indexCode, unsigned nameCode, unsigned missingCode);
};
