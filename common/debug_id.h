#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace mg {

// Process-wide registry of the debug channels, keyed by mg::crc32 of the
// channel name, each with a debug level.
class DebugIDManager {
public:
    bool debug_id_registered(const char* name) const;

    // Registers the name with level -1. A name whose checksum is already
    // registered throws MGError "FATAL ERROR: DebugID <name> already registered."
    // and leaves the registry unchanged.
    bool register_debug_id(const char* name);

    // Sets the level of every registered channel; always true.
    bool set_debug_levels(int level);

    // Level of a channel; -1 when the name is not registered.
    int get_debug_level(const char* name) const;

    const std::vector<std::string>& registered_names() const { return m_names; }

private:
    std::vector<std::string> m_names;
    std::map<uint32_t, int> m_levels;
};

// The one registry, created by the first channel that registers.
DebugIDManager& GetDebugIDManager();

// A named channel of debug output. Constructing one registers its name.
class DebugID {
public:
    explicit DebugID(const char* name);
    uint32_t hash() const { return m_hash; }

private:
    uint32_t m_hash;
};

// The library's channels, registered during static initialisation in this
// order.
extern DebugID MAIN;
extern DebugID APP;
extern DebugID DEZ_ODOR;
extern DebugID DEZ_ODOR_REFINER;
extern DebugID LIB_DISC;
extern DebugID LIB_DISC_ASSEMBLE;
extern DebugID LIB_DISC_D3F;
extern DebugID LIB_DISC_MULTIGRID;
extern DebugID LIB_DISC_NEWTON;
extern DebugID LIB_DISC_LINKER;
extern DebugID LIB_DISC_TRANSFER;
extern DebugID LIB_DISC_DISCRETE_FUNCTION;
extern DebugID LIB_DISC_OUTPUT;
extern DebugID LIB_DISC_OPERATOR_INVERSE;
extern DebugID LIB_ALG_LINEAR_OPERATOR;
extern DebugID LIB_ALG_LINEAR_SOLVER;
extern DebugID LIB_ALG_VECTOR;
extern DebugID LIB_ALG_MATRIX;
extern DebugID LIB_ALG_AMG;
extern DebugID LIB_PCL;

}  // namespace mg
