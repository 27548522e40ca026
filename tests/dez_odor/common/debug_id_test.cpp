#include "common/debug_id.h"
#include "common/error.h"
#include "common/log.h"
#include "common/util/crc32.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(Crc32Test, MatchesTheStandardCheckValues)
{
    EXPECT_EQ(mg::crc32(""), 0u);
    EXPECT_EQ(mg::crc32("123456789"), 0xCBF43926u);
    EXPECT_EQ(mg::crc32("The quick brown fox jumps over the lazy dog"), 0x414FA339u);
    // No state survives a call.
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(mg::crc32("123456789"), 0xCBF43926u);
}

const std::vector<std::string> kChannels = {
    "MAIN", "APP", "DEZ_ODOR", "DEZ_ODOR_REFINER", "LIB_DISC", "LIB_DISC_ASSEMBLE",
    "LIB_DISC_D3F", "LIB_DISC_MULTIGRID", "LIB_DISC_NEWTON", "LIB_DISC_LINKER",
    "LIB_DISC_TRANSFER", "LIB_DISC_DISCRETE_FUNCTION", "LIB_DISC_OUTPUT",
    "LIB_DISC_OPERATOR_INVERSE", "LIB_ALG_LINEAR_OPERATOR", "LIB_ALG_LINEAR_SOLVER",
    "LIB_ALG_VECTOR", "LIB_ALG_MATRIX", "LIB_ALG_AMG", "LIB_PCL"};

TEST(DebugIdTest, TwentyChannelsAreRegisteredAtStartUpInOrder)
{
    mg::DebugIDManager& mgr = mg::GetDebugIDManager();
    EXPECT_EQ(mgr.registered_names(), kChannels);
    for (const std::string& name : kChannels)
        EXPECT_TRUE(mgr.debug_id_registered(name.c_str())) << name;
    EXPECT_FALSE(mgr.debug_id_registered("NOT_A_CHANNEL"));
    EXPECT_EQ(mg::DEZ_ODOR.hash(), mg::crc32("DEZ_ODOR"));
    EXPECT_EQ(mg::LIB_PCL.hash(), mg::crc32("LIB_PCL"));
}

TEST(DebugIdTest, RegisteringANameTwiceThrowsAndChangesNothing)
{
    mg::DebugIDManager& mgr = mg::GetDebugIDManager();
    try {
        mgr.register_debug_id("DEZ_ODOR");
        FAIL() << "no MGError thrown";
    } catch (const mg::MGError& err) {
        EXPECT_EQ(err.get_msg(), "FATAL ERROR: DebugID DEZ_ODOR already registered.");
    }
    EXPECT_EQ(mgr.registered_names(), kChannels);
}

TEST(DebugIdTest, LevelsStartAtMinusOneAndAreSetTogether)
{
    mg::GetLogAssistant();  // setting up the log sets every level to -1
    mg::DebugIDManager& mgr = mg::GetDebugIDManager();
    for (const std::string& name : kChannels)
        EXPECT_EQ(mgr.get_debug_level(name.c_str()), -1) << name;

    EXPECT_TRUE(mgr.set_debug_levels(5));
    for (const std::string& name : kChannels)
        EXPECT_EQ(mgr.get_debug_level(name.c_str()), 5) << name;
    EXPECT_TRUE(mgr.set_debug_levels(-1));

    mg::DebugIDManager empty;
    EXPECT_TRUE(empty.set_debug_levels(3));
}

}  // namespace
