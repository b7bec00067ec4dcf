// Value types of the design-database interface: results, strings, indexes, bit sets, constraint values,
// lists and the small info records that searches and queries fill.
// All are plain copyable values with no tie to a session; they are safe to copy across threads.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace Lumo {

// ---------------------------------------------------------------------------------------------------------
// Enumerations. Any integer may be cast into them; the database stores whatever value it is given.

enum EObjectType : int32_t {
    OT_None = 0,
    OT_Comp = 7,
    OT_NorvDesign = 21,
    OT_NorvConstraint = 22,
    OT_NorvLayer = 23,
    OT_NorvNetClass = 24,
    OT_NorvClearRule = 25,
    OT_NorvConstraintClass = 26,
    OT_NorvViaSpan = 27,
    OT_NorvGenClear = 28,
    OT_NorvPartTech = 29,
    OT_NorvConstVar = 30,
    OT_NorvC2CClearRule = 31,
    OT_NorvPkgTypeClearRule = 32,
    OT_NorvP2PClearRule = 33,
    OT_NorvParRuleDef = 34,
    OT_NorvParRuleSection = 35,
    OT_NorvNoiseRule = 36,
    OT_NorvScheme = 37,
    OT_NorvSchemeNetClassRule = 38,
    OT_NorvViaAssign = 39,
    OT_NorvLayerRule = 40,
    OT_NorvSchemeClearRule = 41,
    OT_NorvLayerClearRule = 42,
    OT_NorvGenObjType = 43,
    OT_NorvGenCompObj = 44,
    OT_NorvGenObj = 45,
    OT_NorvDiffPair = 46,
    OT_NorvElectricalNet = 47,
    OT_NorvPinPair = 48,
    OT_NorvPhysicalNet = 49,
    OT_NorvFromTo = 50,
    OT_NorvComp = 51,
    OT_NorvPin = 52,
    OT_NorvPart = 53,
    OT_NorvPartPin = 54,
    OT_NorvVia = 62,
    OT_NorvPartPinPair = 71,
    OT_NorvConstraintDef = 72,
    OT_NorvZAxisClearRule = 82,
    OT_NorvZAxisLayerRule = 83,
    OT_Snapshot = 101,
    OT_NorvConfig = 102,
    OT_DefaultConfig = 103,
    OT_FlatNet = 104,
    OT_PageNet = 105,
    OT_Path = 106,
    OT_DesignPin = 107,
    OT_Backup = 110
};

enum ENorvPinType : int32_t {
    NPT_NetPin = 0,
    NPT_PinSetChained = 1,
    NPT_PinSetT = 2,
    NPT_PinSetMst = 3,
    NPT_PinSetBalanced = 4,
    NPT_PinSetUnbalanced = 5,
    NPT_VirtualPin = 6,
    NPT_GuidePin = 7,
    NPT_EbdPin = 8,
    NPT_BoundaryPin = 9,
    NPT_VirtualPinSetPin = 10
};

enum EPinPairType : int32_t { PPT_Ordinary = 0, PPT_Connection = 1 };

enum EPhysicalNetType : int32_t { PNT_Ordinary = 0, PNT_ImplicitPower = 1 };

// Value space of a design pin's type set and of a Norv pin's single type.
enum EPinType : int32_t { PT_0 = 0, PT_ImplicitPower7 = 7, PT_ImplicitPower8 = 8, PT_NoConnect = 13, PT_ForwardPCB = 20 };

enum ECompType : int32_t { CT_0 = 0, CT_ForwardPCB = 11 };

enum EPartPinType : int32_t { PPNT_0 = 0, PPNT_ImplicitPower7 = 7, PPNT_ImplicitPower8 = 8 };

enum EForwardPCBFlag : int32_t { FPF_0 = 0, FPF_NotForwarded = 2 };

enum EAttributeType : int32_t { AT_0 = 0, AT_1 = 1, AT_2 = 2, AT_3 = 3 };

enum ESchemeType : int32_t { ST_Ordinary = 1, ST_Master = 2, ST_Minimum = 3 };

enum ELayerType : int32_t { LT_Metallic = 0, LT_Substrate = 1 };

// 0 skip; 1, 2, 3, 7 class ends; 4, 5, 6, 8 net ends.
enum ENoiseRuleType : int32_t {
    NRT_Skip = 0,
    NRT_1 = 1, NRT_2 = 2, NRT_3 = 3, NRT_4 = 4, NRT_5 = 5, NRT_6 = 6, NRT_7 = 7, NRT_8 = 8
};

// Kind of a constraint value; same numbering as ConstraintData::kind.
enum EConstraintType : int32_t {
    CDT_Default = 0,
    CDT_Int = 1,
    CDT_Double = 2,
    CDT_Text = 3,
    CDT_IntList = 4,
    CDT_DoubleList = 5,
    CDT_TextList = 6
};

enum EConstraintIterType : int32_t { CIT_All = 1 };

// Value 4 means "match case"; a set without it compares ASCII case-insensitively.
enum ESearchParams : int32_t { SP_0 = 0, SP_1 = 1, SP_MatchCase = 4, SP_5 = 5, SP_6 = 6 };

enum EProjectBackupType : int32_t { PBT_8 = 8 };

// ---------------------------------------------------------------------------------------------------------

// A set of enumerator values in one 32-bit word: value v is bit 1u << v. Values outside 0..31 are ignored by
// |= and never match.
template <class E, int N = 1>
class BitContainerT {
public:
    BitContainerT() = default;
    BitContainerT(E value) : m_word(Bit(value)) {}
    BitContainerT& operator=(E value) { m_word = Bit(value); return *this; }
    BitContainerT& operator|=(E value) { m_word |= Bit(value); return *this; }
    BitContainerT& operator|=(const BitContainerT& other) { m_word |= other.m_word; return *this; }
    BitContainerT operator|(E value) const { BitContainerT r(*this); r |= value; return r; }
    BitContainerT operator|(const BitContainerT& other) const { BitContainerT r(*this); r.m_word |= other.m_word; return r; }
    bool Contains(E value) const { return (m_word & Bit(value)) != 0; }
    void Clear() { m_word = 0; }
    uint32_t GetWord() const { return m_word; }
    bool operator==(const BitContainerT& other) const { return m_word == other.m_word; }
    bool operator!=(const BitContainerT& other) const { return m_word != other.m_word; }

private:
    static uint32_t Bit(E value)
    {
        const int64_t v = static_cast<int64_t>(value);
        return (v >= 0 && v < 32) ? (1u << v) : 0u;
    }
    uint32_t m_word = 0;
};

// ---------------------------------------------------------------------------------------------------------

// Byte string: no transcoding; bytes >= 0x80 are kept. Comparisons with ==, != and < are byte-exact.
template <class C>
class StringT {
public:
    StringT() = default;
    StringT(const C* text) : m_s(text ? text : "") {}
    StringT(const std::basic_string<C>& text) : m_s(text) {}
    StringT(std::basic_string<C>&& text) : m_s(std::move(text)) {}

    const C* c_str() const { return m_s.c_str(); }
    std::basic_string<C> str() const { return m_s; }
    operator std::basic_string<C>() const { return m_s; }
    bool IsEmpty() const { return m_s.empty(); }
    size_t Length() const { return m_s.size(); }

    bool operator==(const StringT& o) const { return m_s == o.m_s; }
    bool operator!=(const StringT& o) const { return m_s != o.m_s; }
    bool operator==(const C* o) const { return m_s == (o ? o : ""); }
    bool operator!=(const C* o) const { return !(*this == o); }
    bool operator==(const std::basic_string<C>& o) const { return m_s == o; }
    bool operator!=(const std::basic_string<C>& o) const { return m_s != o; }
    bool operator<(const StringT& o) const { return m_s < o.m_s; }

    // 0 when equal; without SP_MatchCase in params the bytes are compared ASCII case-folded. Sign as strcmp.
    int Compare(const StringT& o, const BitContainerT<ESearchParams>& params) const
    {
        const bool matchCase = params.Contains(SP_MatchCase);
        const size_t n = m_s.size() < o.m_s.size() ? m_s.size() : o.m_s.size();
        for (size_t i = 0; i < n; ++i) {
            unsigned char a = static_cast<unsigned char>(m_s[i]);
            unsigned char b = static_cast<unsigned char>(o.m_s[i]);
            if (!matchCase) {
                if (a >= 'A' && a <= 'Z') a = static_cast<unsigned char>(a - 'A' + 'a');
                if (b >= 'A' && b <= 'Z') b = static_cast<unsigned char>(b - 'A' + 'a');
            }
            if (a != b) return a < b ? -1 : 1;
        }
        if (m_s.size() == o.m_s.size()) return 0;
        return m_s.size() < o.m_s.size() ? -1 : 1;
    }

private:
    std::basic_string<C> m_s;
};

using String = StringT<char>;

inline bool operator==(const char* a, const String& b) { return b == a; }
inline bool operator!=(const char* a, const String& b) { return b != a; }
inline bool operator==(const std::string& a, const String& b) { return b == a; }
inline bool operator!=(const std::string& a, const String& b) { return b != a; }

// ---------------------------------------------------------------------------------------------------------

// Result of every database operation. Default-constructed = success; a failure carries a description that
// GetDescription returns only while string results are enabled (process-wide switch).
class Result {
public:
    Result() = default;
    operator bool() const { return !m_error; }
    bool operator!() const { return static_cast<bool>(m_error); }
    String GetDescription() const;
    static void SetStringResultsEnabled(bool enabled);

private:
    friend struct ResultAccess;
    explicit Result(std::shared_ptr<const std::string> error) : m_error(std::move(error)) {}
    std::shared_ptr<const std::string> m_error;  // null on success
};

// ---------------------------------------------------------------------------------------------------------

// Object identifier: (type << 56) | serial. 0 is the empty index.
class Index {
public:
    Index() = default;
    explicit Index(uint64_t value) : m_v(value) {}
    uint64_t GetValue() const { return m_v; }
    explicit operator uint64_t() const { return m_v; }
    EObjectType GetType() const { return static_cast<EObjectType>(m_v >> 56); }
    bool IsEmpty() const { return m_v == 0; }
    bool operator==(const Index& o) const { return m_v == o.m_v; }
    bool operator!=(const Index& o) const { return m_v != o.m_v; }
    bool operator<(const Index& o) const { return m_v < o.m_v; }
    bool operator>(const Index& o) const { return m_v > o.m_v; }
    // "serial-middle-type", as the log prints an index: 5-0-24.
    std::string ToText() const;

private:
    uint64_t m_v = 0;
};

// Identifier of a project backup; type byte 110.
class GIndex {
public:
    GIndex() = default;
    explicit GIndex(uint64_t value) : m_v(value) {}
    uint64_t GetValue() const { return m_v; }
    explicit operator uint64_t() const { return m_v; }
    EObjectType GetType() const { return static_cast<EObjectType>(m_v >> 56); }
    bool IsEmpty() const { return m_v == 0; }
    bool operator==(const GIndex& o) const { return m_v == o.m_v; }
    bool operator!=(const GIndex& o) const { return m_v != o.m_v; }
    bool operator<(const GIndex& o) const { return m_v < o.m_v; }
    bool operator>(const GIndex& o) const { return m_v > o.m_v; }
    std::string ToText() const;

private:
    uint64_t m_v = 0;
};

// ---------------------------------------------------------------------------------------------------------

// A constraint value. kind: 0 default, 1 int, 2 double, 3 text, 4/5/6 int/double/text lists.
struct ConstraintData {
    int32_t kind = 0;
    int32_t intValue = 0;
    double doubleValue = 0.0;
    String textValue;
    std::vector<int32_t> intList;
    std::vector<double> doubleList;
    std::vector<String> textList;

    // Integers in decimal, doubles in shortest round-trip form, list elements joined by ','; text otherwise.
    String GetValueAsString() const;
};

// ---------------------------------------------------------------------------------------------------------

// An ordered list value (not a database object).
template <class T>
class ListT {
public:
    class Iterator {
    public:
        Iterator() = default;
        bool IsValid() const { return m_items && m_pos < m_items->size(); }
        Iterator& operator++() { ++m_pos; return *this; }
        Iterator operator++(int) { Iterator r(*this); ++m_pos; return r; }
        const T& operator*() const { return (*m_items)[m_pos]; }
        const T* operator->() const { return &(*m_items)[m_pos]; }

    private:
        friend class ListT;
        Iterator(const std::vector<T>* items) : m_items(items) {}
        const std::vector<T>* m_items = nullptr;
        size_t m_pos = 0;
    };

    int Count() const { return static_cast<int>(m_items.size()); }
    bool IsEmpty() const { return m_items.empty(); }
    void Add(const T& item) { m_items.push_back(item); }
    void RemoveAll() { m_items.clear(); }
    Iterator GetIterator() const { return Iterator(&m_items); }

private:
    std::vector<T> m_items;
};

struct NorvObjectInfo {
    Index index;
    String name;
};

struct NorvObjectExtInfo {
    Index index;
    String name;
    int32_t layerIndex = 0;
};

struct LockInfo {
    Index index;
    String address;
    String subClientName;
};

struct SubClientInfo {
    String address;
    String subClientName;
};

struct SubClientCoreInfo {
    String name;
};

struct ClientInfo {
    String name;
    ListT<SubClientCoreInfo> subClients;
};

struct Attribute {
    String name;
    String value;
};

using ListAttribute = ListT<Attribute>;

}  // namespace Lumo

namespace std {
template <>
struct hash<Lumo::Index> {
    size_t operator()(const Lumo::Index& i) const noexcept { return std::hash<uint64_t>()(i.GetValue()); }
};
template <>
struct hash<Lumo::GIndex> {
    size_t operator()(const Lumo::GIndex& i) const noexcept { return std::hash<uint64_t>()(i.GetValue()); }
};
}  // namespace std
