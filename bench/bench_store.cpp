// Store benchmark: load, save and one full walk of a synthetic design through the
// product-facing interface, at several sizes, against a bare JSON parse of the
// same file. Each measurement runs in its own child process, so that its peak
// memory is its own.
//
//   bench_store                          # 10k, 100k and 1M pins
//   bench_store --pins 10000,100000 --defect-rate 0.02 --dir /tmp
//   bench_store --file design.json       # an existing design instead of a generated one
//   bench_store --pins 1000000 --only load   # load and walk in this process (for a profiler)

#include "bench/DesignGenerator.h"
#include "bench/StoreWalk.h"

#include "framework/CNorvProjectChecker.h"
#include "framework/CTestLog.h"

#include "lumopi/LumoPI.h"
#include "lumopi/StandIn.h"

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <fcntl.h>
#include <malloc.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using Results = std::map<std::string, double>;

double Seconds(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double>(to - from).count();
}

// Bytes the allocator has handed out and not yet taken back.
double HeapInUse()
{
    struct mallinfo2 info = mallinfo2();
    return static_cast<double>(info.uordblks + info.hblkhd);
}

double ResidentBytes()
{
    long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE));
}

double PeakResidentBytes()
{
    struct rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) * 1024.0;
}

// CPU time of this process so far, less sensitive than wall time to other work on the machine.
double CpuSeconds()
{
    struct rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double FileBytes(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 ? static_cast<double>(st.st_size) : 0.0;
}

bool ReadWholeFile(const std::string& path, std::string& text)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return static_cast<bool>(in) || in.eof();
}

// How often a measurement runs: at least `least` times, and a short one again until all its runs together
// took `minSeconds` of wall time (at most `most` runs). A measurement of a few tenths of a second swings by
// half between runs on a shared machine; the least of many is the one least disturbed by other work.
struct Repeats {
    int least = 1;
    double minSeconds = 3.0;
    int most = 30;
};

// Repeated measurements: the least of each time ("..._s"), the first run's other figures.
Results Best(const std::function<Results()>& measure, const Repeats& repeats)
{
    const auto start = Clock::now();
    Results best = measure();
    for (int run = 1; run < repeats.most; ++run) {
        if (run >= repeats.least && Seconds(start, Clock::now()) >= repeats.minSeconds)
            break;
        const Results again = measure();
        for (auto& kv : best) {
            const std::string& key = kv.first;
            auto it = again.find(key);
            if (it != again.end() && key.size() > 2 && key.compare(key.size() - 2, 2, "_s") == 0)
                kv.second = std::min(kv.second, it->second);
        }
    }
    return best;
}

// Runs `measure` in a child process and returns what it reported.
Results InChild(const std::function<Results()>& measure)
{
    int fds[2];
    if (pipe(fds) != 0) {
        std::perror("pipe");
        return {};
    }
    std::cout.flush();
    pid_t pid = fork();
    if (pid < 0) {
        std::perror("fork");
        return {};
    }
    if (pid == 0) {
        close(fds[0]);
        Results r = measure();
        std::ostringstream out;
        out.precision(17);
        for (const auto& kv : r)
            out << kv.first << ' ' << kv.second << '\n';
        const std::string text = out.str();
        size_t done = 0;
        while (done < text.size()) {
            ssize_t n = write(fds[1], text.data() + done, text.size() - done);
            if (n <= 0)
                break;
            done += static_cast<size_t>(n);
        }
        close(fds[1]);
        _exit(0);
    }
    close(fds[1]);
    std::string text;
    char buffer[4096];
    ssize_t n;
    while ((n = read(fds[0], buffer, sizeof buffer)) > 0)
        text.append(buffer, static_cast<size_t>(n));
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        std::cerr << "bench_store: a measurement process failed\n";
    Results r;
    std::istringstream in(text);
    std::string key;
    double value;
    while (in >> key >> value)
        r[key] = value;
    return r;
}

// A SAX consumer that keeps nothing: the cost of the tokenizer alone.
struct NullSax : nlohmann::json_sax<nlohmann::json>
{
    bool null() override { return true; }
    bool boolean(bool) override { return true; }
    bool number_integer(number_integer_t) override { return true; }
    bool number_unsigned(number_unsigned_t) override { return true; }
    bool number_float(number_float_t, const string_t&) override { return true; }
    bool string(string_t&) override { return true; }
    bool binary(binary_t&) override { return true; }
    bool start_object(std::size_t) override { return true; }
    bool key(string_t&) override { return true; }
    bool end_object() override { return true; }
    bool start_array(std::size_t) override { return true; }
    bool end_array() override { return true; }
    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) override { return false; }
};

Results MeasureParse(const std::string& path)
{
    Results r;
    const double rss0 = ResidentBytes();
    const double heap0 = HeapInUse();
    const double cpu0 = CpuSeconds();
    auto t0 = Clock::now();
    std::string text;
    if (!ReadWholeFile(path, text)) {
        std::cerr << "bench_store: cannot read " << path << "\n";
        return r;
    }
    auto t1 = Clock::now();
    {
        nlohmann::ordered_json doc = nlohmann::ordered_json::parse(text);
        auto t2 = Clock::now();
        r["read_s"] = Seconds(t0, t1);
        r["parse_ordered_s"] = Seconds(t1, t2);
        r["parse_ordered_cpu_s"] = CpuSeconds() - cpu0;
        r["dom_heap_bytes"] = HeapInUse() - heap0 - static_cast<double>(text.capacity());
    }
    {
        auto t2 = Clock::now();
        nlohmann::json doc = nlohmann::json::parse(text);
        r["parse_plain_s"] = Seconds(t2, Clock::now());
    }
    {
        NullSax sax;
        auto t2 = Clock::now();
        nlohmann::json::sax_parse(text, &sax);
        r["parse_sax_s"] = Seconds(t2, Clock::now());
    }
    r["parse_peak_bytes"] = PeakResidentBytes() - rss0;
    return r;
}

void PutWalk(Results& r, const char* prefix, const kravik_bench::WalkCounts& w)
{
    const std::string p = prefix;
    r[p + "objects"] = static_cast<double>(w.objects);
    r[p + "own_constraints"] = static_cast<double>(w.ownConstraints);
    r[p + "inherited"] = static_cast<double>(w.inherited);
    r[p + "references"] = static_cast<double>(w.references);
    r[p + "memberships"] = static_cast<double>(w.memberships);
    r[p + "failures"] = static_cast<double>(w.failures);
}

// Load, walk and (when `savePath` is given) save; the store's heap is measured after the load.
Results MeasureLoad(const std::string& path, const std::string& savePath)
{
    Results r;
    malloc_trim(0);
    const double rss0 = ResidentBytes();
    const double heap0 = HeapInUse();
    const double cpu0 = CpuSeconds();
    auto t0 = Clock::now();
    Lumo::StandIn::LoadError error;
    std::unique_ptr<Lumo::LumoPI> session = Lumo::StandIn::LoadSession(path, &error);
    auto t1 = Clock::now();
    if (!session) {
        std::cerr << "bench_store: cannot load " << path << ": " << error.path << ": " << error.message << "\n";
        return r;
    }
    r["load_s"] = Seconds(t0, t1);
    r["load_cpu_s"] = CpuSeconds() - cpu0;
    r["load_peak_bytes"] = PeakResidentBytes() - rss0;
    malloc_trim(0);
    r["store_heap_bytes"] = HeapInUse() - heap0;
    r["store_rss_bytes"] = ResidentBytes() - rss0;

    kravik_bench::StoreWalk walk;
    const double cpu2 = CpuSeconds();
    auto t2 = Clock::now();
    kravik_bench::WalkCounts counts = walk.Run(*session, "main", "TOP");
    auto t3 = Clock::now();
    r["walk_s"] = Seconds(t2, t3);
    r["walk_cpu_s"] = CpuSeconds() - cpu2;
    PutWalk(r, "", counts);
    auto t4 = Clock::now();
    walk.Run(*session, "main", "TOP");
    r["walk2_s"] = Seconds(t4, Clock::now());

    if (!savePath.empty()) {
        const double peakBefore = PeakResidentBytes();
        auto t5 = Clock::now();
        Lumo::Result saved = Lumo::StandIn::SaveSession(*session, savePath, true);
        auto t6 = Clock::now();
        if (!saved)
            std::cerr << "bench_store: cannot save " << savePath << ": " << saved.GetDescription().c_str() << "\n";
        r["save_s"] = Seconds(t5, t6);
        r["save_peak_growth_bytes"] = PeakResidentBytes() - peakBefore;
        r["saved_file_bytes"] = FileBytes(savePath);
    }
    auto t7 = Clock::now();
    session.reset();
    r["free_s"] = Seconds(t7, Clock::now());
    return r;
}

// Loads the design, then times one full check (every registered test, hidden tests on, with the
// constraints file) on it; the load is not part of the time.
Results MeasureCheck(const std::string& path, const std::string& constraints)
{
    Results r;
    setenv("NORV_CIC_RUN_HIDDEN_TESTS", "1", 1);
    Lumo::StandIn::LoadError error;
    std::unique_ptr<Lumo::LumoPI> session = Lumo::StandIn::LoadSession(path, &error);
    if (!session) {
        std::cerr << "bench_store: cannot load " << path << ": " << error.path << ": " << error.message << "\n";
        return r;
    }
    Lumo::StandIn::Store& store = Lumo::StandIn::GetStore(*session);
    const std::string snapshot = store.SnapshotName();
    store.Select(snapshot);
    FILE* sink = std::fopen("/dev/null", "w");
    CTestLog log(sink, false);
    CNorvProjectChecker checker(session.get(), "TOP", &log, constraints, 1, 0, "", false, false, "bench_store", false);
    const double cpu0 = CpuSeconds();
    auto t0 = Clock::now();
    checker.Check_NorvLUMO(snapshot);
    r["check_s"] = Seconds(t0, Clock::now());
    r["check_cpu_s"] = CpuSeconds() - cpu0;
    r["check_tests"] = checker.GetTestCount();
    r["check_errors"] = checker.GetResult().errors;
    r["check_warnings"] = checker.GetResult().warnings;
    if (sink)
        std::fclose(sink);
    return r;
}

// Runs the kravik program on the design as a user would (hidden tests on, the constraints file, the
// log thrown away) and reads its peak resident memory and exit code from the finished process.
Results MeasureKravik(const std::string& kravik, const std::string& path, const std::string& constraints)
{
    Results r;
    std::cout.flush();
    auto t0 = Clock::now();
    pid_t pid = fork();
    if (pid < 0) {
        std::perror("fork");
        return r;
    }
    if (pid == 0) {
        setenv("NORV_CIC_RUN_HIDDEN_TESTS", "1", 1);
        const int null = open("/dev/null", O_WRONLY);
        if (null >= 0) {
            dup2(null, 1);
            dup2(null, 2);
        }
        execl(kravik.c_str(), kravik.c_str(), "check", path.c_str(), "--constraints", constraints.c_str(), "--log",
              "/dev/null", static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    struct rusage usage;
    if (wait4(pid, &status, 0, &usage) != pid)
        return r;
    r["kravik_s"] = Seconds(t0, Clock::now());
    r["kravik_exit"] = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r["kravik_peak_bytes"] = static_cast<double>(usage.ru_maxrss) * 1024.0;
    if (!WIFEXITED(status) || WEXITSTATUS(status) > 4)
        std::cerr << "bench_store: " << kravik << " failed on " << path << "\n";
    return r;
}

// The kravik program next to this benchmark in the build tree.
std::string DefaultKravik()
{
    char exe[4096];
    const ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (n <= 0)
        return "kravik";
    std::string path(exe, static_cast<size_t>(n));
    for (int up = 0; up < 2; ++up)
        path = path.substr(0, path.find_last_of('/'));
    return path + "/host/kravik";
}

struct Row
{
    std::string label;
    double fileBytes = 0;
    Results parse, load, reload, check, kravik;
};

void PrintTable(const std::vector<Row>& rows)
{
    auto get = [](const Results& r, const char* key) {
        auto it = r.find(key);
        return it == r.end() ? 0.0 : it->second;
    };
    std::printf("\n%-8s %8s %9s %9s %8s %8s %6s %6s %9s %9s %8s %8s %9s %8s %8s\n", "design", "file MB",
                "objects", "stored", "parse s", "load s", "p/l", "p/l cpu", "load us/o", "walk ns/o", "save s",
                "reload s", "heap B/o", "peak MB", "parse MB");
    for (const Row& row : rows) {
        const double objects = get(row.load, "objects");
        const double stored = objects + get(row.load, "own_constraints");
        const double parse = get(row.parse, "read_s") + get(row.parse, "parse_ordered_s");
        const double parseCpu = get(row.parse, "parse_ordered_cpu_s");
        const double load = get(row.load, "load_s");
        const double loadCpu = get(row.load, "load_cpu_s");
        std::printf("%-8s %8.1f %9.0f %9.0f %8.3f %8.3f %6.2f %6.2f %9.3f %9.1f %8.3f %8.3f %9.1f %8.1f %8.1f\n",
                    row.label.c_str(), row.fileBytes / 1e6, objects, stored, parse, load,
                    load > 0 ? parse / load : 0.0, loadCpu > 0 ? parseCpu / loadCpu : 0.0,
                    stored > 0 ? load / stored * 1e6 : 0.0,
                    stored > 0 ? get(row.load, "walk_s") / stored * 1e9 : 0.0, get(row.load, "save_s"),
                    get(row.reload, "load_s"), stored > 0 ? get(row.load, "store_heap_bytes") / stored : 0.0,
                    get(row.load, "load_peak_bytes") / 1e6, get(row.parse, "parse_peak_bytes") / 1e6);
    }
    std::printf("\nstored = objects visited + their own constraint records; p/l = (read + ordered_json parse) "
                "time / load time,\nwall and CPU (target >= 0.5); heap B/o = allocator bytes held by the loaded "
                "store per stored object (target < 400);\npeak MB = peak resident growth during the load.\n");
    for (const Row& row : rows) {
        std::printf("\n%s parse: ", row.label.c_str());
        for (const auto& kv : row.parse)
            std::printf("%s=%.4g ", kv.first.c_str(), kv.second);
        std::printf("\n   load: ");
        for (const auto& kv : row.load)
            std::printf("%s=%.4g ", kv.first.c_str(), kv.second);
        const std::pair<const char*, const Results*> more[] = {
            {"reload", &row.reload}, {"check", &row.check}, {"kravik", &row.kravik}};
        for (const auto& m : more) {
            if (m.second->empty())
                continue;
            std::printf("\n   %s: ", m.first);
            for (const auto& kv : *m.second)
                std::printf("%s=%.4g ", kv.first.c_str(), kv.second);
        }
        std::printf("\n");
    }
}

// The figures of the scaling goals, one column per design: what a load, a walk and a full check
// cost per stored object, and how the whole kravik process's peak memory compares with the store.
void PrintScaleTable(const std::vector<Row>& rows)
{
    auto get = [](const Results& r, const char* key) {
        auto it = r.find(key);
        return it == r.end() ? 0.0 : it->second;
    };
    auto stored = [&](const Row& row) { return get(row.load, "objects") + get(row.load, "own_constraints"); };
    auto per = [&](const Row& row, double value) { return stored(row) > 0 ? value / stored(row) : 0.0; };
    auto ratio = [](double a, double b) { return b > 0 ? a / b : 0.0; };
    struct Figure
    {
        const char* name;
        const char* format;
        std::function<double(const Row&)> value;
    };
    const Row& first = rows.front();
    const std::vector<Figure> figures = {
        {"stored objects", "%14.0f", [&](const Row& row) { return stored(row); }},
        {"load per stored object (us)", "%14.3f", [&](const Row& row) { return per(row, get(row.load, "load_s")) * 1e6; }},
        {"read + SAX parse (null handler) / load", "%14.2f",
         [&](const Row& row) {
             return ratio(get(row.parse, "read_s") + get(row.parse, "parse_sax_s"), get(row.load, "load_s"));
         }},
        {"bare traversal per stored object (ns)", "%14.1f",
         [&](const Row& row) { return per(row, get(row.load, "walk_s")) * 1e9; }},
        {"check per stored object (us)", "%14.3f", [&](const Row& row) { return per(row, get(row.check, "check_s")) * 1e6; }},
        {"check / traversal", "%14.2f",
         [&](const Row& row) { return ratio(get(row.check, "check_s"), get(row.load, "walk_s")); }},
        {"peak RSS of kravik check per stored object (B)", "%14.0f",
         [&](const Row& row) { return per(row, get(row.kravik, "kravik_peak_bytes")); }},
        {"store heap per stored object (B)", "%14.0f", [&](const Row& row) { return per(row, get(row.load, "store_heap_bytes")); }},
        {"peak RSS of kravik check / store heap", "%14.2f",
         [&](const Row& row) { return ratio(get(row.kravik, "kravik_peak_bytes"), get(row.load, "store_heap_bytes")); }},
        {"check per stored object / first size", "%14.2f",
         [&](const Row& row) {
             return ratio(per(row, get(row.check, "check_s")), per(first, get(first.check, "check_s")));
         }},
        {"load per stored object / first size", "%14.2f",
         [&](const Row& row) { return ratio(per(row, get(row.load, "load_s")), per(first, get(first.load, "load_s"))); }},
        {"save (s)", "%14.2f", [&](const Row& row) { return get(row.load, "save_s"); }},
        {"saved file / design file", "%14.2f",
         [&](const Row& row) { return ratio(get(row.load, "saved_file_bytes"), row.fileBytes); }},
        {"reload of the saved file / load, time", "%14.2f",
         [&](const Row& row) { return ratio(get(row.reload, "load_s"), get(row.load, "load_s")); }},
        {"reload of the saved file / load, heap", "%14.2f",
         [&](const Row& row) { return ratio(get(row.reload, "store_heap_bytes"), get(row.load, "store_heap_bytes")); }},
        {"check findings (errors + warnings)", "%14.0f",
         [&](const Row& row) { return get(row.check, "check_errors") + get(row.check, "check_warnings"); }},
        {"kravik check exit code", "%14.0f", [&](const Row& row) { return get(row.kravik, "kravik_exit"); }},
    };
    std::printf("\n%-46s", "");
    for (const Row& row : rows)
        std::printf("%14s", row.label.c_str());
    std::printf("\n");
    for (const Figure& f : figures) {
        std::printf("%-46s", f.name);
        for (const Row& row : rows)
            std::printf(f.format, f.value(row));
        std::printf("\n");
    }
    std::printf("\nGoals: read + SAX / load at least 0.5 at the largest size; peak RSS / store heap at most 1.5;\n"
                "check and load per stored object at most 1.3x the first size's; check / traversal at most 5;\n"
                "saved file at most 1.3x the generated design file, its reload at most 1.1x the load's time and heap.\n");
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<uint64_t> sizes{10000, 100000, 1000000};
    kravik_bench::DesignOptions options;
    std::string dir = "/tmp";
    std::string file;
    std::string only;
    bool keep = false;
    bool noReload = false;
    bool noCheck = false;
    Repeats repeats;
    std::string constraints = KRAVIK_SOURCE_DIR "/examples/constraints-full.json";
    std::string kravik = DefaultKravik();
    CLI::App app{"Measure load, save and a full walk of the design store"};
    app.add_option("--pins", sizes, "design sizes in component pins")->delimiter(',');
    app.add_option("--seed", options.seed, "generator seed")->capture_default_str();
    app.add_option("--defect-rate", options.defectRate, "share of nets with a seeded defect")
        ->check(CLI::Range(0.0, 1.0));
    app.add_option("--dir", dir, "folder for the generated and saved files")->capture_default_str();
    app.add_option("--file", file, "measure this design file instead of generated ones");
    app.add_option("--only", only, "run one measurement in this process: parse, load with the walk, or check")
        ->check(CLI::IsMember({"parse", "load", "check"}));
    app.add_option("--constraints", constraints, "constraints file of the checks")->capture_default_str();
    app.add_option("--kravik", kravik, "the kravik program whose peak memory is measured")->capture_default_str();
    app.add_flag("--no-check", noCheck, "skip the check and the kravik run");
    app.add_option("--repeat", repeats.least, "run each measurement at least this often and keep the least times")
        ->check(CLI::Range(1, 100))
        ->capture_default_str();
    app.add_option("--min-time", repeats.minSeconds,
                   "run a short measurement again until its runs took this many seconds (at most 30 runs)")
        ->check(CLI::Range(0.0, 600.0))
        ->capture_default_str();
    app.add_flag("--keep", keep, "keep the generated and saved files");
    app.add_flag("--no-reload", noReload, "skip reloading the saved file");
    CLI11_PARSE(app, argc, argv);

    std::vector<std::pair<std::string, std::string>> designs;  // label, path
    if (!file.empty()) {
        designs.emplace_back("file", file);
    } else {
        for (uint64_t pins : sizes) {
            const std::string path = dir + "/kravik-bench-" + std::to_string(pins) + "-" +
                                     std::to_string(options.seed) + ".json";
            kravik_bench::DesignOptions o = options;
            o.pins = pins;
            std::ofstream out(path, std::ios::binary | std::ios::trunc);
            kravik_bench::DesignStats stats = kravik_bench::GenerateDesign(o, out);
            out.close();
            if (!out) {
                std::cerr << "bench_store: cannot write " << path << "\n";
                return 1;
            }
            std::cerr << "generated " << path << ": " << stats.pins << " pins, " << stats.physicalNets
                      << " nets, " << stats.comps << " components, " << stats.bytes / 1000000.0 << " MB\n";
            const std::string label = pins >= 1000000 && pins % 1000000 == 0 ? std::to_string(pins / 1000000) + "M"
                                      : pins >= 1000 && pins % 1000 == 0     ? std::to_string(pins / 1000) + "k"
                                                                             : std::to_string(pins);
            designs.emplace_back(label, path);
        }
    }

    if (!only.empty()) {
        // In-process, for perf or callgrind: the first design only.
        const std::string& path = designs.front().second;
        Results r = only == "parse"  ? MeasureParse(path)
                    : only == "check" ? MeasureCheck(path, constraints)
                                      : MeasureLoad(path, "");
        for (const auto& kv : r)
            std::printf("%s %.6g\n", kv.first.c_str(), kv.second);
        return 0;
    }

    std::vector<Row> rows;
    for (const auto& design : designs) {
        Row row;
        row.label = design.first;
        row.fileBytes = FileBytes(design.second);
        const size_t slash = design.second.find_last_of('/');
        const std::string base = slash == std::string::npos ? design.second : design.second.substr(slash + 1);
        const std::string saved = dir + "/" + base + ".saved.json";
        row.parse = Best([&] { return InChild([&] { return MeasureParse(design.second); }); }, repeats);
        row.load = Best([&] { return InChild([&] { return MeasureLoad(design.second, saved); }); }, repeats);
        if (!noReload)
            row.reload = Best([&] { return InChild([&] { return MeasureLoad(saved, ""); }); }, repeats);
        if (!noCheck) {
            row.check = Best([&] { return InChild([&] { return MeasureCheck(design.second, constraints); }); }, repeats);
            row.kravik = Best([&] { return MeasureKravik(kravik, design.second, constraints); }, repeats);
        }
        if (row.reload.count("objects") && row.load.count("objects") &&
            (row.reload["objects"] != row.load["objects"] ||
             row.reload["own_constraints"] != row.load["own_constraints"]))
            std::cerr << "bench_store: the saved file of " << row.label << " walks differently after a reload\n";
        rows.push_back(row);
        if (!keep) {
            std::remove(saved.c_str());
            if (file.empty())
                std::remove(design.second.c_str());
        }
        std::cerr << "measured " << row.label << "\n";
    }
    PrintTable(rows);
    if (!noCheck && !rows.empty())
        PrintScaleTable(rows);
    return 0;
}
