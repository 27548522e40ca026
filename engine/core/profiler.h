#pragma once

// Hierarchical zone profiler. A profiled scope is written
//
//     VO_PROFILE_ZONE("physics");
//
// and lasts to the end of the enclosing block (or until
// ProfileNodeManager::release_latest() ends it early). The profiler keeps a
// call tree with one node per zone and parent node, counts entries and
// ticks spent in each node and its children, turns them into damped
// averages once per frame (ProfileManager::update) and prints a "call tree"
// and a "flat profile" report of 80-character lines.
//
// Single-threaded: profiled code runs on the main thread only.

#include <cstdint>
#include <deque>
#include <iosfwd>
#include <string>

namespace zprof {

// ---------------------------------------------------------------- ticks

using TickFunction = std::uint64_t (*)();

namespace detail {
extern TickFunction g_tickSource;  // a substituted tick source, or null
extern bool g_tscTicks;            // the processor's invariant time-stamp counter
std::uint64_t MonotonicTicks();    // CLOCK_MONOTONIC in nanoseconds
}  // namespace detail

// Reads the high-resolution tick counter. The ticks come from the
// processor's time-stamp counter when it runs at a constant rate and the
// kernel itself keeps its monotonic clock on it, otherwise from
// CLOCK_MONOTONIC in nanoseconds.
inline void GetTicks(std::uint64_t* ticks) {
    if (detail::g_tickSource) {
        *ticks = detail::g_tickSource();
        return;
    }
#if defined(__x86_64__) || defined(__i386__)
    if (detail::g_tscTicks) {
        *ticks = __builtin_ia32_rdtsc();
        return;
    }
#endif
    *ticks = detail::MonotonicTicks();
}

// Ticks per second (measured once against CLOCK_MONOTONIC for the
// time-stamp counter).
std::uint64_t GetTickFreq();
// 1 / GetTickFreq().
float GetTickInvFreq();

// Replaces the tick source, e.g. with a controllable clock in tests; a null
// function goes back to the native counter.
void SetTickSource(TickFunction ticks, std::uint64_t frequency);

struct TimeUnit {
    float tickFreq;     // ticks per unit
    float invTickFreq;  // units per tick
    char const* suffix;
};

// The largest of s, ms, us and ns that the tick count exceeds (ns otherwise).
TimeUnit const* GetTimeUnit(float ticks);

// ---------------------------------------------------------------- records

template <class T>
struct ProfileDataPair {
    T cur;      // this frame's value
    float avg;  // damped average over the frames
};

struct ProfileData {
    ProfileDataPair<std::uint32_t> entryCount;
    ProfileDataPair<std::uint64_t> selfTicks;
    ProfileDataPair<std::uint64_t> childTicks;

    void clearCurrent() {
        entryCount.cur = 0;
        selfTicks.cur = 0;
        childTicks.cur = 0;
    }
    // avg = (avg - cur) * damping + cur for the three pairs.
    void computeAverage(float damping);
};

// One per profiled scope (a function-local static), never freed.
struct ProfileZone {
    ProfileZone* next;  // next zone in the manager's list
    unsigned state;     // 0 unused, 1 in the list, 2 being totalled further up the tree
    char const* name;
    ProfileData data;
};

// A call-tree node: one zone entered under one parent node.
struct ProfileNode {
    std::uint32_t lastEntryCount;  // entries since the last update
    std::uint64_t lastTicks;       // self ticks since the last update
    ProfileZone* zone;
    ProfileNode* parent;
    ProfileNode* nextSibling;
    ProfileNode* firstChild;
    ProfileNode* lastChild;
    unsigned childCount;
    unsigned entryLevel;  // 0 for the root
    ProfileNode** cache;  // the scope's cache pointer, reset when the node goes
    ProfileData data;

    // All zero: its null parent never matches the current node, so every
    // scope's first entry looks its node up.
    static ProfileNode _dummy;

    void init(ProfileNode* parent, ProfileZone* zone, ProfileNode** cache);
    void addChild(ProfileNode* child);
    void beginEntry() { ++lastEntryCount; }
    void appendTicks(std::uint64_t ticks) { lastTicks += ticks; }
    void clear();
    void destroy();
    bool isDummy() const { return this == &_dummy; }
    bool isRoot() const { return entryLevel == 0; }
    bool isEqual(ProfileNode const* p, ProfileZone const* z) const { return parent == p && zone == z; }
    // Pre-order successor below the root; null at the end.
    ProfileNode const* findNextInTree() const;
    // Totals this node and its following siblings (and their subtrees).
    void updateTree(float damping);
};

struct ProfileNodePool;

// ---------------------------------------------------------------- manager

struct ProfileManager {
    std::uint64_t _lastTick;
    ProfileNode* _curNode;
    unsigned _tableMask;
    ProfileNode** _nodeTable;
    std::uint64_t _lookupCount;
    std::uint64_t _lookupSuccessCount;
    unsigned _tableSize;
    unsigned nodeCount;
    unsigned zoneCount;
    ProfileZone* _lastZone;
    ProfileNodePool* _lastNodePool;
    ProfileNodePool* _firstNodePool;
    ProfileNode rootNode;
    ProfileZone rootZone;
    bool _initialized;
    bool _firstUpdate;

    static ProfileManager instance;
    static ProfileNode* _dummyNodeTable[1];

    // Enters a profiled scope: looks the node up only when the cached one
    // belongs to another parent.
    void _beginNode(ProfileNode** cache, ProfileZone* zone) {
        if (_curNode != (*cache)->parent) *cache = _lookupNode(cache, zone);
        _beginNode(*cache);
    }
    void _beginNode(ProfileNode* node) {
        node->beginEntry();
        _appendTicksToCurNode();
        _curNode = node;
    }
    void _endCurNode() {
        _appendTicksToCurNode();
        _curNode = _curNode->parent;
    }
    void _appendTicksToCurNode() {
        std::uint64_t now;
        GetTicks(&now);
        _curNode->appendTicks(now - _lastTick);
        _lastTick = now;
    }

    ProfileNode* _lookupNode(ProfileNode** cache, ProfileZone* zone);
    ProfileNode* _createNode(ProfileNode** cache, ProfileZone* zone);
    void _insertNode(ProfileNode* node);
    void _createNodeTable(unsigned count);
    void _resizeNodeTable(unsigned count);
    void _createNodePool(unsigned count);
    void _resizeNodePool(unsigned count);
    void _init();
    void _uninit();
    void _incLookup() { ++_lookupCount; }
    void _incLookupSuccess() { ++_lookupSuccessCount; }
    void _resetZones();
    void _destroyNodes();

    void preLoad();
    // Forgets every node and zone; stays ready for new zones.
    void clear();
    // The same, leaving the manager uninitialized.
    void destroy();

    // Once per frame: totals the frame and damps the averages. The first
    // update of the process takes the frame's values as they are.
    void update(float damping = 0.9f);

    std::string outputNodesAsString();
    std::string outputZonesAsString();
    // The flat profile, a blank line, the call tree and a blank line.
    bool output(std::ostream& stream);
    // As above into a new file; false (writing nothing) when it can't be opened.
    bool output(char const* filename);

    float lookupSuccessRate() const;
    float tableUsage() const;
    std::size_t staticMemInBytes() const;
    std::size_t allocMemInBytes() const;

    template <class Callback>
    static void enumerateNodes(Callback callback, ProfileNode const* node) {
        for (; node; node = node->nextSibling) {
            callback(node);
            if (node->firstChild) enumerateNodes(callback, node->firstChild);
        }
    }
    template <class Callback>
    static void enumerateZones(Callback callback, ProfileZone const* zone) {
        for (; zone; zone = zone->next) callback(zone);
    }
};

// The two reports; count is the number of lines below the header.
std::string OutputNodesAsString(ProfileNode const* root, unsigned count);
std::string OutputZonesAsString(ProfileZone const* first, unsigned count);

}  // namespace zprof

// ---------------------------------------------------------------- scopes

class ProfileNodeManager;

// Ends its zone when it goes out of scope, unless the zone was already
// ended through ProfileNodeManager::release_latest().
class AutoProfileNode {
public:
    AutoProfileNode();
    ~AutoProfileNode();
    // A copy would end a zone that is not its own.
    AutoProfileNode(AutoProfileNode const&) = delete;
    AutoProfileNode& operator=(AutoProfileNode const&) = delete;

private:
    friend class ProfileNodeManager;
    void release() {
        if (active_) {
            zprof::ProfileManager::instance._endCurNode();
            active_ = false;
        }
    }
    bool is_active() const { return active_; }

    bool active_ = true;
};

// The stack of live profiled scopes.
class ProfileNodeManager {
public:
    ProfileNodeManager() = default;
    // Releases every scope still open.
    ~ProfileNodeManager();
    ProfileNodeManager(ProfileNodeManager const&) = delete;
    ProfileNodeManager& operator=(ProfileNodeManager const&) = delete;

    static ProfileNodeManager& inst();

    static void add(AutoProfileNode* node) { inst().stack_.push_back(node); }
    // Ends the newest open scope; does nothing when none is open.
    static void release_latest() {
        ProfileNodeManager& m = inst();
        if (m.stack_.empty()) return;
        AutoProfileNode* node = m.stack_.back();
        m.stack_.pop_back();
        node->release();
    }
    static bool empty() { return inst().stack_.empty(); }

private:
    std::deque<AutoProfileNode*> stack_;
};

inline AutoProfileNode::AutoProfileNode() { ProfileNodeManager::add(this); }

inline AutoProfileNode::~AutoProfileNode() {
    if (active_) ProfileNodeManager::release_latest();
}

#define VO_PROFILE_CONCAT_INNER(a, b) a##b
#define VO_PROFILE_CONCAT(a, b) VO_PROFILE_CONCAT_INNER(a, b)

// Opens the profile zone `name` (a string literal) until the end of the block.
#define VO_PROFILE_ZONE(name)                                                                               \
    AutoProfileNode VO_PROFILE_CONCAT(vo_profile_scope_, __LINE__);                                         \
    static ::zprof::ProfileNode* VO_PROFILE_CONCAT(vo_profile_cache_, __LINE__) = &::zprof::ProfileNode::_dummy; \
    static ::zprof::ProfileZone VO_PROFILE_CONCAT(vo_profile_zone_, __LINE__) = {nullptr, 0u, name, {}};     \
    ::zprof::ProfileManager::instance._beginNode(&VO_PROFILE_CONCAT(vo_profile_cache_, __LINE__),           \
                                                 &VO_PROFILE_CONCAT(vo_profile_zone_, __LINE__))

// Ends the newest open zone early.
#define VO_PROFILE_END() ::ProfileNodeManager::release_latest()
