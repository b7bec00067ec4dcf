// Value types: result descriptions, index texts and constraint value texts.
#include "Store.h"

#include <charconv>
#include <cstdio>

namespace Lumo {

namespace {
std::atomic<bool>& StringResultsSwitch()
{
    static std::atomic<bool> enabled{false};
    return enabled;
}

void AppendDouble(std::string& s, double v)
{
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof(buf), v);
    s.append(buf, r.ptr);
}
}  // namespace

struct ResultAccess {
    static Result Make(std::shared_ptr<const std::string> text) { return Result(std::move(text)); }
};

String Result::GetDescription() const
{
    if (!m_error || !StringResultsSwitch().load()) return String();
    return String(*m_error);
}

void Result::SetStringResultsEnabled(bool enabled) { StringResultsSwitch().store(enabled); }

std::string Index::ToText() const { return detail::IndexText(m_v); }
std::string GIndex::ToText() const { return detail::IndexText(m_v); }

String ConstraintData::GetValueAsString() const
{
    std::string s;
    switch (kind) {
    case CDT_Int:
        return String(std::to_string(intValue));
    case CDT_Double:
        AppendDouble(s, doubleValue);
        return String(std::move(s));
    case CDT_IntList:
        for (size_t i = 0; i < intList.size(); ++i) {
            if (i) s += ',';
            s += std::to_string(intList[i]);
        }
        return String(std::move(s));
    case CDT_DoubleList:
        for (size_t i = 0; i < doubleList.size(); ++i) {
            if (i) s += ',';
            AppendDouble(s, doubleList[i]);
        }
        return String(std::move(s));
    case CDT_TextList:
        for (size_t i = 0; i < textList.size(); ++i) {
            if (i) s += ',';
            s += textList[i].str();
        }
        return String(std::move(s));
    default:
        return textValue;
    }
}

namespace StandIn {

Result Failure(const std::string& text) { return ResultAccess::Make(std::make_shared<const std::string>(text)); }
bool IsStringResultsEnabled() { return StringResultsSwitch().load(); }
void SetStringResultsEnabledForTest(bool enabled) { StringResultsSwitch().store(enabled); }

}  // namespace StandIn

namespace detail {

Result FailShared(const std::shared_ptr<const std::string>& text) { return ResultAccess::Make(text); }

std::string IndexText(uint64_t v)
{
    char buf[48];
    std::snprintf(buf, sizeof(buf), "%d-%d-%d", static_cast<int32_t>(v & 0xFFFFFFFFull),
                  static_cast<int>((v >> 32) & 0xFFFFFF), static_cast<int>(v >> 56));
    return buf;
}

bool ParseIndexText(const std::string& text, uint64_t& out)
{
    long long parts[3];
    const char* p = text.c_str();
    const char* end = p + text.size();
    for (int i = 0; i < 3; ++i) {
        const char* start = p;
        if (p < end && *p == '-') ++p;
        if (p == end || *p < '0' || *p > '9') return false;
        auto r = std::from_chars(start, end, parts[i]);
        if (r.ec != std::errc()) return false;
        p = r.ptr;
        if (i < 2) {
            if (p == end || *p != '-') return false;
            ++p;
        }
    }
    if (p != end) return false;
    if (parts[1] < 0 || parts[1] > 0xFFFFFF || parts[2] < 0 || parts[2] > 255) return false;
    if (parts[0] < INT32_MIN || parts[0] > UINT32_MAX) return false;
    out = (static_cast<uint64_t>(parts[2]) << 56) | (static_cast<uint64_t>(parts[1]) << 32) |
          (static_cast<uint64_t>(parts[0]) & 0xFFFFFFFFull);
    return true;
}

namespace {
bool ParseInt(const std::string& t, int32_t& v)
{
    if (t.empty()) return false;
    auto r = std::from_chars(t.data(), t.data() + t.size(), v);
    return r.ec == std::errc() && r.ptr == t.data() + t.size();
}
bool ParseDouble(const std::string& t, double& v)
{
    if (t.empty()) return false;
    auto r = std::from_chars(t.data(), t.data() + t.size(), v);
    return r.ec == std::errc() && r.ptr == t.data() + t.size();
}
std::vector<std::string> SplitComma(const std::string& t)
{
    std::vector<std::string> parts;
    if (t.empty()) return parts;
    size_t start = 0;
    for (;;) {
        size_t c = t.find(',', start);
        parts.push_back(t.substr(start, c == std::string::npos ? std::string::npos : c - start));
        if (c == std::string::npos) break;
        start = c + 1;
    }
    return parts;
}
}  // namespace

bool ParseConstraintText(const std::string& text, int32_t kind, ConstraintData& out)
{
    ConstraintData v;
    v.kind = kind;
    switch (kind) {
    case CDT_Int:
        if (!ParseInt(text, v.intValue)) return false;
        break;
    case CDT_Double:
        if (!ParseDouble(text, v.doubleValue)) return false;
        break;
    case CDT_IntList:
        for (const std::string& p : SplitComma(text)) {
            int32_t i = 0;
            if (!ParseInt(p, i)) return false;
            v.intList.push_back(i);
        }
        break;
    case CDT_DoubleList:
        for (const std::string& p : SplitComma(text)) {
            double d = 0;
            if (!ParseDouble(p, d)) return false;
            v.doubleList.push_back(d);
        }
        break;
    case CDT_TextList:
        for (const std::string& p : SplitComma(text)) v.textList.push_back(String(p));
        break;
    default:
        v.textValue = String(text);
        break;
    }
    out = std::move(v);
    return true;
}

bool ResolveDefaultKind(const SessionData& s, const std::string& name, ConstraintData& value)
{
    if (value.kind != CDT_Default) return true;
    int32_t kind = CDT_Text;
    if (const ObjRecord* def = s.FindDefinition(name)) {
        if (const ConstraintPayload* p = s.defs->Payload(*def)) kind = p->kind;
    }
    if (kind == CDT_Default) kind = CDT_Text;
    ConstraintData parsed;
    if (!ParseConstraintText(value.textValue.str(), kind, parsed)) return false;
    value = std::move(parsed);
    return true;
}

}  // namespace detail
}  // namespace Lumo
