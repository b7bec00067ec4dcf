// Constraint definitions read from a constraints file: owners with their levels,
// and per constraint name its owners, data type, default value, forbidden
// (owner, level) pairs and database-disabled flag.
//
// COrdaxConstraintDefs owns every owner, level and definition. Every pointer it
// hands out stays valid until the set is destroyed or loaded again. None of the
// classes is copyable. A set is not thread-safe while it loads; once loaded, its
// const readers may be used from several threads.
#pragma once

#include "lumopi/LumoPI.h"

#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace norv_ordaxcons {

class COrdaxConstraintDefs;

class COrdaxConsOwnerLevel
{
public:
    COrdaxConsOwnerLevel(const COrdaxConsOwnerLevel&) = delete;
    COrdaxConsOwnerLevel& operator=(const COrdaxConsOwnerLevel&) = delete;

    const std::string& GetName() const { return m_name; }

private:
    friend class COrdaxConstraintDefs;
    explicit COrdaxConsOwnerLevel(std::string name) : m_name(std::move(name)) {}

    std::string m_name;
};

class COrdaxConsOwner
{
public:
    COrdaxConsOwner(const COrdaxConsOwner&) = delete;
    COrdaxConsOwner& operator=(const COrdaxConsOwner&) = delete;

    // Exact, case-sensitive; null when the owner has no such level or name is null.
    COrdaxConsOwnerLevel* GetLevel(const char* name) const;
    // The levels in file order.
    std::vector<COrdaxConsOwnerLevel*>& GetLevels() { return m_levelList; }
    const std::vector<COrdaxConsOwnerLevel*>& GetLevels() const { return m_levelList; }
    const std::string& GetName() const { return m_name; }

private:
    friend class COrdaxConstraintDefs;
    explicit COrdaxConsOwner(std::string name) : m_name(std::move(name)) {}

    std::string m_name;
    std::vector<std::unique_ptr<COrdaxConsOwnerLevel>> m_levels;
    std::vector<COrdaxConsOwnerLevel*> m_levelList;
    std::unordered_map<std::string, COrdaxConsOwnerLevel*> m_levelsByName;
};

class COrdaxConsBase
{
public:
    COrdaxConsBase(const COrdaxConsBase&) = delete;
    COrdaxConsBase& operator=(const COrdaxConsBase&) = delete;
    virtual ~COrdaxConsBase() = default;

    // The constraint name.
    const std::string& GetName() const { return m_name; }
    // The owner names under which the constraint may stand, as the file lists them
    // (duplicates and undeclared owners included).
    std::vector<std::string>& GetOwners() { return m_owners; }
    const std::vector<std::string>& GetOwners() const { return m_owners; }
    bool IsLUMODisabled() const { return m_databaseDisabled; }

protected:
    COrdaxConsBase() = default;

    std::string m_name;
    std::vector<std::string> m_owners;
    bool m_databaseDisabled = false;
};

class COrdaxConsDef : public COrdaxConsBase
{
public:
    // True exactly when (owner, level) is one of the forbidden pairs, compared by
    // identity; false for null arguments.
    bool GetDisabled(COrdaxConsOwner* owner, COrdaxConsOwnerLevel* level) const;
    // The data type a constraint of this name must have; any integer the file gave.
    Lumo::EConstraintType GetLUMOConstDataType() const { return m_type; }
    // The default value text; empty when there is none.
    const std::string& GetDefValue() const { return m_defValue; }

private:
    friend class COrdaxConstraintDefs;
    COrdaxConsDef() = default;

    Lumo::EConstraintType m_type = static_cast<Lumo::EConstraintType>(0);
    std::string m_defValue;
    std::vector<std::pair<const COrdaxConsOwner*, const COrdaxConsOwnerLevel*>> m_forbidden;
};

class COrdaxConstraintDefs
{
public:
    COrdaxConstraintDefs();
    COrdaxConstraintDefs(const COrdaxConstraintDefs&) = delete;
    COrdaxConstraintDefs& operator=(const COrdaxConstraintDefs&) = delete;
    virtual ~COrdaxConstraintDefs();

    // Empties the set, then reads the constraints file at `path`. Returns false,
    // with the set left empty and GetLastError() telling why, when the file is
    // missing, unreadable or malformed. The two flags are accepted and ignored.
    bool LoadCnsFile(const std::string& path, bool, bool);

    // Exact, case-sensitive look-ups; null when unknown or when name is null.
    COrdaxConsOwner* GetOwner(const char* name) const;
    COrdaxConsDef* GetConsDef(const char* name) const;

    // Every definition once, in file order.
    std::vector<COrdaxConsDef*>& GetConsDefs() { return m_defList; }
    const std::vector<COrdaxConsDef*>& GetConsDefs() const { return m_defList; }

    // Why the last load failed ("<JSON Pointer>: <reason>"); empty after a successful load.
    const std::string& GetLastError() const { return m_lastError; }

private:
    class Loader;

    void Clear();
    // Construction steps of the loader; names are checked by the loader beforehand.
    COrdaxConsOwner& AddOwner(const std::string& name);
    static void AddLevel(COrdaxConsOwner& owner, const std::string& name);
    COrdaxConsDef& AddDef(const std::string& name);
    static void SetDefData(COrdaxConsDef& def, int type, std::vector<std::string> owners,
                           std::string defValue, bool databaseDisabled);
    static void AddForbidden(COrdaxConsDef& def, const COrdaxConsOwner* owner,
                             const COrdaxConsOwnerLevel* level);

    std::vector<std::unique_ptr<COrdaxConsOwner>> m_owners;
    std::unordered_map<std::string, COrdaxConsOwner*> m_ownersByName;
    std::vector<std::unique_ptr<COrdaxConsDef>> m_defs;
    std::vector<COrdaxConsDef*> m_defList;
    std::unordered_map<std::string, COrdaxConsDef*> m_defsByName;
    std::string m_lastError;
};

} // namespace norv_ordaxcons
