// Writes a synthetic design file of a given size, optionally with seeded defects.
//
//   gen_design --pins 100000 --seed 7 --defect-rate 0.02 --out design.json
//
// Prints what the file holds (counts and defects per kind) on standard error.

#include "bench/DesignGenerator.h"

#include <CLI/CLI.hpp>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <memory>

int main(int argc, char** argv)
{
    kravik_bench::DesignOptions options;
    std::string outPath;
    CLI::App app{"Generate a synthetic design file in the kravik-design JSON format"};
    app.add_option("-n,--pins", options.pins, "number of component pins (at least 2)")->capture_default_str();
    app.add_option("-s,--seed", options.seed, "random seed")->capture_default_str();
    app.add_option("-d,--defect-rate", options.defectRate, "share of physical nets with one seeded defect")
        ->check(CLI::Range(0.0, 1.0))
        ->capture_default_str();
    app.add_option("--scheme-defect-rate", options.schemeDefectRate,
                   "share of scheme rules (net-class, clearance and layer rules) left out")
        ->check(CLI::Range(0.0, 1.0))
        ->capture_default_str();
    app.add_option("-o,--out", outPath, "output file ('-' for standard output)")->required();
    app.add_option("--pins-per-net", options.avgPinsPerNet, "mean pins per physical net")
        ->check(CLI::Range(2.0, 200.0))
        ->capture_default_str();
    app.add_option("--layers", options.layers, "metallic layers")->check(CLI::Range(1, 1000000))->capture_default_str();
    app.add_option("--net-classes", options.netClasses, "net classes besides (Default); 0 = by size")
        ->check(CLI::Range(0, 100000))
        ->capture_default_str();
    app.add_option("--schemes", options.schemes, "schemes, (Master) and (Minimum) included")
        ->check(CLI::Range(2, 1000))
        ->capture_default_str();
    app.add_option("--diff-pair-rate", options.diffPairRate, "share of electrical nets in differential pairs")
        ->check(CLI::Range(0.0, 1.0))
        ->capture_default_str();
    CLI11_PARSE(app, argc, argv);
    if (options.pins < 2) {
        std::cerr << "gen_design: --pins must be at least 2\n";
        return 2;
    }

    std::unique_ptr<std::ofstream> file;
    std::ostream* out = &std::cout;
    static char buffer[1 << 20];
    if (outPath != "-") {
        file.reset(new std::ofstream);
        file->rdbuf()->pubsetbuf(buffer, sizeof buffer);
        file->open(outPath, std::ios::binary | std::ios::trunc);
        if (!*file) {
            std::cerr << "gen_design: cannot create '" << outPath << "'\n";
            return 1;
        }
        out = file.get();
    }
    const kravik_bench::DesignStats stats = kravik_bench::GenerateDesign(options, *out);
    out->flush();
    if (file)
        file->close();
    if (!*out || (file && file->fail())) {
        std::cerr << "gen_design: write error on '" << outPath << "'\n";
        return 1;
    }

    std::cerr << "pins " << stats.pins << ", design pins " << stats.designPins << ", components " << stats.comps
              << ", parts " << stats.parts << " (" << stats.partPins << " part pins)\n"
              << "physical nets " << stats.physicalNets << ", electrical nets " << stats.electricalNets
              << ", diff pairs " << stats.diffPairs << ", pin pairs " << stats.pinPairs << ", from-tos "
              << stats.fromTos << "\n"
              << "net classes " << stats.netClasses << ", constraint classes " << stats.constraintClasses
              << ", clearance rules " << stats.clearRules << ", schemes " << stats.schemes << ", layers "
              << stats.layers << "\n"
              << "bytes " << stats.bytes << "\n";
    for (const auto& d : stats.defects) {
        if (d.second)
            std::cerr << "defect " << d.first << ": " << d.second << "\n";
    }
    for (const auto& d : stats.schemeDefects)
        std::cerr << "scheme defect " << d.first << ": " << d.second << "\n";
    // What `kravik check` with hidden tests on reports, with and without the full constraints file.
    for (bool constraintsFile : {false, true}) {
        std::cerr << (constraintsFile ? "findings with examples/constraints-full.json:" : "findings without constraints:");
        for (const auto& finding : kravik_bench::ExpectedFindings(stats.defects, constraintsFile))
            std::cerr << " " << finding.first << " x" << finding.second << ";";
        std::cerr << "\n";
    }
    return 0;
}
