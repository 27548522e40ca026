#include "common/log.h"
#include "common/stream_buffers.h"
#include "support/case_name.h"
#include "support/grid/stdout_capture.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <unistd.h>

namespace {

// std::cout's buffer before any test ran.
std::streambuf* const g_startBuffer = std::cout.rdbuf();

std::string read_file(const std::string& path)
{
    std::ifstream in(path);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

std::string temp_path(const char* name)
{
    return ::testing::TempDir() + name + std::to_string(::getpid());
}

TEST(LogAssistantTest, DefaultRoutingKeepsTheStreamsOwnBufferAndLinesArriveAtOnce)
{
    mg::GetLogAssistant();
    EXPECT_EQ(std::cout.rdbuf(), g_startBuffer);
    EXPECT_EQ(mg::GetLogAssistant().terminal_buffer(), g_startBuffer);
    EXPECT_TRUE(mg::GetLogAssistant().terminal_output_enabled());
    EXPECT_FALSE(mg::GetLogAssistant().file_output_enabled());

    mg_test::StdoutCapture capture;
    MG_LOG("WARNING in test(...): a line." << std::endl);
    MG_LOG("no line end");
    EXPECT_EQ(capture.str(), "WARNING in test(...): a line.\nno line end");
}

// Routing of a log assistant whose terminal is a string buffer: each row
// starts from the default routing, switches the flags and writes one line.
struct RoutingCase {
    const char* name;
    bool terminal;
    bool file;
    bool fileOpens;
    bool toTerminal;        // the line reaches the terminal
    bool toFile;            // the line reaches the log file
    bool failureMessage;    // the open failure was reported on the terminal
    bool fileFlagAfter;
};

class LogRoutingTest : public ::testing::TestWithParam<RoutingCase> {};

TEST_P(LogRoutingTest, RoutesTheStandardOutputByTheFlags)
{
    const RoutingCase& c = GetParam();
    mg::GetLogAssistant();  // the library's own log already exists
    const std::string goodPath = temp_path("mg_log_routing_");
    const std::string badPath = "/nonexistent-folder-of-quorvane/log.txt";
    const std::string path = c.fileOpens ? goodPath : badPath;
    std::remove(goodPath.c_str());

    std::stringbuf terminal;
    std::streambuf* saved = std::cout.rdbuf(&terminal);
    {
        mg::LogAssistant log;
        log.setup();
        EXPECT_EQ(std::cout.rdbuf(), &terminal);
        log.set_logfile_name(path);
        log.set_output(c.terminal, c.file);
        EXPECT_EQ(log.file_output_enabled(), c.fileFlagAfter);

        const std::string before = terminal.str();
        std::cout << "routed line" << std::endl;
        EXPECT_TRUE(std::cout.good());
        EXPECT_EQ(terminal.str().size() > before.size(), c.toTerminal) << terminal.str();
        if (c.fileOpens && c.file) {
            EXPECT_EQ(read_file(goodPath), c.toFile ? "routed line\n" : "");
        }
    }
    // Whatever the routing, the stream gets its buffer back with the log.
    EXPECT_EQ(std::cout.rdbuf(), &terminal);
    std::cout.rdbuf(saved);
    std::cout.clear();

    const std::string failure = "ERROR: LogAssistant::open_logfile failed: Couldn't open " + badPath + "\n";
    const std::string text = terminal.str();
    EXPECT_EQ(text.find(failure) != std::string::npos, c.failureMessage) << text;
    if (c.toTerminal) {
        EXPECT_NE(text.find("routed line\n"), std::string::npos);
    }
    if (!c.fileOpens) {
        EXPECT_FALSE(std::ifstream(badPath).good());
    }
    std::remove(goodPath.c_str());
}

INSTANTIATE_TEST_SUITE_P(
    Flags, LogRoutingTest,
    ::testing::Values(
        //          name                    term   file   opens  toTerm toFile failMsg fileAfter
        RoutingCase{"TerminalOnly",         true,  false, true,  true,  false, false, false},
        RoutingCase{"TerminalAndFile",      true,  true,  true,  true,  true,  false, true},
        RoutingCase{"FileOnly",             false, true,  true,  false, true,  false, true},
        RoutingCase{"Nowhere",              false, false, true,  false, false, false, false},
        RoutingCase{"BothFileFails",        true,  true,  false, true,  false, true,  false},
        RoutingCase{"FileOnlyFileFails",    false, true,  false, false, false, true,  false}),
    test_names::ByNameMember());

TEST(EmptyStreamBufferTest, SwallowsAnyAmountOfText)
{
    mg::EmptyStreamBuffer empty;
    std::ostream out(&empty);
    const std::string chunk(1000, 'x');
    for (int i = 0; i < 100; ++i)
        out << chunk;
    out.put('y') << std::endl;
    EXPECT_TRUE(out.good());
}

class SplitterTest : public ::testing::Test {
protected:
    std::stringbuf a;
    std::stringbuf b;
};

TEST_F(SplitterTest, ForwardsWhenTheAreaIsFull)
{
    mg::OStreamBufferSplitter splitter;
    splitter.set_buffers(&a, &b);
    std::ostream out(&splitter);
    out << std::string(128, 'x');
    EXPECT_EQ(a.str(), "");  // the 128-byte area holds it all
    out << 'y';
    EXPECT_EQ(a.str(), std::string(128, 'x') + "y");
    EXPECT_EQ(b.str(), a.str());
    EXPECT_TRUE(out.good());
}

TEST_F(SplitterTest, FlushingTheStreamForwardsPendingBytes)
{
    mg::OStreamBufferSplitter splitter;
    splitter.set_buffers(&a, &b);
    std::ostream out(&splitter);
    out << std::string(100, 'x');
    EXPECT_EQ(a.str(), "");
    out.flush();
    EXPECT_EQ(a.str(), std::string(100, 'x'));
    EXPECT_EQ(b.str(), std::string(100, 'x'));
    out << "end" << std::endl;
    EXPECT_EQ(a.str(), std::string(100, 'x') + "end\n");
    EXPECT_TRUE(out.good());
}

TEST_F(SplitterTest, RetargetingAndDestructionForwardWhatIsPending)
{
    std::stringbuf c;
    {
        mg::OStreamBufferSplitter splitter;
        splitter.set_buffers(&a, &b);
        std::ostream out(&splitter);
        out << "first";
        splitter.set_buffers(&a, &c);
        EXPECT_EQ(a.str(), "first");
        EXPECT_EQ(b.str(), "first");
        out << "second";
    }
    EXPECT_EQ(a.str(), "firstsecond");
    EXPECT_EQ(b.str(), "first");
    EXPECT_EQ(c.str(), "second");
}

TEST_F(SplitterTest, WithoutBothTargetsWritesFailAndPendingBytesAreDropped)
{
    mg::OStreamBufferSplitter splitter;
    splitter.set_buffers(&a, nullptr);
    std::ostream out(&splitter);
    out << std::string(128, 'x');
    EXPECT_TRUE(out.good());
    out << 'y';
    EXPECT_TRUE(out.bad());
    out.clear();
    out.flush();
    EXPECT_TRUE(out.bad());

    splitter.flush();  // drops the pending bytes
    splitter.set_buffers(&a, &b);
    out.clear();
    out << "z" << std::flush;
    EXPECT_EQ(a.str(), "z");
    EXPECT_EQ(b.str(), "z");
}

}  // namespace
