// docs/diagnostics.md must be what the catalogue and the repair registry render today, and the
// renderer must refuse a registry source that does not match the built registry, or a row that does
// not say what its repair changes.
#include "tools/DiagnosticsDoc.h"

#include "framework/CDICErrors.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace {

std::string ReadSource(const std::string& relative)
{
    std::ifstream in(std::string(KRAVIK_SOURCE_DIR) + "/" + relative, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The first line where the two texts part, for the failure message.
std::string FirstDifference(const std::string& want, const std::string& got)
{
    std::istringstream w(want), g(got);
    std::string a, b;
    for (int line = 1;; ++line)
    {
        const bool moreW = static_cast<bool>(std::getline(w, a)), moreG = static_cast<bool>(std::getline(g, b));
        if (!moreW && !moreG)
            return "line ends differ";
        if (moreW != moreG || a != b)
            return "line " + std::to_string(line) + ":\n  current:    " + (moreW ? a : "<end>") + "\n  checked in: "
                + (moreG ? b : "<end>");
    }
}

TEST(DiagnosticsDocTest, CheckedInFileIsCurrent)
{
    const std::string current = KravikDocs::RenderDiagnosticsDoc(
        ReadSource("framework/CDICErrors.h"), ReadSource("framework/FixRegistry.cpp"), KravikDocs::BuiltRepairRegistry());
    const std::string checkedIn = ReadSource("docs/diagnostics.md");
    EXPECT_TRUE(current == checkedIn) << "docs/diagnostics.md is stale; regenerate it with `"
                                      << KravikDocs::kRegenerateCommand << "` and commit it. First difference, "
                                      << FirstDifference(current, checkedIn);
}

// A registry source that names its rows, as framework/FixRegistry.cpp does, with one row commented out
// and one that goes on over the next line.
const char kRegistrySource[] = R"(
    // {CDICErrors::T1_NODEFAULTNC, &CFixNetClass::AddDefaultNetClass, false, kAddDefaultNetClass},
    {CDICErrors::T23_FROMTOINVALID, &CFixNet::DeleteInvalidFromTo, false, kDeleteFromTo},
    {CDICErrors::T26_MISSINGLAYER, &CFixLayer::AddMissingZAxisLayer, true,
     "adds the layer"},
)";

TEST(DiagnosticsDocTest, RepairsComeFromTheRegistryRowsInForce)
{
    const std::string header = ReadSource("framework/CDICErrors.h");
    const std::string doc = KravikDocs::RenderDiagnosticsDoc(
        header, kRegistrySource,
        {{CDICErrors::T23_FROMTOINVALID, false, "deletes the from-to | its constraints"},
         {CDICErrors::T26_MISSINGLAYER, true, "adds the layer"}});
    EXPECT_NE(std::string::npos, doc.find("`T23_FROMTOINVALID` | ERROR |")) << doc;
    EXPECT_NE(std::string::npos, doc.find(" | `CFixNet::DeleteInvalidFromTo` | deletes the from-to \\| its constraints |\n"));
    EXPECT_NE(std::string::npos, doc.find(" | `CFixLayer::AddMissingZAxisLayer` (also on the back end) | adds the layer |\n"));
    const size_t unrepaired = doc.find("\n| 2311 | `T23_FROMTODUPLICATEDINPHYSNET` |");
    ASSERT_NE(std::string::npos, unrepaired);
    const size_t end = doc.find('\n', unrepaired + 1);
    EXPECT_EQ(" | - | - |", doc.substr(end - 10, 10)) << "a code without a repair fills both columns";
    EXPECT_EQ(std::string::npos, doc.find("AddDefaultNetClass")) << "a commented-out row registers nothing";

    const std::vector<std::vector<KravikDocs::RepairRow>> mismatches = {
        {{CDICErrors::T23_FROMTOINVALID, false, "x"}},                                           // a row too few
        {{CDICErrors::T26_MISSINGLAYER, true, "x"}, {CDICErrors::T23_FROMTOINVALID, false, "x"}},   // another order
        {{CDICErrors::T23_FROMTOINVALID, false, "x"}, {CDICErrors::T26_MISSINGLAYER, false, "x"}},  // back-end flag
        {{CDICErrors::T23_FROMTOINVALID, false, "x"}, {CDICErrors::T26_MISSINGLAYER, true, ""}},    // no change said
    };
    for (const auto& registry : mismatches)
        EXPECT_THROW(KravikDocs::RenderDiagnosticsDoc(header, kRegistrySource, registry), std::runtime_error);
}

} // namespace
