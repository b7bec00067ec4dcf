// Synthetic design generator for benchmarks and smoke tests.
//
// Writes one consistent design of a requested size in the JSON design-file
// format ("kravik-design", version 1, completion on): a schematic side (logic
// components with design pins, flat nets with one page net each) and a Norv
// configuration (parts with part pins, components whose pins are bound to design
// pins and connected to physical nets, electrical nets, differential pairs, pin
// pairs and from-tos), and a Norv design (layers, net and constraint classes,
// clearance rules, schemes with their schema rules and layer rules). The same
// options and seed always give the same file. Without defects the design checks
// clean (bench/README.md lists what that takes).
//
// With a defect rate r > 0, each plain physical net carries one seeded defect with
// probability r, its kind drawn uniformly from DefectKinds(); ExpectedFindings()
// gives what the check reports for them.
//
// Header-only so that the generator program, the store benchmark and the smoke
// test share it. Not thread-safe; no global state.
#pragma once

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdint>
#include <map>
#include <ostream>
#include <random>
#include <string>
#include <vector>

namespace kravik_bench {

struct DesignOptions
{
    uint64_t pins = 10000;        // Norv pins wanted (the result may exceed it by less than one part)
    uint64_t seed = 1;
    double defectRate = 0.0;      // share of physical nets that carry one seeded defect
    double avgPinsPerNet = 4.0;   // mean pins per physical net (at least 2)
    int layers = 4;               // metallic layers
    int netClasses = 0;           // extra net classes besides "(Default)"; 0 = derived from the size
    int schemes = 4;              // "(Master)", "(Minimum)" and ordinary schemes
    double diffPairRate = 0.1;    // share of electrical nets that belong to a differential pair
    double compositeRate = 0.03;  // share of electrical nets made of two physical nets
    double pinPairRate = 0.05;    // share of electrical nets with a pin pair
    double fromToRate = 0.05;     // share of physical nets with a from-to
    // Share of the scheme rules left out: each net-class rule and clearance rule of a scheme, and
    // each layer rule of a net-class rule that stays. Fix mode re-creates them all. Drawn apart from
    // everything else, so that the rest of the design does not depend on it.
    double schemeDefectRate = 0.0;
};

// The options of a design of `pins` pins drawn from `seed`, with one defect in the share `defectRate`
// of its plain nets; the rest as the defaults give it.
inline DesignOptions SeededDesign(uint64_t pins, uint64_t seed, double defectRate)
{
    DesignOptions o;
    o.pins = pins;
    o.seed = seed;
    o.defectRate = defectRate;
    return o;
}

struct DesignStats
{
    uint64_t pins = 0, designPins = 0, physicalNets = 0, electricalNets = 0, diffPairs = 0;
    uint64_t comps = 0, parts = 0, partPins = 0, netClasses = 0, constraintClasses = 0;
    uint64_t clearRules = 0, schemes = 0, layers = 0, pinPairs = 0, fromTos = 0;
    uint64_t bytes = 0;
    std::map<std::string, uint64_t> defects;  // kind -> count
    // Scheme rules left out by schemeDefectRate: "net-class-rule", "clearance-rule", "layer-rule" -> count
    std::map<std::string, uint64_t> schemeDefects;
};

inline const std::vector<std::string>& DefectKinds()
{
    static const std::vector<std::string> kinds = {
        "duplicate-list-entry",     // the electrical net lists the net twice
        "missing-back-reference",   // listed by its electrical net, "parentElectricalNet": null
        "dangling-reference",       // "netClass" names a never-issued index
        "pin-in-two-nets",          // the net also lists a pin of another net
        "invalid-object",           // the design pin of the net's first pin is "valid": false
        "empty-index",              // the net's first pin has "emptyIndex": true
        "missing-constraint",       // the net carries no ORDER_TYPE
        "constraint-type-mismatch", // the net carries LINE_WIDTH as text
        "orphan-electrical-net",    // its electrical net stands in "objects" with "in": null
    };
    return kinds;
}

// The findings that `kravik check` reports, with hidden tests on, on a design whose seeded defects
// are `defects` (kind -> count, as DesignStats holds them): "ERROR <code>" or "WARNING <code>" ->
// how many lines. With `constraintsFile` the check runs with examples/constraints-full.json; without
// it, the two constraint-file tests report only that they have no file ("ERROR 1101", "ERROR 5401").
// Two tests end at the first net without a topology, and the pins of empty index all share one
// index, so not every count is linear in the defects.
inline std::map<std::string, uint64_t> ExpectedFindings(const std::map<std::string, uint64_t>& defects,
                                                        bool constraintsFile)
{
    std::map<std::string, uint64_t> out;
    auto count = [&defects](const char* kind) {
        auto it = defects.find(kind);
        return it == defects.end() ? uint64_t(0) : it->second;
    };
    auto add = [&out](const char* finding, uint64_t n) {
        if (n)
            out[finding] += n;
    };
    auto once = [&out](const char* finding, bool any) {
        if (any)
            out[finding] = 1;
    };
    if (!constraintsFile) {
        add("ERROR 1101", 1);
        add("ERROR 5401", 1);
    }
    // Findings raised once per defect of a kind, always and with the constraints file only.
    static const struct
    {
        const char* kind;
        std::vector<const char*> always, withConstraints;
    } perDefect[] = {
        // the physical net listed twice: two physical nets, no composite marker, no connection pin pair
        {"duplicate-list-entry", {"ERROR 4006", "ERROR 807", "ERROR 811"}, {}},
        {"missing-back-reference", {"ERROR 1509", "ERROR 4003"}, {}},
        {"dangling-reference", {"ERROR 2014"}, {}},
        {"pin-in-two-nets", {"ERROR 3410", "ERROR 3412", "ERROR 5107", "ERROR 5108", "ERROR 729", "WARNING 708"}, {}},
        {"invalid-object", {"ERROR 718", "ERROR 409"}, {}},  // 409: its "Pin Number" cannot be read
        {"empty-index", {"ERROR 726", "WARNING 708"}, {"ERROR 5439", "ERROR 5485"}},
        {"missing-constraint", {"ERROR 1505", "ERROR 1507", "ERROR 6404"}, {"ERROR 1107"}},
        {"constraint-type-mismatch", {}, {"ERROR 5445"}},
        // none: the checks walk the nets of the configuration only
        {"orphan-electrical-net", {}, {}},
    };
    for (const auto& d : perDefect) {
        for (const char* finding : d.always)
            add(finding, count(d.kind));
        for (const char* finding : constraintsFile ? d.withConstraints : std::vector<const char*>())
            add(finding, count(d.kind));
    }
    const uint64_t empty = count("empty-index");
    if (empty >= 2) {  // every empty-index pin stands for every other one
        add("ERROR 3410", empty * (empty - 1));
        add("ERROR 5107", empty - 1);
        add("ERROR 5108", empty - 1);
    }
    once("ERROR 5111", count("pin-in-two-nets") > 0 || empty >= 2);  // one summary line for the duplicated pins
    once("ERROR 2203", count("missing-constraint") > 0);  // tests that end at a net without topology
    once("ERROR 3903", count("missing-constraint") > 0);
    return out;
}

namespace detail {

using Json = nlohmann::ordered_json;

struct Part
{
    std::string name;
    uint32_t pinCount;
};

struct Comp
{
    uint32_t part;
    uint64_t firstPin;
};

struct Net
{
    uint64_t first;  // into netPins
    uint32_t count;
    uint32_t enet;
    uint32_t netClass;
    uint8_t defect;  // 0 none, else 1 + index into DefectKinds()
    bool fromTo;
    uint64_t foreignPin;  // pin of another net, for "pin-in-two-nets"
};

struct ENet
{
    uint32_t firstNet;
    uint32_t count;
    uint32_t constraintClass;
    bool pinPair;
    bool orphan;
    uint64_t bridge[2];  // composite nets: the connection pin pair, two pins of one component
};

// Streams the document piece by piece, so that memory stays proportional to one object.
class Writer
{
public:
    explicit Writer(std::ostream& out) : m_out(out) {}

    void Raw(const char* text) { Put(text, std::char_traits<char>::length(text)); }
    void Raw(const std::string& text) { Put(text.data(), text.size()); }
    void Object(const Json& j) { Raw(j.dump()); }

    // Array element separator: call before each element with its position.
    void Sep(uint64_t i) { Raw(i ? ",\n" : "\n"); }

    uint64_t Bytes() const { return m_bytes; }

private:
    void Put(const char* p, size_t n)
    {
        m_out.write(p, static_cast<std::streamsize>(n));
        m_bytes += n;
    }

    std::ostream& m_out;
    uint64_t m_bytes = 0;
};

inline std::string Id(const char* prefix, uint64_t i)
{
    return prefix + std::to_string(i);
}

inline Json Constraint(const char* name, const Json& value)
{
    Json c;
    c["name"] = name;
    c["value"] = value;
    return c;
}

} // namespace detail

// Writes the design to `out` and returns what it holds.
inline DesignStats GenerateDesign(const DesignOptions& options, std::ostream& out)
{
    using namespace detail;
    std::mt19937_64 rng(options.seed);
    auto chance = [&rng](double p) { return std::uniform_real_distribution<double>(0.0, 1.0)(rng) < p; };
    auto pick = [&rng](uint64_t n) { return std::uniform_int_distribution<uint64_t>(0, n - 1)(rng); };

    DesignStats stats;
    const std::vector<std::string>& kinds = DefectKinds();
    for (const std::string& k : kinds)
        stats.defects[k] = 0;

    // Parts: a fixed catalogue of package sizes, small ones most common.
    static const uint32_t kPartSizes[] = {2, 2, 2, 2, 3, 3, 4, 5, 6, 8, 8, 14, 16, 20, 24, 32, 48, 64, 100, 144};
    std::vector<Part> parts;
    for (size_t i = 0; i < sizeof kPartSizes / sizeof kPartSizes[0]; ++i)
        parts.push_back({"PKG" + std::to_string(i) + "_" + std::to_string(kPartSizes[i]), kPartSizes[i]});

    // Components until the pin count is reached.
    std::vector<Comp> comps;
    uint64_t pinCount = 0;
    while (pinCount < std::max<uint64_t>(options.pins, 2)) {
        uint32_t part = static_cast<uint32_t>(pick(parts.size()));
        comps.push_back({part, pinCount});
        pinCount += parts[part].pinCount;
    }

    // Physical nets: the pins in a random order, cut into nets of at least two pins.
    std::vector<uint64_t> netPins(pinCount);
    for (uint64_t i = 0; i < pinCount; ++i)
        netPins[i] = i;
    std::shuffle(netPins.begin(), netPins.end(), rng);
    std::vector<Net> nets;
    std::vector<uint32_t> pinNet(pinCount);
    const double extra = std::max(0.0, options.avgPinsPerNet - 2.0);
    std::geometric_distribution<uint32_t> extraPins(1.0 / (extra + 1.0));
    for (uint64_t at = 0; at < pinCount;) {
        uint64_t size = 2 + std::min<uint32_t>(extraPins(rng), 200);
        if (size + 2 > pinCount - at)
            size = pinCount - at;  // never leave a single pin behind
        Net net{};
        net.first = at;
        net.count = static_cast<uint32_t>(size);
        for (uint64_t k = at; k < at + size; ++k)
            pinNet[netPins[k]] = static_cast<uint32_t>(nets.size());
        nets.push_back(net);
        at += size;
    }

    const uint32_t extraClasses = options.netClasses > 0
                                      ? static_cast<uint32_t>(options.netClasses)
                                      : static_cast<uint32_t>(std::min<uint64_t>(100, nets.size() / 2000 + 1));
    const uint32_t classCount = extraClasses + 1;  // index 0 is "(Default)" / "(All)"
    const uint32_t clearRuleCount = 1 + std::min<uint32_t>(8, extraClasses / 4);

    // Electrical nets: one per physical net, some made of two neighbours. The two physical nets of
    // such a composite net are bridged by one component: its connection pin pair holds the first
    // pin of the first net and another pin of that pin's component, moved into the second net.
    std::vector<uint64_t> pinPos(pinCount);
    for (uint64_t k = 0; k < pinCount; ++k)
        pinPos[netPins[k]] = k;
    std::vector<bool> reservedPin(pinCount, false);
    auto componentOf = [&comps](uint64_t pin) {
        return static_cast<uint64_t>(std::upper_bound(comps.begin(), comps.end(), pin,
                                                      [](uint64_t p, const Comp& c) { return p < c.firstPin; }) -
                                     comps.begin() - 1);
    };
    auto bridge = [&](uint32_t n, ENet& e) {
        const uint64_t a = netPins[nets[n].first];
        const Comp& comp = comps[componentOf(a)];
        const uint32_t size = parts[comp.part].pinCount;
        for (uint32_t step = 1; step < size; ++step) {
            const uint64_t b = comp.firstPin + (a - comp.firstPin + step) % size;
            if (reservedPin[b] || pinNet[b] == n)
                continue;
            if (pinNet[b] != n + 1) {
                // Swap b with the second net's first pin.
                const uint64_t at = nets[n + 1].first, x = netPins[at], from = pinPos[b];
                std::swap(netPins[at], netPins[from]);
                std::swap(pinPos[b], pinPos[x]);
                pinNet[x] = pinNet[b];
                pinNet[b] = n + 1;
            }
            reservedPin[a] = reservedPin[b] = true;
            e.bridge[0] = a;
            e.bridge[1] = b;
            return true;
        }
        return false;
    };
    std::vector<ENet> enets;
    for (uint32_t n = 0; n < nets.size();) {
        ENet e{};
        e.firstNet = n;
        e.count = (n + 1 < nets.size() && chance(options.compositeRate)) ? 2 : 1;
        if (e.count == 2 && !bridge(n, e))
            e.count = 1;
        e.constraintClass = static_cast<uint32_t>(pick(classCount));
        e.pinPair = chance(options.pinPairRate);
        for (uint32_t k = 0; k < e.count; ++k) {
            nets[n + k].enet = static_cast<uint32_t>(enets.size());
            nets[n + k].netClass = e.constraintClass;
            nets[n + k].fromTo = nets[n + k].count >= 2 && chance(options.fromToRate);
        }
        enets.push_back(e);
        n += e.count;
    }

    // Differential pairs of neighbouring electrical nets.
    std::vector<std::pair<uint32_t, uint32_t>> pairs;
    std::vector<int64_t> enetPair(enets.size(), -1);
    for (uint32_t e = 0; e + 1 < enets.size(); ++e) {
        if (chance(options.diffPairRate / 2.0)) {
            enetPair[e] = enetPair[e + 1] = static_cast<int64_t>(pairs.size());
            pairs.emplace_back(e, e + 1);
            // Both nets of a pair carry the same classes.
            enets[e + 1].constraintClass = enets[e].constraintClass;
            for (uint32_t k = 0; k < enets[e + 1].count; ++k)
                nets[enets[e + 1].firstNet + k].netClass = enets[e].constraintClass;
            ++e;
        }
    }

    // Seeded defects, one kind per affected net. Only plain nets take one (alone in their electrical
    // net, outside differential pairs, without from-tos, pin pairs or bridge pins), so that each kind
    // always yields the same findings.
    std::vector<uint8_t> pinFlag(pinCount, 0);  // 1 invalid design pin, 2 empty index
    if (options.defectRate > 0.0) {
        for (uint32_t n = 0; n < nets.size(); ++n) {
            const ENet& e = enets[nets[n].enet];
            const bool plain = e.count == 1 && enetPair[nets[n].enet] < 0 && !e.pinPair && !nets[n].fromTo &&
                               !reservedPin[netPins[nets[n].first]];
            if (!plain || !chance(options.defectRate))
                continue;
            size_t kind = pick(kinds.size());
            if (kinds[kind] == "pin-in-two-nets") {
                // The last pin of another net: never flagged by a defect, and no from-to, pin pair or
                // bridge of two pins takes it unless its net has only two.
                // Each foreign pin is taken once.
                auto usable = [&](uint64_t m) {
                    return m != n && nets[m].count >= 3 && !reservedPin[netPins[nets[m].first + nets[m].count - 1]];
                };
                uint64_t other = n;
                for (int attempt = 0; attempt < 64 && !usable(other); ++attempt)
                    other = pick(nets.size());
                if (!usable(other)) {
                    kind = 6;  // missing-constraint
                } else {
                    nets[n].foreignPin = netPins[nets[other].first + nets[other].count - 1];
                    reservedPin[nets[n].foreignPin] = true;
                }
            }
            if (kinds[kind] == "invalid-object")
                pinFlag[netPins[nets[n].first]] |= 1;
            if (kinds[kind] == "empty-index")
                pinFlag[netPins[nets[n].first]] |= 2;
            if (kinds[kind] == "orphan-electrical-net")
                enets[nets[n].enet].orphan = true;
            nets[n].defect = static_cast<uint8_t>(kind + 1);
            ++stats.defects[kinds[kind]];
        }
    }
    auto defectOf = [&](uint32_t n) -> std::string { return nets[n].defect ? kinds[nets[n].defect - 1] : ""; };
    // Topology: "Star" for the nets of differential pairs (which do not allow "MST") and for nets with
    // from-tos (which "MST" does not allow either); "MST" otherwise. Physical nets share their
    // electrical net's.
    auto topologyOf = [&](uint32_t e) {
        bool star = enetPair[e] >= 0;
        for (uint32_t k = 0; k < enets[e].count; ++k)
            star = star || nets[enets[e].firstNet + k].fromTo;
        return star ? "Star" : "MST";
    };

    auto compName = [&](uint64_t c) { return (parts[comps[c].part].pinCount == 2 ? "R" : "U") + std::to_string(c + 1); };
    auto netName = [&](uint32_t n) { return "NET" + std::to_string(n + 1); };
    auto className = [](uint32_t k, bool constraintClass) {
        return k == 0 ? std::string(constraintClass ? "(All)" : "(Default)")
                      : std::string(constraintClass ? "CC" : "NC") + std::to_string(k);
    };

    Writer w(out);
    w.Raw("{\"format\":\"kravik-design\",\"version\":1,\"complete\":true,\n\"session\":");
    {
        Json session;
        session["definitions"] = Json::array({Constraint("ORDER_TYPE", "MST"), Constraint("LINE_WIDTH", 5.0),
                                              Constraint("MAX_VIAS", 10), Constraint("LAYER_USAGE", "Signal"),
                                              Constraint("COMP_HEIGHT", 1.5), Constraint("GEN_CLEARANCE", 0.1)});
        w.Object(session);
    }
    w.Raw(",\n\"snapshots\":[{\"id\":\"S\",\"name\":\"main\",");
    w.Raw("\"attributes\":[{\"name\":\"NORV_MIGRATION_STATUS\",\"value\":\"0:ok\"}],");
    w.Raw("\"clients\":[{\"name\":\"ws-1:100\",\"subClients\":[\"Kravik (FE NORV)\"]}],");

    // Schematic side.
    w.Raw("\n\"defaultConfigs\":[{\"id\":\"SCH\",\"topBlock\":\"TOP\",\"logicComps\":[");
    for (uint64_t c = 0; c < comps.size(); ++c) {
        const Part& part = parts[comps[c].part];
        const std::string name = compName(c);
        Json lc;
        lc["id"] = Id("l", c);
        lc["name"] = name;
        lc["types"] = Json::array({11});
        lc["attributes"] = Json::array({{{"name", "Ref Designator"}, {"type", 3}, {"value", name}}});
        Json pins = Json::array();
        for (uint32_t k = 0; k < part.pinCount; ++k) {
            const std::string number = std::to_string(k + 1);
            Json dp;
            dp["id"] = Id("d", comps[c].firstPin + k);
            dp["name"] = name + "." + number;
            dp["types"] = Json::array({20});
            if (pinFlag[comps[c].firstPin + k] & 1)
                dp["valid"] = false;
            dp["attributes"] = Json::array({{{"name", "Pin Number"}, {"type", 3}, {"value", number}},
                                            {{"name", "Pin Number"}, {"type", 0}, {"value", number}}});
            pins.push_back(std::move(dp));
        }
        lc["pins"] = std::move(pins);
        w.Sep(c);
        w.Object(lc);
        stats.designPins += part.pinCount;
    }
    w.Raw("],\n\"flatNets\":[");
    for (uint32_t n = 0; n < nets.size(); ++n) {
        Json pinsConnected = Json::array();
        for (uint64_t k = nets[n].first; k < nets[n].first + nets[n].count; ++k)
            pinsConnected.push_back(Id("d", netPins[k]));
        Json page;
        page["label"] = netName(n);
        page["path"] = {{"hierarchy", Json::array()}};
        page["pinsConnected"] = std::move(pinsConnected);
        Json fn;
        fn["id"] = Id("f", n);
        fn["name"] = netName(n);
        fn["pageNets"] = Json::array({std::move(page)});
        w.Sep(n);
        w.Object(fn);
    }
    w.Raw("]}],\n\"norvConfigs\":[{\"id\":\"CFG\",\"topBlock\":\"TOP\",\n\"design\":");

    // Norv design: layers, classes, clearance rules, schemes.
    std::mt19937_64 schemeRng(options.seed ^ 0x5c4e3d2b1a09f8e7ull);
    auto leaveOut = [&](const char* what) {
        if (options.schemeDefectRate <= 0.0
            || std::uniform_real_distribution<double>(0.0, 1.0)(schemeRng) >= options.schemeDefectRate)
            return false;
        ++stats.schemeDefects[what];
        return true;
    };
    {
        Json design;
        design["id"] = "D";
        Json layers = Json::array();
        for (int l = 1; l <= options.layers; ++l) {
            Json layer;
            layer["id"] = Id("L", static_cast<uint64_t>(l));
            layer["name"] = l == 1 ? std::string("TOP") : l == options.layers ? std::string("BOTTOM")
                                                                               : "INNER" + std::to_string(l - 1);
            layer["layerType"] = 0;
            layer["layerNumber"] = l;
            layer["metallicLayerNumber"] = l;
            layer["constraints"] = Json::array({Constraint("LAYER_USAGE", "Signal")});
            layers.push_back(std::move(layer));
        }
        design["layers"] = std::move(layers);
        Json netClasses = Json::array(), constraintClasses = Json::array(), clearRules = Json::array();
        for (uint32_t k = 0; k < classCount; ++k) {
            netClasses.push_back({{"id", Id("nc", k)}, {"name", className(k, false)}});
            constraintClasses.push_back({{"id", Id("cc", k)},
                                         {"name", className(k, true)},
                                         {"netClass", Id("nc", k)},
                                         {"inherits", Json::array({"ORDER_TYPE", "LINE_WIDTH", "MAX_VIAS"})}});
        }
        for (uint32_t k = 0; k < clearRuleCount; ++k)
            clearRules.push_back({{"id", Id("cr", k)}, {"name", k == 0 ? std::string("(Default Rule)")
                                                                       : "CR" + std::to_string(k)}});
        design["netClasses"] = std::move(netClasses);
        design["constraintClasses"] = std::move(constraintClasses);
        design["clearRules"] = std::move(clearRules);
        design["genClears"] = Json::array({{{"inherits", Json::array({"GEN_CLEARANCE"})}}});
        Json schemes = Json::array();
        for (int s = 0; s < std::max(options.schemes, 2); ++s) {
            Json scheme;
            scheme["id"] = Id("sc", static_cast<uint64_t>(s));
            scheme["name"] = s == 0 ? std::string("(Master)") : s == 1 ? std::string("(Minimum)")
                                                                       : "SCHEME" + std::to_string(s - 1);
            scheme["schemeType"] = s == 0 ? 2 : s == 1 ? 3 : 1;
            const double width = s == 0 ? 5.0 : s == 1 ? 4.0 : 4.5;
            Json netRules = Json::array(), clearRuleRules = Json::array();
            for (uint32_t k = 0; k < classCount; ++k) {
                if (leaveOut("net-class-rule"))
                    continue;
                Json layerRules = Json::array();
                for (int l = 1; l <= options.layers; ++l) {
                    if (!leaveOut("layer-rule"))
                        layerRules.push_back({{"layerIndex", l}, {"parentLayer", Id("L", static_cast<uint64_t>(l))}});
                }
                Json rule;
                rule["name"] = className(k, false);
                rule["parentNetClass"] = Id("nc", k);
                rule["constraints"] = Json::array({Constraint("LINE_WIDTH", width)});
                rule["layerRules"] = std::move(layerRules);
                netRules.push_back(std::move(rule));
            }
            for (uint32_t k = 0; k < clearRuleCount; ++k) {
                if (leaveOut("clearance-rule"))
                    continue;
                Json layerRules = Json::array();
                for (int l = 1; l <= options.layers; ++l)
                    layerRules.push_back({{"layerIndex", l}, {"parentLayer", Id("L", static_cast<uint64_t>(l))}});
                Json rule;
                rule["name"] = k == 0 ? std::string("(Default Rule)") : "CR" + std::to_string(k);
                rule["parentClearRule"] = Id("cr", k);
                rule["layerClearRules"] = std::move(layerRules);
                clearRuleRules.push_back(std::move(rule));
            }
            scheme["schemaNetClassRules"] = std::move(netRules);
            scheme["schemaClearRules"] = std::move(clearRuleRules);
            schemes.push_back(std::move(scheme));
        }
        design["schemes"] = std::move(schemes);
        w.Object(design);
    }

    // Parts and components, with the component pins inline.
    w.Raw(",\n\"parts\":[");
    for (uint32_t p = 0; p < parts.size(); ++p) {
        Json part;
        part["id"] = Id("P", p);
        part["name"] = parts[p].name;
        part["inherits"] = Json::array({"COMP_HEIGHT"});
        Json partPins = Json::array();
        for (uint32_t k = 0; k < parts[p].pinCount; ++k)
            partPins.push_back({{"id", Id("P", p) + "_" + std::to_string(k + 1)}, {"name", std::to_string(k + 1)}});
        part["partPins"] = std::move(partPins);
        if (parts[p].pinCount >= 2)
            part["partPinPairs"] = Json::array({{{"name", "1-2"}, {"firstPartPin", Id("P", p) + "_1"},
                                                 {"secondPartPin", Id("P", p) + "_2"}}});
        w.Sep(p);
        w.Object(part);
        stats.partPins += parts[p].pinCount;
    }
    w.Raw("],\n\"norvComps\":[");
    for (uint64_t c = 0; c < comps.size(); ++c) {
        const Part& part = parts[comps[c].part];
        Json comp;
        comp["id"] = Id("c", c);
        comp["name"] = compName(c);
        comp["parentPart"] = Id("P", comps[c].part);
        comp["logicComps"] = Json::array({Id("l", c)});
        comp["inherits"] = Json::array({"COMP_HEIGHT"});
        Json pins = Json::array();
        for (uint32_t k = 0; k < part.pinCount; ++k) {
            const uint64_t pin = comps[c].firstPin + k;
            Json p;
            p["id"] = Id("p", pin);
            p["name"] = std::to_string(k + 1);

            if (pinFlag[pin] & 2)
                p["emptyIndex"] = true;
            p["parentPartPin"] = Id("P", comps[c].part) + "_" + std::to_string(k + 1);
            p["designPin"] = Id("d", pin);
            p["parentPhysicalNet"] = Id("n", pinNet[pin]);
            pins.push_back(std::move(p));
        }
        comp["pins"] = std::move(pins);
        w.Sep(c);
        w.Object(comp);
    }

    // Physical nets; their pin lists come from the pins' parentPhysicalNet by completion.
    w.Raw("],\n\"physicalNets\":[");
    for (uint32_t n = 0; n < nets.size(); ++n) {
        const std::string defect = defectOf(n);
        Json net;
        net["id"] = Id("n", n);
        net["name"] = netName(n);
        net["flatNet"] = Id("f", n);
        if (defect == "dangling-reference")
            net["netClass"] = std::to_string(2000000000u + n) + "-0-24";
        else
            net["netClass"] = Id("nc", nets[n].netClass);
        if (defect == "missing-back-reference")
            net["parentElectricalNet"] = nullptr;
        else
            net["parentElectricalNet"] = Id("e", nets[n].enet);
        if (defect == "pin-in-two-nets")
            net["pins"] = Json::array({Id("p", nets[n].foreignPin)});
        const char* topology = topologyOf(nets[n].enet);
        if (defect == "constraint-type-mismatch") {
            net["constraints"] = Json::array({Constraint("ORDER_TYPE", topology), Constraint("LINE_WIDTH", "wide")});
            net["inherits"] = Json::array({"MAX_VIAS"});
        } else {
            if (defect != "missing-constraint")
                net["constraints"] = Json::array({Constraint("ORDER_TYPE", topology)});
            net["inherits"] = Json::array({"LINE_WIDTH", "MAX_VIAS"});
        }
        if (nets[n].fromTo) {
            const uint64_t a = netPins[nets[n].first], b = netPins[nets[n].first + 1];
            net["fromTos"] = Json::array({{{"name", Id("p", a) + "-" + Id("p", b)}, {"pinFrom", Id("p", a)},
                                           {"pinTo", Id("p", b)}}});
            ++stats.fromTos;
        }
        w.Sep(n);
        w.Object(net);
    }

    // Electrical nets and differential pairs.
    auto electricalNet = [&](uint32_t e) {
        const ENet& en = enets[e];
        Json enet;
        enet["id"] = Id("e", e);
        enet["name"] = en.count > 1 ? netName(en.firstNet) + "^^^" : netName(en.firstNet);
        enet["constraintClass"] = Id("cc", en.constraintClass);
        const std::string defect = defectOf(en.firstNet);
        if (defect == "duplicate-list-entry")
            enet["physicalNets"] = Json::array({Id("n", en.firstNet), Id("n", en.firstNet)});
        else if (defect == "missing-back-reference")
            enet["physicalNets"] = Json::array({Id("n", en.firstNet)});
        enet["constraints"] = Json::array({Constraint("ORDER_TYPE", topologyOf(e))});
        enet["inherits"] = Json::array({"LINE_WIDTH", "MAX_VIAS"});
        if (en.count > 1) {
            enet["pinPairs"] = Json::array({{{"name", Id("p", en.bridge[0]) + "-" + Id("p", en.bridge[1])},
                                             {"pairType", 1},
                                             {"firstPin", Id("p", en.bridge[0])},
                                             {"secondPin", Id("p", en.bridge[1])}}});
        } else if (en.pinPair) {
            const Net& net = nets[en.firstNet];
            const uint64_t a = netPins[net.first], b = netPins[net.first + 1];
            enet["pinPairs"] = Json::array({{{"name", Id("p", a) + "-" + Id("p", b)}, {"pairType", 0},
                                             {"firstPin", Id("p", a)}, {"secondPin", Id("p", b)}}});
            ++stats.pinPairs;
        }
        return enet;
    };
    w.Raw("],\n\"electricalNets\":[");
    uint64_t written = 0;
    for (uint32_t e = 0; e < enets.size(); ++e) {
        if (enets[e].orphan)
            continue;
        w.Sep(written++);
        w.Object(electricalNet(e));
    }
    w.Raw("],\n\"diffPairs\":[");
    for (uint32_t d = 0; d < pairs.size(); ++d) {
        Json pair;
        pair["id"] = Id("dp", d);
        pair["name"] = "DP" + std::to_string(d + 1);
        pair["firstElecNet"] = Id("e", pairs[d].first);
        pair["secondElecNet"] = Id("e", pairs[d].second);
        pair["constraints"] = Json::array({Constraint("ORDER_TYPE", "Star")});
        pair["inherits"] = Json::array({"LINE_WIDTH", "MAX_VIAS"});
        w.Sep(d);
        w.Object(pair);
    }
    w.Raw("]}],\n\"objects\":[");
    written = 0;
    for (uint32_t e = 0; e < enets.size(); ++e) {
        if (!enets[e].orphan)
            continue;
        Json enet = electricalNet(e);
        Json free;
        free["id"] = enet["id"];
        free["kind"] = "ElectricalNet";
        free["name"] = enet["name"];
        free["in"] = nullptr;
        for (auto it = enet.begin(); it != enet.end(); ++it) {
            if (it.key() != "id" && it.key() != "name")
                free[it.key()] = it.value();
        }
        w.Sep(written++);
        w.Object(free);
    }
    w.Raw("]}]}\n");

    stats.pins = pinCount;
    stats.physicalNets = nets.size();
    stats.electricalNets = enets.size();
    stats.diffPairs = pairs.size();
    stats.comps = comps.size();
    stats.parts = parts.size();
    stats.netClasses = classCount;
    stats.constraintClasses = classCount;
    stats.clearRules = clearRuleCount;
    stats.schemes = static_cast<uint64_t>(std::max(options.schemes, 2));
    stats.layers = static_cast<uint64_t>(options.layers);
    stats.bytes = w.Bytes();
    return stats;
}

} // namespace kravik_bench
