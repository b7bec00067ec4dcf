// Writes docs/diagnostics.md: `gen_diagnostics_doc SOURCE_DIR OUTPUT` reads the code names from
// SOURCE_DIR/framework/CDICErrors.h and the repair names from SOURCE_DIR/framework/FixRegistry.cpp
// and renders them with the built catalogue and registry.
#include "tools/DiagnosticsDoc.h"

#include <exception>
#include <fstream>
#include <iostream>
#include <sstream>

namespace {

std::string ReadText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3)
    {
        std::cerr << "usage: gen_diagnostics_doc SOURCE_DIR OUTPUT\n";
        return 2;
    }
    try
    {
        const std::string source = argv[1];
        const std::string doc = KravikDocs::RenderDiagnosticsDoc(ReadText(source + "/framework/CDICErrors.h"),
                                                                 ReadText(source + "/framework/FixRegistry.cpp"),
                                                                 KravikDocs::BuiltRepairRegistry());
        std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
        out << doc;
        if (!out.flush())
            throw std::runtime_error(std::string("cannot write ") + argv[2]);
    }
    catch (const std::exception& e)
    {
        std::cerr << "gen_diagnostics_doc: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
