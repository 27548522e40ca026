#include "engine/core/resource_manager.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace vo {

// A value whose loads are scripted by the test: the file name decides
// whether the load succeeds, and every load is counted.
struct ScriptedResource {
    std::string loaded_from;
    int loads = 0;
};

namespace {
std::map<std::string, int> g_loads;
bool g_fail_loads = false;
}  // namespace

template <>
bool LoadResourceFromFile<ScriptedResource>(ScriptedResource& out, const char* file) {
    ++g_loads[file];
    const std::string name(file);
    if (name.find("throw") != std::string::npos) throw std::runtime_error("cannot parse " + name);
    if (g_fail_loads || name.find("bad") != std::string::npos) return false;
    out.loaded_from = name;
    ++out.loads;
    return true;
}

namespace {

class ResourceManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_loads.clear();
        g_fail_loads = false;
    }
    ResourceManager<std::string, ScriptedResource> manager;
};

std::string ErrorOf(ResourceManager<std::string, ScriptedResource>& m, const std::string& key, const char* file) {
    try {
        m.get(key, file);
    } catch (const Error& e) {
        return e.message();
    }
    return "no error";
}

TEST_F(ResourceManagerTest, LoadsOnceWithThePathPrefix) {
    manager.path = "data/";
    ScriptedResource& first = manager.get("a", "a.file");
    EXPECT_EQ("data/a.file", first.loaded_from);
    // found by key: the file argument no longer matters
    ScriptedResource& again = manager.get("a", nullptr);
    ScriptedResource& other_file = manager.get("a", "other.file");
    EXPECT_EQ(&first, &again);
    EXPECT_EQ(&first, &other_file);
    EXPECT_EQ(1, g_loads["data/a.file"]);
    EXPECT_EQ(0, g_loads["data/other.file"]);
}

TEST_F(ResourceManagerTest, MissWithoutFileNamesTheKey) {
    EXPECT_EQ("Resource not found for key ghost", ErrorOf(manager, "ghost", nullptr));
}

TEST_F(ResourceManagerTest, FailedLoadLeavesNoEntryAndFailsAgain) {
    manager.path = "p/";
    const std::string expected = "Resource not found for key k. Couldn't load resource from specified file p/bad.file";
    EXPECT_EQ(expected, ErrorOf(manager, "k", "bad.file"));
    EXPECT_EQ(expected, ErrorOf(manager, "k", "bad.file"));
    EXPECT_EQ(2, g_loads["p/bad.file"]);
    EXPECT_EQ("Resource not found for key k", ErrorOf(manager, "k", nullptr));

    // a loader's own exception passes through and leaves nothing either
    EXPECT_THROW(manager.get("t", "throw.file"), std::runtime_error);
    EXPECT_THROW(manager.get("t", "throw.file"), std::runtime_error);
    EXPECT_EQ("Resource not found for key t", ErrorOf(manager, "t", nullptr));

    // the key still loads once a good file is given
    EXPECT_EQ("p/good.file", manager.get("k", "good.file").loaded_from);
}

TEST_F(ResourceManagerTest, ClearReleasesEverything) {
    manager.get("a", "a.file");
    manager.clear();
    EXPECT_EQ("Resource not found for key a", ErrorOf(manager, "a", nullptr));
    manager.get("a", "a.file");
    EXPECT_EQ(2, g_loads["a.file"]);
}

TEST_F(ResourceManagerTest, ReloadLoadsEveryEntryIntoItsValueInKeyOrder) {
    manager.path = "x/";
    ScriptedResource& b = manager.get("b", "b.file");
    ScriptedResource& a = manager.get("a", "a.file");
    manager.path = "y/";  // reload uses the current prefix
    manager.reload_all();
    EXPECT_EQ(2, a.loads);
    EXPECT_EQ(2, b.loads);
    EXPECT_EQ("y/a.file", a.loaded_from);
    EXPECT_EQ("y/b.file", b.loaded_from);
    EXPECT_EQ(&a, &manager.get("a", nullptr));
}

TEST_F(ResourceManagerTest, ReloadStopsAtTheFirstFailure) {
    ScriptedResource& a = manager.get("a", "a.file");
    ScriptedResource& b = manager.get("b", "b.file");
    g_fail_loads = true;
    try {
        manager.reload();
        FAIL() << "reload did not fail";
    } catch (const Error& e) {
        EXPECT_STREQ("Resource not found for key a. Couldn't load resource from specified file a.file", e.message());
    }
    EXPECT_EQ(2, g_loads["a.file"]);
    EXPECT_EQ(1, g_loads["b.file"]);  // not reached
    // both entries stay with what they held
    EXPECT_EQ("a.file", a.loaded_from);
    EXPECT_EQ(&b, &manager.get("b", nullptr));
}

}  // namespace
}  // namespace vo
