#include "framework/CNorvInitTest.h"

Lumo::BitContainerT<Lumo::ESearchParams> CombineSearchParamsV(Lumo::ESearchParams a, Lumo::ESearchParams b)
{
    Lumo::BitContainerT<Lumo::ESearchParams> params(a);
    params |= b;
    return params;
}

std::string CNorvInitTest::getTestDescription() const
{
    return "Test checks if NORV database is correctly initialized";
}

std::string CNorvInitTest::getTestName() const
{
    return "NORV database initialization";
}

std::string CNorvInitTest::getTestShortName() const
{
    return "InitializationTest";
}

TestStatus CNorvInitTest::runTest(bool /*runArg*/)
{
    raiseStatus(OK);
    m_statusString.clear();

    Lumo::ContainerT<const Lumo::INorvConfig> config;
    if (!m_snapshot->GetNorvConfig(config, Lumo::String(m_topBlockName)) || !config->IsValid())
        return raiseError(CDICErrors::T1_NOCONFIGFORTOP, m_topBlockName);

    Lumo::ContainerT<const Lumo::INorvDesign> design;
    if (!config->GetNorvDesign(design))
        return raiseError(CDICErrors::T1_NODESIGN);

    const Lumo::BitContainerT<Lumo::ESearchParams> params =
        CombineSearchParamsV(static_cast<Lumo::ESearchParams>(5), static_cast<Lumo::ESearchParams>(0));

    // Each search starts from an empty list, so that it sees only its own matches.
    Lumo::ListT<Lumo::NorvObjectInfo> found;
    auto reportIfNone = [&](unsigned code) {
        if (found.Count() == 0)
            raiseError(code);
        found.RemoveAll();
    };
    found.RemoveAll();
    design->FindConstraintClass(found, "(All)", params);
    reportIfNone(CDICErrors::T1_NOALLCC);
    design->FindNetClass(found, "(Default)", params);
    reportIfNone(CDICErrors::T1_NODEFAULTNC);
    design->FindScheme(found, "(Master)", params);
    reportIfNone(CDICErrors::T1_NOMASTERSCHEME);
    design->FindScheme(found, "(Minimum)", params);
    reportIfNone(CDICErrors::T1_NOMINIMUMSCHEME);
    design->FindClearRule(found, "(Default Rule)", params);
    reportIfNone(CDICErrors::T1_NODEFAULTCR);

    Lumo::ContainerT<const Lumo::INorvGenClear> genClear;
    if (!design->GetNorvGenClear(genClear))
        raiseError(CDICErrors::T1_NOGENCLEAR);

    return m_status;
}
