// The matching of layer rules onto the metallic layers of the design, shared by the tests of layers
// in net classes and in clearance rules. A layer rule names its layer twice, by layer number and by
// parent layer object; it matches a metallic layer when both agree. The table is filled once per
// run and matched against the layer rules of every rule. Also the failed read of the design's
// layers that the layer tests raise again at every rule. Header only; not shared between threads.
#pragma once

#include "framework/CNorvDetailChecker.h"

#include "lumopi/LumoPI.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <string>
#include <unordered_map>
#include <vector>

namespace NorvRules
{

struct RuleLayerEntry
{
    std::int32_t layerNumber;
    Lumo::Index parentLayer;
};

// Reads the layer number and the parent layer's index of every layer rule the iterator walks, in
// order, into out. On a failed read returns the code for it from failCodes (the number, the parent
// layer, the parent layer's index, the walk itself) and reads no further; returns 0 when all were
// read.
template <class LayerRule>
unsigned ReadRuleLayers(Lumo::IteratorT<const LayerRule>& it, const unsigned (&failCodes)[4],
                        std::vector<RuleLayerEntry>& out)
{
    Lumo::Result walk;
    for (; walkOn(it, walk); ++it)
    {
        RuleLayerEntry entry{0, Lumo::Index()};
        if (!it->GetLayerIndex(entry.layerNumber))
            return failCodes[0];
        Lumo::ContainerT<const Lumo::INorvLayer> parent;
        if (!it->GetParentLayer(parent))
            return failCodes[1];
        if (!parent->GetIndex(entry.parentLayer))
            return failCodes[2];
        out.push_back(entry);
    }
    return walk ? 0 : failCodes[3];
}

struct MetalLayerEntry
{
    std::int32_t layerNumber;
    Lumo::Index index;
    std::string name;
};

class MetalLayerTable
{
public:
    void Clear()
    {
        m_layers.clear();
        m_byNumber.clear();
        m_byIndex.clear();
    }

    void Add(const MetalLayerEntry& layer)
    {
        m_byNumber[layer.layerNumber].push_back(m_layers.size());
        m_byIndex[layer.index.GetValue()].push_back(m_layers.size());
        m_layers.push_back(layer);
    }

    const std::vector<MetalLayerEntry>& Layers() const { return m_layers; }

    // Matches every rule layer against every layer and reports, in the order of that full scan:
    //   visitor.ParentMismatch(r)  same number, other parent object;
    //   visitor.NumberMismatch(r)  same parent object, other number;
    //   visitor.NoLayer(r) / visitor.ManyLayers(r)  after the layers, when r matched none or several;
    //   visitor.Unused(L) / visitor.Overused(L)  at the end, per layer matched by none or by several.
    // Only the layers that share r's number or parent are visited, so the cost is linear.
    template <class Visitor>
    void Match(const std::vector<RuleLayerEntry>& ruleLayers, Visitor& visitor) const
    {
        static const std::vector<std::size_t> none;
        std::vector<int> uses(m_layers.size(), 0);
        std::vector<std::size_t> candidates;
        for (const RuleLayerEntry& rule : ruleLayers)
        {
            auto byNumber = m_byNumber.find(rule.layerNumber);
            auto byIndex = m_byIndex.find(rule.parentLayer.GetValue());
            const std::vector<std::size_t>& sameNumber = byNumber == m_byNumber.end() ? none : byNumber->second;
            const std::vector<std::size_t>& sameParent = byIndex == m_byIndex.end() ? none : byIndex->second;
            candidates.clear();
            std::set_union(sameNumber.begin(), sameNumber.end(), sameParent.begin(), sameParent.end(),
                           std::back_inserter(candidates));

            int matches = 0;
            for (std::size_t position : candidates)
            {
                const MetalLayerEntry& layer = m_layers[position];
                if (layer.layerNumber == rule.layerNumber)
                {
                    if (rule.parentLayer == layer.index)
                    {
                        ++uses[position];
                        ++matches;
                    }
                    else
                    {
                        visitor.ParentMismatch(rule);
                    }
                }
                else
                {
                    visitor.NumberMismatch(rule);
                }
            }
            if (matches == 0)
                visitor.NoLayer(rule);
            else if (matches > 1)
                visitor.ManyLayers(rule);
        }
        for (std::size_t position = 0; position < m_layers.size(); ++position)
        {
            if (uses[position] == 0)
                visitor.Unused(m_layers[position]);
            else if (uses[position] > 1)
                visitor.Overused(m_layers[position]);
        }
    }

private:
    std::vector<MetalLayerEntry> m_layers;
    std::unordered_map<std::int32_t, std::vector<std::size_t>> m_byNumber;
    std::unordered_map<std::uint64_t, std::vector<std::size_t>> m_byIndex;
};

// A read that failed while a list was read once for the whole run: the code to raise again at every
// point where the list is used, and the index it carries when it carries one.
struct ReplayedFailure
{
    unsigned code = 0;
    bool withIndex = false;
    Lumo::Index index;
    bool fromRead = true;  // a failed read, not a finding on what was read

    bool Failed() const { return code != 0; }
    void Set(unsigned failCode, bool carriesIndex, const Lumo::Index& failIndex, bool failedRead = true)
    {
        code = failCode;
        withIndex = carriesIndex;
        index = failIndex;
        fromRead = failedRead;
    }
    // Raises the failure on the test again.
    TestStatus RaiseOn(CNorvDetailChecker& test) const
    {
        return withIndex ? test.raiseError(static_cast<int>(code), index) : test.raiseError(static_cast<int>(code));
    }
};

// Reads a list that is kept for the run: unless it is kept already, clear() empties it and walk()
// reads it again, setting failure where it stops. A list whose walk met a failed read is not kept,
// so that the next use reads it again: a read that fails once is reported once.
template <class Clear, class Walk>
void ReadKeptList(bool& kept, ReplayedFailure& failure, Clear&& clear, Walk&& walk)
{
    if (kept)
        return;
    clear();
    failure = ReplayedFailure();
    walk();
    kept = !failure.Failed() || !failure.fromRead;
}

} // namespace NorvRules
