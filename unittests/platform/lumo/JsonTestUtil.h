// Small helpers for the design-file tests: a temporary folder and loading a design from inline text.
#pragma once

#include "lumopi/StandIn.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace LumoTest {

// A fresh folder under /tmp, removed with its files at the end of the test.
class TempDir {
public:
    TempDir()
    {
        char name[] = "/tmp/lumojson.XXXXXX";
        if (char* d = ::mkdtemp(name)) m_path = d;
    }
    ~TempDir()
    {
        if (!m_path.empty()) std::system(("rm -rf '" + m_path + "'").c_str());
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    std::string File(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

inline void WriteText(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

inline std::string ReadText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// Loads a design written inline; err receives the load error.
inline std::unique_ptr<Lumo::LumoPI> LoadText(const std::string& json, Lumo::StandIn::LoadError* err = nullptr)
{
    TempDir dir;
    const std::string path = dir.File("design.json");
    WriteText(path, json);
    return Lumo::StandIn::LoadSession(path, err);
}

// A design of one snapshot "main" with the given snapshot keys after the name.
inline std::string Design(const std::string& snapshotKeys, const std::string& topKeys = "")
{
    return R"({ "format": "kravik-design", "version": 1, )" + topKeys + R"( "snapshots": [ { "name": "main")" +
           (snapshotKeys.empty() ? std::string() : ", " + snapshotKeys) + " } ] }";
}

// The indexes the rest of a walk yields.
template <class T>
std::vector<Lumo::Index> IndexesOf(Lumo::IteratorT<const T>& it)
{
    std::vector<Lumo::Index> out;
    for (; it.IsValid(); ++it) {
        Lumo::Index i;
        EXPECT_TRUE(it->GetIndex(i));
        out.push_back(i);
    }
    return out;
}

// The index of an object type and serial.
inline Lumo::Index Ix(uint64_t type, uint64_t serial) { return Lumo::Index((type << 56) | serial); }

}  // namespace LumoTest
