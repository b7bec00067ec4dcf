#include "ordaxcons/OrdaxConstraintDefs.h"

#include <nlohmann/json.hpp>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <initializer_list>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_set>

namespace norv_ordaxcons {

namespace {

using Json = nlohmann::json;

// A malformation found while reading: where (JSON Pointer) and why.
struct LoadFailure
{
    std::string pointer;
    std::string message;
};

std::string EscapePointerToken(const std::string& token)
{
    std::string out;
    for (char c : token) {
        if (c == '~')
            out += "~0";
        else if (c == '/')
            out += "~1";
        else
            out += c;
    }
    return out;
}

std::string Child(const std::string& pointer, const std::string& key)
{
    return pointer + "/" + EscapePointerToken(key);
}

std::string Child(const std::string& pointer, size_t index)
{
    return pointer + "/" + std::to_string(index);
}

[[noreturn]] void Fail(const std::string& pointer, const std::string& message)
{
    throw LoadFailure{pointer, message};
}

// Reads the whole file as bytes. A directory or any read error makes it unreadable.
bool ReadFile(const std::string& path, std::string& text, std::string& error)
{
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = "cannot open '" + path + "': " + std::strerror(errno);
        return false;
    }
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        error = "cannot read '" + path + "': not a regular file";
        ::close(fd);
        return false;
    }
    text.clear();
    char buffer[65536];
    for (;;) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            error = "cannot read '" + path + "': " + std::strerror(errno);
            ::close(fd);
            return false;
        }
        if (n == 0)
            break;
        text.append(buffer, static_cast<size_t>(n));
    }
    ::close(fd);
    return true;
}

const char* TypeName(const Json& j)
{
    return j.type_name();
}

void ExpectObject(const Json& j, const std::string& pointer)
{
    if (!j.is_object())
        Fail(pointer, std::string("expected an object, found ") + TypeName(j));
}

void ExpectArray(const Json& j, const std::string& pointer)
{
    if (!j.is_array())
        Fail(pointer, std::string("expected an array, found ") + TypeName(j));
}

const std::string& ExpectString(const Json& j, const std::string& pointer)
{
    if (!j.is_string())
        Fail(pointer, std::string("expected a string, found ") + TypeName(j));
    return j.get_ref<const std::string&>();
}

bool ExpectBool(const Json& j, const std::string& pointer)
{
    if (!j.is_boolean())
        Fail(pointer, std::string("expected a boolean, found ") + TypeName(j));
    return j.get<bool>();
}

int ExpectInt32(const Json& j, const std::string& pointer)
{
    if (!j.is_number_integer())
        Fail(pointer, std::string("expected an integer, found ") + TypeName(j));
    if (j.is_number_unsigned()) {
        auto v = j.get<std::uint64_t>();
        if (v > static_cast<std::uint64_t>(std::numeric_limits<int>::max()))
            Fail(pointer, "integer out of range");
        return static_cast<int>(v);
    }
    auto v = j.get<std::int64_t>();
    if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max())
        Fail(pointer, "integer out of range");
    return static_cast<int>(v);
}

void RejectUnknownKeys(const Json& object, const std::string& pointer,
                       std::initializer_list<const char*> allowed)
{
    for (auto it = object.begin(); it != object.end(); ++it) {
        bool known = false;
        for (const char* key : allowed)
            known = known || it.key() == key;
        if (!known)
            Fail(Child(pointer, it.key()), "unknown key");
    }
}

const Json& Required(const Json& object, const char* key, const std::string& pointer)
{
    auto it = object.find(key);
    if (it == object.end())
        Fail(Child(pointer, key), "missing required key");
    return *it;
}

const Json* Optional(const Json& object, const char* key)
{
    auto it = object.find(key);
    return it == object.end() ? nullptr : &*it;
}

std::vector<std::string> StringList(const Json& j, const std::string& pointer)
{
    ExpectArray(j, pointer);
    std::vector<std::string> out;
    out.reserve(j.size());
    for (size_t i = 0; i < j.size(); ++i)
        out.push_back(ExpectString(j[i], Child(pointer, i)));
    return out;
}

// Hears the parser's events and refuses an object member whose key an earlier member of the same object
// has, at any depth, naming the repeated member by its JSON Pointer. The parser would keep only the last
// value, so a second "definitions" or "name" would silently replace the first.
class RepeatedKeyGuard
{
public:
    bool operator()(int, Json::parse_event_t event, Json& parsed)
    {
        using Event = Json::parse_event_t;
        if (event == Event::object_end || event == Event::array_end) {
            m_open.pop_back();
            return true;
        }
        if (event == Event::key) {
            Container& object = m_open.back();
            const std::string& key = parsed.get_ref<const std::string&>();
            object.token = EscapePointerToken(key);
            if (!object.keys.insert(key).second)
                Fail(Pointer(), "duplicate key \"" + key + "\"");
            return true;
        }
        // A value starts here (object_start, array_start or a plain value): an array counts its elements.
        if (!m_open.empty() && !m_open.back().isObject)
            m_open.back().token = std::to_string(m_open.back().elements++);
        if (event == Event::object_start || event == Event::array_start)
            m_open.push_back(Container{event == Event::object_start, {}, 0, {}});
        return true;
    }

private:
    struct Container
    {
        bool isObject;
        std::string token; // the reference token of the member or element being read
        size_t elements;
        std::unordered_set<std::string> keys;
    };

    std::string Pointer() const
    {
        std::string pointer;
        for (const Container& open : m_open)
            pointer += "/" + open.token;
        return pointer;
    }

    std::vector<Container> m_open;
};

} // namespace

// Reads one document into an empty set, throwing LoadFailure at the first malformation.
class COrdaxConstraintDefs::Loader
{
public:
    explicit Loader(COrdaxConstraintDefs& defs) : m_defs(defs) {}

    void Load(const Json& doc)
    {
        const std::string root;
        ExpectObject(doc, root);
        RejectUnknownKeys(doc, root, {"format", "version", "owners", "definitions"});
        if (ExpectString(Required(doc, "format", root), "/format") != "kravik-constraints")
            Fail("/format", "not a constraints file (format must be \"kravik-constraints\")");
        const Json& version = Required(doc, "version", root);
        if (!version.is_number_integer() || version != 1)
            Fail("/version", "unsupported version (must be the integer 1)");
        LoadOwners(Required(doc, "owners", root));
        LoadDefinitions(Required(doc, "definitions", root));
    }

private:
    void LoadOwners(const Json& owners)
    {
        ExpectArray(owners, "/owners");
        for (size_t i = 0; i < owners.size(); ++i) {
            const std::string pointer = Child("/owners", i);
            const Json& owner = owners[i];
            ExpectObject(owner, pointer);
            RejectUnknownKeys(owner, pointer, {"name", "levels"});
            const std::string& name = ExpectString(Required(owner, "name", pointer), pointer + "/name");
            if (name.empty())
                Fail(pointer + "/name", "empty owner name");
            if (m_defs.m_ownersByName.count(name))
                Fail(pointer + "/name", "duplicate owner name \"" + name + "\"");
            COrdaxConsOwner& created = m_defs.AddOwner(name);
            if (const Json* levels = Optional(owner, "levels")) {
                const std::vector<std::string> names = StringList(*levels, pointer + "/levels");
                for (size_t k = 0; k < names.size(); ++k) {
                    if (created.m_levelsByName.count(names[k]))
                        Fail(Child(pointer + "/levels", k), "duplicate level \"" + names[k] + "\"");
                    AddLevel(created, names[k]);
                }
            }
        }
    }

    void LoadDefinitions(const Json& definitions)
    {
        ExpectArray(definitions, "/definitions");
        for (size_t i = 0; i < definitions.size(); ++i) {
            const std::string pointer = Child("/definitions", i);
            const Json& def = definitions[i];
            ExpectObject(def, pointer);
            RejectUnknownKeys(def, pointer,
                              {"name", "type", "owners", "default", "forbidden", "databaseDisabled"});
            const std::string& name = ExpectString(Required(def, "name", pointer), pointer + "/name");
            if (name.empty())
                Fail(pointer + "/name", "empty definition name");
            if (m_defs.m_defsByName.count(name))
                Fail(pointer + "/name", "duplicate definition name \"" + name + "\"");
            const int type = ExpectInt32(Required(def, "type", pointer), pointer + "/type");

            std::vector<std::string> owners;
            if (const Json* j = Optional(def, "owners"))
                owners = StringList(*j, pointer + "/owners");
            std::string defValue;
            if (const Json* j = Optional(def, "default"))
                defValue = ExpectString(*j, pointer + "/default");
            bool disabled = false;
            if (const Json* j = Optional(def, "databaseDisabled"))
                disabled = ExpectBool(*j, pointer + "/databaseDisabled");

            COrdaxConsDef& created = m_defs.AddDef(name);
            SetDefData(created, type, std::move(owners), std::move(defValue), disabled);
            if (const Json* j = Optional(def, "forbidden"))
                LoadForbidden(created, *j, pointer + "/forbidden");
        }
    }

    void LoadForbidden(COrdaxConsDef& def, const Json& pairs, const std::string& pointer)
    {
        ExpectArray(pairs, pointer);
        for (size_t i = 0; i < pairs.size(); ++i) {
            const std::string at = Child(pointer, i);
            const Json& pair = pairs[i];
            ExpectObject(pair, at);
            RejectUnknownKeys(pair, at, {"owner", "level"});
            const std::string& ownerName = ExpectString(Required(pair, "owner", at), at + "/owner");
            const std::string& levelName = ExpectString(Required(pair, "level", at), at + "/level");
            const COrdaxConsOwner* owner = m_defs.GetOwner(ownerName.c_str());
            if (!owner || owner->GetName() != ownerName)
                Fail(at + "/owner", "undeclared owner \"" + ownerName + "\"");
            auto level = owner->m_levelsByName.find(levelName);
            if (level == owner->m_levelsByName.end())
                Fail(at + "/level", "owner \"" + ownerName + "\" has no level \"" + levelName + "\"");
            AddForbidden(def, owner, level->second);
        }
    }

    COrdaxConstraintDefs& m_defs;
};

COrdaxConsOwnerLevel* COrdaxConsOwner::GetLevel(const char* name) const
{
    if (!name)
        return nullptr;
    auto it = m_levelsByName.find(name);
    return it == m_levelsByName.end() ? nullptr : it->second;
}

bool COrdaxConsDef::GetDisabled(COrdaxConsOwner* owner, COrdaxConsOwnerLevel* level) const
{
    if (!owner || !level)
        return false;
    for (const auto& pair : m_forbidden) {
        if (pair.first == owner && pair.second == level)
            return true;
    }
    return false;
}

COrdaxConstraintDefs::COrdaxConstraintDefs() = default;

COrdaxConstraintDefs::~COrdaxConstraintDefs() = default;

bool COrdaxConstraintDefs::LoadCnsFile(const std::string& path, bool, bool)
{
    Clear();
    m_lastError.clear();
    try {
        std::string text;
        if (!ReadFile(path, text, m_lastError))
            return false;
        Json doc;
        try {
            doc = Json::parse(text, RepeatedKeyGuard());
        } catch (const Json::parse_error& e) {
            m_lastError = std::string("invalid JSON: ") + e.what();
            return false;
        }
        Loader(*this).Load(doc);
        return true;
    } catch (const LoadFailure& failure) {
        m_lastError = (failure.pointer.empty() ? std::string("(document)") : failure.pointer) + ": " +
                      failure.message;
    } catch (const std::exception& e) {
        m_lastError = std::string("cannot load '") + path + "': " + e.what();
    }
    Clear();
    return false;
}

COrdaxConsOwner* COrdaxConstraintDefs::GetOwner(const char* name) const
{
    if (!name)
        return nullptr;
    auto it = m_ownersByName.find(name);
    return it == m_ownersByName.end() ? nullptr : it->second;
}

COrdaxConsDef* COrdaxConstraintDefs::GetConsDef(const char* name) const
{
    if (!name)
        return nullptr;
    auto it = m_defsByName.find(name);
    return it == m_defsByName.end() ? nullptr : it->second;
}

void COrdaxConstraintDefs::Clear()
{
    // Definitions point at owners and levels, so they go first.
    m_defsByName.clear();
    m_defList.clear();
    m_defs.clear();
    m_ownersByName.clear();
    m_owners.clear();
}

COrdaxConsOwner& COrdaxConstraintDefs::AddOwner(const std::string& name)
{
    m_owners.emplace_back(new COrdaxConsOwner(name));
    COrdaxConsOwner* owner = m_owners.back().get();
    m_ownersByName.emplace(name, owner);
    return *owner;
}

void COrdaxConstraintDefs::AddLevel(COrdaxConsOwner& owner, const std::string& name)
{
    owner.m_levels.emplace_back(new COrdaxConsOwnerLevel(name));
    COrdaxConsOwnerLevel* level = owner.m_levels.back().get();
    owner.m_levelList.push_back(level);
    owner.m_levelsByName.emplace(name, level);
}

COrdaxConsDef& COrdaxConstraintDefs::AddDef(const std::string& name)
{
    m_defs.emplace_back(new COrdaxConsDef());
    COrdaxConsDef* def = m_defs.back().get();
    def->m_name = name;
    m_defList.push_back(def);
    m_defsByName.emplace(name, def);
    return *def;
}

void COrdaxConstraintDefs::SetDefData(COrdaxConsDef& def, int type, std::vector<std::string> owners,
                                      std::string defValue, bool databaseDisabled)
{
    def.m_type = static_cast<Lumo::EConstraintType>(type);
    def.m_owners = std::move(owners);
    def.m_defValue = std::move(defValue);
    def.m_databaseDisabled = databaseDisabled;
}

void COrdaxConstraintDefs::AddForbidden(COrdaxConsDef& def, const COrdaxConsOwner* owner,
                                        const COrdaxConsOwnerLevel* level)
{
    def.m_forbidden.emplace_back(owner, level);
}

} // namespace norv_ordaxcons
