// CPinNumVsPinName: the name of each Norv net pin equals the "Pin Number" attribute of its logical
// pin, cut at the first comma. Pins named "?", implicit power and no-connect pins, bus pins and
// logical pins on more than one net are left out. Family T4.
#pragma once

#include "framework/CNorvDetailChecker.h"

class CPinNumVsPinName : public CNorvDetailChecker
{
public:
    CPinNumVsPinName();
    ~CPinNumVsPinName() override;

    std::string getTestDescription() const override;
    std::string getTestName() const override;
    std::string getTestShortName() const override;
    TestStatus runTest(bool runArg) override;

private:
    // Compares one net pin with its logical pin; a failed read is raised and the walk goes on.
    void checkPin(const Lumo::IteratorT<const Lumo::INorvPin>& pin);
};
