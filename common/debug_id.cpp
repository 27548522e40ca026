#include "common/debug_id.h"

#include "common/error.h"
#include "common/util/crc32.h"

namespace mg {

bool DebugIDManager::debug_id_registered(const char* name) const
{
    return m_levels.find(crc32(name)) != m_levels.end();
}

bool DebugIDManager::register_debug_id(const char* name)
{
    if (debug_id_registered(name))
        MG_THROW("FATAL ERROR: DebugID " << name << " already registered.");
    m_names.push_back(name);
    m_levels[crc32(name)] = -1;
    return true;
}

bool DebugIDManager::set_debug_levels(int level)
{
    for (auto& entry : m_levels)
        entry.second = level;
    return true;
}

int DebugIDManager::get_debug_level(const char* name) const
{
    auto it = m_levels.find(crc32(name));
    return it == m_levels.end() ? -1 : it->second;
}

DebugIDManager& GetDebugIDManager()
{
    static DebugIDManager manager;
    return manager;
}

DebugID::DebugID(const char* name) : m_hash(crc32(name))
{
    GetDebugIDManager().register_debug_id(name);
}

// Defined next to GetDebugIDManager so that every program that uses the
// registry (the log does) links these and registers them at start-up.
DebugID MAIN("MAIN");
DebugID APP("APP");
DebugID DEZ_ODOR("DEZ_ODOR");
DebugID DEZ_ODOR_REFINER("DEZ_ODOR_REFINER");
DebugID LIB_DISC("LIB_DISC");
DebugID LIB_DISC_ASSEMBLE("LIB_DISC_ASSEMBLE");
DebugID LIB_DISC_D3F("LIB_DISC_D3F");
DebugID LIB_DISC_MULTIGRID("LIB_DISC_MULTIGRID");
DebugID LIB_DISC_NEWTON("LIB_DISC_NEWTON");
DebugID LIB_DISC_LINKER("LIB_DISC_LINKER");
DebugID LIB_DISC_TRANSFER("LIB_DISC_TRANSFER");
DebugID LIB_DISC_DISCRETE_FUNCTION("LIB_DISC_DISCRETE_FUNCTION");
DebugID LIB_DISC_OUTPUT("LIB_DISC_OUTPUT");
DebugID LIB_DISC_OPERATOR_INVERSE("LIB_DISC_OPERATOR_INVERSE");
DebugID LIB_ALG_LINEAR_OPERATOR("LIB_ALG_LINEAR_OPERATOR");
DebugID LIB_ALG_LINEAR_SOLVER("LIB_ALG_LINEAR_SOLVER");
DebugID LIB_ALG_VECTOR("LIB_ALG_VECTOR");
DebugID LIB_ALG_MATRIX("LIB_ALG_MATRIX");
DebugID LIB_ALG_AMG("LIB_ALG_AMG");
DebugID LIB_PCL("LIB_PCL");

}  // namespace mg
