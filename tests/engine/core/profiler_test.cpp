#include "engine/core/profiler.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

namespace {

using zprof::ProfileManager;
using zprof::ProfileNode;
using zprof::ProfileZone;

std::uint64_t g_now = 0;
std::uint64_t FakeTicks() { return g_now; }
void Work(std::uint64_t ticks) { g_now += ticks; }
std::string Pad(std::string name) { return name + std::string(40 - name.size(), ' '); }

ProfileManager& Manager() { return ProfileManager::instance; }

class Profiler : public ::testing::Test {
protected:
    void SetUp() override {
        g_now = 1000;
        zprof::SetTickSource(&FakeTicks, 1000000);  // one tick is a microsecond
        Manager().destroy();
        Manager()._firstUpdate = true;
    }
    void TearDown() override {
        Manager().destroy();
        zprof::SetTickSource(nullptr, 0);
    }

    static ProfileZone const* FindZone(char const* name) {
        for (ProfileZone const* z = &Manager().rootZone; z; z = z->next)
            if (std::string(z->name) == name) return z;
        return nullptr;
    }
    static std::vector<ProfileNode const*> Nodes() {
        std::vector<ProfileNode const*> nodes;
        ProfileManager::enumerateNodes([&](ProfileNode const* n) { nodes.push_back(n); }, &Manager().rootNode);
        return nodes;
    }
    static std::vector<std::string> Lines(std::string const& report) {
        std::vector<std::string> lines;
        std::istringstream in(report);
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }
};

void Leaf() {
    VO_PROFILE_ZONE("leaf");
    Work(10);
}
void ParentA() {
    VO_PROFILE_ZONE("A");
    Work(5);
    Leaf();
}
void ParentB() {
    VO_PROFILE_ZONE("B");
    Work(7);
    Leaf();
}
void Recurse(int depth) {
    VO_PROFILE_ZONE("rec");
    Work(3);
    if (depth > 0) Recurse(depth - 1);
    Work(1);
}

TEST_F(Profiler, FirstUpdateCopiesThenAveragesAreDamped) {
    Leaf();
    Manager().update(0.9f);
    ProfileZone const* leaf = FindZone("leaf");
    ASSERT_NE(leaf, nullptr);
    EXPECT_EQ(leaf->data.selfTicks.cur, 10u);
    EXPECT_FLOAT_EQ(leaf->data.selfTicks.avg, 10.0f);
    EXPECT_FLOAT_EQ(leaf->data.entryCount.avg, 1.0f);

    Leaf();
    Leaf();
    Manager().update(0.9f);
    EXPECT_EQ(leaf->data.selfTicks.cur, 20u);
    EXPECT_FLOAT_EQ(leaf->data.selfTicks.avg, 11.0f);  // a tenth of the way to 20
    EXPECT_FLOAT_EQ(leaf->data.entryCount.avg, 1.1f);
    ProfileNode const* node = Nodes().at(1);
    EXPECT_FLOAT_EQ(node->data.selfTicks.avg, 11.0f);
}

TEST_F(Profiler, ZoneUnderTwoParentsHasTwoNodesAndOneFlatLine) {
    ParentA();
    ParentB();
    Manager().update(0.9f);
    EXPECT_EQ(Manager().nodeCount, 5u);  // root, A, A/leaf, B, B/leaf
    EXPECT_EQ(Manager().zoneCount, 4u);  // root, A, leaf, B
    std::vector<ProfileNode const*> nodes = Nodes();
    ASSERT_EQ(nodes.size(), 5u);
    EXPECT_STREQ(nodes[2]->zone->name, "leaf");
    EXPECT_EQ(nodes[2]->parent, nodes[1]);
    EXPECT_EQ(nodes[4]->parent, nodes[3]);
    EXPECT_EQ(nodes[4]->zone, nodes[2]->zone);
    EXPECT_EQ(nodes[1]->data.childTicks.cur, 10u);

    ProfileZone const* leaf = FindZone("leaf");
    EXPECT_EQ(leaf->data.entryCount.cur, 2u);
    EXPECT_EQ(leaf->data.selfTicks.cur, 20u);
    EXPECT_EQ(Manager().rootZone.data.childTicks.cur, 32u);
    std::vector<std::string> flat = Lines(Manager().outputZonesAsString());
    ASSERT_EQ(flat.size(), 5u);  // header and four zones
    EXPECT_EQ(flat[3].substr(0, 4), "leaf");
}

TEST_F(Profiler, RecursionCountsInnerSelfTicksOnce) {
    Recurse(2);
    Manager().update(0.9f);
    EXPECT_EQ(Manager().nodeCount, 4u);  // root and three nested nodes
    ProfileZone const* rec = FindZone("rec");
    EXPECT_EQ(rec->data.entryCount.cur, 3u);
    EXPECT_EQ(rec->data.selfTicks.cur, 12u);
    EXPECT_EQ(rec->data.childTicks.cur, 0u);  // total = 12, the time really spent
    std::vector<ProfileNode const*> nodes = Nodes();
    EXPECT_EQ(nodes[1]->data.childTicks.cur, 8u);
    EXPECT_EQ(nodes[3]->entryLevel, 3u);
}

TEST_F(Profiler, CachedScopeLooksUpOnlyUnderANewParent) {
    Leaf();
    std::uint64_t const lookups = Manager()._lookupSuccessCount;
    Leaf();
    Leaf();
    EXPECT_EQ(Manager()._lookupSuccessCount, lookups);
    ParentA();  // leaf under A: a new parent
    EXPECT_EQ(Manager()._lookupSuccessCount, lookups + 2);
    Leaf();  // back under the root: the cache points at A's node
    EXPECT_EQ(Manager()._lookupSuccessCount, lookups + 3);
    EXPECT_EQ(Manager().nodeCount, 4u);
}

TEST_F(Profiler, TableAndPoolGrowAtThe129thNode) {
    std::vector<ProfileZone> zones(300);
    std::vector<ProfileNode*> caches(300, &ProfileNode::_dummy);
    std::vector<std::string> names(300);
    for (std::size_t i = 0; i < zones.size(); ++i) {
        names[i] = "zone" + std::to_string(i);
        zones[i] = ProfileZone{nullptr, 0, names[i].c_str(), {}};
    }
    auto enter = [&](std::size_t i) {
        Manager()._beginNode(&caches[i], &zones[i]);
        Manager()._endCurNode();
    };
    std::size_t const pool = 3 * sizeof(void*) + 128 * sizeof(ProfileNode);
    for (std::size_t i = 0; i < 128; ++i) enter(i);
    EXPECT_EQ(Manager().nodeCount, 129u);
    EXPECT_EQ(Manager()._tableSize, 256u);
    EXPECT_EQ(Manager().allocMemInBytes(), 256 * sizeof(ProfileNode*) + pool);
    enter(128);
    EXPECT_EQ(Manager().nodeCount, 130u);
    EXPECT_EQ(Manager()._tableSize, 512u);
    EXPECT_EQ(Manager().allocMemInBytes(), 512 * sizeof(ProfileNode*) + 2 * pool);
    EXPECT_LE(Manager().tableUsage(), 0.5f);
    for (std::size_t i = 129; i < 300; ++i) enter(i);
    EXPECT_EQ(Manager()._tableSize, 1024u);
    EXPECT_LE(Manager().tableUsage(), 0.5f);

    // Every node is found again after the table was rebuilt.
    for (ProfileNode*& c : caches) c = &ProfileNode::_dummy;
    for (std::size_t i = 0; i < 300; ++i) enter(i);
    EXPECT_EQ(Manager().nodeCount, 301u);
    EXPECT_EQ(Manager().zoneCount, 301u);
    Manager().destroy();
}

TEST_F(Profiler, ClearForgetsNodesAndResetsCaches) {
    ParentA();
    Manager().clear();
    EXPECT_EQ(Manager().nodeCount, 1u);
    EXPECT_EQ(Manager().zoneCount, 1u);
    EXPECT_EQ(Manager().rootNode.firstChild, nullptr);
    EXPECT_TRUE(Manager()._initialized);
    ParentA();
    EXPECT_EQ(Manager().nodeCount, 3u);
    EXPECT_EQ(Manager().zoneCount, 3u);
    Manager().update(0.9f);
    EXPECT_EQ(FindZone("leaf")->data.selfTicks.cur, 10u);
}

TEST_F(Profiler, ZoneEndedEarlyIsNotEndedAgain) {
    {
        VO_PROFILE_ZONE("idle");
        Work(2);
        VO_PROFILE_END();
        EXPECT_EQ(Manager()._curNode, &Manager().rootNode);
        Work(3);  // counted on the root
        Leaf();
    }
    EXPECT_EQ(Manager()._curNode, &Manager().rootNode);
    EXPECT_TRUE(ProfileNodeManager::empty());
    // Nothing open: does nothing.
    ProfileNodeManager::release_latest();
    EXPECT_EQ(Manager()._curNode, &Manager().rootNode);
    Manager().update(0.9f);
    EXPECT_EQ(FindZone("idle")->data.selfTicks.cur, 2u);
    EXPECT_EQ(Manager().rootNode.data.childTicks.cur, 12u);
}

TEST_F(Profiler, ReportLinesAreEightyCharactersWithoutAFinalNewline) {
    std::string const longName(70, 'x');
    ProfileZone longZone{nullptr, 0, longName.c_str(), {}};
    ProfileNode* longCache = &ProfileNode::_dummy;
    ProfileZone percent{nullptr, 0, "100% %s %n", {}};
    ProfileNode* percentCache = &ProfileNode::_dummy;
    Recurse(25);  // deeper than the name field is wide
    Manager()._beginNode(&longCache, &longZone);
    Work(123456789);
    Manager()._beginNode(&percentCache, &percent);
    Work(1);
    Manager()._endCurNode();
    Manager()._endCurNode();
    Manager().update(0.9f);

    for (std::string const& report : {Manager().outputNodesAsString(), Manager().outputZonesAsString()}) {
        ASSERT_FALSE(report.empty());
        EXPECT_NE(report.back(), '\n');
        std::vector<std::string> lines = Lines(report);
        for (std::size_t i = 0; i < lines.size(); ++i) EXPECT_EQ(lines[i].size(), 79u) << "line " << i;
        EXPECT_EQ(report.size(), lines.size() * 80 - 1);
    }
    std::vector<std::string> tree = Lines(Manager().outputNodesAsString());
    ASSERT_EQ(tree.size(), 1u + Manager().nodeCount);
    EXPECT_EQ(tree[0],
              "call tree                                  hits       self time      total time");
    EXPECT_EQ(tree[1].substr(0, 6), "<root>");
    EXPECT_EQ(tree[2].substr(0, 40), Pad("  rec"));
    EXPECT_EQ(tree[22].substr(0, 40), std::string(40, ' '));  // level 21: indentation only
    EXPECT_EQ(tree[28].substr(0, 40), "  " + longName.substr(0, 38));
    EXPECT_EQ(tree[29].substr(0, 40), Pad("    100% %s %n"));

    std::vector<std::string> flat = Lines(Manager().outputZonesAsString());
    EXPECT_EQ(flat[0], "flat profile                               hits       self time      total time");
    EXPECT_EQ(flat[2].substr(0, 40), Pad("rec"));
    EXPECT_EQ(flat[3].substr(0, 40), longName.substr(0, 40));
    // The long zone: one entry, 123.5 s of 1 MHz ticks of its own.
    EXPECT_EQ(flat[3].substr(40), "    1.0  123.5 s   100%  123.5 s   100%");
}

TEST_F(Profiler, ExactFiguresAndUnits) {
    ParentA();
    Manager().update(0.9f);
    std::vector<std::string> tree = Lines(Manager().outputNodesAsString());
    ASSERT_EQ(tree.size(), 4u);
    // A: 5 us of its own, 15 us in total, out of 15 us profiled.
    EXPECT_EQ(tree[2], Pad("  A") + "    1.0    5.0 us   33%   15.0 us  100%");
    EXPECT_EQ(tree[3], Pad("    leaf") + "    1.0   10.0 us   67%   10.0 us   67%");
    EXPECT_STREQ(zprof::GetTimeUnit(5e6f)->suffix, "s");
    EXPECT_STREQ(zprof::GetTimeUnit(1e6f)->suffix, "ms");  // strictly greater
    EXPECT_STREQ(zprof::GetTimeUnit(1001.0f)->suffix, "ms");
    EXPECT_STREQ(zprof::GetTimeUnit(2.0f)->suffix, "us");
    EXPECT_STREQ(zprof::GetTimeUnit(1.0f)->suffix, "ns");
    EXPECT_EQ(zprof::GetTickFreq(), 1000000u);
}

TEST_F(Profiler, NoTimeCountedYetPrintsZeroPercent) {
    Manager().preLoad();
    Manager().update(0.9f);
    std::string const report = Manager().outputNodesAsString() + Manager().outputZonesAsString();
    EXPECT_EQ(report.find("nan"), std::string::npos);
    EXPECT_EQ(report.find("inf"), std::string::npos);
    std::vector<std::string> tree = Lines(Manager().outputNodesAsString());
    ASSERT_EQ(tree.size(), 2u);
    EXPECT_EQ(tree[1], Pad("<root>") + "    1.0    0.0 ns    0%    0.0 ns    0%");
}

TEST_F(Profiler, OutputToStreamAndFile) {
    Leaf();
    Manager().update(0.9f);
    std::ostringstream out;
    EXPECT_TRUE(Manager().output(out));
    EXPECT_EQ(out.str(), Manager().outputZonesAsString() + "\n\n" + Manager().outputNodesAsString() + "\n\n");
    EXPECT_FALSE(Manager().output("/nonexistent-folder-for-profiler-test/report.txt"));
}

TEST_F(Profiler, MemoryFigures) {
    EXPECT_EQ(Manager().allocMemInBytes(), 0u);
    std::size_t const base = Manager().staticMemInBytes();
    ParentA();
    EXPECT_EQ(Manager().staticMemInBytes(), base + 2 * (sizeof(ProfileZone) + sizeof(ProfileNode*)));
    EXPECT_GT(Manager().lookupSuccessRate(), 0.0f);
    EXPECT_LE(Manager().lookupSuccessRate(), 1.0f);
}

TEST(ProfilerTicks, NativeClockIsMonotonicAndCalibrated) {
    zprof::SetTickSource(nullptr, 0);
    std::uint64_t a = 0, b = 0;
    zprof::GetTicks(&a);
    zprof::GetTicks(&b);
    EXPECT_LE(a, b);
    std::uint64_t const freq = zprof::GetTickFreq();
    EXPECT_GT(freq, 1000000u);  // at least 1 MHz
    EXPECT_FLOAT_EQ(zprof::GetTickInvFreq(), 1.0f / static_cast<float>(freq));
}

}  // namespace
