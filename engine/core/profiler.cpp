#include "engine/core/profiler.h"

#include <time.h>

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <new>
#include <ostream>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

namespace zprof {

// ---------------------------------------------------------------- ticks

namespace detail {

namespace {

std::uint64_t NowNanoseconds() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<std::uint64_t>(ts.tv_sec) * 1000000000u + static_cast<std::uint64_t>(ts.tv_nsec);
}

// The time-stamp counter serves as the tick source when it runs at a
// constant rate in every power state (invariant TSC) and the kernel keeps
// its own monotonic clock on it, so that it is monotonic and agrees across
// processors.
bool DetectTscTicks() {
#if defined(__x86_64__) || defined(__i386__)
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (!__get_cpuid(0x80000007u, &eax, &ebx, &ecx, &edx)) return false;
    if (!(edx & (1u << 8))) return false;
    std::FILE* f = std::fopen("/sys/devices/system/clocksource/clocksource0/current_clocksource", "r");
    if (!f) return false;
    char name[32] = {};
    bool const ok = std::fgets(name, sizeof name, f) != nullptr;
    std::fclose(f);
    return ok && std::strncmp(name, "tsc", 3) == 0 && (name[3] == '\n' || name[3] == '\0');
#else
    return false;
#endif
}

// The counter and the monotonic clock read together at load time; the
// counter's rate is measured against this base.
struct TscBase {
    std::uint64_t ticks;
    std::uint64_t ns;
};

TscBase ReadTscBase() {
#if defined(__x86_64__) || defined(__i386__)
    return {__builtin_ia32_rdtsc(), NowNanoseconds()};
#else
    return {0, NowNanoseconds()};
#endif
}

TscBase const g_tscBase = ReadTscBase();

std::uint64_t MeasureTscFrequency() {
#if defined(__x86_64__) || defined(__i386__)
    // At least 20 ms since the base keeps the error near 1e-5.
    std::uint64_t const minSpan = 20000000u;
    std::uint64_t ns = NowNanoseconds();
    while (ns - g_tscBase.ns < minSpan) ns = NowNanoseconds();
    std::uint64_t const ticks = __builtin_ia32_rdtsc();
    double const freq = static_cast<double>(ticks - g_tscBase.ticks) * 1e9 / static_cast<double>(ns - g_tscBase.ns);
    return freq >= 1.0 ? static_cast<std::uint64_t>(freq + 0.5) : 1u;
#else
    return 1000000000u;
#endif
}

std::uint64_t g_frequency = 0;  // 0: not known yet
float g_invFrequency = 0.0f;

}  // namespace

TickFunction g_tickSource = nullptr;
bool g_tscTicks = DetectTscTicks();

std::uint64_t MonotonicTicks() { return NowNanoseconds(); }

}  // namespace detail

std::uint64_t GetTickFreq() {
    if (detail::g_frequency == 0) {
        detail::g_frequency = detail::g_tscTicks ? detail::MeasureTscFrequency() : 1000000000u;
        detail::g_invFrequency = 1.0f / static_cast<float>(detail::g_frequency);
    }
    return detail::g_frequency;
}

float GetTickInvFreq() {
    GetTickFreq();
    return detail::g_invFrequency;
}

void SetTickSource(TickFunction ticks, std::uint64_t frequency) {
    detail::g_tickSource = ticks;
    detail::g_frequency = 0;
    if (ticks && frequency > 0) {
        detail::g_frequency = frequency;
        detail::g_invFrequency = 1.0f / static_cast<float>(frequency);
    }
}

TimeUnit const* GetTimeUnit(float ticks) {
    static TimeUnit units[4] = {{0, 0, "s"}, {0, 0, "ms"}, {0, 0, "us"}, {0, 0, "ns"}};
    static std::uint64_t builtFor = 0;
    std::uint64_t const freq = GetTickFreq();
    if (builtFor != freq) {
        float const f = static_cast<float>(freq);
        units[0].tickFreq = f;
        units[0].invTickFreq = 1.0f / f;
        units[1].tickFreq = f / 1000.0f;
        units[1].invTickFreq = 1000.0f / f;
        units[2].tickFreq = f / 1e6f;
        units[2].invTickFreq = 1e6f / f;
        units[3].tickFreq = f / 1e9f;
        units[3].invTickFreq = 1e9f / f;
        builtFor = freq;
    }
    if (ticks > units[0].tickFreq) return &units[0];
    if (ticks > units[1].tickFreq) return &units[1];
    if (ticks > units[2].tickFreq) return &units[2];
    return &units[3];
}

// ---------------------------------------------------------------- records

void ProfileData::computeAverage(float d) {
    entryCount.avg = (entryCount.avg - static_cast<float>(entryCount.cur)) * d + static_cast<float>(entryCount.cur);
    selfTicks.avg = (selfTicks.avg - static_cast<float>(selfTicks.cur)) * d + static_cast<float>(selfTicks.cur);
    childTicks.avg = (childTicks.avg - static_cast<float>(childTicks.cur)) * d + static_cast<float>(childTicks.cur);
}

ProfileNode ProfileNode::_dummy = {};

void ProfileNode::init(ProfileNode* p, ProfileZone* z, ProfileNode** c) {
    zone = z;
    parent = p;
    entryLevel = p->entryLevel + 1;
    p->addChild(this);
    cache = c;
}

void ProfileNode::addChild(ProfileNode* child) {
    if (childCount++) {
        lastChild->nextSibling = child;
        lastChild = child;
    } else {
        firstChild = child;
        lastChild = child;
    }
}

void ProfileNode::clear() { *this = ProfileNode{}; }

void ProfileNode::destroy() {
    if (cache) *cache = &_dummy;
}

ProfileNode const* ProfileNode::findNextInTree() const {
    if (firstChild) return firstChild;
    if (nextSibling) return nextSibling;
    for (ProfileNode const* p = parent; p && !p->isRoot(); p = p->parent) {
        if (p->nextSibling) return p->nextSibling;
    }
    return nullptr;
}

void ProfileNode::updateTree(float damping) {
    for (ProfileNode* n = this; n; n = n->nextSibling) {
        n->data.entryCount.cur = n->lastEntryCount;
        n->data.selfTicks.cur = n->lastTicks;
        n->data.childTicks.cur = 0;
        n->zone->data.entryCount.cur += n->lastEntryCount;
        n->zone->data.selfTicks.cur += n->lastTicks;
        n->lastEntryCount = 0;
        n->lastTicks = 0;

        if (n->zone->state == 2) {
            // The zone recurses: the outer node's child ticks already hold
            // this node's self ticks, which the zone counts as its own.
            n->zone->data.childTicks.cur -= n->data.selfTicks.cur;
            if (n->firstChild) n->firstChild->updateTree(damping);
        } else {
            n->zone->state = 2;
            if (n->firstChild) n->firstChild->updateTree(damping);
            n->zone->data.childTicks.cur += n->data.childTicks.cur;
            n->zone->state = 1;
        }

        n->data.computeAverage(damping);
        if (!n->isRoot()) n->parent->data.childTicks.cur += n->data.selfTicks.cur + n->data.childTicks.cur;
    }
}

// ---------------------------------------------------------------- pools

// One allocation: this header followed by the nodes.
struct ProfileNodePool {
    ProfileNodePool* nextPool;
    ProfileNode* nextFreeNode;
    ProfileNode* endOfNodes;

    ProfileNode* firstNode() { return reinterpret_cast<ProfileNode*>(this + 1); }
    std::size_t memoryUsage() const {
        return sizeof(ProfileNodePool) +
               static_cast<std::size_t>(endOfNodes - reinterpret_cast<ProfileNode const*>(this + 1)) *
                   sizeof(ProfileNode);
    }

    static ProfileNodePool* create(unsigned count) {
        static_assert(sizeof(ProfileNodePool) % alignof(ProfileNode) == 0, "nodes follow the header");
        void* memory = ::operator new(sizeof(ProfileNodePool) + std::size_t(count) * sizeof(ProfileNode));
        ProfileNodePool* pool = new (memory) ProfileNodePool{nullptr, nullptr, nullptr};
        ProfileNode* nodes = pool->firstNode();
        for (unsigned i = 0; i < count; ++i) new (nodes + i) ProfileNode{};
        pool->nextFreeNode = nodes;
        pool->endOfNodes = nodes + count;
        return pool;
    }

    // Releases this pool and every pool after it; used nodes reset their
    // scopes' caches first.
    static void destroyChain(ProfileNodePool* pool) {
        while (pool) {
            for (ProfileNode* n = pool->firstNode(); n != pool->nextFreeNode; ++n) n->destroy();
            ProfileNodePool* next = pool->nextPool;
            ::operator delete(pool);
            pool = next;
        }
    }
};

// ---------------------------------------------------------------- manager

namespace {

std::uint32_t HashKey(ProfileNode const* parent, ProfileZone const* zone) {
    std::uint32_t const key = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(parent)) +
                              static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(zone));
    std::uint32_t h = key * 4097u + 0x7ED55D16u;
    h = h ^ 0xC761C23Cu ^ (h >> 19);
    return h;
}

std::uint32_t ProbeStep(std::uint32_t h) { return ((h << 8) + (h >> 4)) | 1u; }

}  // namespace

ProfileNode* ProfileManager::_dummyNodeTable[1] = {nullptr};

ProfileManager ProfileManager::instance = {
    0,                                  // _lastTick
    &ProfileManager::instance.rootNode, // _curNode
    0,                                  // _tableMask
    ProfileManager::_dummyNodeTable,    // _nodeTable
    0,
    0,  // lookup counts
    1,  // _tableSize
    1,  // nodeCount
    1,  // zoneCount
    &ProfileManager::instance.rootZone,
    nullptr,
    nullptr,
    {0, 0, &ProfileManager::instance.rootZone, &ProfileManager::instance.rootNode, nullptr, nullptr, nullptr, 0, 0,
     nullptr, {}},
    {nullptr, 0, "<root>", {}},
    false,
    true,
};

ProfileNode* ProfileManager::_lookupNode(ProfileNode** cache, ProfileZone* zone) {
    std::uint32_t const h = HashKey(_curNode, zone);
    std::uint32_t index = h & _tableMask;
    _incLookup();
    _incLookupSuccess();

    ProfileNode* node = _nodeTable[index];
    if (node) {
        if (node->isEqual(_curNode, zone)) return node;
        std::uint32_t const step = ProbeStep(h);
        for (;;) {
            index = (index + step) & _tableMask;
            _incLookup();
            node = _nodeTable[index];
            if (!node) break;
            if (node->isEqual(_curNode, zone)) return node;
        }
    }

    if (zone->state == 0) {
        zone->state = 1;
        _lastZone->next = zone;
        _lastZone = zone;
        ++zoneCount;
    }
    if (!_initialized) {
        preLoad();
        return _createNode(cache, zone);
    }
    if (_tableSize >= 2 * nodeCount) {
        ++nodeCount;
        ProfileNode* created = _lastNodePool->nextFreeNode++;
        created->init(_curNode, zone, cache);
        _nodeTable[index] = created;
        return created;
    }
    _resizeNodeTable(2 * _tableSize);
    _resizeNodePool(nodeCount - 1);
    return _createNode(cache, zone);
}

ProfileNode* ProfileManager::_createNode(ProfileNode** cache, ProfileZone* zone) {
    ProfileNode* node = _lastNodePool->nextFreeNode++;
    node->init(_curNode, zone, cache);
    ++nodeCount;
    _insertNode(node);
    return node;
}

void ProfileManager::_insertNode(ProfileNode* node) {
    std::uint32_t const h = HashKey(node->parent, node->zone);
    std::uint32_t index = h & _tableMask;
    if (_nodeTable[index]) {
        std::uint32_t const step = ProbeStep(h);
        do {
            index = (index + step) & _tableMask;
        } while (_nodeTable[index]);
    }
    _nodeTable[index] = node;
}

void ProfileManager::_createNodeTable(unsigned count) {
    _nodeTable = new ProfileNode*[count]();
    _tableSize = count;
    _tableMask = count - 1;
}

void ProfileManager::_resizeNodeTable(unsigned count) {
    if (_nodeTable != _dummyNodeTable) delete[] _nodeTable;
    _createNodeTable(count);
    for (ProfileNodePool* pool = _firstNodePool; pool; pool = pool->nextPool) {
        for (ProfileNode* n = pool->firstNode(); n != pool->nextFreeNode; ++n) _insertNode(n);
    }
}

void ProfileManager::_createNodePool(unsigned count) {
    _firstNodePool = ProfileNodePool::create(count);
    _lastNodePool = _firstNodePool;
}

void ProfileManager::_resizeNodePool(unsigned count) {
    ProfileNodePool* pool = ProfileNodePool::create(count);
    _lastNodePool->nextPool = pool;
    _lastNodePool = pool;
}

void ProfileManager::_init() {
    _initialized = true;
    rootNode.beginEntry();
    GetTicks(&_lastTick);
}

void ProfileManager::_uninit() {
    _initialized = false;
    rootNode.clear();
    rootNode.zone = &rootZone;
    rootNode.parent = &rootNode;
}

void ProfileManager::_resetZones() {
    ProfileZone* zone = &rootZone;
    while (zone) {
        ProfileZone* next = zone->next;
        zone->state = 0;
        zone->next = nullptr;
        zone = next;
    }
    _lastZone = &rootZone;
    zoneCount = 1;
}

void ProfileManager::_destroyNodes() {
    ProfileNodePool::destroyChain(_firstNodePool);
    _firstNodePool = nullptr;
    _lastNodePool = nullptr;
    if (_nodeTable != _dummyNodeTable) delete[] _nodeTable;
    _nodeTable = _dummyNodeTable;
    _tableSize = 1;
    _tableMask = 0;
    nodeCount = 1;
    // The root's children lived in the pools.
    rootNode.firstChild = nullptr;
    rootNode.lastChild = nullptr;
    rootNode.childCount = 0;
    _curNode = &rootNode;
    _init();
}

void ProfileManager::preLoad() {
    if (_initialized) return;
    _init();
    _createNodeTable(256);
    _createNodePool(128);
}

void ProfileManager::clear() {
    destroy();
    preLoad();
}

void ProfileManager::destroy() {
    _resetZones();
    _destroyNodes();
    _uninit();
}

void ProfileManager::update(float damping) {
    _appendTicksToCurNode();
    if (_firstUpdate) {
        damping = 0.0f;
        _firstUpdate = false;
    }
    for (ProfileZone* z = &rootZone; z; z = z->next) z->data.clearCurrent();
    rootNode.updateTree(damping);
    for (ProfileZone* z = &rootZone; z; z = z->next) z->data.computeAverage(damping);
}

float ProfileManager::lookupSuccessRate() const {
    return _lookupCount ? static_cast<float>(_lookupSuccessCount) / static_cast<float>(_lookupCount) : 0.0f;
}

float ProfileManager::tableUsage() const { return static_cast<float>(nodeCount) / static_cast<float>(_tableSize); }

std::size_t ProfileManager::staticMemInBytes() const {
    return sizeof(ProfileManager) + sizeof(ProfileNode::_dummy) + sizeof(_dummyNodeTable) +
           (zoneCount - 1) * (sizeof(ProfileZone) + sizeof(ProfileNode*));
}

std::size_t ProfileManager::allocMemInBytes() const {
    std::size_t bytes = _nodeTable != _dummyNodeTable ? _tableSize * sizeof(ProfileNode*) : 0;
    for (ProfileNodePool const* pool = _firstNodePool; pool; pool = pool->nextPool) bytes += pool->memoryUsage();
    return bytes;
}

std::string ProfileManager::outputNodesAsString() { return OutputNodesAsString(&rootNode, nodeCount); }

std::string ProfileManager::outputZonesAsString() { return OutputZonesAsString(&rootZone, zoneCount); }

bool ProfileManager::output(std::ostream& stream) {
    stream << outputZonesAsString() << "\n\n" << outputNodesAsString() << "\n\n";
    stream.flush();
    return true;
}

bool ProfileManager::output(char const* filename) {
    std::ofstream file(filename, std::ios::out | std::ios::trunc);
    if (!file) return false;
    return output(file);
}

// ---------------------------------------------------------------- reports

namespace {

int const kNameWidth = 40;
int const kFiguresWidth = 39;

// Appends exactly `width` characters: the formatted text cut at the field's
// end, or padded with spaces.
void AppendField(std::string& out, std::size_t width, char const* format, ...) {
    char buffer[512];
    va_list args;
    va_start(args, format);
    int const n = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    std::size_t const len = n < 0 ? 0 : std::min<std::size_t>({static_cast<std::size_t>(n), width, sizeof buffer - 1});
    out.append(buffer, len);
    out.append(width - len, ' ');
}

void AppendName(std::string& out, unsigned indent, char const* name) {
    std::size_t const pad = std::min<std::size_t>(2u * std::size_t(indent), kNameWidth);
    out.append(pad, ' ');
    std::size_t const room = kNameWidth - pad;
    std::size_t const len = name ? ::strnlen(name, room) : 0;
    out.append(name ? name : "", len);
    out.append(room - len, ' ');
}

void AppendHeader(std::string& out, char const* title) {
    AppendField(out, 79, "%-*s %*s %*s %*s", kNameWidth, title, 6, "hits", 15, "self time", 15, "total time");
    out += '\n';
}

// 100 / the root's average child ticks, or 0 before any time was counted.
float PercentFactor(float rootChildTicks) {
    float const factor = 100.0f / rootChildTicks;
    return std::isfinite(factor) && rootChildTicks > 0.0f ? factor : 0.0f;
}

void AppendFigures(std::string& out, ProfileData const& data, float factor) {
    float const self = data.selfTicks.avg;
    float const total = self + data.childTicks.avg;
    TimeUnit const* selfUnit = GetTimeUnit(self);
    TimeUnit const* totalUnit = GetTimeUnit(total);
    AppendField(out, kFiguresWidth, " %*.1f %*.1f %-2s %*.0f%% %*.1f %-2s %*.0f%%", 6,
                static_cast<double>(data.entryCount.avg), 6, static_cast<double>(self * selfUnit->invTickFreq),
                selfUnit->suffix, 4, static_cast<double>(self * factor), 6,
                static_cast<double>(total * totalUnit->invTickFreq), totalUnit->suffix, 4,
                static_cast<double>(total * factor));
    out += '\n';
}

void DropFinalNewline(std::string& out) {
    if (!out.empty() && out.back() == '\n') out.pop_back();
}

}  // namespace

std::string OutputNodesAsString(ProfileNode const* root, unsigned count) {
    std::string out;
    out.reserve((std::size_t(count) + 1) * 80);
    AppendHeader(out, "call tree");
    float const factor = PercentFactor(root->data.childTicks.avg);
    for (ProfileNode const* node = root; node; node = node->findNextInTree()) {
        AppendName(out, node->entryLevel, node->zone->name);
        AppendFigures(out, node->data, factor);
    }
    DropFinalNewline(out);
    return out;
}

std::string OutputZonesAsString(ProfileZone const* first, unsigned count) {
    std::string out;
    out.reserve((std::size_t(count) + 1) * 80);
    AppendHeader(out, "flat profile");
    float const factor = PercentFactor(first->data.childTicks.avg);
    for (ProfileZone const* zone = first; zone; zone = zone->next) {
        AppendName(out, 0, zone->name);
        AppendFigures(out, zone->data, factor);
    }
    DropFinalNewline(out);
    return out;
}

}  // namespace zprof

// ---------------------------------------------------------------- scopes

ProfileNodeManager& ProfileNodeManager::inst() {
    static ProfileNodeManager manager;
    return manager;
}

ProfileNodeManager::~ProfileNodeManager() {
    while (!stack_.empty()) {
        AutoProfileNode* node = stack_.back();
        stack_.pop_back();
        node->release();
    }
}
